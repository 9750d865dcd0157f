// How long the document operations take on a full configuration: 512 used
// channels (fixed and scan), 16 keys, 16 full squelch groups and 12 tones.
// Loading and saving a document file, exporting and importing the channel
// table as CSV; each is repeated and the median and worst times printed.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "model/ChannelCsv.h"
#include "model/DocumentFile.h"

namespace {

using namespace quillon::model;
using Clock = std::chrono::steady_clock;

// A channel number as the image holds it: four BCD digits.
uint16_t Bcd(int n) {
    return static_cast<uint16_t>(((n / 1000) << 12) | ((n / 100 % 10) << 8) | ((n / 10 % 10) << 4) |
                                 (n % 10));
}

void FillDocument(CTmpDoc& doc) {
    for (int i = 0; i < kChannelCount; ++i) {
        CChannel& ch = doc.channels[i];
        ch.Clear();
        char name[16];
        std::snprintf(name, sizeof name, "Chan%03d", i);
        ch.SetNameBytes(name);
        if (i % 8 == 7) {
            ch.SetKind(ChannelKind::Scan);
            for (int r = 0; r < kMaxScanRefs; ++r) {
                ch.SetScanRef(r, Bcd(i - 7 + r), 0x25);
            }
            ch.SetScanRefCount(kMaxScanRefs);
        } else {
            ch.SetKind(ChannelKind::Fixed);
            ch.text.kind = "real";
            ch.text.signalKeyword = "ctcss";
            ch.text.bandwidth = "12.5";
            ch.text.name = name;
            ch.text.rxFrequency = "450.125";
            ch.text.txFrequency = "455.125";
            ch.text.rxNac = "0x293";
            ch.text.txNac = "0xf000";
            ch.text.rxTone = "067.0";
            ch.text.txTone = "f000";
            ch.text.power = "50";
            ch.text.talkgroup = "0x0001";
            ch.text.squelchLevel = "03";
            ch.ApplyLegacyText();
        }
    }
    for (int k = 0; k < Encrypt::kMaxKeys; ++k) {
        doc.keys.Add("0123456789abcdef", k + 1);
    }
    for (int g = 0; g < SquGroup::kGroups; ++g) {
        for (int i = 0; i < SquGroup::kItems; ++i) {
            doc.squelchGroups.SetItem(g, i, SquGroup::kNac, "0x" + std::to_string(100 + i));
        }
    }
    for (int s = 0; s < CToneRemote::kSlots; ++s) {
        doc.toneRemote.SetEntry(s, CToneRemote::kChannel, 7 + 8 * s);
    }
}

void Measure(const char* what, int runs, const std::function<void()>& op) {
    std::vector<double> us;
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        op();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    std::printf("%-44s median %9.1f us   worst %9.1f us   (%d runs)\n", what, us[us.size() / 2],
                us.back(), runs);
}

}  // namespace

int main() {
    auto doc = std::make_unique<CTmpDoc>();
    FillDocument(*doc);
    auto loaded = std::make_unique<CTmpDoc>();
    const std::vector<uint8_t> file = WriteDocument(*doc);
    std::string csv;
    ExportCsv(*doc, csv);
    std::printf("document file %zu bytes, CSV %zu bytes, %d used channels\n", file.size(),
                csv.size(), doc->channels.UsedCount());
    // A refused import returns early and would be measured as a fast one.
    FileResult imported = ImportCsv(csv, *loaded);
    if (!imported.ok()) {
        std::printf("CSV import refused: %s\n", imported.message.c_str());
        return 1;
    }

    const int runs = 200;
    Measure("load document (from memory)", runs,
            [&] { ReadDocument(file.data(), file.size(), *loaded); });
    Measure("save document (to memory)", runs, [&] { WriteDocument(*doc); });

    auto dir = std::filesystem::temp_directory_path() / "quillon_bench_model";
    std::filesystem::create_directories(dir);
    std::string bcf = (dir / "full.bcf").string();
    std::string out = (dir / "full.csv").string();
    Measure("save document file (temporary + rename)", runs, [&] { SaveDocumentFile(bcf, *doc); });
    Measure("open document file", runs, [&] { OpenDocumentFile(bcf, *loaded); });

    Measure("export CSV (to memory)", runs, [&] {
        std::string text;
        ExportCsv(*doc, text);
    });
    Measure("import CSV (from memory)", runs, [&] { ImportCsv(csv, *loaded); });
    Measure("export CSV file", runs, [&] { ExportCsvFile(out, *doc); });
    Measure("import CSV file", runs, [&] { ImportCsvFile(out, *loaded); });
    std::filesystem::remove_all(dir);
    return 0;
}
