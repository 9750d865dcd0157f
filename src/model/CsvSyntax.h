#pragma once
// CSV as text: how a field is written so that it reads back as it was, and
// how records are read from the line pieces of a file, quoted fields (which
// may hold commas, quotes and line breaks) included.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::model {

// Longest piece of a line the importer takes at once; a longer line is read
// in pieces, each taken as a line of its own.
inline constexpr size_t kCsvMaxLinePiece = 2047;

// A record that goes on over line breaks (inside quotes) is followed over at
// most about this many characters. Nothing the program writes comes near it;
// a quote that is never closed must not make the reader swallow the rest of a
// large file.
inline constexpr size_t kCsvMaxRecord = 65536;

// Appends the field: as it is when a reader gets it back unchanged that way,
// otherwise in double quotes with inner quotes doubled (a comma, a quote or a
// line break in it).
void AppendCsvField(std::string& out, std::string_view field);

// One record of fields, as read.
struct CsvRecord {
    // The line of the file on which the record starts (the first line is 1).
    int line = 0;
    // The values between the separators, trimmed of blanks and line ends
    // unless they were quoted; quotes removed and doubled quotes undone.
    std::vector<std::string> fields;
};

class CsvRecordReader {
  public:
    // nextPiece yields one line piece at a time, as the C library's line
    // reader does: up to and including a line feed, or kCsvMaxLinePiece
    // characters, and false at the end. A NUL ends what is read of a piece.
    explicit CsvRecordReader(std::function<bool(std::string&)> nextPiece);

    enum class Status {
        Record,
        End,
        // A quoted field that is not closed before the end of the text (or
        // within kCsvMaxRecord characters); record.line and
        // UnclosedField say where it began.
        UnclosedQuote,
    };
    Status Next(CsvRecord& record);
    // The index of the field whose quote was not closed.
    size_t UnclosedField() const { return unclosedField_; }

  private:
    std::function<bool(std::string&)> nextPiece_;
    std::string piece_;
    int line_ = 1;
    size_t unclosedField_ = 0;
};

}  // namespace quillon::model
