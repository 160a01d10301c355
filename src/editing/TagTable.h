#pragma once
// Tags as a table for spreadsheets: export to CSV (RFC 4180) or TSV, and import of such a
// table as one journaled step. Columns: path, title, artist, album, year, genre, comment,
// track. The path column is always absolute and in the command line's escaped form, in both
// formats, so every name reads back to the same bytes.

#include "browser/Progress.h"
#include "editing/ChangeJournal.h"
#include "editing/ChangePreview.h"
#include "editing/RunFailures.h"
#include "editing/TableText.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/MpegAudio.h"
#include "tagcore/TagCodec.h"

#include <array>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

inline constexpr std::array<std::string_view, 8> kTagTableColumns = {
    "path", "title", "artist", "album", "year", "genre", "comment", "track"};

// TSV for a name ending in ".tsv" or ".tab" (any case), else CSV.
TTableFormat TableFormatForName(std::string_view FileName);

// The header line with its line end (CR LF for CSV, LF for TSV); Audio adds kAudioColumns,
// which an import passes over.
std::string TagTableHeader(TTableFormat Format, bool Audio = false);
// One row for Tag (its FileName absolute), with its line end. A file without a tag has empty
// fields; the genre is its name, empty for none, its number when the table has no name.
// Audio, when given, adds its columns.
void AppendTagTableRow(std::string& Out, const TMP3Tag& Tag, TTableFormat Format,
                       const TMpegAudio* Audio = nullptr);

// Paths of one folder's search in the order the file list sorts them by default.
void SortLikeList(std::vector<std::string>& Paths, const std::string& Directory);

// Reads every file (Jobs at a time) and hands the table on in blocks to Out; a file that cannot
// be read goes to OnFailure and has no row. False when any failed.
bool WriteTagTable(const std::vector<std::string>& Paths, TTableFormat Format,
                   const TagCodec& Codec, std::size_t Jobs,
                   const std::function<void(std::string_view)>& Out,
                   const std::function<void(const std::string& Path, const std::string& Error)>&
                       OnFailure,
                   const ProgressScope* Progress = nullptr, bool Audio = false);

// One file an import changes: the fields of Fields set (indexes into kTagTableColumns) take
// their values from New. Before is the file as the plan read it: the import writes over that
// tag and leaves a file changed since alone.
struct TImportFile {
    std::string Path;
    TMP3Tag New;
    std::vector<int> Fields;
    TFileState Before;
};

struct TImportPlan {
    std::vector<std::string> Warnings;   // "unknown columns ignored: ..."
    std::vector<std::string> BadRows;    // "row 4: ...", in row order
    std::vector<TImportFile> Files;      // the files with a change, in row order
    std::vector<TPreviewRow> Preview;    // changes, then a note row for each bad row
};

// Reads the table and every file it names, and works out what changes. BaseDir is where a
// relative path is taken from (the table file's folder). Throws ETableSyntax, and
// std::invalid_argument for a header without a path column or with a column twice.
TImportPlan PlanTagImport(std::string_view Text, TTableFormat Format, const std::string& BaseDir,
                          const TagCodec& Codec);
// The same for a table file, its format by its name unless given.
TImportPlan PlanTagImportFile(const std::string& TableFile, const TagCodec& Codec,
                              const TTableFormat* Format = nullptr);

// "import tags of 12 files".
std::string TagImportDescription(std::size_t Files);

// Writes the plan's changes as one step of the change journal, each file opened once more
// only to be written. Written gets each record written.
TFileFailures ApplyTagImport(const TImportPlan& Plan, const TagCodec& Codec,
                             const std::function<void(const TMP3Tag&)>& Written,
                             const ProgressScope* Progress);

// --- The main window's "Export tags..." and "Import tags...".

class TFileList;
struct TRunNotes;

// The paths "Export tags..." saves: the selected file rows, all file rows when none is
// selected, in list order.
std::vector<std::string> ExportedPaths(const TFileList& List);
// Writes the CSV table of Paths to OutFile through a new file that replaces it only once
// complete. Files that cannot be read are left out and returned; a failed write throws
// EInOutError and leaves an old OutFile as it was.
TFileFailures SaveTagTableFile(const std::string& OutFile, const std::vector<std::string>& Paths,
                               IProgress* Progress, const TagCodec& Codec = TagCodec::Default());
// "Importing tags of 12 files, please wait..."
std::string TagImportProgressCaption(std::size_t Files);
// Apply of the preview: the plan's changes as one step, each changed row rebuilt in List.
TFileFailures TagImportRun(TFileList& List, const TImportPlan& Plan, IProgress* Progress,
                           TRunNotes* Notes = nullptr);

} // namespace veltrane
