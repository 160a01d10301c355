#pragma once
// Batch actions on tag fields: case conversion, replace (plain text or a PCRE2 pattern) and a
// field made from a format of the others. An action works on any text; the step over many
// files stores its results in the ID3v1 fields, cut to their widths in the file's code page.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/ChangeJournal.h"
#include "editing/ChangePreview.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

enum class TCaseMode { cmTitle, cmUpper, cmLower, cmSentence };

// Unicode's simple one-to-one case mapping, without locale rules. Title: upper case at the
// start of the text and after a blank or one of ( [ { " - /, lower case elsewhere; sentence:
// the first letter upper case, the rest lower case. Both write a word that is the canonical
// Roman numeral of 1 to 39 in upper case. With Codec, a letter keeps its case when the code
// page cannot hold the other one.
std::string ChangeCase(std::string_view Utf8, TCaseMode Mode, const TagCodec* Codec = nullptr);

// "title", "upper", "lower", "sentence"; false for anything else.
bool ParseCaseMode(std::string_view Name, TCaseMode& Mode);

// The text fields an action may change; a set of them is a bit mask.
enum TActionField : unsigned {
    afTitle = 1,
    afArtist = 2,
    afAlbum = 4,
    afYear = 8,
    afComment = 16,
};
inline constexpr TActionField kActionFields[] = {afTitle, afArtist, afAlbum, afYear, afComment};
// "title", "artist", "album", "year", "comment".
std::string_view ActionFieldName(TActionField Field);
// "title,comment" to a mask; throws std::invalid_argument naming an unknown field.
unsigned ParseActionFields(std::string_view List);
std::string& ActionFieldOf(TMP3Tag& Tag, TActionField Field);
const std::string& ActionFieldOf(const TMP3Tag& Tag, TActionField Field);
// Bytes the field holds in the file: 30, the year 4, the comment 28 beside a track.
std::size_t ActionFieldRoom(TActionField Field, const TMP3Tag& Tag);

enum class TActionKind { akCase, akReplace, akFormat };

struct TActionSpec {
    TActionKind Kind = TActionKind::akCase;
    unsigned Fields = 0; // TActionField mask; Format takes exactly one
    TCaseMode Mode = TCaseMode::cmTitle;
    std::string Find, With; // Replace
    bool IgnoreCase = false, Regex = false;
    std::string Pattern; // Format
};

// Longest find text, pattern or replacement taken, in bytes.
inline constexpr std::size_t kMaxActionText = 4096;
// PCRE2's limits for one match: a pattern that backtracks without end stops there.
inline constexpr unsigned kActionMatchLimit = 1000000;
inline constexpr unsigned kActionDepthLimit = 100000;
inline constexpr unsigned kActionHeapLimitKiB = 20000;

// An action that cannot be made: which input is wrong, and why.
class EActionSpec : public std::invalid_argument {
  public:
    enum TWhere { wFields, wFind, wWith, wPattern };
    EActionSpec(TWhere Where, const std::string& Text) : std::invalid_argument(Text), Where(Where) {}
    TWhere Where;
};

// A pattern hit PCRE2's match, depth or heap limit on a text; the file is left as it is.
class EActionLimit : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TTagAction {
  public:
    // Throws EActionSpec: no field (or not one for Format), an empty find text, a pattern
    // that does not compile (naming the character where it fails, counted from 1), a
    // replacement that names no group of the pattern, an unknown placeholder, a text longer
    // than kMaxActionText.
    explicit TTagAction(TActionSpec Spec);
    ~TTagAction();
    TTagAction(TTagAction&&) noexcept;
    TTagAction& operator=(TTagAction&&) noexcept;

    const TActionSpec& Spec() const { return spec_; }

    // The action on Text, the text of one field (of any length: an ID3v1 field or another
    // tag's text). A format takes its placeholders from Values (its FileName for %file%);
    // Codec, when given, bounds the case change. Throws EActionLimit.
    std::string Apply(std::string_view Text, const TMP3Tag& Values,
                      const TagCodec* Codec = nullptr) const;

    // "title case of title, artist in 12 files" and the like, for the journal.
    std::string Description(std::size_t Files) const;

  private:
    struct TCompiled;
    TActionSpec spec_;
    std::unique_ptr<TCompiled> compiled_;
};

// What the action does to one file's tag: Tag (as read; a file without a tag starts empty)
// takes the new values of the chosen fields. Changed, Cut and Lossy are masks of the fields
// that change as stored, that are longer than their room and that hold characters the code
// page cannot hold; Tag ends as the file will hold it. Made, when given, gets the action's
// results of the chosen fields before they were stored. Throws EActionLimit.
struct TActionOutcome {
    unsigned Changed = 0, Cut = 0, Lossy = 0;
};
TActionOutcome ApplyTagAction(const TTagAction& Action, TMP3Tag& Tag, const TagCodec& Codec,
                              std::vector<std::string>* Made = nullptr);

inline constexpr std::string_view kNoteLimit =
    "the pattern hit PCRE2's match limit, the file is left as it is";

// One file a planned action changes: its state as read, and the record to write.
struct TActionFile {
    std::string Path;
    TFileState Before;
    TMP3Tag New;
};

struct TActionPlan {
    std::vector<TActionFile> Files; // the files that change, in Paths order
    std::vector<TPreviewRow> Preview;
    TFileFailures ReadFailures;     // files that could not be read
    std::vector<std::string> Limit; // files where the pattern hit a limit
    std::vector<std::string> Cut, Lossy;
};

// Reads every file (Jobs at a time) and works out what the action changes, writing nothing:
// a row per changed field (amber when the value is cut), one greyed row per unchanged file,
// and a row that cannot be done for a file that cannot be read or hit a limit.
TActionPlan PlanTagAction(const std::vector<std::string>& Paths, const TTagAction& Action,
                          const TagCodec& Codec, const ProgressScope* Progress = nullptr,
                          std::size_t Jobs = 0);

struct TActionResult {
    TFileFailures Failures; // read and write errors, in Paths order
    std::vector<std::string> Limit, Cut, Lossy;
    std::size_t Written = 0, Unchanged = 0;
};

// Writes a plan as one step of the change journal; a file changed since the plan read it is
// left alone and named.
TActionResult ApplyTagActionPlan(const TActionPlan& Plan, const TTagAction& Action,
                                 const TagCodec& Codec,
                                 const std::function<void(const TMP3Tag&)>& Written,
                                 const ProgressScope* Progress);
// Reads, changes and writes Paths as one step without a plan: each file is read once.
TActionResult RunTagAction(const std::vector<std::string>& Paths, const TTagAction& Action,
                           const TagCodec& Codec,
                           const std::function<void(const TMP3Tag&)>& Written,
                           const ProgressScope* Progress);

// The end messages of a run: the files whose values were cut, got "?", or hit a limit.
std::vector<std::string> ActionReports(const TActionResult& Result, std::size_t MaxLines = 20);

// The window's preview over the selected file rows, and its Apply: each changed row rebuilt.
TActionPlan TagActionPreviewRun(const TFileList& List, const TTagAction& Action,
                                IProgress* Progress);
TActionResult TagActionRun(TFileList& List, const TActionPlan& Plan, const TTagAction& Action,
                           IProgress* Progress);

} // namespace veltrane
