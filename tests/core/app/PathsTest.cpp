// Where the program's files live, and finding files copied from Windows whatever the letter
// case of their names.

#include "core/app/Paths.h"

#include <gtest/gtest.h>

#include "core/app/AppTestSupport.h"

namespace rv::app {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;
using test::writeBytes;

TEST(Paths, FoldersFollowOverridesThenXdgThenHome) {
    ScopedEnv home("HOME", std::string("/home/me"));
    {
        ScopedEnv program("REELVANE_PROGRAM_DIR", std::string("/opt/rv"));
        ScopedEnv config("REELVANE_CONFIG_DIR", std::string("/etc/rv"));
        ScopedEnv data("XDG_DATA_HOME", std::string("/xdg/data"));
        EXPECT_EQ(programDir(), fs::path("/opt/rv"));
        EXPECT_EQ(configDir(), fs::path("/etc/rv"));
    }
    {
        ScopedEnv program("REELVANE_PROGRAM_DIR", std::string(""));  // empty counts as unset
        ScopedEnv config("REELVANE_CONFIG_DIR", std::nullopt);
        ScopedEnv data("XDG_DATA_HOME", std::string("/xdg/data"));
        ScopedEnv configHome("XDG_CONFIG_HOME", std::string("relative/ignored"));
        EXPECT_EQ(programDir(), fs::path("/xdg/data/reelvane"));
        EXPECT_EQ(configDir(), fs::path("/home/me/.config/reelvane"));
    }
    {
        ScopedEnv program("REELVANE_PROGRAM_DIR", std::nullopt);
        ScopedEnv data("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(programDir(), fs::path("/home/me/.local/share/reelvane"));
    }
}

TEST(Paths, FindsFilesWhateverTheirLetterCase) {
    TempDir dir;
    writeBytes(dir / "master.dbf", "");
    writeBytes(dir / "My.Ini", "");
    writeBytes(dir / "MY.INI.bak", "");
    writeBytes(dir / "TWICE.lst", "");
    writeBytes(dir / "twice.LST", "");

    EXPECT_EQ(findFileNoCase(dir.path(), "MASTER.DBF"), dir / "master.dbf");
    EXPECT_EQ(findFileNoCase(dir.path(), "master.dbf"), dir / "master.dbf");
    EXPECT_EQ(findFileNoCase(dir.path(), "MY.INI"), dir / "My.Ini");
    EXPECT_EQ(findFileNoCase(dir.path(), "twice.lst"), dir / "TWICE.lst");  // first in name order
    EXPECT_EQ(findFileNoCase(dir.path(), "RVLVID.URP"), dir / "RVLVID.URP");  // missing: the exact name
    EXPECT_EQ(findFileNoCase(dir / "none", "A.INI"), dir / "none/A.INI");
    EXPECT_EQ(resolveNoCase(dir / "MASTER.DBF"), dir / "master.dbf");

    writeBytes(dir / "MASTER.DBF", "");  // an exact match wins over other spellings
    EXPECT_EQ(findFileNoCase(dir.path(), "MASTER.DBF"), dir / "MASTER.DBF");
}

TEST(Paths, BasePathEndsAtTheFirstPeriod) {
    EXPECT_EQ(basePath("/v/MY.VIDEOS.DBF"), fs::path("/v/MY"));
    EXPECT_EQ(basePath("/v/MASTER.DBF"), fs::path("/v/MASTER"));
    EXPECT_EQ(basePath("/v.d/NODOT"), fs::path("/v.d/NODOT"));
    EXPECT_EQ(basePath("rel/a.b"), fs::path("rel/a"));

    TempDir dir;
    writeBytes(dir / "my.ini", "");
    EXPECT_EQ(databaseConfigFile(dir / "MY.VIDEOS.DBF"), dir / "my.ini");
    EXPECT_EQ(companionFile(dir / "MY.DBF", ".001"), dir / "MY.001");
}

TEST(Paths, ProgramConfigFileAndFolderText) {
    TempDir dir;
    ScopedEnv config("REELVANE_CONFIG_DIR", dir.path().string());
    EXPECT_EQ(programConfigFile(), dir / "RVLVID.INI");
    writeBytes(dir / "Rvlvid.ini", "");
    EXPECT_EQ(programConfigFile(), dir / "Rvlvid.ini");

    EXPECT_EQ(folderText("/home/me/"), "/home/me");
    EXPECT_EQ(folderText("/home/me"), "/home/me");
    EXPECT_EQ(folderText("/"), "/");
    EXPECT_FALSE(startFolder().empty());
}

}  // namespace
}  // namespace rv::app
