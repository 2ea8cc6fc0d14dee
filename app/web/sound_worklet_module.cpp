// The page's sound module: the music player and the sound server, with the
// worklet sound device, as a small WebAssembly program of its own that the
// page's AudioWorkletProcessor (sound_worklet.js) runs on the browser's
// audio thread, so a busy page can't hold up its sound. Built standalone:
// no Emscripten runtime (the worklet's scope has none of what it needs) and
// no imports; every buffer is static, nothing is allocated after the start.
//
// The processor copies a song's bytes to SoundSongBuffer and calls
// SoundPlaySong: the song plays from its start, as the desktop programs play
// a song chosen while they run (the music fades out, the player starts
// anew, the ring opens again and the music fades in). Then SoundProcess for
// each quantum; SoundClose fades the music out for good.
#include <cstdint>
#include <span>

#include "base/asset_bytes.h"
#include "base/stream_format.h"
#include "music/player.h"
#include "music/player_state.h"
#include "sound/sound_server.h"
#include "sound/worklet/worklet_sound_device.h"

#define SOUND_EXPORT extern "C" __attribute__((used, visibility("default")))

namespace {

// The largest quantum the processor asks for (Web Audio's is 128 frames;
// resampling may take a few more).
constexpr uint32_t MaxQuantum = 1024;

struct Module {
    alignas(4) uint8_t song[SongBufferSize];
    int16_t quantum[MaxQuantum];
    bool muted = false;
    bool started = false;   // a song was played, and not closed since
    double samplesOutput = 0;
    double emptyQuanta = 0;   // after the start, with nothing to play
};

Module Sound;
SoundServer Server(nullptr, WorkletSoundDevice);

}   // namespace

SOUND_EXPORT uint8_t* SoundSongBuffer()
{
    return Sound.song;
}

SOUND_EXPORT int SoundSongCapacity()
{
    return SongBufferSize;
}

// The rate of the samples SoundProcess makes.
SOUND_EXPORT int SoundSampleRate()
{
    return static_cast<int>(StreamSampleRate);
}

// Plays the `bytes` at SoundSongBuffer from their start. 1 when it plays.
SOUND_EXPORT int SoundPlaySong(int bytes)
{
    if (bytes < 0 || bytes > SongBufferSize) return 0;
    if (Server.IsOpen()) {
        // The player is this thread's alone while the server is closed.
        Server.Close();
        RestorePlayerStartState();
    }
    LoadSong(AssetFromBytes(std::span<const uint8_t>(Sound.song, static_cast<size_t>(bytes))));
    Sound.started = Server.Open(&FillCallback);
    return Sound.started ? 1 : 0;
}

// Where the song just played is heard: after this many samples of the
// fade-out of the song before.
SOUND_EXPORT int SoundFadeLeft()
{
    return static_cast<int>(WorkletSoundFadeLeft());
}

// The ring plays on while muted, so the music keeps its time.
SOUND_EXPORT void SoundSetMuted(int muted)
{
    Sound.muted = muted != 0;
}

// The music fades out over 20 ms, then the output is silence.
SOUND_EXPORT void SoundClose()
{
    Server.Close();
    Sound.started = false;
}

// True once a closed sound has faded out.
SOUND_EXPORT int SoundFadedOut()
{
    return !Sound.started && WorkletSoundFadedOut() ? 1 : 0;
}

// The next `samples` samples of the output (at most MaxQuantum).
SOUND_EXPORT const int16_t* SoundProcess(int samples)
{
    const uint32_t count = samples < 0 ? 0 : samples > static_cast<int>(MaxQuantum) ? MaxQuantum : samples;
    const bool sounding = WorkletSoundPlay(Sound.quantum, count);
    if (Sound.muted)
        for (uint32_t i = 0; i < count; ++i) Sound.quantum[i] = 0;
    if (sounding) {
        Sound.samplesOutput += count;
    } else if (Sound.started) {
        ++Sound.emptyQuanta;
    }
    return Sound.quantum;
}

SOUND_EXPORT double SoundSamplesOutput()
{
    return Sound.samplesOutput;
}

SOUND_EXPORT double SoundEmptyQuanta()
{
    return Sound.emptyQuanta;
}
