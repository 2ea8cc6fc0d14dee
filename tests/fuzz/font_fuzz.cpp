// Any font table and glyph file: load them, then draw several frames of the page.
#include <cstdint>
#include <cstring>

#include "app/asset_files.h"
#include "fuzz_files.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterFuzzDirectory();
    // Two bytes give the table file's length; the rest is the glyph file.
    if (size < 2) return 0;
    size_t tableSize = (static_cast<size_t>(data[0]) << 8 | data[1]) * 4u;
    data += 2;
    size -= 2;
    if (tableSize > size) tableSize = size;
    WriteFuzzFile(FontTableFileName, data, tableSize);
    WriteFuzzFile(FontGlyphFileName, data + tableSize, size - tableSize);

    ResetText();
    BuildRecolourTable();
    LoadFontFromFiles(FontTableFileName, FontGlyphFileName);
    for (int frame = 0; frame < 4; ++frame) DrawTextPage();
    // Every glyph code, at the edges of where a glyph may stand.
    for (int32_t code = -2; code < 514; code += 3) {
        DrawGlyph(-16, -16, code);
        DrawGlyph(640, 400, code);
    }
    return 0;
}
