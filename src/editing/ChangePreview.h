#pragma once
// The rows a change shows before it is made: one row per field that changes, and rows that
// say what stays as it is or cannot be done. The same rows feed the preview window and the
// command line's --dry-run listing.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

enum class TPreviewState {
    psChange,    // the field changes as shown
    psUnchanged, // the file keeps what it has (shown greyed)
    psWarning,   // the change is made, but the note says what is lost
    psFailed,    // this change cannot be made: a name that exists, no track number, ...
};

struct TPreviewRow {
    std::string File;  // path bytes
    std::string Field; // "title", "name", ...; empty for a row about the whole file
    std::string Old, New;
    std::string Note; // why the row stays or fails, or a remark on the change
    TPreviewState State = TPreviewState::psChange;
};

struct TPreviewCounts {
    std::size_t Changes = 0;   // rows with a field that will be changed
    std::size_t Files = 0;     // distinct files among them
    std::size_t Unchanged = 0; // distinct files that keep what they have
    std::size_t Warnings = 0;
    std::size_t Failed = 0;
};

TPreviewCounts CountPreview(const std::vector<TPreviewRow>& Rows);
// "12 changes in 5 files; 3 files unchanged; 2 rows cannot be done; 1 row with a warning"
// (the later parts only when there are any).
std::string PreviewSummary(const TPreviewCounts& Counts);
// The --dry-run listing: the header "file\tfield\told\tnew\tnote", then one line per row,
// every column in the command line's escaped form.
std::string PreviewTsv(const std::vector<TPreviewRow>& Rows);
// True when a row cannot be done (a --dry-run then exits with 1, as the run would).
bool AnyFailed(const std::vector<TPreviewRow>& Rows);

// Note texts shared by the previews.
inline constexpr std::string_view kNoteUnchanged = "unchanged";
inline constexpr std::string_view kNoteMorePieces = "more pieces than fields";

// Appends Text to Note, after "; " when Note holds something already.
void AddNote(std::string& Note, std::string_view Text);

// "Show this preview": one switch per command, kept in the settings file, section "Preview",
// as "1" or "0"; on when absent.
inline constexpr const char* kPreviewSection = "Preview";
inline constexpr const char* kKeyPreviewTagsFromNames = "TagsFromNames";
inline constexpr const char* kKeyPreviewRenameFromTags = "RenameFromTags";
inline constexpr const char* kKeyPreviewImportTags = "ImportTags";
// An empty SettingsFile (no settings kept) always shows the preview.
bool PreviewWanted(const std::string& SettingsFile, const char* Key);
// False when the key could not be written.
bool WritePreviewWanted(const std::string& SettingsFile, const char* Key, bool Show);

} // namespace veltrane
