#include "setup/SetupStream.h"

#include <cstdint>
#include <limits>

namespace veltrane {
namespace {

enum : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,
};

class TWriter {
  public:
    std::string Out;
    void ListBegin() { Out += static_cast<char>(vaList); }
    void ListEnd() { Out += static_cast<char>(vaNull); }
    void Bool(bool V) { Out += static_cast<char>(V ? vaTrue : vaFalse); }
    void Int(std::int64_t V) {
        if (V < std::numeric_limits<std::int32_t>::min() || V > std::numeric_limits<std::int32_t>::max())
            throw ESetupError("The value " + std::to_string(V) + " does not fit the description.");
        int Bytes = 4;
        std::uint8_t Tag = vaInt32;
        if (V >= -128 && V <= 127) {
            Bytes = 1;
            Tag = vaInt8;
        } else if (V >= -32768 && V <= 32767) {
            Bytes = 2;
            Tag = vaInt16;
        }
        Out += static_cast<char>(Tag);
        const auto U = static_cast<std::uint32_t>(static_cast<std::int32_t>(V));
        for (int I = 0; I < Bytes; ++I)
            Out += static_cast<char>(U >> (8 * I) & 0xFF);
    }
    void Str(const std::string& S) {
        if (S.size() <= 255) {
            Out += static_cast<char>(vaString);
            Out += static_cast<char>(S.size());
        } else {
            if (S.size() > std::numeric_limits<std::int32_t>::max())
                throw ESetupError("A text is too long for the description.");
            Out += static_cast<char>(vaLString);
            const auto N = static_cast<std::uint32_t>(S.size());
            for (int I = 0; I < 4; ++I)
                Out += static_cast<char>(N >> (8 * I) & 0xFF);
        }
        Out += S;
    }
};

class TReader {
  public:
    explicit TReader(std::string_view Bytes) : In(Bytes) {}
    std::string_view In;
    std::size_t Pos = 0;

    [[noreturn]] void Fail(const std::string& What) const { throw ESetupStreamError(Pos, What); }
    std::uint8_t Peek() const {
        if (Pos >= In.size())
            Fail("unexpected end of data");
        return static_cast<std::uint8_t>(In[Pos]);
    }
    std::uint8_t Next() {
        std::uint8_t B = Peek();
        ++Pos;
        return B;
    }
    std::uint32_t Raw(int Bytes) {
        if (In.size() - Pos < static_cast<std::size_t>(Bytes))
            Fail("unexpected end of data");
        std::uint32_t V = 0;
        for (int I = 0; I < Bytes; ++I)
            V |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(In[Pos + static_cast<std::size_t>(I)])) << (8 * I);
        Pos += static_cast<std::size_t>(Bytes);
        return V;
    }
    [[noreturn]] void Expected(const char* What, std::uint8_t Tag) {
        --Pos;
        Fail(std::string("expected ") + What + ", found value type " + std::to_string(Tag));
    }
    void ListBegin() {
        if (std::uint8_t T = Next(); T != vaList)
            Expected("list begin", T);
    }
    bool EndOfList() const { return Peek() == vaNull; }
    void ListEnd() {
        if (std::uint8_t T = Next(); T != vaNull)
            Expected("end of list", T);
    }
    std::int32_t Int() {
        switch (std::uint8_t T = Next()) {
        case vaInt8: return static_cast<std::int8_t>(Raw(1));
        case vaInt16: return static_cast<std::int16_t>(Raw(2));
        case vaInt32: return static_cast<std::int32_t>(Raw(4));
        default: Expected("integer", T);
        }
    }
    std::string Str() {
        std::uint32_t N = 0;
        switch (std::uint8_t T = Next()) {
        case vaString: N = Raw(1); break;
        case vaLString: N = Raw(4); break;
        default: Expected("string", T);
        }
        if (In.size() - Pos < N)
            Fail("a text runs past the end of data");
        std::string S(In.substr(Pos, N));
        Pos += N;
        return S;
    }
    bool Bool() {
        switch (std::uint8_t T = Next()) {
        case vaFalse: return false;
        case vaTrue: return true;
        default: Expected("Boolean", T);
        }
    }
    std::int64_t Size() {
        std::size_t At = Pos;
        std::int32_t V = Int();
        if (V < 0)
            throw ESetupStreamError(At, "a size is negative");
        return V;
    }
};

template <class T> T* At(const std::vector<std::unique_ptr<T>>& List, std::int64_t I) {
    if (I < 0 || static_cast<std::uint64_t>(I) >= List.size())
        return nullptr;
    return List[static_cast<std::size_t>(I)].get();
}

void WriteIndexList(TWriter& W, const TSetupData& D, const std::vector<TSetupFile*>& Files) {
    W.ListBegin();
    for (TSetupFile* F : Files)
        if (int I = D.IndexOfFile(F); I >= 0)
            W.Int(I);
    W.ListEnd();
}

void WriteGroup(TWriter& W, const TSetupData& D, const TSetupFileGroup& G) {
    W.Str(G.Name());
    W.ListBegin();
    std::vector<std::size_t> Kept;
    W.ListBegin();
    for (std::size_t I = 0; I < G.Dirs.size(); ++I)
        if (int Index = D.IndexOfDir(G.Dirs[I]); Index >= 0) {
            W.Int(Index);
            Kept.push_back(I);
        }
    W.ListEnd();
    for (std::size_t I : Kept)
        WriteIndexList(W, D, G.FileLists[I]->Files);
    W.ListEnd();
}

void WriteGroupList(TWriter& W, const TSetupData& D, const TSetupFileGroupList& G) {
    WriteGroup(W, D, G);
    W.ListBegin();
    for (TSetupFileGroup* Group : G.Groups)
        if (int I = D.IndexOfFileGroup(Group); I >= 0)
            W.Int(I);
    W.ListEnd();
}

void ReadFileIndices(TReader& R, const TSetupData& D, TSetupFileList& List) {
    R.ListBegin();
    while (!R.EndOfList())
        if (TSetupFile* F = At(D.Files, R.Int()))
            List.Add(F);
    R.ListEnd();
}

void ReadGroup(TReader& R, TSetupData& D, TSetupFileGroup& G) {
    G.Name_ = R.Str();
    R.ListBegin();
    std::vector<TSetupDir*> Dirs;
    R.ListBegin();
    while (!R.EndOfList()) {
        TSetupDir* Dir = At(D.Dirs, R.Int());
        Dirs.push_back(Dir);
        G.AddDir(Dir);
    }
    R.ListEnd();
    // One file list per listed dir; lists of unresolved dirs are read and dropped.
    for (std::size_t I = 0; !R.EndOfList(); ++I) {
        TSetupFileList Scratch(&D);
        ReadFileIndices(R, D, Scratch);
        if (I < Dirs.size() && Dirs[I])
            for (TSetupFile* F : Scratch.Files)
                G.AddFile(F, Dirs[I], true);
    }
    R.ListEnd();
}

void ReadGroupList(TReader& R, TSetupData& D, TSetupFileGroupList& G) {
    ReadGroup(R, D, G);
    R.ListBegin();
    while (!R.EndOfList())
        G.AddGroup(At(D.FileGroups, R.Int()));
    R.ListEnd();
}

void ReadVersion5(TReader& R, TSetupData& D) {
    R.ListBegin();
    while (!R.EndOfList()) {
        auto F = std::make_unique<TSetupFile>(&D);
        F->Name = R.Str();
        F->SetSource(R.Str());
        F->DateTime = FileDateToDateTime(R.Int());
        F->Size = R.Size();
        F->Compressed = R.Bool();
        F->CompressedSize = R.Size();
        if (F->CompressedSize == 0)
            F->CompressedSize = F->Size;
        D.Files.push_back(std::move(F));
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        TSetupDisk* Disk = D.AddDisk(R.Str());
        Disk->Size = R.Size();
        ReadFileIndices(R, D, *Disk);
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        auto Dir = std::make_unique<TSetupDir>(&D);
        Dir->Name_ = R.Str();
        Dir->SetDir(R.Str());
        const std::string Parent = R.Str();
        Dir->Parent = Parent.empty() ? nullptr : D.FindDir(Parent); // only earlier dirs
        D.Dirs.push_back(std::move(Dir));
        ReadFileIndices(R, D, *D.Dirs.back());
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        D.FileGroups.push_back(std::make_unique<TSetupFileGroup>(&D));
        ReadGroup(R, D, *D.FileGroups.back());
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        D.ChoiceItems.push_back(std::make_unique<TSetupChoiceItem>(&D));
        TSetupChoiceItem& Item = *D.ChoiceItems.back();
        Item.Name_ = R.Str();
        Item.Title = R.Str();
        R.ListBegin();
        while (!R.EndOfList())
            Item.Description.push_back(R.Str());
        R.ListEnd();
        ReadGroupList(R, D, *Item.Add);
        ReadGroupList(R, D, *Item.Remove);
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        D.ChoiceData.push_back(std::make_unique<TSetupChoiceData>(&D));
        TSetupChoiceData& C = *D.ChoiceData.back();
        C.Name = R.Str();
        C.Common = At(D.ChoiceItems, R.Int());
        R.ListBegin();
        while (!R.EndOfList())
            C.AddItem(At(D.ChoiceItems, R.Int()));
        R.ListEnd();
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        D.WinItems.push_back(std::make_unique<TSetupWinItem>(&D));
        TSetupWinItem& W = *D.WinItems.back();
        W.Name_ = R.Str();
        W.CommandLine = R.Str();
        W.Dir = At(D.Dirs, R.Int());
        W.ItemFile = At(D.Files, R.Int());
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        D.WinGroups.push_back(std::make_unique<TSetupWinGroups>(&D));
        TSetupWinGroups& G = *D.WinGroups.back();
        G.Name = R.Str();
        G.Title = R.Str();
        R.ListBegin();
        while (!R.EndOfList())
            G.AddItem(At(D.WinItems, R.Int()));
        R.ListEnd();
    }
    R.ListEnd();

    ReadFileIndices(R, D, D.BDEFiles);
    ReadFileIndices(R, D, D.BDELDFiles);
    ReadFileIndices(R, D, D.BDEWSFiles);

    R.ListBegin();
    const std::string LogDir = R.Str();
    D.LogFileDir = LogDir.empty() ? nullptr : D.FindDir(LogDir);
    D.LogFileName = R.Str();
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList())
        D.UnInstallFiles.push_back(R.Str());
    R.ListEnd();
}

void ReadFileNames(TReader& R, TSetupData& D, const std::function<void(TSetupFile*)>& Use) {
    R.ListBegin();
    while (!R.EndOfList())
        if (TSetupFile* F = D.FindFile(R.Str()))
            Use(F);
    R.ListEnd();
}

void ReadOlder(TReader& R, TSetupData& D, int Version) {
    R.ListBegin();
    while (!R.EndOfList()) {
        TSetupDisk* Disk = D.AddDisk(R.Str());
        if (Version > 2)
            Disk->Size = R.Size();
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        auto F = std::make_unique<TSetupFile>(&D);
        F->Name = R.Str();
        F->SetSource(R.Str());
        F->DateTime = FileDateToDateTime(R.Int());
        F->Size = R.Size();
        const std::int32_t DiskNumber = R.Int();
        R.Bool();
        if (Version == 4) {
            F->Compressed = R.Bool();
            F->CompressedSize = R.Size();
        }
        if (F->CompressedSize == 0)
            F->CompressedSize = F->Size;
        D.Files.push_back(std::move(F));
        if (TSetupDisk* Disk = D.GetDisk(DiskNumber))
            Disk->Add(D.Files.back().get());
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        auto Dir = std::make_unique<TSetupDir>(&D);
        Dir->Name_ = R.Str();
        Dir->SetDir(R.Str());
        if (Version > 1) {
            const std::string Parent = R.Str();
            Dir->Parent = Parent.empty() ? nullptr : D.FindDir(Parent);
        }
        D.Dirs.push_back(std::move(Dir));
        TSetupDir* Added = D.Dirs.back().get();
        ReadFileNames(R, D, [&](TSetupFile* F) { Added->Add(F); });
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        TSetupChoiceData* C = D.AddChoiceData(R.Str());
        R.ListBegin();
        while (!R.EndOfList()) {
            const std::string Option = R.Str();
            TSetupChoiceItem* Item = D.AddChoiceItem(C->Name + ":" + Option);
            Item->Description.push_back(Option);
            ReadFileNames(R, D, [&](TSetupFile* F) { Item->Add->AddFile(F, nullptr, true); });
            ReadFileNames(R, D, [&](TSetupFile* F) { Item->Remove->AddFile(F, nullptr, true); });
            if (Option == "Common Files")
                C->Common = Item;
            else
                C->AddItem(Item);
        }
        R.ListEnd();
    }
    R.ListEnd();

    R.ListBegin();
    while (!R.EndOfList()) {
        TSetupWinGroups* G = D.AddWinGroup(R.Str());
        G->Title = R.Str();
        R.ListBegin();
        while (!R.EndOfList()) {
            const std::string ItemName = R.Str();
            TSetupWinItem* W = D.AddWinItem(G->Title + ":" + ItemName);
            W->CommandLine = R.Str();
            W->Dir = D.FindDir(R.Str());
            W->ItemFile = D.FindFile(R.Str());
            G->AddItem(W); // the group lists its items, as in version 5
        }
        R.ListEnd();
    }
    R.ListEnd();
}

} // namespace

ESetupStreamError::ESetupStreamError(std::size_t Offset, const std::string& Message)
    : std::runtime_error("offset " + std::to_string(Offset) + ": " + Message), Offset(Offset) {}

std::string WriteSetupData(const TSetupData& D) {
    TWriter W;
    W.ListBegin();
    W.Int(5);
    W.Str(D.AppName);

    W.ListBegin();
    for (const auto& F : D.Files) {
        W.Str(F->Name);
        W.Str(F->Source());
        W.Int(DateTimeToFileDate(F->DateTime));
        W.Int(F->Size);
        W.Bool(F->Compressed);
        W.Int(F->CompressedSize);
    }
    W.ListEnd();

    W.ListBegin();
    for (const auto& Disk : D.Disks) {
        W.Str(Disk->Description);
        W.Int(Disk->Size);
        WriteIndexList(W, D, Disk->Files);
    }
    W.ListEnd();

    W.ListBegin();
    for (const auto& Dir : D.Dirs) {
        W.Str(Dir->Name());
        W.Str(Dir->Dir());
        W.Str(Dir->Parent ? Dir->Parent->Name() : "");
        WriteIndexList(W, D, Dir->Files);
    }
    W.ListEnd();

    W.ListBegin();
    for (const auto& G : D.FileGroups)
        WriteGroup(W, D, *G);
    W.ListEnd();

    W.ListBegin();
    for (const auto& Item : D.ChoiceItems) {
        W.Str(Item->Name());
        W.Str(Item->Title);
        W.ListBegin();
        for (const std::string& Line : Item->Description)
            W.Str(Line);
        W.ListEnd();
        WriteGroupList(W, D, *Item->Add);
        WriteGroupList(W, D, *Item->Remove);
    }
    W.ListEnd();

    W.ListBegin();
    for (const auto& C : D.ChoiceData) {
        W.Str(C->Name);
        W.Int(D.IndexOfChoiceItem(C->Common));
        W.ListBegin();
        for (TSetupChoiceItem* Item : C->Items)
            if (int I = D.IndexOfChoiceItem(Item); I >= 0)
                W.Int(I);
        W.ListEnd();
    }
    W.ListEnd();

    W.ListBegin();
    for (const auto& Item : D.WinItems) {
        W.Str(Item->Name());
        W.Str(Item->CommandLine);
        W.Int(D.IndexOfDir(Item->Dir));
        W.Int(D.IndexOfFile(Item->ItemFile));
    }
    W.ListEnd();

    W.ListBegin();
    for (const auto& G : D.WinGroups) {
        W.Str(G->Name);
        W.Str(G->Title);
        W.ListBegin();
        for (TSetupWinItem* Item : G->Items)
            if (int I = D.IndexOfWinItem(Item); I >= 0)
                W.Int(I);
        W.ListEnd();
    }
    W.ListEnd();

    WriteIndexList(W, D, D.BDEFiles.Files);
    WriteIndexList(W, D, D.BDELDFiles.Files);
    WriteIndexList(W, D, D.BDEWSFiles.Files);

    W.ListBegin();
    W.Str(D.LogFileDir ? D.LogFileDir->Name() : "");
    W.Str(D.LogFileName);
    W.ListEnd();

    W.ListBegin();
    for (const std::string& Name : D.UnInstallFiles)
        W.Str(Name);
    W.ListEnd();

    W.ListEnd();
    return std::move(W.Out);
}

std::unique_ptr<TSetupData> ReadSetupData(std::string_view Bytes, int* Version) {
    TReader R(Bytes);
    auto D = std::make_unique<TSetupData>();
    R.ListBegin();
    const std::size_t VersionAt = R.Pos;
    const std::int32_t V = R.Int();
    if (V < 1 || V > 5)
        throw ESetupStreamError(VersionAt, "unknown description version " + std::to_string(V));
    D->AppName = R.Str();
    D->ClearForRead();
    if (V >= 5)
        ReadVersion5(R, *D);
    else
        ReadOlder(R, *D, V);
    R.ListEnd();
    if (R.Pos != Bytes.size())
        R.Fail("unexpected data after the description");
    if (std::string P = SetupNamesProblem(*D); !P.empty())
        throw ESetupStreamError(Bytes.size(), P);
    if (Version)
        *Version = V;
    return D;
}

} // namespace veltrane
