#pragma once
// quillon-cli's document commands: new, dump, list, export-csv, import-csv.
#include <string>

#include "cli/CliCommand.h"
#include "model/CTmpDoc.h"

namespace quillon::cli {

int RunNew(const CliCall& call);        // OUT.bcf
int RunDump(const CliCall& call);       // FILE.bcf
int RunBuild(const CliCall& call);      // FILE.json OUT.bcf
int RunList(const CliCall& call);       // FILE.bcf
int RunExportCsv(const CliCall& call);  // FILE.bcf OUT.csv
int RunImportCsv(const CliCall& call);  // IN.csv OUT.bcf [--base FILE.bcf]

// The whole document as JSON, as `dump` prints it.
std::string DumpJson(const model::CTmpDoc& doc);
// The same with what the file held beyond the document, so that `build`
// gives the file back byte for byte.
struct FileExtras;
std::string DumpJson(const model::CTmpDoc& doc, const FileExtras& extras);

}  // namespace quillon::cli
