#include "platform/Associations.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace veltrane::platform {
namespace {

TEST(Associations, RemoveFieldCodes) {
    EXPECT_EQ(RemoveFieldCodes("vlc --started-from-file %U"), "vlc --started-from-file");
    EXPECT_EQ(RemoveFieldCodes("player %f --loop"), "player --loop");
    EXPECT_EQ(RemoveFieldCodes("\"/opt/My Player/play\" \"%f\""), "\"/opt/My Player/play\"");
    EXPECT_EQ(RemoveFieldCodes("app --name=%c --rate=50%% %i"), "app --name= --rate=50%");
    EXPECT_EQ(RemoveFieldCodes("plain"), "plain");
}

TEST(Associations, VeltraneEntriesAreRecognised) {
    const struct {
        const char* id;
        const char* executable;
        bool own;
    } cases[] = {
        {"org.veltrane.Veltrane.desktop", "anything", true},
        {"x.desktop", "/opt/Veltrane/veltrane", true},
        {"x.desktop", "veltrane", true},
        {"x.desktop", "/proc/self/exe", true}, // the running program under another name
        {"vlc.desktop", "vlc", false},
        {"x.desktop", "/opt/veltrane-player/play", false},
        {"x.desktop", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsVeltraneEntry(c.id, c.executable), c.own) << c.id << " " << c.executable;
}

// One process: GIO reads the XDG variables once, so the whole lookup is tested in one go.
TEST(Associations, DefaultApplicationFromMimeappsList) {
    test::TestDir dir;
    std::string data = dir.MakeDir("data");
    std::string config = dir.MakeDir("config");
    dir.WriteFile("data/applications/testplayer.desktop",
                  "[Desktop Entry]\nType=Application\nName=Test Player\n"
                  "Exec=\"" +
                      (dir / "bin/test player") +
                      "\" --enqueue %U\n"
                      "MimeType=audio/mpeg;\n");
    dir.WriteFile("bin/test player", "#!/bin/sh\n");
    std::filesystem::permissions(dir / "bin/test player", std::filesystem::perms::owner_all);
    // Veltrane's own entries name audio types too: the desktop's, and one the installer made.
    dir.WriteFile("data/applications/org.veltrane.Veltrane.desktop",
                  "[Desktop Entry]\nType=Application\nName=Veltrane\nExec=veltrane %f\n"
                  "MimeType=audio/mpeg;audio/x-mpegurl;\n");
    dir.WriteFile("data/applications/Veltrane-Music-Veltrane.desktop",
                  "[Desktop Entry]\nType=Application\nName=Veltrane\nExec=/opt/v/veltrane\n"
                  "MimeType=audio/x-mod;\n");
    dir.WriteFile("data/applications/playlists.desktop",
                  "[Desktop Entry]\nType=Application\nName=Lists\nExec=" + (dir / "bin/lists") +
                      " --play %F\nMimeType=audio/x-mpegurl;\n");
    dir.WriteFile("bin/lists", "#!/bin/sh\n");
    std::filesystem::permissions(dir / "bin/lists", std::filesystem::perms::owner_all);
    // What update-desktop-database writes: the applications of each type.
    dir.WriteFile("data/applications/mimeinfo.cache",
                  "[MIME Cache]\naudio/mpeg=org.veltrane.Veltrane.desktop;testplayer.desktop;\n"
                  "audio/x-mpegurl=org.veltrane.Veltrane.desktop;playlists.desktop;\n"
                  "audio/x-mod=Veltrane-Music-Veltrane.desktop;\n");
    dir.WriteFile("config/mimeapps.list", "[Default Applications]\naudio/mpeg=testplayer.desktop\n"
                                          "audio/x-mpegurl=org.veltrane.Veltrane.desktop\n"
                                          "audio/x-mod=Veltrane-Music-Veltrane.desktop\n");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_DIRS", "/usr/share", 1); // the MIME database
    setenv("XDG_CONFIG_DIRS", (dir / "none").c_str(), 1);
    setenv("XDG_CURRENT_DESKTOP", "", 1);

    GioAssociations associations;
    EXPECT_EQ(associations.CommandForExtension(".mp3"),
              "\"" + (dir / "bin/test player") + "\" --enqueue");
    // Veltrane, the default for playlists, is passed over for the next application.
    EXPECT_EQ(associations.CommandForExtension(".m3u"), (dir / "bin/lists") + " --play");
    EXPECT_EQ(associations.CommandForExtension(".mod"), ""); // only Veltrane
    // A playlist is text to the MIME database; the system's text editor is no player for it,
    // nor a browser for a page.
    EXPECT_EQ(associations.CommandForExtension(".html"), "");
    EXPECT_EQ(associations.CommandForExtension(".no-such-extension-here"), "");

    std::string song = dir.WriteFile("song.mp3", "ID3");
    EXPECT_EQ(associations.CommandForDocument(song),
              "\"" + (dir / "bin/test player") + "\" --enqueue");
}

} // namespace
} // namespace veltrane::platform
