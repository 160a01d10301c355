#pragma once
// An IEditingHost over a plain file list: records what the windows ask of the main window.

#include "browser/FindFile.h"
#include "editing/ui/EditingHost.h"

#include <string>
#include <vector>

namespace veltrane::test {

class FakeEditingHost : public IEditingHost {
  public:
    explicit FakeEditingHost(TFileList& List, std::string Directory = {})
        : list_(List), directory_(std::move(Directory)) {}

    TFileList& FileList() override { return list_; }
    void ListChanged() override { ++listChanged; }
    void SetLockDisplay(bool On) override { lockCalls.push_back(On); }
    IProgress* ProgressWindow() override { return nullptr; }
    void RunSearch() override {
        ++searches;
        TFindFile finder;
        finder.Directory = directory_;
        finder.Filter = "*.mp3";
        finder.Execute();
        list_.UpdateList(finder.Files, directory_);
    }
    std::size_t RememberedRow() const override { return rememberedRow; }
    void ShowError(const std::string& Text) override { errors.push_back(Text); }
    void ShowNotice(const std::string& Text) override { notices.push_back(Text); }
    std::string SettingsFileName() const override { return settingsFile; }

    std::string settingsFile; // "": none kept
    std::size_t rememberedRow = 0;
    int listChanged = 0;
    int searches = 0;
    std::vector<bool> lockCalls;
    std::vector<std::string> errors;
    std::vector<std::string> notices; // what was done, shown with the information icon

  private:
    TFileList& list_;
    std::string directory_;
};

} // namespace veltrane::test
