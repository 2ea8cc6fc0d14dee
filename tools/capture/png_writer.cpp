#include "png_writer.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void AppendBytes(void* context, void* data, int size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<std::vector<uint8_t>*>(context)->insert(static_cast<std::vector<uint8_t>*>(context)->end(), bytes,
                                                        bytes + size);
}

}   // namespace

std::vector<uint8_t> PixelsToRgb(const uint32_t* pixels, size_t count)
{
    std::vector<uint8_t> rgb(count * 3);
    for (size_t i = 0; i < count; i++) {
        rgb[3 * i + 0] = static_cast<uint8_t>(pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(pixels[i]);
    }
    return rgb;
}

std::vector<uint8_t> EncodePng(const uint32_t* pixels, uint32_t width, uint32_t height)
{
    const std::vector<uint8_t> rgb = PixelsToRgb(pixels, size_t(width) * height);
    std::vector<uint8_t> png;
    stbi_write_png_to_func(AppendBytes, &png, static_cast<int>(width), static_cast<int>(height), 3, rgb.data(),
                           static_cast<int>(width * 3));
    return png;
}
