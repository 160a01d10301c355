#pragma once
// The setup description: which files are shipped, on which disk each lies, into which named
// directory each goes, the choices, the program-group items and where the install log goes.
// Lists own their elements; every other reference points into an owning list.

#include "setup/FileDate.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrane {

class TSetupData;

// Configuration errors of the installer.
class ESetupError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TSetupFile {
  public:
    explicit TSetupFile(TSetupData* Owner) : Owner(Owner) {}
    bool Compressed = false;
    std::int64_t CompressedSize = 0;
    TDateTime DateTime = 0;
    std::string Name;
    TSetupData* Owner;
    std::int64_t Size = 0;
    const std::string& Source() const { return Source_; }
    void SetSource(const std::string& Value);

  private:
    std::string Source_;
};

using TNameList = std::vector<std::pair<std::string, void*>>;

class TSetupFileList {
  public:
    explicit TSetupFileList(TSetupData* Owner) : Owner(Owner) {}
    virtual ~TSetupFileList() = default;
    std::vector<TSetupFile*> Files;
    TSetupData* Owner;
    // Refuses nil and a file already present.
    virtual bool Add(TSetupFile* File);
    virtual bool Remove(TSetupFile* File);
    bool Contains(const TSetupFile* File) const;
    void ListNames(TNameList& Names) const;
};

class TSetupDir : public TSetupFileList {
  public:
    explicit TSetupDir(TSetupData* Owner) : TSetupFileList(Owner) {}
    TSetupDir* Parent = nullptr;
    const std::string& Dir() const { return Dir_; }
    void SetDir(const std::string& Value);
    const std::string& Name() const { return Name_; }
    // Keeps the old name when another dir already has the new one.
    void SetName(const std::string& Value);
    std::string Name_ = "New Dir"; // assigned directly by the reader

  private:
    std::string Dir_;
};

class TSetupDisk : public TSetupFileList {
  public:
    explicit TSetupDisk(TSetupData* Owner) : TSetupFileList(Owner) {}
    std::string Description = "New Disk";
    std::uint16_t Number = 0;
    std::int64_t Size = 0; // 0 = unlimited
    std::int64_t Used = 0;
    // Refuses a file that would take Used beyond a non-zero Size.
    bool Add(TSetupFile* File) override;
    bool Remove(TSetupFile* File) override;
};

class TSetupFileGroup {
  public:
    explicit TSetupFileGroup(TSetupData* Owner) : Owner(Owner) {}
    virtual ~TSetupFileGroup() = default;
    std::vector<TSetupDir*> Dirs;
    std::vector<std::unique_ptr<TSetupFileList>> FileLists; // parallel to Dirs
    std::string Name_;
    TSetupData* Owner;

    const std::string& Name() const { return Name_; }
    void SetName(const std::string& Value);
    int IndexOfDir(const TSetupDir* Dir) const;
    // Appends the dir with an empty file list when absent; returns its list.
    TSetupFileList* AddDir(TSetupDir* Dir);
    // Without Dir, the dir is the last dir of the description whose own list holds the file.
    bool AddFile(TSetupFile* File, TSetupDir* Dir, bool CreateIfMissing);
    bool Contains(const TSetupFile* File, const TSetupDir* Dir) const;
    void ListNames(const TSetupDir* Dir, TNameList& Names) const;
    bool RemoveFile(TSetupFile* File, TSetupDir* Dir, bool DropEmptyDirs);
    void Clear();
};

class TSetupFileGroupList : public TSetupFileGroup {
  public:
    explicit TSetupFileGroupList(TSetupData* Owner) : TSetupFileGroup(Owner) {}
    std::vector<TSetupFileGroup*> Groups;
    bool AddGroup(TSetupFileGroup* Group);
};

class TSetupChoiceItem {
  public:
    explicit TSetupChoiceItem(TSetupData* Owner);
    std::unique_ptr<TSetupFileGroupList> Add;
    std::vector<std::string> Description;
    std::string Name_;
    TSetupData* Owner;
    std::unique_ptr<TSetupFileGroupList> Remove;
    std::string Title;
    const std::string& Name() const { return Name_; }
    void SetName(const std::string& Value);
};

class TSetupChoiceData {
  public:
    explicit TSetupChoiceData(TSetupData* Owner) : Owner(Owner) {}
    TSetupChoiceItem* Common = nullptr;
    std::vector<TSetupChoiceItem*> Items;
    std::string Name;
    TSetupData* Owner;
    bool AddItem(TSetupChoiceItem* Item);
};

class TSetupWinItem {
  public:
    explicit TSetupWinItem(TSetupData* Owner) : Owner(Owner) {}
    std::string CommandLine;
    TSetupDir* Dir = nullptr;
    TSetupFile* ItemFile = nullptr;
    std::string Name_;
    TSetupData* Owner;
    const std::string& Name() const { return Name_; }
    void SetName(const std::string& Value);
};

class TSetupWinGroups {
  public:
    explicit TSetupWinGroups(TSetupData* Owner) : Owner(Owner) {}
    std::vector<TSetupWinItem*> Items;
    std::string Name;
    TSetupData* Owner;
    std::string Title = "New Application";
    bool AddItem(TSetupWinItem* Item);
};

class TSetupData {
  public:
    // A new description: one disk "Setup Disk", dirs "Install", "Windows", "Windows System".
    TSetupData();
    TSetupData(const TSetupData&) = delete;
    TSetupData& operator=(const TSetupData&) = delete;

    std::string AppName = "New Application.";
    TSetupFileList BDEFiles{this}, BDELDFiles{this}, BDEWSFiles{this};
    std::vector<std::unique_ptr<TSetupChoiceData>> ChoiceData;
    std::vector<std::unique_ptr<TSetupChoiceItem>> ChoiceItems;
    std::vector<std::unique_ptr<TSetupDir>> Dirs;
    std::vector<std::unique_ptr<TSetupDisk>> Disks;
    std::vector<std::unique_ptr<TSetupFileGroup>> FileGroups;
    std::vector<std::unique_ptr<TSetupFile>> Files;
    TSetupDir* LogFileDir = nullptr;
    std::string LogFileName = "INSTALL.LOG";
    std::vector<std::string> UnInstallFiles;
    std::vector<std::unique_ptr<TSetupWinItem>> WinItems;
    std::vector<std::unique_ptr<TSetupWinGroups>> WinGroups;

    // Name after the last "/", Source up to and including it.
    TSetupFile* AddFile(const std::string& Path);
    // Ignores case; the first match.
    TSetupFile* FindFile(const std::string& Name) const;
    // Also drops every reference to the files.
    void ClearFiles();
    TSetupDisk* AddDisk(const std::string& Description);
    TSetupDisk* GetDisk(int N) const;
    TSetupDir* AddDir(const std::string& Name, const std::string& Dir, TSetupDir* Parent);
    TSetupDir* FindDir(const std::string& Name) const;
    TSetupFileGroup* AddFileGroup(const std::string& Name);
    TSetupFileGroup* FindFileGroup(const std::string& Name) const;
    TSetupChoiceItem* AddChoiceItem(const std::string& Name);
    TSetupChoiceItem* FindChoiceItem(const std::string& Name) const;
    TSetupChoiceData* AddChoiceData(const std::string& Name);
    TSetupChoiceData* FindChoiceData(const std::string& Name) const;
    TSetupWinItem* AddWinItem(const std::string& Name);
    TSetupWinItem* FindWinItem(const std::string& Name) const;
    TSetupWinGroups* AddWinGroup(const std::string& Name);
    TSetupWinGroups* FindWinGroup(const std::string& Name) const;
    bool RemoveChoiceData(TSetupChoiceData* Data);
    bool RemoveWinGroup(TSetupWinGroups* Group);
    void DirNames(TNameList& Names) const;
    void NameList(TNameList& Names) const;

    // Deep copy; references are re-resolved to this description's objects. A reference that
    // does not resolve is reported through ReportError and the copy goes on.
    void Assign(const TSetupData& Other,
                const std::function<void(const std::string&)>& ReportError = {});

    int IndexOfFile(const TSetupFile* File) const;
    int IndexOfDir(const TSetupDir* Dir) const;
    int IndexOfFileGroup(const TSetupFileGroup* Group) const;
    int IndexOfChoiceItem(const TSetupChoiceItem* Item) const;
    int IndexOfWinItem(const TSetupWinItem* Item) const;

    // Empties the lists the reader fills.
    void ClearForRead();
};

// The dir's path: the parent's full path followed by its own Dir.
std::string DirFullPath(const TSetupDir* Dir);

// The first name of the description that could lead outside its directories: a file name,
// the log file name, an uninstall file, or a group or item name that is empty, "." or "..",
// or holds "/" or NUL, and a relative Dir that climbs out of its parent. The message names
// the entry; "" when every name is plain.
std::string SetupNamesProblem(const TSetupData& Data);

} // namespace veltrane
