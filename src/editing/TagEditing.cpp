#include "editing/TagEditing.h"

#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

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
    }
    return fields;
}

TMP3Tag SaveSingleTag(const TMP3Tag& Record, const TEditorFields& Fields, TFileList* List) {
    TMP3Tag tag = Record;
    tag.Header = "TAG";
    tag.Title = Fields.Title;
    tag.Artist = Fields.Artist;
    tag.Album = Fields.Album;
    tag.Year = Fields.Year;
    tag.Comment = Fields.Comment;
    tag.Genre = StyleToByte(Fields.Style);
    SetMP3Tag(tag.FileName, tag);
    if (List)
        List->SingleUpdate(tag);
    return tag;
}

std::string EditMoreHeadline(std::size_t Selected) {
    if (Selected == 1)
        return "changing tag for 1 file";
    return "changing tag for " + std::to_string(Selected) + " files";
}

std::string EditMoreProgressCaption(std::size_t Selected) {
    return "Updating " + std::to_string(Selected) + " tags, please wait...";
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
}

TFileFailures EditMoreRun(TFileList& List, const TEditMoreFields& Fields, IProgress* Progress) {
    const std::size_t selected = List.SelCount();
    // The bar runs over 0 to N - 1 and is set to 1 .. N, as the window always did.
    ProgressScope progress(Progress, EditMoreProgressCaption(selected),
                           selected > 0 ? selected - 1 : 0);
    TFileFailures failures;
    ForEachSelectedTag(List, progress, failures, [&](const std::string&, TMP3Tag& tag) {
        ApplyEditMoreFields(tag, Fields);
        SetMP3Tag(tag.FileName, tag);
        List.SingleUpdate(tag);
        return std::string();
    });
    return failures;
}

} // namespace veltrane
