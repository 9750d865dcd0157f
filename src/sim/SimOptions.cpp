#include "sim/SimOptions.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>

#include "sim/CardContent.h"

namespace quillon::sim {

namespace {

bool ToDouble(const std::string& s, double lo, double hi, double& out) {
    if (s.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !(v >= lo && v <= hi)) {
        return false;
    }
    out = v;
    return true;
}

bool ToInt(const std::string& s, long long lo, long long hi, long long& out) {
    if (s.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    // Decimal, or hexadecimal after "0x"; a leading zero is no octal here.
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    const long long v = std::strtoll(s.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == nullptr || *end != '\0' || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

// The option table of quillon-sim, filled into the options it is given.
// Every value goes through this program's own number rules (CLI11's would
// take a leading zero for octal), and every refusal names its switch.
class SimCommandLine {
  public:
    explicit SimCommandLine(SimOptions& o) : app_("", "quillon-sim"), o_(o) { Build(); }
    CLI::App& App() { return app_; }

  private:
    void Text(const std::string& name, const char* type, std::function<void(std::string)> set,
              const std::string& help) {
        app_.add_option_function<std::string>(
                name, [set](const std::string& v) { set(v); }, help)
            ->type_name(type);
    }
    void Rate(const std::string& name, double& target, const std::string& help) {
        app_.add_option_function<std::string>(
                name,
                [name, &target](const std::string& v) {
                    if (!ToDouble(v, 0.0, 1.0, target)) {
                        throw CLI::ValidationError(name + " wants a rate from 0 to 1, not '" + v +
                                                   "'");
                    }
                },
                help)
            ->type_name("R");
    }
    void Integer(const std::string& name, const char* type, long long lo, long long hi,
                 std::function<void(long long)> set, const std::string& help) {
        app_.add_option_function<std::string>(
                name,
                [name, lo, hi, set](const std::string& v) {
                    long long n = 0;
                    if (!ToInt(v, lo, hi, n)) {
                        throw CLI::ValidationError(name + " wants a whole number from " +
                                                   std::to_string(lo) + " to " +
                                                   std::to_string(hi) + ", not '" + v + "'");
                    }
                    set(n);
                },
                help)
            ->type_name(type);
    }
    void Flag(const std::string& name, bool& target, const std::string& help) {
        app_.add_flag_callback(
            name, [&target] { target = true; }, help);
    }

    void Build() {
        const SimOptions d;
        app_.description(
            "A simulated transceiver card (optionally behind a dial-up modem) on a\n"
            "pseudo-terminal, in real time at 9600 baud. Prints the terminal's device\n"
            "name and runs until interrupted. Log in as \"field\".\n");
        app_.footer(
            "The modem's dial results go by the number's digits: ...0002 BUSY,\n"
            "...0003 NO CARRIER, ...0004 NO DIALTONE, none NO CARRIER, any other\n"
            "CONNECT 9600.");
        app_.get_formatter()->column_width(26);
        // A repeated switch counts with its last value, as it always has.
        app_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        app_.set_help_flag();
        app_.option_defaults()->group("Runner");
        Text(
            "--link", "PATH", [this](std::string v) { o_.linkPath = std::move(v); },
            "make PATH a symbolic link to the terminal (removed at exit)");
        Text(
            "--state", "FILE", [this](std::string v) { o_.statePath = std::move(v); },
            "load the card's content from FILE (JSON) and write it back\n"
            "on every change and at exit (default: factory content, not kept)");
        Flag("--trace", o_.trace, "print every byte each way with its direction and time");
        Flag("--modem", o_.modem, "put a Hayes-style modem in front of the card");
        Integer(
            "--dial-delay-ms", "MS", 0, 60000,
            [this](long long n) { o_.modemOptions.dialDelayMs = static_cast<uint32_t>(n); },
            Printf("time from ATD to its result (default %u)", d.modemOptions.dialDelayMs));
        Integer(
            "--guard-ms", "MS", 1, 10000,
            [this](long long n) { o_.modemOptions.guardMs = static_cast<uint32_t>(n); },
            Printf("the modem's escape guard time (default %u)", d.modemOptions.guardMs));
        app_.add_flag("-h,--help", o_.help, "show this help");

        app_.option_defaults()->group("Card");
        Text(
            "--password", "PW", [this](std::string v) { o_.password = std::move(v); },
            Printf("the login password (default: stored, or \"%s\")", kFactoryPassword));
        Text(
            "--version", "TEXT", [this](std::string v) { o_.card.version = std::move(v); },
            Printf("reply to getp bcp_version (default %s; \"\" lacks it)",
                   d.card.version.c_str()));
        app_.add_option_function<std::string>(
                "--reboot-seconds",
                [this](const std::string& v) {
                    if (!ToDouble(v, 0.0, 3600.0, o_.card.rebootSeconds)) {
                        throw CLI::ValidationError(
                            "--reboot-seconds wants seconds from 0 to 3600, not '" + v + "'");
                    }
                },
                Printf("silence after wct (default %g)", d.card.rebootSeconds))
            ->type_name("S");
        app_.add_flag_callback(
            "--no-wct-confirm", [this] { o_.card.wctConfirm = false; },
            "wct reboots without its confirmation line");
        Integer(
            "--nak-first", "N", 0, 1000,
            [this](long long n) { o_.card.nakFirst = static_cast<int>(n); },
            Printf("NAK the first N receptions of every block (default %d)", d.card.nakFirst));
        Integer(
            "--bad-header", "CODE", 0, 255,
            [this](long long n) { o_.card.badHeaderCode = static_cast<int>(n); },
            "replies to command CODE carry the header 0x80 0x00 (default none)");
        Integer(
            "--bad-header-times", "N", 0, 1000000,
            [this](long long n) { o_.card.badHeaderTimes = static_cast<int>(n); },
            Printf("only the first N such replies go wrong (default %d: all)",
                   d.card.badHeaderTimes));
        Flag("--bad-channel-number", o_.card.badChannelNumber,
             "the channel stream numbers one record 512");
        Flag("--bad-kind", o_.card.badKind, "the channel stream gives one record kind 3");
        Integer(
            "--bad-record-slot", "N", 0, kCardChannels - 1,
            [this](long long n) { o_.card.badRecordSlot = static_cast<int>(n); },
            Printf("which record of the stream is the bad one (default %d)", d.card.badRecordSlot));
        Integer(
            "--store-fault", "N", 0, kCardChannels - 1,
            [this](long long n) { o_.card.storeFault = static_cast<int>(n); },
            "channel N is stored with one bit flipped after its checksum\n"
            "passed (default none)");
        Flag("--silent", o_.card.silent, "the card neither answers nor listens");
        Flag("--start-binary", o_.card.startBinary, "the card starts in binary mode");
        Integer(
            "--latency-ms", "MS", 0, 60000,
            [this](long long n) { o_.card.latencyMs = static_cast<uint32_t>(n); },
            Printf("every byte the card sends leaves this much later (default %u)",
                   d.card.latencyMs));

        app_.option_defaults()->group("Line (each byte, both directions unless said)");
        Rate("--corrupt-rate", o_.corruptRate,
             Printf("chance a byte arrives altered, 0 to 1 (default %g)", d.corruptRate));
        Rate("--drop-rate", o_.dropRate, Printf("chance a byte is lost (default %g)", d.dropRate));
        Rate("--insert-rate", o_.insertRate,
             Printf("chance a random byte follows it (default %g)", d.insertRate));
        Integer(
            "--seed", "N", 0, std::numeric_limits<uint32_t>::max(),
            [this](long long n) { o_.seed = static_cast<uint32_t>(n); },
            Printf("seed of the line's faults (default %u)", d.seed));
        Integer(
            "--burst-ms", "MS", 0, 1000,
            [this](long long n) { o_.burstMs = static_cast<uint32_t>(n); },
            Printf("the card's bytes reach the programmer only every MS ms, in\n"
                   "bursts, as through a USB serial adapter (default %u: at once)",
                   d.burstMs));
        Integer(
            "--stale-bytes", "N", 0, 65536,
            [this](long long n) { o_.staleBytes = static_cast<uint32_t>(n); },
            Printf("N bytes of noise already wait on the line when the\n"
                   "programmer opens it, as left by a card that talked to\n"
                   "no one (default %u)",
                   d.staleBytes));
    }

    CLI::App app_;
    SimOptions& o_;
};

}  // namespace

bool ParseSimArgs(const std::vector<std::string>& args, SimOptions& o, std::string& error) {
    o = SimOptions{};
    SimCommandLine line(o);
    // CLI11 takes the arguments last one first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        line.App().parse(reversed);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
            error += " (try --help)";
        }
        return false;
    }
    return true;
}

std::string SimUsage() {
    SimOptions o;
    SimCommandLine line(o);
    return line.App().help();
}

}  // namespace quillon::sim
