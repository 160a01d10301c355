#include "cli/Commands.h"

#include "components/FileSrc.h"
#include "components/Lzrw1Kh.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <system_error>

namespace veltrane::cli {

namespace {

// The whole file, or nullopt after reporting why not.
std::optional<std::string> ReadWholeFile(const std::string& path, std::ostream& err) {
    try {
        return ReadFileBytes(path);
    } catch (const std::system_error& e) {
        ReportFileError(err, path, std::strerror(e.code().value()));
        return std::nullopt;
    }
}

// OUT is only opened once the result is complete, so a failure leaves an existing OUT alone.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::ostream& err) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        ReportFileError(err, path, std::strerror(errno));
        return false;
    }
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        ReportFileError(err, path, "write failed");
        return false;
    }
    return true;
}

void ExpectTwoPaths(const Args& paths, const char* command) {
    if (paths.size() != 2)
        throw UsageError(std::string(command) + ": expected IN and OUT");
}

} // namespace

int RunPack(const Args& args, std::ostream&, std::ostream& err) {
    bool plain = false;
    Args paths;
    bool optionsDone = false;
    for (const std::string& a : args) {
        if (!optionsDone && a == "--plain")
            plain = true;
        else if (!optionsDone && a == "--")
            optionsDone = true;
        else if (!optionsDone && a.size() > 1 && a[0] == '-')
            throw UsageError("pack: unknown option '" + a + "'");
        else
            paths.push_back(a);
    }
    ExpectTwoPaths(paths, "pack");
    const std::optional<std::string> data = ReadWholeFile(paths[0], err);
    if (!data)
        return 1;
    std::string stored;
    try {
        stored = plain ? StorePlain(*data) : TCompressStream().CompressBytes(*data);
    } catch (const std::exception& e) {
        ReportFileError(err, paths[0], e.what());
        return 1;
    }
    return WriteWholeFile(paths[1], stored, err) ? 0 : 1;
}

int RunUnpack(const Args& args, std::ostream&, std::ostream& err) {
    Args paths;
    bool optionsDone = false;
    for (const std::string& a : args) {
        if (!optionsDone && a == "--")
            optionsDone = true;
        else if (!optionsDone && a.size() > 1 && a[0] == '-')
            throw UsageError("unpack: unknown option '" + a + "'");
        else
            paths.push_back(a);
    }
    ExpectTwoPaths(paths, "unpack");
    const std::optional<std::string> stored = ReadWholeFile(paths[0], err);
    if (!stored)
        return 1;
    std::string data;
    try {
        // Format B announces itself; anything else must be a complete format A.
        if (stored->compare(0, TCompressStream::Signature.size(), TCompressStream::Signature) == 0)
            data = TCompressStream().DecompressBytes(*stored);
        else
            data = RestorePlain(*stored);
    } catch (const std::exception& e) {
        ReportFileError(err, paths[0], e.what());
        return 1;
    }
    return WriteWholeFile(paths[1], data, err) ? 0 : 1;
}

} // namespace veltrane::cli
