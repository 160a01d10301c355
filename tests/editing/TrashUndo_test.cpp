// A delete to the trash is a step: Undo puts the files back from the freedesktop trash of a
// temporary XDG_DATA_HOME (the real trash, through GIO) and removes their records.

#include "browser/FileOp.h"
#include "browser/MainCommands.h"
#include "editing/JournaledSteps.h"
#include "editing/Undo.h"
#include "platform/FileOperations.h"
#include "support/TestDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

// GLib reads XDG_DATA_HOME once, at its first use: set before any test runs.
std::string MakeDataHome() {
    const char* tmp = ::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrane-trash-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    ::setenv("XDG_DATA_HOME", pattern.c_str(), 1);
    return pattern;
}
const std::string gDataHome = MakeDataHome();

struct RemoveDataHome : ::testing::Environment {
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(gDataHome, ec);
    }
};
[[maybe_unused]] const auto* const gCleanup = ::testing::AddGlobalTestEnvironment(new RemoveDataHome);

std::size_t Count(const fs::path& dir) {
    std::error_code ec;
    return fs::exists(dir, ec) ? static_cast<std::size_t>(std::distance(fs::directory_iterator(dir),
                                                                        fs::directory_iterator()))
                               : 0;
}

class TrashUndo : public ::testing::Test {
  protected:
    TrashUndo() : journal_(state_.path().string() + "/veltrane") { SetActiveJournal(&journal_); }
    ~TrashUndo() override {
        SetActiveJournal(nullptr);
        std::error_code ec;
        fs::remove_all(trash_, ec);
    }
    void SetUp() override {
        ASSERT_FALSE(gDataHome.empty());
        // GIO uses the home trash only for files on its own file system.
        if (fs::status(dir_.path()).type() != fs::file_type::directory ||
            Device(dir_.path()) != Device(gDataHome))
            GTEST_SKIP() << "the test folder and the temporary data folder are on different disks";
    }
    static dev_t Device(const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_dev;
    }
    bool Delete(const std::vector<std::string>& paths, bool toTrash) {
        PrepareDelete(op_, paths, toTrash);
        return op_.Execute();
    }

    test::TestDir state_, dir_;
    TChangeJournal journal_;
    platform::LinuxFileOperations files_;
    TJournaledTrash recorder_;
    TFileOperation op_{files_};
    const fs::path trash_ = fs::path(gDataHome) / "Trash";
    void Attach() { op_.TrashRecorder = &recorder_; }
};

TEST_F(TrashUndo, UndoPutsTrashedFilesBackAndRedoTrashesThemAgain) {
    Attach();
    const std::string a = dir_.WriteFile("a.mp3", "first file");
    const std::string b = dir_.WriteFile("b c.mp3", "second file");
    ASSERT_TRUE(Delete({a, b}, true)) << op_.FailureReport();
    ASSERT_FALSE(fs::exists(a));
    ASSERT_EQ(Count(trash_ / "files"), 2u);
    ASSERT_EQ(Count(trash_ / "info"), 2u);
    TJournalContents contents = journal_.Read();
    ASSERT_NE(LastUndoable(contents), nullptr);
    EXPECT_EQ(UndoCaption(*LastUndoable(contents)), "Undo: move 2 files to the trash");

    // Undo, redo and the undo of that redo: the files go back and forth, records with them.
    for (const char* move : {"undo", "redo", "undo"}) {
        SCOPED_TRACE(move);
        const bool redo = std::string(move) == "redo";
        const TUndoReport report = redo ? RedoStep(journal_) : UndoStep(journal_);
        EXPECT_EQ(report.Restored, 2u);
        EXPECT_TRUE(report.Failures.empty()) << report.Failures[0].Error;
        EXPECT_EQ(fs::exists(a), !redo);
        EXPECT_EQ(fs::exists(b), !redo);
        EXPECT_EQ(Count(trash_ / "files"), redo ? 2u : 0u);
        EXPECT_EQ(Count(trash_ / "info"), redo ? 2u : 0u);
    }
    EXPECT_EQ(dir_.ReadFile("a.mp3"), "first file");
    EXPECT_EQ(dir_.ReadFile("b c.mp3"), "second file");
}

TEST_F(TrashUndo, ATakenNameOrAFileGoneFromTheTrashIsLeftAloneAndNamed) {
    Attach();
    const std::string a = dir_.WriteFile("a.mp3", "mine");
    const std::string b = dir_.WriteFile("b.mp3", "emptied");
    ASSERT_TRUE(Delete({a, b}, true));
    dir_.WriteFile("a.mp3", "a new file of that name");
    fs::remove_all(trash_ / "files" / "b.mp3"); // the user emptied part of the trash
    const TUndoReport report = UndoStep(journal_);
    EXPECT_EQ(report.Restored, 0u);
    ASSERT_EQ(report.Failures.size(), 2u);
    EXPECT_EQ(report.Failures[0].Path, b);
    EXPECT_EQ(report.Failures[0].Error, "no longer in the trash; left as it is");
    EXPECT_EQ(report.Failures[1].Path, a);
    EXPECT_NE(report.Failures[1].Error.find("taken by another file"), std::string::npos);
    EXPECT_EQ(dir_.ReadFile("a.mp3"), "a new file of that name");
    EXPECT_EQ(Count(trash_ / "files"), 1u); // still there, with its record
    EXPECT_TRUE(fs::exists(trash_ / "info" / "a.mp3.trashinfo"));
}

TEST_F(TrashUndo, APermanentDeleteOrOneWithoutRecorderIsNoStep) {
    const std::string a = dir_.WriteFile("a.mp3", "x");
    const std::string b = dir_.WriteFile("b.mp3", "y");
    ASSERT_TRUE(Delete({a}, true)); // no recorder: trashed, not journaled
    Attach();
    ASSERT_TRUE(Delete({b}, false)); // for good, as described
    EXPECT_FALSE(fs::exists(b));
    EXPECT_TRUE(journal_.Read().Steps.empty());
    EXPECT_THROW(UndoStep(journal_), EJournalError);
}

TEST_F(TrashUndo, AJournalThatCannotRecordTheStepMovesNothing) {
    TChangeJournal blocked(dir_.WriteFile("state", "not a folder") + "/veltrane");
    SetActiveJournal(&blocked);
    Attach();
    const std::string a = dir_.WriteFile("a.mp3", "x");
    EXPECT_FALSE(Delete({a}, true));
    ASSERT_EQ(op_.Failures().size(), 1u);
    EXPECT_NE(op_.Failures()[0].message.find("cannot be recorded for undo"), std::string::npos);
    EXPECT_TRUE(fs::exists(a));
    // With the consent, the file goes to the trash unrecorded.
    const TNoUndoConsent before = SetNoUndoConsent([](const std::string&) { return true; });
    EXPECT_TRUE(Delete({a}, true));
    SetNoUndoConsent(before);
    EXPECT_FALSE(fs::exists(a));
}

} // namespace
} // namespace veltrane
