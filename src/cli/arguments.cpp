// Splitting orvhelp's command line.
#include "cli/arguments.h"

#include <algorithm>

namespace orv::cli {

bool Arguments::has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string Arguments::value(const std::string& option, const std::string& fallback) const {
    auto it = values.find(option);
    return it == values.end() ? fallback : it->second;
}

bool parseArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                    Arguments& out, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a, inlineValue;
            const size_t eq = a.find('=');
            if (eq != std::string::npos) {
                name = a.substr(0, eq);
                inlineValue = a.substr(eq + 1);
            }
            const bool takesValue = std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end();
            if (!takesValue) {
                if (eq != std::string::npos) {
                    error = "option " + name + " takes no value";
                    return false;
                }
                out.flags.push_back(name);
            } else if (eq != std::string::npos) {
                out.values[name] = inlineValue;
            } else if (i + 1 < args.size()) {
                out.values[name] = args[++i];
            } else {
                error = "option " + name + " needs a value";
                return false;
            }
        } else if (out.command.empty()) {
            out.command = a;
        } else {
            out.positional.push_back(a);
        }
    }
    return true;
}

}  // namespace orv::cli
