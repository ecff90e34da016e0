#include "cli/Cli.h"

#include <algorithm>
#include <charconv>

#include "core/app/Cp1252.h"

namespace rv::cli {

const std::string& ParsedArgs::at(size_t i) const {
    if (i >= positional.size()) throw UsageError("missing argument");
    return positional[i];
}

ParsedArgs parseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flagOptions) {
    ParsedArgs out;
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            out.positional.push_back(a);
            continue;
        }
        std::string name = a, value;
        bool inlineValue = false;
        if (auto eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        if (known(flagOptions, name) && !inlineValue) {
            out.options[name] = "";
        } else if (known(valueOptions, name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
                value = args[++i];
            }
            out.options[name] = value;
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    return out;
}

int parseNumber(const std::string& text, int lo, int hi, const std::string& what) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || v < lo || v > hi)
        throw UsageError(what + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                         ", not \"" + text + "\"");
    return v;
}

std::vector<int> parseNumberList(const std::string& text, int lo, int hi, const std::string& what) {
    std::vector<int> out;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        out.push_back(parseNumber(text.substr(start, comma - start), lo, hi, what));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

std::string toStored(const std::string& utf8) {
    std::string bad;
    auto stored = app::utf8ToCp1252(utf8, &bad);
    if (!stored) throw CommandError(app::unencodableMessage(bad));
    return *stored;
}

std::string toTerminal(const std::string& cp1252) { return app::cp1252ToUtf8(cp1252); }

}  // namespace rv::cli
