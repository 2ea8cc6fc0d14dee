// The only ways data enters the program: whole asset files read by plain
// name from the current directory, and the two embedded "BIN" resources.
// The shell reads the files; the picture and the player get their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/asset_bytes.h"

// The four asset files.
inline constexpr char SongFileName[] = "ZEB_27.DMP";
inline constexpr char LogoFileName[] = "quillmoor_cut2_632x246x8.bmp";
inline constexpr char FontTableFileName[] = "FNT1616.FTB";   // character code -> glyph number
inline constexpr char FontGlyphFileName[] = "FNT1616.GFX";   // 16 x 16 one-bit glyphs

// Size of an open stream in bytes; the stream's position is left as it was.
// -1 when the stream has no size (a directory, a pipe).
int32_t FileSize(std::FILE* file);

// Size of the named file, or -1 if it can't be opened.
int32_t FileSizeByName(const char* name);

// Reads the named file from its start into `destination`, at most `capacity`
// bytes; a longer file fills the buffer and no more. Returns the file's size
// (also when it was cut short), or 0 if the file can't be opened, in which
// case the destination is untouched.
int32_t ReadWholeFile(const char* name, void* destination, size_t capacity);

// Whether `path` names a regular file (following a symbolic link); false for
// a missing path, a directory, a FIFO or a device.
bool IsRegularFile(const char* path);

// Reads the named asset into `buffer` (at most `capacity` bytes) and returns
// the bytes read with the file's size. Only a regular file is an asset: a
// missing file, a directory, a FIFO or a device gives no bytes and size -1,
// so nothing ever waits on a reader that does not come.
AssetBytes ReadAsset(const char* name, uint8_t* buffer, size_t capacity);

// The start-up's reads: each reads its file(s) with ReadAsset and hands the
// bytes to the loader that keeps them (LoadSong, InitLogo, LoadFont).
void LoadSongFromFile(const char* name);
void InitLogoFromFile(const char* name);
void LoadFontFromFiles(const char* glyphTableName, const char* glyphsName);

// The bytes of embedded resource `id` (low 16 bits) of type "BIN", valid for
// the life of the process, or null when there is none. The size (0 for a
// missing resource) is stored when `size` is given.
const void* LoadBinResource(uint32_t id, uint32_t* size);
