#include "cli/Commands.h"

#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"

#include "tagcore/LongPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <unistd.h>

namespace veltrane::cli {

bool ReportFindProblems(std::ostream& err, const std::vector<TFindProblem>& problems) {
    for (const TFindProblem& p : problems)
        ReportFileError(err, Escape(p.Path), p.Reason);
    return !problems.empty();
}

bool FolderOk(const std::string& dir, std::ostream& err) {
    const int fd = OpenLongPath(dir, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    const int e = errno;
    ReportFileError(err, Escape(dir),
                    e == ENOTDIR ? "not a folder" : "cannot read the folder: " +
                                                        std::string(std::strerror(e)));
    return false;
}

int RunFind(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--recursive"}, {"--filter"});
    if (o.Has("--help")) {
        out << "usage: veltrane-cli find [--recursive] [--filter WILDCARD] DIR\n";
        return 0;
    }
    if (o.Positional().size() != 1)
        throw UsageError("find: give exactly one DIR");
    if (!FolderOk(o.Positional()[0], err))
        return 1;
    TFindFile finder;
    finder.Directory = o.Positional()[0];
    finder.Recurse = o.Has("--recursive");
    if (auto filter = o.Value("--filter"))
        finder.Filter = *filter;
    finder.Execute();
    std::string text;
    for (const std::string& path : finder.Files) {
        text += Escape(path);
        text += '\n';
    }
    out << text;
    return ReportFindProblems(err, finder.Problems) ? 1 : 0;
}

} // namespace veltrane::cli
