#pragma once
// Whole-file reading with a size bound, and saving that never damages the
// previous file: the new content goes to a temporary file in the same folder,
// which is then renamed over the old one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::model {

struct FileContent {
    enum class Status { Ok, CannotOpen, TooLarge };
    Status status = Status::CannotOpen;
    std::vector<uint8_t> bytes;
};
// Reading stops (TooLarge) as soon as the file proves longer than maxBytes.
FileContent ReadWholeFile(const std::string& path, size_t maxBytes);

// False, with the old file (if any) untouched, when anything fails.
bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size);

}  // namespace quillon::model
