#include "cli/CmdDiff.h"

#include <cstdio>

#include "bci/ChannelTransferView.h"
#include "cli/CardCommand.h"
#include "cli/CliJson.h"
#include "cli/CliSession.h"
#include "core/EightBitText.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "ops/Messages.h"

namespace quillon::cli {

namespace {

// Like diff(1): 0 equal, 1 different, 2 when nothing could be compared.
constexpr int kExitEqual = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitError = 2;

const char* SectionName(edit::CompareSection s) {
    switch (s) {
        case edit::CompareSection::Channel:
            return "channel";
        case edit::CompareSection::SquelchGroup:
            return "squelchGroup";
        case edit::CompareSection::ToneRemote:
            return "tone";
        case edit::CompareSection::Key:
            return "key";
        case edit::CompareSection::RadioWide:
            return "radioWide";
    }
    return "";
}

bool Load(const CliCall& call, const std::string& path, model::CTmpDoc& doc) {
    const model::FileResult r = model::OpenDocumentFile(path, doc);
    if (!r.ok()) {
        std::fprintf(call.err, "%s\n(%s)\n", r.message.c_str(), path.c_str());
        return false;
    }
    return true;
}

int WrongArguments(const CliCall& call, const char* problem) {
    for (const CliCommand& c : CliCommands()) {
        if (std::string(c.name) == "diff") {
            std::fprintf(call.err, "quillon-cli diff: %s\nUsage: quillon-cli %s\n", problem,
                         Usage(c).c_str());
        }
    }
    return kExitUsage;
}

// The card's configuration through the same Get a user runs, into a
// document that is never written anywhere.
bool ReadCard(const CliCall& call, model::CTmpDoc& card) {
    CliSession s(*call.Value("device"));
    if (!OpenDevice(call, s)) {
        return false;
    }
    s.App().SetDocument(&card);
    UsePassword(call, s.App());
    const bool read = s.App().OnGet() && RunToCompletion(call, s, msg::kTableRead);
    s.App().SetDocument(nullptr);
    return read;
}

}  // namespace

std::string DiffText(const std::vector<edit::Difference>& diffs) {
    std::string out;
    for (const edit::Difference& d : diffs) {
        out += EightBitToUtf8(edit::DifferenceLine(d)) + "\n";
    }
    if (diffs.empty()) {
        out += "No differences.\n";
    } else {
        out += std::to_string(diffs.size()) +
               (diffs.size() == 1 ? " difference.\n" : " differences.\n");
    }
    return out;
}

std::string DiffJson(const std::vector<edit::Difference>& diffs) {
    Json list = Json::array();
    for (const edit::Difference& d : diffs) {
        list.push_back(Json{{"section", SectionName(d.section)},
                            {"index", d.index},
                            {"where", EightBitToUtf8(d.where)},
                            {"field", EightBitToUtf8(d.field)},
                            {"old", EightBitToUtf8(d.oldText)},
                            {"new", EightBitToUtf8(d.newText)}});
    }
    Json root = Json::object();
    root["equal"] = diffs.empty();
    root["count"] = diffs.size();
    root["differences"] = std::move(list);
    return WriteJson(root, 2);
}

int RunDiff(const CliCall& call) {
    const bool device = call.Value("device") != nullptr;
    if (device && call.arguments.size() != 1) {
        return WrongArguments(call, "with --device, give only the document");
    }
    if (!device && call.arguments.size() != 2) {
        return WrongArguments(call, "B.bcf is missing (or give --device PATH)");
    }
    if (!device && call.Value("password") != nullptr) {
        return WrongArguments(call, "--password is for --device only");
    }
    model::CTmpDoc a;
    if (!Load(call, call.arguments.at(0), a)) {
        return kExitError;
    }
    model::CTmpDoc b;
    std::vector<edit::Difference> diffs;
    if (device) {
        if (!ReadCard(call, b)) {
            return kExitError;
        }
        // What a send would change: from what the card holds to the
        // document as a send carries it (bytes no transfer record holds are
        // never written, so they are no difference). The card never gives
        // its keys back.
        model::CTmpDoc sent = a;
        sent.channels = bci::AsTransferred(a.channels);
        edit::CompareOptions options;
        options.compareKeys = false;
        diffs = edit::CompareDocuments(b, sent, options);
    } else {
        if (!Load(call, call.arguments.at(1), b)) {
            return kExitError;
        }
        diffs = edit::CompareDocuments(a, b);
    }
    const std::string text = call.Value("json") != nullptr ? DiffJson(diffs) : DiffText(diffs);
    std::fwrite(text.data(), 1, text.size(), call.out);
    return diffs.empty() ? kExitEqual : kExitDifferent;
}

}  // namespace quillon::cli
