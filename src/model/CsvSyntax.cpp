#include "model/CsvSyntax.h"

#include <utility>

#include "model/TextForms.h"

namespace quillon::model {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void TrimEnd(std::string& s, size_t keep) {
    while (s.size() > keep && IsBlank(s.back())) {
        s.pop_back();
    }
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

CsvRecordReader::CsvRecordReader(std::function<bool(std::string&)> nextPiece)
    : nextPiece_(std::move(nextPiece)) {}

CsvRecordReader::Status CsvRecordReader::Next(CsvRecord& record) {
    record.fields.clear();
    if (!nextPiece_(piece_)) {
        return Status::End;
    }
    record.line = line_;

    enum class State { Start, Plain, Quoted, QuoteSeen, AfterQuote };
    State state = State::Start;
    std::string field;
    bool quoted = false;
    size_t closedAt = 0;  // length of a quoted value at its closing quote
    size_t recordChars = 0;

    auto finish = [&] {
        if (!quoted) {
            TrimEnd(field, 0);
        } else if (state == State::QuoteSeen || state == State::AfterQuote) {
            TrimEnd(field, closedAt);
            // Two quotes and nothing else have always been read as those two
            // characters; the writer never produces them for an empty field.
            if (field.empty()) {
                field = "\"\"";
            }
        }
        record.fields.push_back(std::move(field));
        field.clear();
        quoted = false;
        state = State::Start;
    };

    for (;;) {
        const bool endsLine = !piece_.empty() && piece_.back() == '\n';
        const std::string_view text = UpToNul(piece_);
        // An unquoted value (or what follows a closing quote) runs from i to
        // the next separator, quotes and all; returns where it stopped.
        auto takePlain = [&](size_t i) {
            size_t comma = text.find(',', i);
            size_t stop = comma == std::string_view::npos ? text.size() : comma;
            field.append(text.substr(i, stop - i));
            if (comma != std::string_view::npos) {
                finish();
            }
            return stop;
        };
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            switch (state) {
                case State::Start:
                    if (c == '"') {
                        quoted = true;
                        state = State::Quoted;
                    } else if (c == ',') {
                        finish();
                    } else if (!IsBlank(c)) {
                        state = State::Plain;
                        i = takePlain(i);
                    }
                    break;
                case State::Plain:
                case State::AfterQuote:
                    i = takePlain(i);
                    break;
                case State::Quoted: {
                    size_t quote = text.find('"', i);
                    size_t stop = quote == std::string_view::npos ? text.size() : quote;
                    field.append(text.substr(i, stop - i));
                    i = stop;
                    if (quote != std::string_view::npos) {
                        closedAt = field.size();
                        state = State::QuoteSeen;
                    }
                    break;
                }
                case State::QuoteSeen:
                    if (c == '"') {
                        field.push_back('"');
                        state = State::Quoted;
                    } else if (c == ',') {
                        finish();
                    } else {
                        // Text after the closing quote is kept rather than lost.
                        state = State::AfterQuote;
                        i = takePlain(i);
                    }
                    break;
            }
        }
        if (endsLine) {
            ++line_;
        }
        if (state != State::Quoted) {
            finish();
            return Status::Record;
        }
        // The quoted field goes on in the next piece: its line break is part
        // of the value.
        recordChars += piece_.size();
        if (recordChars > kCsvMaxRecord || !nextPiece_(piece_)) {
            unclosedField_ = record.fields.size();
            return Status::UnclosedQuote;
        }
    }
}

}  // namespace quillon::model
