#include "app/asset_files.h"

#include <climits>

#include <sys/stat.h>

#include "music/player.h"
#include "music/player_state.h"
#include "picture/logo_overlay.h"
#include "picture/text_page.h"

namespace {

// What the shell reads the asset files into, each as large as the buffer its
// loader keeps; the loaders copy the bytes out. The logo, the largest file,
// is read straight into the logo's own buffer: a second copy would cost the
// start a page fault for every 4 KB of it.
uint8_t SongFileBytes[SongBufferSize];
uint8_t FontTableFileBytes[sizeof TextState::GlyphIndexTable];
uint8_t FontGlyphFileBytes[sizeof TextState::GlyphBitmaps];

}   // namespace

int32_t FileSize(std::FILE* file)
{
    const long position = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, position < 0 ? 0 : position, SEEK_SET);
    // A directory opens as a stream on some systems and reports a huge or
    // negative size; treat anything unrepresentable as "no size".
    if (size < 0 || size > INT32_MAX) return -1;
    return static_cast<int32_t>(size);
}

int32_t FileSizeByName(const char* name)
{
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return -1;
    const int32_t size = FileSize(file);
    std::fclose(file);
    return size;
}

int32_t ReadWholeFile(const char* name, void* destination, size_t capacity)
{
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return 0;
    const int32_t size = FileSize(file);
    if (size > 0) {
        const size_t wanted = static_cast<size_t>(size) < capacity ? static_cast<size_t>(size) : capacity;
        // A short read is not an error: the rest of the buffer keeps what it had.
        (void)std::fread(destination, 1, wanted, file);
    }
    std::fclose(file);
    return size < 0 ? 0 : size;
}

bool IsRegularFile(const char* path)
{
    // The C library's stat, on Windows too: std::filesystem would bring the
    // C++ library's locale and stream machinery into the Windows program.
    struct stat info;
    if (stat(path, &info) != 0) return false;
    return (info.st_mode & S_IFMT) == S_IFREG;
}

AssetBytes ReadAsset(const char* name, uint8_t* buffer, size_t capacity)
{
    // Checked before opening: opening a FIFO waits for a writer.
    if (!IsRegularFile(name)) return {};
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return {};
    const int32_t size = FileSize(file);
    size_t read = 0;
    if (size > 0) {
        const size_t wanted = static_cast<size_t>(size) < capacity ? static_cast<size_t>(size) : capacity;
        read = std::fread(buffer, 1, wanted, file);
    }
    std::fclose(file);
    return {{buffer, read}, size};
}

void LoadSongFromFile(const char* name)
{
    LoadSong(ReadAsset(name, SongFileBytes, sizeof SongFileBytes));
}

void InitLogoFromFile(const char* name)
{
    InitLogo(ReadAsset(name, Logo.LogoFileBuffer, sizeof Logo.LogoFileBuffer));
}

void LoadFontFromFiles(const char* glyphTableName, const char* glyphsName)
{
    LoadFont(ReadAsset(glyphTableName, FontTableFileBytes, sizeof FontTableFileBytes),
             ReadAsset(glyphsName, FontGlyphFileBytes, sizeof FontGlyphFileBytes));
}
