#include "model/ChannelCsv.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/AtomicFile.h"
#include "model/CsvNumbers.h"
#include "model/CsvSyntax.h"
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
    AppendCsvField(out, UpToNul(value));
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
        AppendCsvField(out, UpToNul(t.scanRefs[static_cast<size_t>(i)].channel));
        out += ',';
        AppendCsvField(out, UpToNul(t.scanRefs[static_cast<size_t>(i)].dwell));
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

using Fields = std::array<std::string, kColumns>;

// The record's values in the 47 columns, placed as the importer always has:
// columns 0 to 45 each end at a separator and the last takes what follows the
// last separator it reaches, so a short line puts its last value in "Dwell
// Time 8". Empty cells beyond the last column (some tools add them) do not
// count.
Fields ToColumns(std::vector<std::string>& values) {
    Fields f;
    const size_t n = values.size();
    if (n >= kColumns) {
        for (size_t i = 0; i < kColumns; ++i) {
            f[i] = std::move(values[i]);
        }
        for (size_t i = kColumns; i < n; ++i) {
            if (!values[i].empty()) {
                f[kColumns - 1] += ',';
                f[kColumns - 1] += values[i];
            }
        }
        return f;
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        f[i] = std::move(values[i]);
    }
    if (n > 0) {
        f[kColumns - 1] = std::move(values[n - 1]);
    }
    return f;
}

// The message pattern with %1, %2, ... replaced by the arguments.
std::string FillArgs(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            auto k = static_cast<size_t>(pattern[i + 1] - '1');
            if (k < args.size()) {
                out += *(args.begin() + k);
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string Nines(int count) {
    return std::string(static_cast<size_t>(count), '9');
}

// Reads the numeric columns of one record into the texts the channel
// conversion takes, each spelled so that the conversion stores exactly the
// value read. The first value that cannot be stored ends the reading with
// its message.
class LineReader {
  public:
    LineReader(const Fields& fields, int line) : f_(fields), line_(line) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Value of a decimal column whose field holds intDigits.fracDigits,
    // as its digits ("067.0" -> "0670").
    std::string Digits(size_t column, int intDigits, int fracDigits) {
        return Take(column, ReadCsvDecimal(f_[column], intDigits, fracDigits), [&] {
            return Range(
                "0", fracDigits ? Nines(intDigits) + "." + Nines(fracDigits) : Nines(intDigits));
        });
    }

    // A frequency in MHz, spelled for the frequency parse ("0450.270000").
    std::string Frequency(size_t column) {
        std::string d = Digits(column, 4, 6);
        return d.empty() ? d : d.substr(0, 4) + "." + d.substr(4);
    }

    // A tone in Hz, spelled with its point so that no tone can be taken for
    // one of the old "any" spellings ("065.9", never "0659").
    std::string ToneHz(size_t column) {
        std::string d = Digits(column, 3, 1);
        return d.empty() ? d : d.substr(0, 3) + "." + d.substr(3);
    }

    std::string Cdcss(size_t column) {
        return Take(column, ReadCsvCdcss(f_[column]), [] { return std::string(); });
    }

    std::string Hex(size_t column, int digits) {
        std::string d = Take(column, ReadCsvHex(f_[column], digits), [&] {
            return Range("0x0", "0x" + std::string(static_cast<size_t>(digits), 'f'));
        });
        return d.empty() ? d : "0x" + d;
    }

    // A whole number from low to high (a squelch group, a reference count).
    int Bounded(size_t column, int low, int high) {
        const std::string& text = f_[column];
        if (std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            if (low > 0) {
                Fail(msg::kCsvNotANumber, column, "");
            }
            return 0;
        }
        std::string d = Take(column, ReadCsvDecimal(text, 2, 0),
                             [&] { return Range(std::to_string(low), std::to_string(high)); });
        if (d.empty()) {
            return 0;
        }
        int v = std::stoi(d);
        if (v < low || v > high) {
            Fail(msg::kCsvOutOfRange, column, Range(std::to_string(low), std::to_string(high)));
        }
        return v;
    }

  private:
    static std::string Range(const std::string& low, const std::string& high) {
        return FillArgs(msg::kCsvRange, {low, high});
    }

    // The digits read, or empty after recording the first failure. The
    // range text is made only for a message.
    template <typename RangeText>
    std::string Take(size_t column, const CsvNumber& n, const RangeText& range) {
        if (!ok()) {
            return std::string();
        }
        switch (n.error) {
            case CsvNumberError::None:
                return n.digits;
            case CsvNumberError::NotANumber:
                Fail(msg::kCsvNotANumber, column, "");
                break;
            case CsvNumberError::OutOfRange:
                Fail(msg::kCsvOutOfRange, column, range());
                break;
            case CsvNumberError::NotExact:
                Fail(msg::kCsvNotExact, column, "");
                break;
            case CsvNumberError::NotACode:
                Fail(msg::kCsvNotACdcssCode, column, "");
                break;
        }
        return std::string();
    }

    void Fail(const char* pattern, size_t column, const std::string& range) {
        if (ok()) {
            error_ = FillArgs(pattern, {std::to_string(line_), std::to_string(column + 1),
                                        msg::kCsvHeader[column], Shown(f_[column]), range});
        }
    }

    // The field as the message quotes it: an empty one as the two quotes
    // that stand for it, a long one cut short.
    static std::string Shown(const std::string& text) {
        constexpr size_t kLongest = 40;
        if (text.empty()) {
            return "\"\"";
        }
        return text.size() > kLongest ? text.substr(0, kLongest) + "..." : text;
    }

    const Fields& f_;
    int line_;
    std::string error_;
};

bool IsYesWord(const std::string& s) {
    for (const char* w : {"Yes", "On", "y", "1", "true", "t"}) {
        if (EqualsNoCase(s, w)) {
            return true;
        }
    }
    return false;
}

bool IsAnyTone(const std::string& s, const char* anyWord) {
    // "f000" and "f00.0" are the texts of that code itself; "0659" is an old
    // spelling of it that the channel conversion has always understood.
    return EqualsNoCase(s, anyWord) || s == "f000" || s == "f00.0" || s == "0659";
}

bool IsNoTone(const std::string& s) {
    return s.empty() || EqualsNoCase(s, msg::kCsvNone);
}

// The squelch systems a line can name, and the unit its tone columns are
// written in for each.
enum class ToneUnit { Hz, Code, Group };

struct SquelchColumn {
    Squelch system = Squelch::Ctcss;  // what an analogue or autosense line keeps
    ToneUnit rx = ToneUnit::Hz;
    ToneUnit tx = ToneUnit::Hz;
};

SquelchColumn ReadSquelchColumn(const std::string& name) {
    const std::array<const char*, 5>& names = msg::kSquelchSystemNames;
    if (EqualsNoCase(name, names[CodeValue(Squelch::Cdcss)])) {
        return {Squelch::Cdcss, ToneUnit::Code, ToneUnit::Code};
    }
    if (EqualsNoCase(name, names[CodeValue(Squelch::CtcssGroup)])) {
        return {Squelch::CtcssGroup, ToneUnit::Group, ToneUnit::Hz};
    }
    if (EqualsNoCase(name, names[CodeValue(Squelch::CdcssGroup)])) {
        return {Squelch::CdcssGroup, ToneUnit::Group, ToneUnit::Code};
    }
    if (EqualsNoCase(name, names[CodeValue(Squelch::None)])) {
        return {Squelch::None, ToneUnit::Hz, ToneUnit::Hz};
    }
    // "CTCSS", and anything the importer has never known, reads as CTCSS.
    return {};
}

// What a line says beyond the texts the channel conversion takes.
struct LineInfo {
    SquelchColumn squelch;
    int group = 0;
};

std::string ToneText(LineReader& r, size_t column, ToneUnit unit, int& group) {
    switch (unit) {
        case ToneUnit::Hz:
            return r.ToneHz(column);
        case ToneUnit::Code:
            return r.Cdcss(column);
        case ToneUnit::Group:
            break;
    }
    group = r.Bounded(column, val::kFirstGroup, val::kLastGroup);
    // The group's number in the field's last two digits: what a Project 25
    // or CVSD/DES-XL line (whose squelch system the import does not keep) has
    // always stored.
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", group);
    return digits;
}

// Fills the texts of a record; returns the message of the first value that
// cannot be stored, or an empty text.
std::string FillTexts(const Fields& f, int line, ChannelTexts& t, LineInfo& info) {
    LineReader r(f, line);
    t.name = f[1];
    t.signalTypeName = f[2];
    t.squelchSystemName = f[5];
    t.txInvert = IsYesWord(f[10]) ? "1" : "0";
    t.rxInvert = IsYesWord(f[11]) ? "1" : "0";
    t.operationModeName = f[12];
    t.controlName = f[13];
    t.frontPanel = IsYesWord(f[14]) ? "1" : "0";
    t.linkRadio = IsYesWord(f[15]) ? "1" : "0";
    t.algorithm =
        EqualsNoCase(f[17], msg::kCsvDesOfs) ? msg::kAlgorithmDesOfb : msg::kAlgorithmNone;
    t.courtesyToneName = f[24];
    t.halfDuplex = EqualsNoCase(f[25], "on") ? "1" : "0";
    t.reverseBurst = f[27];
    t.autosenseName = f[28];

    // The count decides the kind; only the columns of that kind are read.
    const bool emptyCount = f[30].empty();
    const int count = r.Bounded(30, 0, kMaxScanRefs);
    t.scanCount = emptyCount ? std::string() : std::to_string(count);
    for (size_t i = 0; i < kMaxScanRefs; ++i) {
        if (static_cast<int>(i) < count) {
            t.scanRefs[i].channel = r.Digits(31 + 2 * i, 4, 0);
            t.scanRefs[i].dwell = r.Digits(32 + 2 * i, 1, 1);
        } else {
            t.scanRefs[i].channel = f[31 + 2 * i];
            t.scanRefs[i].dwell = f[32 + 2 * i];
        }
    }
    if (count > 0) {
        return r.error();
    }

    info.squelch = ReadSquelchColumn(f[5]);
    t.txFrequency = r.Frequency(3);
    t.rxFrequency = r.Frequency(4);
    if (f[6].find("RX") != std::string::npos || EqualsNoCase(f[6], msg::kCsvAsRx)) {
        t.txNac = "0xf000";
    } else {
        t.txNac = IsNoTone(f[6]) ? "0x0000" : r.Hex(6, 4);
    }
    if (EqualsNoCase(f[7], msg::kCsvAny)) {
        t.rxNac = "0xf000";
    } else {
        t.rxNac = IsNoTone(f[7]) ? "0x0000" : r.Hex(7, 4);
    }
    int unusedGroup = 0;
    if (f[8].find("RX") != std::string::npos || IsAnyTone(f[8], msg::kCsvAsRx)) {
        t.txTone = "f000";
    } else if (IsNoTone(f[8])) {
        t.txTone = "000";
    } else {
        t.txTone = ToneText(r, 8, info.squelch.tx, unusedGroup);
    }
    if (info.squelch.rx != ToneUnit::Group && IsAnyTone(f[9], msg::kCsvAny)) {
        t.rxTone = "f000";
    } else if (info.squelch.rx != ToneUnit::Group && IsNoTone(f[9])) {
        t.rxTone = "000";
    } else {
        t.rxTone = ToneText(r, 9, info.squelch.rx, info.group);
    }
    t.keyId = r.Hex(16, 4);
    t.talkgroup = r.Hex(18, 4);
    t.power = r.Digits(19, 4, 0);
    t.pttDelay = r.Digits(20, 1, 3);
    t.pttTail = r.Digits(21, 3, 1);
    t.pttTimeout = r.Digits(22, 4, 0);
    t.courtesyTimer = r.Digits(23, 2, 2);
    t.unitId = r.Hex(26, 6);
    t.squelchLevel = r.Digits(29, 2, 0);
    return r.error();
}

// The channel conversion makes every squelch system but CDCSS into CTCSS.
// An analogue or autosense line keeps the system it names, and a group line
// the reference to its group. This is done on the stored image, not on the
// scratch channel, so that what later lines inherit from the scratch channel
// is what it has always been.
void KeepSquelchSystem(const LineInfo& info, ChannelImage& image) {
    if (image[off::kChannelKind] != CodeValue(ChannelKind::Fixed) ||
        !IsAnalogueOrAutosense(image[off::kSignalType])) {
        return;
    }
    image[off::kSquelchSystem] = CodeValue(info.squelch.system);
    if (info.squelch.rx == ToneUnit::Group) {
        image[off::kRxCxcss] = static_cast<uint8_t>(val::kGroupCode >> 8);
        image[off::kRxCxcss + 1] =
            static_cast<uint8_t>(((info.group / 10) << 4) | (info.group % 10));
    }
}

std::string UnclosedQuoteMessage(int line, size_t field) {
    size_t column = std::min(field, kColumns - 1);
    return FillArgs(msg::kCsvQuoteNotClosed,
                    {std::to_string(line), std::to_string(column + 1), msg::kCsvHeader[column]});
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
    const SaveOutcome saved =
        SaveFileAtomically(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (!saved.ok()) {
        return FileResult::Failure(DescribeSaveFailure(path, saved));
    }
    return r;
}

FileResult ImportCsvPieces(const std::function<bool(std::string&)>& nextPiece, CTmpDoc& doc) {
    CsvRecordReader reader(nextPiece);
    CsvRecord record;
    // The header; its content does not matter.
    CsvRecordReader::Status status = reader.Next(record);
    // Nothing is stored until every line has been read: a line that cannot
    // be stored leaves the whole table as it was.
    std::vector<ChannelImage> staged(kChannelCount);
    std::vector<bool> touched(kChannelCount, false);
    if (status == CsvRecordReader::Status::Record) {
        CChannel scratch;
        scratch.Image().fill(0);
        scratch.text = ChannelTexts{};
        while ((status = reader.Next(record)) == CsvRecordReader::Status::Record) {
            Fields fields = ToColumns(record.fields);
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
            LineInfo info;
            std::string error = FillTexts(fields, record.line, scratch.text, info);
            if (!error.empty()) {
                return FileResult::Failure(error);
            }
            scratch.PrepareImport();
            ChannelImage& image = staged[static_cast<size_t>(slot)];
            image = scratch.Image();
            KeepSquelchSystem(info, image);
            touched[static_cast<size_t>(slot)] = true;
        }
    }
    if (status == CsvRecordReader::Status::UnclosedQuote) {
        return FileResult::Failure(UnclosedQuoteMessage(record.line, reader.UnclosedField()));
    }
    for (int slot = 0; slot < kChannelCount; ++slot) {
        if (touched[static_cast<size_t>(slot)]) {
            doc.channels[slot].Image() = staged[static_cast<size_t>(slot)];
        }
    }
    doc.SetModified(true);
    return FileResult::Success();
}

FileResult ImportCsv(std::string_view text, CTmpDoc& doc) {
    size_t pos = 0;
    return ImportCsvPieces(
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
    // Pieces as the C library's line reader cuts them, but with their true
    // length: a NUL must not hide whether the piece ended its line.
    std::vector<char> buf(1 << 16);
    size_t at = 0;
    size_t filled = 0;
    return ImportCsvPieces(
        [&](std::string& piece) {
            piece.clear();
            while (piece.size() < kCsvMaxLinePiece) {
                if (at == filled) {
                    filled = std::fread(buf.data(), 1, buf.size(), f.get());
                    at = 0;
                    if (filled == 0) {
                        break;
                    }
                }
                char c = buf[at++];
                piece.push_back(c);
                if (c == '\n') {
                    break;
                }
            }
            return !piece.empty();
        },
        doc);
}

}  // namespace quillon::model
