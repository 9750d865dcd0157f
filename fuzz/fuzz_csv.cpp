// Fuzz target: the CSV importer. Whatever it stores must export and import
// again into the same slots with the same kinds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "model/CTmpDoc.h"
#include "model/ChannelCsv.h"

using namespace quillon::model;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto doc = std::make_unique<CTmpDoc>();
    static auto back = std::make_unique<CTmpDoc>();
    doc->NewDocument();
    back->NewDocument();
    ImportCsv(std::string_view(reinterpret_cast<const char*>(data), size), *doc);
    std::string csv;
    if (!ExportCsv(*doc, csv).ok()) {
        return 0;
    }
    ImportCsv(csv, *back);
    for (int i = 0; i < kChannelCount; ++i) {
        if (back->channels[i].KindByte() != doc->channels[i].KindByte()) {
            std::abort();
        }
    }
    return 0;
}
