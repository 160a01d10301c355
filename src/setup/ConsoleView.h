#pragma once
// The wizard without windows: every page takes its default (Next, Finish), every question its
// unattended answer, and every step is printed as one line.

#include "setup/SetupInfo.h"
#include "setup/SetupPages.h"

#include <cstdio>
#include <map>

namespace veltrane {

class TConsoleView : public ISetupView {
  public:
    TConsoleView(std::FILE* Out, std::FILE* In) : Out_(Out), In_(In) {}
    TSetupInfo* Info = nullptr;
    // How an overwrite question is answered: never, always, or asked on the terminal.
    TOverWrite OverWrite = swNever;

    bool WizardExists() const override { return Exists_; }
    void RunWizard(const std::string& Picture, const std::function<void()>& KickOff) override;
    void CloseWizard() override {}
    void WaitUntil(const std::function<bool()>& Done) override;
    void ProcessMessages() override {}
    void SetCaption(const std::string& Caption) override { Caption_ = Caption; }
    void SetButton(TWizardButton, bool, bool, const std::string&) override {}
    void FocusButton(TWizardButton) override {}
    void ShowNotebookPage(int) override {}
    int MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons, int Unattended) override;
    void Report(const std::string& Line) override;
    void ShowMessageText(const std::vector<std::string>&, TAlignment, const TFontSpec&) override {}
    void ShowDirChoice(const TDirChoiceTexts&) override {}
    void SetDirLabel(const std::string&) override {}
    int DirLabelWidth() override { return 1 << 30; }
    int TextWidth(const std::string& Text) override { return static_cast<int>(Text.size()); }
    int Browse(const TBrowseRequest&, std::string&) override { return prPrevious; }
    void ShowCopyTexts(const TCopyTexts&) override {}
    void SetCopyLabels(const std::string&, const std::string&) override {}
    int CopyLabelWidth() override { return 1 << 30; }
    void SetFilesLeft(std::size_t) override {}
    void SetFileBar(std::int64_t, std::int64_t) override {}
    void SetTotalBar(std::int64_t, std::int64_t) override {}
    void ShowMultiDisk(const std::string& Caption, const std::string& Text) override;

  private:
    std::FILE* Out_;
    std::FILE* In_;
    bool Exists_ = false;
    std::string Caption_; // the showing page's caption, named when it cannot go on
    std::map<const TSetupPage*, int> Presses_;
};

} // namespace veltrane
