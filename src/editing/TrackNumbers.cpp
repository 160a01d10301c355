#include "editing/TrackNumbers.h"

#include "editing/JournaledSteps.h"

#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <unordered_map>
#include <unordered_set>

namespace veltrane {

namespace {

constexpr unsigned kLastTrack = 255;

// How many files numbering from Start can give a number.
std::size_t FilesThatFit(unsigned Start) {
    return Start >= 1 && Start <= kLastTrack ? kLastTrack - Start + 1 : 0;
}

} // namespace

std::string TrackRangeMessage(unsigned Start, std::size_t Files) {
    if (Start < 1 || Start > kLastTrack)
        return FillText(
            UiText("TrackNumbers", "The first track number must be between 1 and 255, not %1."),
            {std::to_string(Start)});
    return FillText(
        UiText("TrackNumbers", "Track numbers end at 255: numbering from %1 fits %2 "
                               "of these %3 files. No file was changed."),
        {std::to_string(Start), std::to_string(FilesThatFit(Start)), std::to_string(Files)});
}

std::string NumberTracksDescription(std::size_t Files) {
    return "number tracks of " + FileCount(Files);
}

std::string NumberTracksProgressCaption(std::size_t Selected) {
    return FillText(UiText("TrackNumbers", "Numbering %1 tracks, please wait..."),
                    {std::to_string(Selected)});
}

TFileFailures NumberTracks(const std::vector<std::string>& Paths, const TNumberOptions& Options,
                           const TagCodec& Codec,
                           const std::function<void(const TMP3Tag&)>& Written,
                           const ProgressScope* Progress) {
    if (Options.Start < 1 || Options.Start > kLastTrack)
        throw ETrackRange(TrackRangeMessage(Options.Start, Paths.size()));
    std::vector<std::string> unique;
    unique.reserve(Paths.size());
    {
        std::unordered_set<std::string_view> seen;
        for (const std::string& path : Paths)
            if (seen.insert(path).second)
                unique.push_back(path);
    }
    // Which files need a number; the others keep their tracks and are not written. A file
    // that cannot be read here is tried again by the step, which reports it.
    std::vector<std::string> numbered;
    if (Options.KeepExisting) {
        TOrderedReader<std::uint8_t, TDirectoryCache> reader(
            unique.size(), 0, [&](std::size_t k, TDirectoryCache& directories) {
                return GetMP3Tag(unique[k], Codec, nullptr, 0, &directories).Track;
            });
        for (const std::string& path : unique) {
            std::uint8_t track = 0;
            try {
                track = reader.Next();
            } catch (const std::exception&) {
            }
            if (track == 0)
                numbered.push_back(path);
        }
    } else {
        numbered = std::move(unique);
    }
    if (numbered.size() > FilesThatFit(Options.Start))
        throw ETrackRange(TrackRangeMessage(Options.Start, numbered.size()));

    std::unordered_map<std::string_view, std::uint8_t> numbers;
    numbers.reserve(numbered.size());
    for (std::size_t k = 0; k < numbered.size(); ++k)
        numbers.emplace(numbered[k], static_cast<std::uint8_t>(Options.Start + k));
    TFileFailures failures = RunTagStep(
        numbered, NumberTracksDescription,
        [&](TMP3Tag& tag) {
            if (tag.Header != "TAG")
                ClearMP3Tag(tag);
            // Another program may have given it a track since it was looked at: it keeps it.
            if (!Options.KeepExisting || tag.Track == 0)
                tag.Track = numbers.at(tag.FileName);
        },
        Codec, Written, Progress);
    if (Progress)
        Progress->SetPosition(Paths.size());
    return failures;
}

TFileFailures NumberTracksRun(TFileList& List, const TNumberOptions& Options, IProgress* Progress,
                              TRunNotes* Notes) {
    const std::size_t selected = List.SelCount();
    ProgressScope progress(Progress, NumberTracksProgressCaption(selected), selected);
    return NumberTracks(SelectedFilePaths(List), Options, List.Codec(),
                        [&](const TMP3Tag& tag) {
                            if (Notes)
                                Notes->NoteWritten(tag, List.Codec());
                            List.SingleUpdate(tag);
                        },
                        &progress);
}

} // namespace veltrane
