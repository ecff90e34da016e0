// reelvane-cli: the catalogue's core for scripts, automation and benchmarks.

#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/db/DatabaseError.h"

namespace rv::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> list{
        {"create", "create DB", "create an empty video table (40 catalogue fields, no index)", cmdCreate},
        {"check", "check DB", "exit 0 when DB is a valid video table, else print why and exit 1", cmdCheck},
        {"info", "info DB", "print records, deleted, fields, sort and index of DB", cmdInfo},
        {"list", "list DB [--sort N[,N...]] [--fields N[,N...]] [--limit K]",
         "print the live records as quoted comma-separated lines", cmdList},
        {"add", "add DB Field=Value ...", "append one record, validated like the record editor; print its number",
         cmdAdd},
        {"delete", "delete DB RECNO", "mark record RECNO deleted", cmdDelete},
        {"pack", "pack DB", "remove deleted records and rebuild the index", cmdPack},
        {"reindex", "reindex DB [--sort N[,N...]]",
         "rebuild the NewIndex tag from the given levels, else from the database's configuration", cmdReindex},
        {"backup", "backup DB --what db|lists|ini|reports DIR",
         "copy DB's table, list files or configuration file (or the program's RVLVID.URP) into DIR", cmdBackup},
        {"restore", "restore --what db|lists|ini|reports FILE [--db DB]",
         "restore from the backup folder of FILE into the current database (default: the last one used)",
         cmdRestore},
        {"convert", "convert DB",
         "append the records of V2LOG.DBF and VLOG.DBF (earlier versions, in the program folder) to DB and delete them",
         cmdConvert},
        {"import", "import DB FILE [--dbf] [--skip-first | --no-skip-first] [--map I:F[,I:F...]]",
         "add the records of a quoted-text file (or with --dbf a dBase table) to DB; print the count.  Without "
         "--map import field i goes to field i (up to 40); skip-first defaults to the database's setting",
         cmdImport},
        {"export", "export DB FILE [--dbf] [--fields N[,N...]] [--titles | --no-titles]",
         "write the records of DB to a quoted-text file (or with --dbf a new dBase table); print the count.  "
         "Fields, order and title line default to the database's export settings",
         cmdExport},
    };
    return list;
}

}  // namespace rv::cli

namespace {

void printHelp(std::ostream& out) {
    out << "Usage: reelvane-cli COMMAND [ARGUMENTS]\n\n"
           "Reelvane Videos 97 command-line tool.  Text is read and written as UTF-8; the\n"
           "database files store it as Windows-1252.  Field numbers are catalogue numbers 1-40.\n\n"
           "Commands:\n";
    for (const auto& c : rv::cli::commands()) {
        std::string usage = c.usage;
        out << "  " << usage << "\n      " << c.summary << "\n";
    }
    out << "\nErrors are printed on standard error; the exit code is 1 for a failed command and\n"
           "2 for a mistake in the command line.  backup and restore print the windows' messages\n"
           "and exit 0 only when the run completed with its success message.\n";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace rv::cli;
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        printHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    const Command* cmd = nullptr;
    for (const auto& c : commands())
        if (name == c.name) cmd = &c;
    if (!cmd) {
        std::cerr << "reelvane-cli: unknown command \"" << name << "\" (see reelvane-cli --help)\n";
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return cmd->run(args);
    } catch (const UsageError& e) {
        std::cerr << "reelvane-cli " << cmd->name << ": " << e.what() << "\nusage: reelvane-cli " << cmd->usage << "\n";
        return 2;
    } catch (const CommandError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    } catch (const rv::db::DatabaseError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "reelvane-cli " << cmd->name << ": " << e.what() << "\n";
        return 1;
    }
}
