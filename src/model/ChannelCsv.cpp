#include "model/ChannelCsv.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <system_error>

#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::model {

namespace {

constexpr size_t kColumns = 47;
constexpr const char* kLineEnd = "\r\n";

std::string AlgorithmColumn(const std::string& text) {
    return text == msg::kAlgorithmDesOfb ? std::string(msg::kCsvDesOfs) : text;
}

std::string NacColumn(const std::string& text, const char* anyWord) {
    if (text == "0xf000") {
        return anyWord;
    }
    if (text == "0x0000") {
        return msg::kCsvNone;
    }
    return text;
}

std::string ToneColumn(const std::string& text, const char* anyWord) {
    if (text == "f000" || text == "f00.0") {
        return anyWord;
    }
    if (text == "000" || text == "00.0") {
        return msg::kCsvNone;
    }
    return text;
}

std::string OnOff(const std::string& text) {
    return text == "1" ? msg::kCsvOn : msg::kCsvOff;
}
std::string YesNo(const std::string& text) {
    return text == "1" ? msg::kCsvYes : msg::kCsvNo;
}

void Field(std::string& out, const std::string& value) {
    out += UpToNul(value);
    out += ',';
}

void ExportLine(const CChannel& ch, int slot, std::string& out) {
    const ChannelTexts& t = ch.text;
    char number[16];
    std::snprintf(number, sizeof number, "%03d,", slot);
    out += number;
    Field(out, t.name);
    Field(out, t.signalTypeName);
    Field(out, t.txFrequency);
    Field(out, t.rxFrequency);
    Field(out, t.squelchSystemName);
    Field(out, NacColumn(t.txNac, msg::kCsvAsRx));
    Field(out, NacColumn(t.rxNac, msg::kCsvAny));
    Field(out, ToneColumn(t.txTone, msg::kCsvAsRx));
    Field(out, ToneColumn(t.rxTone, msg::kCsvAny));
    Field(out, YesNo(t.txInvert));
    Field(out, YesNo(t.rxInvert));
    Field(out, t.operationModeName);
    Field(out, t.controlName);
    Field(out, OnOff(t.frontPanel));
    Field(out, OnOff(t.linkRadio));
    Field(out, t.keyId);
    Field(out, AlgorithmColumn(t.algorithm));
    Field(out, t.talkgroup);
    Field(out, t.power);
    Field(out, t.pttDelay);
    Field(out, t.pttTail);
    Field(out, t.pttTimeout);
    Field(out, t.courtesyTimer);
    Field(out, t.courtesyToneName);
    Field(out, OnOff(t.halfDuplex));
    Field(out, t.unitId);
    Field(out, t.reverseBurst);
    Field(out, t.autosenseName);
    Field(out, t.squelchLevel);
    Field(out, t.scanCount);
    int refs = ch.IsScan() ? ch.ValidScanRefs() : 0;
    for (int i = 0; i < refs; ++i) {
        out += UpToNul(t.scanRefs[static_cast<size_t>(i)].channel);
        out += ',';
        out += UpToNul(t.scanRefs[static_cast<size_t>(i)].dwell);
        if (i < 7) {
            out += ',';
        }
    }
    for (int i = refs; i < kMaxScanRefs; ++i) {
        out += ',';
        if (i < 7) {
            out += ',';
        }
    }
}

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsTrimmed(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string CleanField(std::string_view raw) {
    std::string_view s = Trim(raw);
    if (s.size() > 2) {
        if (s.front() == '"') {
            s.remove_prefix(1);
        }
        if (s.back() == '"') {
            s.remove_suffix(1);
        }
        s = Trim(s);
    }
    return std::string(s);
}

std::array<std::string, kColumns> SplitLine(std::string_view line) {
    std::array<std::string, kColumns> fields;
    size_t pos = 0;
    for (size_t f = 0; f + 1 < kColumns; ++f) {
        size_t comma = line.find(',', pos);
        if (comma == std::string_view::npos) {
            // No terminator: the field is empty and the next one is looked
            // for from the same place.
            continue;
        }
        fields[f] = CleanField(line.substr(pos, comma - pos));
        pos = comma + 1;
    }
    fields[kColumns - 1] = CleanField(line.substr(pos));
    return fields;
}

bool IsYesWord(const std::string& s) {
    for (const char* w : {"Yes", "On", "y", "1", "true", "t"}) {
        if (EqualsNoCase(s, w)) {
            return true;
        }
    }
    return false;
}

std::string NacFromColumn(const std::string& s, const char* anyWord) {
    if (EqualsNoCase(s, anyWord)) {
        return "0xf000";
    }
    if (s.empty() || EqualsNoCase(s, msg::kCsvNone)) {
        return "0x0000";
    }
    return s;
}

std::string ToneFromColumn(const std::string& s, const char* anyWord) {
    if (EqualsNoCase(s, anyWord)) {
        return "f000";
    }
    if (s.empty() || EqualsNoCase(s, msg::kCsvNone)) {
        return "000";
    }
    return s;
}

void FillTexts(const std::array<std::string, kColumns>& f, ChannelTexts& t) {
    t.name = f[1];
    t.signalTypeName = f[2];
    t.txFrequency = f[3];
    t.rxFrequency = f[4];
    t.squelchSystemName = f[5];
    t.txNac = NacFromColumn(f[6], msg::kCsvAsRx);
    t.rxNac = NacFromColumn(f[7], msg::kCsvAny);
    t.txTone = ToneFromColumn(f[8], msg::kCsvAsRx);
    t.rxTone = ToneFromColumn(f[9], msg::kCsvAny);
    t.txInvert = IsYesWord(f[10]) ? "1" : "0";
    t.rxInvert = IsYesWord(f[11]) ? "1" : "0";
    t.operationModeName = f[12];
    t.controlName = f[13];
    t.frontPanel = IsYesWord(f[14]) ? "1" : "0";
    t.linkRadio = IsYesWord(f[15]) ? "1" : "0";
    t.keyId = f[16];
    t.algorithm =
        EqualsNoCase(f[17], msg::kCsvDesOfs) ? msg::kAlgorithmDesOfb : msg::kAlgorithmNone;
    t.talkgroup = f[18];
    t.power = f[19];
    t.pttDelay = f[20];
    t.pttTail = f[21];
    t.pttTimeout = f[22];
    t.courtesyTimer = f[23];
    t.courtesyToneName = f[24];
    t.halfDuplex = EqualsNoCase(f[25], "on") ? "1" : "0";
    t.unitId = f[26];
    t.reverseBurst = f[27];
    t.autosenseName = f[28];
    t.squelchLevel = f[29];
    t.scanCount = f[30];
    for (size_t i = 0; i < kMaxScanRefs; ++i) {
        t.scanRefs[i].channel = f[31 + 2 * i];
        t.scanRefs[i].dwell = f[32 + 2 * i];
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

FileResult ExportCsv(const CTmpDoc& doc, std::string& out) {
    out.clear();
    if (doc.channels.UsedCount() == 0) {
        return FileResult::Refusal(msg::kNoEntriesToExport);
    }
    out += msg::kCsvHeader[0];
    for (size_t c = 1; c < kColumns; ++c) {
        out += ',';
        out += msg::kCsvHeader[c];
    }
    for (int slot = 0; slot < kChannelCount; ++slot) {
        const CChannel& source = doc.channels[slot];
        if (source.KindByte() == 0) {
            continue;
        }
        // Texts come from the image alone. The slot's own texts may still
        // hold what an earlier content of the slot left (a scan count on what
        // is now a fixed channel), and exporting that would turn the channel
        // into something else on the way back in.
        CChannel view;
        view.AssignImage(source);
        view.RefreshText();
        out += kLineEnd;
        ExportLine(view, slot, out);
    }
    return FileResult::Success();
}

FileResult ExportCsvFile(const std::string& path, const CTmpDoc& doc) {
    std::string text;
    FileResult r = ExportCsv(doc, text);
    if (!r.ok()) {
        return r;
    }
    if (!WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(text.data()), text.size())) {
        return FileResult::Failure(msg::kInvalidFilename);
    }
    return r;
}

void ImportCsvPieces(const std::function<bool(std::string&)>& nextPiece, CTmpDoc& doc) {
    std::string piece;
    if (nextPiece(piece)) {
        // The header line; its content does not matter.
        CChannel scratch;
        scratch.Image().fill(0);
        scratch.text = ChannelTexts{};
        while (nextPiece(piece)) {
            std::array<std::string, kColumns> fields = SplitLine(UpToNul(piece));
            // A line that names no slot of the table (a blank line, junk, a
            // number beyond 511) would otherwise land in slot 0 or outside
            // the table; it is skipped and leaves the scratch channel alone.
            if (!HasLeadingDecimal(fields[0])) {
                continue;
            }
            int slot = LeadingDecimal(fields[0]);
            if (!CChannelTable::IsChannelNumber(slot)) {
                continue;
            }
            FillTexts(fields, scratch.text);
            scratch.PrepareImport();
            doc.channels[slot].AssignImage(scratch);
        }
    }
    doc.SetModified(true);
}

void ImportCsv(std::string_view text, CTmpDoc& doc) {
    size_t pos = 0;
    ImportCsvPieces(
        [&](std::string& piece) {
            if (pos >= text.size()) {
                return false;
            }
            size_t len = std::min(kCsvMaxLinePiece, text.size() - pos);
            size_t nl = text.substr(pos, len).find('\n');
            if (nl != std::string_view::npos) {
                len = nl + 1;
            }
            piece.assign(text.substr(pos, len));
            pos += len;
            return true;
        },
        doc);
}

FileResult ImportCsvFile(const std::string& path, CTmpDoc& doc) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return FileResult::Failure(msg::kInvalidFilename);
    }
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "r"));
    if (!f) {
        return FileResult::Failure(msg::kInvalidFilename);
    }
    char buf[kCsvMaxLinePiece + 1];
    ImportCsvPieces(
        [&](std::string& piece) {
            if (!std::fgets(buf, sizeof buf, f.get())) {
                return false;
            }
            piece.assign(buf);
            return true;
        },
        doc);
    return FileResult::Success();
}

}  // namespace quillon::model
