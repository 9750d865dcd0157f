// Fuzz target: the picture reader. Whatever the bytes, it must neither
// crash nor read outside them, and a picture it accepts must be whole: a
// size within the limits, a colour table the depth allows, and one index of
// the depth's range per pixel.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "edit/DibReader.h"

using namespace quillon::edit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto pic = ReadDib(data, size);
    if (!pic) {
        return 0;
    }
    const int bits = pic->bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8) {
        std::abort();
    }
    if (pic->width <= 0 || pic->height <= 0 || pic->width > kDibMaxSide ||
        pic->height > kDibMaxSide) {
        std::abort();
    }
    const size_t pixels = static_cast<size_t>(pic->width) * static_cast<size_t>(pic->height);
    // Every pixel needs at least its bits in the data.
    if (pic->indices.size() != pixels || pixels * static_cast<size_t>(bits) / 8 > size) {
        std::abort();
    }
    if (pic->palette.empty() || pic->palette.size() > (size_t{1} << bits)) {
        std::abort();
    }
    for (uint8_t i : pic->indices) {
        if (i >= (1u << bits)) {
            std::abort();
        }
    }
    return 0;
}
