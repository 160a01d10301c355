#include "editing/TagEditing.h"

#include "editing/CodePageCheck.h"

#include "editing/JournaledSteps.h"
#include "editing/TagFromFileName.h"
#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <algorithm>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

TEditorFields EditorFieldsFromTag(const TMP3Tag& Tag) {
    TEditorFields fields;
    if (Tag.Header == "TAG") {
        fields.Title = RTrim(Tag.Title);
        fields.Artist = RTrim(Tag.Artist);
        fields.Album = RTrim(Tag.Album);
        fields.Year = RTrim(Tag.Year);
        fields.Comment = RTrim(Tag.Comment);
        fields.Style = ByteToStyle(Tag.Genre);
        fields.Track = TrackText(Tag.Track);
    }
    return fields;
}

TMP3Tag SaveSingleTag(const TMP3Tag& Record, const TEditorFields& Fields, TFileList* List) {
    const std::optional<std::uint8_t> track = ParseTrack(Fields.Track);
    if (!track)
        throw std::invalid_argument(std::string(kMsgBadTrack));
    TMP3Tag tag = Record;
    tag.Track = *track;
    tag.Header = "TAG";
    tag.Title = Fields.Title;
    tag.Artist = Fields.Artist;
    tag.Album = Fields.Album;
    tag.Year = Fields.Year;
    tag.Comment = Fields.Comment;
    tag.Genre = StyleToByte(Fields.Style);
    const std::vector<std::exception_ptr> errors = RunTagStepErrors(
        {tag.FileName}, [&](std::size_t) { return "edit tag of " + NameWithoutDirectory(tag.FileName); },
        [&](TMP3Tag& written) { written = tag; }, List ? List->Codec() : TagCodec::Default(), {}, nullptr);
    if (errors.front())
        std::rethrow_exception(errors.front());
    if (List)
        List->SingleUpdate(tag);
    return tag;
}

std::optional<TEditedFileState> ReadEditedFileState(const std::string& Path) {
    const int fd = OpenLongPath(Path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<TEditedFileState> state;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        TEditedFileState s;
        s.Size = static_cast<std::uint64_t>(st.st_size);
        const std::uint64_t want = std::min<std::uint64_t>(s.Size, 128);
        s.Tail.resize(want);
        const ssize_t got = ::pread(fd, s.Tail.data(), want, static_cast<off_t>(s.Size - want));
        if (got == static_cast<ssize_t>(want))
            state = std::move(s);
    }
    ::close(fd);
    return state;
}

std::string EditMoreHeadline(std::size_t Selected) {
    if (Selected == 1)
        return UiText("TagEditing", "changing tag for 1 file");
    return FillText(UiText("TagEditing", "changing tag for %1 files"), {std::to_string(Selected)});
}

std::string EditMoreProgressCaption(std::size_t Selected) {
    return FillText(UiText("TagEditing", "Updating %1 tags, please wait..."),
                    {std::to_string(Selected)});
}

bool TrackFieldValid(const TEditMoreFields& Fields) {
    return Fields.Track.Leave || ParseTrack(Fields.Track.Value).has_value();
}

void ApplyEditMoreFields(TMP3Tag& Tag, const TEditMoreFields& Fields) {
    if (Tag.Header != "TAG") {
        Tag.Header = "TAG";
        Tag.Title.clear();
        Tag.Artist.clear();
        Tag.Album.clear();
        Tag.Year.clear();
        Tag.Comment.clear();
    }
    const auto apply = [](std::string& field, const TLeaveField& edit) {
        if (!edit.Leave)
            field = edit.Value;
    };
    apply(Tag.Title, Fields.Title);
    apply(Tag.Artist, Fields.Artist);
    apply(Tag.Album, Fields.Album);
    apply(Tag.Year, Fields.Year);
    apply(Tag.Comment, Fields.Comment);
    if (!Fields.Style.Leave)
        Tag.Genre = StyleToByte(Fields.Style.Value);
    if (!Fields.Track.Leave)
        Tag.Track = ParseTrack(Fields.Track.Value).value_or(Tag.Track);
}

std::string EditMoreDescription(const TEditMoreFields& Fields, std::size_t Files) {
    std::vector<const char*> names;
    const auto add = [&](const TLeaveField& field, const char* name) {
        if (!field.Leave)
            names.push_back(name);
    };
    add(Fields.Title, "title");
    add(Fields.Artist, "artist");
    add(Fields.Album, "album");
    add(Fields.Year, "year");
    add(Fields.Comment, "comment");
    add(Fields.Style, "genre");
    add(Fields.Track, "track");
    if (names.empty())
        return "write tags of " + FileCount(Files);
    std::string text = "set ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text + " of " + FileCount(Files);
}

TFileFailures EditMoreRun(TFileList& List, const TEditMoreFields& Fields, IProgress* Progress,
                          TRunNotes* Notes) {
    if (!TrackFieldValid(Fields))
        throw std::invalid_argument(std::string(kMsgBadTrack));
    const std::size_t selected = List.SelCount();
    // The bar runs over 0 to N - 1 and is set to 1 .. N, as the window always did.
    ProgressScope progress(Progress, EditMoreProgressCaption(selected),
                           selected > 0 ? selected - 1 : 0);
    return RunTagStep(
        SelectedFilePaths(List), [&](std::size_t files) { return EditMoreDescription(Fields, files); },
        [&](TMP3Tag& tag) { ApplyEditMoreFields(tag, Fields); }, List.Codec(),
        [&](const TMP3Tag& tag) {
            if (Notes)
                Notes->NoteWritten(tag, List.Codec());
            List.SingleUpdateWritten(tag);
        },
        &progress);
}

} // namespace veltrane
