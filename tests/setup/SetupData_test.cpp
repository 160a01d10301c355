// The setup description: its invariants, the stored form in every version, dates and paths.

#include "setup/SetupData.h"
#include "setup/SetupJson.h"
#include "setup/SetupPaths.h"
#include "setup/SetupStream.h"

#include <gtest/gtest.h>

#include <functional>

using namespace veltrane;

namespace {

// Builds the stored form value by value, the way an older writer laid it out.
struct TBytes {
    std::string S;
    TBytes& L() { S += '\x01'; return *this; }
    TBytes& E() { S += '\x00'; return *this; }
    TBytes& B(bool V) { S += V ? '\x09' : '\x08'; return *this; }
    TBytes& I(std::int32_t V) {
        S += '\x04';
        for (int K = 0; K < 4; ++K)
            S += static_cast<char>(static_cast<std::uint32_t>(V) >> (8 * K) & 0xFF);
        return *this;
    }
    TBytes& T(const std::string& V) {
        S += '\x06';
        S += static_cast<char>(V.size());
        S += V;
        return *this;
    }
};

// A description using every list and reference.
std::unique_ptr<TSetupData> FullDescription() {
    auto D = std::make_unique<TSetupData>();
    D->AppName = "Demo";
    TSetupFile* A = D->AddFile("/src/a.bin");
    A->Size = 70000;
    A->CompressedSize = 70000;
    A->DateTime = EncodeDateTime(2024, 5, 6, 7, 8, 10);
    TSetupFile* B = D->AddFile("/src/sub/b.txt");
    B->Size = 12;
    B->Compressed = true;
    B->CompressedSize = 9;
    B->DateTime = EncodeDateTime(1998, 2, 6, 16, 20, 2);
    D->GetDisk(1)->Add(A);
    TSetupDisk* Disk2 = D->AddDisk("Second");
    Disk2->Size = 1440000;
    Disk2->Add(B);
    TSetupDir* Install = D->FindDir("Install");
    Install->Add(A);
    Install->Add(B);
    TSetupDir* Docs = D->AddDir("Docs", "docs", Install);
    Docs->Add(B);
    TSetupFileGroup* G = D->AddFileGroup("Base");
    G->AddFile(A, Install, true);
    G->AddFile(B, Docs, true);
    TSetupChoiceItem* Item = D->AddChoiceItem("Opt");
    Item->Title = "Option";
    Item->Description = {"line one", "line two"};
    Item->Add->AddFile(B, Docs, true);
    Item->Add->AddGroup(G);
    Item->Remove->AddFile(A, Install, true);
    TSetupChoiceItem* Common = D->AddChoiceItem("Common");
    TSetupChoiceData* C = D->AddChoiceData("SetupChoice");
    C->Common = Common;
    C->AddItem(Item);
    TSetupWinItem* W = D->AddWinItem("Run");
    W->CommandLine = "-x";
    W->Dir = Install;
    W->ItemFile = A;
    TSetupWinItem* Loose = D->AddWinItem("Loose");
    TSetupWinGroups* WG = D->AddWinGroup("SetupGroups");
    WG->Title = "Demo";
    WG->AddItem(W);
    WG->AddItem(Loose);
    D->BDEFiles.Add(A);
    D->BDELDFiles.Add(B);
    D->BDEWSFiles.Add(A);
    D->LogFileDir = Docs;
    D->LogFileName = "LOG.INI";
    D->UnInstallFiles = {"b.txt"};
    return D;
}

} // namespace

TEST(SetupData, NewDescriptionHoldsTheDefaults) {
    TSetupData D;
    ASSERT_EQ(D.Disks.size(), 1u);
    EXPECT_EQ(D.Disks[0]->Description, "Setup Disk");
    EXPECT_EQ(D.Disks[0]->Number, 1);
    ASSERT_EQ(D.Dirs.size(), 3u);
    EXPECT_EQ(D.Dirs[2]->Parent, D.FindDir("Windows"));
    EXPECT_EQ(DirFullPath(D.FindDir("Windows System")), D.FindDir("Windows")->Dir() + "lib/");
    EXPECT_EQ(D.LogFileName, "INSTALL.LOG");
    EXPECT_EQ(D.LogFileDir, nullptr);
}

TEST(SetupData, InvariantsOfNamesDisksAndLookups) {
    TSetupData D;
    TSetupFile* F = D.AddFile("/build/Installer/Veltrane.exe");
    EXPECT_EQ(F->Name, "Veltrane.exe");
    EXPECT_EQ(F->Source(), "/build/Installer/");
    EXPECT_EQ(D.FindFile("VELTRANE.EXE"), F);
    EXPECT_EQ(D.FindFile("other"), nullptr);

    TSetupDir* Install = D.FindDir("Install");
    Install->SetName("Windows");
    EXPECT_EQ(Install->Name(), "Install");
    EXPECT_EQ(D.AddDir("Install", "/x/", nullptr), Install);
    EXPECT_EQ(D.FindDir("install"), nullptr);

    TSetupDisk* Disk = D.GetDisk(1);
    Disk->Size = 1000;
    Disk->Used = 900;
    TSetupFile* Big = D.AddFile("big");
    Big->CompressedSize = 101;
    TSetupFile* Fits = D.AddFile("fits");
    Fits->CompressedSize = 100;
    EXPECT_FALSE(Disk->Add(Big));
    EXPECT_EQ(Disk->Used, 900);
    EXPECT_TRUE(Disk->Add(Fits));
    EXPECT_EQ(Disk->Used, 1000);
    EXPECT_FALSE(Disk->Add(Fits));
    EXPECT_TRUE(Disk->Remove(Fits));
    EXPECT_EQ(Disk->Used, 900);
    EXPECT_EQ(D.GetDisk(0), nullptr);
    EXPECT_EQ(D.GetDisk(2), nullptr);

    // A group finds the dir of a file by itself: the last dir that lists it.
    TSetupDir* Other = D.AddDir("Other", "/o/", nullptr);
    Install->Add(F);
    Other->Add(F);
    TSetupFileGroup* G = D.AddFileGroup("G");
    EXPECT_TRUE(G->AddFile(F, nullptr, true));
    EXPECT_TRUE(G->Contains(F, Other));
    EXPECT_FALSE(G->AddFile(F, Install, false));
    EXPECT_TRUE(G->RemoveFile(F, Other, true));
    EXPECT_TRUE(G->Dirs.empty());
}

TEST(SetupData, AssignCopiesDeepAndRepointsReferences) {
    auto D = FullDescription();
    TSetupData Copy;
    Copy.Assign(*D);
    EXPECT_EQ(WriteSetupData(Copy), WriteSetupData(*D));
    EXPECT_EQ(Copy.WinItems[0]->ItemFile, Copy.Files[0].get());
    EXPECT_EQ(Copy.LogFileDir, Copy.FindDir("Docs"));
    EXPECT_EQ(Copy.FindDir("Docs")->Parent, Copy.FindDir("Install"));
}

TEST(SetupStream, Version5RoundTripKeepsEveryListAndReference) {
    auto D = FullDescription();
    const std::string Bytes = WriteSetupData(*D);
    int Version = 0;
    auto R = ReadSetupData(Bytes, &Version);
    EXPECT_EQ(Version, 5);
    EXPECT_EQ(WriteSetupData(*R), Bytes);
    EXPECT_EQ(SetupDataToJson(*R, 5), SetupDataToJson(*D, 5));
    EXPECT_EQ(R->GetDisk(2)->Used, 9);
    EXPECT_EQ(R->ChoiceData[0]->Common, R->FindChoiceItem("Common"));
    EXPECT_EQ(R->ChoiceItems[0]->Add->Groups[0], R->FileGroups[0].get());
    EXPECT_EQ(R->WinItems[1]->Dir, nullptr);
    EXPECT_EQ(R->WinItems[1]->ItemFile, nullptr);
    // JSON written back gives the same bytes.
    EXPECT_EQ(WriteSetupData(*SetupDataFromJson(SetupDataToJson(*D, 5))), Bytes);
}

TEST(SetupStream, IntegersTakeTheSmallestForm) {
    TSetupData D;
    TSetupFile* F = D.AddFile("f");
    for (auto [Size, Tag] : {std::pair{127, 2}, {128, 3}, {32767, 3}, {32768, 4}}) {
        F->Size = Size;
        F->CompressedSize = 1;
        const std::string Bytes = WriteSetupData(D);
        // list, version, name, files list, name, source, date(int32 0 -> int8), size tag
        const std::size_t At = 1 + 2 + 2 + D.AppName.size() + 1 + 3 + 2 + 2;
        EXPECT_EQ(Bytes[At], Tag) << Size;
    }
    F->Size = 0x80000000LL;
    EXPECT_THROW(WriteSetupData(D), ESetupError);
}

TEST(SetupStream, ReaderRulesForUnresolvedReferences) {
    // Dir "B" names parent "C" that comes later; disk lists a file index equal to the count.
    TBytes B;
    B.L().I(5).T("App");
    B.L().T("f0").T("/s").I(0).I(10).B(false).I(0).E();          // files
    B.L().T("Disk").I(0).L().I(1).I(0).E().E();                   // disks
    B.L().T("B").T("/b").T("C").L().E().T("C").T("/c").T("").L().I(0).E().E(); // dirs
    B.L().E().L().E().L().E();                                    // groups, items, choice data
    B.L().T("W").T("").I(-1).I(7).E();                            // win items
    B.L().E();                                                    // win groups
    B.L().E().L().E().L().E();                                    // BDE
    B.L().T("Nope").T("X.LOG").E();
    B.L().E();
    B.E();
    auto D = ReadSetupData(B.S);
    EXPECT_EQ(D->FindDir("B")->Parent, nullptr);
    ASSERT_EQ(D->Disks[0]->Files.size(), 1u);
    EXPECT_EQ(D->Files[0]->CompressedSize, 10); // 0 means "as Size"
    EXPECT_EQ(D->WinItems[0]->ItemFile, nullptr);
    EXPECT_EQ(D->LogFileDir, nullptr);
}

TEST(SetupStream, ReadsVersion4) {
    TBytes B;
    B.L().I(4).T("Old");
    B.L().T("Disk 1").I(0).T("Disk 2").I(500).E();
    B.L().T("a.exe").T("/src").I(608600705).I(100).I(2).B(true).B(true).I(60)
        .T("b.txt").T("/src").I(0).I(5).I(9).B(false).B(false).I(0).E();
    B.L().T("Install").T("/opt/x").T("").L().T("A.EXE").T("missing").E()
        .T("Sub").T("sub").T("Install").L().T("b.txt").E().E();
    B.L().T("SetupChoice").L().T("Common Files").L().T("a.exe").E().L().E()
        .T("Extras").L().T("b.txt").E().L().T("a.exe").E().E().E();
    B.L().T("SetupGroups").T("Old App").L().T("Run").T("-v").T("Install").T("a.exe").E().E();
    B.E();
    int Version = 0;
    auto D = ReadSetupData(B.S, &Version);
    EXPECT_EQ(Version, 4);
    ASSERT_EQ(D->Files.size(), 2u);
    TSetupFile* A = D->Files[0].get();
    EXPECT_TRUE(A->Compressed);
    EXPECT_EQ(A->CompressedSize, 60);
    EXPECT_EQ(DateTimeToIso(A->DateTime), "1998-02-06T16:20:02");
    EXPECT_EQ(D->GetDisk(2)->Files, std::vector<TSetupFile*>{A});
    EXPECT_EQ(D->GetDisk(2)->Size, 500);
    EXPECT_EQ(D->Files[1]->CompressedSize, 5);
    EXPECT_EQ(D->FindDir("Install")->Files, std::vector<TSetupFile*>{A});
    EXPECT_EQ(D->FindDir("Sub")->Parent, D->FindDir("Install"));
    TSetupChoiceData* C = D->FindChoiceData("SetupChoice");
    ASSERT_NE(C->Common, nullptr);
    EXPECT_EQ(C->Common->Name(), "SetupChoice:Common Files");
    ASSERT_EQ(C->Items.size(), 1u);
    EXPECT_EQ(C->Items[0]->Description, std::vector<std::string>{"Extras"});
    EXPECT_TRUE(C->Items[0]->Add->Contains(D->Files[1].get(), D->FindDir("Sub")));
    EXPECT_TRUE(C->Items[0]->Remove->Contains(A, D->FindDir("Install")));
    TSetupWinItem* W = D->FindWinItem("Old App:Run");
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->ItemFile, A);
    EXPECT_EQ(D->FindWinGroup("SetupGroups")->Items, std::vector<TSetupWinItem*>{W});
}

TEST(SetupStream, ReadsVersion2) {
    TBytes B;
    B.L().I(2).T("Two");
    B.L().T("Only disk").E(); // no size below version 3
    B.L().T("x").T("/s").I(0).I(3).I(1).B(false).E();
    B.L().T("Install").T("/i").T("").L().T("X").E().E();
    B.L().E().L().E();
    B.E();
    auto D = ReadSetupData(B.S);
    EXPECT_EQ(D->GetDisk(1)->Files.size(), 1u);
    EXPECT_EQ(D->FindDir("Install")->Files.size(), 1u);
    EXPECT_EQ(D->Files[0]->CompressedSize, 3);
}

TEST(SetupStream, MalformedBytesNameTheOffset) {
    const std::string Good = WriteSetupData(*FullDescription());
    for (std::size_t Cut : {std::size_t{0}, std::size_t{1}, Good.size() / 2, Good.size() - 1}) {
        try {
            ReadSetupData(std::string_view(Good).substr(0, Cut));
            ADD_FAILURE() << "read a cut description at " << Cut;
        } catch (const ESetupStreamError& E) {
            EXPECT_LE(E.Offset, Cut);
        }
    }
    EXPECT_THROW(ReadSetupData(Good + "x"), ESetupStreamError);
    TBytes Long;
    Long.L().I(5);
    Long.S += "\x0c\xff\xff\xff\x7f"; // a long text longer than the data
    EXPECT_THROW(ReadSetupData(Long.S), ESetupStreamError);
    TBytes BadVersion;
    BadVersion.L().I(6).T("x");
    EXPECT_THROW(ReadSetupData(BadVersion.S), ESetupStreamError);
}

// Names that could lead outside the description's directories, refused by the stored form's
// reader and by the JSON reader behind --write-description, naming the entry.
TEST(SetupNames, EscapingNamesAreRefusedByBothReaders) {
    struct Case {
        std::function<void(TSetupData&)> Edit;
        std::string Says; // "" when the description stays good
    } Cases[] = {
        {[](TSetupData& D) { D.Files[0]->Name = "../escaped.txt"; }, "\"../escaped.txt\" holds \"/\""},
        {[](TSetupData& D) { D.Files[0]->Name = ".."; }, "is \"..\""},
        {[](TSetupData& D) { D.Files[0]->Name = "."; }, "is \".\""},
        {[](TSetupData& D) { D.Files[0]->Name = ""; }, "is empty"},
        {[](TSetupData& D) { D.Files[0]->Name = std::string("a\0b", 3); }, "NUL"},
        {[](TSetupData& D) { D.LogFileName = "../../LOGGED.INI"; }, "The log file name"},
        {[](TSetupData& D) { D.WinGroups[0]->Title = "a/b"; }, "The group \"a/b\""},
        {[](TSetupData& D) { D.UnInstallFiles = {"../x"}; }, "The uninstall file"},
        {[](TSetupData& D) { D.AddDir("Up", "docs/../../x/", D.FindDir("Install")); }, "climbs out of its parent"},
        {[](TSetupData& D) { D.AddDir("Fine", "docs/../x/", D.FindDir("Install")); }, ""},
        {[](TSetupData& D) { D.Files[0]->Name = "..name.txt"; }, ""},
    };
    for (const Case& C : Cases) {
        auto D = FullDescription();
        C.Edit(*D);
        const std::string Problem = SetupNamesProblem(*D);
        SCOPED_TRACE(Problem);
        EXPECT_EQ(Problem.empty(), C.Says.empty());
        EXPECT_NE(Problem.find(C.Says), std::string::npos);
        if (C.Says.empty())
            continue;
        const std::string Bytes = WriteSetupData(*D);
        EXPECT_THROW(ReadSetupData(Bytes), ESetupStreamError);
        EXPECT_THROW(SetupDataFromJson(SetupDataToJson(*D, 5)), ESetupJsonError);
    }
}

TEST(SetupJson, RefusesWhatCannotBeStored) {
    const std::string Good = SetupDataToJson(*FullDescription(), 5);
    auto Edited = [&](const std::string& From, const std::string& To) {
        std::string J = Good;
        const auto At = J.find(From);
        EXPECT_NE(At, std::string::npos) << From;
        return J.replace(At, From.size(), To);
    };
    const auto Date = Good.substr(Good.find("\"DateTime\": \"") + 13, 19);
    for (const auto& [Json, Says] : std::vector<std::pair<std::string, std::string>>{
             {Edited(Date, "2150-06-01T12:00:00"), "lies after 2099"},
             {Edited("\"Name\": \"Windows\"", "\"Name\": \"Install\""), "another dir is named Install"},
         }) {
        try {
            SetupDataFromJson(Json);
            ADD_FAILURE() << "taken: " << Says;
        } catch (const ESetupJsonError& E) {
            EXPECT_NE(std::string(E.what()).find(Says), std::string::npos) << E.what();
        }
    }
    // Before 1980 stays the described 0.
    EXPECT_NO_THROW(SetupDataFromJson(Edited(Date, "1975-01-01T00:00:00")));
}

TEST(FileDate, EncodingLimits) {
    struct Case {
        TDateTime Date;
        std::int32_t Stored;
    };
    const Case Cases[] = {
        {EncodeDateTime(1979, 12, 31, 23, 59, 59), 0},
        {EncodeDateTime(2100, 1, 1, 0, 0, 0), 0},
        {EncodeDateTime(1980, 1, 1, 0, 0, 0), (1 << 21) | (1 << 16)},
        {EncodeDateTime(1998, 2, 6, 16, 20, 2), 608600705},
        {EncodeDateTime(2099, 12, 31, 23, 59, 59),
         static_cast<std::int32_t>((119u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u)},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(DateTimeToFileDate(C.Date), C.Stored) << DateTimeToIso(C.Date);
    EXPECT_EQ(DateTimeToIso(FileDateToDateTime(Cases[4].Stored)), "2099-12-31T23:59:58");
    EXPECT_EQ(DateTimeToIso(FileDateToDateTime(609980546)), "1998-02-27T18:04:04");
    EXPECT_EQ(FileDateToDateTime(0), 0);
    EXPECT_FALSE(DateTimeFromIso("1998-02-30T00:00:00"));
    EXPECT_FALSE(DateTimeFromIso("1998-02-06 16:20:02"));
}

TEST(SetupPaths, BackslashHelpers) {
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("/a"), "/a/");
    EXPECT_EQ(AddBackslash("/a/"), "/a/");
    EXPECT_EQ(RemoveBackslash("/a/"), "/a");
    EXPECT_EQ(RootSafePath("/"), "/");
    EXPECT_EQ(RootSafePath("/a/b/"), "/a/b");
}

TEST(SetupPaths, ShortenPathForLabelKeepsFirstAndLastComponent) {
    auto Width = [](const std::string& S) { return static_cast<int>(S.size()); };
    const std::string P = "/home/user/.local/opt/Veltrane/";
    struct Case {
        int Width;
        std::string Result;
    };
    const Case Cases[] = {
        {100, P},
        {static_cast<int>(P.size()), P},
        {30, "/home/.../.local/opt/Veltrane/"},
        {25, "/home/.../opt/Veltrane/"},
        {5, "/home/.../Veltrane/"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ShortenPathForLabel(P, C.Width, Width), C.Result) << C.Width;
    EXPECT_EQ(ShortenPathForLabel("/opt/x", 3, Width), "/opt/x/");
}
