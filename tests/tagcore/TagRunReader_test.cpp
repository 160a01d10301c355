#include "tagcore/TagRunReader.h"

#include "tagcore/TailRunReader.h"

#include "support/AudioFiles.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace veltrane {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::Mp3Frames;
using test::RawTag;

// What a read gives, as one comparable text: the tag and size, or the error's code.
std::string Outcome(const std::function<TMP3Tag(std::uint64_t*)>& read) {
    std::uint64_t size = 7;
    try {
        const TMP3Tag t = read(&size);
        return t.FileName + "|" + t.Header + "|" + t.Title + "|" + t.Comment + "|" +
               std::to_string(t.Track) + "|" + std::to_string(t.Genre) + "|" + std::to_string(size);
    } catch (const EInOutError& e) {
        return "error " + std::to_string(e.ErrorCode());
    }
}

mode_t ModeOf(const std::string& path) {
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

// Every kind of entry, in runs that start anywhere and overlap the run's limit, with and
// without the ring, reads exactly as GetMP3Tag reads it, write bit included.
TEST(TagRunReader, EveryEntryReadsAsGetMP3TagReadsIt) {
    test::TestDir dir;
    std::vector<std::string> kinds = {
        dir.WriteFile("tagged.mp3", Mp3Bytes(300, RawTag{"Song", "Band", "", "", "Note", 17})),
        dir.WriteFile("untagged.mp3", Mp3BytesNoTag(300)),
        dir.WriteFile("short.mp3", std::string(10, 'x')),
        dir.WriteFile("empty.mp3", ""),
        dir.WriteFile("just.mp3", Mp3Bytes(0, RawTag{"Only", "", "", "", "", 1})),
        dir / "missing.mp3",
        dir.MakeDir("folder.mp3"),
    };
    std::string track = Mp3Bytes(100, RawTag{"T", "", "", "", "c", 2});
    track[track.size() - 3] = '\0';
    track[track.size() - 2] = '\x05';
    kinds.push_back(dir.WriteFile("track.mp3", track));
    kinds.push_back(dir / "fifo.mp3");
    ASSERT_EQ(::mkfifo(kinds.back().c_str(), 0644), 0);
    kinds.push_back(dir / "link.mp3");
    ASSERT_EQ(::symlink(kinds[0].c_str(), kinds.back().c_str()), 0);
    const std::string readOnly =
        dir.WriteFile("readonly.mp3", Mp3Bytes(50, RawTag{"R", "", "", "", "", 3}));
    kinds.push_back(readOnly);

    std::vector<std::string> paths;
    for (std::size_t i = 0; i < 150; ++i)
        paths.push_back(kinds[i % kinds.size()]);
    for (const std::uint64_t minSize : {0u, 200u}) {
        std::vector<std::string> expected;
        ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
        for (const std::string& p : paths)
            expected.push_back(Outcome(
                [&](std::uint64_t* s) { return GetMP3Tag(p, TagCodec::Default(), s, minSize); }));
        // Below MinSize a file is only measured, its mode left as it is.
        EXPECT_EQ(ModeOf(readOnly), minSize ? 0444u : 0644u);
        for (const bool ring : {true, false}) {
            for (const std::size_t start : {std::size_t{0}, std::size_t{5}}) {
                SCOPED_TRACE(std::string(ring ? "ring" : "no ring") + ", runs from " +
                             std::to_string(start) + ", smallest " + std::to_string(minSize));
                ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
                TTagRunReader reader([&](std::size_t i) { return paths[i]; }, minSize, ring);
                TDirectoryCache folders;
                for (std::size_t i = 0; i < paths.size(); ++i) {
                    if (i < start) {
                        EXPECT_FALSE(reader.Holds(i)); // read as it comes
                    } else if ((i - start) % TTagRunReader::kMaxRun == 0) {
                        reader.Prepare(i, std::min(paths.size(), i + TTagRunReader::kMaxRun + 9),
                                       &folders);
                    }
                    EXPECT_EQ(reader.Holds(i), reader.UsesRing() && i >= start) << i;
                    EXPECT_EQ(Outcome([&](std::uint64_t* s) {
                                  return reader.Read(i, TagCodec::Default(), s, &folders);
                              }),
                              expected[i])
                        << paths[i];
                    EXPECT_FALSE(reader.Holds(i)); // an entry is handed out once
                }
                EXPECT_EQ(ModeOf(readOnly), minSize ? 0444u : 0644u);
            }
        }
    }
}

// A file cut between its open and the run's read of its tail: the short read is refused
// ("Read beyond end of file"), never taken with what the buffer held before; its neighbours
// read as usual, with the ring or without.
TEST(TagRunReader, AFileCutAfterItsOpenIsRefused) {
    test::TestDir dir;
    const std::vector<std::string> paths = {
        dir.WriteFile("0.mp3", Mp3Bytes(300, RawTag{"Zero", "", "", "", "", 0})),
        dir.WriteFile("1.mp3", Mp3Bytes(300, RawTag{"Cut", "", "", "", "", 0})),
        dir.WriteFile("2.mp3", Mp3Bytes(300, RawTag{"Two", "", "", "", "", 0}))};
    for (const bool ring : {true, false}) {
        SCOPED_TRACE(ring ? "ring" : "no ring");
        for (const std::string& p : paths)
            ASSERT_EQ(::truncate(p.c_str(), 428), 0);
        TTailRunReader reader(
            [&](std::size_t i, TDirectoryCache*) {
                TTailOpen open;
                open.Path = paths[i];
                open.File.reset(::open(paths[i].c_str(), O_RDONLY | O_CLOEXEC));
                ::fstat(open.File.get(), &open.Status);
                open.TailEnd = static_cast<std::uint64_t>(open.Status.st_size);
                open.TailLength = 128;
                if (i == 1) {
                    EXPECT_EQ(::truncate(paths[i].c_str(), 350), 0);
                }
                return open;
            },
            ring);
        reader.Prepare(0, 3, nullptr);
        std::vector<std::string> outcomes;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            try {
                outcomes.push_back(
                    ParseTagBytes(reader.Read(i, nullptr).Bytes, TagCodec::Default()).Title);
            } catch (const EInOutError& e) {
                outcomes.push_back("error " + std::to_string(e.ErrorCode()));
            }
        }
        EXPECT_EQ(outcomes, (std::vector<std::string>{"Zero", "error 100", "Two"}));
    }
}

// Out of descriptors in the middle of a run: the files the run could not open are read one
// by one afterwards, none of them reported as failing.
TEST(TagRunReader, TooFewDescriptorsForTheRunFailsNoFile) {
    test::TestDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 64; ++i)
        paths.push_back(
            dir.WriteFile(std::to_string(i) + ".mp3",
                          Mp3Bytes(40, RawTag{"T" + std::to_string(i), "", "", "", "", 0})));
    TTagRunReader reader([&](std::size_t i) { return paths[i]; });
    if (!reader.UsesRing())
        GTEST_SKIP() << "io_uring is not offered here: every file is read on its own anyway";
    TDirectoryCache folders;
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(probe, 0);
    ::close(probe);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(probe) + 20; // room for about 20 files
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    reader.Prepare(0, 64, &folders);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &old), 0);
    EXPECT_TRUE(reader.Holds(0));
    EXPECT_FALSE(reader.Holds(63));
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(reader.Read(i, TagCodec::Default(), nullptr, &folders).Title,
                  "T" + std::to_string(i));
}

// The audio read with the run is what a read of the whole file gives: a head that holds the
// frames, one that ends inside an ID3v2 tag, one that holds only part of the frames looked at.
TEST(TagRunReader, AudioReadWithTheRunIsTheFilesOwn) {
    test::TestDir dir;
    const std::string id3 = std::string("ID3\x03\x00\x00\x00\x01\x7F\x7F", 10) + std::string(32767, '\0');
    std::vector<std::string> kinds = {
        dir.WriteFile("cbr.mp3", Mp3Frames(100) + test::TagBytes({"S", "", "", "", "", 1})),
        dir.WriteFile("tagged.mp3", id3 + Mp3Frames(15) + Mp3Frames(1, 160) + Mp3Frames(200)),
        dir.WriteFile("late.mp3", std::string(15000, 'x') + Mp3Frames(60)),
        dir.WriteFile("none.mp3", Mp3BytesNoTag(70000)),
        dir.WriteFile("small.mp3", Mp3Frames(3)),
    };
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < 70; ++i)
        paths.push_back(kinds[i % kinds.size()]);
    const auto text = [](const TMpegAudio& a) {
        return std::to_string(a.Seconds) + "|" + std::to_string(a.Kbps) + "|" + std::to_string(a.Vbr) +
               "|" + std::string(AudioNoteText(a.Note)) + "|" + std::to_string(a.AudioStart);
    };
    for (const bool ring : {true, false}) {
        TTagRunReader reader([&](std::size_t i) { return paths[i]; }, 2000, ring, true);
        TDirectoryCache folders;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            SCOPED_TRACE(paths[i]);
            reader.PrepareRunAt(i, paths.size(), &folders);
            TMpegAudio audio;
            audio.Kbps = -1;
            const TMP3Tag tag = reader.Read(i, TagCodec::Default(), nullptr, &folders, &audio);
            if (i % kinds.size() == 4) {
                EXPECT_EQ(audio.Kbps, -1); // below the smallest size: only measured
                continue;
            }
            EXPECT_EQ(text(audio), text(GetMpegAudio(paths[i], tag.Header == "TAG" ? 128 : 0)));
            EXPECT_EQ(audio.Vbr, i % kinds.size() == 1);
            EXPECT_EQ(audio.HasAudio(), i % kinds.size() != 3);
        }
    }
}

} // namespace
} // namespace veltrane
