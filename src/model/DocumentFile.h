#pragma once
// The ".bcf" document file: reading every accepted version, writing the
// newest ("veltp_v3_5").
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "model/FileResult.h"

namespace quillon::model {

inline constexpr const char* kWrittenFormatTag = "veltp_v3_5";
// No real document comes near this; it only keeps a stray huge file from
// being read into memory.
inline constexpr size_t kMaxDocumentFileSize = 64u * 1024u * 1024u;

std::vector<uint8_t> WriteDocument(const CTmpDoc& doc);

// Empties the document, then reads it from the bytes. A refused tag leaves
// the document emptied; a file that ends early (or holds more than the
// format allows) empties it again.
FileResult ReadDocument(const uint8_t* data, size_t size, CTmpDoc& doc);

// Open: the document becomes the file's, carries its path and is not
// modified. A file that cannot be read, is refused or breaks off leaves the
// document, its name included, exactly as it was.
FileResult OpenDocumentFile(const std::string& path, CTmpDoc& doc);
// Save: the document takes the path and is no longer modified. On failure
// the previous file is untouched and the document keeps its state.
FileResult SaveDocumentFile(const std::string& path, CTmpDoc& doc);

}  // namespace quillon::model
