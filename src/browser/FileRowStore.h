#pragma once
// The rows of the file list, stored compactly: a million rows must fit in a fraction of what
// a std::string per row text and per path would take. Each row is a fixed record; its name
// and its tag texts live as length-prefixed bytes in shared arenas, and folders are held once
// each. The row text and the full path are built when asked.

#include "tagcore/MP3Tag.h"
#include "tagcore/MpegAudio.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrane {

// Bytes appended once and read by offset. Blocks never move, so a reader on another thread
// may read entries written before it started while this thread appends.
class TByteArena {
  public:
    // Stores the bytes behind a length prefix; returns the entry's offset.
    std::uint64_t Add(std::string_view Bytes);
    // Stores several texts as one entry of consecutive length-prefixed texts.
    std::uint64_t AddAll(const std::string_view* Texts, std::size_t Count);
    // Text Index (0-based) of the entry at Offset.
    std::string_view Get(std::uint64_t Offset, std::size_t Index = 0) const;
    const char* At(std::uint64_t Offset) const {
        return blocks_[static_cast<std::size_t>(Offset >> kBlockBits)].get() +
               (Offset & ((std::uint64_t{1} << kBlockBits) - 1));
    }
    void Clear();
    // Bytes held by the blocks (the memory the arena takes).
    std::uint64_t Capacity() const;

  private:
    char* Reserve(std::size_t Bytes, std::uint64_t& Offset);

    static constexpr int kBlockBits = 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0; // bytes used in the last block
    std::size_t last_ = 0; // size of the last block
};

// A file's length and bit rate as a row keeps them: 8 bytes, held only for a list that shows
// them.
struct TAudioCell {
    static constexpr std::uint8_t kRead = 1; // the file's audio was looked at
    static constexpr std::uint8_t kVbr = 2;
    static constexpr std::uint8_t kEstimated = 4;
    static constexpr std::uint8_t kTruncated = 8;
    static constexpr std::uint8_t kNoAudio = 16;
    std::uint32_t Centis = 0; // length in hundredths of a second
    std::uint16_t Kbps = 0;
    std::uint8_t Rate = 0; // index into the sample rates, 0 for none
    std::uint8_t Flags = 0;

    static TAudioCell From(const TMpegAudio& Audio);
    // Back to what the command-line tool prints (the rest left at its defaults).
    TMpegAudio ToAudio() const;
    bool HasLength() const { return (Flags & kRead) != 0 && (Flags & kNoAudio) == 0; }
};
static_assert(sizeof(TAudioCell) == 8);

class TFileRowStore {
  public:
    // Row flags.
    static constexpr std::uint8_t kTagged = 1; // the file carried a tag
    static constexpr std::uint8_t kText = 2;   // a row of literal text (no path), e.g. a marker
    static constexpr std::uint8_t kDrop = 4;   // left out at the next Compact
    static constexpr std::uint8_t kNoPath = 8; // a text row that stands for no file

    std::size_t size() const { return ordered_ ? order_.size() : rows_.size(); }
    bool empty() const { return size() == 0; }
    void clear();

    // A file row for Folder (ending in "/") and Name, tag not read yet; returns its index.
    std::size_t AddPath(std::string_view Folder, std::string_view Name);
    // A file row for a full path.
    std::size_t AddFullPath(std::string_view Path);
    // A row of literal text; Path, when given, is the file it stands for.
    std::size_t AddText(std::string_view Text, std::string_view Path = {});
    // Stores the file's size and tag (texts as read: without the tag's padding).
    void SetTag(std::size_t Row, std::uint64_t Size, const TMP3Tag& Tag) {
        SetRecordTag(RecordOf(Row), Size, Tag);
    }
    // The same by record number, for a record the list order leaves out.
    void SetRecordTag(std::uint32_t Record, std::uint64_t Size, const TMP3Tag& Tag);
    void MarkDropped(std::size_t Row) { W(Row).Flags |= kDrop; }
    bool Dropped(std::size_t Row) const { return (R(Row).Flags & kDrop) != 0; }
    // Removes the rows marked dropped, keeping the order of the others.
    void Compact();

    // The path parts: Folder(Row) + Name(Row) is the full path. Empty for a text row
    // without a path.
    std::string_view Folder(std::size_t Row) const;
    std::string_view Name(std::size_t Row) const;
    // Where row Row's name is kept, and the name kept there: a name, once stored, stays put,
    // so NameAt may be read while other rows are written.
    std::uint64_t NameOffset(std::size_t Row) const { return R(Row).Name(); }
    std::string_view NameAt(std::uint64_t Offset) const { return names_.Get(Offset); }
    std::string Path(std::size_t Row) const;
    bool HasPath(std::size_t Row) const { return (R(Row).Flags & kNoPath) == 0; }
    bool IsText(std::size_t Row) const { return (R(Row).Flags & kText) != 0; }
    bool Tagged(std::size_t Row) const { return (R(Row).Flags & kTagged) != 0; }
    std::uint64_t FileSize(std::size_t Row) const { return R(Row).Size(); }
    std::uint32_t FolderId(std::size_t Row) const { return R(Row).Folder; }
    // The literal text of a text row.
    std::string_view Text(std::size_t Row) const { return fields_.Get(R(Row).Fields()); }
    // Tag field k of a tagged row: 0 Title, 1 Artist, 2 Album, 3 Year, 4 Comment.
    std::string_view Field(std::size_t Row, int K) const {
        return fields_.Get(R(Row).Fields(), static_cast<std::size_t>(K));
    }
    std::uint8_t Genre(std::size_t Row) const { return R(Row).Genre; }
    std::uint8_t Track(std::size_t Row) const { return R(Row).Track; }
    // The code page the row's tag was read in (0: ASCII text or no tag).
    std::uint8_t CodePage(std::size_t Row) const { return R(Row).CodePage; }
    // The audio of row Row; a row never given one has none read.
    void SetAudio(std::size_t Row, TAudioCell Audio);
    TAudioCell Audio(std::size_t Row) const { return AudioOf(RecordOf(Row)); }
    TAudioCell AudioOf(std::uint32_t Record) const {
        return Record < audio_.size() ? audio_[Record] : TAudioCell{};
    }
    // The tag as stored (FileName left empty).
    TMP3Tag Tag(std::size_t Row) const;

    // Puts row Order[i] at place i (Order a permutation of 0..size()-1). The records stay
    // where they are: the store keeps the order instead, 4 bytes a row.
    void Permute(std::vector<std::uint32_t>&& Order);
    // Asks for row Row's record and tag texts to be brought into the cache.
    void Prefetch(std::size_t Row) const;
    // The folder id of a folder path ending in "/", or -1 when no row has used it.
    std::int64_t FindFolder(std::string_view Folder) const;

    // Records in reading order, for a sort: a pass over them reads the arenas in order.
    std::size_t Records() const { return rows_.size(); }
    std::uint32_t RecordOf(std::size_t Row) const {
        return ordered_ ? order_[Row] : static_cast<std::uint32_t>(Row);
    }
    // The list order as record numbers (each record at most once; others are left out).
    void SetOrder(std::vector<std::uint32_t>&& Records) {
        order_ = std::move(Records);
        ordered_ = true;
    }
    // The accessors above, by record number.
    class TRecords {
      public:
        explicit TRecords(const TFileRowStore& Store) : s_(Store) {}
        bool Dropped(std::uint32_t R) const { return (s_.rows_[R].Flags & kDrop) != 0; }
        bool IsText(std::uint32_t R) const { return (s_.rows_[R].Flags & kText) != 0; }
        bool Tagged(std::uint32_t R) const { return (s_.rows_[R].Flags & kTagged) != 0; }
        std::string_view Text(std::uint32_t R) const { return s_.fields_.Get(s_.rows_[R].Fields()); }
        std::string_view Field(std::uint32_t R, int K) const {
            return s_.fields_.Get(s_.rows_[R].Fields(), static_cast<std::size_t>(K));
        }
        std::string_view Folder(std::uint32_t R) const { return s_.folders_[s_.rows_[R].Folder]; }
        std::string_view Name(std::uint32_t R) const { return s_.names_.Get(s_.rows_[R].Name()); }
        std::uint8_t Genre(std::uint32_t R) const { return s_.rows_[R].Genre; }
        std::uint8_t Track(std::uint32_t R) const { return s_.rows_[R].Track; }
        bool HasPath(std::uint32_t R) const { return (s_.rows_[R].Flags & kNoPath) == 0; }
        std::uint32_t FolderId(std::uint32_t R) const { return s_.rows_[R].Folder; }
        std::uint64_t FileSize(std::uint32_t R) const { return s_.rows_[R].Size(); }
        TAudioCell Audio(std::uint32_t R) const { return s_.AudioOf(R); }

      private:
        const TFileRowStore& s_;
    };

    // Memory held, for the benchmark's accounting.
    std::uint64_t Bytes() const;

  private:
    // 24 bytes: two 40-bit arena offsets (a terabyte each) sharing their words with the
    // 48-bit file size.
    struct TRow {
        static constexpr std::uint64_t kLow40 = (std::uint64_t{1} << 40) - 1;
        std::uint64_t NameWord = 0;   // names_ offset of the name | size bits 0..23
        std::uint64_t FieldsWord = 0; // fields_ offset of the five tag texts (a text row's
                                      // text) | size bits 24..47
        std::uint64_t Name() const { return NameWord & kLow40; }
        std::uint64_t Fields() const { return FieldsWord & kLow40; }
        std::uint64_t Size() const { return (NameWord >> 40) | (FieldsWord >> 40 << 24); }
        void SetName(std::uint64_t Offset) { NameWord = (NameWord & ~kLow40) | Checked(Offset); }
        void SetFields(std::uint64_t Offset) {
            FieldsWord = (FieldsWord & ~kLow40) | Checked(Offset);
        }
        void SetSize(std::uint64_t Bytes) {
            Bytes = std::min<std::uint64_t>(Bytes, (std::uint64_t{1} << 48) - 1);
            NameWord = (NameWord & kLow40) | (Bytes << 40);
            FieldsWord = (FieldsWord & kLow40) | (Bytes >> 24 << 40);
        }
        static std::uint64_t Checked(std::uint64_t Offset);
        std::uint32_t Folder = 0;
        std::uint8_t Genre = 255;
        std::uint8_t Track = 0;
        std::uint8_t Flags = 0;
        std::uint8_t CodePage = 0; // fills the record's last padding byte
    };
    static_assert(sizeof(TRow) == 24);
    // The record at list place Row.
    const TRow& R(std::size_t Row) const { return rows_[ordered_ ? order_[Row] : Row]; }
    TRow& W(std::size_t Row) { return rows_[ordered_ ? order_[Row] : Row]; }
    std::uint32_t InternFolder(std::string_view Folder);

    std::vector<TRow> rows_;
    std::vector<TAudioCell> audio_; // by record; empty unless a row was given its audio
    // Place -> record, once sorted (records then stay in reading order).
    std::vector<std::uint32_t> order_;
    bool ordered_ = false;
    TByteArena names_;  // read by the reading workers while the scan runs: written before it
    TByteArena fields_; // written by the scan
    std::deque<std::string> folders_; // never moves, so folderIds_ can view it
    std::unordered_map<std::string_view, std::uint32_t> folderIds_;
};

} // namespace veltrane
