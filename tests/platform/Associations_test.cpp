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
    dir.WriteFile("config/mimeapps.list",
                  "[Default Applications]\naudio/mpeg=testplayer.desktop\n");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_DIRS", "/usr/share", 1); // the MIME database
    setenv("XDG_CONFIG_DIRS", (dir / "none").c_str(), 1);
    setenv("XDG_CURRENT_DESKTOP", "", 1);

    GioAssociations associations;
    EXPECT_EQ(associations.CommandForExtension(".mp3"),
              "\"" + (dir / "bin/test player") + "\" --enqueue");
    EXPECT_EQ(associations.CommandForExtension(".mod"), "");
    EXPECT_EQ(associations.CommandForExtension(".no-such-extension-here"), "");

    std::string song = dir.WriteFile("song.mp3", "ID3");
    EXPECT_EQ(associations.CommandForDocument(song),
              "\"" + (dir / "bin/test player") + "\" --enqueue");
}

} // namespace
} // namespace veltrane::platform
