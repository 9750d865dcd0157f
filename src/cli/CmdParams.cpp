#include "cli/CmdParams.h"

#include <cstdio>
#include <string>

#include "cli/CardCommand.h"
#include "cli/CliSession.h"
#include "model/CTmpDoc.h"

namespace quillon::cli {

namespace {

int FindParameter(const std::string& name) {
    for (int i = 0; i < kRadioParameterCount; ++i) {
        if (name == RadioParameterAt(i).cardName) {
            return i;
        }
    }
    return -1;
}

std::string ParameterNames() {
    std::string names;
    for (int i = 0; i < kRadioParameterCount; ++i) {
        names += (i == 0 ? "" : ", ") + std::string(RadioParameterAt(i).cardName);
    }
    return names;
}

bool IsNoneSpelling(const std::string& value) {
    if (value.size() != 6 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) {
        return false;
    }
    for (size_t i = 2; i < value.size(); ++i) {
        if (value[i] != 'f' && value[i] != 'F') {
            return false;
        }
    }
    return true;
}

}  // namespace

ParameterSettings ParseParameterSettings(const std::vector<std::string>& settings) {
    ParameterSettings result;
    for (const std::string& setting : settings) {
        const size_t equals = setting.find('=');
        const std::string name = setting.substr(0, equals);
        const int index = FindParameter(name);
        if (index < 0) {
            result.problem = "unknown parameter \"" + ShownValue(name) + "\" (it is one of " +
                             ParameterNames() + ")";
            return result;
        }
        if (equals == std::string::npos) {
            result.problem = "--set " + name + " has no value (NAME=VALUE)";
            return result;
        }
        const RadioParameter& p = RadioParameterAt(index);
        std::string value = setting.substr(equals + 1);
        // The card's own spelling of "none", whatever case it was typed in.
        if (p.noneAllowed && IsNoneSpelling(value)) {
            value = kNoDefaultChannel;
        }
        if (!IsSendableValue(p, value)) {
            result.problem =
                "\"" + ShownValue(value) + "\" is no value for " + name + ", the " + p.description;
            return result;
        }
        result.values[index] = value;
        result.mask |= 1u << index;
    }
    return result;
}

int RunParams(const CliCall& call) {
    // Every value is checked before the card is touched: a bad one among
    // several sets none of them.
    const ParameterSettings settings = ParseParameterSettings(call.All("set"));
    if (!settings.problem.empty()) {
        std::fprintf(call.err, "quillon-cli params: %s\n", settings.problem.c_str());
        return kExitUsage;
    }
    model::CTmpDoc doc;
    for (int i = 0; i < kRadioParameterCount; ++i) {
        if ((settings.mask & (1u << i)) != 0) {
            doc.*(RadioParameterAt(i).field) = settings.values[i];
        }
    }
    CliSession s(*call.Value("device"));
    if (!OpenDevice(call, s)) {
        return kExitFailure;
    }
    CTmpApp& app = s.App();
    app.SetDocument(&doc);
    UsePassword(call, app);
    // The exchange logs out at its end, after a failed read as well.
    if (!app.StartParameterExchange(settings.mask) || !RunProcedures(call, s) ||
        !app.ParametersReadBack()) {
        return kExitFailure;
    }
    for (int i = 0; i < kRadioParameterCount; ++i) {
        const RadioParameter& p = RadioParameterAt(i);
        std::fprintf(call.out, "%s=%s\n", p.cardName, (doc.*(p.field)).c_str());
    }
    return kExitOk;
}

}  // namespace quillon::cli
