// Fuzz target: the document file reader. Whatever it accepts must survive
// being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "model/ChannelCsv.h"
#include "model/DocumentFile.h"

using namespace quillon::model;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto doc = std::make_unique<CTmpDoc>();
    static auto again = std::make_unique<CTmpDoc>();
    FileResult r = ReadDocument(data, size, *doc);
    if (!r.ok()) {
        if (r.status == FileResult::Status::Failed && doc->channels.UsedCount() != 0) {
            std::abort();  // a failed read must leave the document empty
        }
        return 0;
    }
    std::vector<uint8_t> written = WriteDocument(*doc);
    if (!ReadDocument(written.data(), written.size(), *again).ok() ||
        WriteDocument(*again) != written) {
        std::abort();
    }
    std::string csv;
    ExportCsv(*doc, csv);
    return 0;
}
