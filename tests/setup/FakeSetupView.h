#pragma once
// A wizard view for logic tests: answers questions from a script, presses buttons from a
// script, and records what it was asked and shown.

#include "setup/SetupInfo.h"

#include <deque>
#include <string>
#include <vector>

namespace veltrane::test {

class FakeSetupView : public ISetupView {
  public:
    TSetupInfo* Info = nullptr;
    std::deque<int> Answers;              // message box results, in order; empty means OK/Yes
    std::deque<TWizardButton> Presses;    // buttons pressed while a page waits; empty means Next
    std::vector<std::string> Asked, Reports, Shown;
    std::int64_t TotalMax = 0, TotalProgress = 0;
    bool Exists = false;

    bool WizardExists() const override { return Exists; }
    void RunWizard(const std::string&, const std::function<void()>& KickOff) override {
        Exists = true;
        KickOff();
        Exists = false;
    }
    void CloseWizard() override {}
    void WaitUntil(const std::function<bool()>& Done) override {
        for (int Guard = 0; !Done() && Guard < 100; ++Guard) {
            TWizardButton B = wbNext;
            if (!Presses.empty()) {
                B = Presses.front();
                Presses.pop_front();
            }
            if (B == wbNext)
                Info->NextClick();
            else if (B == wbPrev)
                Info->PrevClick();
            else
                Info->CancelClick();
        }
        if (!Done() && Info->CurrentPage)
            Info->CurrentPage->PageResult = 2;
    }
    void ProcessMessages() override {}
    void SetCaption(const std::string& C) override {
        if (!C.empty())
            Shown.push_back(C);
    }
    void SetButton(TWizardButton, bool, bool, const std::string&) override {}
    void FocusButton(TWizardButton) override {}
    void ShowNotebookPage(int) override {}
    int MessageBox(const std::string& Text, TMsgDlgType, unsigned Buttons, int) override {
        Asked.push_back(Text);
        if (!Answers.empty()) {
            int A = Answers.front();
            Answers.pop_front();
            return A;
        }
        return (Buttons & mbOK) || Buttons == 0 ? mrOk : mrYes;
    }
    void Report(const std::string& Line) override { Reports.push_back(Line); }
    void ShowMessageText(const std::vector<std::string>&, TAlignment, const TFontSpec&) override {}
    void ShowDirChoice(const TDirChoiceTexts&) override {}
    void SetDirLabel(const std::string&) override {}
    int DirLabelWidth() override { return 1000; }
    int TextWidth(const std::string& T) override { return static_cast<int>(T.size()); }
    int Browse(const TBrowseRequest&, std::string&) override { return 4; }
    void ShowCopyTexts(const TCopyTexts&) override {}
    void SetCopyLabels(const std::string&, const std::string&) override {}
    int CopyLabelWidth() override { return 1000; }
    void SetFilesLeft(std::size_t) override {}
    void SetFileBar(std::int64_t, std::int64_t) override {}
    void SetTotalBar(std::int64_t P, std::int64_t M) override {
        TotalProgress = P;
        TotalMax = M;
    }
    void ShowMultiDisk(const std::string&, const std::string&) override {}
};

} // namespace veltrane::test
