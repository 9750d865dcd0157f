#include "cli/CliRunner.h"

#include <QCommandLineParser>
#include <QStringList>
#include <map>
#include <string>

#include "cli/CliCommand.h"
#include "core/Version.h"

namespace quillon::cli {

namespace {

constexpr const char* kProgram = "quillon-cli";
constexpr const char* kVersion = "Quillon Radio Programmer - Version " QUILLON_VERSION_TEXT;

// Arguments are bytes of no declared encoding (file names above all). As
// Latin-1 every byte is one character and comes back unchanged, and the
// option names the parser looks for are ASCII either way.
QString FromBytes(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string ToBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

void Row(std::FILE* to, const std::string& left, const char* right) {
    std::fprintf(to, "  %-44s %s\n", left.c_str(), right);
}

void PrintOverview(std::FILE* to) {
    std::fprintf(to, "Usage: %s COMMAND [ARGUMENTS]\n\n", kProgram);
    std::fprintf(to, "The Quillon Radio Programmer's procedures and document operations\n");
    std::fprintf(to, "from the command line.\n\nCommands:\n");
    for (const CliCommand& c : CliCommands()) {
        Row(to, Usage(c), c.summary);
    }
    std::fprintf(to, "\nOptions:\n");
    Row(to, "-h, --help", "show this help and exit");
    Row(to, "--version", "show the program version and exit");
    std::fprintf(to, "\n'%s COMMAND --help' describes one command.\n", kProgram);
}

// "--device PATH", or "--erase-keys" for a switch.
std::string OptionText(const CliOption& o) {
    std::string text = std::string("--") + o.name;
    if (o.optionalValue) {
        text += std::string("[=") + o.valueName + "]";
    } else if (o.valueName != nullptr) {
        text += std::string(" ") + o.valueName;
    }
    return text;
}

void PrintCommandHelp(const CliCommand& c, std::FILE* to) {
    std::fprintf(to, "Usage: %s %s\n\n%s\n", kProgram, Usage(c).c_str(), c.summary);
    if (!c.arguments.empty()) {
        std::fprintf(to, "\nArguments:\n");
        for (const CliArgument& a : c.arguments) {
            Row(to, a.name, a.description);
        }
    }
    std::fprintf(to, "\nOptions:\n");
    for (const CliOption& o : c.options) {
        Row(to, OptionText(o), o.description);
    }
    Row(to, "-h, --help", "show this help and exit");
    if (c.details != nullptr) {
        const std::string details = c.details();
        std::fprintf(to, "\n%s", details.c_str());
    }
}

int UsageError(const CliCommand& c, const std::string& problem, std::FILE* err) {
    std::fprintf(err, "%s %s: %s\nUsage: %s %s\n", kProgram, c.name, problem.c_str(), kProgram,
                 Usage(c).c_str());
    return kExitUsage;
}

int RunCommand(const CliCommand& c, const QStringList& argsGiven, std::FILE* out, std::FILE* err) {
    // "--log=FILE" of an option whose value may be left out is taken here;
    // the parser then sees such an option as a switch. Nothing after "--"
    // is an option.
    QStringList args;
    std::map<std::string, std::string> optionalValues;
    bool optionsEnded = false;
    for (const QString& a : argsGiven) {
        bool taken = false;
        for (const CliOption& o : c.options) {
            const QString prefix = QStringLiteral("--") + QString::fromLatin1(o.name) + '=';
            if (!optionsEnded && o.optionalValue && a.startsWith(prefix)) {
                const std::string value = ToBytes(a.mid(prefix.size()));
                if (value.empty() || optionalValues.count(o.name) != 0) {
                    return UsageError(
                        c,
                        std::string("--") + o.name +
                            (value.empty() ? "= needs a value" : " given more than once"),
                        err);
                }
                optionalValues[o.name] = value;
                taken = true;
            }
        }
        optionsEnded = optionsEnded || a == QStringLiteral("--");
        if (!taken) {
            args << a;
        }
    }
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("show this help and exit"));
    parser.addOption(help);
    for (const CliOption& o : c.options) {
        if (o.valueName == nullptr || o.optionalValue) {
            parser.addOption(QCommandLineOption(QString::fromLatin1(o.name),
                                                QString::fromLatin1(o.description)));
        } else {
            parser.addOption(QCommandLineOption(QString::fromLatin1(o.name),
                                                QString::fromLatin1(o.description),
                                                QString::fromLatin1(o.valueName)));
        }
    }
    // The parser skips the first element, the program's name.
    if (!parser.parse(QStringList{QString::fromLatin1(c.name)} + args)) {
        return UsageError(c, ToBytes(parser.errorText()), err);
    }
    if (parser.isSet(help)) {
        PrintCommandHelp(c, out);
        return kExitOk;
    }
    CliCall call;
    call.out = out;
    call.err = err;
    for (const CliOption& o : c.options) {
        if (o.optionalValue) {
            const auto given = optionalValues.find(o.name);
            if (given != optionalValues.end()) {
                call.values[o.name] = given->second;
            } else if (parser.isSet(QString::fromLatin1(o.name))) {
                call.values[o.name] = std::string();
            }
            continue;
        }
        if (o.valueName == nullptr) {
            if (parser.isSet(QString::fromLatin1(o.name))) {
                call.values[o.name] = std::string();
            }
            continue;
        }
        const QStringList given = parser.values(QString::fromLatin1(o.name));
        if (o.repeatable) {
            if (given.isEmpty() && o.required) {
                return UsageError(c, std::string("--") + o.name + " is required", err);
            }
            for (const QString& v : given) {
                call.repeated[o.name].push_back(ToBytes(v));
            }
            continue;
        }
        if (given.size() > 1) {
            return UsageError(c, std::string("--") + o.name + " given more than once", err);
        }
        if (given.isEmpty() && o.required) {
            return UsageError(c, std::string("--") + o.name + " is required", err);
        }
        if (!given.isEmpty()) {
            call.values[o.name] = ToBytes(given.front());
        }
    }
    for (const QString& a : parser.positionalArguments()) {
        call.arguments.push_back(ToBytes(a));
    }
    const size_t needed = c.arguments.size() - (c.lastArgumentOptional ? 1 : 0);
    if (call.arguments.size() < needed) {
        return UsageError(c, std::string(c.arguments[call.arguments.size()].name) + " is missing",
                          err);
    }
    if (call.arguments.size() > c.arguments.size() && !c.lastArgumentRepeats) {
        return UsageError(c, "unexpected argument '" + call.arguments[c.arguments.size()] + "'",
                          err);
    }
    return c.run(call);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    QStringList line{QString::fromLatin1(kProgram)};
    for (const std::string& a : args) {
        line << FromBytes(a);
    }
    // Options up to the command's name are the program's; what follows it
    // is the command's own command line.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("show this help and exit"));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("show the program version and exit"));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(line)) {
        std::fprintf(err, "%s: %s (try --help)\n", kProgram, ToBytes(parser.errorText()).c_str());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        PrintOverview(out);
        return kExitOk;
    }
    if (parser.isSet(version)) {
        std::fprintf(out, "%s\n", kVersion);
        return kExitOk;
    }
    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) {
        PrintOverview(err);
        return kExitUsage;
    }
    const std::string name = ToBytes(rest.takeFirst());
    // "help" alone is --help; "help COMMAND" is "COMMAND --help".
    if (name == "help") {
        if (rest.isEmpty()) {
            PrintOverview(out);
            return kExitOk;
        }
        return RunCli({ToBytes(rest.front()), "--help"}, out, err);
    }
    for (const CliCommand& c : CliCommands()) {
        if (name == c.name) {
            return RunCommand(c, rest, out, err);
        }
    }
    std::fprintf(err, "%s: unknown command '%s' (try --help)\n", kProgram, name.c_str());
    return kExitUsage;
}

}  // namespace quillon::cli
