#pragma once
// A private PulseAudio server for one test: a null sink as default, reached through
// XDG_RUNTIME_DIR, which the constructor points at its own directory.

#include "support/TestDir.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace veltrane::test {

class PulseServer {
  public:
    // Empty when the program is not installed.
    static std::string Find(const std::string& program) {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            std::size_t end = dirs.find(':', start);
            if (end == std::string::npos)
                end = dirs.size();
            const std::string candidate = dirs.substr(start, end - start) + "/" + program;
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate;
            start = end + 1;
        }
        return {};
    }

    PulseServer() {
        ::unsetenv("PULSE_SERVER");
        ::setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
        ::setenv("HOME", dir_.path().c_str(), 1);
        std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
    }
    ~PulseServer() {
        for (pid_t pid : children_) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and waits for its socket; false when it does not come up.
    bool Start() {
        const std::string server = Find("pulseaudio");
        if (server.empty() ||
            !Spawn({server, "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                    "--log-target=stderr", "--log-level=0", "-L", "module-null-sink", "-L",
                    "module-native-protocol-unix"}))
            return false;
        const auto socket = dir_.path() / "pulse" / "native";
        for (int i = 0; i < 200; ++i) {
            if (std::filesystem::exists(socket))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Plays a full-scale square wave into the default sink for the given time.
    bool PlayTone(double seconds) {
        const std::string player = Find("paplay");
        if (player.empty())
            return false;
        const std::uint32_t rate = 44100;
        const std::uint32_t frames = static_cast<std::uint32_t>(seconds * rate);
        std::string wav = dir_.WriteFile("tone.wav", Wave(rate, frames));
        return Spawn({player, wav});
    }

    const TestDir& Dir() const { return dir_; }

  private:
    static void Put(std::string& out, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    // 16-bit stereo PCM, 441 Hz, at the full range of the samples.
    static std::string Wave(std::uint32_t rate, std::uint32_t frames) {
        std::string out = "RIFF";
        const std::uint32_t data = frames * 4;
        Put(out, 36 + data, 4);
        out += "WAVEfmt ";
        Put(out, 16, 4);
        Put(out, 1, 2);
        Put(out, 2, 2);
        Put(out, rate, 4);
        Put(out, rate * 4, 4);
        Put(out, 4, 2);
        Put(out, 16, 2);
        out += "data";
        Put(out, data, 4);
        for (std::uint32_t i = 0; i < frames; ++i) {
            const std::uint16_t v = (i / 50) % 2 ? 0x8001 : 0x7FFF;
            Put(out, v, 2);
            Put(out, v, 2);
        }
        return out;
    }

    bool Spawn(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        pid_t pid = -1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = (dir_.path() / "server.log").string();
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
        const int err = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (err != 0)
            return false;
        children_.push_back(pid);
        return true;
    }

    TestDir dir_;
    std::vector<pid_t> children_;
};

} // namespace veltrane::test
