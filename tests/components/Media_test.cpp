#include "components/FileSrc.h"
#include "components/Lzrw1Kh.h"
#include "media/Media.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

struct Store {
    const char* name;
    const char* extension;
    std::string_view data;
    std::string_view magic;
    std::size_t magicAt;
};

const Store kStores[] = {
    {"FileSourceBackImage", ".bmp", media::BackImageFileData(), "BM", 0},
    {"FileSourceSearchFiles", ".Avi", media::SearchFilesFileData(), "AVI LIST", 8},
    {"FileSourceSoundFile", ".mod", media::SoundFileFileData(), "M.K.", 1080},
};

TEST(Media, BlobsAreStableFileData) {
    TCompressStream cs;
    for (const Store& s : kStores) {
        ASSERT_EQ(s.data.substr(0, 6), "PMCS10") << s.name;
        const std::string file = cs.DecompressBytes(s.data);
        EXPECT_EQ(file.substr(s.magicAt, s.magic.size()), s.magic) << s.name;
        EXPECT_EQ(cs.CompressBytes(file), s.data) << s.name;
    }
}

TEST(Media, TheThreeStoresWriteTheirFilesToTheTempDirAndRemoveThem) {
    test::TestDir dir;
    const std::string tmp = dir.MakeDir("tmp");
    const char* oldTmpDir = std::getenv("TMPDIR");
    const std::string saved = oldTmpDir ? oldTmpDir : "";
    setenv("TMPDIR", tmp.c_str(), 1);

    std::vector<std::string> written;
    {
        std::vector<std::unique_ptr<TFileSource>> stores;
        for (const Store& s : kStores) {
            auto fsrc = std::make_unique<TFileSource>(s.name);
            fsrc->SetCompress(true);
            fsrc->SetExtension(s.extension);
            fsrc->ReadFileData(s.data);
            written.push_back(fsrc->FileName());
            stores.push_back(std::move(fsrc));
        }
        for (std::size_t i = 0; i < written.size(); ++i) {
            const fs::path p(written[i]);
            EXPECT_EQ(p.parent_path(), fs::path(tmp));
            EXPECT_EQ(p.extension(), kStores[i].extension);
            EXPECT_EQ(p.filename().string().substr(0, 3), "~fs");
            std::ifstream in(p, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            EXPECT_EQ(bytes.str(), TCompressStream().DecompressBytes(kStores[i].data));
        }
    }
    for (const std::string& w : written)
        EXPECT_FALSE(fs::exists(w)) << w;
    EXPECT_TRUE(fs::is_empty(tmp));

    if (oldTmpDir)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

} // namespace
} // namespace veltrane
