#pragma once
// The document file as JSON and back: `dump` prints it, `build` writes the
// file again, byte for byte the one dumped, in the version it was read from.
//
// What the document keeps is not all a file holds: a "veltp_v3_2" record's
// byte 75 (the reader puts squelch level 03 there), the key entries past
// the key count, and a channel count other than 512. The dump carries those
// in members of their own ("storedByte75", "spareKeys", "channelCount",
// "stringForms"),
// present only when the file needs them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliJson.h"
#include "model/CTmpDoc.h"
#include "model/Encrypt.h"

namespace quillon::cli {

struct FileExtras {
    // Strings the file holds in another form than the writer's (a longer
    // length prefix, or 16-bit characters): their place among the file's
    // strings, counted from 0, and their bytes as they stand.
    std::vector<std::pair<size_t, std::vector<uint8_t>>> stringForms;
    std::string channelCount = "512";
    bool version32 = false;
    std::vector<uint8_t> storedByte75;       // per stored record, "veltp_v3_2" only
    std::vector<model::KeyEntry> spareKeys;  // entries past the key count
};

// The extras of a file that ReadDocument accepted.
FileExtras ReadFileExtras(const std::vector<uint8_t>& file);

// Adds the members the file needs beyond the document's own.
void AddFileExtras(Json& root, const FileExtras& extras);

struct BuildResult {
    bool ok = false;
    std::string message;  // on failure: the JSON path of the offending value and why
    std::vector<uint8_t> bytes;
};

// The document file the JSON text describes.
BuildResult BuildDocument(const std::string& jsonText);

}  // namespace quillon::cli
