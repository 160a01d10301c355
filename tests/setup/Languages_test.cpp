// The language list and loading with the optional module, and the fallback to English.

#include "FakeSetupView.h"

#include <gtest/gtest.h>

using namespace veltrane;

TEST(Languages, ModuleListsSwitchesAndFallsBack) {
    test::FakeSetupView View;
    TSetupInfo Info(View);
    View.Info = &Info;
    Info.BuildLanguageList();
    EXPECT_EQ(Info.LanguageList, std::vector<std::string>{"English"}); // no module: English only
    Info.LanguageModulePath = VELTRANE_TEST_LANGUAGE_MODULE;
    Info.BuildLanguageList();
    EXPECT_EQ(Info.LanguageList, (std::vector<std::string>{"English", "Deutsch", "Français"}));

    Info.LoadLanguage("Deutsch");
    EXPECT_EQ(Info.Language, "Deutsch");
    EXPECT_EQ(Info.Text(9), "&Weiter");
    EXPECT_EQ(Info.Text(0), "Deutsch");
    EXPECT_EQ(Info.Text(44), "*** String not found ***");
    EXPECT_TRUE(View.Asked.empty());

    Info.LoadLanguage("English");
    EXPECT_EQ(Info.Text(9), "&Next");

    // A name missing from the module falls back with warning text 7.
    Info.LoadLanguage("Klingon");
    EXPECT_EQ(Info.Language, "English");
    ASSERT_EQ(View.Asked.size(), 1u);
    EXPECT_EQ(View.Asked[0], "Unable to load language DLL.  Reverting to the default language.");

    // Setting the property to an unlisted name keeps the current language.
    Info.LoadLanguage("Deutsch");
    Info.SetLanguage("Klingon");
    EXPECT_EQ(Info.Language, "Deutsch");
    EXPECT_EQ(View.Asked.back(),
              "The language Klingon is not in the list of available languages.\nSwitching to the default language.");
}
