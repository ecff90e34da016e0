#pragma once
// Shared conventions of reelvane-cli: argument parsing, UTF-8 at the terminal, errors on
// standard error with a non-zero exit code.

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace rv::cli {

// A mistake in the command line itself: reported with the command's usage, exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of the work: the program's own message, exit code 1.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--sort" -> "1,11"

    bool has(const std::string& option) const { return options.count(option) != 0; }
    const std::string& at(size_t i) const;       // positional i, or UsageError
};

// Splits arguments into positional ones and the named options that take a value
// ("--sort 1,2" or "--sort=1,2").  Unknown options and missing values are UsageErrors.
ParsedArgs parseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flagOptions = {});

// "1,11,3" -> {1, 11, 3}; each number must lie in [lo, hi].
std::vector<int> parseNumberList(const std::string& text, int lo, int hi, const std::string& what);
int parseNumber(const std::string& text, int lo, int hi, const std::string& what);

// Terminal text (UTF-8) to stored text (Windows-1252); a CommandError when a character has
// no Windows-1252 form.
std::string toStored(const std::string& utf8);
std::string toTerminal(const std::string& cp1252);

struct Command {
    const char* name;
    const char* usage;    // "create DB"
    const char* summary;  // one line for --help
    int (*run)(const std::vector<std::string>& args);
};

// The subcommands, in the order --help lists them.
const std::vector<Command>& commands();

// Subcommand entry points (each in the file of its subsystem).
int cmdCreate(const std::vector<std::string>& args);
int cmdCheck(const std::vector<std::string>& args);
int cmdInfo(const std::vector<std::string>& args);
int cmdList(const std::vector<std::string>& args);
int cmdAdd(const std::vector<std::string>& args);
int cmdDelete(const std::vector<std::string>& args);
int cmdPack(const std::vector<std::string>& args);
int cmdReindex(const std::vector<std::string>& args);
int cmdBackup(const std::vector<std::string>& args);
int cmdRestore(const std::vector<std::string>& args);
int cmdConvert(const std::vector<std::string>& args);
int cmdImport(const std::vector<std::string>& args);
int cmdExport(const std::vector<std::string>& args);

}  // namespace rv::cli
