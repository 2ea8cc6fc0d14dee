// The background of every frame: a point light drifting over a plane, seen
// through a fixed spherical lens while the view turns and sways.
//
// BuildLensTable runs once at start-up. RenderEffect runs first in every
// frame and overwrites all 640 x 400 visible pixels of the WorkImage with
// light-map values; it never touches the margins.
#pragma once

#include <cstdint>

constexpr int LensSize = 1024;       // the lens covers LensSize x LensSize entries
constexpr int LensCentre = 512;      // its centre row and column
constexpr int LightMapPitch = 128;   // bytes per LightMap row
constexpr int LightMapCells = 64;    // rows and columns of lit cells
constexpr int LensReach = 221;       // every displacement lies within -221..221
// The light falls on a plane LightPlaneSize units square that wraps around;
// its positions run from -LightPlaneHalf to LightPlaneHalf - 1.
constexpr int LightPlaneSize = 2048;
constexpr int LightPlaneHalf = LightPlaneSize / 2;

// The lens is mirror-symmetric about its centre row and column: the entry
// at (512 + a, 512 + d) is the one at (512 + |a|, 512 + |d|) with the signs
// of a and d. So the LensTable holds that quarter alone, |a| and |d| in
// 0..512, each entry |y| << 8 | |x| in 16 bits, row after row: 533 KB
// instead of 8 MiB, so a frame's reads stay in the second-level cache.
constexpr int LensQuarter = LensCentre + 1;   // rows and columns held
constexpr int LensQuarterPitch = 520;         // entries per row: 512 + 8, a multiply by shifts

constexpr uint32_t LensQuarterIndex(uint32_t row, uint32_t column)
{
    return row * LensQuarterPitch + column;
}

// This frame's light for a displacement (x, y) lies in the spread quarter
// of the signs of x and y, (y < 0) * 2 + (x < 0), at |y| * 256 + |x|: the
// value a folded LensTable entry names.
constexpr int SpreadPitch = 256;                               // > LensReach
constexpr int SpreadQuarter = (LensReach + 1) * SpreadPitch;   // bytes per quarter

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

    // The lens, folded: entry LensQuarterIndex(|a|, |d|) is |y| << 8 | |x|.
    // Built outwards as the view first reaches it: every entry with
    // max(|a|, |d|) < lensShellsBuilt holds its value (0: none yet, so that
    // the whole record starts as zeros and takes no room in the program file).
    alignas(64) uint16_t LensTable[LensQuarter * LensQuarterPitch] = {};
    int32_t lensShellsBuilt = 0;

    // Rebuilt by every frame from the LightMap: the cell
    // ((y + ViewOffsetY + LightPlaneHalf) >> 5, (x + ViewOffsetX + LightPlaneHalf) >> 5) for
    // every displacement (x, y), in four quarters as above.
    alignas(64) uint8_t lightSpread[4 * SpreadQuarter] = {};
};

extern EffectState Effect;

// Back to the state at process start (all zero, table unbuilt), in place.
void ResetEffect();

// The lens table out to the reach of the first frames' view (angle 0), the
// part the first frame reads; RenderEffect builds further out as a turned
// view first reaches it, and LensEntryAt builds the rest.
void BuildLensTable();
void RenderEffect();

// Builds the lens table out to max(|a|, |d|) <= reach (at most 512), if not yet.
void ExtendLensTable(int32_t reach);

// The displacement the lens gives table row `row`, column `column` (both
// 0..1023), read from the folded LensTable.
LensEntry LensEntryAt(int row, int column);

// How the visible window walks the lens table for a view turned by theta:
// table column and row positions in 8.8 fixed point (256 is one entry).
struct LensWalk {
    int32_t du, dv;   // per pixel to the right
    int32_t eu, ev;   // per row downwards
    int32_t u, v;     // at the top-left visible pixel
};
LensWalk StartLensWalk(double theta);

// The largest max(|a|, |d|) of the folded entries the walk reads.
int32_t LensReachOf(const LensWalk& walk);

// The steps of RenderEffect, exposed for tests.
void UpdateView();
void UpdateLightMap();
void FillLightMap(double lightX, double lightY, double height);
// One frame's step of the light's three phases (UpdateLightMap's last act).
void AdvanceLightPhases();
