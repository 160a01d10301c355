#include "platform/Profile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace veltrane::platform {
namespace {

TEST(Profile, MissingFileSectionOrKeyGivesFallback) {
    test::TestDir dir;
    std::string ini = dir / "none.ini";
    EXPECT_EQ(GetPrivateProfileString("Preferences", "DefaultDir", ".", ini), ".");
    dir.WriteFile("a.ini", "[Other]\nDefaultDir=/x\n");
    EXPECT_EQ(GetPrivateProfileString("Preferences", "DefaultDir", ".", dir / "a.ini"), ".");
    EXPECT_TRUE(ProfileKeys("Preferences", ini).empty());
}

TEST(Profile, NamesMatchIgnoringAsciiCaseValuesKeptAsWritten) {
    test::TestDir dir;
    std::string ini =
        dir.WriteFile("a.ini", "; comment\n[preferences]\n  defaultdir =  /Music/A b \n"
                               "Path\\With/Slash=\"quoted\"\n");
    EXPECT_EQ(GetPrivateProfileString("Preferences", "DefaultDir", "", ini), "/Music/A b ");
    EXPECT_EQ(GetPrivateProfileString("PREFERENCES", "path\\with/slash", "", ini), "\"quoted\"");
    EXPECT_EQ(ProfileKeys("Preferences", ini),
              (std::vector<std::string>{"defaultdir", "Path\\With/Slash"}));
}

TEST(Profile, IntegersAreWholeNumbersElseFallback) {
    test::TestDir dir;
    std::string ini = dir.WriteFile("a.ini", "[S]\na=12\nb=-1\nc=1x\nd=\ne= 7 \n");
    EXPECT_EQ(GetPrivateProfileInt("S", "a", 5, ini), 12);
    EXPECT_EQ(GetPrivateProfileInt("S", "b", 5, ini), -1);
    EXPECT_EQ(GetPrivateProfileInt("S", "c", 5, ini), 5);
    EXPECT_EQ(GetPrivateProfileInt("S", "d", 5, ini), 5);
    EXPECT_EQ(GetPrivateProfileInt("S", "e", 5, ini), 7);
    EXPECT_EQ(GetPrivateProfileInt("S", "missing", 5, ini), 5);
}

TEST(Profile, WriteCreatesFileAndSection) {
    test::TestDir dir;
    std::string ini = dir / "new.ini";
    ASSERT_TRUE(WritePrivateProfileString("Preferences", "DeleteToRecycleBin", "0", ini).ok());
    ASSERT_TRUE(WritePrivateProfileString("Preferences", "DefaultDir", "/m;x", ini).ok());
    EXPECT_EQ(dir.ReadFile("new.ini"), "[Preferences]\nDeleteToRecycleBin=0\nDefaultDir=/m;x\n");
}

TEST(Profile, WriteKeepsOtherLinesByteForByte) {
    test::TestDir dir;
    std::string before = "\xEF\xBB\xBFjunk line\r\n[A]\r\nk = v  \r\n\r\n[Preferences]\r\n"
                         "; note\r\nDefaultDir=/old\r\nOther=\xE9\r\n\r\n[Z]\r\nz=1";
    std::string ini = dir.WriteFile("a.ini", before);
    ASSERT_TRUE(WritePrivateProfileString("PREFERENCES", "defaultdir", "/new", ini).ok());
    std::string after = before;
    after.replace(after.find("DefaultDir=/old"), 15, "defaultdir=/new");
    EXPECT_EQ(dir.ReadFile("a.ini"), after);

    // A new key joins the end of its section, before the blank separator; CRLF style kept.
    ASSERT_TRUE(WritePrivateProfileString("Preferences", "Added", "1", ini).ok());
    after.replace(after.find("Other=\xE9\r\n") + 9, 0, "Added=1\r\n");
    EXPECT_EQ(dir.ReadFile("a.ini"), after);

    // A new section after a last line without line end.
    ASSERT_TRUE(WritePrivateProfileString("New", "n", "2", ini).ok());
    EXPECT_EQ(dir.ReadFile("a.ini"), after + "\r\n[New]\r\nn=2\r\n");
}

TEST(Profile, EraseSectionAndDeleteKey) {
    test::TestDir dir;
    std::string ini = dir.WriteFile("a.ini", "[A]\na=1\n[B]\nb=2\nc=3\n[C]\nc=4\n");
    ASSERT_TRUE(EraseProfileSection("b", ini).ok());
    EXPECT_EQ(dir.ReadFile("a.ini"), "[A]\na=1\n[C]\nc=4\n");
    ASSERT_TRUE(DeleteProfileKey("A", "A", ini).ok());
    EXPECT_EQ(dir.ReadFile("a.ini"), "[A]\n[C]\nc=4\n");
    EXPECT_TRUE(EraseProfileSection("missing", ini).ok());
    EXPECT_EQ(ProfileSections(ini), (std::vector<std::string>{"A", "C"}));
}

TEST(Profile, RefusesTextThatWouldBreakTheFormat) {
    test::TestDir dir;
    std::string ini = dir / "a.ini";
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "two\nlines", ini).ok());
    EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "v", ini).ok());
    EXPECT_FALSE(WritePrivateProfileString("S]", "k", "v", ini).ok());
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST(Profile, FailedWriteIsReported) {
    test::TestDir dir;
    std::string ini = dir / "missing-dir/a.ini";
    ProfileStatus status = WritePrivateProfileString("S", "k", "v", ini);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.error, ENOENT);
}

TEST(Profile, WriteThroughLinkKeepsTheLink) {
    test::TestDir dir;
    std::string real = dir.WriteFile("real.ini", "[S]\nk=1\n");
    std::filesystem::create_symlink(real, dir / "link.ini");
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", dir / "link.ini").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.ReadFile("real.ini"), "[S]\nk=2\n");
}

// What a whole-file write holds comes back exactly; what would not is named and refused
// before anything is written, so the old file stays.
TEST(Profile, WholeFileRoundTripsOrNamesTheCharacter) {
    struct Case {
        std::string key, value, problem;
    } cases[] = {
        {"/home/u/opt/Veltrane/", "", ""},
        {"/home/u/a b/x y", "Spaced :~:item ", ""},
        {"/home/u/a=b/", "", "\"=\""},
        {"/home/u/x\ny/", "", "a line break"},
        {"/home/u/x\ry/", "", "a line break"},
        {"trail ", "", "a trailing blank"},
        {" lead", "", "a leading blank"},
        {";comment", "", "\";\" at its start"},
        {"[section", "", "\"[\" at its start"},
        {"0", " Spaced :~:", "a leading blank"},
        {"0", "two\nlines", "a line break"},
        {std::string("nul\0byte", 8), "", "a NUL byte"},
    };
    test::TestDir dir;
    const std::string ini = dir.WriteFile("log.ini", "old");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + "|" + c.value);
        const std::string problem =
            ProfileKeyProblem(c.key).empty() ? ProfileValueProblem(c.value) : ProfileKeyProblem(c.key);
        EXPECT_EQ(problem, c.problem);
        const std::vector<ProfileSection> written{{"Files", {{c.key, c.value}, {"other", "x"}}}, {"Language", {}}};
        const ProfileStatus status = WriteProfileFile(ini, written);
        std::vector<ProfileSection> back;
        ASSERT_EQ(ReadProfileFile(ini, back), 0);
        if (c.problem.empty()) {
            ASSERT_TRUE(status.ok());
            ASSERT_EQ(back.size(), 2u);
            EXPECT_EQ(back[0].keys, written[0].keys);
        } else {
            EXPECT_EQ(status.error, EINVAL);
            EXPECT_EQ(dir.ReadFile("log.ini"), "old");
        }
        dir.WriteFile("log.ini", "old");
    }
    EXPECT_EQ(ProfileSectionProblem("a]b"), "\"]\"");
    // Comment lines are never keys, and a FIFO is refused at once instead of read.
    dir.WriteFile("c.ini", "[Files]\n;/etc/passwd=\n/a=\n");
    std::vector<ProfileSection> back;
    ASSERT_EQ(ReadProfileFile(dir / "c.ini", back), 0);
    EXPECT_EQ(back[0].keys, (std::vector<std::pair<std::string, std::string>>{{"/a", ""}}));
    ::mkfifo((dir / "fifo").c_str(), 0600);
    EXPECT_EQ(ReadProfileFile(dir / "fifo", back), EINVAL);
    EXPECT_EQ(ReadProfileFile(dir / "missing", back), ENOENT);
}

TEST(Profile, ErasingTheLastSectionRemovesTheFile) {
    test::TestDir dir;
    const std::string ini = dir.WriteFile("h.ini", "[UnInstall]\nLog File=x\n\n[MultiDisk Install]\nSource Dir=y\n");
    ASSERT_TRUE(EraseProfileSectionAndEmptyFile("UnInstall", ini).ok());
    EXPECT_EQ(dir.ReadFile("h.ini"), "[MultiDisk Install]\nSource Dir=y\n");
    ASSERT_TRUE(EraseProfileSectionAndEmptyFile("multidisk install", ini).ok());
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_TRUE(EraseProfileSectionAndEmptyFile("UnInstall", ini).ok());
}

} // namespace
} // namespace veltrane::platform
