#include "browser/CodePageChoice.h"

#include "browser/FileList.h"
#include "tagcore/CodePageGuess.h"
#include "tagcore/UiText.h"

#include <stdexcept>

namespace veltrane {

namespace {

std::string StoredValue(const std::string& Name) {
    return Name == TagCodec::Default().Name() ? std::string() : Name;
}

} // namespace

std::string ShownCodePageCaption(std::string_view Name) {
    return UiText("CodePageChoice", CodePageCaption(Name).c_str());
}

std::vector<std::pair<std::string, std::string>> TagCodePageChoices(const std::string& System) {
    std::vector<std::pair<std::string, std::string>> choices;
    choices.emplace_back(UiText("CodePageChoice", "Automatic (per file)"), "auto");
    choices.emplace_back(FillText(UiText("CodePageChoice", "%1 (this system's)"),
                                  {ShownCodePageCaption(System)}),
                         StoredValue(System));
    for (const auto& [name, caption] : NamedCodePages())
        if (name != System)
            choices.emplace_back(UiText("CodePageChoice", caption.c_str()), StoredValue(name));
    return choices;
}

TagCodec TagCodecFor(const std::string& Stored, bool* Unknown) {
    if (Unknown)
        *Unknown = false;
    if (Stored.empty())
        return TagCodec::Default();
    try {
        return TagCodec(Stored);
    } catch (const std::invalid_argument&) {
        if (Unknown)
            *Unknown = true;
        return TagCodec::Default();
    }
}

std::string CodePageNotice(const TFileList& List, std::size_t MaxFiles) {
    const TagCodec& codec = List.Codec();
    if (codec.IsAuto())
        return {};
    std::vector<std::vector<std::string>> files;
    for (std::size_t i = 1; i < List.Count() && files.size() < MaxFiles; ++i) {
        const TMP3Tag tag = List.RowTag(i);
        if (tag.Header != "TAG")
            continue;
        std::vector<std::string> raw;
        bool high = false;
        for (const std::string* field : {&tag.Title, &tag.Artist, &tag.Album, &tag.Year,
                                         &tag.Comment}) {
            // The text was read in this code page, so encoding it gives the tag's bytes back.
            raw.push_back(codec.Encode(*field));
            for (const char c : raw.back())
                high = high || static_cast<unsigned char>(c) > 127;
        }
        if (high)
            files.push_back(std::move(raw));
    }
    const std::string better = FolderLooksLike(files, codec);
    if (better.empty())
        return {};
    return FillText(UiText("CodePageChoice",
                           "Tags here look like %1: Preferences, More, Tag code page."),
                    {ShownCodePageCaption(better)});
}

} // namespace veltrane
