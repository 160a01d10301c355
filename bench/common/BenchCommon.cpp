#include "BenchCommon.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace veltrane::bench {

namespace {

std::string TagFor(std::size_t i) {
    char field[31];
    std::string tag = "TAG";
    const auto put = [&](const char* fmt, std::size_t width) {
        std::snprintf(field, sizeof field, fmt, i);
        std::string f(field);
        f.resize(width, '\0');
        tag += f;
    };
    put("Title %zu", 30);
    put("Artist %zu", 30);
    put("Album %zu", 30);
    put("%04zu", 4);
    put("Comment %zu", 30);
    tag += static_cast<char>(i % 120);
    return tag;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!ok)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

TaggedTree::TaggedTree(std::size_t files, std::size_t audioBytes) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/veltrane-bench-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = tmpl;
    const std::vector<std::string> folders = {
        "",      "Album A/",   "Album B/", "Album B/CD 1/", "Album B/CD 2/",
        "Live/", "Live/1999/", "Singles/"};
    for (const std::string& f : folders)
        if (!f.empty())
            ::mkdir((root_ + "/" + f).c_str(), 0755);
    std::string audio(audioBytes, '\0');
    for (std::size_t i = 0; i < audioBytes; ++i)
        audio[i] = static_cast<char>(0xFF - i % 31);
    files_.reserve(files);
    for (std::size_t i = 0; i < files; ++i) {
        const std::string path =
            root_ + "/" + folders[i % folders.size()] + "Track " + std::to_string(i) + ".mp3";
        WriteAll(path, audio + TagFor(i));
        files_.push_back(path);
    }
}

TaggedTree::~TaggedTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::size_t MinimalTagWriteLoop(const std::vector<std::string>& paths) {
    std::string tag(128, ' ');
    tag.replace(0, 3, "TAG");
    tag.back() = static_cast<char>(255);
    std::size_t written = 0;
    for (const std::string& p : paths) {
        const int fd = ::open(p.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
            ::pwrite(fd, tag.data(), tag.size(), st.st_size - 128) == 128)
            ++written;
        ::close(fd);
    }
    return written;
}

std::size_t MinimalTagReadLoop(const std::vector<std::string>& paths) {
    std::size_t tagged = 0;
    char buf[128];
    for (const std::string& p : paths) {
        const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
            ::pread(fd, buf, sizeof buf, st.st_size - 128) == 128 && buf[0] == 'T' &&
            buf[1] == 'A' && buf[2] == 'G')
            ++tagged;
        ::close(fd);
    }
    return tagged;
}

namespace {
double Seconds(const struct timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
}
} // namespace

double ProcessCpuSeconds() {
    struct rusage ru;
    ::getrusage(RUSAGE_SELF, &ru);
    return Seconds(ru.ru_utime) + Seconds(ru.ru_stime);
}

int RunSilently(const std::vector<std::string>& argv, double* cpuSeconds, long* peakKb) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    struct rusage ru;
    while (::wait4(pid, &status, 0, &ru) < 0)
        if (errno != EINTR)
            return -1;
    if (cpuSeconds)
        *cpuSeconds = Seconds(ru.ru_utime) + Seconds(ru.ru_stime);
    if (peakKb)
        *peakKb = ru.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RunListingProgram(const std::string& Program, const std::string& Dir,
                              const std::string& WorkDir, const std::vector<std::string>& Extra) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0); // Qt's chatter
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    env.emplace_back("VELTRANE_BENCH_QUIT_AFTER_LIST=1");
    env.emplace_back("VELTRANE_BENCH_SUBDIRS=1");
    env.insert(env.end(), Extra.begin(), Extra.end());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string prog = Program, arg = Dir;
    char* argv[] = {prog.data(), arg.data(), nullptr};
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(WorkDir);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, prog.c_str(), &actions, nullptr, argv, envp.data());
    std::filesystem::current_path(before);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    if (rc == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(out[0], buf, sizeof buf)) > 0)
            text.append(buf, static_cast<std::size_t>(n));
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(out[0]);
    return text;
}

FolderTree::FolderTree(std::size_t files, std::size_t folders, bool frames) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/var/tmp") + "/veltrane-open-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error(std::strerror(errno));
    root_ = tmpl;
    for (std::size_t f = 0; f < folders; ++f) {
        char name[64];
        std::snprintf(name, sizeof name, "/Folder %03zu", f);
        ::mkdir((root_ + name).c_str(), 0755);
    }
    // 30 frames of 417 bytes: MPEG 1 layer 3, 128 kb/s, 44,100 Hz, no padding.
    std::string audio;
    for (int i = 0; frames && i < 30; ++i) {
        audio += std::string("\xFF\xFB\x90\x00", 4);
        audio.append(413, '\0');
    }
    for (std::size_t i = 0; i < files; ++i) {
        char name[128];
        std::snprintf(name, sizeof name, "/Folder %03zu/%06zu - Artist %zu - Song %zu.mp3",
                      i % folders, i, i % 97, i);
        const std::string path = root_ + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            throw std::runtime_error(path + ": " + std::strerror(errno));
        char tag[128] = {'T', 'A', 'G'};
        std::snprintf(tag + 3, 30, "Song %zu", i);
        std::snprintf(tag + 33, 30, "Artist %zu", i % 97);
        std::snprintf(tag + 63, 30, "Album %zu", i % 211);
        std::memcpy(tag + 93, "1999", 4);
        std::snprintf(tag + 97, 30, "Comment %zu", i);
        tag[127] = static_cast<char>(i % 80);
        const bool ok = ::pwrite(fd, audio.data(), audio.size(), 0) ==
                            static_cast<ssize_t>(audio.size()) &&
                        ::pwrite(fd, tag, sizeof tag, 128 * 128) == 128;
        ::close(fd);
        if (!ok)
            throw std::runtime_error("cannot write " + path);
    }
    ::sync(); // dirty pages cannot be dropped
}

FolderTree::~FolderTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

bool CanDropAll() {
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

void DropCaches(const std::vector<std::string>& files, bool all) {
    ::sync();
    if (all) {
        const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
        if (fd >= 0 && ::write(fd, "3", 1) == 1) {
            ::close(fd);
            return;
        }
        if (fd >= 0)
            ::close(fd);
    }
    for (const std::string& f : files) {
        const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

} // namespace veltrane::bench
