#include "editing/Recode.h"

#include "editing/JournaledSteps.h"
#include "browser/FileList.h"
#include "id3v2/Id3v2Reader.h"
#include "tagcore/UiText.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"
#include "tagcore/Utf8.h"

#include <set>

namespace veltrane {

namespace {

// Characters that stand for bytes of no character of the code page read in.
bool StandsForBadByte(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xF780 && c <= 0xF7FF);
}

std::string OneChar(char32_t c) {
    std::string s;
    AppendUtf8(s, c);
    return s;
}

} // namespace

std::optional<std::string> RecodeRefusal(const TMP3Tag& Tag, const TagCodec& To) {
    const TagCodec& from = TagCodec::ById(Tag.CodePage);
    const bool track = Tag.Track != 0;
    const struct {
        const char* Name;
        const std::string& Text;
        std::size_t Width;
    } fields[] = {{"title", Tag.Title, 30},   {"artist", Tag.Artist, 30},
                  {"album", Tag.Album, 30},   {"year", Tag.Year, 4},
                  {"comment", Tag.Comment, track ? kCommentWidthWithTrack : 30}};
    for (const auto& f : fields) {
        const std::string text = RTrim(f.Text);
        for (std::size_t i = 0; i < text.size();) {
            char32_t c = 0;
            const std::size_t len = NextCodePoint(text, i, c);
            if (len == 0 || StandsForBadByte(c))
                return "holds bytes that are no character of " + from.Name() + " (" + f.Name + ")";
            if (!To.Holds(c))
                return To.Name() + " cannot hold \"" + OneChar(c) + "\" (" + f.Name + ")";
            i += len;
        }
        if (To.Encode(text).size() > f.Width)
            return "would be cut in " + To.Name() + " (" + f.Name + ")";
    }
    return std::nullopt;
}

namespace {

void AddRecodeRows(std::vector<TPreviewRow>& Rows, const std::string& Path, const TMP3Tag& Tag,
                   const TagCodec& To) {
    const TagCodec& from = TagCodec::ById(Tag.CodePage);
    const struct {
        const char* Name;
        const std::string& Text;
    } fields[] = {{"title", Tag.Title},
                  {"artist", Tag.Artist},
                  {"album", Tag.Album},
                  {"year", Tag.Year},
                  {"comment", Tag.Comment}};
    for (const auto& f : fields) {
        const std::string text = RTrim(f.Text);
        const std::string now = To.Decode(from.Encode(text));
        if (now != text)
            Rows.push_back({Path, f.Name, now, text, {}, TPreviewState::psChange});
    }
}

} // namespace

TRecodeResult RecodeFiles(const std::vector<std::string>& Paths, const TagCodec& From,
                          const TagCodec& To, bool DryRun) {
    TRecodeResult result;
    std::vector<std::string> change;
    std::set<std::string> seen;
    for (const std::string& path : Paths) {
        if (!seen.insert(path).second)
            continue;
        TMP3Tag tag;
        try {
            tag = GetMP3Tag(path, From);
        } catch (const EInOutError& e) {
            result.Failures.push_back({path, InOutErrorText(e)});
            continue;
        } catch (const std::exception& e) {
            result.Failures.push_back({path, e.what()});
            continue;
        }
        if (tag.Header != "TAG" || tag.CodePage == 0 || tag.CodePage == To.Id()) {
            result.Unchanged.push_back(path);
            continue;
        }
        if (std::optional<std::string> why = RecodeRefusal(tag, To)) {
            result.Preview.push_back({path, {}, {}, {}, *why, TPreviewState::psFailed});
            result.Refused.push_back({path, *why});
            continue;
        }
        AddRecodeRows(result.Preview, path, tag, To);
        change.push_back(path);
    }
    if (DryRun || change.empty()) {
        result.Converted = change;
        return result;
    }
    const std::vector<std::exception_ptr> errors = RunTagStepErrors(
        change,
        [&](std::size_t files) { return "convert " + FileCount(files) + " to " + To.Name(); },
        [&](TMP3Tag& tag) {
            // Read again for the step: refuse what changed since into something not convertible.
            if (tag.Header != "TAG" || tag.CodePage == 0)
                throw std::runtime_error(std::string(kMsgChangedMeanwhile));
            if (std::optional<std::string> why = RecodeRefusal(tag, To))
                throw std::runtime_error(*why);
            tag.CodePage = To.Id();
        },
        From, {}, nullptr);
    for (std::size_t i = 0; i < change.size(); ++i) {
        if (!errors[i]) {
            result.Converted.push_back(change[i]);
            continue;
        }
        try {
            std::rethrow_exception(errors[i]);
        } catch (const EInOutError& e) {
            result.Failures.push_back({change[i], InOutErrorText(e)});
        } catch (const std::exception& e) {
            result.Failures.push_back({change[i], e.what()});
        }
    }
    return result;
}

TRecodeResult RecodeSelected(TFileList& List, const std::string& FromName,
                             const std::string& ToName, bool DryRun) {
    const std::vector<std::string> paths = SelectedFilePaths(List);
    const TagCodec to(ToName);
    TagCodec from = List.Codec();
    if (FromName != "auto" || !from.IsAuto()) {
        from = TagCodec(FromName);
        if (from.IsAuto()) {
            from.Resolver()->SetId3v2Hint(ReadUnicodeTitles);
            from.Resolver()->SetRunFiles(paths);
        }
    }
    TRecodeResult result = RecodeFiles(paths, from, to, DryRun);
    if (!DryRun)
        for (const std::string& path : result.Converted) {
            TMP3Tag tag;
            tag.FileName = path;
            List.SingleUpdate(tag);
        }
    return result;
}

std::string RecodeHeadline(std::size_t Selected) {
    return Selected == 1 ? UiText("Recode", "converting 1 file")
                         : FillText(UiText("Recode", "converting %1 files"),
                                    {std::to_string(Selected)});
}

} // namespace veltrane
