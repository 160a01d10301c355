#include "setup/SetupJson.h"

#include <nlohmann/json.hpp>

namespace veltrane {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

ordered_json FileIndices(const TSetupData& D, const std::vector<TSetupFile*>& Files) {
    ordered_json A = ordered_json::array();
    for (TSetupFile* F : Files)
        if (int I = D.IndexOfFile(F); I >= 0)
            A.push_back(I);
    return A;
}

ordered_json GroupJson(const TSetupData& D, const TSetupFileGroup& G) {
    ordered_json J;
    J["Name"] = G.Name();
    ordered_json Dirs = ordered_json::array(), Files = ordered_json::array();
    for (std::size_t I = 0; I < G.Dirs.size(); ++I)
        if (int Index = D.IndexOfDir(G.Dirs[I]); Index >= 0) {
            Dirs.push_back(Index);
            Files.push_back(FileIndices(D, G.FileLists[I]->Files));
        }
    J["Dirs"] = Dirs;
    J["Files"] = Files;
    return J;
}

ordered_json GroupListJson(const TSetupData& D, const TSetupFileGroupList& G) {
    ordered_json J = GroupJson(D, G);
    ordered_json Groups = ordered_json::array();
    for (TSetupFileGroup* Group : G.Groups)
        if (int I = D.IndexOfFileGroup(Group); I >= 0)
            Groups.push_back(I);
    J["Groups"] = Groups;
    return J;
}

// Reading: every value is checked, and errors name the JSON path.
class TJsonReader {
  public:
    explicit TJsonReader(TSetupData& D) : D(D) {}
    TSetupData& D;

    [[noreturn]] static void Fail(const std::string& Path, const std::string& What) {
        throw ESetupJsonError(Path + ": " + What);
    }
    static const json* Member(const json& Object, const std::string& Path, const char* Key) {
        if (!Object.is_object())
            Fail(Path, "expected an object");
        auto It = Object.find(Key);
        return It == Object.end() ? nullptr : &*It;
    }
    static std::string Str(const json& Object, const std::string& Path, const char* Key,
                           const std::string& Default = "") {
        const json* V = Member(Object, Path, Key);
        if (!V)
            return Default;
        if (!V->is_string())
            Fail(Path + "." + Key, "expected a string");
        return V->get<std::string>();
    }
    static std::int64_t Int(const json& V, const std::string& Path) {
        if (!V.is_number_integer())
            Fail(Path, "expected an integer");
        return V.get<std::int64_t>();
    }
    static std::int64_t IntMember(const json& Object, const std::string& Path, const char* Key,
                                  std::int64_t Default) {
        const json* V = Member(Object, Path, Key);
        return V ? Int(*V, Path + "." + Key) : Default;
    }
    static const json& Array(const json& Object, const std::string& Path, const char* Key) {
        static const json Empty = json::array();
        const json* V = Member(Object, Path, Key);
        if (!V)
            return Empty;
        if (!V->is_array())
            Fail(Path + "." + Key, "expected an array");
        return *V;
    }
    template <class T>
    static T* Ref(const std::vector<std::unique_ptr<T>>& List, const json& V,
                  const std::string& Path, bool AllowNone) {
        const std::int64_t I = Int(V, Path);
        if (I == -1 && AllowNone)
            return nullptr;
        if (I < 0 || static_cast<std::uint64_t>(I) >= List.size())
            Fail(Path, "index " + std::to_string(I) + " is out of range");
        return List[static_cast<std::size_t>(I)].get();
    }
    void FileList(const json& Object, const std::string& Path, const char* Key,
                  TSetupFileList& List) {
        const json& A = Array(Object, Path, Key);
        for (std::size_t I = 0; I < A.size(); ++I) {
            const std::string At = Path + "." + Key + "[" + std::to_string(I) + "]";
            if (!List.Add(Ref(D.Files, A[I], At, false)))
                Fail(At, "the file is listed twice or does not fit the disk");
        }
    }
    void Group(const json& J, const std::string& Path, TSetupFileGroup& G) {
        G.Name_ = Str(J, Path, "Name");
        const json& Dirs = Array(J, Path, "Dirs");
        const json& Files = Array(J, Path, "Files");
        if (Files.size() != Dirs.size())
            Fail(Path + ".Files", "needs one list per dir");
        for (std::size_t I = 0; I < Dirs.size(); ++I) {
            const std::string At = Path + ".Dirs[" + std::to_string(I) + "]";
            TSetupDir* Dir = Ref(D.Dirs, Dirs[I], At, false);
            if (G.IndexOfDir(Dir) >= 0)
                Fail(At, "the dir is listed twice");
            TSetupFileList* List = G.AddDir(Dir);
            const std::string FilesAt = Path + ".Files[" + std::to_string(I) + "]";
            if (!Files[I].is_array())
                Fail(FilesAt, "expected an array");
            for (std::size_t K = 0; K < Files[I].size(); ++K)
                List->Add(Ref(D.Files, Files[I][K], FilesAt + "[" + std::to_string(K) + "]", false));
        }
    }
    void GroupList(const json& J, const std::string& Path, TSetupFileGroupList& G) {
        if (!J.is_object())
            Fail(Path, "expected an object");
        Group(J, Path, G);
        const json& Groups = Array(J, Path, "Groups");
        for (std::size_t I = 0; I < Groups.size(); ++I)
            G.AddGroup(Ref(D.FileGroups, Groups[I], Path + ".Groups[" + std::to_string(I) + "]", false));
    }
    std::int64_t Size(const json& J, const std::string& Path, const char* Key) {
        const std::int64_t V = IntMember(J, Path, Key, 0);
        if (V < 0 || V > 0x7FFFFFFF)
            Fail(Path + "." + Key, "must lie between 0 and 2147483647");
        return V;
    }

    void Read(const json& Root) {
        if (!Root.is_object())
            Fail("$", "expected an object");
        D.ClearForRead();
        D.UnInstallFiles.clear();
        D.AppName = Str(Root, "$", "AppName", D.AppName);
        const json& Files = Array(Root, "$", "Files");
        for (std::size_t I = 0; I < Files.size(); ++I) {
            const std::string Path = "$.Files[" + std::to_string(I) + "]";
            const json& J = Files[I];
            auto F = std::make_unique<TSetupFile>(&D);
            F->Name = Str(J, Path, "Name");
            F->SetSource(Str(J, Path, "Source"));
            const std::string Date = Str(J, Path, "DateTime", "1899-12-30T00:00:00");
            auto Parsed = DateTimeFromIso(Date);
            if (!Parsed)
                Fail(Path + ".DateTime", "expected a local time like 1998-02-06T16:20:02");
            // The stored form holds 1980 to 2099; earlier dates are stored as 0 on purpose,
            // later ones would come back as 1899-12-30.
            if (DecodeDateTime(*Parsed).Year > 2099)
                Fail(Path + ".DateTime", Date + " lies after 2099, the last year a description can hold");
            F->DateTime = *Parsed;
            F->Size = Size(J, Path, "Size");
            if (const json* C = Member(J, Path, "Compressed")) {
                if (!C->is_boolean())
                    Fail(Path + ".Compressed", "expected true or false");
                F->Compressed = C->get<bool>();
            }
            F->CompressedSize = Size(J, Path, "CompressedSize");
            if (F->CompressedSize == 0)
                F->CompressedSize = F->Size;
            D.Files.push_back(std::move(F));
        }
        const json& Disks = Array(Root, "$", "Disks");
        for (std::size_t I = 0; I < Disks.size(); ++I) {
            const std::string Path = "$.Disks[" + std::to_string(I) + "]";
            TSetupDisk* Disk = D.AddDisk(Str(Disks[I], Path, "Description"));
            Disk->Size = Size(Disks[I], Path, "Size");
            FileList(Disks[I], Path, "Files", *Disk);
        }
        const json& Dirs = Array(Root, "$", "Dirs");
        for (std::size_t I = 0; I < Dirs.size(); ++I) {
            const std::string Path = "$.Dirs[" + std::to_string(I) + "]";
            const std::string Name = Str(Dirs[I], Path, "Name");
            if (D.FindDir(Name))
                Fail(Path + ".Name", "another dir is named " + Name);
            auto Dir = std::make_unique<TSetupDir>(&D);
            Dir->Name_ = Name;
            Dir->SetDir(Str(Dirs[I], Path, "Dir"));
            if (const json* P = Member(Dirs[I], Path, "Parent"); P && !P->is_null()) {
                if (!P->is_string())
                    Fail(Path + ".Parent", "expected a dir name or null");
                Dir->Parent = D.FindDir(P->get<std::string>());
                if (!Dir->Parent)
                    Fail(Path + ".Parent", "no earlier dir is named " + P->get<std::string>());
            }
            D.Dirs.push_back(std::move(Dir));
            FileList(Dirs[I], Path, "Files", *D.Dirs.back());
        }
        const json& Groups = Array(Root, "$", "FileGroups");
        for (std::size_t I = 0; I < Groups.size(); ++I) {
            D.FileGroups.push_back(std::make_unique<TSetupFileGroup>(&D));
            Group(Groups[I], "$.FileGroups[" + std::to_string(I) + "]", *D.FileGroups.back());
        }
        const json& Items = Array(Root, "$", "ChoiceItems");
        for (std::size_t I = 0; I < Items.size(); ++I) {
            const std::string Path = "$.ChoiceItems[" + std::to_string(I) + "]";
            D.ChoiceItems.push_back(std::make_unique<TSetupChoiceItem>(&D));
            TSetupChoiceItem& Item = *D.ChoiceItems.back();
            Item.Name_ = Str(Items[I], Path, "Name");
            Item.Title = Str(Items[I], Path, "Title");
            const json& Lines = Array(Items[I], Path, "Description");
            for (std::size_t K = 0; K < Lines.size(); ++K) {
                if (!Lines[K].is_string())
                    Fail(Path + ".Description[" + std::to_string(K) + "]", "expected a string");
                Item.Description.push_back(Lines[K].get<std::string>());
            }
            static const json EmptyGroup = json::object();
            const json* Add = Member(Items[I], Path, "Add");
            const json* Remove = Member(Items[I], Path, "Remove");
            GroupList(Add ? *Add : EmptyGroup, Path + ".Add", *Item.Add);
            GroupList(Remove ? *Remove : EmptyGroup, Path + ".Remove", *Item.Remove);
        }
        const json& Choices = Array(Root, "$", "ChoiceData");
        for (std::size_t I = 0; I < Choices.size(); ++I) {
            const std::string Path = "$.ChoiceData[" + std::to_string(I) + "]";
            D.ChoiceData.push_back(std::make_unique<TSetupChoiceData>(&D));
            TSetupChoiceData& C = *D.ChoiceData.back();
            C.Name = Str(Choices[I], Path, "Name");
            if (const json* Common = Member(Choices[I], Path, "Common"))
                C.Common = Ref(D.ChoiceItems, *Common, Path + ".Common", true);
            const json& List = Array(Choices[I], Path, "Items");
            for (std::size_t K = 0; K < List.size(); ++K)
                C.AddItem(Ref(D.ChoiceItems, List[K], Path + ".Items[" + std::to_string(K) + "]", false));
        }
        const json& WinItems = Array(Root, "$", "WinItems");
        for (std::size_t I = 0; I < WinItems.size(); ++I) {
            const std::string Path = "$.WinItems[" + std::to_string(I) + "]";
            D.WinItems.push_back(std::make_unique<TSetupWinItem>(&D));
            TSetupWinItem& W = *D.WinItems.back();
            W.Name_ = Str(WinItems[I], Path, "Name");
            W.CommandLine = Str(WinItems[I], Path, "CommandLine");
            if (const json* Dir = Member(WinItems[I], Path, "Dir"))
                W.Dir = Ref(D.Dirs, *Dir, Path + ".Dir", true);
            if (const json* File = Member(WinItems[I], Path, "ItemFile"))
                W.ItemFile = Ref(D.Files, *File, Path + ".ItemFile", true);
        }
        const json& WinGroups = Array(Root, "$", "WinGroups");
        for (std::size_t I = 0; I < WinGroups.size(); ++I) {
            const std::string Path = "$.WinGroups[" + std::to_string(I) + "]";
            D.WinGroups.push_back(std::make_unique<TSetupWinGroups>(&D));
            TSetupWinGroups& G = *D.WinGroups.back();
            G.Name = Str(WinGroups[I], Path, "Name");
            G.Title = Str(WinGroups[I], Path, "Title", G.Title);
            const json& List = Array(WinGroups[I], Path, "Items");
            for (std::size_t K = 0; K < List.size(); ++K)
                G.AddItem(Ref(D.WinItems, List[K], Path + ".Items[" + std::to_string(K) + "]", false));
        }
        FileList(Root, "$", "BDEFiles", D.BDEFiles);
        FileList(Root, "$", "BDELDFiles", D.BDELDFiles);
        FileList(Root, "$", "BDEWSFiles", D.BDEWSFiles);
        if (const json* LogDir = Member(Root, "$", "LogFileDir"); LogDir && !LogDir->is_null()) {
            if (!LogDir->is_string())
                Fail("$.LogFileDir", "expected a dir name or null");
            D.LogFileDir = D.FindDir(LogDir->get<std::string>());
            if (!D.LogFileDir)
                Fail("$.LogFileDir", "no dir is named " + LogDir->get<std::string>());
        }
        D.LogFileName = Str(Root, "$", "LogFileName", D.LogFileName);
        const json& Uninstall = Array(Root, "$", "UnInstallFiles");
        for (std::size_t I = 0; I < Uninstall.size(); ++I) {
            if (!Uninstall[I].is_string())
                Fail("$.UnInstallFiles[" + std::to_string(I) + "]", "expected a string");
            D.UnInstallFiles.push_back(Uninstall[I].get<std::string>());
        }
    }
};

} // namespace

std::string SetupDataToJson(const TSetupData& D, int Version) {
    ordered_json J;
    J["Version"] = Version;
    J["AppName"] = D.AppName;
    ordered_json Files = ordered_json::array();
    for (const auto& F : D.Files) {
        ordered_json E;
        E["Name"] = F->Name;
        E["Source"] = F->Source();
        E["DateTime"] = DateTimeToIso(F->DateTime);
        E["Size"] = F->Size;
        E["Compressed"] = F->Compressed;
        E["CompressedSize"] = F->CompressedSize;
        Files.push_back(E);
    }
    J["Files"] = Files;
    ordered_json Disks = ordered_json::array();
    for (const auto& Disk : D.Disks)
        Disks.push_back({{"Description", Disk->Description},
                         {"Size", Disk->Size},
                         {"Files", FileIndices(D, Disk->Files)}});
    J["Disks"] = Disks;
    ordered_json Dirs = ordered_json::array();
    for (const auto& Dir : D.Dirs) {
        ordered_json E;
        E["Name"] = Dir->Name();
        E["Dir"] = Dir->Dir();
        E["Parent"] = Dir->Parent ? ordered_json(Dir->Parent->Name()) : ordered_json(nullptr);
        E["Files"] = FileIndices(D, Dir->Files);
        Dirs.push_back(E);
    }
    J["Dirs"] = Dirs;
    ordered_json Groups = ordered_json::array();
    for (const auto& G : D.FileGroups)
        Groups.push_back(GroupJson(D, *G));
    J["FileGroups"] = Groups;
    ordered_json Items = ordered_json::array();
    for (const auto& Item : D.ChoiceItems) {
        ordered_json E;
        E["Name"] = Item->Name();
        E["Title"] = Item->Title;
        E["Description"] = Item->Description;
        E["Add"] = GroupListJson(D, *Item->Add);
        E["Remove"] = GroupListJson(D, *Item->Remove);
        Items.push_back(E);
    }
    J["ChoiceItems"] = Items;
    ordered_json Choices = ordered_json::array();
    for (const auto& C : D.ChoiceData) {
        ordered_json E;
        E["Name"] = C->Name;
        E["Common"] = D.IndexOfChoiceItem(C->Common);
        ordered_json List = ordered_json::array();
        for (TSetupChoiceItem* Item : C->Items)
            if (int I = D.IndexOfChoiceItem(Item); I >= 0)
                List.push_back(I);
        E["Items"] = List;
        Choices.push_back(E);
    }
    J["ChoiceData"] = Choices;
    ordered_json WinItems = ordered_json::array();
    for (const auto& W : D.WinItems) {
        ordered_json E;
        E["Name"] = W->Name();
        E["CommandLine"] = W->CommandLine;
        E["Dir"] = D.IndexOfDir(W->Dir);
        E["ItemFile"] = D.IndexOfFile(W->ItemFile);
        WinItems.push_back(E);
    }
    J["WinItems"] = WinItems;
    ordered_json WinGroups = ordered_json::array();
    for (const auto& G : D.WinGroups) {
        ordered_json E;
        E["Name"] = G->Name;
        E["Title"] = G->Title;
        ordered_json List = ordered_json::array();
        for (TSetupWinItem* Item : G->Items)
            if (int I = D.IndexOfWinItem(Item); I >= 0)
                List.push_back(I);
        E["Items"] = List;
        WinGroups.push_back(E);
    }
    J["WinGroups"] = WinGroups;
    J["BDEFiles"] = FileIndices(D, D.BDEFiles.Files);
    J["BDELDFiles"] = FileIndices(D, D.BDELDFiles.Files);
    J["BDEWSFiles"] = FileIndices(D, D.BDEWSFiles.Files);
    J["LogFileDir"] = D.LogFileDir ? ordered_json(D.LogFileDir->Name()) : ordered_json(nullptr);
    J["LogFileName"] = D.LogFileName;
    J["UnInstallFiles"] = D.UnInstallFiles;
    // Texts that are not UTF-8 show with replacement marks rather than failing the listing.
    return J.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

std::unique_ptr<TSetupData> SetupDataFromJson(const std::string& Text) {
    json Root;
    try {
        Root = json::parse(Text);
    } catch (const json::parse_error& E) {
        throw ESetupJsonError(std::string("not valid JSON: ") + E.what());
    }
    auto D = std::make_unique<TSetupData>();
    TJsonReader(*D).Read(Root);
    if (std::string P = SetupNamesProblem(*D); !P.empty())
        throw ESetupJsonError(P);
    return D;
}

} // namespace veltrane
