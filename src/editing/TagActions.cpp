#include "editing/TagActions.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "browser/ErrorText.h"
#include "editing/CodePageCheck.h"
#include "editing/JournaledSteps.h"
#include "editing/SyncV2.h"
#include "editing/TagFromFileName.h"
#include "tagcore/InOutError.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"
#include "tagcore/Utf8.h"

#include <array>
#include <clocale>
#include <locale.h>
#include <unordered_map>
#include <unordered_set>
#include <wctype.h>

namespace veltrane {

namespace {

// The case tables of Unicode itself, not those of the user's language (no Turkish dotted i).
locale_t CaseLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    return locale;
}

char32_t ToUpper(char32_t c) {
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    const locale_t l = CaseLocale();
    return l ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), l)) : c;
}

char32_t ToLower(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    const locale_t l = CaseLocale();
    return l ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), l)) : c;
}

bool IsAlnum(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    const locale_t l = CaseLocale();
    return l && iswalnum_l(static_cast<wint_t>(c), l);
}

bool StartsTitleWord(char32_t c) {
    switch (c) {
    case ' ': case '(': case '[': case '{': case '"': case '-': case '/':
        return true;
    default:
        return false;
    }
}

// I to XXXIX, the only numerals a title or a sentence writes in upper case.
bool IsRomanNumeral(std::string_view Word) {
    static const std::unordered_set<std::string> numerals = [] {
        const char* const units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
        const char* const tens[] = {"", "X", "XX", "XXX"};
        std::unordered_set<std::string> all;
        for (int n = 1; n <= 39; ++n)
            all.insert(std::string(tens[n / 10]) + units[n % 10]);
        return all;
    }();
    if (Word.empty() || Word.size() > 7) // XXXVIII is the longest
        return false;
    std::string upper(Word);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    return numerals.count(upper) != 0;
}

// Each word between blanks whose core (brackets, quotes and punctuation at its ends set
// aside) is such a numeral, in upper case.
void UpperRomanNumerals(std::string& Text) {
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find(' ', start);
        if (end == std::string::npos)
            end = Text.size();
        std::size_t first = start, last = end;
        // Numerals are ASCII: stepping over the other bytes one at a time is enough.
        while (first < last && !IsAlnum(static_cast<unsigned char>(Text[first])) &&
               static_cast<unsigned char>(Text[first]) < 0x80)
            ++first;
        while (last > first && !IsAlnum(static_cast<unsigned char>(Text[last - 1])) &&
               static_cast<unsigned char>(Text[last - 1]) < 0x80)
            --last;
        if (IsRomanNumeral(std::string_view(Text).substr(first, last - first)))
            for (std::size_t i = first; i < last; ++i)
                if (Text[i] >= 'a' && Text[i] <= 'z')
                    Text[i] = static_cast<char>(Text[i] - 0x20);
        start = end + 1;
    }
}

bool CodePageHolds(const TagCodec& Codec, char32_t c) {
    std::string one;
    AppendUtf8(one, c);
    return Codec.Encode(one) != "?";
}

} // namespace

std::string ChangeCase(std::string_view Utf8, TCaseMode Mode, const TagCodec* Codec) {
    std::string out;
    out.reserve(Utf8.size());
    char32_t previous = 0;
    bool sentenceStarted = false;
    for (std::size_t i = 0; i < Utf8.size();) {
        char32_t c = 0;
        const std::size_t length = NextCodePoint(Utf8, i, c);
        if (length == 0) { // an invalid byte stays as it is
            out += Utf8[i++];
            previous = 0xFFFD;
            continue;
        }
        bool upper = false;
        switch (Mode) {
        case TCaseMode::cmUpper: upper = true; break;
        case TCaseMode::cmLower: upper = false; break;
        case TCaseMode::cmTitle: upper = i == 0 || StartsTitleWord(previous); break;
        case TCaseMode::cmSentence:
            // The first letter or digit starts the sentence: "1st place" stays as it is.
            upper = !sentenceStarted && IsAlnum(c);
            sentenceStarted = sentenceStarted || IsAlnum(c);
            break;
        }
        char32_t mapped = upper ? ToUpper(c) : ToLower(c);
        if (mapped != c && Codec && !CodePageHolds(*Codec, mapped))
            mapped = c;
        AppendUtf8(out, mapped);
        previous = c;
        i += length;
    }
    if (Mode == TCaseMode::cmTitle || Mode == TCaseMode::cmSentence)
        UpperRomanNumerals(out);
    return out;
}

bool ParseCaseMode(std::string_view Name, TCaseMode& Mode) {
    static const std::pair<std::string_view, TCaseMode> modes[] = {
        {"title", TCaseMode::cmTitle},
        {"upper", TCaseMode::cmUpper},
        {"lower", TCaseMode::cmLower},
        {"sentence", TCaseMode::cmSentence}};
    for (const auto& [name, mode] : modes)
        if (name == Name) {
            Mode = mode;
            return true;
        }
    return false;
}

std::string_view ActionFieldName(TActionField Field) {
    switch (Field) {
    case afTitle: return "title";
    case afArtist: return "artist";
    case afAlbum: return "album";
    case afYear: return "year";
    case afComment: return "comment";
    }
    return {};
}

unsigned ParseActionFields(std::string_view List) {
    unsigned mask = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = std::min(List.find(',', start), List.size());
        const std::string_view name = List.substr(start, comma - start);
        unsigned field = 0;
        for (const TActionField f : kActionFields)
            if (ActionFieldName(f) == name)
                field = f;
        if (field == 0)
            throw std::invalid_argument("unknown field '" + std::string(name) +
                                        "' (title, artist, album, year, comment)");
        mask |= field;
        if (comma == List.size())
            return mask;
        start = comma + 1;
    }
}

std::string& ActionFieldOf(TMP3Tag& Tag, TActionField Field) {
    switch (Field) {
    case afTitle: return Tag.Title;
    case afArtist: return Tag.Artist;
    case afAlbum: return Tag.Album;
    case afYear: return Tag.Year;
    case afComment: break;
    }
    return Tag.Comment;
}

const std::string& ActionFieldOf(const TMP3Tag& Tag, TActionField Field) {
    return ActionFieldOf(const_cast<TMP3Tag&>(Tag), Field);
}

std::size_t ActionFieldRoom(TActionField Field, const TMP3Tag& Tag) {
    if (Field == afYear)
        return 4;
    if (Field == afComment && Tag.Track != 0)
        return kCommentWidthWithTrack;
    return 30;
}

// ---------------------------------------------------------------------------------------------

namespace {

enum TPlaceholder { phText, phTitle, phArtist, phAlbum, phYear, phComment, phGenre, phTrack, phFile };

struct TFormatPiece {
    TPlaceholder Kind;
    std::string Text; // phText
};

std::string FileNameWithoutExtension(const std::string& Path) {
    std::string name = NameWithoutDirectory(Path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return name;
}

std::string PlaceholderValue(TPlaceholder Kind, const TMP3Tag& Tag) {
    const bool tagged = Tag.Header == "TAG";
    switch (Kind) {
    case phTitle: return tagged ? Tag.Title : std::string();
    case phArtist: return tagged ? Tag.Artist : std::string();
    case phAlbum: return tagged ? Tag.Album : std::string();
    case phYear: return tagged ? Tag.Year : std::string();
    case phComment: return tagged ? Tag.Comment : std::string();
    case phGenre: return tagged && Tag.Genre != 255 ? RTrim(ByteToStyle(Tag.Genre)) : std::string();
    case phTrack: return tagged ? TrackText(Tag.Track) : std::string();
    case phFile: return FileNameWithoutExtension(Tag.FileName);
    case phText: break;
    }
    return {};
}

std::vector<TFormatPiece> ParseFormatPattern(std::string_view Pattern) {
    static const std::pair<std::string_view, TPlaceholder> names[] = {
        {"title", phTitle}, {"artist", phArtist}, {"album", phAlbum}, {"year", phYear},
        {"comment", phComment}, {"genre", phGenre}, {"track", phTrack}, {"file", phFile}};
    std::vector<TFormatPiece> pieces;
    std::string text;
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        if (Pattern[i] != '%') {
            text += Pattern[i];
            continue;
        }
        if (i + 1 < Pattern.size() && Pattern[i + 1] == '%') {
            text += '%';
            ++i;
            continue;
        }
        const std::size_t close = Pattern.find('%', i + 1);
        if (close == std::string_view::npos)
            throw EActionSpec(EActionSpec::wPattern,
                              FillText(UiText("TagActions", "a % at character %1 has no closing "
                                                            "%; write %% for a percent sign"),
                                       {std::to_string(i + 1)}));
        const std::string_view name = Pattern.substr(i + 1, close - i - 1);
        TPlaceholder kind = phText;
        for (const auto& [n, k] : names)
            if (n == name)
                kind = k;
        if (kind == phText)
            throw EActionSpec(EActionSpec::wPattern,
                              FillText(UiText("TagActions", "unknown placeholder %%1%"),
                                       {std::string(name)}));
        if (!text.empty())
            pieces.push_back({phText, std::move(text)});
        text.clear();
        pieces.push_back({kind, {}});
        i = close;
    }
    if (!text.empty())
        pieces.push_back({phText, std::move(text)});
    return pieces;
}

std::string Pcre2Message(int Code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(Code, buffer, sizeof buffer) < 0)
        return "error " + std::to_string(Code);
    return reinterpret_cast<const char*>(buffer);
}

// Characters (counted from 1) up to the one at byte Offset of Text.
std::size_t CharacterAt(std::string_view Text, std::size_t Offset) {
    std::size_t chars = 1;
    for (std::size_t i = 0; i < Offset && i < Text.size(); ++i)
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80)
            ++chars;
    return chars;
}

struct TCodeDeleter {
    void operator()(pcre2_code* Code) const { pcre2_code_free(Code); }
};
struct TMatchContextDeleter {
    void operator()(pcre2_match_context* Context) const { pcre2_match_context_free(Context); }
};
struct TMatchDataDeleter {
    void operator()(pcre2_match_data* Data) const { pcre2_match_data_free(Data); }
};
using TCode = std::unique_ptr<pcre2_code, TCodeDeleter>;
using TMatchData = std::unique_ptr<pcre2_match_data, TMatchDataDeleter>;

// Substitutes Replacement for every match of Code in Subject; a negative PCRE2 code when it
// fails.
int Substitute(const pcre2_code* Code, pcre2_match_context* Context, std::string_view Subject,
               std::string_view Replacement, std::uint32_t Options, std::string& Out,
               PCRE2_SIZE* ErrorOffset = nullptr) {
    const TMatchData data(pcre2_match_data_create_from_pattern(Code, nullptr));
    if (!data)
        return PCRE2_ERROR_NOMEMORY;
    Out.resize(Subject.size() + Replacement.size() + 32);
    for (int attempt = 0; attempt < 2; ++attempt) {
        PCRE2_SIZE length = Out.size();
        const int rc = pcre2_substitute(
            Code, reinterpret_cast<PCRE2_SPTR>(Subject.data()), Subject.size(), 0,
            Options | PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH |
                PCRE2_SUBSTITUTE_UNSET_EMPTY,
            data.get(), Context, reinterpret_cast<PCRE2_SPTR>(Replacement.data()),
            Replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(Out.data()), &length);
        if (rc == PCRE2_ERROR_NOMEMORY && attempt == 0) {
            Out.resize(length); // the length it needs
            continue;
        }
        if (rc < 0) {
            if (ErrorOffset)
                *ErrorOffset = length;
            return rc;
        }
        Out.resize(length);
        return rc;
    }
    return PCRE2_ERROR_NOMEMORY;
}

// A replacement is checked on a pattern of empty groups with the same numbers and names as
// Code's, so a reference to no group is refused before any file is read, in PCRE2's words.
void CheckReplacement(const pcre2_code* Code, std::string_view Replacement) {
    std::uint32_t groups = 0, names = 0, entrySize = 0;
    PCRE2_SPTR table = nullptr;
    pcre2_pattern_info(Code, PCRE2_INFO_CAPTURECOUNT, &groups);
    pcre2_pattern_info(Code, PCRE2_INFO_NAMECOUNT, &names);
    pcre2_pattern_info(Code, PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
    pcre2_pattern_info(Code, PCRE2_INFO_NAMETABLE, &table);
    std::vector<std::string> nameOf(groups + 1);
    for (std::uint32_t n = 0; n < names; ++n) {
        const PCRE2_SPTR entry = table + n * entrySize;
        const unsigned group = (unsigned(entry[0]) << 8) | entry[1];
        if (group <= groups && nameOf[group].empty())
            nameOf[group] = reinterpret_cast<const char*>(entry + 2);
    }
    std::string pattern = "(?J)";
    for (std::uint32_t g = 1; g <= groups; ++g)
        pattern += nameOf[g].empty() ? "()" : "(?<" + nameOf[g] + ">)";
    int error = 0;
    PCRE2_SIZE offset = 0;
    const TCode shape(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                    PCRE2_UTF, &error, &offset, nullptr));
    if (!shape)
        throw std::logic_error("the groups of a pattern cannot be copied: " + Pcre2Message(error));
    std::string out;
    PCRE2_SIZE at = 0;
    const int rc = Substitute(shape.get(), nullptr, "", Replacement, 0, out, &at);
    if (rc < 0)
        throw EActionSpec(EActionSpec::wWith,
                          FillText(UiText("TagActions", "%1 at character %2"),
                                   {Pcre2Message(rc), std::to_string(CharacterAt(Replacement, at))}));
}

std::string FieldList(unsigned Fields) {
    std::string list;
    for (const TActionField f : kActionFields)
        if (Fields & f)
            list += (list.empty() ? "" : ", ") + std::string(ActionFieldName(f));
    return list;
}

} // namespace

struct TTagAction::TCompiled {
    TCode Code;
    std::unique_ptr<pcre2_match_context, TMatchContextDeleter> Context;
    std::vector<TFormatPiece> Format;
};

TTagAction::TTagAction(TActionSpec Spec) : spec_(std::move(Spec)), compiled_(new TCompiled) {
    const unsigned fields = spec_.Fields & (afTitle | afArtist | afAlbum | afYear | afComment);
    if (fields == 0)
        throw EActionSpec(EActionSpec::wFields, UiText("TagActions", "no field is chosen"));
    if (spec_.Kind == TActionKind::akFormat && (fields & (fields - 1)) != 0)
        throw EActionSpec(EActionSpec::wFields,
                          UiText("TagActions", "a format fills one field, not several"));
    const auto tooLong = [](EActionSpec::TWhere Where, std::string_view Text) {
        if (Text.size() > kMaxActionText)
            throw EActionSpec(Where, FillText(UiText("TagActions", "longer than %1 bytes"),
                                              {std::to_string(kMaxActionText)}));
    };
    if (spec_.Kind == TActionKind::akFormat) {
        tooLong(EActionSpec::wPattern, spec_.Pattern);
        compiled_->Format = ParseFormatPattern(spec_.Pattern);
        return;
    }
    if (spec_.Kind != TActionKind::akReplace)
        return;
    tooLong(EActionSpec::wFind, spec_.Find);
    tooLong(EActionSpec::wWith, spec_.With);
    if (spec_.Find.empty())
        throw EActionSpec(EActionSpec::wFind, UiText("TagActions", "nothing to find"));
    // Unicode properties too, so that \w and \b take "ü" for the letter it is.
    std::uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | (spec_.Regex ? PCRE2_UCP : 0);
    if (spec_.IgnoreCase)
        options |= PCRE2_CASELESS;
    // \C could split a character in two and leave half of it behind.
    options |= spec_.Regex ? PCRE2_NEVER_BACKSLASH_C : PCRE2_LITERAL;
    int error = 0;
    PCRE2_SIZE offset = 0;
    compiled_->Code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(spec_.Find.data()),
                                        spec_.Find.size(), options, &error, &offset, nullptr));
    if (!compiled_->Code)
        throw EActionSpec(EActionSpec::wFind,
                          FillText(UiText("TagActions", "%1 at character %2"),
                                   {Pcre2Message(error),
                                    std::to_string(CharacterAt(spec_.Find, offset))}));
    compiled_->Context.reset(pcre2_match_context_create(nullptr));
    pcre2_set_match_limit(compiled_->Context.get(), kActionMatchLimit);
    pcre2_set_depth_limit(compiled_->Context.get(), kActionDepthLimit);
    pcre2_set_heap_limit(compiled_->Context.get(), kActionHeapLimitKiB);
    if (spec_.Regex)
        CheckReplacement(compiled_->Code.get(), spec_.With);
}

TTagAction::~TTagAction() = default;
TTagAction::TTagAction(TTagAction&&) noexcept = default;
TTagAction& TTagAction::operator=(TTagAction&&) noexcept = default;

std::string TTagAction::Apply(std::string_view Text, const TMP3Tag& Values,
                              const TagCodec* Codec) const {
    switch (spec_.Kind) {
    case TActionKind::akCase:
        return ChangeCase(Text, spec_.Mode, Codec);
    case TActionKind::akFormat: {
        std::string out;
        for (const TFormatPiece& piece : compiled_->Format)
            out += piece.Kind == phText ? piece.Text : PlaceholderValue(piece.Kind, Values);
        return out;
    }
    case TActionKind::akReplace:
        break;
    }
    std::string out;
    const int rc = Substitute(compiled_->Code.get(), compiled_->Context.get(), Text, spec_.With,
                              spec_.Regex ? 0 : PCRE2_SUBSTITUTE_LITERAL, out);
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
        rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_NOMEMORY)
        throw EActionLimit(std::string(kNoteLimit));
    if (rc < 0)
        throw std::runtime_error(Pcre2Message(rc));
    return out;
}

std::string TTagAction::Description(std::size_t Files) const {
    const std::string fields = FieldList(spec_.Fields);
    switch (spec_.Kind) {
    case TActionKind::akCase: {
        static const char* const modes[] = {"title case", "upper case", "lower case",
                                            "sentence case"};
        return std::string(modes[static_cast<int>(spec_.Mode)]) + " of " + fields + " in " +
               FileCount(Files);
    }
    case TActionKind::akReplace:
        return "replace in " + fields + " of " + FileCount(Files);
    case TActionKind::akFormat:
        break;
    }
    return "format " + fields + " of " + FileCount(Files);
}

TActionOutcome ApplyTagAction(const TTagAction& Action, TMP3Tag& Tag, const TagCodec& RunCodec,
                              std::vector<std::string>* Made) {
    if (Tag.Header != "TAG")
        ClearMP3Tag(Tag);
    // The file's own code page governs what it can hold.
    const TagCodec& Codec = RunCodec.ForTag(Tag.CodePage);
    const TMP3Tag old = Tag;
    const unsigned fields = Action.Spec().Fields;
    for (const TActionField f : kActionFields)
        if (fields & f)
            ActionFieldOf(Tag, f) = Action.Apply(ActionFieldOf(Tag, f), old, &Codec);
    if (Made)
        for (const TActionField f : kActionFields)
            if (fields & f)
                Made->push_back(ActionFieldOf(Tag, f));
    // What the file will hold: cut to the field, "?" for what the code page lacks.
    TMP3Tag stored = ParseTagBytes(BuildTagBytes(Tag, Codec), Codec);
    TActionOutcome outcome;
    for (const TActionField f : kActionFields) {
        if (!(fields & f))
            continue;
        std::string& now = ActionFieldOf(stored, f);
        std::string& made = ActionFieldOf(Tag, f);
        if (now != RTrim(ActionFieldOf(old, f))) {
            outcome.Changed |= f;
            if (Codec.Encode(RTrim(made)).size() > ActionFieldRoom(f, Tag))
                outcome.Cut |= f;
            if (!UnencodableChars(made, Codec).empty())
                outcome.Lossy |= f;
        }
        made = std::move(now);
    }
    return outcome;
}

// ---------------------------------------------------------------------------------------------

namespace {

TV2Field V2FieldOf(TActionField Field) {
    switch (Field) {
    case afTitle:
        return TV2Field::vfTitle;
    case afArtist:
        return TV2Field::vfArtist;
    case afAlbum:
        return TV2Field::vfAlbum;
    case afYear:
        return TV2Field::vfYear;
    case afComment:
        break;
    }
    return TV2Field::vfComment;
}

// The action on the frames' own texts, for the fields whose ID3v1 value changes: a longer
// ID3v2 text is changed whole, never replaced by its ID3v1 cut. A field without a frame takes
// the action on its ID3v1 text, uncut; a format fills its placeholders from the frames.
TV2Rewrite FrameRewrite(const TTagAction& Action) {
    return [&Action](const TMP3Tag& Old, const TV2Texts& Frames, TV2Edit& Edit) {
        TMP3Tag values = Old;
        if (values.Header != "TAG")
            ClearMP3Tag(values);
        for (const TActionField f : kActionFields)
            if (const auto& frame = Frames[static_cast<std::size_t>(V2FieldOf(f))])
                ActionFieldOf(values, f) = *frame;
        for (const TActionField f : kActionFields) {
            const auto v2 = static_cast<std::size_t>(V2FieldOf(f));
            if ((Action.Spec().Fields & f) && Edit.Text[v2])
                Edit.Text[v2] = Action.Apply(ActionFieldOf(values, f), values);
        }
    };
}

bool SyncingV2() {
    const TSyncV2* sync = ActiveSyncV2();
    return sync && sync->Enabled;
}

// The preview rows of one file: Old as read, New as stored.
void AddActionRows(std::vector<TPreviewRow>& Rows, const std::string& Path, const TMP3Tag& Old,
                   const TMP3Tag& New, const TActionOutcome& Outcome, const TTagAction& Action,
                   const TagCodec& Codec, const std::vector<std::string>& MadeValues) {
    if (Outcome.Changed == 0) {
        Rows.push_back({Path, "", "", "", std::string(kNoteUnchanged), TPreviewState::psUnchanged});
        return;
    }
    std::size_t k = 0;
    for (const TActionField f : kActionFields) {
        if (!(Action.Spec().Fields & f))
            continue;
        const std::string& made = MadeValues[k++];
        if (!(Outcome.Changed & f))
            continue;
        TPreviewRow row{Path, std::string(ActionFieldName(f)),
                        ActionFieldOf(Old, f),
                        ActionFieldOf(New, f), "", TPreviewState::psChange};
        if (Outcome.Lossy & f)
            AddNote(row.Note, "the code page has no " + UnencodableChars(made, Codec));
        if (Outcome.Cut & f)
            AddNote(row.Note, "cut to " + std::to_string(ActionFieldRoom(f, New)) + " bytes");
        if (Outcome.Lossy & f || Outcome.Cut & f)
            row.State = TPreviewState::psWarning;
        Rows.push_back(std::move(row));
    }
}

std::vector<std::string> Unique(const std::vector<std::string>& Paths) {
    std::vector<std::string> unique;
    std::unordered_set<std::string_view> seen;
    for (const std::string& path : Paths)
        if (seen.insert(path).second)
            unique.push_back(path);
    return unique;
}

} // namespace

TActionPlan PlanTagAction(const std::vector<std::string>& Paths, const TTagAction& Action,
                          const TagCodec& Codec, const ProgressScope* Progress, std::size_t Jobs) {
    const std::vector<std::string> paths = Unique(Paths);
    TActionPlan plan;
    const TV2Rewrite rewrite = FrameRewrite(Action);
    const TV2RewriteScope scope(&rewrite);
    const bool syncing = SyncingV2();
    TOrderedReader<TFileState, TDirectoryCache> reader(
        paths.size(), Jobs, [&](std::size_t i, TDirectoryCache& directories) {
            return ReadFileState(paths[i], &directories);
        });
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        TFileState state;
        try {
            state = reader.Next();
        } catch (const std::exception& e) {
            const std::string text =
                dynamic_cast<const EInOutError*>(&e) ? InOutErrorText(static_cast<const EInOutError&>(e))
                                                     : std::string(e.what());
            plan.ReadFailures.push_back({path, text});
            plan.Preview.push_back({path, "", "", "", text, TPreviewState::psFailed});
            continue;
        }
        TMP3Tag tag = ParseTagBytes(state.Tail, Codec, &path);
        tag.FileName = path;
        if (tag.Header != "TAG")
            ClearMP3Tag(tag);
        const TMP3Tag old = tag;
        TActionOutcome outcome;
        std::vector<std::string> made;
        try {
            outcome = ApplyTagAction(Action, tag, Codec, &made);
        } catch (const EActionLimit& e) {
            plan.Limit.push_back(path);
            plan.Preview.push_back({path, "", "", "", e.what(), TPreviewState::psFailed});
            continue;
        }
        AddActionRows(plan.Preview, path, old, tag, outcome, Action, Codec.ForTag(old.CodePage), made);
        if (outcome.Changed && syncing)
            for (TPreviewRow& row : V2PreviewRows(path, old, tag, Codec.ForTag(old.CodePage)))
                plan.Preview.push_back(std::move(row));
        if (outcome.Cut)
            plan.Cut.push_back(path);
        if (outcome.Lossy)
            plan.Lossy.push_back(path);
        if (outcome.Changed)
            plan.Files.push_back({path, std::move(state), std::move(tag)});
        if (Progress)
            Progress->SetPosition(i + 1);
    }
    if (Progress)
        Progress->SetPosition(Paths.size());
    return plan;
}

namespace {

// Files of List that were written, in their order.
std::vector<std::string> WrittenOf(const std::vector<std::string>& List,
                                   const std::unordered_set<std::string>& Written) {
    std::vector<std::string> out;
    for (const std::string& path : List)
        if (Written.count(path))
            out.push_back(path);
    return out;
}

} // namespace

TActionResult ApplyTagActionPlan(const TActionPlan& Plan, const TTagAction& Action,
                                 const TagCodec& Codec,
                                 const std::function<void(const TMP3Tag&)>& Written,
                                 const ProgressScope* Progress) {
    TActionResult result;
    result.Failures = Plan.ReadFailures;
    result.Limit = Plan.Limit;
    if (Plan.Files.empty())
        return result;
    std::vector<TReadFile> files;
    files.reserve(Plan.Files.size());
    for (const TActionFile& file : Plan.Files)
        files.push_back({file.Path, file.Before});
    std::unordered_set<std::string> written;
    const TV2Rewrite rewrite = FrameRewrite(Action);
    const TV2RewriteScope scope(&rewrite);
    const TFileFailures failures = RunReadTagStep(
        files, [&](std::size_t n) { return Action.Description(n); },
        [&](std::size_t index, TMP3Tag& tag) {
            const TActionFile& file = Plan.Files[index];
            if (tag.Header != "TAG")
                ClearMP3Tag(tag);
            for (const TActionField f : kActionFields)
                if (Action.Spec().Fields & f)
                    ActionFieldOf(tag, f) = ActionFieldOf(file.New, f);
        },
        Codec,
        [&](const TMP3Tag& tag) {
            ++result.Written;
            written.insert(tag.FileName);
            if (Written)
                Written(tag);
        },
        Progress);
    result.Failures.insert(result.Failures.end(), failures.begin(), failures.end());
    result.Cut = WrittenOf(Plan.Cut, written);
    result.Lossy = WrittenOf(Plan.Lossy, written);
    return result;
}

namespace {
struct TUnchanged {};
} // namespace

TActionResult RunTagAction(const std::vector<std::string>& Paths, const TTagAction& Action,
                           const TagCodec& Codec,
                           const std::function<void(const TMP3Tag&)>& Written,
                           const ProgressScope* Progress) {
    TActionResult result;
    std::unordered_map<std::string, TActionOutcome> outcomes;
    const TV2Rewrite rewrite = FrameRewrite(Action);
    const TV2RewriteScope scope(&rewrite);
    const std::vector<std::exception_ptr> errors = RunTagStepErrors(
        Paths, [&](std::size_t n) { return Action.Description(n); },
        [&](TMP3Tag& tag) {
            const TActionOutcome outcome = ApplyTagAction(Action, tag, Codec);
            if (outcome.Changed == 0)
                throw TUnchanged{};
            if (outcome.Cut || outcome.Lossy)
                outcomes.emplace(tag.FileName, outcome);
        },
        Codec,
        [&](const TMP3Tag& tag) {
            ++result.Written;
            if (const auto it = outcomes.find(tag.FileName); it != outcomes.end()) {
                if (it->second.Cut)
                    result.Cut.push_back(tag.FileName);
                if (it->second.Lossy)
                    result.Lossy.push_back(tag.FileName);
            }
            if (Written)
                Written(tag);
        },
        Progress);
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        if (!errors[i])
            continue;
        try {
            std::rethrow_exception(errors[i]);
        } catch (const TUnchanged&) {
            ++result.Unchanged;
        } catch (const EActionLimit&) {
            result.Limit.push_back(Paths[i]);
        } catch (const std::exception& e) {
            result.Failures.push_back({Paths[i], e.what()});
        }
    }
    return result;
}

std::vector<std::string> ActionReports(const TActionResult& Result, std::size_t MaxLines) {
    std::vector<std::string> messages;
    if (!Result.Cut.empty())
        messages.push_back(ListedLinesMessage(
            UiText("TagActions", "In the tags of these files, values longer than their fields "
                                 "were cut (30 bytes, the year 4, a comment beside a track 28):"),
            Result.Cut, MaxLines));
    if (!Result.Lossy.empty())
        messages.push_back(LossyFilesReport(Result.Lossy, MaxLines));
    if (!Result.Limit.empty())
        messages.push_back(ListedLinesMessage(
            UiText("TagActions", "On these files the pattern hit PCRE2's match limit; they were "
                                 "left as they were:"),
            Result.Limit, MaxLines));
    return messages;
}

TActionPlan TagActionPreviewRun(const TFileList& List, const TTagAction& Action,
                                IProgress* Progress) {
    const std::vector<std::string> paths = SelectedFilePaths(List);
    ProgressScope progress(Progress, PreviewProgressCaption(paths.size()), paths.size());
    return PlanTagAction(paths, Action, List.Codec(), &progress, List.ReadJobs());
}

TActionResult TagActionRun(TFileList& List, const TActionPlan& Plan, const TTagAction& Action,
                           IProgress* Progress) {
    ProgressScope progress(
        Progress,
        FillText(UiText("TagActions", "Changing %1 tags, please wait..."),
                 {std::to_string(Plan.Files.size())}),
        Plan.Files.size());
    return ApplyTagActionPlan(
        Plan, Action, List.Codec(),
        [&](const TMP3Tag& tag) { List.SingleUpdateWritten(tag); },
        &progress);
}

} // namespace veltrane
