#include "editing/TagFromFileName.h"

#include "tagcore/TagFile.h"

#include <algorithm>

namespace veltrane {

namespace {

bool IsTrimChar(char c) {
    switch (c) {
    case ' ':
    case '"':
    case '\'':
    case '(':
    case ')':
    case '[':
    case ']':
        return true;
    default:
        return false;
    }
}

std::string AsciiUpper(std::string_view Text) {
    std::string upper(Text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

} // namespace

std::string SmartCut(std::string_view Piece) {
    while (!Piece.empty() && IsTrimChar(Piece.front()))
        Piece.remove_prefix(1);
    while (!Piece.empty() && IsTrimChar(Piece.back()))
        Piece.remove_suffix(1);
    return std::string(Piece);
}

std::string NameWithoutDirectory(std::string_view Path) {
    const std::size_t slash = Path.rfind('/');
    return std::string(slash == std::string_view::npos ? Path : Path.substr(slash + 1));
}

void CutNameIntoFields(std::string_view Name, const TDeriveFormat& Format, bool SmartCutOn,
                       TMP3Tag& Tag) {
    const std::vector<std::string>& howTo = Format.HowTo();
    const std::string& separator = Format.Separator();
    std::string name(Name);
    std::size_t k = 0;
    bool last = howTo.empty();
    while (!last) {
        std::size_t p = separator.empty() ? std::string::npos : name.find(separator);
        if (p == std::string::npos) {
            p = AsciiUpper(name).find(".MP3");
            last = true;
        }
        if (p == std::string::npos)
            break;
        std::string piece = name.substr(0, p);
        name.erase(0, std::min(name.size(), p + separator.size()));
        if (SmartCutOn)
            piece = SmartCut(piece);
        if (std::string* field = TagFieldOf(Tag, howTo[k].empty() ? '\0' : howTo[k].front()))
            *field = std::move(piece);
        if (++k == howTo.size())
            last = true;
    }
}

TMP3Tag TagFromFileName(const std::string& Path, const TDeriveFormat& Format,
                        const TDeriveOptions& Options, const TagCodec& Codec) {
    return TagFromFileName(GetMP3Tag(Path, Codec), Format, Options);
}

TMP3Tag TagFromFileName(TMP3Tag Read, const TDeriveFormat& Format, const TDeriveOptions& Options) {
    if (Options.ClearTag || Read.Header != "TAG")
        ClearMP3Tag(Read);
    CutNameIntoFields(NameWithoutDirectory(Read.FileName), Format, Options.SmartCut, Read);
    return Read;
}

std::string DeriveProgressCaption(std::size_t Selected) {
    return "Deriving " + std::to_string(Selected) + " tags, please wait...";
}

TFileFailures DeriveRun(TFileList& List, const TDeriveFormat& Format, const TDeriveOptions& Options,
                        IProgress* Progress) {
    TFileFailures failures;
    if (Format.HowTo().empty())
        return failures;
    const std::size_t selected = List.SelCount();
    ProgressScope progress(Progress, DeriveProgressCaption(selected), selected);
    ForEachSelectedTag(List, progress, failures, [&](const std::string&, TMP3Tag& read) {
        const TMP3Tag tag = TagFromFileName(std::move(read), Format, Options);
        SetMP3Tag(tag.FileName, tag);
        List.SingleUpdate(tag);
        return std::string();
    });
    return failures;
}

} // namespace veltrane
