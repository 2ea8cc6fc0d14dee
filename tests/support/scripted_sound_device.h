// A sound device whose play cursor, failures and lost state a test controls.
// Its ring is the memory ring the SDL and web devices use; the test plays it
// (PlayMemoryRing on ScriptedRing) as an output would, in the steps it
// chooses, or scripts the cursors to report outright.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/memory_ring.h"
#include "sound/sound_server.h"

struct ScriptedDevice {
    bool failCreate = false;
    bool failRingBuffer = false;
    std::vector<uint32_t> cursors;   // play cursors to report first, in order (uncounted)
    std::vector<bool> cursorFails;   // per query: true = the query fails
    bool countsPlayed = true;        // past the script: whether `played` is reported
    int failingLocks = 0;            // the next this-many locks fail
    int locks = 0;
    int recovers = 0;
    int plays = 0;
    int unlocks = 0;
    bool threadStarted = false;
    bool threadStuck = false;   // the thread does not end when asked
    int fadeOuts = 0;
    int closes = 0;
    size_t cursorQueries = 0;
};

extern ScriptedDevice Scripted;
extern const SoundDeviceOps ScriptedSoundDevice;

// The tests' view of a SoundServer's fields, which are otherwise its own.
struct SoundServerProbe {
    static SoundFillCallback& fillCallback(SoundServer& s) { return s.fillCallback; }
    static const SoundDeviceOps*& device(SoundServer& s) { return s.device; }
    static void*& window(SoundServer& s) { return s.window; }
    static SoundDevice*& directSound(SoundServer& s) { return s.directSound; }
    static SoundBuffer*& primaryBuffer(SoundServer& s) { return s.primaryBuffer; }
    static SoundBuffer*& streamBuffer(SoundServer& s) { return s.streamBuffer; }
    static SoundThread*& thread(SoundServer& s) { return s.thread; }
    static uint32_t& writeOffset(SoundServer& s) { return s.writeOffset; }
    static std::atomic<uint8_t>& running(SoundServer& s) { return s.running; }
    static std::atomic<uint8_t>& stopRequested(SoundServer& s) { return s.stopRequested; }
};
extern MemoryRing& ScriptedRing;

// Clears the script and the ring.
void ResetScriptedDevice();
