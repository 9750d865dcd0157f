// quillon-cli document commands: new, dump, list, export-csv, import-csv.
#include "cli/CmdDocument.h"

#include <cstdio>
#include <string>

#include "cli/CliJson.h"
#include "cli/DocumentBuild.h"
#include "cli/DocumentListing.h"
#include "core/EightBitText.h"
#include "model/ChannelCsv.h"
#include "model/DocumentFile.h"
#include "model/FileIo.h"
#include "model/Messages.h"

namespace quillon::cli {

namespace {

using model::CTmpDoc;
using model::FileResult;

int Refuse(const CliCall& call, const std::string& message) {
    std::fprintf(call.err, "%s\n", message.c_str());
    return kExitRefused;
}

// Opens a document; anything but a clean read is the program's message and
// exit status 2 (a refused tag opens an empty document in the program, which
// is not what a script asking for this file wants).
bool Load(const CliCall& call, const std::string& path, CTmpDoc& doc, int& status) {
    FileResult r = model::OpenDocumentFile(path, doc);
    if (!r.ok()) {
        status = Refuse(call, r.message);
        return false;
    }
    return true;
}

int Save(const CliCall& call, const std::string& path, CTmpDoc& doc) {
    FileResult r = model::SaveDocumentFile(path, doc);
    return r.ok() ? kExitOk : Refuse(call, r.message);
}

// The document's texts are 8-bit characters; see EightBitToUtf8.
Json Text(const std::string& eightBit) {
    return EightBitToUtf8(eightBit);
}

}  // namespace

std::string DumpJson(const CTmpDoc& doc) {
    return DumpJson(doc, FileExtras{});
}

std::string DumpJson(const CTmpDoc& doc, const FileExtras& extras) {
    Json root = Json::object();
    root["formatTag"] = Text(doc.formatTag);
    root["formatNumber1"] = Text(doc.formatNumber1);
    root["formatNumber2"] = Text(doc.formatNumber2);
    root["docText1"] = Text(doc.docText1);
    root["docText2"] = Text(doc.docText2);
    root["docText3"] = Text(doc.docText3);
    root["frontPanelMonitor"] = Text(doc.frontPanelMonitor);
    root["frontPanelVolume"] = Text(doc.frontPanelVolume);
    root["backPanelOutput"] = Text(doc.backPanelOutput);
    root["defaultChannel"] = Text(doc.defaultChannel);
    // Before the lists, so that the keys stay the dump's last member.
    AddFileExtras(root, extras);

    Json channels = Json::array();
    for (int i = 0; i < model::kChannelCount; ++i) {
        const model::CChannel& ch = doc.channels[i];
        channels.push_back(Json{{"number", i},
                                {"kind", static_cast<int>(ch.KindByte())},
                                {"name", Text(ch.NameText())},
                                {"image", HexBytes(ch.Image().data(), ch.Image().size())}});
    }
    root["channels"] = std::move(channels);

    Json groups = Json::array();
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        Json items = Json::array();
        for (int i = 0; i < model::SquGroup::kItems; ++i) {
            const model::SquelchItem it = doc.squelchGroups.GetItem(g, i);
            items.push_back(Json{{"type", static_cast<int>(it.type)}, {"value", Text(it.value)}});
        }
        groups.push_back(Json{{"number", g + 1},
                              {"name", Text(doc.squelchGroups.GetName(g))},
                              {"items", std::move(items)}});
    }
    root["squelchGroups"] = std::move(groups);

    Json tones = Json::array();
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        const model::ToneEntry e = doc.toneRemote.RawEntry(s);
        tones.push_back(
            Json{{"function", static_cast<int>(e.function)}, {"argument", Text(e.argument)}});
    }
    root["toneRemote"] = std::move(tones);

    Json keys = Json::array();
    for (int k = 0; k < doc.keys.Count(); ++k) {
        const model::KeyEntry e = doc.keys.Get(k);
        keys.push_back(Json{{"key", Text(e.key)}, {"kid", static_cast<int>(e.kid)}});
    }
    root["keys"] = std::move(keys);
    // The lists one entry per line, each entry on its line.
    return WriteJson(root, 2);
}

int RunNew(const CliCall& call) {
    CTmpDoc doc;
    return Save(call, call.arguments.at(0), doc);
}

int RunDump(const CliCall& call) {
    CTmpDoc doc;
    int status = kExitOk;
    if (!Load(call, call.arguments.at(0), doc, status)) {
        return status;
    }
    // The file once more for what the document does not keep (see
    // DocumentBuild.h); it was just read whole, so this read succeeds too.
    const model::FileContent file =
        model::ReadWholeFile(call.arguments.at(0), model::kMaxDocumentFileSize);
    const std::string json = DumpJson(doc, ReadFileExtras(file.bytes));
    std::fwrite(json.data(), 1, json.size(), call.out);
    return kExitOk;
}

int RunBuild(const CliCall& call) {
    const model::FileContent file =
        model::ReadWholeFile(call.arguments.at(0), model::kMaxDocumentFileSize);
    if (file.status != model::FileContent::Status::Ok) {
        return Refuse(call, call.arguments.at(0) + ": cannot be read");
    }
    const BuildResult built = BuildDocument(std::string(file.bytes.begin(), file.bytes.end()));
    if (!built.ok) {
        return Refuse(call, call.arguments.at(0) + ": " + built.message);
    }
    // What is written must open as a document; a description that does not
    // is refused before any file exists.
    CTmpDoc check;
    const FileResult readable = model::ReadDocument(built.bytes.data(), built.bytes.size(), check);
    if (!readable.ok()) {
        return Refuse(call, call.arguments.at(0) + ": " + readable.message);
    }
    if (!model::WriteFileAtomically(call.arguments.at(1), built.bytes.data(), built.bytes.size())) {
        return Refuse(call, model::msg::kInvalidFilename);
    }
    return kExitOk;
}

int RunList(const CliCall& call) {
    CTmpDoc doc;
    int status = kExitOk;
    if (!Load(call, call.arguments.at(0), doc, status)) {
        return status;
    }
    const std::string text = ListDocument(doc);
    std::fwrite(text.data(), 1, text.size(), call.out);
    return kExitOk;
}

int RunExportCsv(const CliCall& call) {
    CTmpDoc doc;
    int status = kExitOk;
    if (!Load(call, call.arguments.at(0), doc, status)) {
        return status;
    }
    FileResult r = model::ExportCsvFile(call.arguments.at(1), doc);
    return r.ok() ? kExitOk : Refuse(call, r.message);
}

int RunImportCsv(const CliCall& call) {
    CTmpDoc doc;
    int status = kExitOk;
    if (const std::string* base = call.Value("base");
        base != nullptr && !Load(call, *base, doc, status)) {
        return status;
    }
    FileResult r = model::ImportCsvFile(call.arguments.at(0), doc);
    if (!r.ok()) {
        return Refuse(call, r.message);
    }
    return Save(call, call.arguments.at(1), doc);
}

}  // namespace quillon::cli
