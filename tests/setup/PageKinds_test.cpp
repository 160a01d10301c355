// The choice, language and database-engine pages in page chains on an owner window, the
// owner's configuration errors, and the checks of names and answers beneath the windows.

#include "FakeSetupView.h"
#include "setup/BDELogic.h"
#include "setup/ChoiceLogic.h"
#include "setup/LanguageLogic.h"
#include "setup/SetupGroupPages.h"
#include "setup/SetupPages.h"
#include "setup/ui/InstallWindows.h"
#include "support/TestDir.h"
#include "support/platform/FakeProcessStarter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace veltrane;
using veltrane::test::FakeSetupView;
using veltrane::test::TestDir;

namespace {

struct Chain {
    FakeSetupView View;
    TSetupForm Form;
    TSetupInfo Info{View};
    TestDir Home;
    Chain() {
        View.Info = &Info;
        Info.WindowsDir = Home.MakeDir("config") + "/";
        Form.Insert(Info);
    }
    // A file "Name" that the choice option Item adds to dir Install.
    TSetupFile* OptionFile(TSetupChoiceItem* Item, const std::string& Name) {
        TSetupFile* F = Info.Data->AddFile("/src/" + Name);
        Item->Add->AddFile(F, Info.Data->FindDir("Install"), true);
        return F;
    }
};

std::string Ini(const TestDir& Home, const std::string& Name) {
    return std::filesystem::exists(Home / ("config/" + Name)) ? Home.ReadFile("config/" + Name) : "";
}

} // namespace

TEST(PageKinds, ChainOfLanguageChoiceEngineAndMessagePages) {
    Chain C;
    TSetupLanguage Language("SetupLanguage");
    TSetupChoice Choice("SetupChoice");
    TSetupBDEInstall Engine("SetupBDEInstall");
    TSetupMessage Closing("SetupMessage");
    for (TSetupComponent* P : std::initializer_list<TSetupComponent*>{&Language, &Choice, &Engine, &Closing})
        C.Form.Insert(*P);
    Language.NextPage = &Choice;
    Choice.NextPage = &Engine;
    Engine.NextPage = &Closing;
    Closing.Buttons = btFinish;
    Engine.BDEType = kBDE32;
    Engine.ExtraData = {"SOFTWARE\\IDAPI:~:DLLPATH:~:old"};
    ASSERT_TRUE(Engine.SetDefaultDir(C.Home / "idapi/"));

    // Joining the owner gave the choice page its data and the language page its default.
    TSetupChoiceData* Data = Choice.ChoiceData();
    ASSERT_NE(Data, nullptr);
    EXPECT_EQ(Language.DefaultLanguage(), "English");
    TSetupChoiceItem* Docs = C.Info.Data->AddChoiceItem("Docs");
    TSetupChoiceItem* Extras = C.Info.Data->AddChoiceItem("Extras");
    Data->AddItem(Docs);
    Data->AddItem(Extras);
    TSetupFile* Manual = C.OptionFile(Docs, "manual.txt");
    TSetupFile* Sample = C.OptionFile(Extras, "sample.mp3");
    TSetupDir* Install = C.Info.Data->FindDir("Install");
    Choice.OptionClick(1);
    Choice.OptionClick(0);
    Choice.OptionClick(0); // clicked twice: off again
    Choice.OptionClick(2); // no such row

    EXPECT_EQ(Language.Execute(), prDone);
    EXPECT_FALSE(C.Info.WorkGroup->Contains(Manual, Install));
    EXPECT_TRUE(C.Info.WorkGroup->Contains(Sample, Install));
    EXPECT_EQ(C.Info.BDEType, kBDE32);
    EXPECT_EQ(Ini(C.Home, "registry.ini"), "[SOFTWARE\\IDAPI]\nDLLPATH=" + (C.Home / "idapi") + "\n");
    EXPECT_EQ(C.View.Shown, (std::vector<std::string>{"Setup Choice", "BDE Installation"}));
    EXPECT_TRUE(C.Info.IsSelected(C.Info.Data->FindDir("$$$BDE$$$")));

    // The uninstall page of the same owner undoes the engine it recorded.
    Engine.AllowUnInstall = true;
    TSetupUnInstall UnInstall("SetupUnInstall");
    C.Form.Insert(UnInstall);
    C.Info.LogFile = C.Home / "INSTALL.LOG";
    EXPECT_EQ(UnInstall.Execute(), prDone);
    EXPECT_EQ(Ini(C.Home, "registry.ini"), "");
}

TEST(PageKinds, ChoiceUndoesOnPreviousAndAfterComingBack) {
    Chain C;
    TSetupChoice Choice("SetupChoice");
    TSetupMessage Before("Before"), After("After");
    for (TSetupComponent* P : std::initializer_list<TSetupComponent*>{&Before, &Choice, &After})
        C.Form.Insert(*P);
    Before.NextPage = &Choice;
    Choice.NextPage = &After;
    After.Buttons = btPrev | btFinish;
    TSetupChoiceItem* Docs = C.Info.Data->AddChoiceItem("Docs");
    Choice.ChoiceData()->AddItem(Docs);
    TSetupFile* Manual = C.OptionFile(Docs, "manual.txt");
    TSetupDir* Install = C.Info.Data->FindDir("Install");
    Choice.SetSelected(1, true);

    // Next to the last page, back, the option turned off there, Next again, Finish.
    C.View.Presses = {wbNext, wbNext, wbPrev};
    After.OnExecute = [&](TSetupComponent&) {
        if (C.View.Presses.empty() && Choice.Selected(1)) {
            EXPECT_TRUE(C.Info.WorkGroup->Contains(Manual, Install));
            Choice.SetSelected(1, false);
            C.View.Presses = {wbPrev, wbNext, wbNext};
        }
    };
    EXPECT_EQ(Before.Execute(), prDone);
    EXPECT_FALSE(C.Info.WorkGroup->Contains(Manual, Install));

    // Next then Previous on the choice page itself leaves the work group as it was.
    Choice.SetSelected(1, true);
    After.OnExecute = nullptr;
    C.View.Presses = {wbNext, wbNext, wbPrev, wbPrev, wbCancel};
    C.View.Answers = {mrYes};
    EXPECT_EQ(Before.Execute(), prCancelled);
    EXPECT_FALSE(C.Info.WorkGroup->Contains(Manual, Install));
    EXPECT_THROW(Choice.Selected(2), ESetupError);
}

TEST(PageKinds, PagesWithNothingToShowGoOnByThemselves) {
    Chain C;
    TSetupChoice Choice("SetupChoice");
    TSetupLanguage Language("SetupLanguage");
    TSetupBDEInstall Engine("SetupBDEInstall");
    TSetupMessage Closing("SetupMessage");
    for (TSetupComponent* P : std::initializer_list<TSetupComponent*>{&Choice, &Language, &Engine, &Closing})
        C.Form.Insert(*P);
    Choice.NextPage = &Language;
    Language.NextPage = &Engine; // BDEType none: runs its next page without showing
    Language.ShowLanguages = 0;
    Engine.NextPage = &Closing;
    Closing.Buttons = btFinish | btCancel;
    C.View.Presses = {wbCancel}; // the only press goes to the closing page
    C.View.Answers = {mrYes};
    EXPECT_EQ(Choice.Execute(), prCancelled); // and unwinds past the pages that went on
    EXPECT_EQ(C.View.Shown, (std::vector<std::string>{"Setup Choice"}));
    EXPECT_EQ(C.View.Asked, (std::vector<std::string>{"Cancel Setup?"}));
}

TEST(PageKinds, EngineSetupProgramIsStartedOnlyAsARegularExecutable) {
    struct Case {
        const char* Program;
        std::string Bytes; // "" makes no file
        mode_t Mode;
        bool Started;
    };
    const Case Cases[] = {
        {"setup", "#!/bin/sh\nexit 0\n", 0755, true},
        {"setup", "#!/bin/sh\n", 0644, false},   // not executable
        {"missing", "", 0, false},
        {"../setup", "#!/bin/sh\n", 0755, false}, // not a plain name
        {"link", "", 0, false},                   // a symbolic link to an executable
        {"setup -x; rm", "", 0, false},           // no shell: the name is the name
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Program);
        Chain C;
        test::FakeProcessStarter Processes;
        TSetupBDEInstall Engine("SetupBDEInstall");
        C.Form.Insert(Engine);
        const std::string Dir = C.Home.MakeDir("engine");
        if (!K.Bytes.empty()) {
            C.Home.WriteFile(std::string("engine/") + (std::string(K.Program) == "../setup" ? "../setup" : K.Program),
                             K.Bytes);
            ::chmod((Dir + "/" + K.Program).c_str(), K.Mode);
        }
        if (std::string(K.Program) == "link") {
            C.Home.WriteFile("engine/real", "#!/bin/sh\n");
            ::chmod((Dir + "/real").c_str(), 0755);
            std::filesystem::create_symlink(Dir + "/real", Dir + "/link");
        }
        C.Info.Data->AddDir("Engine", Dir + "/", nullptr);
        Engine.BDEDir = "Engine";
        Engine.BDEType = kBDESetupProgram;
        Engine.InstallProgram = K.Program;
        Engine.Processes = &Processes;
        EXPECT_EQ(Engine.Execute(), prCancelled); // nothing makes the engine present here
        ASSERT_EQ(Processes.started.size(), K.Started ? 1u : 0u);
        if (K.Started) {
            EXPECT_EQ(Processes.started[0].argv, (std::vector<std::string>{Dir + "/setup"}));
            EXPECT_EQ(C.View.Asked.front(), "The BDE setup program failed to execute properly.");
        } else {
            EXPECT_EQ(C.View.Asked.front(), "Unable to locate the BDE setup program.");
        }
    }
}

TEST(PageKinds, EngineSetupProgramRunsInItsDirectoryAndIsJudgedWhenItEnds) {
    Chain C;
    TSetupBDEInstall Engine("SetupBDEInstall");
    TSetupMessage Closing("SetupMessage");
    C.Form.Insert(Engine);
    C.Form.Insert(Closing);
    Engine.NextPage = &Closing;
    Closing.Buttons = btFinish;
    const std::string Dir = C.Home.MakeDir("engine");
    const std::string WinIni = C.Info.WindowsDir + "WIN.INI";
    C.Home.WriteFile("engine/setup", "#!/bin/sh\nsleep 0.2\npwd > ran-in\nprintf '[IDAPI]\\nDLLPATH=x\\nCONFIGFILE01=y\\n' > '" +
                                         WinIni + "'\n");
    ::chmod((Dir + "/setup").c_str(), 0755);
    C.Info.Data->AddDir("Engine", Dir + "/", nullptr);
    Engine.BDEDir = "Engine";
    Engine.BDEType = kBDESetupProgram;
    EXPECT_EQ(Engine.Execute(), prDone);
    EXPECT_EQ(C.Home.ReadFile("engine/ran-in"), Dir + "\n");
    EXPECT_TRUE(Engine.Present());
    EXPECT_EQ(C.Info.BDEType, 0); // the engine's own setup is not undone by ours
}

TEST(PageKinds, OwnerConfigurationErrors) {
    FakeSetupView View;
    TSetupForm Form;
    TSetupInfo Info(View);
    Form.Insert(Info);
    TSetupInfo Second(View, "SetupInfo2");
    TSetupBDEInstall Engine("Engine"), Engine2("Engine2");
    TSetupMessage Page("Page"), Other("Other");
    Form.Insert(Engine);
    const std::map<std::string, std::function<void()>> Cases = {
        {"Only allowed one TSetupInfo per application.", [&] { Form.Insert(Second); }},
        {"Only allowed one TSetupBDEInstall per application.", [&] { Engine2.SetOwner(&Form); }},
        {"Only a TForm can own a TSetup component.", [&] { Other.SetOwner(&Page); }},
        {"SetupInfo can only accept components of type TSetupInfo.", [&] { Other.SetSetupInfo(&Page); }},
        {"Other cannot find the TSetupInfo component.", [&] { Other.Execute(); }},
    };
    for (const auto& [Message, Action] : Cases) {
        try {
            Action();
            ADD_FAILURE() << "no error: " << Message;
        } catch (const ESetupError& E) {
            EXPECT_EQ(std::string(E.what()), Message);
        }
    }
    EXPECT_EQ(Engine2.Owner(), nullptr);

    // Links both ways; a page leaving clears what pointed at it, the central one leaving
    // clears every link and the engine kind.
    Engine.BDEType = kBDE16;
    Form.Insert(Page);
    Form.Insert(Other);
    Page.NextPage = &Other;
    EXPECT_EQ(Other.SetupInfo, &Info);
    Form.Remove(Other);
    EXPECT_EQ(Page.NextPage, nullptr);
    EXPECT_EQ(Other.SetupInfo, nullptr);
    TSetupGroups Groups("SetupGroups");
    Form.Insert(Groups);
    EXPECT_NE(Info.Data->FindWinGroup("SetupGroups"), nullptr);
    Form.Remove(Groups);
    EXPECT_EQ(Info.Data->FindWinGroup("SetupGroups"), nullptr);
    Form.Remove(Info);
    EXPECT_EQ(Page.SetupInfo, nullptr);
    EXPECT_EQ(Engine.BDEType, kBDENone);
    Form.Insert(Second); // now it is the only one
    EXPECT_EQ(Page.SetupInfo, &Second);

    // Refused settings keep their old values, each with its notice.
    TSetupLanguage Language("Language");
    Form.Insert(Language);
    Second.Data->FindDir("Install")->Add(Second.Data->AddFile("/src/readme.txt"));
    EXPECT_FALSE(Engine.SetDefaultDir("/opt/IDAPI"));
    EXPECT_TRUE(Language.SetDefaultLanguage("(compiled)"));
    EXPECT_FALSE(Language.SetDefaultLanguage("Klingon"));
    EXPECT_EQ(Language.DefaultLanguage(), "(compiled)");
    Second.SetMultiDiskFiles({"README.TXT", "missing.bin"});
    EXPECT_EQ(Second.MultiDiskFiles, (std::vector<std::string>{"README.TXT"}));
    EXPECT_EQ(View.Asked, (std::vector<std::string>{
                              "This is not a valid directory string.",
                              "The language Klingon is not in the list of available languages.",
                              "Unable to locate file missing.bin in the installed files."}));
}

TEST(PageKinds, GroupNamesTheLogCannotHoldAreRefusedAtNext) {
    const std::map<std::string, std::string> Cases = {
        {"Veltrane", ""},
        {"Tools = Audio", ""},
        {" Spaced ", "The group name cannot start or end with a blank."},
        {"Spaced ", "The group name cannot start or end with a blank."},
        {"two\nlines", "The group name cannot hold a line break."},
        {"cr\r", "The group name cannot hold a line break."},
        {std::string("nul\0x", 5), "The group name cannot hold a NUL character."},
        {"\ttab", "The group name cannot start or end with a tab."},
        {"a:~:b", "The group name cannot hold \":~:\"."},
    };
    for (const auto& [Name, Problem] : Cases)
        EXPECT_EQ(GroupNameProblem(Name), Problem) << Name;
}

TEST(Start, DisplayFoundFromTheEnvironment) {
    struct Case {
        std::map<std::string, std::string> Env;
        bool Available;
    };
    const Case Cases[] = {
        {{}, false},
        {{{"DISPLAY", ":0"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {{{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":1"}}, true},
        {{{"QT_QPA_PLATFORM", "wayland-egl"}}, false},
    };
    for (const Case& K : Cases) {
        const bool Got = DisplayAvailable([&K](const char* Name) -> const char* {
            auto It = K.Env.find(Name);
            return It == K.Env.end() ? nullptr : It->second.c_str();
        });
        EXPECT_EQ(Got, K.Available) << (K.Env.empty() ? "(empty)" : K.Env.begin()->second);
    }
}

TEST(Start, WithoutADisplayTheProgramSaysWhatToDoAndExits2) {
    struct Case {
        std::string Command;
        int Status;
        std::string Output;
    };
    const std::string Program = VELTRANE_INSTALL_BARE;
    const Case Cases[] = {
        {"env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + Program + "' 2>&1", 2,
         "install: no display was found; install --unattended installs without windows\n"},
        {"env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" + Program + "' Uninstall 2>&1", 2,
         "install: no display was found; install --unattended installs without windows\n"},
        {"'" + Program + "' --version 2>&1", 0, "install 2.0\n"},
        {"'" + Program + "' --help 2>&1 | grep -x '       install --version'", 0,
         "       install --version\n"},
    };
    for (const Case& C : Cases) {
        FILE* P = ::popen(C.Command.c_str(), "r");
        ASSERT_NE(P, nullptr);
        std::string Output;
        std::array<char, 512> Buf;
        while (std::size_t N = std::fread(Buf.data(), 1, Buf.size(), P))
            Output.append(Buf.data(), N);
        const int W = ::pclose(P);
        EXPECT_EQ(WIFEXITED(W) ? WEXITSTATUS(W) : -1, C.Status) << C.Command;
        EXPECT_EQ(Output, C.Output) << C.Command;
    }
}
