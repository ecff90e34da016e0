// The table subcommands.  They come with the table engine; until then each says so.
#include "cli/Cli.h"

namespace rv::cli {

namespace {
int notYet(const char* what) { throw CommandError(std::string("reelvane-cli ") + what + ": the table engine is not built yet"); }
}  // namespace

int cmdCreate(const std::vector<std::string>&) { return notYet("create"); }
int cmdCheck(const std::vector<std::string>&) { return notYet("check"); }
int cmdInfo(const std::vector<std::string>&) { return notYet("info"); }
int cmdList(const std::vector<std::string>&) { return notYet("list"); }
int cmdDelete(const std::vector<std::string>&) { return notYet("delete"); }
int cmdPack(const std::vector<std::string>&) { return notYet("pack"); }
int cmdReindex(const std::vector<std::string>&) { return notYet("reindex"); }

}  // namespace rv::cli
