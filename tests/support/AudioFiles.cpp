#include "AudioFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace veltrane::test {

namespace {

bool OnPath(const std::string& Program) {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t colon = rest.find(':', start);
        if (colon == std::string::npos)
            colon = rest.size();
        const std::string file = rest.substr(start, colon - start) + "/" + Program;
        if (::access(file.c_str(), X_OK) == 0)
            return true;
        start = colon + 1;
    }
    return false;
}

// Runs Argv with standard output into Out (or thrown away); the exit status, -1 when it failed.
int Run(const std::vector<std::string>& Argv, const std::string& Out) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, Out.empty() ? "/dev/null" : Out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : Argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        ;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::string MissingAudioTools() {
    std::string missing;
    for (const char* tool : {"lame", "ffmpeg"})
        if (!OnPath(tool))
            missing += std::string(missing.empty() ? "" : " and ") + tool;
    return missing.empty() ? "" : missing + " (Debian packages of that name) needed to make and decode MP3 files";
}

bool RunQuietly(const std::vector<std::string>& Argv) {
    return Run(Argv, {}) == 0;
}

std::string SourceWave(const std::string& Dir, double Seconds) {
    const std::string wav = Dir + "/source.wav";
    struct stat st;
    if (::stat(wav.c_str(), &st) != 0)
        RunQuietly({"ffmpeg", "-nostdin", "-y", "-f", "lavfi", "-i",
                    "sine=frequency=440:sample_rate=44100:duration=" + std::to_string(Seconds),
                    "-f", "lavfi", "-i",
                    "anoisesrc=color=pink:amplitude=0.3:sample_rate=44100:duration=" +
                        std::to_string(Seconds),
                    "-filter_complex", "amix=inputs=2", "-ac", "2", wav});
    return wav;
}

bool Lame(const std::vector<std::string>& Args, const std::string& Source, const std::string& Out) {
    std::vector<std::string> argv{"lame", "--quiet"};
    argv.insert(argv.end(), Args.begin(), Args.end());
    argv.push_back(Source);
    argv.push_back(Out);
    return RunQuietly(argv);
}

std::optional<double> DecodedSeconds(const std::string& Path) {
    // Decoded to 16-bit mono at 8 kHz would resample; the stream's own rate is kept instead
    // and the samples counted: one channel, 2 bytes each.
    const std::string raw = Path + ".raw";
    const std::string rate = Path + ".rate";
    if (Run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
             "stream=sample_rate", "-of", "csv=p=0", Path},
            rate) != 0)
        return std::nullopt;
    if (Run({"ffmpeg", "-nostdin", "-v", "error", "-i", Path, "-f", "s16le", "-ac", "1", raw}, {}) != 0)
        return std::nullopt;
    FILE* f = std::fopen(rate.c_str(), "r");
    long hz = 0;
    if (f) {
        if (std::fscanf(f, "%ld", &hz) != 1)
            hz = 0;
        std::fclose(f);
    }
    struct stat st;
    if (hz <= 0 || ::stat(raw.c_str(), &st) != 0 || st.st_size == 0)
        return std::nullopt;
    std::remove(raw.c_str());
    std::remove(rate.c_str());
    return static_cast<double>(st.st_size) / 2 / static_cast<double>(hz);
}

} // namespace veltrane::test

namespace veltrane::test {

std::string Mp3Frames(int Count, int Kbps) {
    std::string frame(Kbps == 160 ? 522 : 417, '\0');
    const unsigned char header[4] = {0xFF, 0xFB, static_cast<unsigned char>(Kbps == 160 ? 0xA0 : 0x90), 0};
    std::copy(header, header + 4, frame.begin());
    std::string out;
    for (int i = 0; i < Count; ++i)
        out += frame;
    return out;
}

std::string InfoFrame(std::uint32_t Frames, std::uint32_t Bytes) {
    std::string frame = Mp3Frames(1);
    frame.replace(36, 4, "Info");
    const std::uint32_t words[3] = {3, Frames, Bytes}; // flags: frames and bytes
    for (int w = 0; w < 3; ++w)
        for (int k = 0; k < 4; ++k)
            frame[40 + 4 * w + k] = static_cast<char>(words[w] >> (24 - 8 * k));
    return frame;
}

} // namespace veltrane::test
