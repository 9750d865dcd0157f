// quillon-cli document commands: new, dump, export-csv, import-csv.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliJson.h"
#include "model/CTmpDoc.h"
#include "model/ChannelCsv.h"
#include "model/DocumentFile.h"

namespace quillon::cli {

namespace {

using model::CTmpDoc;
using model::FileResult;

int Refuse(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return kExitRefused;
}

int UsageError(const char* usage) {
    std::fprintf(stderr, "usage: quillon-cli %s\n", usage);
    return kExitUsage;
}

// Opens a document; anything but a clean read is the program's message and
// exit status 2 (a refused tag opens an empty document in the program, which
// is not what a script asking for this file wants).
bool Load(const std::string& path, CTmpDoc& doc, int& status) {
    FileResult r = model::OpenDocumentFile(path, doc);
    if (!r.ok()) {
        status = Refuse(r.message);
        return false;
    }
    return true;
}

int Save(const std::string& path, CTmpDoc& doc) {
    FileResult r = model::SaveDocumentFile(path, doc);
    return r.ok() ? kExitOk : Refuse(r.message);
}

constexpr const char* kNewUsage = "new OUT.bcf";
constexpr const char* kDumpUsage = "dump FILE.bcf";
constexpr const char* kExportUsage = "export-csv FILE.bcf OUT.csv";
constexpr const char* kImportUsage = "import-csv IN.csv OUT.bcf [--base FILE.bcf]";

int RunNew(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return UsageError(kNewUsage);
    }
    CTmpDoc doc;
    return Save(args[0], doc);
}

void Field(std::string& out, const char* name, const std::string& value, bool comma = true) {
    out += "  ";
    out += JsonString(name);
    out += ": ";
    out += JsonString(value);
    out += comma ? ",\n" : "\n";
}

std::string DumpJson(const CTmpDoc& doc) {
    std::string out = "{\n";
    Field(out, "formatTag", doc.formatTag);
    Field(out, "formatNumber1", doc.formatNumber1);
    Field(out, "formatNumber2", doc.formatNumber2);
    Field(out, "docText1", doc.docText1);
    Field(out, "docText2", doc.docText2);
    Field(out, "docText3", doc.docText3);
    Field(out, "frontPanelMonitor", doc.frontPanelMonitor);
    Field(out, "frontPanelVolume", doc.frontPanelVolume);
    Field(out, "backPanelOutput", doc.backPanelOutput);
    Field(out, "defaultChannel", doc.defaultChannel);

    out += "  \"channels\": [\n";
    for (int i = 0; i < model::kChannelCount; ++i) {
        const model::CChannel& ch = doc.channels[i];
        out += "    {\"number\": " + std::to_string(i) +
               ", \"kind\": " + std::to_string(ch.KindByte()) +
               ", \"name\": " + JsonString(ch.NameText()) +
               ", \"image\": " + JsonString(HexBytes(ch.Image().data(), ch.Image().size())) + "}";
        out += i + 1 < model::kChannelCount ? ",\n" : "\n";
    }
    out += "  ],\n";

    out += "  \"squelchGroups\": [\n";
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        out += "    {\"number\": " + std::to_string(g + 1) +
               ", \"name\": " + JsonString(doc.squelchGroups.GetName(g)) + ", \"items\": [";
        for (int i = 0; i < model::SquGroup::kItems; ++i) {
            model::SquelchItem it = doc.squelchGroups.GetItem(g, i);
            out += "{\"type\": " + std::to_string(it.type) +
                   ", \"value\": " + JsonString(it.value) + "}";
            out += i + 1 < model::SquGroup::kItems ? ", " : "";
        }
        out += "]}";
        out += g + 1 < model::SquGroup::kGroups ? ",\n" : "\n";
    }
    out += "  ],\n";

    out += "  \"toneRemote\": [\n";
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        model::ToneEntry e = doc.toneRemote.RawEntry(s);
        out += "    {\"function\": " + std::to_string(e.function) +
               ", \"argument\": " + JsonString(e.argument) + "}";
        out += s + 1 < model::CToneRemote::kSlots ? ",\n" : "\n";
    }
    out += "  ],\n";

    out += "  \"keys\": [\n";
    for (int k = 0; k < doc.keys.Count(); ++k) {
        model::KeyEntry e = doc.keys.Get(k);
        out += "    {\"key\": " + JsonString(e.key) + ", \"kid\": " + std::to_string(e.kid) + "}";
        out += k + 1 < doc.keys.Count() ? ",\n" : "\n";
    }
    out += "  ]\n}\n";
    return out;
}

int RunDump(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return UsageError(kDumpUsage);
    }
    CTmpDoc doc;
    int status = kExitOk;
    if (!Load(args[0], doc, status)) {
        return status;
    }
    std::string json = DumpJson(doc);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return kExitOk;
}

int RunExport(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return UsageError(kExportUsage);
    }
    CTmpDoc doc;
    int status = kExitOk;
    if (!Load(args[0], doc, status)) {
        return status;
    }
    FileResult r = model::ExportCsvFile(args[1], doc);
    return r.ok() ? kExitOk : Refuse(r.message);
}

int RunImport(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::string base;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--base") {
            if (i + 1 >= args.size() || !base.empty()) {
                return UsageError(kImportUsage);
            }
            base = args[++i];
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        return UsageError(kImportUsage);
    }
    CTmpDoc doc;
    int status = kExitOk;
    if (!base.empty() && !Load(base, doc, status)) {
        return status;
    }
    FileResult r = model::ImportCsvFile(files[0], doc);
    if (!r.ok()) {
        return Refuse(r.message);
    }
    return Save(files[1], doc);
}

const CliCommandRegistrar kNew({"new", kNewUsage, "write an empty document", &RunNew});
const CliCommandRegistrar kDump({"dump", kDumpUsage, "print a document as JSON", &RunDump});
const CliCommandRegistrar kExport({"export-csv", kExportUsage,
                                   "export a document's channel table as CSV", &RunExport});
const CliCommandRegistrar kImport({"import-csv", kImportUsage,
                                   "import a CSV channel table into a new or a base document",
                                   &RunImport});

}  // namespace

}  // namespace quillon::cli
