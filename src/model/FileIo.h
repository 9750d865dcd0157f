#pragma once
// Whole-file reading with a size bound, and a short form of the atomic save
// (model/AtomicFile.h) for callers that need only success or failure.
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
