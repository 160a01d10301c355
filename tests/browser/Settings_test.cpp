#include "browser/PlayerCommands.h"
#include "browser/Settings.h"
#include "support/TestDir.h"
#include "support/platform/FakeAssociations.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(Settings, DefaultsWhenFileOrKeysMissing) {
    test::TestDir dir;
    TSettings s = ReadSettings(SettingsFilePath(dir.path().string()));
    EXPECT_TRUE(s.DeleteToRecycleBin);
    EXPECT_EQ(s.DefaultDir, ".");
    EXPECT_EQ(s.DblClickAction, 0);
    EXPECT_EQ(SettingsFilePath("/start/"), "/start/Veltrane.ini");
    EXPECT_EQ(SettingsFilePath("/start"), "/start/Veltrane.ini");
}

TEST(Settings, ReadsWhatPreferencesWrite) {
    test::TestDir dir;
    std::string ini = SettingsFilePath(dir.path().string());
    std::string longDir = "/music/" + std::string(200, 'a') + "/x;y";
    ASSERT_TRUE(WriteDeleteToRecycleBin(ini, false));
    ASSERT_TRUE(WriteDefaultDir(ini, longDir));
    ASSERT_TRUE(WriteDblClickActionIndex(ini, 2));
    TSettings s = ReadSettings(ini);
    EXPECT_FALSE(s.DeleteToRecycleBin);
    EXPECT_EQ(s.DefaultDir, longDir);
    EXPECT_EQ(s.DblClickAction, 2);
    EXPECT_EQ(dir.ReadFile("Veltrane.ini"), "[Preferences]\nDeleteToRecycleBin=0\nDefaultDir=" +
                                                longDir + "\nDblClickActionIndex=2\n");
    ASSERT_TRUE(WriteDblClickActionIndex(ini, -1));
    EXPECT_EQ(ReadSettings(ini).DblClickAction, 255);
}

TEST(Settings, UnwritableStartDirectoryFallsBackToTheConfigFolder) {
    const std::string start = "/usr/bin/Veltrane.ini", config = "/home/u/.config/Veltrane/Veltrane.ini";
    struct Case {
        bool writable, startFile, configFile;
        std::string read, write;
    } cases[] = {
        {true, true, true, start, start},
        {true, false, true, start, start},
        {false, false, false, config, config},
        {false, true, false, start, config}, // a shipped file is read until the user saves
        {false, true, true, config, config},
        {false, false, true, config, config},
    };
    for (const auto& c : cases) {
        const TSettingsFiles f =
            ChooseSettingsFiles("/usr/bin", "/home/u/.config/", c.writable, c.startFile, c.configFile);
        EXPECT_EQ(f.Read, c.read) << c.writable << c.startFile << c.configFile;
        EXPECT_EQ(f.Write, c.write) << c.writable << c.startFile << c.configFile;
    }
    test::TestDir dir;
    const TSettingsFiles here = LocateSettingsFiles(dir.path().string(), dir / "config");
    EXPECT_EQ(here.Write, dir / "Veltrane.ini");
}

TEST(Settings, NonZeroIsTrue) {
    test::TestDir dir;
    std::string ini = dir.WriteFile("Veltrane.ini", "[preferences]\ndeletetorecyclebin=7\n");
    EXPECT_TRUE(ReadSettings(ini).DeleteToRecycleBin);
    ini = dir.WriteFile("Veltrane.ini", "[Preferences]\nDeleteToRecycleBin=0\n");
    EXPECT_FALSE(ReadSettings(ini).DeleteToRecycleBin);
    EXPECT_FALSE(WriteDefaultDir(dir / "no/such/dir/Veltrane.ini", "/x"));
    EXPECT_EQ(UnableToWriteMessage("/s/Veltrane.ini"), "Unable to write to /s/Veltrane.ini");
}

TEST(PlayerCommands, ExeCutAndQuoteRule) {
    EXPECT_EQ(CutAfterExe("\"C:\\Prog\\Winamp.exe\" \"%1\""), "\"C:\\Prog\\Winamp.exe");
    EXPECT_EQ(RestoreClosingQuote(CutAfterExe("\"C:\\Prog\\Winamp.exe\" \"%1\"")),
              "\"C:\\Prog\\Winamp.exe\"");
    EXPECT_EQ(CutAfterExe("C:\\Prog\\Player.Exe /play"), "C:\\Prog\\Player.Exe");
    EXPECT_EQ(CutAfterExe("\"player.exe\""), "\"player.exe\""); // one char after: whole
    EXPECT_EQ(CutAfterExe("player.exe x"), "player.exe");
    EXPECT_EQ(CutAfterExe("vlc --started-from-file"), "vlc --started-from-file");
    EXPECT_EQ(RestoreClosingQuote("\""), "\"");
    EXPECT_EQ(RestoreClosingQuote("\"/opt/p q/play\""), "\"/opt/p q/play\"");
}

TEST(PlayerCommands, LookUpLowerCasesAndFallsBackToHtm) {
    test::FakeAssociations assoc;
    assoc.byExtension[".mp3"] = "\"wine\" \"C:\\W\\winamp.exe\" \"x\"";
    assoc.byExtension[".htm"] = "firefox --new-window";
    EXPECT_EQ(GetAssociation(assoc, ".MP3"), "\"wine\" \"C:\\W\\winamp.exe");
    TPlayerCommands c = LookUpPlayerCommands(assoc);
    EXPECT_EQ(c.Mp3Player, "\"wine\" \"C:\\W\\winamp.exe\"");
    EXPECT_EQ(c.ModPlayer, "");
    EXPECT_EQ(c.Browser, "firefox --new-window");
    EXPECT_EQ(PlaylistPlayer(c), c.Mp3Player); // no ".m3u" player: the MP3 player
    assoc.byExtension[".m3u"] = "lists --play";
    EXPECT_EQ(PlaylistPlayer(LookUpPlayerCommands(assoc)), "lists --play");
}

TEST(PlayerCommands, OnlyAProgramIsAPlayer) {
    for (const char* none : {"", "   ", "\"\"", "\t"})
        EXPECT_FALSE(HasPlayer(none)) << none;
    for (const char* some : {"p", "\"/opt/a b/p\"", " p --x"})
        EXPECT_TRUE(HasPlayer(some)) << some;
    EXPECT_EQ(NoPlayerMessage(".m3u files").rfind("No player is registered for .m3u files\n", 0),
              0u);
}

} // namespace
} // namespace veltrane
