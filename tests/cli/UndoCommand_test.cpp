#include "cli/Cli.h"

#include "editing/ChangeJournal.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <csignal>
#include <sstream>
#include <sys/resource.h>

namespace veltrane::cli {
namespace {

namespace fs = std::filesystem;

struct Result {
    int rc;
    std::string out, err;
};

Result Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int rc = RunCli(args, out, err);
    return {rc, out.str(), err.str()};
}

class UndoCommand : public ::testing::Test {
  protected:
    UndoCommand() : journal_(state_.path().string() + "/veltrane") {
        SetActiveJournal(&journal_);
        test::RawTag tag;
        tag.title = "Song";
        tag.artist = "Band";
        a_ = dir_.WriteFile("a.mp3", test::Mp3Bytes(500, tag));
        b_ = dir_.WriteFile("b.mp3", test::Mp3BytesNoTag(500));
    }
    ~UndoCommand() override { SetActiveJournal(nullptr); }

    test::TestDir state_, dir_;
    TChangeJournal journal_;
    std::string a_, b_;
};

TEST_F(UndoCommand, EachCommandIsOneStepAndComesBackByteForByte) {
    const std::string a = dir_.ReadFile("a.mp3"), b = dir_.ReadFile("b.mp3");
    const std::vector<std::vector<std::string>> commands = {
        {"tag", "set", "--album", "X", "--genre", "Rock", a_, b_},
        {"from-name", "--fields", "title", a_, b_},
        {"rename", a_},
        {"rename", "--to", "typed", b_},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        ASSERT_EQ(Cli(command).rc, 0);
        const Result undo = Cli({"undo"});
        EXPECT_EQ(undo.rc, 0) << undo.err;
        EXPECT_EQ(dir_.ReadFile("a.mp3"), a);
        EXPECT_EQ(dir_.ReadFile("b.mp3"), b);
    }
    const Result list = Cli({"undo", "--list"});
    EXPECT_EQ(list.rc, 0);
    std::istringstream lines(list.out);
    std::string newest, line;
    std::getline(lines, newest);
    EXPECT_NE(newest.find("\t1\tundo of step 7: rename b.mp3 to typed.mp3"), std::string::npos)
        << newest;
    std::size_t count = 1;
    while (std::getline(lines, line)) {
        ++count;
        if (line.rfind("1\t", 0) == 0) {
            EXPECT_NE(line.find("\t2\tset album and genre of 2 files\tundone"), std::string::npos)
                << line;
        }
    }
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(Cli({"undo"}).err, "veltrane-cli: nothing to undo\n");
}

TEST_F(UndoCommand, AFileThatCannotBeRestoredIsNamedWithStatusOne) {
    ASSERT_EQ(Cli({"tag", "set", "--title", "X", a_, b_}).rc, 0);
    ASSERT_EQ(Cli({"tag", "set", "--title", "Theirs", b_}).rc, 0);
    const Result undo = Cli({"undo", "--step", "1"});
    EXPECT_EQ(undo.rc, 1);
    EXPECT_EQ(undo.err, "veltrane-cli: " + b_ + ": changed since Veltrane wrote it; left as it is\n");
    EXPECT_EQ(undo.out, "undone step 1: set title of 2 files (1 restored, 1 left alone)\n");

    for (const char* bad : {"0", "x", "-1", ""})
        EXPECT_EQ(Cli({"undo", "--step", bad}).rc, 2) << bad;
    EXPECT_EQ(Cli({"undo", "--step", "42"}).rc, 1);
}

TEST_F(UndoCommand, RenamesOfOneLetterNamesInAOneLetterFolderAreListedAndUndone) {
    dir_.MakeDir("d");
    std::vector<std::string> names;
    for (const char c : std::string("abcdefghij")) {
        test::RawTag tag;
        tag.title = std::string(1, static_cast<char>(c - 'a' + 'A'));
        names.push_back(dir_.WriteFile(std::string("d/") + c, test::Mp3Bytes(200, tag)));
    }
    std::vector<std::string> rename = {"rename", "--fields", "title"};
    rename.insert(rename.end(), names.begin(), names.end());
    ASSERT_EQ(Cli(rename).rc, 0); // one step of ten short renames
    ASSERT_EQ(Cli({"rename", "--to", "z", dir_ / "d/A.mp3"}).rc, 0);
    const Result list = Cli({"undo", "--list"});
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 2) << list.out;
    EXPECT_EQ(Cli({"undo"}).rc, 0);
    const Result undo = Cli({"undo"});
    EXPECT_EQ(undo.rc, 0) << undo.err;
    EXPECT_EQ(undo.out, "undone step 1: rename 10 files from tags (10 restored)\n");
    for (const std::string& name : names)
        EXPECT_TRUE(fs::exists(name)) << name;
    EXPECT_EQ(Cli({"undo"}).err, "veltrane-cli: nothing to undo\n");
}

TEST_F(UndoCommand, AnUnusableStateFolderRefusesChangesUnlessNoUndoIsGiven) {
    TChangeJournal blocked(dir_.WriteFile("state", "not a folder") + "/veltrane");
    SetActiveJournal(&blocked);
    const std::string a = dir_.ReadFile("a.mp3");
    const std::vector<std::vector<std::string>> commands = {
        {"tag", "set", "--album", "X", a_},
        {"from-name", "--fields", "title", a_},
        {"rename", "--to", "typed", a_},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        const Result refused = Cli(command);
        EXPECT_EQ(refused.rc, 1);
        EXPECT_NE(refused.err.find("cannot be recorded for undo"), std::string::npos)
            << refused.err;
        EXPECT_EQ(dir_.ReadFile("a.mp3"), a);
        std::vector<std::string> forced = command;
        forced.insert(forced.begin() + (command[0] == "tag" ? 2 : 1), "--no-undo");
        const Result made = Cli(forced);
        EXPECT_EQ(made.rc, 0) << made.err;
        EXPECT_NE(made.err.find("warning: "), std::string::npos);
        EXPECT_NE(made.err.find("without undo"), std::string::npos) << made.err;
        if (command[0] == "rename") {
            EXPECT_TRUE(fs::exists(dir_ / "typed.mp3"));
        } else {
            EXPECT_NE(dir_.ReadFile("a.mp3"), a);
            std::ofstream(a_, std::ios::binary | std::ios::trunc) << a;
        }
        // The consent lasts one command only.
        EXPECT_EQ(Cli({"tag", "set", "--album", "Y", a_}).rc, 1);
    }
}

TEST_F(UndoCommand, AReadOnlyFileIsNamedAndWrittenOnlyWithForce) {
    const std::string a = dir_.ReadFile("a.mp3");
    ASSERT_EQ(Cli({"tag", "set", "--album", "X", a_}).rc, 0);
    fs::permissions(a_, fs::perms::owner_read);
    const Result refused = Cli({"undo"});
    EXPECT_EQ(refused.rc, 1);
    EXPECT_EQ(refused.err, "veltrane-cli: " + a_ + ": read-only; left as it is\n"
                           "veltrane-cli: undo --force --step 1 writes the read-only files and "
                           "keeps them read-only\n");
    const Result forced = Cli({"undo", "--force"});
    EXPECT_EQ(forced.rc, 0) << forced.err;
    EXPECT_EQ(dir_.ReadFile("a.mp3"), a);
    EXPECT_EQ(fs::status(a_).permissions() & fs::perms::all, fs::perms::owner_read);
}

// A file copied from a CD: the tool reads it (also through a link from outside the folder)
// without making it writable, refuses each tag write naming it, and --force writes it and
// keeps the mode, also for root, whom the kernel would let write it anyway.
TEST_F(UndoCommand, ReadsKeepAReadOnlyModeAndWritesNeedForce) {
    const auto mode = [&] { return fs::status(a_).permissions() & fs::perms::all; };
    fs::permissions(b_, fs::perms::owner_read);
    fs::permissions(a_, fs::perms::owner_read);
    test::TestDir outside;
    const std::string link = outside.path().string() + "/link.mp3";
    fs::create_symlink(a_, link);
    const std::string folder = dir_.path().string();
    for (const std::vector<std::string>& read : std::vector<std::vector<std::string>>{
             {"tag", "show", a_}, {"tag", "show", link}, {"list", folder},
             {"select", "--text", "Song", folder}, {"tag", "export", folder, link}}) {
        Cli(read);
        EXPECT_EQ(mode(), fs::perms::owner_read) << read[0] << ' ' << read[1];
    }
    const std::string a = dir_.ReadFile("a.mp3");
    const std::string csv = outside.path().string() + "/t.csv";
    std::ofstream(csv) << "Path,Title\r\n" << a_ << ",Other\r\n";
    for (const std::vector<std::string>& write : std::vector<std::vector<std::string>>{
             {"tag", "set", "--album", "X", a_}, {"tag", "number", a_},
             {"from-name", "--fields", "title", a_}, {"tag", "import", csv}}) {
        const Result refused = Cli(write);
        EXPECT_EQ(refused.rc, 1) << write[1];
        EXPECT_NE(refused.err.find(a_ + ": read-only"), std::string::npos) << refused.err;
        EXPECT_EQ(dir_.ReadFile("a.mp3"), a) << write[1];
    }
    const Result forced = Cli({"tag", "set", "--force", "--album", "X", a_, b_});
    EXPECT_EQ(forced.rc, 0) << forced.err;
    EXPECT_NE(dir_.ReadFile("a.mp3"), a);
    EXPECT_EQ(mode(), fs::perms::owner_read);
    EXPECT_EQ(fs::status(b_).permissions() & fs::perms::all, fs::perms::owner_read);
    EXPECT_EQ(Cli({"tag", "show", "--force", a_}).rc, 2); // a read has nothing to force
}

TEST_F(UndoCommand, RedoTakesBackTheLastUndoAndIsJournaled) {
    const std::string a = dir_.ReadFile("a.mp3");
    ASSERT_EQ(Cli({"tag", "set", "--album", "X", a_}).rc, 0);
    const std::string x = dir_.ReadFile("a.mp3");
    EXPECT_EQ(Cli({"undo", "--redo"}).err, "veltrane-cli: nothing to redo\n");
    ASSERT_EQ(Cli({"undo"}).rc, 0);
    const Result redo = Cli({"undo", "--redo"});
    EXPECT_EQ(redo.rc, 0) << redo.err;
    EXPECT_EQ(redo.out, "redone step 2: set album of 1 file (1 restored)\n");
    EXPECT_EQ(dir_.ReadFile("a.mp3"), x);
    // The undo after a redo takes the redo back.
    EXPECT_EQ(Cli({"undo"}).out, "undone step 3: set album of 1 file (1 restored)\n");
    EXPECT_EQ(dir_.ReadFile("a.mp3"), a);
    const Result list = Cli({"undo", "--list"});
    EXPECT_NE(list.out.find("\tredo of step 2: set album of 1 file\tundone"), std::string::npos)
        << list.out;
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"undo", "--redo", "--step", "1"},
          std::vector<std::string>{"undo", "--list", "--redo"},
          std::vector<std::string>{"undo", "--list", "--no-undo"}})
        EXPECT_EQ(Cli(bad).rc, 2) << bad.back();
}

// A state disk that takes no more bytes (here: a file size limit at the journal's size).
TEST_F(UndoCommand, UndoOnAFullStateDiskRefusesAndSaysNoUndoTakesTheStepBack) {
    test::RawTag tag;
    tag.title = "Small";
    const std::string small = dir_.WriteFile("small.mp3", test::Mp3Bytes(20, tag));
    const std::string before = dir_.ReadFile("small.mp3");
    ASSERT_EQ(Cli({"tag", "set", "--album", "X", small}).rc, 0);
    const std::string changed = dir_.ReadFile("small.mp3");
    const auto journalSize = fs::file_size(journal_.FilePath());
    ASSERT_GT(journalSize, changed.size());
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit full = old;
    full.rlim_cur = journalSize;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    const Result refused = Cli({"undo"});
    const Result made = Cli({"undo", "--no-undo"});
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(refused.rc, 1);
    EXPECT_NE(refused.err.find("the undo cannot be recorded"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--no-undo takes the step back without recording it"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(made.rc, 0) << made.err;
    EXPECT_NE(made.err.find("without undo (--no-undo)"), std::string::npos) << made.err;
    EXPECT_NE(made.out.find("(1 restored); not recorded"), std::string::npos) << made.out;
    EXPECT_EQ(dir_.ReadFile("small.mp3"), before);
    EXPECT_EQ(fs::file_size(journal_.FilePath()), journalSize);
    // With room again, the next undo finds the file as before and marks the step undone.
    EXPECT_NE(Cli({"undo"}).out.find("marked as undone"), std::string::npos);
}

} // namespace
} // namespace veltrane::cli
