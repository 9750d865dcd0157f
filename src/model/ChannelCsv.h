#pragma once
// The channel table as CSV text: 47 columns, a header line, CR LF between
// lines and none after the last.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "model/CTmpDoc.h"
#include "model/CsvSyntax.h"
#include "model/FileResult.h"

namespace quillon::model {

// The CSV text of every slot whose kind is not 0. Refused, with the
// program's message, when the table has no used slot.
FileResult ExportCsv(const CTmpDoc& doc, std::string& out);
// Writes the export to a file (nothing is created for an empty table).
FileResult ExportCsvFile(const std::string& path, const CTmpDoc& doc);

// Imports the lines of a CSV text into the slots they name, and marks the
// document modified. Lines that name no slot of the table are skipped.
// Numbers are read by their value in their column's unit; a value its field
// cannot hold exactly, or a quoted field that is never closed, fails the
// import with a message naming the line and the column, and the document
// stays exactly as it was.
FileResult ImportCsv(std::string_view text, CTmpDoc& doc);
// The same from a file. A file that cannot be opened changes nothing.
FileResult ImportCsvFile(const std::string& path, CTmpDoc& doc);

// The importer's core: nextPiece yields one line piece at a time (as the C
// library's line reader would) and false at the end.
FileResult ImportCsvPieces(const std::function<bool(std::string&)>& nextPiece, CTmpDoc& doc);

}  // namespace quillon::model
