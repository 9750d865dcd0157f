// The table of quillon-cli's commands.
#include "cli/CliCommand.h"
#include "cli/CmdChangePassword.h"
#include "cli/CmdChannel.h"
#include "cli/CmdDiff.h"
#include "cli/CmdDocument.h"
#include "cli/CmdParams.h"
#include "cli/CmdPrint.h"
#include "cli/CmdProbe.h"
#include "cli/CmdTransceiver.h"

namespace quillon::cli {

namespace {

const CliOption kDeviceOption{"device", "PATH", "the serial device the card is on", true};
const CliOption kDialOption{"dial", "NUMBER",
                            "call the card's modem on this number first, hang up at the end"};
const CliOption kLogOption{"log",
                           "FILE",
                           "write the communication log to Tarvek.dat in the current folder, "
                           "or to FILE",
                           false,
                           false,
                           true};
const CliOption kPasswordOption{
    "password", "PW", "the login password (else $QUILLON_PASSWORD, else asked on the terminal)"};

}  // namespace

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = {
        {"dump", "print a document as JSON", {{"FILE.bcf", "the document"}}, {}, &RunDump},
        {"build",
         "write the document a JSON text describes (the inverse of dump)",
         {{"FILE.json", "the JSON, as dump prints it"},
          {"OUT.bcf", "the document to write, only when the whole JSON is right"}},
         {},
         &RunBuild},
        {"diff",
         "compare two documents, or a document with the card (what a send would change); "
         "exit 0 when equal, 1 when they differ, 2 on error",
         {{"A.bcf", "the document (with --device: the one a send would write)"},
          {"B.bcf", "the document to compare it with (not with --device)"}},
         {{"device", "PATH",
           "compare with the configuration read from the card on this serial device (its keys "
           "cannot be read back and are not compared)"},
          kPasswordOption,
          {"json", nullptr, "print the differences as JSON"}},
         &RunDiff,
         false,
         false,
         nullptr,
         true},
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
        {"channel",
         "add or edit one channel of a document with the Channel Settings dialog's rules",
         {{"FILE.bcf", "the document, saved only when the channel was written"}},
         {{"add", nullptr, "add a channel in the lowest empty slot"},
          {"edit", "N", "edit channel N"},
          {"set", "\"LABEL=VALUE\"", "set a control as a user would (see the labels below)", false,
           true},
          {"yes", nullptr, "answer Yes to the dialog's questions (else No)"}},
         &RunChannel,
         false,
         false,
         &ChannelLabelHelp},
        {"delete-channel",
         "delete channels of a document as the Channel Table's Delete does",
         {{"FILE.bcf", "the document"}, {"N...", "the channels to delete"}},
         {{"references", "delete|keep",
           "a channel that scan channels or tones refer to: delete it with its references, or "
           "keep both (the default)"}},
         &RunDeleteChannel,
         false,
         true},
        {"print",
         "print a document's channel table into a PDF file, as the program prints it",
         {{"FILE.bcf", "the document"}, {"OUT.pdf", "the PDF file to write"}},
         {{"paper", "letter|a4", "the paper size (letter when not given)"},
          {"landscape", nullptr,
           "start from landscape paper (the table turns it upright when that fits more)"}},
         &RunPrint},
        {"get",
         "read the configuration from the card into a new document",
         {{"OUT.bcf", "the document to write, only after a complete read"}},
         {kDeviceOption, kPasswordOption, kDialOption, kLogOption},
         &RunGet,
         true},
        {"send",
         "write a document's configuration into the card, which then reboots",
         {{"FILE.bcf", "the document to send"}},
         {kDeviceOption,
          kPasswordOption,
          kDialOption,
          kLogOption,
          {"erase-keys", nullptr,
           "when the document holds no keys, erase the card's (they are kept otherwise)"},
          {"backup", "DIR",
           "first read the card's configuration and keep it as a document in DIR (the newest "
           "50 are kept); nothing is sent when that fails"},
          {"verify", nullptr,
           "afterwards read the configuration back and compare it with the document; "
           "exit 1 when they differ"}},
         &RunSend,
         true},
        {"exit-binary",
         "take the card out of binary mode",
         {},
         {kDeviceOption, kLogOption},
         &RunExitBinary,
         true},
        {"probe",
         "find the card's mode, log in, check its protocol version, log out",
         {},
         {kDeviceOption, kPasswordOption, kDialOption, kLogOption},
         &RunProbe,
         true},
        {"change-password",
         "change the card's login password (logs in with the old one)",
         {},
         {kDeviceOption,
          {"old", "OLD", "the card's password now", true},
          {"new", "NEW", "the password it is to have", true},
          kLogOption},
         &RunChangePassword,
         true},
        {"params",
         "read the card's radio-wide parameters, or set some and read them all back",
         {},
         {kDeviceOption,
          kPasswordOption,
          {"set", "NAME=VALUE",
           "set a parameter: ee_fpmon (0 or 1), ee_fpvol (1 to 10), ee_bpnl_output (0 to 3), "
           "ee_dflt_chan (0 to 511, or 0xFFFF for none)",
           false, true},
          kLogOption},
         &RunParams,
         true},
    };
    return commands;
}

std::string Usage(const CliCommand& command) {
    std::string arguments;
    for (size_t i = 0; i < command.arguments.size(); ++i) {
        const bool optional = command.lastArgumentOptional && i + 1 == command.arguments.size();
        const std::string name = command.arguments[i].name;
        arguments += optional ? " [" + name + "]" : " " + name;
    }
    std::string options;
    for (const CliOption& o : command.options) {
        std::string text = std::string("--") + o.name;
        if (o.optionalValue) {
            text += std::string("[=") + o.valueName + "]";
        } else if (o.valueName != nullptr) {
            text += std::string(" ") + o.valueName;
        }
        if (o.repeatable) {
            text += " ...";
        }
        options += o.required ? " " + text : " [" + text + "]";
    }
    return command.name + (command.optionsFirst ? options + arguments : arguments + options);
}

}  // namespace quillon::cli
