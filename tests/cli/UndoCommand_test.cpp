#include "cli/Cli.h"

#include "editing/ChangeJournal.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

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

} // namespace
} // namespace veltrane::cli
