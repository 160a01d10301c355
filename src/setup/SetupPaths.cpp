#include "setup/SetupPaths.h"

#include <climits>
#include <cstdlib>
#include <vector>

namespace veltrane {

std::string AddBackslash(const std::string& S) {
    if (S.empty() || S.back() == '/')
        return S;
    return S + "/";
}

std::string RemoveBackslash(const std::string& S) {
    if (!S.empty() && S.back() == '/')
        return S.substr(0, S.size() - 1);
    return S;
}

std::string RootSafePath(const std::string& S) {
    std::string R = RemoveBackslash(S);
    return R.empty() && !S.empty() ? "/" : R;
}

std::string ShortenPathForLabel(const std::string& Path, int Width,
                                const std::function<int(const std::string&)>& TextWidth) {
    if (TextWidth(Path) <= Width)
        return Path;
    std::string T = AddBackslash(Path);
    while (TextWidth(T) > Width) {
        // One pass: keep the root and the first component, fold the next component into "...".
        std::string Head = T.substr(0, 1);
        std::string Rest = T.substr(1);
        auto Slash = Rest.find('/');
        if (Slash == std::string::npos)
            break;
        Head += Rest.substr(0, Slash + 1);
        Rest.erase(0, Slash + 1);
        if (Rest.rfind("...", 0) == 0)
            Rest.erase(0, 4);
        Slash = Rest.find('/');
        // The last component always survives.
        if (Slash == std::string::npos || Rest.find('/', Slash + 1) == std::string::npos)
            break;
        Rest.erase(0, Slash + 1);
        T = Head + ".../" + Rest;
    }
    return T;
}

std::string GetEnvironmentVariable(const std::string& Name) {
    const char* Value = std::getenv(Name.c_str());
    return Value ? Value : "";
}

std::string UpperCase(std::string S) {
    for (char& C : S)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return S;
}

bool SameTextIgnoringCase(const std::string& A, const std::string& B) {
    return A.size() == B.size() && UpperCase(A) == UpperCase(B);
}

std::string ResolvedPath(const std::string& Path) {
    std::string Head = RemoveBackslash(Path);
    std::vector<std::string> Tail;
    char Buf[PATH_MAX];
    while (!Head.empty() && !::realpath(Head.c_str(), Buf)) {
        const auto Slash = Head.rfind('/');
        if (Slash == std::string::npos) {
            Tail.push_back(Head);
            Head.clear();
            break;
        }
        Tail.push_back(Head.substr(Slash + 1));
        Head = Head.substr(0, Slash);
    }
    std::string Out;
    if (Head.empty()) {
        if (!::realpath(Path.empty() || Path[0] == '/' ? "/" : ".", Buf))
            return RemoveBackslash(Path);
    }
    Out = Buf;
    for (auto It = Tail.rbegin(); It != Tail.rend(); ++It) {
        if (It->empty() || *It == ".")
            continue;
        if (*It == "..") {
            const auto Slash = Out.rfind('/');
            Out = Slash == 0 || Slash == std::string::npos ? "/" : Out.substr(0, Slash);
            continue;
        }
        Out += (Out == "/" ? "" : "/") + *It;
    }
    return Out;
}

} // namespace veltrane
