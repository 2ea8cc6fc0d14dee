// A sound device whose play cursor, failures and lost state a test controls.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/sound_server.h"

struct ScriptedDevice {
    bool failCreate = false;
    bool failRingBuffer = false;
    std::vector<uint32_t> cursors;      // play cursors to report, in order
    std::vector<bool> cursorFails;      // per query: true = the query fails
    int failingLocks = 0;               // the next this-many locks fail
    int locks = 0;
    int restores = 0;
    int plays = 0;
    int unlocks = 0;
    bool threadStarted = false;
    uint8_t ring[RingBytes] = {};
    size_t cursorQueries = 0;
};

extern ScriptedDevice Scripted;

// Clears the script and the ring.
void ResetScriptedDevice();
