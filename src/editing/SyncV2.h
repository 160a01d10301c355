#pragma once
// ID3v2 tags kept in step with the ID3v1 changes of the tag steps ("--sync-v2", the window's
// "Keep ID3v2 tags in step"). A tag that fits its old room is rewritten in place; one that
// grows is written with the whole file to a new file beside it, which replaces the old one.

#include "editing/ChangePreview.h"
#include "editing/ChangeJournal.h"
#include "editing/RunFailures.h"
#include "id3v2/Id3v2Splice.h"
#include "tagcore/LongPath.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// What the tag steps do with ID3v2 tags, and what they found.
struct TSyncV2 {
    bool Enabled = false; // write the frames of the fields a step changes
    bool Count = false;   // (off) count the files changed that hold an ID3v2 tag
    std::mutex Mutex;     // guards what follows
    TFileFailures Skipped; // files whose ID3v2 tag was left alone; their ID3v1 tag was written
    std::size_t Holding = 0; // files changed that hold an ID3v2 tag
};
// Sets what the tag steps follow (nullptr: ID3v2 tags are not looked at); gives back the one
// it replaces.
TSyncV2* SetSyncV2(TSyncV2* Sync);
TSyncV2* ActiveSyncV2();

// Sets Sync for as long as it lives.
class TSyncV2Scope {
  public:
    explicit TSyncV2Scope(TSyncV2* Sync) : previous_(SetSyncV2(Sync)) {}
    ~TSyncV2Scope() { SetSyncV2(previous_); }
    TSyncV2Scope(const TSyncV2Scope&) = delete;
    TSyncV2Scope& operator=(const TSyncV2Scope&) = delete;

  private:
    TSyncV2* previous_;
};

// The frames to change when an ID3v1 record goes from Old to New: every field whose ID3v1
// bytes differ, with New's whole text (genre: its name, none for 255; track: the number).
TV2Edit V2EditFor(const TMP3Tag& Old, const TMP3Tag& New, const TagCodec& Codec);

// The text the tag holds for each field (UTF-8; nullopt: no frame, or one that cannot be read).
using TV2Texts = std::array<std::optional<std::string>, kV2Fields>;
// How a step makes the new texts of the fields it changes from the texts the tag holds (an
// action works on the frame's own text, never on its ID3v1 cut). Old: the ID3v1 record as read.
using TV2Rewrite = std::function<void(const TMP3Tag& Old, const TV2Texts& Frames, TV2Edit& Edit)>;
// Sets the rewrite of the tag steps and previews this thread runs, for as long as it lives.
class TV2RewriteScope {
  public:
    explicit TV2RewriteScope(const TV2Rewrite* Rewrite);
    ~TV2RewriteScope();
    TV2RewriteScope(const TV2RewriteScope&) = delete;
    TV2RewriteScope& operator=(const TV2RewriteScope&) = delete;

  private:
    const TV2Rewrite* previous_;
};
const TV2Rewrite* ActiveV2Rewrite();

inline constexpr std::string_view kMsgSeveralLinks =
    "has several hard links; its ID3v2 tag must grow and was not written, the file is left as it is";
inline constexpr std::string_view kMsgOwnerNotKept =
    "belongs to another user; its ID3v2 tag must grow and was not written, the file is left as it is";
// Names of the files written beside a growing file; a run removes those no run holds.
inline constexpr std::string_view kGrowPrefix = ".veltrane-grow-";

// The first bytes of a file as a step read them, with the file's links and owner then: a
// plan takes the tag from them instead of opening the file again.
struct TV2Head {
    std::string Bytes; // at most kV2FirstRead; only the tag when it ends before
    std::uint64_t Links = 1;
    std::uint32_t Owner = 0;
};
// How many bytes a step reads from a file's start when it keeps ID3v2 tags in step.
inline constexpr std::size_t kV2FirstRead = 8192;

// The bytes an in-place change writes, and where.
struct TV2InPlace {
    std::uint64_t Offset = 0;
    std::string Bytes;
};

// What one file's ID3v2 tag does in a step.
struct TV2Plan {
    bool Holds = false;               // the file holds an ID3v2 tag
    std::optional<TV2Change> Change;  // the tag changes so
    std::optional<TV2InPlace> InPlace; // an in-place Change as bytes, when they are few
    std::string Problem;              // the tag is left alone, and why
    bool Refused = false;             // the whole file is left alone (Problem says why)
    std::vector<TPreviewRow> Rows;    // "v2:TIT2" rows for a preview
};
// Looks at Path (still as Before) for the step's Edit. HeadOnly: only whether it holds a tag.
// Adjust, when given, makes the edit's texts from the tag's own; WithRows fills Rows. Head,
// when given, is the file's start as read with Before: the file is only opened again when
// the tag runs past it. Throws EInOutError when the file cannot be read.
using TV2Adjust = std::function<void(const TV2Texts& Frames, TV2Edit& Edit)>;
TV2Plan PlanV2(const std::string& Path, const TFileState& Before, const TV2Edit& Edit,
               bool HeadOnly = false, const TV2Adjust& Adjust = {}, bool WithRows = false,
               const TV2Head* Head = nullptr);

// Preview rows of the frames a change of Old into New makes in Path's ID3v2 tag (none when
// it has no tag), with this thread's rewrite; a tag left alone gives one row saying why.
std::vector<TPreviewRow> V2PreviewRows(const std::string& Path, const TMP3Tag& Old,
                                       const TMP3Tag& New, const TagCodec& Codec);

// Writes Path's new ID3v2 region (Change applied to the region it holds, which must be the
// one Change starts from) and its last bytes: Tail as an ID3v1 tag (TailSize 0: replacing
// one, else appended), or with TailSize the file cut to that size and ending in Tail. The file
// must be untouched since Expected. Gives the file's state afterwards. Throws on any failure,
// leaving the file as it was (a growing write only replaces it when done).
// Known, for an in-place Change planned from bytes read with Expected moments ago: what it
// writes; the file's status then vouches for its bytes, which are not read again (as a plain
// tag write trusts the tail it read). Directories, when given, opens the file.
TFileState WriteSynced(const std::string& Path, const TFileState& Expected, const TV2Change& Change,
                       const std::string& Tail, std::uint64_t TailSize,
                       const TV2InPlace* Known = nullptr, TDirectoryCache* Directories = nullptr);

// An undo of a synced write: whether the file is still as the step left it (Back gets the
// write that gives its bytes back), already back, or changed since.
enum class TSyncedUndo { suRestore, suAlreadyBack, suChangedSince };
TSyncedUndo PlanSyncedUndo(const TJournalEntry& Entry, const TFileState& Now, TJournalEntry& Back);

} // namespace veltrane
