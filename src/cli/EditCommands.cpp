// The record subcommands that share the record editor's validation and write-back.
#include "cli/Cli.h"

namespace rv::cli {

int cmdAdd(const std::vector<std::string>&) {
    throw CommandError("reelvane-cli add: the record editor's validation is not built yet");
}

}  // namespace rv::cli
