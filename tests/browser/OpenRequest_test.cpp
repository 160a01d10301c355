// What the command line and drops open: the first folder or MP3 file decides the folder;
// names are kept as given for the message, relative ones taken against the start folder.

#include "browser/OpenRequest.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

using Names = std::vector<std::string>;

TEST(OpenRequest, FirstFolderOrFileDecides) {
    test::TestDir dir;
    dir.WriteFile("a.mp3", "x");
    dir.WriteFile("B.MP3", "x");
    dir.WriteFile("notes.txt", "x");
    dir.WriteFile("sub/c.mp3", "x");
    dir.MakeDir("folder.mp3");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("a.mp3", (dir / "link.mp3").c_str()), 0);
    const std::string d = dir.path().string();

    struct Case {
        Names paths;
        std::string directory;
        Names select, elsewhere, refused;
    } cases[] = {
        {{"sub/"}, d + "/sub", {}, {}, {}},
        {{"a.mp3", "./B.MP3", "a.mp3"}, d, {d + "/a.mp3", d + "/B.MP3"}, {}, {}},
        {{"sub/../a.mp3", "sub/c.mp3", "sub"}, d, {d + "/a.mp3"}, {"sub/c.mp3", "sub"}, {}},
        {{"notes.txt", "gone.mp3", "", "pipe.mp3", "sub/c.mp3"}, d + "/sub", {d + "/sub/c.mp3"},
         {}, {"notes.txt", "gone.mp3", "", "pipe.mp3"}},
        // A folder first: its own MP3 files are chosen in it, a second folder is named.
        {{"folder.mp3", d + "/sub", "link.mp3"}, d + "/folder.mp3", {}, {d + "/sub", "link.mp3"},
         {}},
        {{d + "/sub", "sub/c.mp3", "sub"}, d + "/sub", {d + "/sub/c.mp3"}, {}, {}},
        {{"link.mp3"}, d, {d + "/link.mp3"}, {}, {}},
        {{}, "", {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paths.empty() ? std::string("(none)") : c.paths.front());
        const TOpenRequest r = MakeOpenRequest(c.paths, d);
        EXPECT_EQ(r.Directory, c.directory);
        EXPECT_EQ(r.Select, c.select);
        EXPECT_EQ(r.Elsewhere, c.elsewhere);
        EXPECT_EQ(r.Refused, c.refused);
        EXPECT_EQ(CanOpenAll(c.paths, d), !c.paths.empty() && c.refused.empty());
    }
}

TEST(OpenRequest, MessageNamesWhatWasLeftOut) {
    TOpenRequest r;
    r.Directory = "/m";
    EXPECT_EQ(OpenRequestMessage(r), "");
    r.Elsewhere = {"/n/x.mp3"};
    EXPECT_EQ(OpenRequestMessage(r), "These are not in /m and were not selected:\n\n/n/x.mp3");
    r.Elsewhere.clear();
    for (int i = 0; i < 22; ++i)
        r.Refused.push_back("f" + std::to_string(i));
    const std::string text = OpenRequestMessage(r);
    EXPECT_EQ(text.rfind("These are neither folders nor MP3 files and were not opened:\n\nf0\n", 0), 0u);
    EXPECT_NE(text.find("\nf19\n... and 2 more"), std::string::npos);
}

} // namespace
} // namespace veltrane
