#include "cli/Cli.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane::cli {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::RawTag;

std::string List(std::vector<std::string> args, int expectedStatus = 0) {
    std::ostringstream out, err;
    args.insert(args.begin(), "list");
    EXPECT_EQ(RunCli(args, out, err), expectedStatus) << err.str();
    return out.str();
}

TEST(List, RowsColumnsAndOrder) {
    test::TestDir dir;
    dir.WriteFile("b.mp3", Mp3Bytes(20000, {"Song B", "Zed", "Al", "1999", "C", 17}));
    dir.WriteFile("A.mp3", Mp3Bytes(20000, {"Song A", "Abe", "", "2001", "", 200}));
    dir.WriteFile("small.mp3", Mp3BytesNoTag(1000));
    dir.WriteFile("Sub/c.mp3", Mp3BytesNoTag(20000));
    const std::string d = dir.path().string();
    EXPECT_EQ(List({d}), "A.mp3\tSong A\tAbe\t\t2001\t\t\n"
                         "b.mp3\tSong B\tZed\tAl\t1999\tRock\tC\n");
    EXPECT_EQ(List({"--recursive", "--sort", "-1", d}), "Sub/c.mp3\t\t\t\t\t\t\n"
                                                        "b.mp3\tSong B\tZed\tAl\t1999\tRock\tC\n"
                                                        "A.mp3\tSong A\tAbe\t\t2001\t\t\n");
    EXPECT_EQ(List({"--sort", "3", d}).substr(0, 5), "A.mp3");
    EXPECT_EQ(List({"--sort", "5", d + "/"}).substr(0, 5), "b.mp3");
    EXPECT_EQ(List({"--sort", "-5", d}).substr(0, 5), "A.mp3");
}

TEST(List, AwkwardNamesAndTexts) {
    test::TestDir dir;
    dir.WriteFile("tab\there \"q\";.mp3", Mp3BytesNoTag(20000));
    dir.WriteFile("line\nbreak.mp3", Mp3BytesNoTag(20000));
    dir.WriteFile("\xe9t\xe9 -x.mp3", Mp3Bytes(20000, {"\xe9t\xe9", "a\\b", "", "", "", 255}));
    EXPECT_EQ(List({dir.path().string()}),
              "line\\nbreak.mp3\t\t\t\t\t\t\n"
              "tab\\there \"q\";.mp3\t\t\t\t\t\t\n"
              "\\xe9t\\xe9 -x.mp3\t\xc3\xa9t\xc3\xa9\ta\\\\b\t\t\t\t\n");
}

// Directories nested under root until the path passes 4,096 bytes; returns the deepest one.
// Made and removed through descriptors, as no single path call can reach the bottom.
std::string MakeDeepDir(const std::string& root, const std::string& name, int levels) {
    std::string path = root;
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels; ++i) {
        EXPECT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += "/" + name;
    }
    ::close(fd);
    return path;
}

void RemoveDeepDir(const std::string& root, const std::string& name, int levels,
                   const std::string& file) {
    std::vector<int> fds{::open(root.c_str(), O_RDONLY | O_DIRECTORY)};
    for (int i = 0; i < levels; ++i)
        fds.push_back(::openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    ::unlinkat(fds.back(), file.c_str(), 0);
    for (int i = levels; i > 0; --i) {
        ::close(fds[std::size_t(i)]);
        ::unlinkat(fds[std::size_t(i - 1)], name.c_str(), AT_REMOVEDIR);
    }
    ::close(fds[0]);
}

TEST(Scans, PathsLongerThanPathMaxAreReadAndWritten) {
    test::TestDir dir;
    const std::string name(200, 'd');
    const int levels = 22;
    const std::string deep = MakeDeepDir(dir.path().string(), name, levels);
    ASSERT_GT(deep.size(), 4096u);
    {
        const int fd = ::open((dir.path().string()).c_str(), O_RDONLY | O_DIRECTORY);
        int at = fd;
        for (int i = 0; i < levels; ++i) {
            const int next = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY);
            if (at != fd)
                ::close(at);
            at = next;
        }
        const std::string bytes = Mp3Bytes(20000, RawTag{"Deep", "", "", "", "", 255});
        const int file = ::openat(at, "song.mp3", O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::write(file, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(file);
        ::close(at);
        ::close(fd);
    }
    const std::string song = deep + "/song.mp3";
    const std::string relative = song.substr(dir.path().string().size() + 1);
    EXPECT_EQ(List({"--recursive", dir.path().string()}), relative + "\tDeep\t\t\t\t\t\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"tag", "set", "--artist", "Far", song}, out, err), 0) << err.str();
    EXPECT_EQ(RunCli({"tag", "show", "--recursive", dir.path().string()}, out, err), 0)
        << err.str();
    EXPECT_NE(out.str().find("\tDeep\tFar\t"), std::string::npos) << out.str();
    RemoveDeepDir(dir.path().string(), name, levels, "song.mp3");
}

TEST(Scans, BrokenLinksAreNamedAndTheExitStatusIsOne) {
    test::TestDir dir;
    dir.WriteFile("good.mp3", Mp3Bytes(20000, RawTag{"Good", "", "", "", "", 255}));
    ASSERT_EQ(::symlink("gone.mp3", (dir / "dangling.mp3").c_str()), 0);
    const std::vector<std::vector<std::string>> commands = {
        {"list", dir.path().string()},
        {"find", "--filter", "*.mp3", dir.path().string()},
        {"tag", "show", dir.path().string()},
        {"select", "--text", "Good", dir.path().string()},
    };
    for (const auto& args : commands) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCli(args, out, err), 1) << args[0];
        EXPECT_EQ(err.str(),
                  "veltrane-cli: " + (dir / "dangling.mp3") + ": dangling symbolic link\n")
            << args[0];
        EXPECT_NE(out.str().find("good.mp3"), std::string::npos) << args[0];
    }
}

TEST(List, NothingFoundAndBadInput) {
    test::TestDir dir;
    EXPECT_EQ(List({dir.path().string()}), "No mp3's found!\n");
    EXPECT_EQ(List({dir / "missing"}), "No mp3's found!\n");
    dir.WriteFile("tiny.mp3", "x");
    EXPECT_EQ(List({dir.path().string()}), ""); // found but too small: no rows at all
    List({"--sort", "8", dir.path().string()}, 2);
    List({"--sort", "0", dir.path().string()}, 2);
    List({"--sort", "x", dir.path().string()}, 2);
    List({}, 2);
    List({"--codepage", "UTF-8", dir.path().string()}, 2);
}

TEST(List, CodePageOfTheTags) {
    test::TestDir dir;
    dir.WriteFile("a.mp3", Mp3Bytes(20000, {"\xe0", "", "", "", "", 255}));
    EXPECT_EQ(List({"--codepage", "ISO-8859-5", dir.path().string()}),
              "a.mp3\t\xd1\x80\t\t\t\t\t\n");
}

} // namespace
} // namespace veltrane::cli
