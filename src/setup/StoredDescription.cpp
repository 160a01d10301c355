#include "setup/StoredDescription.h"

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace veltrane {
namespace {

constexpr std::size_t MarkSize = sizeof(StoredDescriptionMark) - 1;
constexpr std::size_t TailSize = 4 + MarkSize;

bool ReadAt(int Fd, char* Buffer, std::size_t Count, off_t Offset) {
    while (Count > 0) {
        ssize_t N = ::pread(Fd, Buffer, Count, Offset);
        if (N <= 0)
            return false;
        Buffer += N;
        Count -= static_cast<std::size_t>(N);
        Offset += N;
    }
    return true;
}

} // namespace

std::string DescriptionTrailer(const std::string& Bytes) {
    std::string T = Bytes;
    const auto N = static_cast<std::uint32_t>(Bytes.size());
    for (int I = 0; I < 4; ++I)
        T += static_cast<char>(N >> (8 * I) & 0xFF);
    T.append(StoredDescriptionMark, MarkSize);
    return T;
}

std::optional<std::string> ReadStoredDescription(const std::string& Path) {
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        return std::nullopt;
    std::optional<std::string> Result;
    struct stat St {};
    char Tail[TailSize];
    if (::fstat(Fd, &St) == 0 && S_ISREG(St.st_mode) &&
        static_cast<std::uint64_t>(St.st_size) >= TailSize &&
        ReadAt(Fd, Tail, TailSize, St.st_size - static_cast<off_t>(TailSize)) &&
        std::memcmp(Tail + 4, StoredDescriptionMark, MarkSize) == 0) {
        std::uint32_t N = 0;
        for (int I = 0; I < 4; ++I)
            N |= static_cast<std::uint32_t>(static_cast<unsigned char>(Tail[I])) << (8 * I);
        if (N <= static_cast<std::uint64_t>(St.st_size) - TailSize) {
            std::string Bytes(N, '\0');
            if (ReadAt(Fd, Bytes.data(), N, St.st_size - static_cast<off_t>(TailSize + N)))
                Result = std::move(Bytes);
        }
    }
    ::close(Fd);
    return Result;
}

std::string OwnProgramPath() {
    std::vector<char> Buf(4096);
    for (;;) {
        ssize_t N = ::readlink("/proc/self/exe", Buf.data(), Buf.size());
        if (N < 0)
            return "";
        if (static_cast<std::size_t>(N) < Buf.size())
            return std::string(Buf.data(), static_cast<std::size_t>(N));
        Buf.resize(Buf.size() * 2);
    }
}

} // namespace veltrane
