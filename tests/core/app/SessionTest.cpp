// The database session: start-up, switching, creating and updating databases, browse-only
// mode across switches, the exclusive-use sequence, pending edits before the table closes,
// and the index brought up to date at the end of a command.

#include "core/app/Session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/app/AppTestSupport.h"
#include "core/app/Paths.h"
#include "core/db/SortOrder.h"
#include "core/db/VideoTable.h"

namespace rv::app {
namespace {

namespace fs = std::filesystem;
using rv::db::Table;
using test::readBytes;
using test::ScopedEnv;
using test::TempDir;
using test::writeBytes;

// A private program and configuration folder for one test.
struct Folders {
    TempDir root;
    ScopedEnv program{"REELVANE_PROGRAM_DIR", (root / "program").string()};
    ScopedEnv config{"REELVANE_CONFIG_DIR", (root / "config").string()};
    fs::path programDir() const { return root / "program"; }
};

fs::path videoTable(const fs::path& path, const std::vector<std::string>& titles = {}) {
    Table::createVideoTable(path);
    Table t;
    t.setPath(path);
    t.open();
    for (const auto& title : titles) {
        t.append();
        t.setString("Title", title);
        t.post();
    }
    t.close();
    return path;
}

std::vector<std::string> titlesOf(const fs::path& path) {
    Table t;
    t.setPath(path);
    t.open();
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.asString("Title"));
    return out;
}

std::vector<std::string> texts(const Outcome& o) {
    std::vector<std::string> out;
    for (const auto& e : o.errors) out.push_back(e.text);
    return out;
}

void writeFieldEditing(const fs::path& ini, bool on) {
    writeBytes(ini, std::string("[Grid Options]\r\nField Editing=") + (on ? "Yes" : "No") + "\r\n");
}

bool storedFieldEditing(const fs::path& ini) {
    return readBytes(ini).find("Field Editing=Yes") != std::string::npos;
}

// ---- Start-up ------------------------------------------------------------------------------

TEST(SessionStartUp, FirstStartCreatesAndOpensMaster) {
    Folders f;
    Session s;
    const StartUpResult r = s.startUp();
    EXPECT_EQ(r.status, StartUpResult::Status::Opened);
    EXPECT_TRUE(r.outcome.ok()) << texts(r.outcome).front();
    EXPECT_TRUE(s.table().isOpen());
    EXPECT_EQ(fs::path(s.currentDatabase()).filename(), "MASTER.DBF");
    EXPECT_EQ(s.basePath(), f.programDir() / "MASTER");
    EXPECT_EQ(s.configFilePath().filename(), "MASTER.INI");
    // The default order, Star 1, is the tag the table is read in.
    EXPECT_EQ(s.sortExpression(), rv::db::BuildSortString(rv::db::kDefaultSortLevels));
    EXPECT_EQ(s.table().indexName(), rv::db::kSortTagName);
    EXPECT_TRUE(fs::exists(s.indexFilePath()));
}

TEST(SessionStartUp, LastDatabaseThatIsNoVideoTableAsksForAnother) {
    Folders f;
    fs::create_directories(f.root / "config");
    const fs::path foreign = f.root / "PEOPLE.DBF";
    Table::create(foreign, {{"NAME", rv::db::FieldKind::Text, 20}});
    writeBytes(f.root / "config" / "RVLVID.INI", "[Misc]\r\nLast Database=" + foreign.string() + "\r\n");
    Session s;
    const StartUpResult r = s.startUp();
    EXPECT_EQ(r.status, StartUpResult::Status::NotVideoTable);
    EXPECT_EQ(texts(r.outcome), std::vector<std::string>{rv::db::kNotVideoTableMessage});
    EXPECT_EQ(r.outcome.errors.front().kind, Outcome::Kind::Refusal);
    EXPECT_FALSE(s.table().isOpen());
    EXPECT_EQ(s.currentDatabase(), foreign.string());
}

TEST(SessionStartUp, NoDatabaseWhenMasterCannotBeMade) {
    Folders f;
    // A folder in the way of MASTER.DBF: the table cannot be created there.
    fs::create_directories(f.programDir() / "MASTER.DBF");
    Session s;
    EXPECT_EQ(s.startUp().status, StartUpResult::Status::NoDatabase);
}

// ---- Switching -----------------------------------------------------------------------------

struct ListLog : SessionLists {
    std::vector<std::string> calls;
    void SaveAllLists(const fs::path& base) override { calls.push_back("save " + base.filename().string()); }
    void LoadAllList(const fs::path& base) override { calls.push_back("load " + base.filename().string()); }
    void LoadDefaultList() override { calls.push_back("defaults"); }
};

TEST(SessionSwitch, SavesTheOldDatabaseLoadsTheNewAndRebuildsItsTag) {
    Folders f;
    Session s;
    ListLog lists;
    s.setDataLists(&lists);
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const std::string master = s.currentDatabase();
    const fs::path b = videoTable(f.root / "B.DBF", {"zulu", "Alpha", "mike"});
    writeBytes(f.root / "B.INI", "[Sort Order]\r\nPrimary Sort=1\r\n");
    s.settings().sortLevels = {3, 0, 0, 0};  // MASTER's order, written when it is left

    const Outcome o = s.switchDatabase(b.string(), SwitchKind::Open);
    EXPECT_TRUE(o.ok());
    EXPECT_EQ(s.currentDatabase(), b.string());
    EXPECT_EQ(s.basePath(), f.root / "B");
    EXPECT_EQ(lists.calls, (std::vector<std::string>{"save MASTER", "load B"}));
    EXPECT_NE(readBytes(f.programDir() / "MASTER.INI").find("Primary Sort=3"), std::string::npos);
    EXPECT_EQ(s.settings().sortLevels[0], 1);
    EXPECT_EQ(s.sortExpression(), rv::db::BuildSortString({1, 0, 0, 0}));
    EXPECT_EQ(s.table().tagStatus(rv::db::kSortTagName), Table::TagStatus::Current);
    EXPECT_EQ(s.settings().recentDatabases[0], master);
    // In title order, letter case ignored.
    std::vector<std::string> shown;
    for (s.table().first(); !s.table().eof(); s.table().next()) shown.push_back(s.table().asString("Title"));
    EXPECT_EQ(shown, (std::vector<std::string>{"Alpha", "mike", "zulu"}));
}

TEST(SessionSwitch, BrowseModeKeepsFieldEditingOffOnEveryDatabaseAndStoresItAsItWas) {
    Folders f;
    fs::create_directories(f.programDir());
    videoTable(f.programDir() / "MASTER.DBF");
    writeFieldEditing(f.programDir() / "MASTER.INI", true);
    const fs::path b = videoTable(f.root / "B.DBF");
    writeFieldEditing(f.root / "B.INI", true);
    const fs::path c = videoTable(f.root / "C.DBF");
    writeFieldEditing(f.root / "C.INI", false);

    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    EXPECT_TRUE(s.settings().fieldEditing);
    s.setBrowseMode(true);
    EXPECT_FALSE(s.settings().fieldEditing);

    ASSERT_TRUE(s.switchDatabase(b.string(), SwitchKind::Open).ok());
    EXPECT_FALSE(s.settings().fieldEditing) << "a switch in browse-only mode must not turn editing on";
    EXPECT_TRUE(storedFieldEditing(f.programDir() / "MASTER.INI")) << "the database left keeps its own value";
    EXPECT_TRUE(s.saveDatabaseSettings());
    EXPECT_TRUE(storedFieldEditing(f.root / "B.INI"));

    ASSERT_TRUE(s.switchDatabase(c.string(), SwitchKind::Recent).ok());
    EXPECT_FALSE(s.settings().fieldEditing);
    EXPECT_TRUE(storedFieldEditing(f.root / "B.INI"));
    EXPECT_FALSE(s.storedSettings().fieldEditing);  // C's own value, No
    ASSERT_TRUE(s.switchDatabase(b.string(), SwitchKind::Recent).ok());
    EXPECT_FALSE(s.settings().fieldEditing);
    EXPECT_TRUE(s.storedSettings().fieldEditing);
    EXPECT_TRUE(s.saveAllSettings());
    EXPECT_TRUE(storedFieldEditing(f.root / "B.INI"));
    EXPECT_FALSE(storedFieldEditing(f.root / "C.INI"));
}

TEST(SessionSwitch, WithoutBrowseModeFieldEditingIsTheDatabasesOwn) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const fs::path b = videoTable(f.root / "B.DBF");
    writeFieldEditing(f.root / "B.INI", true);
    ASSERT_TRUE(s.switchDatabase(b.string(), SwitchKind::Open).ok());
    EXPECT_TRUE(s.settings().fieldEditing);
}

TEST(SessionSwitch, APendingEditIsPostedBeforeTheTableCloses) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const std::string master = s.currentDatabase();
    s.table().append();
    s.table().setString("Title", "Typed, not posted");
    const fs::path b = videoTable(f.root / "B.DBF");
    ASSERT_TRUE(s.switchDatabase(b.string(), SwitchKind::Open).ok());
    EXPECT_EQ(titlesOf(master), std::vector<std::string>{"Typed, not posted"});
}

// ---- Creating ------------------------------------------------------------------------------

// ---- A restored database made current -------------------------------------------------------

TEST(SessionAdopt, AnotherFileSavesTheOldOnesFilesAndKeepsTheSettingsInMemory) {
    Folders f;
    Session s;
    ListLog lists;
    s.setDataLists(&lists);
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const std::string master = s.currentDatabase();
    const fs::path r = videoTable(f.programDir() / "RESTORED.DBF", {"one"});
    writeBytes(f.programDir() / "RESTORED.INI", "[Sort Order]\r\nPrimary Sort=1\r\n");
    s.settings().sortLevels = {3, 0, 0, 0};  // MASTER's order in memory

    const Outcome o = s.adoptDatabase(r.string());
    EXPECT_TRUE(o.ok());
    EXPECT_FALSE(s.table().isOpen());
    EXPECT_EQ(s.currentDatabase(), r.string());
    EXPECT_EQ(s.table().path(), fs::absolute(r));
    EXPECT_EQ(s.basePath(), f.programDir() / "RESTORED");
    EXPECT_EQ(s.configFilePath().filename(), "RESTORED.INI");
    EXPECT_EQ(s.indexFilePath().filename(), "RESTORED.MDX");
    EXPECT_EQ(s.settings().recentDatabases[0], master);
    // The database left keeps its settings and lists; the restored one's are not read.
    EXPECT_EQ(lists.calls, std::vector<std::string>{"save MASTER"});
    EXPECT_NE(readBytes(f.programDir() / "MASTER.INI").find("Primary Sort=3"), std::string::npos);
    EXPECT_EQ(s.settings().sortLevels[0], 3);

    // Its configuration file read again when that was restored too.
    s.reloadDatabaseSettings();
    EXPECT_EQ(s.settings().sortLevels[0], 1);
}

TEST(SessionAdopt, TheSameFileSavesNothing) {
    Folders f;
    Session s;
    ListLog lists;
    s.setDataLists(&lists);
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const std::string master = s.currentDatabase();
    const std::string before = readBytes(s.configFilePath());
    s.settings().sortLevels = {3, 0, 0, 0};

    EXPECT_TRUE(s.adoptDatabase(master).ok());
    EXPECT_EQ(s.currentDatabase(), master);
    EXPECT_FALSE(s.table().isOpen());
    EXPECT_TRUE(lists.calls.empty());
    EXPECT_EQ(readBytes(s.configFilePath()), before);
}

TEST(SessionCreate, NewDatabaseStartsWithDefaultListsAndOrder) {
    Folders f;
    Session s;
    ListLog lists;
    s.setDataLists(&lists);
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    s.settings().sortLevels = {1, 0, 0, 0};
    const fs::path n = f.root / "NEW.DBF";
    const Outcome o = s.createDatabase(n.string());
    EXPECT_TRUE(o.ok());
    EXPECT_TRUE(fs::exists(n));
    EXPECT_EQ(s.currentDatabase(), n.string());
    EXPECT_EQ(lists.calls, (std::vector<std::string>{"save MASTER", "defaults"}));
    EXPECT_EQ(s.settings().sortLevels, rv::db::kDefaultSortLevels);
    EXPECT_EQ(s.table().tagStatus(rv::db::kSortTagName), Table::TagStatus::Current);
}

TEST(SessionCreate, AFolderThatDoesNotExistIsRefusedAndNothingChanges) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const std::string before = s.currentDatabase();
    const fs::path n = f.root / "missing" / "NEW.DBF";
    const Outcome o = s.createDatabase(n.string());
    EXPECT_TRUE(o.stopped);
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_EQ(o.errors[0].kind, Outcome::Kind::Refusal);
    EXPECT_EQ(o.errors[0].text, *missingFolderProblem(n.string()));
    EXPECT_NE(o.errors[0].text.find((f.root / "missing").string()), std::string::npos);
    EXPECT_EQ(s.currentDatabase(), before);
    EXPECT_TRUE(s.table().isOpen());
    EXPECT_FALSE(fs::exists(f.root / "missing"));
}

TEST(SessionCreate, AFileAnotherHolderHasIsRefused) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const fs::path b = videoTable(f.root / "B.DBF", {"Kept"});
    Table holder;
    holder.setPath(b);
    holder.open();
    const Outcome o = s.createDatabase(b.string());
    EXPECT_TRUE(o.stopped);
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_EQ(o.errors[0].kind, Outcome::Kind::Refusal);
    EXPECT_NE(o.errors[0].text.find("New table creation will be aborted."), std::string::npos);
    holder.close();
    EXPECT_EQ(titlesOf(b), std::vector<std::string>{"Kept"});
}

// ---- Update Database and the search in force ------------------------------------------------

TEST(SessionUpdate, WritesTheSettingsReopensAndKeepsASearchInForce) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    s.settings().displayNames[1] = "Film";
    s.setSearchInForce(true);
    const Outcome o = s.updateDatabase();
    EXPECT_TRUE(o.ok());
    EXPECT_TRUE(s.searchInForce());
    EXPECT_TRUE(s.table().isOpen());
    EXPECT_NE(readBytes(s.configFilePath()).find("=Film"), std::string::npos);
}

TEST(SessionUpdate, SearchPauseLiftsTheSearchForItsScope) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    {
        Session::SearchPause nothing(s);
        EXPECT_FALSE(nothing.paused());
    }
    EXPECT_FALSE(s.searchInForce());
    s.setSearchInForce(true);
    {
        Session::SearchPause pause(s);
        EXPECT_TRUE(pause.paused());
        EXPECT_FALSE(s.searchInForce());
    }
    EXPECT_TRUE(s.searchInForce());
    EXPECT_TRUE(s.endSearch().ok());
    EXPECT_FALSE(s.searchInForce());
}

// ---- Exclusive use -------------------------------------------------------------------------

TEST(SessionExclusive, InUseMessagesAreTheCommandsOwn) {
    EXPECT_EQ(inUseMessage(ExclusiveCommand::Pack),
              "Unable to pack table.  Packing requires exclusive use of the DBase File.  Make sure that the DBase "
              "File is not in use by another program  or that no other users are running the software or that no "
              "other copies of the software are in use.");
    EXPECT_EQ(inUseMessage(ExclusiveCommand::Rebuild), "Unable to reindex table.  " + exclusiveUseMessage("Reindexing"));
    EXPECT_EQ(inUseMessage(ExclusiveCommand::SortOrder), exclusiveUseMessage("Creating a new sort order"));
}

TEST(SessionExclusive, WorkRunsOnTheTableHeldExclusivelyAndItReopensShared) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    bool ran = false;
    const ExclusiveResult r = s.runExclusive(ExclusiveCommand::Pack, [&](Table& t) {
        ran = t.isOpen() && t.exclusive();
        t.pack();
    });
    EXPECT_TRUE(r.done());
    EXPECT_TRUE(r.outcome.ok());
    EXPECT_TRUE(ran);
    EXPECT_TRUE(s.table().isOpen());
    EXPECT_FALSE(s.table().exclusive());
}

TEST(SessionExclusive, AnotherHolderGivesTheInUseMessageAndTheWorkDoesNotRun) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    Table holder;
    holder.setPath(s.currentDatabase());
    holder.open();
    bool ran = false;
    const ExclusiveResult r = s.runExclusive(ExclusiveCommand::Rebuild, [&](Table&) { ran = true; });
    EXPECT_EQ(r.status, ExclusiveResult::Status::InUse);
    EXPECT_FALSE(ran);
    EXPECT_EQ(texts(r.outcome), std::vector<std::string>{inUseMessage(ExclusiveCommand::Rebuild)});
    EXPECT_TRUE(s.table().isOpen());
}

TEST(SessionExclusive, ADamagedFileIsReportedAsItselfNotAsInUse) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    writeBytes(s.currentDatabase(), "not a table at all");
    const ExclusiveResult r = s.runExclusive(ExclusiveCommand::Pack, [](Table&) {});
    EXPECT_EQ(r.status, ExclusiveResult::Status::Failed);
    EXPECT_FALSE(r.outcome.ok());
    for (const auto& e : r.outcome.errors) {
        EXPECT_EQ(e.kind, Outcome::Kind::Failure);
        EXPECT_EQ(e.text.find("exclusive use"), std::string::npos) << e.text;
    }
}

TEST(SessionExclusive, APendingInsertIsPostedBeforeTheTableCloses) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    s.table().append();
    s.table().setString("Title", "Inserted in the grid");
    const ExclusiveResult r = s.runExclusive(ExclusiveCommand::Rebuild, [](Table& t) { t.regenerateIndexes(); });
    EXPECT_TRUE(r.done());
    EXPECT_EQ(titlesOf(s.currentDatabase()), std::vector<std::string>{"Inserted in the grid"});
}

TEST(SessionExclusive, AFailingWorkReopensSharedAndSaysWhy) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const ExclusiveResult r =
        s.runExclusive(ExclusiveCommand::Pack, [](Table&) { throw rv::db::DatabaseError("disk full"); });
    EXPECT_EQ(r.status, ExclusiveResult::Status::Failed);
    EXPECT_EQ(texts(r.outcome), std::vector<std::string>{"disk full"});
    EXPECT_TRUE(s.table().isOpen());
    EXPECT_FALSE(s.table().exclusive());
}

TEST(SessionSortOrder, NewLevelsRebuildTheTagAndAreStored) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const auto r = s.changeSortOrder({1, 3, 0, 0});
    EXPECT_TRUE(r.exclusive.done());
    EXPECT_FALSE(r.sortFailed);
    EXPECT_EQ(s.sortExpression(), rv::db::BuildSortString({1, 3, 0, 0}));
    EXPECT_EQ(s.table().orderExpression(), s.sortExpression());
    EXPECT_NE(readBytes(s.configFilePath()).find("Secondary Sort=3"), std::string::npos);
}

TEST(SessionSortOrder, InUseKeepsTheOldOrder) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    const std::string before = s.sortExpression();
    Table holder;
    holder.setPath(s.currentDatabase());
    holder.open();
    const auto r = s.changeSortOrder({1, 0, 0, 0});
    EXPECT_EQ(r.exclusive.status, ExclusiveResult::Status::InUse);
    EXPECT_EQ(texts(r.exclusive.outcome), std::vector<std::string>{exclusiveUseMessage("Creating a new sort order")});
    EXPECT_EQ(s.sortExpression(), before);
    EXPECT_EQ(s.settings().sortLevels, rv::db::kDefaultSortLevels);
}

// ---- End of a command and of the run ------------------------------------------------------------

TEST(SessionCommand, EndCommandBringsTheIndexUpToDate) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    Table& t = s.table();
    t.append();
    t.setString("Star1", "Someone");
    t.post();
    EXPECT_EQ(t.tagStatus(rv::db::kSortTagName), Table::TagStatus::Stale);
    EXPECT_TRUE(s.endCommand().ok());
    EXPECT_EQ(t.tagStatus(rv::db::kSortTagName), Table::TagStatus::Current);
    t.first();
    t.deleteRecord();
    EXPECT_TRUE(s.endCommand().ok());
    EXPECT_EQ(t.tagStatus(rv::db::kSortTagName), Table::TagStatus::Current);
}

TEST(SessionCommand, EndRunPostsWritesBothPartsAndEndsTheSearch) {
    Folders f;
    Session s;
    ASSERT_EQ(s.startUp().status, StartUpResult::Status::Opened);
    s.table().append();
    s.table().setString("Title", "Last one");
    s.settings().mainWidth = 777;
    s.settings().displayNames[1] = "Film";
    s.setSearchInForce(true);
    EXPECT_TRUE(s.endRun().ok());
    EXPECT_FALSE(s.searchInForce());
    EXPECT_NE(readBytes(programConfigFile()).find("=777"), std::string::npos);
    EXPECT_NE(readBytes(s.configFilePath()).find("=Film"), std::string::npos);
    EXPECT_EQ(titlesOf(s.currentDatabase()), std::vector<std::string>{"Last one"});
}

}  // namespace
}  // namespace rv::app
