#include "setup/BDELogic.h"
#include "setup/ChoiceLogic.h"
#include "setup/LanguageLogic.h"
#include "setup/SetupData.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

// A choice page configured with a common part and two options over two dirs.
TEST(ChoicePage, PreviousUndoesExactlyWhatNextDid) {
    TSetupData data;
    TSetupDir* install = data.FindDir("Install");
    TSetupDir* docs = data.AddDir("Docs", "docs/", install);
    TSetupFile* core = data.AddFile("/b/core");
    TSetupFile* manual = data.AddFile("/b/manual.txt");
    TSetupFile* sample = data.AddFile("/b/sample.mp3");
    TSetupChoiceData* choice = data.AddChoiceData("SetupChoice");
    TSetupChoiceItem* common = data.AddChoiceItem("Common");
    common->Add->AddFile(core, install, true);
    choice->Common = common;
    TSetupChoiceItem* withDocs = data.AddChoiceItem("Docs");
    withDocs->Add->AddFile(manual, docs, true);
    withDocs->Add->AddFile(core, install, true); // already there: not undone later
    TSetupChoiceItem* lean = data.AddChoiceItem("Lean");
    lean->Remove->AddFile(sample, install, true);
    choice->AddItem(withDocs);
    choice->AddItem(lean);

    TSetupFileGroup work(&data);
    work.AddFile(sample, install, true);
    work.AddFile(core, install, true);

    TChoiceSelection sel;
    sel.Resize(choice->Items.size());
    EXPECT_THROW(sel.SetSelected(0, true), ESetupError);
    EXPECT_THROW(sel.Selected(3), ESetupError);
    sel.SetSelected(1, true);
    sel.SetSelected(2, true);
    sel.Apply(*choice, work);
    EXPECT_TRUE(work.Contains(manual, docs));
    EXPECT_FALSE(work.Contains(sample, install));

    sel.Undo(work);
    EXPECT_FALSE(work.Contains(manual, docs));
    EXPECT_TRUE(work.Contains(sample, install));
    EXPECT_TRUE(work.Contains(core, install));

    // Choosing again after Previous starts from the state before the page.
    sel.SetSelected(2, false);
    sel.Apply(*choice, work);
    EXPECT_TRUE(work.Contains(manual, docs));
    EXPECT_TRUE(work.Contains(sample, install));
    sel.Resize(1);
    EXPECT_THROW(sel.Selected(2), ESetupError);
}

TEST(LanguagePage, OffersAndPreselects) {
    struct Case {
        std::vector<std::string> list;
        TShowLanguages show;
        std::string defaultLanguage;
        std::vector<std::string> offered;
        int checked;
    } cases[] = {
        {{"English"}, 1u << laEnglish, "English", {"English"}, 0},
        {{"English"}, 1u << laEnglish, "(compiled)", {"English"}, 0},
        {{"English", "Deutsch", "Klingon"}, kDefaultShowLanguages, "Klingon",
         {"English", "Klingon"}, 1}, // Deutsch is not among the first seven
        {{"English", "Dutch"}, kDefaultShowLanguages, "Swahili", {"English", "Dutch"}, 0},
        {{"English"}, 0, "English", {}, -1},
    };
    for (const auto& c : cases) {
        const TLanguageOffer offer = OfferLanguages(c.list, c.show, c.defaultLanguage, "English");
        EXPECT_EQ(offer.Offered, c.offered) << c.defaultLanguage;
        EXPECT_EQ(offer.Checked, c.checked) << c.defaultLanguage;
    }
}

TEST(BDEPage, IntegratedInstallAndUninstallKeepOtherFiles) {
    test::TestDir home;
    const TBDEStore store = BDEStoreIn(home / "config");
    fs::create_directories(home / "config");
    EXPECT_TRUE(ValidBDEDefaultDir("/opt/IDAPI/"));
    EXPECT_FALSE(ValidBDEDefaultDir("/opt/IDAPI"));
    EXPECT_EQ(BDEEngineDir(kBDE32, "", "/opt/IDAPI/", "/var/IDAPI", {}), "/opt/IDAPI/");
    EXPECT_EQ(BDEEngineDir(kBDE16, "/media/usb/x/", "/opt/IDAPI/", "/var/IDAPI",
                           [](const std::string& p) { return p.starts_with("/media/"); }),
              "/var/IDAPI/");
    EXPECT_EQ(BDEEngineDir(kBDESetupProgram, "", "/opt/IDAPI/", "/var/IDAPI", {}), "");

    for (int type : {kBDE16, kBDE32}) {
        SCOPED_TRACE(type);
        TSetupData data;
        data.BDEFiles.Add(data.AddFile("/b/idapi.so"));
        data.BDELDFiles.Add(data.AddFile("/b/ld.bin"));
        TSetupFileGroup work(&data);
        std::vector<std::string> selected;
        const std::string engine = home / "engine/";
        EXPECT_FALSE(BDEPresent(type, store));
        ASSERT_TRUE(BDEInstallIntegrated(
            type, engine,
            {"SOFTWARE\\IDAPI:~:DLLPath:~:x", "SOFTWARE\\IDAPI\\Cfg:~:CONFIGFILE01:~:C:\\old\\IDAPI.CFG"},
            data, work, [&](TSetupDir* d) { selected.push_back(d->Name()); }, store));
        EXPECT_TRUE(BDEPresent(type, store));
        EXPECT_EQ(selected, (std::vector<std::string>{"$$$BDE$$$", "$$$BDELD$$$"}));
        EXPECT_TRUE(work.Contains(data.FindFile("idapi.so"), data.FindDir("$$$BDE$$$")));
        EXPECT_EQ(DirFullPath(data.FindDir("$$$BDELD$$$")), engine + "LANGDRV/");
        if (type == kBDE32) {
            EXPECT_EQ(home.ReadFile("config/registry.ini"),
                      "[SOFTWARE\\IDAPI]\nDLLPath=" + (home / "engine") +
                          "\n[SOFTWARE\\IDAPI\\Cfg]\nCONFIGFILE01=" + engine + "IDAPI.CFG\n");
        }

        // The copy page would put the files there; the user keeps one of their own beside them.
        home.WriteFile("engine/idapi.so", "x");
        home.WriteFile("engine/LANGDRV/ld.bin", "x");
        home.WriteFile("engine/mine.txt", "user");
        std::vector<std::string> removed;
        BDEUnInstall(type, data, store, [&](const std::string& s) { removed.push_back(s); });
        EXPECT_FALSE(BDEPresent(type, store));
        EXPECT_FALSE(fs::exists(engine + "idapi.so"));
        EXPECT_EQ(home.ReadFile("engine/mine.txt"), "user");
        fs::remove_all(engine);
    }
}

} // namespace
} // namespace veltrane
