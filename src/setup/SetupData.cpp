#include "setup/SetupData.h"

#include "setup/SetupPaths.h"

#include <algorithm>

namespace veltrane {
namespace {

template <class T> int IndexIn(const std::vector<std::unique_ptr<T>>& List, const T* Item) {
    for (std::size_t I = 0; I < List.size(); ++I)
        if (List[I].get() == Item)
            return static_cast<int>(I);
    return -1;
}

template <class T> bool AddUnique(std::vector<T*>& List, T* Item) {
    if (!Item || std::find(List.begin(), List.end(), Item) != List.end())
        return false;
    List.push_back(Item);
    return true;
}

// Exact, case-sensitive; the last match wins.
template <class T, class NameOf>
T* FindByName(const std::vector<std::unique_ptr<T>>& List, const std::string& Name, NameOf Get) {
    T* Found = nullptr;
    for (const auto& Item : List)
        if (Get(*Item) == Name)
            Found = Item.get();
    return Found;
}

template <class T> bool NameTaken(const std::vector<std::unique_ptr<T>>& List, const T* Self,
                                  const std::string& Name) {
    for (const auto& Item : List)
        if (Item.get() != Self && Item->Name() == Name)
            return true;
    return false;
}

} // namespace

void TSetupFile::SetSource(const std::string& Value) { Source_ = AddBackslash(Value); }

bool TSetupFileList::Add(TSetupFile* File) { return AddUnique(Files, File); }

bool TSetupFileList::Remove(TSetupFile* File) {
    auto It = std::find(Files.begin(), Files.end(), File);
    if (It == Files.end())
        return false;
    Files.erase(It);
    return true;
}

bool TSetupFileList::Contains(const TSetupFile* File) const {
    return std::find(Files.begin(), Files.end(), File) != Files.end();
}

void TSetupFileList::ListNames(TNameList& Names) const {
    for (TSetupFile* File : Files)
        Names.emplace_back(File->Name, File);
}

void TSetupDir::SetDir(const std::string& Value) { Dir_ = AddBackslash(Value); }

void TSetupDir::SetName(const std::string& Value) {
    if (!Owner || !NameTaken(Owner->Dirs, this, Value))
        Name_ = Value;
}

bool TSetupDisk::Add(TSetupFile* File) {
    if (!File || Contains(File))
        return false;
    if (Size != 0 && Used + File->CompressedSize > Size)
        return false;
    Files.push_back(File);
    Used += File->CompressedSize;
    return true;
}

bool TSetupDisk::Remove(TSetupFile* File) {
    if (!TSetupFileList::Remove(File))
        return false;
    Used -= File->CompressedSize;
    return true;
}

void TSetupFileGroup::SetName(const std::string& Value) {
    if (!Owner || !NameTaken(Owner->FileGroups, this, Value))
        Name_ = Value;
}

int TSetupFileGroup::IndexOfDir(const TSetupDir* Dir) const {
    for (std::size_t I = 0; I < Dirs.size(); ++I)
        if (Dirs[I] == Dir)
            return static_cast<int>(I);
    return -1;
}

TSetupFileList* TSetupFileGroup::AddDir(TSetupDir* Dir) {
    if (!Dir)
        return nullptr;
    if (int I = IndexOfDir(Dir); I >= 0)
        return FileLists[static_cast<std::size_t>(I)].get();
    Dirs.push_back(Dir);
    FileLists.push_back(std::make_unique<TSetupFileList>(Owner));
    return FileLists.back().get();
}

bool TSetupFileGroup::AddFile(TSetupFile* File, TSetupDir* Dir, bool CreateIfMissing) {
    if (!File)
        return false;
    if (!Dir && Owner)
        for (const auto& D : Owner->Dirs)
            if (D->Contains(File))
                Dir = D.get();
    if (!Dir)
        return false;
    int I = IndexOfDir(Dir);
    if (I < 0) {
        if (!CreateIfMissing)
            return false;
        return AddDir(Dir)->Add(File);
    }
    return FileLists[static_cast<std::size_t>(I)]->Add(File);
}

bool TSetupFileGroup::Contains(const TSetupFile* File, const TSetupDir* Dir) const {
    int I = IndexOfDir(Dir);
    return I >= 0 && FileLists[static_cast<std::size_t>(I)]->Contains(File);
}

void TSetupFileGroup::ListNames(const TSetupDir* Dir, TNameList& Names) const {
    if (int I = IndexOfDir(Dir); I >= 0)
        FileLists[static_cast<std::size_t>(I)]->ListNames(Names);
}

bool TSetupFileGroup::RemoveFile(TSetupFile* File, TSetupDir* Dir, bool DropEmptyDirs) {
    int I = IndexOfDir(Dir);
    if (I < 0)
        return false;
    const auto Index = static_cast<std::size_t>(I);
    if (!FileLists[Index]->Remove(File))
        return false;
    if (DropEmptyDirs && FileLists[Index]->Files.empty()) {
        Dirs.erase(Dirs.begin() + I);
        FileLists.erase(FileLists.begin() + I);
    }
    return true;
}

void TSetupFileGroup::Clear() {
    Dirs.clear();
    FileLists.clear();
}

bool TSetupFileGroupList::AddGroup(TSetupFileGroup* Group) { return AddUnique(Groups, Group); }

TSetupChoiceItem::TSetupChoiceItem(TSetupData* Owner)
    : Add(std::make_unique<TSetupFileGroupList>(Owner)), Owner(Owner),
      Remove(std::make_unique<TSetupFileGroupList>(Owner)) {}

void TSetupChoiceItem::SetName(const std::string& Value) {
    if (!Owner || !NameTaken(Owner->ChoiceItems, this, Value))
        Name_ = Value;
}

bool TSetupChoiceData::AddItem(TSetupChoiceItem* Item) { return AddUnique(Items, Item); }

void TSetupWinItem::SetName(const std::string& Value) {
    if (!Owner || !NameTaken(Owner->WinItems, this, Value))
        Name_ = Value;
}

bool TSetupWinGroups::AddItem(TSetupWinItem* Item) { return AddUnique(Items, Item); }

TSetupData::TSetupData() {
    AddDisk("Setup Disk");
    AddDir("Install", "~/.local/opt/NewApps/", nullptr);
    TSetupDir* Windows = AddDir("Windows", "~/.config/", nullptr);
    AddDir("Windows System", "lib/", Windows);
}

TSetupFile* TSetupData::AddFile(const std::string& Path) {
    auto File = std::make_unique<TSetupFile>(this);
    const auto Slash = Path.rfind('/');
    if (Slash == std::string::npos) {
        File->Name = Path;
    } else {
        File->Name = Path.substr(Slash + 1);
        File->SetSource(Path.substr(0, Slash + 1));
    }
    Files.push_back(std::move(File));
    return Files.back().get();
}

TSetupFile* TSetupData::FindFile(const std::string& Name) const {
    for (const auto& File : Files)
        if (SameTextIgnoringCase(File->Name, Name))
            return File.get();
    return nullptr;
}

void TSetupData::ClearFiles() {
    for (const auto& Dir : Dirs)
        Dir->Files.clear();
    for (const auto& Disk : Disks) {
        Disk->Files.clear();
        Disk->Used = 0;
    }
    auto ClearGroup = [](TSetupFileGroup& G) {
        for (auto& L : G.FileLists)
            L->Files.clear();
    };
    for (const auto& G : FileGroups)
        ClearGroup(*G);
    for (const auto& Item : ChoiceItems) {
        ClearGroup(*Item->Add);
        ClearGroup(*Item->Remove);
    }
    for (const auto& Item : WinItems)
        Item->ItemFile = nullptr;
    BDEFiles.Files.clear();
    BDELDFiles.Files.clear();
    BDEWSFiles.Files.clear();
    Files.clear();
}

TSetupDisk* TSetupData::AddDisk(const std::string& Description) {
    auto Disk = std::make_unique<TSetupDisk>(this);
    Disk->Description = Description;
    Disks.push_back(std::move(Disk));
    Disks.back()->Number = static_cast<std::uint16_t>(Disks.size());
    return Disks.back().get();
}

TSetupDisk* TSetupData::GetDisk(int N) const {
    if (N < 1 || static_cast<std::size_t>(N) > Disks.size())
        return nullptr;
    return Disks[static_cast<std::size_t>(N - 1)].get();
}

TSetupDir* TSetupData::AddDir(const std::string& Name, const std::string& Dir, TSetupDir* Parent) {
    if (TSetupDir* Found = FindDir(Name))
        return Found;
    auto New = std::make_unique<TSetupDir>(this);
    New->Parent = Parent;
    New->SetDir(Dir);
    New->Name_ = Name;
    Dirs.push_back(std::move(New));
    return Dirs.back().get();
}

TSetupDir* TSetupData::FindDir(const std::string& Name) const {
    return FindByName(Dirs, Name, [](const TSetupDir& D) -> const std::string& { return D.Name(); });
}

#define VELTRANE_FIND_OR_ADD(Type, List, Add, Find, NameField)                                    \
    Type* TSetupData::Find(const std::string& Name) const {                                        \
        return FindByName(List, Name, [](const Type& X) -> const std::string& { return X.NameField; }); \
    }                                                                                              \
    Type* TSetupData::Add(const std::string& Name) {                                               \
        if (Type* Found = Find(Name))                                                              \
            return Found;                                                                          \
        auto New = std::make_unique<Type>(this);                                                   \
        New->NameField = Name;                                                                     \
        List.push_back(std::move(New));                                                            \
        return List.back().get();                                                                  \
    }

VELTRANE_FIND_OR_ADD(TSetupFileGroup, FileGroups, AddFileGroup, FindFileGroup, Name_)
VELTRANE_FIND_OR_ADD(TSetupChoiceItem, ChoiceItems, AddChoiceItem, FindChoiceItem, Name_)
VELTRANE_FIND_OR_ADD(TSetupChoiceData, ChoiceData, AddChoiceData, FindChoiceData, Name)
VELTRANE_FIND_OR_ADD(TSetupWinItem, WinItems, AddWinItem, FindWinItem, Name_)
VELTRANE_FIND_OR_ADD(TSetupWinGroups, WinGroups, AddWinGroup, FindWinGroup, Name)
#undef VELTRANE_FIND_OR_ADD

bool TSetupData::RemoveChoiceData(TSetupChoiceData* Data) {
    int I = IndexIn(ChoiceData, Data);
    if (I < 0)
        return false;
    ChoiceData.erase(ChoiceData.begin() + I);
    return true;
}

bool TSetupData::RemoveWinGroup(TSetupWinGroups* Group) {
    int I = IndexIn(WinGroups, Group);
    if (I < 0)
        return false;
    WinGroups.erase(WinGroups.begin() + I);
    return true;
}

void TSetupData::DirNames(TNameList& Names) const {
    for (const auto& Dir : Dirs)
        Names.emplace_back(Dir->Name(), Dir.get());
}

void TSetupData::NameList(TNameList& Names) const {
    DirNames(Names);
    for (const auto& Item : WinItems)
        Names.emplace_back(Item->Name(), Item.get());
    for (const auto& Item : ChoiceItems)
        Names.emplace_back(Item->Name(), Item.get());
}

int TSetupData::IndexOfFile(const TSetupFile* File) const { return IndexIn(Files, File); }
int TSetupData::IndexOfDir(const TSetupDir* Dir) const { return IndexIn(Dirs, Dir); }
int TSetupData::IndexOfFileGroup(const TSetupFileGroup* Group) const {
    return IndexIn(FileGroups, Group);
}
int TSetupData::IndexOfChoiceItem(const TSetupChoiceItem* Item) const {
    return IndexIn(ChoiceItems, Item);
}
int TSetupData::IndexOfWinItem(const TSetupWinItem* Item) const { return IndexIn(WinItems, Item); }

void TSetupData::ClearForRead() {
    Disks.clear();
    WinGroups.clear();
    ChoiceData.clear();
    WinItems.clear();
    ChoiceItems.clear();
    FileGroups.clear();
    Dirs.clear();
    LogFileDir = nullptr;
    BDEFiles.Files.clear();
    BDELDFiles.Files.clear();
    BDEWSFiles.Files.clear();
    Files.clear();
}

void TSetupData::Assign(const TSetupData& Other,
                        const std::function<void(const std::string&)>& ReportError) {
    if (&Other == this)
        return;
    auto Report = [&](const std::string& Kind, const std::string& Message) {
        if (ReportError)
            ReportError("TSetup data structure error: " + Kind + ": " + Message);
    };
    ClearForRead();
    UnInstallFiles = Other.UnInstallFiles;
    AppName = Other.AppName;
    LogFileName = Other.LogFileName;
    // Same index in the same kind of list.
    auto FileAt = [&](const TSetupFile* F) -> TSetupFile* {
        int I = Other.IndexOfFile(F);
        if (I < 0)
            throw ESetupError("file " + (F ? F->Name : std::string("(nil)")) + " not found");
        return Files[static_cast<std::size_t>(I)].get();
    };
    auto DirAt = [&](const TSetupDir* D) -> TSetupDir* {
        int I = Other.IndexOfDir(D);
        if (I < 0 || static_cast<std::size_t>(I) >= Dirs.size())
            throw ESetupError("dir " + (D ? D->Name() : std::string("(nil)")) + " not found");
        return Dirs[static_cast<std::size_t>(I)].get();
    };
    for (const auto& F : Other.Files) {
        auto Copy = std::make_unique<TSetupFile>(this);
        Copy->Compressed = F->Compressed;
        Copy->CompressedSize = F->CompressedSize;
        Copy->DateTime = F->DateTime;
        Copy->Name = F->Name;
        Copy->Size = F->Size;
        Copy->SetSource(F->Source());
        Files.push_back(std::move(Copy));
    }
    for (const auto& D : Other.Disks) {
        TSetupDisk* Disk = AddDisk(D->Description);
        Disk->Size = D->Size;
        for (TSetupFile* F : D->Files)
            Disk->Add(FileAt(F));
    }
    for (const auto& D : Other.Dirs) {
        auto Dir = std::make_unique<TSetupDir>(this);
        Dir->Name_ = D->Name();
        Dir->SetDir(D->Dir());
        Dirs.push_back(std::move(Dir));
        TSetupDir* Copy = Dirs.back().get();
        try {
            if (D->Parent)
                Copy->Parent = DirAt(D->Parent);
            for (TSetupFile* F : D->Files)
                Copy->Add(FileAt(F));
        } catch (const ESetupError& E) {
            Report("TSetupDir", E.what());
        }
    }
    auto CopyGroup = [&](const TSetupFileGroup& From, TSetupFileGroup& To) {
        To.Name_ = From.Name();
        for (std::size_t I = 0; I < From.Dirs.size(); ++I) {
            TSetupFileList* List = To.AddDir(DirAt(From.Dirs[I]));
            for (TSetupFile* F : From.FileLists[I]->Files)
                List->Add(FileAt(F));
        }
    };
    for (const auto& G : Other.FileGroups) {
        FileGroups.push_back(std::make_unique<TSetupFileGroup>(this));
        try {
            CopyGroup(*G, *FileGroups.back());
        } catch (const ESetupError& E) {
            Report("TSetupFileGroup", E.what());
        }
    }
    auto CopyGroupList = [&](const TSetupFileGroupList& From, TSetupFileGroupList& To) {
        CopyGroup(From, To);
        for (TSetupFileGroup* G : From.Groups)
            if (int I = Other.IndexOfFileGroup(G); I >= 0)
                To.AddGroup(FileGroups[static_cast<std::size_t>(I)].get());
    };
    for (const auto& Item : Other.ChoiceItems) {
        ChoiceItems.push_back(std::make_unique<TSetupChoiceItem>(this));
        TSetupChoiceItem& Copy = *ChoiceItems.back();
        Copy.Name_ = Item->Name();
        Copy.Title = Item->Title;
        Copy.Description = Item->Description;
        try {
            CopyGroupList(*Item->Add, *Copy.Add);
            CopyGroupList(*Item->Remove, *Copy.Remove);
        } catch (const ESetupError& E) {
            Report("TSetupFileGroup", E.what());
        }
    }
    for (const auto& C : Other.ChoiceData) {
        ChoiceData.push_back(std::make_unique<TSetupChoiceData>(this));
        TSetupChoiceData& Copy = *ChoiceData.back();
        Copy.Name = C->Name;
        if (int I = Other.IndexOfChoiceItem(C->Common); I >= 0)
            Copy.Common = ChoiceItems[static_cast<std::size_t>(I)].get();
        for (TSetupChoiceItem* Item : C->Items)
            if (int I = Other.IndexOfChoiceItem(Item); I >= 0)
                Copy.AddItem(ChoiceItems[static_cast<std::size_t>(I)].get());
    }
    for (const auto& W : Other.WinItems) {
        WinItems.push_back(std::make_unique<TSetupWinItem>(this));
        TSetupWinItem& Copy = *WinItems.back();
        Copy.Name_ = W->Name();
        Copy.CommandLine = W->CommandLine;
        if (int I = Other.IndexOfDir(W->Dir); I >= 0)
            Copy.Dir = Dirs[static_cast<std::size_t>(I)].get();
        if (int I = Other.IndexOfFile(W->ItemFile); I >= 0)
            Copy.ItemFile = Files[static_cast<std::size_t>(I)].get();
    }
    for (const auto& G : Other.WinGroups) {
        WinGroups.push_back(std::make_unique<TSetupWinGroups>(this));
        TSetupWinGroups& Copy = *WinGroups.back();
        Copy.Name = G->Name;
        Copy.Title = G->Title;
        for (TSetupWinItem* Item : G->Items) {
            int I = Other.IndexOfWinItem(Item);
            if (I < 0) {
                Report("TSetupWinGroup", "item " + (Item ? Item->Name() : "(nil)") + " not found");
                continue;
            }
            Copy.AddItem(WinItems[static_cast<std::size_t>(I)].get());
        }
    }
    auto CopyList = [&](const TSetupFileList& From, TSetupFileList& To) {
        for (TSetupFile* F : From.Files)
            if (int I = Other.IndexOfFile(F); I >= 0)
                To.Add(Files[static_cast<std::size_t>(I)].get());
    };
    CopyList(Other.BDEFiles, BDEFiles);
    CopyList(Other.BDELDFiles, BDELDFiles);
    CopyList(Other.BDEWSFiles, BDEWSFiles);
    if (int I = Other.IndexOfDir(Other.LogFileDir); I >= 0)
        LogFileDir = Dirs[static_cast<std::size_t>(I)].get();
}

std::string DirFullPath(const TSetupDir* Dir) {
    if (!Dir)
        return "";
    // A parent chain that loops (a hand-edited description) stops after one round.
    std::vector<const TSetupDir*> Chain;
    for (const TSetupDir* D = Dir; D; D = D->Parent) {
        if (std::find(Chain.begin(), Chain.end(), D) != Chain.end())
            break;
        Chain.push_back(D);
    }
    std::string Path;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        Path += (*It)->Dir();
    return Path;
}

namespace {

std::string NameProblem(const std::string& Name) {
    if (Name.empty())
        return "is empty";
    if (Name == "." || Name == "..")
        return "is \"" + Name + "\"";
    if (Name.find('/') != std::string::npos)
        return "holds \"/\"";
    if (Name.find('\0') != std::string::npos)
        return "holds a NUL byte";
    return "";
}

} // namespace

std::string SetupNamesProblem(const TSetupData& Data) {
    auto Check = [](const std::string& What, const std::string& Name) {
        const std::string P = NameProblem(Name);
        return P.empty() ? P : What + " \"" + Name + "\" " + P + "; names must be plain file names.";
    };
    for (std::size_t I = 0; I < Data.Files.size(); ++I)
        if (auto P = Check("File " + std::to_string(I) + ":", Data.Files[I]->Name); !P.empty())
            return P;
    if (auto P = Check("The log file name", Data.LogFileName); !P.empty())
        return P;
    for (const std::string& F : Data.UnInstallFiles)
        if (auto P = Check("The uninstall file", F); !P.empty())
            return P;
    for (const auto& G : Data.WinGroups)
        if (auto P = Check("The group", G->Title); !P.empty())
            return P;
    for (const auto& W : Data.WinItems)
        if (auto P = Check("The item", W->Name()); !P.empty())
            return P;
    for (const auto& Dir : Data.Dirs) {
        if (!Dir->Parent)
            continue;
        if (Dir->Dir().find('\0') != std::string::npos)
            return "The dir \"" + Dir->Name() + "\" holds a NUL byte.";
        if (!Dir->Dir().empty() && Dir->Dir()[0] == '/')
            continue;
        int Depth = 0;
        std::size_t Pos = 0;
        const std::string& T = Dir->Dir();
        while (Pos <= T.size()) {
            auto End = T.find('/', Pos);
            if (End == std::string::npos)
                End = T.size();
            const std::string Part = T.substr(Pos, End - Pos);
            if (Part == "..")
                --Depth;
            else if (!Part.empty() && Part != ".")
                ++Depth;
            if (Depth < 0)
                return "The dir \"" + Dir->Name() + "\" (\"" + T + "\") climbs out of its parent.";
            Pos = End + 1;
        }
    }
    return "";
}

} // namespace veltrane
