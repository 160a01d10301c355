#pragma once
// One function per command; args hold what follows the command's name.

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrane {
struct TFindProblem;
class TagCodec;
}

namespace veltrane::cli {

using Args = std::vector<std::string>;

// Thrown for a malformed command line; RunCli prints one line and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int RunTagShow(const Args& args, std::ostream& out, std::ostream& err);
int RunTagSet(const Args& args, std::ostream& out, std::ostream& err);
int RunTagNumber(const Args& args, std::ostream& out, std::ostream& err);
int RunTagFromV2(const Args& args, std::ostream& out, std::ostream& err);
int RunTagShowV2(const Args& args, std::ostream& out, std::ostream& err);
int RunTagExport(const Args& args, std::ostream& out, std::ostream& err);
int RunTagImport(const Args& args, std::ostream& out, std::ostream& err);
int RunTagCase(const Args& args, std::ostream& out, std::ostream& err);
int RunTagReplace(const Args& args, std::ostream& out, std::ostream& err);
int RunTagFormat(const Args& args, std::ostream& out, std::ostream& err);
int RunTagCodePage(const Args& args, std::ostream& out, std::ostream& err);
int RunTagRecode(const Args& args, std::ostream& out, std::ostream& err);
int RunFind(const Args& args, std::ostream& out, std::ostream& err);
int RunPack(const Args& args, std::ostream& out, std::ostream& err);
int RunUnpack(const Args& args, std::ostream& out, std::ostream& err);
int RunList(const Args& args, std::ostream& out, std::ostream& err);
int RunFromName(const Args& args, std::ostream& out, std::ostream& err);
int RunRename(const Args& args, std::ostream& out, std::ostream& err);
int RunSelect(const Args& args, std::ostream& out, std::ostream& err);
int RunUndo(const Args& args, std::ostream& out, std::ostream& err);
// Reads entries from in when "playlist write" is given none.
int RunPlaylist(const Args& args, std::istream& in, std::ostream& out, std::ostream& err);

// "veltrane-cli: PATH: TEXT" on err.
void ReportFileError(std::ostream& err, const std::string& path, const std::string& text);
// Whether dir is a folder that can be read; else one "veltrane-cli: DIR: why" line on err.
bool FolderOk(const std::string& dir, std::ostream& err);
// "veltrane-cli: INTRO" and the escaped paths below it, one a line; nothing without paths.
void ReportFiles(std::ostream& err, const std::string& intro, const std::vector<std::string>& paths);
// The code page the file path was read in with codec ("auto" decides per file).
std::string CodePageNameOf(const veltrane::TagCodec& codec, const std::string& path);
// "veltrane-cli: characters the file's code page cannot hold were written as "?":" and each
// path with its code page; nothing without paths.
void ReportLossy(std::ostream& err, const veltrane::TagCodec& codec,
                 const std::vector<std::string>& paths);
// One such line for each entry a scan had to skip; true when there was any.
bool ReportFindProblems(std::ostream& err, const std::vector<TFindProblem>& problems);

} // namespace veltrane::cli
