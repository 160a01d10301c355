#pragma once
// The main window's file list: one row per listed MP3 file, its text in the row format below,
// the sort column, the row buffer, selection marks and the focused row. The list control
// (TMultiList) shows these rows; every command reaches its files through GetFileName.
//
// Row text: blank, relative name, tab, Title, tab, Artist, tab, Album, tab, Year, tab,
// genre name (with its trailing blank), tab, Comment, tab, Track (decimal, empty for none),
// tab. Without a tag: blank, relative name, then eight tabs. Row 0 is the placeholder; file
// rows are 1 to Count() - 1.

#include "browser/FileRowStore.h"
#include "browser/FindFile.h"
#include "browser/Progress.h"
#include "components/MultiLstItems.h"
#include "tagcore/CodePageGuess.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrane {

// The row shown when a search finds no file at all, with its tab.
inline constexpr std::string_view kNoMp3sFound = "No mp3's found!\t";
// The row shown while a search result is being read into the list, with its tab.
inline constexpr std::string_view kReadingFiles = "Reading...\t";
// Either marker row: a row that stands for no file.
inline bool IsMarkerRow(std::string_view Text) {
    return Text == kNoMp3sFound || Text == kReadingFiles;
}
// Smallest file that gets a row: more than 128 blocks of 128 bytes.
inline constexpr std::uint64_t kMinListedFileSize = 129 * 128;
// Column header texts; field number = index + 1.
inline constexpr std::string_view kFileListColumns[] = {"FileName", "Song",    "Artist",
                                                        "Album",    "Year",    "Genre",
                                                        "Comment",  "Track"};
inline constexpr int kFileListColumnCount = 8;
// The track column sorts by number, rows without a track after those with one.
inline constexpr int kTrackColumn = 8;
// With the length and bit rate shown, two columns after Track; both sort by number, rows
// without a value after the others.
inline constexpr std::string_view kAudioListColumns[] = {"Length", "Bitrate"};
inline constexpr int kLengthColumn = 9;
inline constexpr int kBitrateColumn = 10;
inline constexpr int kFileListAudioColumnCount = 10;

// The Length column: "3:07", "1:02:03" from an hour, "3:07 truncated", "no audio"; "" for a
// file not looked at.
std::string AudioLengthText(const TAudioCell& Audio);
// The Bitrate column: "128", "~190" for VBR, "?" when unknown.
std::string AudioBitrateText(const TAudioCell& Audio);
// A total length as the footer shows it: "0:00", "3:07", "1:02:03", "100:00:00".
std::string TotalLengthText(std::uint64_t Centis);

// The track as the list shows it: "7", "" for none.
std::string TrackText(std::uint8_t Track);

// One row as built from the store: its text and the full path of its file (empty for the
// marker row).
struct TFileRow {
    std::string Text;
    std::string Path;
};

class TFileList : public TMultiListItems {
  public:
    TFileList();

    // --- TMultiListItems: what the control reads and changes.
    std::size_t Count() const override { return rows_.size(); }
    std::string ItemText(std::size_t Index) const override;
    void AppendItemText(std::size_t Index, std::string& Out) const override;
    bool Selected(std::size_t Index) const override { return selected_.at(Index) != 0; }
    void SetSelected(std::size_t Index, bool On) override;
    void SetAllSelected(bool On) override;
    std::size_t SelCount() const override { return selCount_; }
    std::ptrdiff_t ItemIndex() const override { return itemIndex_; }
    void SetItemIndex(std::ptrdiff_t Index) override;

    // Row Index (text and path, built); row 0 is the placeholder.
    TFileRow Row(std::size_t Index) const;
    // True when row Index stands for a file (has a path): not row 0, not the marker row.
    bool HasPath(std::size_t Index) const { return Index >= 1 && Index < rows_.size() && rows_.HasPath(Index); }
    // The code page row Index's tag was read in (0: ASCII text, no tag, or no file row).
    TCodePageId CodePage(std::size_t Index) const {
        return HasPath(Index) ? rows_.CodePage(Index) : 0;
    }
    // Row Index's tag as read (no tag for a row without a file; FileName left empty).
    TMP3Tag RowTag(std::size_t Index) const { return HasPath(Index) ? rows_.Tag(Index) : TMP3Tag(); }
    // The code pages of the selected rows, each once, in list order.
    std::vector<TCodePageId> SelectedCodePages() const;
    // The file size the scan (or the last SingleUpdate) read for row Index.
    std::uint64_t FileSize(std::size_t Index) const { return rows_.FileSize(Index); }
    // The stored rows, for readers that want the parts without building texts.
    const TFileRowStore& Rows() const { return rows_; }
    // Full path of row Index's file: the path kept with the row (never re-parsed from text).
    // For a row without a path (the marker row) the directory joined with the row's name.
    std::string GetFileName(std::size_t Index) const;
    // Row text to full path: the text before the first tab minus its leading blank, after the
    // current directory and a "/" unless the directory ends with one.
    std::string GetFileName(std::string_view RowText) const;
    // Field Field (1-based) of a row text: the text between the (Field-1)-th and Field-th tab.
    // Field 1 includes the leading blank. Empty when the row has fewer fields.
    static std::string_view GetStringItem(int Field, std::string_view RowText);
    // Full path to relative name: drops the first Directory().size() bytes, then one "/".
    std::string PrepFileName(std::string_view FullPath) const;
    // Row text for a tag record and a relative name (tabs inside texts become blanks so they
    // cannot split a column).
    static std::string MakeRowText(std::string_view RelativeName, const TMP3Tag& Tag);

    // The directory of the last search ("current search directory of FindMP3").
    const std::string& Directory() const { return directory_; }
    void SetDirectory(std::string Directory) { directory_ = std::move(Directory); }

    // Signed sort column: |value| is the field number 1..8, the sign the direction.
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int Column) { sortColumn_ = Column; }

    // Whether rows carry the file's length and bit rate: UpdateList then reads them too and the
    // row text has the Length and Bitrate columns after Track. Takes effect at the next
    // UpdateList (a sort column of those columns goes back to 1 when switched off).
    bool ShowAudio() const { return showAudio_; }
    void SetShowAudio(bool On);
    int ColumnCount() const { return showAudio_ ? kFileListAudioColumnCount : kFileListColumnCount; }
    // The audio of row Index as read by the scan (none read for a list without the columns).
    TAudioCell Audio(std::size_t Index) const { return rows_.Audio(Index); }
    // The summed length of the selected rows, in hundredths of a second.
    std::uint64_t SelectedCentis() const;

    // Workers that read tags in UpdateList: 0 is the program's choice, 1 the plain sequential
    // read. The rows and every report are the same whatever the number.
    std::size_t ReadJobs() const { return readJobs_; }
    void SetReadJobs(std::size_t Jobs) { readJobs_ = Jobs; }

    // The code page tags are read and written in (Windows-1252 unless set). With "auto" each
    // listing judges its files afresh, a folder being the listed files of that folder, and
    // each row keeps the code page its tag was read in.
    void SetCodec(const TagCodec& Codec);
    const TagCodec& Codec() const { return codec_; }
    // What "auto" asks of a file's ID3v2 tag (nothing when unset).
    void SetId3v2Hint(TId3v2Hint Hint);

    // The rows between reading and sorting; SortList moves them into the list.
    TFileRowStore& RowBuffer() { return rowBuffer_; }
    // Where a search puts the files it finds: straight into the row buffer, each folder held
    // once, so a million paths never exist as strings.
    IFoundFiles& FoundFiles() { return found_; }

    // Builds all rows from a search result (full paths in search order) of Directory: one open
    // per file for size and tag (read ReadJobs() at a time, handed back in search order), files
    // under kMinListedFileSize skipped, then SortList. No
    // paths: only the marker row. A file that fails throws EInOutError and leaves the list as
    // it was (the buffer is emptied). Caption "Reading N files...". While reading, the list
    // holds only the kReadingFiles marker. Progress may offer Cancel: a cancelled reading
    // lists the files read so far and counts the others in LeftOut().
    void UpdateList(const std::vector<std::string>& Files, const std::string& Directory,
                    IProgress* Progress = nullptr);
    // The same, taking the search result: its paths move into the rows instead of being
    // copied, and it is emptied before the sort (a large listing holds every path once).
    void UpdateList(std::vector<std::string>&& Files, const std::string& Directory,
                    IProgress* Progress = nullptr);
    // The same for the files a search put into FoundFiles().
    void UpdateList(const std::string& Directory, IProgress* Progress = nullptr);
    // Moves the row buffer, sorted by SortColumn, into the list (replacing the file rows);
    // the order of the insertion sort, ties included, in O(n log n). Caption "Sorting M items...".
    void SortList(IProgress* Progress = nullptr);
    // Header section Section (0-based) clicked: toggles or sets the sort column, then re-sorts
    // all file rows. The selection is not kept.
    void MultiListMP3ListHeaderClick(int Section, IProgress* Progress = nullptr);
    // Rebuilds the row of Tag.FileName in place (found through an index of relative names;
    // the row loses its selection mark), or appends it when no row matches. No re-sort. The
    // row shows the tag read back from the file (Tag itself when the file cannot be read).
    void SingleUpdate(const TMP3Tag& Tag);
    // The same for a tag this program has just written to the file: the row shows the bytes
    // written, decoded as a read would decode them, without opening the file again.
    void SingleUpdateWritten(const TMP3Tag& Tag);
    // Removes every row but row 0.
    void ClearListBox();
    // Removes the file rows Rows (>= 1) in one pass; the rows below move up. The focus stays
    // on its row, or when that row went, on the row that took its place (or the last row).
    void DeleteRows(const std::vector<std::size_t>& Rows);
    // True when the focused row is a file row: index >= 1 and not a marker row.
    bool FilesInThisDir() const;
    // The filter: while its text is not empty, the list's rows are only the file rows whose
    // row text holds it (folded as select by text folds it), with the marker row; the others
    // are hidden, out of Count(), and lose their selection marks. Typing on (a text holding
    // the previous one) narrows the rows shown; any other change matches every row again.
    // A row edited after the filter was set stays until its text changes. An empty text
    // shows every row again, the selection as it stands. A new listing keeps the filter,
    // a listing of another directory empties it.
    void SetFilter(std::string_view Text);
    const std::string& Filter() const { return filter_; }
    bool Filtered() const { return !folded_.empty(); }
    // File rows shown and file rows in all (for "N of M files shown").
    std::size_t FileRowsShown() const;
    std::size_t FileRowsTotal() const;

    // Whether the last UpdateList was cancelled, and how many found files it did not read.
    bool ReadingCancelled() const { return readingCancelled_; }
    std::size_t LeftOut() const { return leftOut_; }

  private:
    struct TFound : IFoundFiles {
        TFileRowStore* Store = nullptr;
        void Clear() override { Store->clear(); }
        void Add(std::string_view Folder, std::string_view Name) override {
            Store->AddPath(Folder, Name);
        }
        std::size_t Count() const override { return Store->size(); }
    };
    void FillRows(const std::string& Directory, IProgress* Progress);
    // For "auto": the listed files of a folder, from the row buffer.
    std::optional<std::vector<std::string>> BufferedFolder(const std::string& Folder) const;
    // Sorts Rows of Store (in reading order) by the sort column behind the row Head.
    void SortStore(TFileRowStore& Store, std::uint32_t Head, std::vector<std::uint32_t> Rows,
                   IProgress* Progress);
    // The relative folder part of row Index's folder.
    std::string_view RelativeFolder(const TFileRowStore& Store, std::size_t Index) const;
    void AppendText(const TFileRowStore& Store, std::size_t Index, std::string& Out) const;
    void AppendRecordText(const TFileRowStore::TRecords& Records, std::uint32_t Record,
                          std::string& Out) const;

    // The store's list order as records.
    std::vector<std::uint32_t> StoreOrder() const;
    // Shows the rows that hold Folded, every row for "": Narrow matches only the rows shown.
    // Selection and focus follow their records.
    void ApplyFilter(std::string Folded, bool Narrow);
    // Shows the records of all_ marked in Keep, in all_'s order; selection and focus reset.
    void ShowRecords(const std::vector<char>& Keep);
    // After the rows were replaced: the filter Folded applied to them afresh.
    void Refilter(std::string Folded);
    void RebuildShownAt();

    void ResetSelection();
    // The index is rebuilt on the first SingleUpdate after the rows moved, not on every sort.
    void InvalidateIndex() { indexValid_ = false; }
    void RebuildIndex();
    void UpdateRow(const TMP3Tag& Tag, const TMP3Tag& Shown, std::optional<std::uint64_t> Size,
                   bool Written);

    TFileRowStore rows_;
    std::vector<char> selected_;
    std::size_t selCount_ = 0;
    std::ptrdiff_t itemIndex_ = -1;
    TFileRowStore rowBuffer_;
    TFound found_;
    std::string directory_;
    int sortColumn_ = 1;
    bool showAudio_ = false;
    std::size_t readJobs_ = 0;
    TagCodec codec_;
    TId3v2Hint hint_;
    // While "auto" reads: the buffer's names grouped by folder id, taken before the reading
    // starts, since this thread writes the rows while the workers judge folders.
    // As name offsets: the low 32 bits, and the high bits only for an arena past 4 GiB.
    std::vector<std::uint32_t> folderNameLow_;
    std::vector<std::uint8_t> folderNameHigh_;
    std::vector<std::uint32_t> folderStart_;
    bool readingCancelled_ = false;
    std::size_t leftOut_ = 0;
    // Open-addressing table of row + 1 (0 empty) by folder and name; the first row wins.
    std::vector<std::uint32_t> index_;
    // Place in the full order (all rows, hidden ones too) of a folder and name, 0 for none.
    std::size_t FindRow(std::int64_t Folder, std::string_view Name) const;
    std::uint32_t FullRecord(std::size_t Place) const {
        return Filtered() ? all_[Place] : rows_.RecordOf(Place);
    }
    std::size_t FullCount() const { return Filtered() ? all_.size() : rows_.size(); }
    bool indexValid_ = false;

    std::string filter_;
    std::string folded_;
    // While filtered: every row's record in list order, and each one's place among the rows
    // shown (0 hidden).
    std::vector<std::uint32_t> all_;
    std::vector<std::uint32_t> shownAt_;
};

} // namespace veltrane
