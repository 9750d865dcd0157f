#include "sim/SimOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

bool ParseSimArgs(const std::vector<std::string>& args, SimOptions& o, std::string& error) {
    o = SimOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        auto rate = [&](double& r) {
            std::string v;
            if (!value(v)) {
                return false;
            }
            if (!ToDouble(v, 0.0, 1.0, r)) {
                error = a + " wants a rate from 0 to 1, not '" + v + "'";
                return false;
            }
            return true;
        };
        auto integer = [&](long long lo, long long hi, long long& n) {
            std::string v;
            if (!value(v)) {
                return false;
            }
            if (!ToInt(v, lo, hi, n)) {
                error = a + " wants a whole number from " + std::to_string(lo) + " to " +
                        std::to_string(hi) + ", not '" + v + "'";
                return false;
            }
            return true;
        };
        long long n = 0;
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--password") {
            if (!value(v))
                return false;
            o.password = v;
        } else if (a == "--version") {
            if (!value(v))
                return false;
            o.card.version = v;
        } else if (a == "--corrupt-rate") {
            if (!rate(o.corruptRate))
                return false;
        } else if (a == "--drop-rate") {
            if (!rate(o.dropRate))
                return false;
        } else if (a == "--insert-rate") {
            if (!rate(o.insertRate))
                return false;
        } else if (a == "--seed") {
            if (!integer(0, std::numeric_limits<uint32_t>::max(), n))
                return false;
            o.seed = static_cast<uint32_t>(n);
        } else if (a == "--reboot-seconds") {
            if (!value(v))
                return false;
            if (!ToDouble(v, 0.0, 3600.0, o.card.rebootSeconds)) {
                error = a + " wants seconds from 0 to 3600, not '" + v + "'";
                return false;
            }
        } else if (a == "--no-wct-confirm") {
            o.card.wctConfirm = false;
        } else if (a == "--nak-first") {
            if (!integer(0, 1000, n))
                return false;
            o.card.nakFirst = static_cast<int>(n);
        } else if (a == "--bad-header") {
            if (!integer(0, 255, n))
                return false;
            o.card.badHeaderCode = static_cast<int>(n);
        } else if (a == "--bad-header-times") {
            if (!integer(0, 1000000, n))
                return false;
            o.card.badHeaderTimes = static_cast<int>(n);
        } else if (a == "--bad-channel-number") {
            o.card.badChannelNumber = true;
        } else if (a == "--bad-kind") {
            o.card.badKind = true;
        } else if (a == "--bad-record-slot") {
            if (!integer(0, kCardChannels - 1, n))
                return false;
            o.card.badRecordSlot = static_cast<int>(n);
        } else if (a == "--silent") {
            o.card.silent = true;
        } else if (a == "--start-binary") {
            o.card.startBinary = true;
        } else if (a == "--latency-ms") {
            if (!integer(0, 60000, n))
                return false;
            o.card.latencyMs = static_cast<uint32_t>(n);
        } else if (a == "--modem") {
            o.modem = true;
        } else if (a == "--dial-delay-ms") {
            if (!integer(0, 60000, n))
                return false;
            o.modemOptions.dialDelayMs = static_cast<uint32_t>(n);
        } else if (a == "--guard-ms") {
            if (!integer(1, 10000, n))
                return false;
            o.modemOptions.guardMs = static_cast<uint32_t>(n);
        } else if (a == "--link") {
            if (!value(o.linkPath))
                return false;
        } else if (a == "--state") {
            if (!value(o.statePath))
                return false;
        } else if (a == "--trace") {
            o.trace = true;
        } else {
            error = "unknown option '" + a + "' (try --help)";
            return false;
        }
    }
    return true;
}

std::string SimUsage() {
    const SimOptions d;
    char buf[4096];
    std::snprintf(
        buf, sizeof buf,
        "Usage: quillon-sim [OPTIONS]\n"
        "\n"
        "A simulated transceiver card (optionally behind a dial-up modem) on a\n"
        "pseudo-terminal, in real time at 9600 baud. Prints the terminal's device\n"
        "name and runs until interrupted. Log in as \"field\".\n"
        "\n"
        "Runner:\n"
        "  --link PATH            make PATH a symbolic link to the terminal (removed at exit)\n"
        "  --state FILE           load the card's content from FILE (JSON) and write it back\n"
        "                         on every change and at exit (default: factory content, not "
        "kept)\n"
        "  --trace                print every byte each way with its direction and time\n"
        "  --modem                put a Hayes-style modem in front of the card\n"
        "  --dial-delay-ms MS     time from ATD to its result (default %u)\n"
        "  --guard-ms MS          the modem's escape guard time (default %u)\n"
        "                         dial results by the number's digits: ...0002 BUSY,\n"
        "                         ...0003 NO CARRIER, ...0004 NO DIALTONE, none NO CARRIER,\n"
        "                         any other CONNECT 9600\n"
        "Card:\n"
        "  --password PW          the login password (default: stored, or \"%s\")\n"
        "  --version TEXT         reply to getp bcp_version (default %s; \"\" lacks it)\n"
        "  --reboot-seconds S     silence after wct (default %g)\n"
        "  --no-wct-confirm       wct reboots without its confirmation line\n"
        "  --nak-first N          NAK the first N receptions of every block (default %d)\n"
        "  --bad-header CODE      replies to command CODE carry the header 0x80 0x00 (default "
        "none)\n"
        "  --bad-header-times N   only the first N such replies go wrong (default 0: all)\n"
        "  --bad-channel-number   the channel stream numbers one record 512\n"
        "  --bad-kind             the channel stream gives one record kind 3\n"
        "  --bad-record-slot N    which record of the stream is the bad one (default %d)\n"
        "  --silent               the card neither answers nor listens\n"
        "  --start-binary         the card starts in binary mode\n"
        "  --latency-ms MS        every byte the card sends leaves this much later (default %u)\n"
        "Line (each byte, both directions):\n"
        "  --corrupt-rate R       chance a byte arrives altered, 0 to 1 (default %g)\n"
        "  --drop-rate R          chance a byte is lost (default %g)\n"
        "  --insert-rate R        chance a random byte follows it (default %g)\n"
        "  --seed N               seed of the line's faults (default %u)\n"
        "  --help                 show this help\n",
        d.modemOptions.dialDelayMs, d.modemOptions.guardMs, kFactoryPassword,
        d.card.version.c_str(), d.card.rebootSeconds, d.card.nakFirst, d.card.badRecordSlot,
        d.card.latencyMs, d.corruptRate, d.dropRate, d.insertRate, d.seed);
    return buf;
}

}  // namespace quillon::sim
