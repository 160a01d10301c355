// The build's authoring step: fills the product's description with the real sizes and dates of
// the files in the distribution folder, writes it through the same path as
// `install --write-description`, and stores it inside the distribution's `install`.
//   install-author TEMPLATE.json DISTDIR BARE_INSTALL FILLED.json

#include "setup/FileDate.h"
#include "setup/InstallCli.h"
#include "setup/SetupStream.h"
#include "setup/StoredDescription.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <utime.h>

using namespace veltrane;

namespace {

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    if (!In)
        throw std::runtime_error("cannot read " + Path);
    return S.str();
}

void WriteAll(const std::string& Path, const std::string& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    Out.close();
    if (!Out)
        throw std::runtime_error("cannot write " + Path);
}

// Stored form of the filled template, made by the program's own --write-description.
std::string Stored(const nlohmann::ordered_json& J, const std::string& FilledPath) {
    WriteAll(FilledPath, J.dump(2) + "\n");
    const std::string Out = FilledPath + ".setup";
    auto R = RunInstallCommandLine({"--write-description", FilledPath, Out}, "", stdout, stderr, nullptr);
    if (!R || *R != 0)
        throw std::runtime_error("writing the description failed");
    return ReadAll(Out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: install-author TEMPLATE.json DISTDIR BARE_INSTALL FILLED.json\n");
        return 2;
    }
    try {
        const std::string Dist = std::string(argv[2]) + "/";
        const std::string Bare = ReadAll(argv[3]);
        auto J = nlohmann::ordered_json::parse(ReadAll(argv[1]));
        struct stat BareSt {};
        if (::stat(argv[3], &BareSt) != 0)
            throw std::runtime_error(std::string("cannot read ") + argv[3]);
        // The program's own date is whole even seconds, so the file can carry it exactly.
        const TDateTime InstallDate = FileDateToDateTime(DateTimeToFileDate(DateTimeFromUnix(BareSt.st_mtime)));
        nlohmann::ordered_json* Install = nullptr;
        for (auto& F : J["Files"]) {
            const std::string Name = F["Name"].get<std::string>();
            F["Source"] = Dist;
            if (Name == "install") {
                Install = &F;
                F["DateTime"] = DateTimeToIso(InstallDate);
                F["Size"] = 0x7FFFFFFF; // the 32-bit form, whatever the final size
                continue;
            }
            struct stat St {};
            if (::stat((Dist + Name).c_str(), &St) != 0)
                throw std::runtime_error("missing in the distribution folder: " + Name);
            F["DateTime"] = DateTimeToIso(DateTimeFromUnix(St.st_mtime));
            F["Size"] = static_cast<std::int64_t>(St.st_size);
            F["CompressedSize"] = static_cast<std::int64_t>(St.st_size);
        }
        if (!Install)
            throw std::runtime_error("the template lists no file named install");
        // A size above 32,767 always takes the 32-bit form, so the length is known up front.
        const std::size_t TrailerSize = DescriptionTrailer(Stored(J, argv[4])).size();
        const std::int64_t FinalSize = static_cast<std::int64_t>(Bare.size() + TrailerSize);
        (*Install)["Size"] = FinalSize;
        (*Install)["CompressedSize"] = FinalSize;
        const std::string Trailer = DescriptionTrailer(Stored(J, argv[4]));
        if (Trailer.size() != TrailerSize)
            throw std::runtime_error("the stored description changed its length");
        const std::string Target = Dist + "install";
        const std::string Temp = Target + ".new";
        WriteAll(Temp, Bare + Trailer);
        ::chmod(Temp.c_str(), 0755);
        const std::time_t When = UnixFromDateTime(InstallDate);
        const struct utimbuf Times{When, When};
        if (::utime(Temp.c_str(), &Times) != 0 || std::rename(Temp.c_str(), Target.c_str()) != 0)
            throw std::runtime_error("cannot finish " + Target);
        return 0;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "install-author: %s\n", E.what());
        return 1;
    }
}
