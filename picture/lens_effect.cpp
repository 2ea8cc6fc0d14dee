#include "picture/lens_effect.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include "base/arith.h"
#include "picture/surfaces.h"

EffectState Effect;

void ResetEffect()
{
    std::destroy_at(&Effect);
    std::construct_at(&Effect);
}

namespace {

constexpr double LensSphereRadiusSquared = 532900.0;   // 730^2

// Two doubles worked on together; their square roots in one instruction
// where the machine has one (IEEE-exact either way).
using Double2 = double __attribute__((vector_size(16)));

Double2 SquareRoots(Double2 squared)
{
#if defined(__SSE2__)
    return _mm_sqrt_pd(squared);
#elif defined(__wasm_simd128__)
    return reinterpret_cast<Double2>(wasm_f64x2_sqrt(reinterpret_cast<v128_t>(squared)));
#else
    return Double2{std::sqrt(squared[0]), std::sqrt(squared[1])};
#endif
}

// The displacement factor h where the sphere's height is `root` (the square
// root of LensSphereRadiusSquared less the squared distances): one double or
// two in a vector, the same operations either way.
template <typename Value>
Value LensFactor(Value root)
{
    const Value e = root * 4.0 - 1500.0;
    return (1.0 - (LensHeightLow - e) / (LensHeightHigh - e)) * 0.3333333333333333;
}

// The place on the light plane under grid position `units` when the view
// is offset by `viewOffset`.
int32_t LightPlanePosition(int32_t units, int32_t viewOffset)
{
    return ((units - viewOffset) & (LightPlaneSize - 1)) - LightPlaneHalf;
}

// The entries (a, d) and (d, a) for a <= d, from one h.
void StoreLensPair(uint16_t* table, int32_t a, int32_t d, double h)
{
    const uint32_t x = static_cast<uint32_t>(TruncToInt(h * d));
    const uint32_t y = static_cast<uint32_t>(TruncToInt(h * a));
    table[LensQuarterIndex(a, d)] = static_cast<uint16_t>(y << 8 | x);
    table[LensQuarterIndex(d, a)] = static_cast<uint16_t>(x << 8 | y);
}

}   // namespace

void ExtendLensTable(int32_t reach)
{
    // A sphere of radius 730 (LensSphereRadiusSquared) over the table, its height
    // turned into a displacement factor h that is largest at the centre and
    // falls towards the edges; h * r peaks near r = 340 and mirrors beyond.
    // Only the quarter |a|, |d| in 0..512 is held (negating a or d negates
    // h * a or h * d exactly, and truncation toward zero keeps that), and
    // h is the same at (a, d) and (d, a) (the squares are exact integers),
    // so each h serves two entries. The new shell is every a <= d with d
    // beyond the reach built so far; two values of d at a time (the square
    // root and the division are the same correctly rounded operations in
    // both lanes).
    if (reach > LensCentre) reach = LensCentre;
    const int32_t built = Effect.lensShellsBuilt - 1;
    if (reach <= built) return;
    uint16_t* table = Effect.LensTable;
    for (int32_t a = 0; a <= reach; ++a) {
        const double rowDistance = a;
        int32_t d = a > built + 1 ? a : built + 1;
        for (; d + 1 <= reach; d += 2) {
            const Double2 columnDistance = {static_cast<double>(d), static_cast<double>(d + 1)};
            const Double2 squared = LensSphereRadiusSquared - columnDistance * columnDistance -
                                    rowDistance * rowDistance;
            const Double2 h = LensFactor(SquareRoots(squared));
            StoreLensPair(table, a, d, h[0]);
            StoreLensPair(table, a, d + 1, h[1]);
        }
        if (d <= reach) {
            const double columnDistance = d;
            const double root = std::sqrt(LensSphereRadiusSquared - columnDistance * columnDistance -
                                          rowDistance * rowDistance);
            StoreLensPair(table, a, d, LensFactor(root));
        }
    }
    Effect.lensShellsBuilt = reach + 1;
}

int32_t LensReachOf(const LensWalk& walk)
{
    // The walk is linear in the column and the row, so its farthest
    // positions from the centre are at the window's corners. A position p
    // (8.8 fixed point from the centre) reads entry p >> 8, whose distance
    // from the centre is at most (|p| + 255) >> 8.
    int32_t reach = 0;
    for (int32_t row : {0, PictureHeight - 1}) {
        for (int32_t column : {0, PictureWidth - 1}) {
            const int32_t x = walk.u + row * walk.eu + column * walk.du - LensCentre * 256;
            const int32_t y = walk.v + row * walk.ev + column * walk.dv - LensCentre * 256;
            const int32_t farther = (std::max(x < 0 ? -x : x, y < 0 ? -y : y) + 255) >> 8;
            reach = std::max(reach, farther);
        }
    }
    return reach;
}

void BuildLensTable()
{
    ExtendLensTable(LensReachOf(StartLensWalk(0.0)));
}

LensEntry LensEntryAt(int row, int column)
{
    ExtendLensTable(LensCentre);
    const int a = row - LensCentre;
    const int d = column - LensCentre;
    const uint32_t entry = Effect.LensTable[LensQuarterIndex(a < 0 ? -a : a, d < 0 ? -d : d)];
    const int32_t x = static_cast<int32_t>(entry & 0xFF);
    const int32_t y = static_cast<int32_t>(entry >> 8);
    return {d < 0 ? -x : x, a < 0 ? -y : y};
}

void UpdateView()
{
    const int32_t frame = TruncToInt(Effect.FrameCounter);
    const double t = frame * EffectSpeed;
    const double sway = t * 0.002454369142651558;
    const double turn = t * 0.002045307618876298;
    const double p = 128.0 * std::cos(sway);
    Effect.ViewOffsetX = TruncToInt(p * std::cos(turn) * 4.0);
    Effect.ViewOffsetY = TruncToInt(-p * std::sin(turn) * 4.0);
    // 0.01 as a single-precision value, widened.
    Effect.ViewAngle = (-128.0 * std::sin(sway)) * 0.009999999776482582;
}

void FillLightMap(double lightX, double lightY, double height)
{
    // The map samples the light plane every 32 units, distances scaled
    // down by 32; the view offsets slide the grid under the light.
    const double z = 0.2 * height;
    const double strength = 256.0 * z;
    const double z2 = z * z;
    for (int32_t row = 0; row < LightMapCells; ++row) {
        const int32_t py = LightPlanePosition(32 * row, Effect.ViewOffsetY);
        const double dy = (py - lightY) * 0.03125;
        const double q = dy * dy + z2;
        uint8_t* cells = Effect.LightMap + row * LightMapPitch;
        // Two cells at a time: the square root and the division are the
        // same correctly rounded operations in both lanes.
        static_assert(LightMapCells % 2 == 0);
        for (int32_t column = 0; column < LightMapCells; column += 2) {
            const int32_t px0 = LightPlanePosition(32 * column, Effect.ViewOffsetX);
            const int32_t px1 = LightPlanePosition(32 * (column + 1), Effect.ViewOffsetX);
            const Double2 dx = (Double2{static_cast<double>(px0), static_cast<double>(px1)} - lightX) * 0.03125;
            const Double2 squared = dx * dx + q;
            const Double2 distance = SquareRoots(squared);
            const Double2 light = strength / (distance + 0.0001);
            cells[column] = static_cast<uint8_t>(ClampByte(TruncToInt(light[0])));
            cells[column + 1] = static_cast<uint8_t>(ClampByte(TruncToInt(light[1])));
        }
    }
}

void UpdateLightMap()
{
    std::memset(Effect.LightMap, 0, sizeof Effect.LightMap);
    FillLightMap(140.0 * std::sin(Effect.LightPhaseX), 140.0 * std::sin(Effect.LightPhaseY),
                 14.0 * std::sin(Effect.HeightPhase) + 20.0);
    AdvanceLightPhases();
}

void AdvanceLightPhases()
{
    Effect.HeightPhase += EffectSpeed * 0.0045;
    const double s = EffectSpeed * 0.87;
    Effect.LightPhaseX += s * 0.013;
    Effect.LightPhaseY += s * 0.0147;
}

namespace {

// This frame's light for every displacement, by quarter: a displacement
// (x, y) shows LightMap cell ((y + by) >> 5, (x + bx) >> 5). The few map
// rows a frame can reach are laid out once rightwards (x = X) and
// leftwards (x = -X), then copied to the quarters' rows.
void SpreadLight(int32_t bx, int32_t by)
{
    constexpr int32_t reach = LensReach;
    constexpr int32_t rowsReached = (2 * reach + 1) / 32 + 2;
    uint8_t rightwards[rowsReached][reach + 1];
    uint8_t leftwards[rowsReached][reach + 1];
    const int32_t firstMapRow = (by - reach) >> 5;
    for (int32_t mapRow = firstMapRow; mapRow <= (by + reach) >> 5; ++mapRow) {
        const uint8_t* cells = Effect.LightMap + mapRow * LightMapPitch;
        // Each cell covers 32 values of X: runs that end where (bx + X) or
        // (bx - X) crosses a multiple of 32.
        uint8_t* right = rightwards[mapRow - firstMapRow];
        uint8_t* left = leftwards[mapRow - firstMapRow];
        for (uint32_t X = 0; X <= reach;) {
            const uint32_t length = std::min<uint32_t>(reach + 1 - X, 32 - ((bx + X) & 31));
            std::memset(right + X, cells[(bx + static_cast<int32_t>(X)) >> 5], length);
            X += length;
        }
        for (uint32_t X = 0; X <= reach;) {
            const uint32_t length = std::min<uint32_t>(reach + 1 - X, ((bx - X) & 31) + 1);
            std::memset(left + X, cells[(bx - static_cast<int32_t>(X)) >> 5], length);
            X += length;
        }
    }
    uint8_t* spread = Effect.lightSpread;
    for (int32_t Y = 0; Y <= reach; ++Y) {
        const int32_t below = ((by + Y) >> 5) - firstMapRow;   // y = Y
        const int32_t above = ((by - Y) >> 5) - firstMapRow;   // y = -Y
        uint8_t* row = spread + Y * SpreadPitch;
        std::memcpy(row, rightwards[below], reach + 1);
        std::memcpy(row + SpreadQuarter, leftwards[below], reach + 1);
        std::memcpy(row + 2 * SpreadQuarter, rightwards[above], reach + 1);
        std::memcpy(row + 3 * SpreadQuarter, leftwards[above], reach + 1);
    }
}

// The first of `count` steps k (counting from 0) at which start + k * step
// lies on the other side of zero from start, or `count` if none does.
int32_t SideChangeAt(int32_t start, int32_t step, int32_t count)
{
    const int64_t last = start + int64_t{count - 1} * step;
    if ((start ^ last) >= 0) return count;
    // start < 0 < step: the first k with start + k * step >= 0;
    // start >= 0 > step: the first k with start + k * step < 0.
    if (start < 0) return static_cast<int32_t>((-int64_t{start} + step - 1) / step);
    return static_cast<int32_t>(start / -int64_t{step} + 1);
}

#if defined(__wasm_simd128__)
// WebAssembly's form of RenderEffect's same-side run (see there). Its
// compilers take lanes out of a vector slowly and fold no constant into an
// address, so: the quarter is a template argument, making both tables'
// bases constants; the lanes are taken out as 32-bit values; and eight
// pixels a step, two vectors of offsets, so that the loop's own work and
// the vector arithmetic are shared by more loads. (Measured: four pixels a
// step, stores of whole words, and loads into vector lanes were all slower.)
template <int32_t FlipX, int32_t FlipY>
void WalkSameSideWasm(uint8_t* out, int32_t x, int32_t y, int32_t count, int32_t du, int32_t dv)
{
    constexpr int32_t rowBytes = 2 * LensQuarterPitch;
    const char* entries = reinterpret_cast<const char*>(Effect.LensTable) + (FlipY & rowBytes) + (FlipX & 2);
    const uint8_t* spread = Effect.lightSpread + ((FlipY & 2) | (FlipX & 1)) * SpreadQuarter;
    auto lightOfEntryAt = [&](const void* address) -> uint8_t {
        uint16_t entry;
        std::memcpy(&entry, address, sizeof entry);
        return spread[entry];
    };
    auto lightAt = [&](uint32_t offset) { return lightOfEntryAt(entries + offset); };
    // A lane holds its entry's whole address (the table's base added in the
    // vector, once for four lanes), so each load needs no add of its own.
    auto laneLight = [&](v128_t addresses, auto lane) {
        const uintptr_t address = static_cast<uint32_t>(wasm_i32x4_extract_lane(addresses, decltype(lane)::value));
        return lightOfEntryAt(reinterpret_cast<const void*>(address));
    };
    using Lane0 = std::integral_constant<int, 0>;
    using Lane1 = std::integral_constant<int, 1>;
    using Lane2 = std::integral_constant<int, 2>;
    using Lane3 = std::integral_constant<int, 3>;

    // The same fold and the same one multiply-add a lane as the SSE2 path.
    const int32_t foldedDu = (du ^ FlipX) - FlipX, foldedDv = (dv ^ FlipY) - FlipY;
    const v128_t flipX = wasm_i32x4_splat(FlipX), flipY = wasm_i32x4_splat(FlipY);
    v128_t shiftedX = wasm_i32x4_shl(
        wasm_v128_xor(wasm_i32x4_add(wasm_i32x4_splat(x), wasm_i32x4_make(0, du, 2 * du, 3 * du)), flipX), 8);
    v128_t fy = wasm_v128_xor(wasm_i32x4_add(wasm_i32x4_splat(y), wasm_i32x4_make(0, dv, 2 * dv, 3 * dv)), flipY);
    const v128_t stepX = wasm_i32x4_splat(4 * foldedDu << 8), stepY = wasm_i32x4_splat(4 * foldedDv);
    const v128_t columnMask = wasm_i32x4_splat(~0xFFFF);
    const v128_t weights = wasm_i32x4_splat(2 << 16 | rowBytes);
    const v128_t base = wasm_i32x4_splat(static_cast<int32_t>(reinterpret_cast<uintptr_t>(entries)));
    auto offsetsAt = [&](v128_t columns, v128_t rows) {
        return wasm_i32x4_add(
            wasm_i32x4_dot_i16x8(wasm_v128_or(wasm_v128_and(columns, columnMask), wasm_i32x4_shr(rows, 8)), weights),
            base);
    };

    int32_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const v128_t first = offsetsAt(shiftedX, fy);
        const v128_t second = offsetsAt(wasm_i32x4_add(shiftedX, stepX), wasm_i32x4_add(fy, stepY));
        shiftedX = wasm_i32x4_add(shiftedX, wasm_i32x4_add(stepX, stepX));
        fy = wasm_i32x4_add(fy, wasm_i32x4_add(stepY, stepY));
        uint8_t* eight = out + k;
        eight[0] = laneLight(first, Lane0{});
        eight[1] = laneLight(first, Lane1{});
        eight[2] = laneLight(first, Lane2{});
        eight[3] = laneLight(first, Lane3{});
        eight[4] = laneLight(second, Lane0{});
        eight[5] = laneLight(second, Lane1{});
        eight[6] = laneLight(second, Lane2{});
        eight[7] = laneLight(second, Lane3{});
    }
    if (k + 4 <= count) {
        const v128_t first = offsetsAt(shiftedX, fy);
        uint8_t* four = out + k;
        four[0] = laneLight(first, Lane0{});
        four[1] = laneLight(first, Lane1{});
        four[2] = laneLight(first, Lane2{});
        four[3] = laneLight(first, Lane3{});
        k += 4;
    }
    for (; k < count; ++k) {
        const int32_t column = ((x + k * du) ^ FlipX) >> 8, row = ((y + k * dv) ^ FlipY) >> 8;
        out[k] = lightAt(2 * LensQuarterIndex(row, column));
    }
}
#endif

}   // namespace

LensWalk StartLensWalk(double theta)
{
    // The visible window is the table turned by theta about its centre
    // (512, 512); 81920 and 51200 are half the window's width and height.
    const double sine = std::sin(theta);
    const double cosine = std::cos(theta);
    LensWalk walk;
    walk.du = TruncToInt(256.0 * cosine);
    walk.dv = TruncToInt(-256.0 * sine);
    walk.eu = TruncToInt(256.0 * sine);
    walk.ev = walk.du;
    walk.u = 131072 - TruncToInt(81920.0 * cosine) + TruncToInt(-51200.0 * sine);
    walk.v = 131072 - TruncToInt(51200.0 * cosine) + TruncToInt(81920.0 * sine);
    return walk;
}

void RenderEffect()
{
    // The angle stored by the previous frame: the turn lags by one frame.
    const LensWalk walk = StartLensWalk(Effect.ViewAngle);
    ExtendLensTable(LensReachOf(walk));
    UpdateView();
    UpdateLightMap();
    SpreadLight(Effect.ViewOffsetX + LightPlaneHalf, Effect.ViewOffsetY + LightPlaneHalf);

    // Positions relative to the table's centre, x = u - 512 * 256 and
    // y = v - 512 * 256 in 8.8 fixed point: the entry's column is
    // d = x >> 8 and its row a = y >> 8. Folded into the held quarter, |d|
    // is x >> 8 for x >= 0 and (255 - x) >> 8 = -(x >> 8) for x < 0, that
    // is ((x ^ m) >> 8) + (m & 1) with m = x >> 31; the same for the row.
    constexpr int32_t centre = LensCentre * 256;
    const int32_t du = walk.du, dv = walk.dv;
    const char* table = reinterpret_cast<const char*>(Effect.LensTable);
    auto lightAt = [](const char* entries, const uint8_t* spread, uint32_t offset) -> uint32_t {
        uint16_t entry;
        std::memcpy(&entry, entries + offset, sizeof entry);
        return spread[entry];
    };

    // Where a run of pixels lies on the same side of the centre row and
    // column, one spread quarter serves them and the fold's (m & 1) moves
    // the table's base by a row and a column. The rest, (x ^ m) >> 8, is
    // walked directly: (x + k * du) ^ m is (x ^ m) + k * ((du ^ m) - m), so
    // the folded position steps like the plain one. Four pixels at a time
    // in vectors of 32-bit lanes, taken out two at a time as 64-bit halves.
    using Int4 = int32_t __attribute__((vector_size(16)));
    using Wide2 = uint64_t __attribute__((vector_size(16)));
    const Int4 lanes = {0, 1, 2, 3};
    const Int4 laneX = lanes * du, laneY = lanes * dv;
    constexpr int32_t rowBytes = 2 * LensQuarterPitch;
    auto tableOffsets = [](Int4 shiftedX, Int4 fy) {
        // 2 * LensQuarterIndex(row, column) for the folded row and column
        // less their (m & 1), lane by lane: the folded column is held
        // shifted left by 8, so that column << 16 | row is one mask, one
        // shift and an or, and the offset one 16-bit multiply-add (row and
        // column are below 512; SSE2 has no 32-bit lane multiply).
        const Int4 pair = (shiftedX & ~0xFFFF) | (fy >> 8);
#if defined(__SSE2__)
        const __m128i weights = _mm_set1_epi32(2 << 16 | rowBytes);
        return reinterpret_cast<Wide2>(_mm_madd_epi16(reinterpret_cast<__m128i>(pair), weights));
#else
        return reinterpret_cast<Wide2>((pair & 0xFFFF) * rowBytes + (pair >> 16) * 2);
#endif
    };

    // Every index stays inside its table for any view this effect produces
    // (table rows and columns 134..888, so |a| and |d| at most 378; map
    // cells 9..54), so nothing is tested per pixel.
    //
    // The picture is walked in strips of StripWidth columns, each top to
    // bottom: a turned row crosses a table line every pixel or two, and a
    // whole row's lines would not stay in the first-level cache for the
    // next row, while a strip's do (128 columns measured fastest; 64 and
    // 160 close, 320 and 640 far slower).
    constexpr int32_t StripWidth = 128;
    static_assert(PictureWidth % StripWidth == 0);

    // `count` pixels from `out`, the first at (x, y), all on the same side
    // of the centre row and column: four at a time, the last few alone.
    auto walkSameSide = [&](uint8_t* out, int32_t x, int32_t y, int32_t count) {
#if defined(__wasm_simd128__)
        switch ((y < 0) << 1 | (x < 0)) {
        case 0:
            return WalkSameSideWasm<0, 0>(out, x, y, count, du, dv);
        case 1:
            return WalkSameSideWasm<-1, 0>(out, x, y, count, du, dv);
        case 2:
            return WalkSameSideWasm<0, -1>(out, x, y, count, du, dv);
        default:
            return WalkSameSideWasm<-1, -1>(out, x, y, count, du, dv);
        }
#endif
        const int32_t flipX = x >> 31, flipY = y >> 31;
        const uint8_t* spread = Effect.lightSpread + ((flipY & 2) | (flipX & 1)) * SpreadQuarter;
        const char* entries = table + (flipY & rowBytes) + (flipX & 2);
        const int32_t foldedDu = (du ^ flipX) - flipX, foldedDv = (dv ^ flipY) - flipY;
        Int4 shiftedX = ((x + laneX) ^ flipX) << 8;
        Int4 fy = (y + laneY) ^ flipY;
        const Int4 stepX = Int4{} + (4 * foldedDu << 8), stepY = Int4{} + 4 * foldedDv;
        int32_t k = 0;
        for (; k + 4 <= count; k += 4) {
            const Wide2 offsets = tableOffsets(shiftedX, fy);
            shiftedX += stepX;
            fy += stepY;
            // Byte stores: cheaper than shifting four into one word.
            out[k + 0] = static_cast<uint8_t>(lightAt(entries, spread, offsets[0] & 0xFFFFFFFF));
            out[k + 1] = static_cast<uint8_t>(lightAt(entries, spread, offsets[0] >> 32));
            out[k + 2] = static_cast<uint8_t>(lightAt(entries, spread, offsets[1] & 0xFFFFFFFF));
            out[k + 3] = static_cast<uint8_t>(lightAt(entries, spread, offsets[1] >> 32));
        }
        for (; k < count; ++k) {
            const int32_t column = ((x + k * du) ^ flipX) >> 8, row = ((y + k * dv) ^ flipY) >> 8;
            out[k] = static_cast<uint8_t>(lightAt(entries, spread, 2 * LensQuarterIndex(row, column)));
        }
    };

    // A strip's row is cut where it crosses the centre column and where it
    // crosses the centre row (each at most once: the row is straight), and
    // each piece is one run.
    for (int32_t strip = 0; strip < PictureWidth; strip += StripWidth) {
        for (int32_t row = 0; row < PictureHeight; ++row) {
            const int32_t x = walk.u + row * walk.eu + strip * du - centre;
            const int32_t y = walk.v + row * walk.ev + strip * dv - centre;
            uint8_t* target = WorkPixel(strip, row);
            const int32_t crossX = SideChangeAt(x, du, StripWidth);
            const int32_t crossY = SideChangeAt(y, dv, StripWidth);
            const int32_t first = crossX < crossY ? crossX : crossY;
            const int32_t second = crossX < crossY ? crossY : crossX;
            walkSameSide(target, x, y, first);
            if (first == StripWidth) continue;
            walkSameSide(target + first, x + first * du, y + first * dv, second - first);
            if (second == StripWidth) continue;
            walkSameSide(target + second, x + second * du, y + second * dv, StripWidth - second);
        }
    }
}
