#include "browser/HelpTexts.h"
#include "browser/MainCommands.h"
#include "support/TestDir.h"
#include "support/platform/FakeFileOperations.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(MainCommands, KeyTableFirstMatchWins) {
    TKeyModifiers none, ctrl{true, false, false}, ctrlShift{true, true, false};
    EXPECT_EQ(ListKeyCommand(TListKey::A, ctrl), TListCommand::SelectAll);
    EXPECT_EQ(ListKeyCommand(TListKey::A, ctrlShift), TListCommand::None);
    EXPECT_EQ(ListKeyCommand(TListKey::A, none), TListCommand::None);
    EXPECT_EQ(ListKeyCommand(TListKey::Enter, ctrl), TListCommand::Play);
    EXPECT_EQ(ListKeyCommand(TListKey::Enter, ctrlShift), TListCommand::DoubleClickAction);
    EXPECT_EQ(ListKeyCommand(TListKey::Enter, none), TListCommand::DoubleClickAction);
    EXPECT_EQ(ListKeyCommand(TListKey::F2, ctrlShift), TListCommand::Rename);
    EXPECT_EQ(ListKeyCommand(TListKey::F5, none), TListCommand::Refresh);
    EXPECT_EQ(ListKeyCommand(TListKey::KeypadPlus, none), TListCommand::Select);
    EXPECT_EQ(ListKeyCommand(TListKey::KeypadMinus, ctrl), TListCommand::Deselect);
    EXPECT_EQ(ListKeyCommand(TListKey::Delete, none), TListCommand::Delete);
    EXPECT_EQ(ListKeyCommand(TListKey::Other, ctrl), TListCommand::None);
}

TEST(MainCommands, DoubleClickActions) {
    EXPECT_EQ(DoubleClickCommand(0), TListCommand::EditTag);
    EXPECT_EQ(DoubleClickCommand(1), TListCommand::Play);
    EXPECT_EQ(DoubleClickCommand(2), TListCommand::Rename);
    EXPECT_EQ(DoubleClickCommand(255), TListCommand::None);
}

TEST(MainCommands, FooterTexts) {
    TFooterTexts t = FooterTexts(2, 3'500'000);
    EXPECT_EQ(t.Count, "2 files selected");
    EXPECT_EQ(t.Size, "3.50 megabyte");
    t = FooterTexts(1, 999);
    EXPECT_EQ(t.Count, "1 file selected");
    EXPECT_EQ(t.Size, "0.00 megabyte");
    EXPECT_EQ(FooterTexts(0, 0).Count, "0 files selected");
    // Beyond 32 bits: six gigabytes show as such.
    EXPECT_EQ(FooterTexts(3, 6'000'000'000ULL, ',').Size, "6000,00 megabyte");
    EXPECT_EQ(FooterTexts(1, 1'234'567).Size, "1.23 megabyte");
    EXPECT_EQ(FooterTexts(1, 1'235'000).Size, "1.24 megabyte");
}

TEST(MainCommands, DeleteSetUp) {
    test::FakeFileOperations files;
    TFileOperation op(files);
    op.Flags = fofNoConfirmation;
    PrepareDelete(op, {"/m/a;b.mp3", "/m/c.mp3", "/m/d", "/m/e", "/m/f"}, true);
    EXPECT_EQ(DeleteQuestion(5), "Are you sure you want to delete 5 file(s)?");
    EXPECT_EQ(op.ProgressTitle, "Deleting 5 files.");
    EXPECT_EQ(op.FilesFrom.size(), 5u);
    EXPECT_EQ(op.FilesFrom[0], "/m/a;b.mp3");
    EXPECT_TRUE(op.Flags & fofAllowUndo);
    EXPECT_TRUE(op.Flags & fofNoConfirmation);
    PrepareDelete(op, {"/m/a"}, false);
    EXPECT_FALSE(op.Flags & fofAllowUndo);
    EXPECT_TRUE(op.Flags & fofNoConfirmation);
}

TEST(MainCommands, StartupDirectory) {
    test::TestDir dir;
    dir.MakeDir("music/rock");
    std::string start = dir.path().string();
    EXPECT_EQ(StartupDirectory(std::nullopt, ".", start), start);
    EXPECT_EQ(StartupDirectory(std::nullopt, "music/rock/", start), dir / "music/rock");
    EXPECT_EQ(StartupDirectory(std::nullopt, "missing", start), std::nullopt);
    EXPECT_EQ(StartupDirectory(std::string("music"), "missing", start), dir / "music");
    EXPECT_EQ(StartupDirectory(std::string("nope"), dir / "music/rock", start), dir / "music/rock");
}

TEST(HelpTexts, HintAndHelpLines) {
    THelpState state;
    DisplayHint(state, "");
    EXPECT_EQ(state.Topic, "Help on help");
    EXPECT_EQ(state.Lines,
              (std::vector<std::string>{
                  "", "Move your mouse over the button you'd like to know more about."}));

    EXPECT_TRUE(ControlMouseMove(state, TToolbarControl::ShowDir));
    EXPECT_EQ(state.Lines,
              (std::vector<std::string>{"", "This buttons opens the change directory window.", "",
                                        "You can leave this windows open if you want."}));
    DisplayHint(state, ControlHint(TToolbarControl::ShowDir));
    EXPECT_EQ(state.StatusHint, "Show/hide change directory window");
    EXPECT_EQ(state.Topic, "Show/hide change directory window");
    // The pointer stays: nothing is rewritten.
    state.Lines.clear();
    EXPECT_FALSE(ControlMouseMove(state, TToolbarControl::ShowDir));
    EXPECT_TRUE(state.Lines.empty());

    EXPECT_TRUE(PlayListEditorMouseUp(state));
    EXPECT_EQ(state.Lines.back(),
              "Opens the playlist editor, and puts the selected MP3's in a new playlist.");
    for (TToolbarControl c : AllToolbarControls()) {
        EXPECT_FALSE(ControlHint(c).empty());
        EXPECT_FALSE(ControlHelpTexts(c).empty());
    }
    EXPECT_EQ(AllToolbarControls().size(), 16u);
}

} // namespace
} // namespace veltrane
