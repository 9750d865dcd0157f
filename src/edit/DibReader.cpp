#include "edit/DibReader.h"

#include "model/FileIo.h"

namespace quillon::edit {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV4Header = 108;
constexpr uint32_t kV5Header = 124;
constexpr uint32_t kUncompressed = 0;

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int64_t S32(const uint8_t* p) {
    const uint32_t u = U32(p);
    return u >= 0x80000000u ? static_cast<int64_t>(u) - (int64_t{1} << 32)
                            : static_cast<int64_t>(u);
}

struct Layout {
    uint32_t headerBytes = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative: rows stored top row first
    uint16_t planes = 0;
    uint16_t bits = 0;
    uint32_t compression = kUncompressed;
    uint32_t coloursUsed = 0;
    size_t colourEntryBytes = 0;
};

// Fills the layout from the bitmap header behind the file header; false
// when the header is of a kind this reader does not take or is cut short.
bool ReadLayout(const uint8_t* data, size_t size, Layout& l) {
    if (size < kFileHeaderBytes + 4) {
        return false;
    }
    const uint8_t* h = data + kFileHeaderBytes;
    l.headerBytes = U32(h);
    if (l.headerBytes != kCoreHeader && l.headerBytes != kInfoHeader &&
        l.headerBytes != kV4Header && l.headerBytes != kV5Header) {
        return false;
    }
    if (size - kFileHeaderBytes < l.headerBytes) {
        return false;
    }
    if (l.headerBytes == kCoreHeader) {
        // The older header: 16-bit sizes, always bottom-up, and colour
        // entries of three bytes.
        l.width = U16(h + 4);
        l.height = U16(h + 6);
        l.planes = U16(h + 8);
        l.bits = U16(h + 10);
        l.colourEntryBytes = 3;
        return true;
    }
    l.width = S32(h + 4);
    l.height = S32(h + 8);
    l.planes = U16(h + 12);
    l.bits = U16(h + 14);
    l.compression = U32(h + 16);
    l.coloursUsed = U32(h + 32);
    l.colourEntryBytes = 4;
    return true;
}

}  // namespace

uint8_t DibPicture::IndexAt(int x, int y) const {
    return indices[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

DibColour DibPicture::ColourAt(int x, int y) const {
    const size_t i = IndexAt(x, y);
    return i < palette.size() ? palette[i] : DibColour{};
}

std::optional<DibPicture> ReadDib(const uint8_t* data, size_t size) {
    if (data == nullptr || size > kDibMaxFileBytes || size < kFileHeaderBytes || data[0] != 'B' ||
        data[1] != 'M') {
        return std::nullopt;
    }
    Layout l;
    if (!ReadLayout(data, size, l)) {
        return std::nullopt;
    }
    if (l.planes != 1 || (l.bits != 1 && l.bits != 4 && l.bits != 8) ||
        l.compression != kUncompressed) {
        return std::nullopt;
    }
    const bool topDown = l.height < 0;
    const int64_t height = topDown ? -l.height : l.height;
    if (l.width <= 0 || height <= 0 || l.width > kDibMaxSide || height > kDibMaxSide ||
        l.width * height > kDibMaxPixels) {
        return std::nullopt;
    }

    const size_t tableSize = size_t{1} << l.bits;
    size_t colours = tableSize;
    if (l.coloursUsed != 0) {
        if (l.coloursUsed > tableSize) {
            return std::nullopt;
        }
        colours = l.coloursUsed;
    }
    // Sizes are below 2^32 from here on (the file is capped at 16 MiB), so
    // the sums below cannot wrap.
    const size_t tableStart = kFileHeaderBytes + l.headerBytes;
    const size_t tableEnd = tableStart + colours * l.colourEntryBytes;
    if (tableEnd > size) {
        return std::nullopt;
    }
    const size_t pixelStart = U32(data + 10);
    const size_t width = static_cast<size_t>(l.width);
    const size_t rows = static_cast<size_t>(height);
    // Each row is padded to a whole number of 32-bit words.
    const size_t stride = (width * l.bits + 31) / 32 * 4;
    if (pixelStart < tableEnd || pixelStart > size || (size - pixelStart) / stride < rows) {
        return std::nullopt;
    }

    DibPicture pic;
    pic.width = static_cast<int>(l.width);
    pic.height = static_cast<int>(height);
    pic.bitsPerPixel = l.bits;
    pic.palette.reserve(colours);
    for (size_t i = 0; i < colours; ++i) {
        // Stored blue first.
        const uint8_t* e = data + tableStart + i * l.colourEntryBytes;
        pic.palette.push_back(DibColour{e[2], e[1], e[0]});
    }
    pic.indices.resize(width * rows);
    const unsigned perByte = 8u / l.bits;
    const unsigned mask = (1u << l.bits) - 1u;
    for (size_t y = 0; y < rows; ++y) {
        const size_t stored = topDown ? y : rows - 1 - y;
        const uint8_t* row = data + pixelStart + stored * stride;
        uint8_t* out = pic.indices.data() + y * width;
        for (size_t x = 0; x < width; ++x) {
            // The leftmost pixel sits in a byte's high bits.
            const unsigned shift = (perByte - 1u - static_cast<unsigned>(x % perByte)) * l.bits;
            out[x] =
                static_cast<uint8_t>((static_cast<unsigned>(row[x / perByte]) >> shift) & mask);
        }
    }
    return pic;
}

std::optional<DibPicture> LoadDibFile(const std::string& path) {
    const model::FileContent file = model::ReadWholeFile(path, kDibMaxFileBytes);
    if (file.status != model::FileContent::Status::Ok) {
        return std::nullopt;
    }
    return ReadDib(file.bytes.data(), file.bytes.size());
}

}  // namespace quillon::edit
