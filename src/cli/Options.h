#pragma once
// A small command-line parser shared by the commands.
//
//   const Options o = ParseOptions(args, {"--recursive"}, {"--filter", "--codepage"});
//   if (o.Has("--recursive")) ...;  o.Value("--filter", "*.*");  o.Positional()
//
// Flags take no value; valued options take the next argument or "--name=value". Anything not
// starting with "-" (and a lone "-") is positional; after "--" everything is positional, so
// file names that start with "-" stay reachable. "--help" and "-h" are always accepted as the
// flag "--help". An unknown option, a missing value or a value given to a flag throws
// UsageError. A valued option given twice keeps the last value.

#include "cli/Commands.h"
#include "editing/SyncV2.h"

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include "tagcore/TagCodec.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::cli {

class Options {
  public:
    bool Has(std::string_view name) const;
    std::optional<std::string> Value(std::string_view name) const;
    std::string Value(std::string_view name, std::string_view fallback) const;
    const std::vector<std::string>& Positional() const { return positional_; }

  private:
    friend Options ParseOptions(const Args&, std::initializer_list<std::string_view>,
                                std::initializer_list<std::string_view>);
    std::set<std::string, std::less<>> flags_;
    std::map<std::string, std::string, std::less<>> values_;
    std::vector<std::string> positional_;
};

Options ParseOptions(const Args& args, std::initializer_list<std::string_view> flags,
                     std::initializer_list<std::string_view> valued);

// The tag code page named by "--codepage" (Windows-1252 when absent; "auto" decides per
// file); an unknown one is a usage error.
std::unique_ptr<TagCodec> MakeCodec(const Options& o);
// The same for a code page name; with "auto", Paths are the files (and folders) of the run.
std::unique_ptr<TagCodec> MakeCodec(const std::string& name, const std::vector<std::string>& paths);

// The number of tag-reading workers named by "--jobs" (1 to kMaxReadJobs; 1 reads one file
// after another); 0, the program's choice, when absent. Anything else is a usage error.
std::size_t ReadJobs(const Options& o);

// "--no-undo" of the writing commands: a change the journal cannot record is made all the
// same, with a warning on err naming why; without it such a change is refused. Lasts as long
// as the object.
class NoUndoScope {
  public:
    NoUndoScope(const Options& o, std::ostream& err);
    ~NoUndoScope();
    NoUndoScope(const NoUndoScope&) = delete;
    NoUndoScope& operator=(const NoUndoScope&) = delete;

  private:
    bool set_ = false;
    std::function<bool(const std::string&)> previous_;
};

// "--sync-v2" of the tag steps: while the object lives, an ID3v2 tag a file holds follows its
// ID3v1 changes. Report names the files whose ID3v2 tag was left alone, true when there were.
class SyncV2Scope {
  public:
    explicit SyncV2Scope(const Options& o);
    SyncV2Scope(const SyncV2Scope&) = delete;
    SyncV2Scope& operator=(const SyncV2Scope&) = delete;
    bool Report(std::ostream& err);

  private:
    TSyncV2 sync_;
    std::optional<TSyncV2Scope> scope_;
};

} // namespace veltrane::cli
