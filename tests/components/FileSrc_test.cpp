#include "components/FileSrc.h"

#include "components/Lzrw1Kh.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Points the temporary directory at a fresh folder for one test.
class FileSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* v : {"TMPDIR", "TEMP", "TMP"})
            if (const char* old = std::getenv(v))
                saved_.emplace_back(v, old);
        tmp_ = dir_.MakeDir("tmp");
        setenv("TMPDIR", (tmp_ + "/").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TMPDIR");
        for (auto& [k, v] : saved_)
            setenv(k.c_str(), v.c_str(), 1);
    }
    std::size_t FilesInTmp() const {
        return std::size_t(std::distance(fs::directory_iterator(tmp_), fs::directory_iterator()));
    }

    test::TestDir dir_;
    std::string tmp_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(FileSourceTest, TemporaryDirectoryOrder) {
    EXPECT_EQ(TemporaryDirectory(), tmp_);
    setenv("TMPDIR", "", 1);
    setenv("TEMP", "/a", 1);
    setenv("TMP", "/b", 1);
    EXPECT_EQ(TemporaryDirectory(), "/a");
    unsetenv("TEMP");
    EXPECT_EQ(TemporaryDirectory(), "/b");
    unsetenv("TMP");
    EXPECT_EQ(TemporaryDirectory(), "/tmp");
}

TEST_F(FileSourceTest, CompressedRoundTripThroughTheTempDir) {
    const std::string original = std::string(5000, 'x') + "some bytes \xff\x00 end";
    const std::string src = dir_.WriteFile("Back.bmp", original);

    TFileSource builder("FileSourceBackImage");
    builder.SetCompress(true);
    EXPECT_TRUE(builder.Store());
    builder.SetFileName(src);
    EXPECT_EQ(builder.Extension(), ".bmp");
    EXPECT_FALSE(builder.OwnsFile());
    const std::optional<std::string> data = builder.WriteFileData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->substr(0, 6), "PMCS10");

    std::string written;
    {
        TFileSource loaded("FileSourceBackImage");
        loaded.SetCompress(true);
        loaded.SetExtension(".bmp");
        loaded.ReadFileData(*data);
        written = loaded.FileName();
        EXPECT_TRUE(loaded.OwnsFile());
        EXPECT_TRUE(std::regex_match(fs::path(written).filename().string(),
                                     std::regex(R"(~fs[0-9]{1,2}0\.bmp)")))
            << written;
        EXPECT_EQ(fs::path(written).parent_path(), fs::path(tmp_));
        EXPECT_EQ(Slurp(written), original);
    }
    EXPECT_FALSE(fs::exists(written));
    EXPECT_TRUE(fs::exists(src)); // a file it did not make stays
}

TEST_F(FileSourceTest, PlainFormatAndStoreOff) {
    const std::string src = dir_.WriteFile("a.mod", "MOD");
    TFileSource s("FileSourceSoundFile");
    s.SetFileName(src);
    EXPECT_FALSE(s.WriteFileData()); // Store off: nothing stored
    s.SetStore(true);
    EXPECT_EQ(*s.WriteFileData(), std::string("\x03\0\0\0MOD", 7));
    TFileSource t("T");
    t.SetExtension(".mod");
    t.ReadFileData(std::string("\x03\0\0\0MOD", 7));
    EXPECT_EQ(Slurp(t.FileName()), "MOD");
}

TEST_F(FileSourceTest, MissingFileCannotBeStored) {
    TFileSource s("FileSourceSearchFiles");
    s.SetCompress(true);
    s.SetFileName("/nonexistent/clip.Avi");
    EXPECT_EQ(s.FileName(), "");
    try {
        s.WriteFileData();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(
            e.what(),
            "FileSourceSearchFiles cannot store file: /nonexistent/clip.Avi (file is missing)");
    }
}

TEST_F(FileSourceTest, SettingFileNameDropsTheOwnedFile) {
    TFileSource s("S");
    s.SetCompress(true);
    s.SetExtension(".Avi");
    s.ReadFileData(TCompressStream().CompressBytes("RIFF"));
    const std::string made = s.FileName();
    ASSERT_TRUE(fs::exists(made));
    s.SetFileName(dir_ / "other.bmp");
    EXPECT_FALSE(fs::exists(made));
    EXPECT_FALSE(s.OwnsFile());
    EXPECT_EQ(s.Extension(), ".bmp");
    EXPECT_EQ(s.FileName(), ""); // other.bmp does not exist
}

TEST_F(FileSourceTest, CounterSkipsTakenNamesAndLinks) {
    dir_.WriteFile("tmp/~fs70.bmp", "taken");
    fs::create_symlink(dir_ / "victim", tmp_ + "/~fs71.bmp");
    int fd = -1;
    const std::string path = CreateTempFile(tmp_, 7, ".bmp", fd);
    ::close(fd);
    EXPECT_EQ(path, tmp_ + "/~fs72.bmp");
    EXPECT_FALSE(fs::exists(dir_ / "victim")); // the link was not followed
    EXPECT_EQ(Slurp(tmp_ + "/~fs70.bmp"), "taken");
    EXPECT_THROW(CreateTempFile(dir_ / "missing", 7, ".bmp", fd), std::system_error);
}

TEST_F(FileSourceTest, CorruptDataLeavesNothingBehind) {
    TFileSource s("S");
    s.SetCompress(true);
    s.SetExtension(".bmp");
    std::string data = TCompressStream().CompressBytes(std::string(100000, 'a'));
    data.resize(data.size() - 3);
    EXPECT_THROW(s.ReadFileData(data), ECompressedData);
    EXPECT_EQ(FilesInTmp(), 0u);
    EXPECT_EQ(s.FileName(), "");
    EXPECT_THROW(s.ReadFileData("GARBAGE"), ECompressedData);
    EXPECT_EQ(FilesInTmp(), 0u);
}

} // namespace
} // namespace veltrane
