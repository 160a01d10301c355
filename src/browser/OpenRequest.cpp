#include "browser/OpenRequest.h"

#include "tagcore/UiText.h"

#include "browser/ErrorText.h"
#include "browser/FindFile.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace veltrane {

namespace {

enum class TKind { Other, Folder, Mp3 };

std::string Absolute(const std::string& Path, const std::string& StartDir) {
    std::filesystem::path p(Path);
    if (p.is_relative())
        p = std::filesystem::path(StartDir) / p;
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::string Parent(const std::string& Path) {
    const std::size_t slash = Path.rfind('/');
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// An MP3 file is a regular file the main window's search would list ("*.mp3").
TKind KindOf(const std::string& Path) {
    struct stat st {};
    if (Path.empty() || ::stat(Path.c_str(), &st) != 0)
        return TKind::Other;
    if (S_ISDIR(st.st_mode))
        return TKind::Folder;
    if (S_ISREG(st.st_mode) && MatchesWildcard("*.mp3", Path.substr(Path.rfind('/') + 1)))
        return TKind::Mp3;
    return TKind::Other;
}

} // namespace

TOpenRequest MakeOpenRequest(const std::vector<std::string>& Paths, const std::string& StartDir) {
    TOpenRequest r;
    for (const std::string& given : Paths) {
        if (given.empty()) {
            r.Refused.push_back(given);
            continue;
        }
        const std::string path = Absolute(given, StartDir);
        const TKind kind = KindOf(path);
        if (kind == TKind::Other) {
            r.Refused.push_back(given);
            continue;
        }
        if (r.Directory.empty()) {
            r.Directory = kind == TKind::Folder ? path : Parent(path);
        } else if (kind == TKind::Folder) {
            if (path != r.Directory)
                r.Elsewhere.push_back(given);
            continue;
        }
        if (kind != TKind::Mp3)
            continue;
        if (Parent(path) != r.Directory)
            r.Elsewhere.push_back(given);
        else if (std::find(r.Select.begin(), r.Select.end(), path) == r.Select.end())
            r.Select.push_back(path);
    }
    return r;
}

bool CanOpenAll(const std::vector<std::string>& Paths, const std::string& StartDir) {
    return !Paths.empty() && std::all_of(Paths.begin(), Paths.end(), [&](const std::string& p) {
        return !p.empty() && KindOf(Absolute(p, StartDir)) != TKind::Other;
    });
}

std::string OpenRequestMessage(const TOpenRequest& Request) {
    std::string text;
    if (!Request.Elsewhere.empty())
        text = ListedLinesMessage(
            FillText(UiText("OpenRequest", "These are not in %1 and were not selected:\n"),
                     {Request.Directory}),
            Request.Elsewhere, 20);
    if (!Request.Refused.empty()) {
        if (!text.empty())
            text += "\n\n";
        text += ListedLinesMessage(
            UiText("OpenRequest", "These are neither folders nor MP3 files and were not opened:\n"),
            Request.Refused, 20);
    }
    return text;
}

} // namespace veltrane
