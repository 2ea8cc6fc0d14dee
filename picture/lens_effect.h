// The background of every frame: a point light drifting over a plane, seen
// through a fixed spherical lens while the view turns and sways.
//
// BuildLensTable runs once at start-up. RenderEffect runs first in every
// frame and overwrites all 640 x 400 visible pixels of the WorkImage with
// light-map values; it never touches the margins.
#pragma once

#include <cstdint>

constexpr int LensSize = 1024;        // the table is LensSize x LensSize entries
constexpr int LightMapPitch = 128;    // bytes per LightMap row
constexpr int LightMapCells = 64;     // rows and columns of lit cells
constexpr int LensReach = 221;        // every displacement lies within -221..221
constexpr int SpreadPitch = 512;      // lightSpread row pitch, >= 2 * LensReach + 1

// Per-frame speed and the two heights that shape the lens; fixed.
constexpr double EffectSpeed = 3.0;
constexpr double LensHeightLow = 400.0;
constexpr double LensHeightHigh = 1800.0;

// One lens displacement, in table entries; both lie within -221..221.
struct LensEntry {
    int32_t x;   // from the column
    int32_t y;   // from the row
};

struct EffectState {
    double FrameCounter = 0.0;   // frames drawn so far; the effect's time base

    // The view, set by UpdateView each frame. ViewAngle is consumed at the
    // start of the following frame, so the turn lags the offsets by one.
    int32_t ViewOffsetX = 0;
    int32_t ViewOffsetY = 0;
    double ViewAngle = 0.0;

    // The light's phases in radians; they grow without bound.
    double HeightPhase = 0.0;
    double LightPhaseX = 0.0;
    double LightPhaseY = 0.0;

    // Light intensities: 128 rows of 128 bytes, of which only rows and
    // columns 0..63 are ever lit.
    alignas(64) uint8_t LightMap[LightMapPitch * LightMapPitch] = {};

    // Row-major, entry (row j, column i) at j * 1024 + i; 8 MiB.
    alignas(64) LensEntry LensTable[LensSize * LensSize] = {};

    // The same entries for the render, as their place in lightSpread, kept
    // in 4 x 4 tiles of 64 bytes, entry (j, i) at LensTileIndex(j, i): a
    // steeply turned view crosses a table row at nearly every pixel, and in
    // tiles its next pixels and rows still find their entries in lines
    // already read.
    alignas(64) uint32_t lensTiles[LensSize * LensSize] = {};

    // This frame's light for every displacement (x, y), at
    // (y + LensReach) * SpreadPitch + x + LensReach: the LightMap cell
    // ((y + ViewOffsetY + 1024) >> 5, (x + ViewOffsetX + 1024) >> 5).
    alignas(64) uint8_t lightSpread[(2 * LensReach + 1) * SpreadPitch] = {};
};

constexpr uint32_t LensTileIndex(uint32_t row, uint32_t column)
{
    return ((row >> 2) * (LensSize / 4) + (column >> 2)) * 16 + (row & 3) * 4 + (column & 3);
}

extern EffectState Effect;

// Back to the state at process start (all zero, table unbuilt), in place.
void ResetEffect();

void BuildLensTable();
void RenderEffect();

// How the visible window walks the lens table for a view turned by theta:
// table column and row positions in 8.8 fixed point (256 is one entry).
struct LensWalk {
    int32_t du, dv;   // per pixel to the right
    int32_t eu, ev;   // per row downwards
    int32_t u, v;     // at the top-left visible pixel
};
LensWalk StartLensWalk(double theta);

// The steps of RenderEffect, exposed for tests.
void UpdateView();
void UpdateLightMap();
void FillLightMap(double lightX, double lightY, double height);
// One frame's step of the light's three phases (UpdateLightMap's last act).
void AdvanceLightPhases();
