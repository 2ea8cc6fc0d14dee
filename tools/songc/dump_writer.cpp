#include "dump_writer.h"

namespace songc {

namespace {

void PutBig(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
}

constexpr int HeaderVersion = 1;
constexpr size_t TitleOffset = 16;
constexpr size_t TitleSize = 16;

}   // namespace

std::vector<uint8_t> EncodeDelta(const std::vector<RegisterFrame>& frames, const std::string& title)
{
    std::vector<uint8_t> out(DeltaHeaderSize, 0);
    PutBig(out, 0, DeltaMagic, 4);
    PutBig(out, 4, static_cast<uint32_t>(frames.size()), 4);
    PutBig(out, 8, 0, 4);   // the song loops to its first frame
    PutBig(out, 12, FrameRate, 2);
    PutBig(out, 14, HeaderVersion, 2);
    for (size_t i = 0; i < title.size() && i < TitleSize; ++i) out[TitleOffset + i] = static_cast<uint8_t>(title[i]);

    const RegisterFrame* previous = nullptr;
    for (const RegisterFrame& frame : frames) {
        uint32_t mask = 0;
        for (int r = 0; r < RegisterCount; ++r) {
            const bool write = previous == nullptr || (r == ShapeRegister ? frame.restartEnvelope
                                                                          : frame.regs[static_cast<size_t>(r)] !=
                                                                                previous->regs[static_cast<size_t>(r)]);
            if (write) mask |= 1u << (15 - r);
        }
        out.push_back(static_cast<uint8_t>(mask >> 8));
        out.push_back(static_cast<uint8_t>(mask & 0xFF));
        for (int r = 0; r < RegisterCount; ++r) {
            if (mask & (1u << (15 - r))) out.push_back(frame.regs[static_cast<size_t>(r)]);
        }
        previous = &frame;
    }
    return out;
}

std::vector<uint8_t> EncodeRaw(const std::vector<RegisterFrame>& frames)
{
    std::vector<uint8_t> out;
    out.reserve(frames.size() * RegisterCount);
    bool first = true;
    for (const RegisterFrame& frame : frames) {
        out.insert(out.end(), frame.regs.begin(), frame.regs.end() - 1);
        out.push_back(first || frame.restartEnvelope ? frame.regs[ShapeRegister] : 255);
        first = false;
    }
    return out;
}

}   // namespace songc
