// The capture tool's command line, parsed into one plain request. The
// commands and their options are those `quillmoor-capture --help` shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/headless/sound_capture.h"

enum class CaptureCommand { Help, Frames, Png, Rgb, Sound, Video, TextPage };
enum class SoundFileKind { Wav, Raw };

constexpr uint32_t MaxCallBytes = 1u << 24;   // one region: 16 MiB is far beyond any ring
constexpr uint64_t MaxFrames = 0xFFFFFFFFu;
// A video's turns a second: one video frame per turn at --fps 100 (the live
// intro's turns come every 9.5 ms, about 105 a second).
constexpr uint32_t FramesPerSecond = 100;
constexpr uint32_t MaxVideoScale = 8;
constexpr uint32_t MaxVideoQuality = 51;   // x264's constant-rate factor: 0 lossless .. 51 worst
// Every frame at 45 dB or more PSNR against the PNG of the same frame (decoded
// with accurate rounding), with some room for other x264 versions.
constexpr uint32_t DefaultVideoQuality = 6;

struct CaptureRequest {
    std::string assetsDir;   // empty: stay in the current folder
    std::string textPath;    // --text: the text page from this file; empty: the built-in one
    CaptureCommand command = CaptureCommand::Help;
    std::string helpText;         // Help: what --help or --version prints
    uint64_t frameCount = 0;      // frames: N
    uint64_t firstPrinted = 0;    // frames: --from K
    uint64_t frameIndex = 0;      // png, rgb: I
    std::string outputPath;       // png, rgb, sound, video; "-" for sound: standard output
    std::vector<CallRun> calls;   // sound --calls
    bool pacedCalls = false;      // sound --seconds: the server's own calls
    uint64_t sampleCount = 0;     // sound --seconds, video: samples wanted
    SoundFileKind soundFile = SoundFileKind::Wav;
    std::string songPath;                          // sound --song: this song file instead of the assets' one
    bool dcBlock = false;                          // sound --dc-block; video unless --exact-sound
    bool leadIn = false;                           // sound --lead-in: the silent calls' regions too
    uint64_t videoFrames = 0;                      // video: frames in the file
    uint32_t videoFps = 50;                        // video --fps: 50 (every second frame) or 100
    uint32_t videoScale = 2;                       // video --scale: whole-number nearest-neighbour factor
    uint32_t videoQuality = DefaultVideoQuality;   // video --quality
    bool videoFullChroma = false;                  // video --chroma 444: a chroma sample per pixel
};

// A comma-separated list of byte counts, `A*R` standing for A repeated R
// times: "8192,1764*2000". R is at least 1; A at most MaxCallBytes; the
// samples of all calls together must fit in 64 bits.
bool ParseCallSpec(std::string_view spec, std::vector<CallRun>& runs, std::string& error);

// A non-negative decimal number of seconds ("30", "2.5", at most 9 digits
// after the point) as whole units of 1 / unitsPerSecond, rounded down and
// computed exactly (no floating point).
bool ParseSeconds(std::string_view text, uint32_t unitsPerSecond, uint64_t& units, std::string& error);

// A decimal unsigned integer no larger than `limit`.
bool ParseCount(std::string_view text, uint64_t limit, uint64_t& value);

// argv[0] is the program name. On false, `error` says what is wrong. --help
// and --version give CaptureCommand::Help with the text in helpText.
bool ParseCommandLine(int argc, const char* const* argv, CaptureRequest& request, std::string& error);
