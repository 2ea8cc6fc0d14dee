#include "picture/lens_effect.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#include "base/arith.h"
#include "picture/surfaces.h"

EffectState Effect;

// Four pixels go out as one 32-bit store, the leftmost in the lowest byte.
static_assert(std::endian::native == std::endian::little);

void ResetEffect()
{
    std::destroy_at(&Effect);
    std::construct_at(&Effect);
}

void BuildLensTable()
{
    // A sphere of radius 730 (532900 = 730^2) over the table, its height
    // turned into a displacement factor h that is largest at the centre and
    // falls towards the edges; h * r peaks near r = 340 and mirrors beyond.
    LensEntry* entry = Effect.LensTable;
    for (int j = 0; j < LensSize; ++j) {
        const double a = j - 512;
        for (int i = 0; i < LensSize; ++i, ++entry) {
            const double d = i - 512;
            const double e = std::sqrt(532900.0 - d * d - a * a) * 4.0 - 1500.0;
            const double h = (1.0 - (LensHeightLow - e) / (LensHeightHigh - e)) * 0.3333333333333333;
            entry->x = TruncToInt(h * d);
            entry->y = TruncToInt(h * a);
            Effect.lensTiles[LensTileIndex(j, i)] =
                static_cast<uint32_t>((entry->y + LensReach) * SpreadPitch + entry->x + LensReach);
        }
    }
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
    // The map samples a 2048 x 2048 plane every 32 units, distances scaled
    // down by 32; the view offsets slide the grid under the light.
    const double z = 0.2 * height;
    const double strength = 256.0 * z;
    const double z2 = z * z;
    for (int32_t row = 0; row < LightMapCells; ++row) {
        const int32_t py = ((32 * row - Effect.ViewOffsetY) & 2047) - 1024;
        const double dy = (py - lightY) * 0.03125;
        const double q = dy * dy + z2;
        uint8_t* cells = Effect.LightMap + row * LightMapPitch;
        for (int32_t column = 0; column < LightMapCells; ++column) {
            const int32_t px = ((32 * column - Effect.ViewOffsetX) & 2047) - 1024;
            const double dx = (px - lightX) * 0.03125;
            const int32_t intensity = TruncToInt(strength / (std::sqrt(dx * dx + q) + 0.0001));
            cells[column] = static_cast<uint8_t>(ClampByte(intensity));
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
    UpdateView();
    UpdateLightMap();
    const int32_t bx = Effect.ViewOffsetX + 1024;
    const int32_t by = Effect.ViewOffsetY + 1024;

    // Where each displacement lands in this frame's map: a displacement y
    // picks the map row (y + by) >> 5 and x the byte (x + bx) >> 5 within
    // it. The few map rows a frame can reach are spread out once over all
    // displacements, so a pixel costs its table entry and one lookup.
    constexpr int32_t reach = LensReach;
    uint8_t lightRows[(2 * reach + 1) / 32 + 2][2 * reach + 1];
    const int32_t firstMapRow = (by - reach) >> 5;
    for (int32_t mapRow = firstMapRow; mapRow <= (by + reach) >> 5; ++mapRow) {
        uint8_t* copy = lightRows[mapRow - firstMapRow];
        for (int32_t x = -reach; x <= reach; ++x)
            copy[x + reach] = Effect.LightMap[mapRow * LightMapPitch + ((x + bx) >> 5)];
    }
    for (int32_t y = -reach; y <= reach; ++y)
        std::memcpy(Effect.lightSpread + (y + reach) * SpreadPitch, lightRows[((y + by) >> 5) - firstMapRow],
                    2 * reach + 1);

    // Table positions (v >> 8, u >> 8), four pixels at a time in vectors of
    // 32-bit lanes, as byte offsets of their tiled entries, taken out two at
    // a time as 64-bit halves; eight pixels (two stores) a step.
    using Int4 = int32_t __attribute__((vector_size(16)));
    using Wide2 = uint64_t __attribute__((vector_size(16)));
    const Int4 stepU = {4 * walk.du, 4 * walk.du, 4 * walk.du, 4 * walk.du};
    const Int4 stepV = {4 * walk.dv, 4 * walk.dv, 4 * walk.dv, 4 * walk.dv};
    const Int4 three = {3, 3, 3, 3};
    auto tileOffsets = [three](Int4 u4, Int4 v4) {
        // 4 * LensTileIndex(v >> 8, u >> 8), lane by lane.
        const Int4 row = v4 >> 8, column = u4 >> 8;
        return reinterpret_cast<Wide2>(((row >> 2) << 14) + ((column >> 2) << 6) + ((row & three) << 4) +
                                       ((column & three) << 2));
    };
    const char* tiles = reinterpret_cast<const char*>(Effect.lensTiles);
    const uint8_t* spread = Effect.lightSpread;
    auto pixel = [tiles, spread](uint64_t offset) -> uint32_t {
        uint32_t at;
        std::memcpy(&at, tiles + offset, sizeof at);
        return spread[at];
    };

    // Every index stays inside its table for any view this effect produces
    // (table rows and columns 134..888, map cells 9..54), so nothing is
    // tested per pixel.
    for (int32_t row = 0; row < PictureHeight; ++row) {
        const int32_t u = walk.u + row * walk.eu;
        const int32_t v = walk.v + row * walk.ev;
        Int4 u4 = {u, u + walk.du, u + 2 * walk.du, u + 3 * walk.du};
        Int4 v4 = {v, v + walk.dv, v + 2 * walk.dv, v + 3 * walk.dv};
        uint8_t* target = WorkPixel(0, row);
        for (int32_t column = 0; column < PictureWidth; column += 8) {
            const Wide2 offsets = tileOffsets(u4, v4);
            const Wide2 next = tileOffsets(u4 + stepU, v4 + stepV);
            u4 += stepU + stepU;
            v4 += stepV + stepV;
            const uint32_t four = pixel(offsets[0] & 0xFFFFFFFF) | pixel(offsets[0] >> 32) << 8 |
                                  pixel(offsets[1] & 0xFFFFFFFF) << 16 | pixel(offsets[1] >> 32) << 24;
            const uint32_t more = pixel(next[0] & 0xFFFFFFFF) | pixel(next[0] >> 32) << 8 |
                                  pixel(next[1] & 0xFFFFFFFF) << 16 | pixel(next[1] >> 32) << 24;
            std::memcpy(target + column, &four, sizeof four);
            std::memcpy(target + column + 4, &more, sizeof more);
        }
    }
}
