// The table of quillon-cli's commands.
#include "cli/CliCommand.h"
#include "cli/CmdDocument.h"
#include "cli/CmdProbe.h"

namespace quillon::cli {

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = {
        {"dump", "print a document as JSON", {{"FILE.bcf", "the document"}}, {}, &RunDump},
        {"export-csv",
         "export a document's channel table as CSV",
         {{"FILE.bcf", "the document"}, {"OUT.csv", "the CSV file to write"}},
         {},
         &RunExportCsv},
        {"import-csv",
         "import a CSV channel table into a new or a base document",
         {{"IN.csv", "the CSV file to read"}, {"OUT.bcf", "the document to write"}},
         {{"base", "FILE.bcf", "start from this document instead of an empty one"}},
         &RunImportCsv},
        {"list",
         "print a document for reading: channels, squelch groups, tone list, key ids, settings",
         {{"FILE.bcf", "the document"}},
         {},
         &RunList},
        {"new", "write an empty document", {{"OUT.bcf", "the document to write"}}, {}, &RunNew},
        {"probe",
         "find the card's mode, log in, check its protocol version, log out",
         {},
         {{"device", "PATH", "the serial device the card is on", true},
          {"password", "PW",
           "the login password (else $QUILLON_PASSWORD, else asked on the terminal)"}},
         &RunProbe},
    };
    return commands;
}

std::string Usage(const CliCommand& command) {
    std::string usage = command.name;
    for (const CliArgument& a : command.arguments) {
        usage += std::string(" ") + a.name;
    }
    for (const CliOption& o : command.options) {
        const std::string text = std::string("--") + o.name + " " + o.valueName;
        usage += o.required ? " " + text : " [" + text + "]";
    }
    return usage;
}

}  // namespace quillon::cli
