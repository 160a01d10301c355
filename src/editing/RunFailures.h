#pragma once
// Files that failed during a run over the selection. A failing file does not stop the run;
// the window reports all of them in one message at the end.

#include "browser/ErrorText.h"
#include "browser/FileList.h"
#include "browser/Progress.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace veltrane {

struct TFileFailure {
    std::string Path;  // bytes, as on disk
    std::string Error; // the error text ("File access denied", ...)
};

using TFileFailures = std::vector<TFileFailure>;

// A row that stands for a file: never row 0 or the "No mp3's found!" marker.
inline bool IsFileRow(const TFileList& List, std::size_t Index) {
    return List.HasPath(Index);
}

// The paths of the selected file rows, in list order.
inline std::vector<std::string> SelectedFilePaths(const TFileList& List) {
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (List.Selected(i) && IsFileRow(List, i))
            paths.push_back(List.GetFileName(i));
    }
    return paths;
}

// Calls PerFile(path) for every selected file row in list order and moves the bar after each
// one. A file whose action throws is listed in Failures with the error text; the run goes on.
template <class Action>
void ForEachSelectedFile(const TFileList& List, const ProgressScope& Progress,
                         TFileFailures& Failures, Action&& PerFile) {
    std::uint64_t done = 0;
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (!List.Selected(i) || !IsFileRow(List, i))
            continue;
        const std::string path = List.GetFileName(i);
        try {
            PerFile(path);
        } catch (const EInOutError& e) {
            Failures.push_back({path, InOutErrorText(e)});
        } catch (const std::exception& e) {
            Failures.push_back({path, e.what()});
        }
        Progress.SetPosition(++done);
    }
}

// Calls PerFile(path, tag) for each of Paths in order, with the tags read ahead Jobs files at a
// time (GetMP3Tag(path, Codec)); a failed read or a throwing PerFile goes to OnFailure(path,
// error), and the run goes on. PerFile returns a path it created ("" for none). A path the run
// has already written or created is read again when its turn comes, so reading ahead sees
// what reading one file after another would. AfterEach() follows every file.
template <class Action, class Failure, class After>
void ForEachTagInOrder(const std::vector<std::string>& Paths, std::size_t Jobs,
                       const TagCodec& Codec, Action&& PerFile, Failure&& OnFailure,
                       After&& AfterEach) {
    TOrderedReader<TMP3Tag> reader(Paths.size(), Jobs,
                                   [&](std::size_t k) { return GetMP3Tag(Paths[k], Codec); });
    std::unordered_set<std::string> touched;
    for (const std::string& path : Paths) {
        try {
            const bool again = touched.count(path) != 0;
            TMP3Tag tag;
            try {
                tag = reader.Next();
            } catch (...) {
                if (!again)
                    throw;
            }
            if (again)
                tag = GetMP3Tag(path, Codec);
            touched.insert(path);
            std::string created = PerFile(path, tag);
            if (!created.empty())
                touched.insert(std::move(created));
        } catch (const std::exception& e) {
            OnFailure(path, e);
        }
        AfterEach();
    }
}

// ForEachSelectedFile with each file's tag read ahead List.ReadJobs() at a time (see
// ForEachTagInOrder).
template <class Action>
void ForEachSelectedTag(const TFileList& List, const ProgressScope& Progress,
                        TFileFailures& Failures, Action&& PerFile,
                        const TagCodec& Codec = TagCodec::Default()) {
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < List.Count(); ++i)
        if (List.Selected(i) && IsFileRow(List, i))
            paths.push_back(List.GetFileName(i));
    std::uint64_t done = 0;
    ForEachTagInOrder(
        paths, List.ReadJobs(), Codec, PerFile,
        [&](const std::string& path, const std::exception& e) {
            Failures.push_back({path, e.what()});
        },
        [&] { Progress.SetPosition(++done); });
}

// Intro line, then one "path: error" line per file; long lists end with "... and N more".
// Paths are passed through as bytes; the window converts them for display.
std::string FailureReport(std::string_view Intro, const TFileFailures& Failures,
                          std::size_t MaxLines = 20);

} // namespace veltrane
