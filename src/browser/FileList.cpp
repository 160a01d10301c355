#include "browser/FileList.h"

#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace veltrane {

namespace {

// Upper-cases ASCII a..z only; every other byte keeps its value.
constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return table;
}
constexpr auto kUpper = MakeUpperTable();

// A sort entry whose row has been put in its place.
constexpr std::size_t kPlaced = static_cast<std::size_t>(-1);

// Reading many files leaves the workers' heaps and the freed temporaries' chunks behind:
// their pages go back to the system before the sort asks for more.
void ReleaseFreeMemory() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

// Byte order of the upper-cased keys, a prefix first: negative, zero or positive.
int KeyCompare(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = kUpper[static_cast<unsigned char>(a[i])];
        const int y = kUpper[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

struct SortEntry {
    std::uint64_t Head0; // upper-cased bytes 0..7, big-endian, zero-padded
    std::uint64_t Head1; // bytes 8..15
    std::string_view Key;
    std::size_t Row;
};

SortEntry MakeSortEntry(std::string_view key, std::size_t row) {
    SortEntry entry{0, 0, key, row};
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t byte = i < key.size() ? kUpper[static_cast<unsigned char>(key[i])] : 0;
        (i < 8 ? entry.Head0 : entry.Head1) |= byte << (8 * (7 - i % 8));
    }
    return entry;
}

// The same order as KeyCompare on the whole keys: zero padding sorts a prefix first, and the
// length settles keys that differ only by trailing zero bytes.
bool SortEntryLess(const SortEntry& a, const SortEntry& b) {
    if (a.Head0 != b.Head0)
        return a.Head0 < b.Head0;
    if (a.Head1 != b.Head1)
        return a.Head1 < b.Head1;
    if (a.Key.size() > 16 || b.Key.size() > 16) {
        const int tail = KeyCompare(a.Key.substr(std::min<std::size_t>(16, a.Key.size())),
                                    b.Key.substr(std::min<std::size_t>(16, b.Key.size())));
        if (tail != 0)
            return tail < 0;
    }
    return a.Key.size() < b.Key.size();
}

// The track column's key: its number, or one past the largest for an empty column, so rows
// without a track follow the others in ascending order.
SortEntry MakeTrackSortEntry(std::string_view key, std::size_t row) {
    std::uint64_t value = 0;
    for (const char c : key)
        value = value * 10 + static_cast<unsigned char>(c - '0');
    return {key.empty() ? 256 : value, 0, {}, row};
}

void AppendColumn(std::string& row, std::string_view text) {
    const std::size_t start = row.size();
    row.append(text);
    std::replace(row.begin() + static_cast<std::ptrdiff_t>(start), row.end(), '\t', ' ');
    row.push_back('\t');
}

std::string RelativeName(std::string_view directory, std::string_view fullPath) {
    std::string_view rest = fullPath.substr(std::min(directory.size(), fullPath.size()));
    if (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    return std::string(rest);
}

} // namespace

std::string TrackText(std::uint8_t Track) {
    return Track == 0 ? std::string() : std::to_string(Track);
}

TFileList::TFileList() {
    rows_.push_back({std::string(kMultiListPlaceholder), {}});
    selected_.push_back(0);
}

void TFileList::SetSelected(std::size_t Index, bool On) {
    char& mark = selected_.at(Index);
    if (Index == 0 || (mark != 0) == On)
        return; // the placeholder is never selected
    mark = On ? 1 : 0;
    selCount_ = On ? selCount_ + 1 : selCount_ - 1;
}

void TFileList::SetAllSelected(bool On) {
    std::fill(selected_.begin() + 1, selected_.end(), On ? 1 : 0);
    selCount_ = On ? rows_.size() - 1 : 0;
}

void TFileList::SetItemIndex(std::ptrdiff_t Index) {
    itemIndex_ = Index >= 0 && static_cast<std::size_t>(Index) < rows_.size() ? Index : -1;
}

std::string TFileList::GetFileName(std::size_t Index) const {
    const TFileRow& row = rows_.at(Index);
    return row.Path.empty() ? GetFileName(row.Text) : row.Path;
}

std::string TFileList::GetFileName(std::string_view RowText) const {
    std::string_view name = RowText.substr(0, RowText.find('\t'));
    if (!name.empty())
        name.remove_prefix(1);
    std::string path = directory_;
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

std::string_view TFileList::GetStringItem(int Field, std::string_view RowText) {
    if (Field < 1)
        return {};
    std::size_t start = 0;
    for (int k = 1; k < Field; ++k) {
        const std::size_t tab = RowText.find('\t', start);
        if (tab == std::string_view::npos)
            return {};
        start = tab + 1;
    }
    const std::size_t end = RowText.find('\t', start);
    return RowText.substr(start, end == std::string_view::npos ? end : end - start);
}

std::string TFileList::PrepFileName(std::string_view FullPath) const {
    return RelativeName(directory_, FullPath);
}

std::string TFileList::MakeRowText(std::string_view RelativeName, const TMP3Tag& Tag) {
    std::string row = " ";
    row.reserve(RelativeName.size() + 16);
    AppendColumn(row, RelativeName);
    if (Tag.Header != "TAG") {
        row.append(kFileListColumnCount - 1, '\t');
        return row;
    }
    AppendColumn(row, Tag.Title);
    AppendColumn(row, Tag.Artist);
    AppendColumn(row, Tag.Album);
    AppendColumn(row, Tag.Year);
    AppendColumn(row, ByteToStyle(Tag.Genre));
    AppendColumn(row, Tag.Comment);
    if (Tag.Track != 0) {
        // Three digits at most: no temporary string.
        char digits[3];
        int n = 0;
        for (unsigned v = Tag.Track; v != 0; v /= 10)
            digits[n++] = static_cast<char>('0' + v % 10);
        while (n > 0)
            row.push_back(digits[--n]);
    }
    row.push_back('\t');
    return row;
}

void TFileList::UpdateList(const std::vector<std::string>& Files, const std::string& Directory,
                           IProgress* Progress, const TagCodec& Codec) {
    FillRows(Files, nullptr, Directory, Progress, Codec);
}

void TFileList::UpdateList(std::vector<std::string>&& Files, const std::string& Directory,
                           IProgress* Progress, const TagCodec& Codec) {
    FillRows(Files, &Files, Directory, Progress, Codec);
}

void TFileList::FillRows(const std::vector<std::string>& Files, std::vector<std::string>* Owned,
                         const std::string& Directory, IProgress* Progress,
                         const TagCodec& Codec) {
    rowBuffer_.clear();
    readingCancelled_ = false;
    leftOut_ = 0;
    if (Files.empty()) {
        directory_ = Directory;
        rows_.resize(1);
        rows_.push_back({std::string(kNoMp3sFound), {}});
        ResetSelection();
        InvalidateIndex();
        Changed();
        return;
    }
    // While the files are read the list stands for none of them; a failure puts the rows it
    // had back, selection and focus included.
    std::vector<TFileRow> previousRows = std::move(rows_);
    rows_ = {previousRows.front(), {std::string(kReadingFiles), {}}};
    std::vector<char> previousSelected = std::move(selected_);
    const std::size_t previousSelCount = selCount_;
    const std::ptrdiff_t previousItemIndex = itemIndex_;
    ResetSelection();
    InvalidateIndex();
    Changed();
    const auto restore = [&] {
        rowBuffer_.clear();
        rowBuffer_.shrink_to_fit();
        rows_ = std::move(previousRows);
        selected_ = std::move(previousSelected);
        selCount_ = previousSelCount;
        itemIndex_ = previousItemIndex;
        Changed();
    };
    {
        ProgressScope progress(
            Progress,
            FillText(UiText("FileList", "Reading %1 files..."), {std::to_string(Files.size())}),
            Files.size() - 1);
        progress.OfferCancel();
        std::size_t i = 0;
        try {
            // One more for the marker row, which the sort puts in front.
            rowBuffer_.reserve(Files.size() + 1);
            // Workers read and build the row texts; this thread takes them in search order, so
            // the rows, the progress steps and the first failure are those of a sequential
            // read. Leaving this block, by a failure too, stops the workers. A worker only
            // reads entries not yet taken, so taking a path from Owned here races with none.
            TOrderedReader<std::optional<std::string>, TDirectoryCache> reader(
                Files.size(), readJobs_,
                [&](std::size_t k, TDirectoryCache& directories) -> std::optional<std::string> {
                    const std::string& path = Files[k];
                    std::uint64_t size = 0;
                    // Files too small for a row are only measured, as the listing never reads
                    // them.
                    const TMP3Tag tag =
                        GetMP3Tag(path, Codec, &size, kMinListedFileSize, &directories);
                    if (size < kMinListedFileSize)
                        return std::nullopt;
                    return MakeRowText(RelativeName(Directory, path), tag);
                });
            for (; i < Files.size(); ++i) {
                if (std::optional<std::string> text = reader.Next())
                    rowBuffer_.push_back(
                        {std::move(*text), Owned ? std::move((*Owned)[i]) : Files[i]});
                progress.SetPosition(i);
                if (progress.Cancelled()) {
                    readingCancelled_ = true;
                    leftOut_ = Files.size() - i - 1;
                    break;
                }
            }
        } catch (EInOutError& e) {
            restore();
            e.SetFileName(Files[i]);
            throw;
        } catch (...) {
            restore();
            throw;
        }
    }
    previousRows = {};
    previousSelected = {};
    directory_ = Directory;
    if (Owned)
        std::vector<std::string>().swap(*Owned);
    ReleaseFreeMemory();
    SortList(Progress);
}

void TFileList::SortList(IProgress* Progress) {
    const std::size_t count = rowBuffer_.size();
    ProgressScope progress(
        Progress, FillText(UiText("FileList", "Sorting %1 items..."), {std::to_string(count)}),
        count);

    // The insertion sort puts each row before the first equal-or-greater key: ascending, with
    // equal keys in reverse reading order. A stable sort of the reversed rows gives the same.
    // The first 16 upper-cased key bytes live in the sort entries, so most comparisons touch
    // no row text.
    const int field = sortColumn_ < 0 ? -sortColumn_ : sortColumn_;
    std::vector<SortEntry> entries(count);
    const auto makeEntry = field == kTrackColumn ? MakeTrackSortEntry : MakeSortEntry;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = count - 1 - i;
        entries[i] = makeEntry(GetStringItem(field, rowBuffer_[row].Text), row);
    }
    std::stable_sort(entries.begin(), entries.end(), SortEntryLess);
    if (sortColumn_ < 0)
        std::reverse(entries.begin(), entries.end());

    // The rows are put in order where they stand (following each cycle of the permutation),
    // then the buffer, marker row in front, becomes the list: a large listing never holds
    // two arrays of rows.
    for (std::size_t start = 0; start < count; ++start) {
        if (entries[start].Row == kPlaced)
            continue;
        TFileRow held = std::move(rowBuffer_[start]);
        std::size_t at = start;
        for (;;) {
            const std::size_t from = std::exchange(entries[at].Row, kPlaced);
            if (from == start) {
                rowBuffer_[at] = std::move(held);
                break;
            }
            rowBuffer_[at] = std::move(rowBuffer_[from]);
            at = from;
        }
    }
    entries = {};
    rows_.resize(1);
    rowBuffer_.insert(rowBuffer_.begin(), std::move(rows_[0]));
    rows_.swap(rowBuffer_);
    std::vector<TFileRow>().swap(rowBuffer_);
    progress.SetPosition(count);
    ResetSelection();
    InvalidateIndex();
    Changed();
}

void TFileList::MultiListMP3ListHeaderClick(int Section, IProgress* Progress) {
    const int field = Section + 1;
    sortColumn_ = sortColumn_ == field ? -field : field;
    rowBuffer_.clear();
    rowBuffer_.reserve(rows_.size()); // and the marker row
    for (std::size_t i = 1; i < rows_.size(); ++i)
        rowBuffer_.push_back(std::move(rows_[i]));
    rows_.resize(1);
    SortList(Progress);
}

void TFileList::SingleUpdate(const TMP3Tag& Tag, const TagCodec& Codec) {
    // The row shows what the file now holds, not what was asked for: the code page writes
    // "?" for a character it lacks, and a field keeps only its 30 bytes.
    TMP3Tag shown;
    try {
        shown = GetMP3Tag(Tag.FileName, Codec);
    } catch (const EInOutError&) {
        shown = Tag; // gone again since its write: the row keeps what was written
    }
    std::string relative = PrepFileName(Tag.FileName);
    std::string text = MakeRowText(relative, shown);
    if (!indexValid_)
        RebuildIndex();
    const auto found = index_.find(relative);
    if (found != index_.end()) {
        const std::size_t row = found->second;
        rows_[row].Text = std::move(text);
        SetSelected(row, false);
        Changed(row);
        return;
    }
    rows_.push_back({std::move(text), Tag.FileName});
    selected_.push_back(0);
    index_.emplace(std::move(relative), rows_.size() - 1);
    Changed();
}

void TFileList::ClearListBox() {
    rows_.resize(1);
    ResetSelection();
    itemIndex_ = -1;
    InvalidateIndex();
    Changed();
}

void TFileList::DeleteRows(const std::vector<std::size_t>& Rows) {
    std::vector<char> drop(rows_.size(), 0);
    for (std::size_t row : Rows)
        if (row >= 1 && row < rows_.size())
            drop[row] = 1;
    std::size_t kept = 1;
    std::ptrdiff_t focus = -1;
    for (std::size_t i = 1; i < rows_.size(); ++i) {
        if (static_cast<std::ptrdiff_t>(i) == itemIndex_)
            focus = static_cast<std::ptrdiff_t>(kept);
        if (drop[i]) {
            selCount_ -= selected_[i] != 0 ? 1 : 0;
            continue;
        }
        if (kept != i) {
            rows_[kept] = std::move(rows_[i]);
            selected_[kept] = selected_[i];
        }
        ++kept;
    }
    rows_.resize(kept);
    selected_.resize(kept);
    const auto last = static_cast<std::ptrdiff_t>(kept) - 1;
    itemIndex_ = last < 1 ? -1 : std::clamp<std::ptrdiff_t>(focus, 1, last);
    InvalidateIndex();
    Changed();
}

bool TFileList::FilesInThisDir() const {
    return itemIndex_ >= 1 && static_cast<std::size_t>(itemIndex_) < rows_.size() &&
           !IsMarkerRow(rows_[static_cast<std::size_t>(itemIndex_)].Text);
}

void TFileList::ResetSelection() {
    selected_.assign(rows_.size(), 0);
    selCount_ = 0;
    itemIndex_ = rows_.size() > 1 ? 1 : -1;
}

void TFileList::RebuildIndex() {
    indexValid_ = true;
    index_.clear();
    index_.reserve(rows_.size());
    for (std::size_t i = 1; i < rows_.size(); ++i)
        if (!rows_[i].Path.empty())
            index_.emplace(PrepFileName(rows_[i].Path), i);
}

} // namespace veltrane
