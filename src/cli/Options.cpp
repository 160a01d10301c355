#include "cli/Options.h"

#include "cli/Escape.h"
#include "editing/JournaledSteps.h"
#include "id3v2/Id3v2Reader.h"
#include "tagcore/CodePageGuess.h"
#include "tagcore/OrderedReader.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <stdexcept>
#include <sys/stat.h>

namespace veltrane::cli {

bool Options::Has(std::string_view name) const {
    return flags_.count(name) != 0 || values_.count(name) != 0;
}

std::optional<std::string> Options::Value(std::string_view name) const {
    const auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::string Options::Value(std::string_view name, std::string_view fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? std::string(fallback) : it->second;
}

Options ParseOptions(const Args& args, std::initializer_list<std::string_view> flags,
                     std::initializer_list<std::string_view> valued) {
    const auto contains = [](std::initializer_list<std::string_view> list, std::string_view s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    Options o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            o.positional_.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            o.flags_.insert("--help");
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (contains(valued, name)) {
            if (eq != std::string::npos) {
                o.values_[name] = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                o.values_[name] = args[++i];
            } else {
                throw UsageError("option " + name + " needs a value");
            }
        } else if (contains(flags, name)) {
            if (eq != std::string::npos)
                throw UsageError("option " + name + " takes no value");
            o.flags_.insert(name);
        } else {
            throw UsageError("unknown option " + Escape(name));
        }
    }
    return o;
}

std::unique_ptr<TagCodec> MakeCodec(const Options& o) {
    return MakeCodec(o.Value("--codepage", "WINDOWS-1252"), o.Positional());
}

std::unique_ptr<TagCodec> MakeCodec(const std::string& name, const std::vector<std::string>& paths) {
    std::unique_ptr<TagCodec> codec;
    try {
        codec = std::make_unique<TagCodec>(name);
    } catch (const std::invalid_argument&) {
        throw UsageError("unknown code page '" + Escape(name) + "'");
    }
    if (TCodePageResolver* resolver = codec->Resolver()) {
        resolver->SetId3v2Hint(ReadUnicodeTitles);
        // The files named make their folders' sets; a folder named is read whole.
        std::vector<std::string> files;
        for (const std::string& p : paths) {
            struct stat st;
            if (::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                files.push_back(p);
        }
        resolver->SetRunFiles(files);
    }
    return codec;
}

std::size_t ReadJobs(const Options& o) {
    const std::optional<std::string> text = o.Value("--jobs");
    if (!text)
        return 0;
    std::size_t jobs = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), jobs);
    if (ec != std::errc() || end != text->data() + text->size() || jobs < 1 ||
        jobs > kMaxReadJobs)
        throw UsageError("--jobs takes a number of workers from 1 to " +
                         std::to_string(kMaxReadJobs) + ", not '" + Escape(*text) + "'");
    return jobs;
}

NoUndoScope::NoUndoScope(const Options& o, std::ostream& err) {
    if (!o.Has("--no-undo"))
        return;
    set_ = true;
    previous_ = SetNoUndoConsent([&err](const std::string& Reason) {
        err << "veltrane-cli: warning: " << Escape(Reason)
            << "; the change is made without undo (--no-undo)\n";
        return true;
    });
}

NoUndoScope::~NoUndoScope() {
    if (set_)
        SetNoUndoConsent(std::move(previous_));
}

SyncV2Scope::SyncV2Scope(const Options& o) {
    if (!o.Has("--sync-v2"))
        return;
    sync_.Enabled = true;
    scope_.emplace(&sync_);
}

bool SyncV2Scope::Report(std::ostream& err) {
    const std::lock_guard<std::mutex> lock(sync_.Mutex);
    for (const TFileFailure& skipped : sync_.Skipped)
        err << "veltrane-cli: " << Escape(skipped.Path) << ": " << Escape(skipped.Error) << '\n';
    return !sync_.Skipped.empty();
}

} // namespace veltrane::cli
