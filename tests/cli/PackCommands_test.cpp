#include "cli/Cli.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane::cli {
namespace {

int Cli(std::vector<std::string> args, std::string* errText = nullptr) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    if (errText)
        *errText = err.str();
    return status;
}

std::string Bytes(std::size_t n) {
    std::mt19937 rng{static_cast<unsigned>(n)};
    std::string s;
    while (s.size() < n)
        s += (rng() % 3 == 0) ? std::string(1 + rng() % 40, char(rng())) : "Title Artist ";
    s.resize(n);
    return s;
}

TEST(Pack, RoundTripsBothFormats) {
    test::TestDir dir;
    for (std::size_t n : {0u, 1u, 32783u, 32784u, 100000u}) {
        const std::string data = Bytes(n);
        const std::string in = dir.WriteFile("in", data);
        ASSERT_EQ(Cli({"pack", in, dir / "b"}), 0);
        EXPECT_EQ(dir.ReadFile("b").substr(0, 6), "PMCS10");
        ASSERT_EQ(Cli({"unpack", dir / "b", dir / "out"}), 0);
        EXPECT_EQ(dir.ReadFile("out"), data) << n;
        ASSERT_EQ(Cli({"pack", "--plain", in, dir / "a"}), 0);
        EXPECT_EQ(dir.ReadFile("a").size(), n + 4);
        ASSERT_EQ(Cli({"unpack", dir / "a", dir / "out2"}), 0);
        EXPECT_EQ(dir.ReadFile("out2"), data) << n;
    }
}

TEST(Pack, DamagedInputFailsAndKeepsTheOutput) {
    test::TestDir dir;
    dir.WriteFile("in", Bytes(70000));
    ASSERT_EQ(Cli({"pack", dir / "in", dir / "b"}), 0);
    const std::string packed = dir.ReadFile("b");
    dir.WriteFile("out", "keep me");
    std::string err;
    dir.WriteFile("cut", packed.substr(0, packed.size() - 10));
    EXPECT_EQ(Cli({"unpack", dir / "cut", dir / "out"}, &err), 1);
    EXPECT_NE(err.find("corrupt"), std::string::npos) << err;
    dir.WriteFile("wrong", "PMCS11" + packed.substr(6));
    EXPECT_EQ(Cli({"unpack", dir / "wrong", dir / "out"}, &err), 1);
    dir.WriteFile("short", "xy");
    EXPECT_EQ(Cli({"unpack", dir / "short", dir / "out"}), 1);
    EXPECT_EQ(dir.ReadFile("out"), "keep me");
    EXPECT_EQ(Cli({"unpack", dir / "missing", dir / "out"}), 1);
    EXPECT_EQ(Cli({"pack", dir.path().string(), dir / "out"}, &err), 1); // a directory
    EXPECT_NE(err.find("directory"), std::string::npos) << err;
}

TEST(Pack, FifoAsInputOrOutputIsRefusedAtOnce) {
    test::TestDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string in = dir.WriteFile("in", Bytes(1000));
    std::string err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"pack", fifo, dir / "out"}, {"unpack", fifo, dir / "out"},
          {"pack", in, fifo}, {"pack", "--plain", in, fifo}}) {
        EXPECT_EQ(Cli(args, &err), 1) << args[1] << " " << args[2];
        EXPECT_EQ(err, "veltrane-cli: " + fifo + ": not a regular file\n");
    }
    struct stat st;
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST(Pack, SymbolicLinkAsOutputIsReplacedNotWrittenThrough) {
    test::TestDir dir, elsewhere;
    const std::string target = elsewhere.WriteFile("precious", "do not touch");
    const std::string link = dir / "out";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const std::string data = Bytes(5000);
    ASSERT_EQ(Cli({"pack", "--plain", dir.WriteFile("in", data), link}), 0);
    EXPECT_EQ(elsewhere.ReadFile("precious"), "do not touch");
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(dir.ReadFile("out").size(), data.size() + 4);
}

// A directory where writes stop early: a small tmpfs when root, else a file-size limit.
class FullDisk {
  public:
    explicit FullDisk(const std::string& dir) : dir_(dir) {
        if (::geteuid() == 0) {
            mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0;
            EXPECT_TRUE(mounted_) << "mount a tmpfs";
        }
    }
    ~FullDisk() {
        if (mounted_)
            ::umount(dir_.c_str());
    }
    // Runs f with writes beyond the disk's room failing.
    int Run(const std::function<int()>& f) const {
        if (mounted_)
            return f();
        struct rlimit saved, limit;
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        limit = saved;
        limit.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const int status = f();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        return status;
    }

  private:
    std::string dir_;
    bool mounted_ = false;
};

TEST(Pack, FullDiskLeavesAnExistingOutputExactlyAsItWas) {
    test::TestDir dir;
    const std::string in = dir.WriteFile("in", Bytes(200000));
    ASSERT_EQ(Cli({"pack", in, dir / "packed"}), 0);
    const std::string disk = dir.MakeDir("disk");
    const FullDisk full(disk);
    const std::string old(60000, 'o');
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"unpack", dir / "packed"}, {"pack", in}, {"pack", "--plain", in}}) {
        const std::string out = dir.WriteFile("disk/out", old);
        std::vector<std::string> withOut = args;
        withOut.push_back(out);
        std::string err;
        EXPECT_EQ(full.Run([&] { return Cli(withOut, &err); }), 1) << args[0];
        EXPECT_NE(err.find(out), std::string::npos) << err;
        EXPECT_EQ(dir.ReadFile("disk/out"), old) << args[0];
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk),
                                std::filesystem::directory_iterator()),
                  1)
            << "a temporary file was left behind";
    }
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(Pack, LargeInputPacksAndUnpacksUnderAMemoryLimit) {
    test::TestDir dir;
    constexpr off_t kSize = 256 << 20;
    const std::string in = dir.WriteFile("big", "");
    ASSERT_EQ(::truncate(in.c_str(), kSize), 0);
    const int inFd = ::open(in.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(::pwrite(inFd, "end", 3, kSize - 3), 3);
    ::close(inFd);
    const pid_t child = ::fork();
    if (child == 0) {
        // Far less than the input: only a streamed pack fits.
        struct rlimit limit{128 << 20, 128 << 20};
        ::setrlimit(RLIMIT_AS, &limit);
        const int packed = Cli({"pack", in, dir / "big.b"});
        const int unpacked = Cli({"unpack", dir / "big.b", dir / "big.out"});
        ::_exit(packed * 10 + unpacked);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(std::filesystem::file_size(dir / "big.out"), std::uintmax_t(kSize));
    const int fd = ::open((dir / "big.out").c_str(), O_RDONLY | O_CLOEXEC);
    char tail[3] = {};
    EXPECT_EQ(::pread(fd, tail, 3, kSize - 3), 3);
    ::close(fd);
    EXPECT_EQ(std::string(tail, 3), "end");
}
#endif

TEST(Pack, UsageErrors) {
    EXPECT_EQ(Cli({"pack", "only-one"}), 2);
    EXPECT_EQ(Cli({"pack", "--fast", "a", "b"}), 2);
    EXPECT_EQ(Cli({"unpack", "--plain", "a", "b"}), 2);
    EXPECT_EQ(Cli({"unpack", "a", "b", "c"}), 2);
}

} // namespace
} // namespace veltrane::cli
