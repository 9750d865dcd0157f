#pragma once
// The optional picture "backgrnd.bmp" beside the program: a palette bitmap
// file read into its colour table and one colour index per pixel. The file
// comes from whoever put it there, so nothing in its headers is trusted:
// every size is checked against the bytes really present, and anything the
// reader does not understand is refused rather than guessed at.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon::edit {

struct DibColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

struct DibPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    // The file's colour table: 1 to 2^bitsPerPixel entries. A pixel whose
    // index has no entry is drawn black (ColourAt).
    std::vector<DibColour> palette;
    // width * height colour indices, top row first, left to right.
    std::vector<uint8_t> indices;

    uint8_t IndexAt(int x, int y) const;
    DibColour ColourAt(int x, int y) const;
};

// Bounds of what is read at all. A picture drawn in the middle of a window
// has no business being larger than a screen; the file cap keeps a
// multi-gigabyte file from being read whole.
inline constexpr size_t kDibMaxFileBytes = 16u * 1024u * 1024u;
inline constexpr int kDibMaxSide = 8192;
inline constexpr int64_t kDibMaxPixels = int64_t{16} * 1024 * 1024;

// The picture in a whole file's bytes (file header included), or nothing
// when the file is not an uncompressed 1-, 4- or 8-bit bitmap with a
// 12-, 40-, 108- or 124-byte header whose colour table and pixels lie inside
// the data.
std::optional<DibPicture> ReadDib(const uint8_t* data, size_t size);

// The same from a file; a file that cannot be read or is larger than
// kDibMaxFileBytes gives nothing.
std::optional<DibPicture> LoadDibFile(const std::string& path);

}  // namespace quillon::edit
