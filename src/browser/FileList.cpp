#include "browser/FileList.h"

#include "tagcore/OrderedReader.h"
#include "browser/IndexSort.h"
#include "browser/RowFilter.h"
#include "tagcore/TagFile.h"
#include "tagcore/TagRunReader.h"
#include "tagcore/UiText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace veltrane {

namespace {

// Reading many files leaves the workers' heaps and the freed temporaries' chunks behind:
// their pages go back to the system before the sort asks for more.
void ReleaseFreeMemory() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

// Sort keys compare as their row texts do: upper-cased a..z, and a tab in a text is the
// blank the row shows.
constexpr std::array<unsigned char, 256> MakeKeyTable() {
    auto table = kAsciiUpper;
    table['\t'] = ' ';
    return table;
}
constexpr auto kKey = MakeKeyTable();

// A key in up to three pieces (blank, relative folder, name), compared as their
// concatenation, so no key string is ever built.
struct KeyParts {
    std::string_view Part[3];
};

int KeyCompare(const KeyParts& a, const KeyParts& b) {
    int pa = 0, pb = 0;
    std::size_t ia = 0, ib = 0;
    for (;;) {
        while (pa < 3 && ia == a.Part[pa].size())
            ++pa, ia = 0;
        while (pb < 3 && ib == b.Part[pb].size())
            ++pb, ib = 0;
        if (pa == 3 || pb == 3)
            return (pa == 3 ? 0 : 1) - (pb == 3 ? 0 : 1);
        const int x = kKey[static_cast<unsigned char>(a.Part[pa][ia++])];
        const int y = kKey[static_cast<unsigned char>(b.Part[pb][ib++])];
        if (x != y)
            return x - y;
    }
}

// How many leading key bytes a and b share, at most limit.
std::size_t CommonPrefix(const KeyParts& a, const KeyParts& b, std::size_t limit) {
    int pa = 0, pb = 0;
    std::size_t ia = 0, ib = 0, n = 0;
    for (; n < limit; ++n) {
        while (pa < 3 && ia == a.Part[pa].size())
            ++pa, ia = 0;
        while (pb < 3 && ib == b.Part[pb].size())
            ++pb, ib = 0;
        if (pa == 3 || pb == 3 ||
            kKey[static_cast<unsigned char>(a.Part[pa][ia++])] !=
                kKey[static_cast<unsigned char>(b.Part[pb][ib++])])
            break;
    }
    return n;
}

// Key bytes skip to skip + 15 as two big-endian numbers, zero-padded. True when the heads
// alone may not decide: a key reaching past them, or one with a zero byte (which the padding
// hides).
bool KeyHead(const KeyParts& key, std::size_t skip, std::uint64_t& head0, std::uint64_t& head1) {
    head0 = head1 = 0;
    std::size_t n = 0;
    bool zero = false;
    for (std::string_view part : key.Part) {
        const std::size_t cut = std::min(skip, part.size());
        part.remove_prefix(cut);
        skip -= cut;
        for (std::size_t i = 0; i < part.size() && n < 16; ++i, ++n) {
            const std::uint64_t byte = kKey[static_cast<unsigned char>(part[i])];
            zero = zero || byte == 0;
            (n < 8 ? head0 : head1) |= byte << (8 * (7 - n % 8));
        }
        if (n == 16)
            return true;
    }
    return zero;
}

// ByteToStyle once per genre byte, for keys and rows that view the names.
const std::string& GenreName(std::uint8_t genre) {
    static const auto names = [] {
        std::array<std::string, 256> table;
        for (int g = 0; g < 256; ++g)
            table[static_cast<std::size_t>(g)] = ByteToStyle(static_cast<std::uint8_t>(g));
        return table;
    }();
    return names[genre];
}

// Sorts Rows stably by their heads when they hold few distinct values: the distinct heads are
// sorted and each row counted into its place. False (Rows untouched) when there are too many.
bool RankSort(std::vector<std::uint32_t>& Rows, const std::vector<std::uint64_t>& heads,
              const std::function<void()>& tick) {
    constexpr std::size_t kSlots = 1 << 14, kMaxKeys = kSlots / 2;
    struct Slot {
        std::uint64_t h0 = 0, h1 = 0;
        std::uint32_t rank = 0; // 0 empty, else key number + 1
    };
    std::vector<Slot> slots(kSlots);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> keys;
    std::vector<std::uint16_t> keyOfRow(Rows.size());
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const std::uint64_t h0 = heads[2 * Rows[i]], h1 = heads[2 * Rows[i] + 1];
        const std::uint64_t mixed = (h0 * 0x9e3779b97f4a7c15ull) ^ (h1 * 0xc2b2ae3d27d4eb4full);
        std::size_t at = static_cast<std::size_t>(mixed ^ (mixed >> 29)) & (kSlots - 1);
        while (slots[at].rank != 0 && (slots[at].h0 != h0 || slots[at].h1 != h1))
            at = (at + 1) & (kSlots - 1);
        if (slots[at].rank == 0) {
            if (keys.size() == kMaxKeys)
                return false;
            keys.emplace_back(h0, h1);
            slots[at] = {h0, h1, static_cast<std::uint32_t>(keys.size())};
        }
        keyOfRow[i] = static_cast<std::uint16_t>(slots[at].rank - 1);
        if (i % 65536 == 0)
            tick();
    }
    // Key number to rank in key order.
    std::vector<std::uint32_t> byKey(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k)
        byKey[k] = static_cast<std::uint32_t>(k);
    std::sort(byKey.begin(), byKey.end(),
              [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    std::vector<std::size_t> start(keys.size() + 1, 0);
    std::vector<std::uint32_t> rank(keys.size());
    for (std::size_t r = 0; r < byKey.size(); ++r)
        rank[byKey[r]] = static_cast<std::uint32_t>(r);
    for (const std::uint16_t k : keyOfRow)
        ++start[rank[k] + 1];
    for (std::size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<std::uint32_t> sorted(Rows.size());
    for (std::size_t i = 0; i < Rows.size(); ++i)
        sorted[start[rank[keyOfRow[i]]]++] = Rows[i];
    std::copy(sorted.begin(), sorted.end(), Rows.begin()); // Rows keeps its room for the marker
    return true;
}

std::uint64_t TrackKey(std::string_view text) {
    std::uint64_t value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<unsigned char>(c - '0');
    return text.empty() ? 256 : value;
}

void AppendColumn(std::string& row, std::string_view text) {
    const std::size_t start = row.size();
    row.append(text);
    std::replace(row.begin() + static_cast<std::ptrdiff_t>(start), row.end(), '\t', ' ');
    row.push_back('\t');
}

void AppendTrack(std::string& row, std::uint8_t track) {
    // Three digits at most: no temporary string.
    char digits[3];
    int n = 0;
    for (unsigned v = track; v != 0; v /= 10)
        digits[n++] = static_cast<char>('0' + v % 10);
    while (n > 0)
        row.push_back(digits[--n]);
    row.push_back('\t');
}

std::string_view RelativeView(std::string_view directory, std::string_view fullPath) {
    std::string_view rest = fullPath.substr(std::min(directory.size(), fullPath.size()));
    if (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    return rest;
}

std::string RelativeName(std::string_view directory, std::string_view fullPath) {
    return std::string(RelativeView(directory, fullPath));
}

std::size_t HashOf(std::int64_t folder, std::string_view name) {
    return std::hash<std::string_view>{}(name) ^
           (static_cast<std::size_t>(folder) * 0x9e3779b97f4a7c15ull);
}

} // namespace

std::string TrackText(std::uint8_t Track) {
    return Track == 0 ? std::string() : std::to_string(Track);
}

std::string TotalLengthText(std::uint64_t Centis) {
    const std::uint64_t seconds = (Centis + 50) / 100;
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%u:%02u", static_cast<unsigned>(seconds / 60),
                      static_cast<unsigned>(seconds % 60));
    return text;
}

std::string AudioLengthText(const TAudioCell& Audio) {
    if ((Audio.Flags & TAudioCell::kRead) == 0)
        return {};
    if ((Audio.Flags & TAudioCell::kNoAudio) != 0)
        return "no audio";
    std::string text = TotalLengthText(Audio.Centis);
    if ((Audio.Flags & TAudioCell::kTruncated) != 0)
        text += " truncated";
    return text;
}

std::string AudioBitrateText(const TAudioCell& Audio) {
    if (!Audio.HasLength())
        return "?";
    return ((Audio.Flags & TAudioCell::kVbr) != 0 ? "~" : "") + std::to_string(Audio.Kbps);
}

void TFileList::SetShowAudio(bool On) {
    showAudio_ = On;
    if (!On && (sortColumn_ > kFileListColumnCount || sortColumn_ < -kFileListColumnCount))
        sortColumn_ = 1;
}

std::uint64_t TFileList::SelectedCentis() const {
    std::uint64_t total = 0;
    for (std::size_t i = 1; i < selected_.size() && i < rows_.size(); ++i)
        if (selected_[i] != 0 && !rows_.IsText(i))
            total += rows_.Audio(i).HasLength() ? rows_.Audio(i).Centis : 0;
    return total;
}


TFileList::TFileList() {
    rows_.AddText(kMultiListPlaceholder);
    selected_.push_back(0);
    found_.Store = &rowBuffer_;
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

std::string_view TFileList::RelativeFolder(const TFileRowStore& Store, std::size_t Index) const {
    return RelativeView(directory_, Store.Folder(Index));
}

void TFileList::AppendText(const TFileRowStore& Store, std::size_t Index,
                           std::string& Out) const {
    AppendRecordText(TFileRowStore::TRecords(Store), Store.RecordOf(Index), Out);
}

void TFileList::AppendRecordText(const TFileRowStore::TRecords& Records, std::uint32_t Record,
                                 std::string& Out) const {
    if (Records.IsText(Record)) {
        Out.append(Records.Text(Record));
        return;
    }
    Out.push_back(' ');
    const std::size_t start = Out.size();
    Out.append(RelativeView(directory_, Records.Folder(Record)));
    Out.append(Records.Name(Record));
    std::replace(Out.begin() + static_cast<std::ptrdiff_t>(start), Out.end(), '\t', ' ');
    Out.push_back('\t');
    if (!Records.Tagged(Record)) {
        Out.append(kFileListColumnCount - 1, '\t');
    } else {
        for (int k = 0; k < 4; ++k)
            AppendColumn(Out, Records.Field(Record, k));
        AppendColumn(Out, GenreName(Records.Genre(Record)));
        AppendColumn(Out, Records.Field(Record, 4));
        AppendTrack(Out, Records.Track(Record));
    }
    if (showAudio_) {
        const TAudioCell audio = Records.Audio(Record);
        AppendColumn(Out, AudioLengthText(audio));
        AppendColumn(Out, AudioBitrateText(audio));
    }
}

std::string TFileList::ItemText(std::size_t Index) const {
    if (Index >= rows_.size())
        throw std::out_of_range("TFileList::ItemText");
    std::string text;
    AppendText(rows_, Index, text);
    return text;
}

void TFileList::AppendItemText(std::size_t Index, std::string& Out) const {
    if (Index >= rows_.size())
        throw std::out_of_range("TFileList::AppendItemText");
    AppendText(rows_, Index, Out);
}

TFileRow TFileList::Row(std::size_t Index) const {
    return {ItemText(Index), rows_.Path(Index)};
}

std::string TFileList::GetFileName(std::size_t Index) const {
    if (Index >= rows_.size())
        throw std::out_of_range("TFileList::GetFileName");
    return rows_.HasPath(Index) ? rows_.Path(Index) : GetFileName(ItemText(Index));
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
    AppendTrack(row, Tag.Track);
    return row;
}

std::vector<TCodePageId> TFileList::SelectedCodePages() const {
    std::vector<TCodePageId> ids;
    bool seen[256] = {};
    for (std::size_t i = 1; i < Count(); ++i) {
        const TCodePageId id = CodePage(i);
        if (Selected(i) && HasPath(i) && !seen[id]) {
            seen[id] = true;
            ids.push_back(id);
        }
    }
    return ids;
}

void TFileList::SetCodec(const TagCodec& Codec) {
    codec_ = Codec;
    if (codec_.IsAuto()) {
        codec_.Resolver()->SetId3v2Hint(hint_);
        codec_.Resolver()->SetKeepDecided(false); // each row keeps its code page
    }
}

void TFileList::SetId3v2Hint(TId3v2Hint Hint) {
    hint_ = std::move(Hint);
    if (codec_.IsAuto())
        codec_.Resolver()->SetId3v2Hint(hint_);
}

void TFileList::UpdateList(const std::vector<std::string>& Files, const std::string& Directory,
                           IProgress* Progress) {
    rowBuffer_.clear();
    for (const std::string& path : Files)
        rowBuffer_.AddFullPath(path);
    FillRows(Directory, Progress);
}

void TFileList::UpdateList(std::vector<std::string>&& Files, const std::string& Directory,
                           IProgress* Progress) {
    rowBuffer_.clear();
    for (std::string& path : Files) {
        rowBuffer_.AddFullPath(path);
        std::string().swap(path);
    }
    std::vector<std::string>().swap(Files);
    FillRows(Directory, Progress);
}

void TFileList::UpdateList(const std::string& Directory, IProgress* Progress) {
    FillRows(Directory, Progress);
}

std::optional<std::vector<std::string>> TFileList::BufferedFolder(const std::string& Folder) const {
    const std::int64_t id = rowBuffer_.FindFolder(Folder);
    if (id < 0 || static_cast<std::size_t>(id) + 1 >= folderStart_.size())
        return std::nullopt;
    std::vector<std::string> paths;
    for (std::uint32_t k = folderStart_[id]; k < folderStart_[id + 1]; ++k)
        paths.push_back(Folder + std::string(rowBuffer_.NameAt(
                                     folderNameLow_[k] | (folderNameHigh_.empty()
                                                              ? std::uint64_t{0}
                                                              : std::uint64_t{folderNameHigh_[k]} << 32))));
    return paths;
}

void TFileList::FillRows(const std::string& Directory, IProgress* Progress) {
    const std::size_t files = rowBuffer_.size();
    // "auto" judges this listing afresh; the folder of a file is its listed neighbours.
    // Both are let go after the reading: each row keeps its code page.
    struct TEndRun {
        TFileList& List;
        void operator()() {
            if (List.codec_.IsAuto())
                List.codec_.Resolver()->EndRun();
            std::vector<std::uint32_t>().swap(List.folderNameLow_);
            std::vector<std::uint8_t>().swap(List.folderNameHigh_);
            std::vector<std::uint32_t>().swap(List.folderStart_);
        }
        ~TEndRun() { (*this)(); }
    } endRun{*this};
    if (codec_.IsAuto()) {
        SetCodec(TagCodec("auto"));
        std::uint32_t folders = 0;
        for (std::size_t k = 0; k < files; ++k)
            folders = std::max(folders, rowBuffer_.FolderId(k) + 1);
        folderStart_.assign(folders + 1, 0);
        for (std::size_t k = 0; k < files; ++k)
            ++folderStart_[rowBuffer_.FolderId(k) + 1];
        for (std::uint32_t f = 0; f < folders; ++f)
            folderStart_[f + 1] += folderStart_[f];
        // Four bytes a row while reading: the list's memory a row is kept small.
        folderNameLow_.resize(files);
        std::vector<std::uint32_t> next(folderStart_.begin(), folderStart_.end() - 1);
        for (std::size_t k = 0; k < files; ++k) {
            const std::uint64_t offset = rowBuffer_.NameOffset(k);
            const std::uint32_t at = next[rowBuffer_.FolderId(k)]++;
            folderNameLow_[at] = static_cast<std::uint32_t>(offset);
            if (offset >> 32 != 0 && folderNameHigh_.empty())
                folderNameHigh_.resize(files);
            if (!folderNameHigh_.empty())
                folderNameHigh_[at] = static_cast<std::uint8_t>(offset >> 32);
        }
        codec_.Resolver()->SetRunFolder(
            [this](const std::string& Folder) { return BufferedFolder(Folder); });
    }
    const TagCodec& Codec = codec_;
    readingCancelled_ = false;
    leftOut_ = 0;
    // The rows kept for a failed reading are all of them; the filter is applied again after.
    // A listing of another directory empties the filter; a failed one keeps it.
    const std::string filter = folded_;
    if (Filtered())
        ApplyFilter({}, false);
    if (files == 0) {
        if (Directory != directory_)
            filter_.clear();
        directory_ = Directory;
        rows_.clear();
        rows_.AddText(kMultiListPlaceholder);
        rows_.AddText(kNoMp3sFound);
        ResetSelection();
        Refilter(filter_.empty() ? std::string() : filter);
        InvalidateIndex();
        Changed();
        return;
    }
    // While the files are read the list stands for none of them; a failure puts the rows it
    // had back, selection and focus included.
    TFileRowStore previousRows = std::move(rows_);
    rows_.clear();
    rows_.AddText(kMultiListPlaceholder);
    rows_.AddText(kReadingFiles);
    std::vector<char> previousSelected = std::move(selected_);
    const std::size_t previousSelCount = selCount_;
    const std::ptrdiff_t previousItemIndex = itemIndex_;
    ResetSelection();
    Refilter(filter);
    InvalidateIndex();
    Changed();
    const auto restore = [&] {
        rowBuffer_ = TFileRowStore();
        rows_ = std::move(previousRows);
        selected_ = std::move(previousSelected);
        selCount_ = previousSelCount;
        itemIndex_ = previousItemIndex;
        Refilter(filter);
        Changed();
    };
    {
        ProgressScope progress(
            Progress, FillText(UiText("FileList", "Reading %1 files..."), {std::to_string(files)}),
            files - 1);
        progress.OfferCancel();
        std::size_t i = 0;
        try {
            struct Read {
                std::uint64_t Size = 0;
                TMP3Tag Tag;
                TMpegAudio Audio;
            };
            // Workers read the tags; this thread takes them in search order, so the rows, the
            // progress steps and the first failure are those of a sequential read. Leaving
            // this block, by a failure too, stops the workers. The workers only read the
            // paths, which were all stored before they started; this thread writes the tags.
            // A worker reads a run of neighbouring files at once (see TTagRunReader).
            const TFileRowStore& paths = rowBuffer_;
            struct ReadState {
                // Files too small for a row are only measured, as the listing never reads them.
                ReadState(const TFileRowStore& Paths, bool Audio)
                    : Tags([&Paths](std::size_t k) { return Paths.Path(k); }, kMinListedFileSize,
                           true, Audio) {}
                TDirectoryCache Directories;
                TTagRunReader Tags;
            };
            using Reader = TOrderedReader<std::optional<Read>, std::optional<ReadState>>;
            Reader reader(
                files, readJobs_,
                Reader::ReadWithState(
                    [&](std::size_t k, std::optional<ReadState>& state) -> std::optional<Read> {
                        if (!state)
                            state.emplace(paths, showAudio_);
                        state->Tags.PrepareRunAt(k, files, &state->Directories);
                        Read read;
                        read.Tag = state->Tags.Read(k, Codec, &read.Size, &state->Directories,
                                                    showAudio_ ? &read.Audio : nullptr);
                        if (read.Size < kMinListedFileSize)
                            return std::nullopt;
                        read.Tag.FileName.clear();
                        return read;
                    }),
                TTagRunReader::kMaxRun);
            for (; i < files; ++i) {
                if (std::optional<Read> read = reader.Next()) {
                    rowBuffer_.SetTag(i, read->Size, read->Tag);
                    if (showAudio_)
                        rowBuffer_.SetAudio(i, TAudioCell::From(read->Audio));
                } else
                    rowBuffer_.MarkDropped(i);
                progress.SetPosition(i);
                if (progress.Cancelled()) {
                    readingCancelled_ = true;
                    leftOut_ = files - i - 1;
                    for (std::size_t k = i + 1; k < files; ++k)
                        rowBuffer_.MarkDropped(k);
                    break;
                }
            }
            // Let go before the sort asks for memory.
            endRun();
            // The steps up to the sort let events run between them too.
            rowBuffer_.Compact();
            progress.SetPosition(files - 1);
            ReleaseFreeMemory();
            progress.SetPosition(files - 1);
        } catch (EInOutError& e) {
            e.SetFileName(rowBuffer_.Path(i));
            restore();
            throw;
        } catch (...) {
            restore();
            throw;
        }
    }
    previousRows = TFileRowStore();
    previousSelected = {};
    if (Directory != directory_) {
        filter_.clear();
        Refilter({});
    }
    directory_ = Directory;
    SortList(Progress);
}

void TFileList::SortStore(TFileRowStore& Store, std::uint32_t Head,
                          std::vector<std::uint32_t> Rows, IProgress* Progress) {
    const std::uint64_t count = Rows.size();
    ProgressScope progress(
        Progress, FillText(UiText("FileList", "Sorting %1 items..."), {std::to_string(count)}),
        count);

    // The insertion sort puts each row before the first equal-or-greater key: ascending, with
    // equal keys in reverse reading order. A stable sort of the reversed rows gives the same.
    // The first 16 key bytes are worked out once per row, so most comparisons touch neither
    // the arenas nor the folders. The sort runs on record numbers: the keys are worked out
    // in the records' own order, which is the arenas' order.
    const int field = sortColumn_ < 0 ? -sortColumn_ : sortColumn_;
    const TFileRowStore::TRecords records(Store);
    std::reverse(Rows.begin(), Rows.end());
    for (std::uint32_t& row : Rows)
        row = Store.RecordOf(row);
    const std::uint32_t headRecord = Store.RecordOf(Head);
    const std::size_t total = Store.Records();
    const bool audioField = field == kLengthColumn || field == kBitrateColumn;
    const bool numeric = field == kTrackColumn || audioField;
    std::vector<std::uint64_t> heads(numeric ? 0 : 2 * total, 0);
    const auto keyOf = [&](std::uint32_t r) {
        KeyParts key;
        if (records.IsText(r)) {
            key.Part[0] = GetStringItem(field, records.Text(r));
        } else if (field == 1) {
            key.Part[0] = " ";
            key.Part[1] = RelativeView(directory_, records.Folder(r));
            key.Part[2] = records.Name(r);
        } else if (records.Tagged(r) && field <= kFileListColumnCount - 1) {
            key.Part[0] = field == 6   ? std::string_view(GenreName(records.Genre(r)))
                          : field == 7 ? records.Field(r, 4)
                                       : records.Field(r, field - 2);
        }
        return key;
    };
    const auto sorted = [&](std::uint32_t r) { return r != headRecord && !records.Dropped(r); };
    if (audioField) {
        // Lengths and bit rates by number; rows without one after the others.
        std::vector<std::uint64_t> key(total, std::numeric_limits<std::uint64_t>::max());
        for (std::uint32_t r = 0; r < total; ++r) {
            const TAudioCell audio = Store.AudioOf(r);
            if (sorted(r) && !records.IsText(r) && audio.HasLength())
                key[r] = field == kLengthColumn ? audio.Centis : audio.Kbps;
        }
        std::stable_sort(Rows.begin(), Rows.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return key[a] < key[b]; });
    } else if (numeric) {
        // Track numbers 1 to 255, then none: counted straight into their places.
        std::vector<std::uint16_t> key(total, 256);
        for (std::uint32_t r = 0; r < total; ++r)
            if (sorted(r))
                key[r] = static_cast<std::uint16_t>(
                    std::min<std::uint64_t>(records.IsText(r)   ? TrackKey(GetStringItem(field, records.Text(r)))
                                            : records.Tagged(r) && records.Track(r) != 0 ? records.Track(r)
                                                                                         : 256,
                                            256));
        std::vector<std::size_t> start(258, 0);
        for (const std::uint32_t r : Rows)
            ++start[key[r] + 1u];
        for (std::size_t k = 1; k < start.size(); ++k)
            start[k] += start[k - 1];
        std::vector<std::uint32_t> placed(Rows.size());
        for (const std::uint32_t r : Rows)
            placed[start[key[r]]++] = r;
        std::copy(placed.begin(), placed.end(), Rows.begin());
    }
    // Bytes every key shares (a common folder, say) are left out of the heads, so the heads
    // hold the bytes that tell rows apart.
    std::size_t skip = 0;
    if (!numeric && Rows.size() > 1) {
        skip = std::numeric_limits<std::size_t>::max();
        const KeyParts first = keyOf(Rows.front());
        for (std::uint32_t r = 0; r < total && skip > 0; ++r) {
            if (sorted(r))
                skip = std::min(skip, CommonPrefix(first, keyOf(r), skip));
            if (r % 4096 == 0)
                progress.SetPosition(0); // lets events run
        }
    }
    std::vector<char> undecided(numeric ? 0 : total, 0);
    bool anyUndecided = false;
    for (std::uint32_t r = 0; r < total && !numeric; ++r) {
        if (!sorted(r))
            continue;
        const bool open = KeyHead(keyOf(r), skip, heads[2 * r], heads[2 * r + 1]);
        undecided[r] = open ? 1 : 0;
        anyUndecided = anyUndecided || open;
        if (r % 4096 == 0)
            progress.SetPosition(0);
    }
    // Few distinct keys (years, genres): ranked and counted, in one pass.
    if (!numeric && (anyUndecided || !RankSort(Rows, heads, [&] { progress.SetPosition(0); }))) {
        const auto less = [&](std::uint32_t a, std::uint32_t b) {
            const std::uint64_t* x = &heads[2 * a];
            const std::uint64_t* y = &heads[2 * b];
            if (x[0] != y[0])
                return x[0] < y[0];
            if (x[1] != y[1] || (undecided[a] == 0 && undecided[b] == 0))
                return x[1] < y[1];
            // Both heads equal: only the whole keys decide.
            return KeyCompare(keyOf(a), keyOf(b)) < 0;
        };
        StableIndexSort(Rows, less, [&](std::uint64_t merged, std::uint64_t all) {
            progress.SetPosition(all == 0 ? count : merged * count / all);
        });
    }
    std::vector<std::uint64_t>().swap(heads);
    std::vector<char>().swap(undecided);
    if (sortColumn_ < 0)
        std::reverse(Rows.begin(), Rows.end());
    Rows.insert(Rows.begin(), headRecord);
    Store.SetOrder(std::move(Rows));
    progress.SetPosition(count);
}

void TFileList::SortList(IProgress* Progress) {
    // The rows of the buffer, marker row in front, become the list: a large listing never
    // holds two arrays of rows.
    const std::size_t count = rowBuffer_.size();
    if (count >= 0xffffffffu)
        throw std::length_error("too many rows");
    std::vector<std::uint32_t> order;
    order.reserve(count + 1); // and the marker row, put in front at the end
    for (std::size_t i = 0; i < count; ++i)
        order.push_back(static_cast<std::uint32_t>(i));
    const auto head = static_cast<std::uint32_t>(rowBuffer_.AddText(kMultiListPlaceholder));
    SortStore(rowBuffer_, head, std::move(order), Progress);
    rows_ = std::move(rowBuffer_);
    rowBuffer_.clear();
    ResetSelection();
    Refilter(folded_);
    InvalidateIndex();
    Changed();
}

void TFileList::MultiListMP3ListHeaderClick(int Section, IProgress* Progress) {
    const int field = Section + 1;
    sortColumn_ = sortColumn_ == field ? -field : field;
    // Every row is sorted; the rows shown stay the same ones.
    std::vector<char> keep;
    if (Filtered()) {
        keep.assign(rows_.Records(), 0);
        for (std::size_t i = 0; i < rows_.size(); ++i)
            keep[rows_.RecordOf(i)] = 1;
        rows_.SetOrder(std::vector<std::uint32_t>(all_));
    }
    const std::size_t count = rows_.size();
    if (count >= 0xffffffffu)
        throw std::length_error("too many rows");
    std::vector<std::uint32_t> order;
    order.reserve(count);
    for (std::size_t i = 1; i < count; ++i)
        order.push_back(static_cast<std::uint32_t>(i));
    rowBuffer_.clear();
    SortStore(rows_, 0, std::move(order), Progress);
    if (!keep.empty())
        ShowRecords(keep);
    ResetSelection();
    InvalidateIndex();
    Changed();
}

void TFileList::SingleUpdate(const TMP3Tag& Tag) {
    const TagCodec& Codec = codec_;
    // The row shows what the file now holds, not what was asked for: the code page writes
    // "?" for a character it lacks, and a field keeps only its 30 bytes.
    TMP3Tag shown;
    std::optional<std::uint64_t> size = 0;
    try {
        shown = GetMP3Tag(Tag.FileName, Codec, &*size);
    } catch (const EInOutError&) {
        shown = Tag; // gone again since its write: the row keeps what was written
        size.reset();
    }
    UpdateRow(Tag, shown, size, false);
}

void TFileList::SingleUpdateWritten(const TMP3Tag& Tag) {
    const TagCodec& Codec = codec_;
    TMP3Tag shown = ParseTagBytes(BuildTagBytes(Tag, Codec), Codec.ForTag(Tag.CodePage));
    UpdateRow(Tag, shown, std::nullopt, true);
}

void TFileList::UpdateRow(const TMP3Tag& Tag, const TMP3Tag& shown,
                          std::optional<std::uint64_t> size, bool written) {
    if (!indexValid_)
        RebuildIndex();
    const std::size_t slash = Tag.FileName.rfind('/');
    const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
    const std::string_view name = std::string_view(Tag.FileName).substr(cut);
    const std::size_t found =
        FindRow(rows_.FindFolder(std::string_view(Tag.FileName).substr(0, cut)), name);
    if (found != 0) {
        // Unknown size: the listed one, and a tag this program appended adds its 128 bytes.
        const std::uint32_t record = FullRecord(found);
        const TFileRowStore::TRecords records(rows_);
        const std::uint64_t known =
            size ? *size
                 : records.FileSize(record) + (written && !records.Tagged(record) ? 128 : 0);
        rows_.SetRecordTag(record, known, shown);
        const std::size_t row = Filtered() ? shownAt_[found] : found;
        if (row == 0)
            return; // a hidden row: nothing shown changes
        SetSelected(row, false);
        Changed(row);
        return;
    }
    const std::size_t row = rows_.AddFullPath(Tag.FileName);
    rows_.SetTag(row, size.value_or(0), shown);
    selected_.push_back(0);
    if (Filtered()) {
        all_.push_back(rows_.RecordOf(row));
        shownAt_.push_back(static_cast<std::uint32_t>(row));
    }
    InvalidateIndex();
    Changed();
}

void TFileList::ClearListBox() {
    rows_.clear();
    rows_.AddText(kMultiListPlaceholder);
    ResetSelection();
    Refilter(folded_);
    itemIndex_ = -1;
    InvalidateIndex();
    Changed();
}

void TFileList::DeleteRows(const std::vector<std::size_t>& Rows) {
    for (std::size_t row : Rows)
        if (row >= 1 && row < rows_.size())
            rows_.MarkDropped(row);
    std::size_t kept = 1;
    std::ptrdiff_t focus = -1;
    for (std::size_t i = 1; i < selected_.size(); ++i) {
        if (static_cast<std::ptrdiff_t>(i) == itemIndex_)
            focus = static_cast<std::ptrdiff_t>(kept);
        if (rows_.Dropped(i)) {
            selCount_ -= selected_[i] != 0 ? 1 : 0;
            continue;
        }
        selected_[kept++] = selected_[i];
    }
    rows_.Compact();
    if (Filtered()) {
        const TFileRowStore::TRecords records(rows_);
        all_.erase(std::remove_if(all_.begin(), all_.end(),
                                  [&](std::uint32_t r) { return records.Dropped(r); }),
                   all_.end());
        RebuildShownAt();
    }
    selected_.resize(kept);
    const auto last = static_cast<std::ptrdiff_t>(kept) - 1;
    itemIndex_ = last < 1 ? -1 : std::clamp<std::ptrdiff_t>(focus, 1, last);
    InvalidateIndex();
    Changed();
}

bool TFileList::FilesInThisDir() const {
    if (itemIndex_ < 1 || static_cast<std::size_t>(itemIndex_) >= rows_.size())
        return false;
    const auto row = static_cast<std::size_t>(itemIndex_);
    return !rows_.IsText(row) || !IsMarkerRow(rows_.Text(row));
}

void TFileList::ResetSelection() {
    selected_.assign(rows_.size(), 0);
    selCount_ = 0;
    itemIndex_ = rows_.size() > 1 ? 1 : -1;
}

std::size_t TFileList::FindRow(std::int64_t Folder, std::string_view Name) const {
    if (Folder < 0 || index_.empty())
        return 0;
    const TFileRowStore::TRecords records(rows_);
    const std::size_t mask = index_.size() - 1;
    for (std::size_t at = HashOf(Folder, Name) & mask;; at = (at + 1) & mask) {
        const std::uint32_t slot = index_[at];
        if (slot == 0)
            return 0;
        const std::uint32_t record = FullRecord(slot - 1);
        if (records.FolderId(record) == Folder && records.Name(record) == Name)
            return slot - 1;
    }
}

void TFileList::RebuildIndex() {
    indexValid_ = true;
    // Over every row, hidden ones too: a hidden file's tag is kept up to date as well.
    const TFileRowStore::TRecords records(rows_);
    const std::size_t count = FullCount();
    std::size_t capacity = 16;
    while (capacity < 2 * count)
        capacity *= 2;
    index_.assign(capacity, 0);
    const std::size_t mask = capacity - 1;
    for (std::size_t i = 1; i < count; ++i) {
        const std::uint32_t record = FullRecord(i);
        if (!records.HasPath(record))
            continue;
        const std::int64_t folder = records.FolderId(record);
        const std::string_view name = records.Name(record);
        for (std::size_t at = HashOf(folder, name) & mask;; at = (at + 1) & mask) {
            const std::uint32_t slot = index_[at];
            if (slot == 0) {
                index_[at] = static_cast<std::uint32_t>(i + 1);
                break;
            }
            const std::uint32_t other = FullRecord(slot - 1);
            if (records.FolderId(other) == folder && records.Name(other) == name)
                break; // the first row holding the name stays
        }
    }
}

// --- The filter ---------------------------------------------------------------------------

void TFileList::SetFilter(std::string_view Text) {
    std::string folded = FoldFilterText(Text);
    filter_ = std::string(Text);
    if (folded == folded_)
        return;
    // Rows holding the longer text are among those holding the shorter one.
    const bool narrow =
        Filtered() && !folded.empty() && folded.find(folded_) != std::string::npos;
    ApplyFilter(std::move(folded), narrow);
}

std::size_t TFileList::FileRowsShown() const {
    std::size_t n = 0;
    for (std::size_t i = 1; i < rows_.size(); ++i)
        n += rows_.HasPath(i) ? 1 : 0;
    return n;
}

std::size_t TFileList::FileRowsTotal() const {
    if (!Filtered())
        return FileRowsShown();
    const TFileRowStore::TRecords records(rows_);
    std::size_t n = 0;
    for (std::size_t i = 1; i < all_.size(); ++i)
        n += records.HasPath(all_[i]) ? 1 : 0;
    return n;
}

std::vector<std::uint32_t> TFileList::StoreOrder() const {
    std::vector<std::uint32_t> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = rows_.RecordOf(i);
    return order;
}

void TFileList::ApplyFilter(std::string Folded, bool Narrow) {
    if (!Filtered())
        all_ = StoreOrder();
    if (all_.empty())
        return; // no rows, not even the placeholder
    std::vector<char> selectedRecord(rows_.Records(), 0);
    for (std::size_t i = 1; i < rows_.size(); ++i)
        if (selected_[i] != 0)
            selectedRecord[rows_.RecordOf(i)] = 1;
    const std::int64_t focus =
        itemIndex_ >= 1 ? static_cast<std::int64_t>(rows_.RecordOf(static_cast<std::size_t>(itemIndex_)))
                        : -1;
    std::vector<std::uint32_t> order;
    if (Folded.empty()) {
        order = all_;
    } else {
        std::vector<std::uint32_t> candidates;
        if (Narrow) {
            candidates = StoreOrder();
            candidates.erase(candidates.begin());
        } else {
            candidates.assign(all_.begin() + 1, all_.end());
        }
        const TFileRowStore::TRecords records(rows_);
        order = FilterRecords(candidates, Folded, [&](std::uint32_t r, std::string& text) {
            if (!records.HasPath(r))
                return false; // the marker row stays
            AppendRecordText(records, r, text);
            return true;
        });
        order.insert(order.begin(), all_.front());
    }
    rows_.SetOrder(std::move(order));
    folded_ = std::move(Folded);
    // A hidden row loses its mark; the focus stays on its row while that is shown.
    selected_.assign(rows_.size(), 0);
    selCount_ = 0;
    itemIndex_ = -1;
    for (std::size_t i = 1; i < rows_.size(); ++i) {
        const std::uint32_t record = rows_.RecordOf(i);
        if (selectedRecord[record] != 0) {
            selected_[i] = 1;
            ++selCount_;
        }
        if (record == focus)
            itemIndex_ = static_cast<std::ptrdiff_t>(i);
    }
    if (itemIndex_ < 0 && rows_.size() > 1)
        itemIndex_ = 1;
    if (Filtered()) {
        RebuildShownAt();
    } else {
        std::vector<std::uint32_t>().swap(all_);
        std::vector<std::uint32_t>().swap(shownAt_);
    }
    InvalidateIndex();
    Changed();
}

void TFileList::ShowRecords(const std::vector<char>& Keep) {
    all_ = StoreOrder();
    std::vector<std::uint32_t> order;
    for (const std::uint32_t record : all_)
        if (Keep[record] != 0)
            order.push_back(record);
    rows_.SetOrder(std::move(order));
    RebuildShownAt();
}

void TFileList::Refilter(std::string Folded) {
    std::vector<std::uint32_t>().swap(all_);
    std::vector<std::uint32_t>().swap(shownAt_);
    folded_.clear();
    if (!Folded.empty())
        ApplyFilter(std::move(Folded), false);
}

void TFileList::RebuildShownAt() {
    // The rows shown are in all_'s order: one walk pairs them up.
    shownAt_.assign(all_.size(), 0);
    std::size_t shown = 1;
    for (std::size_t i = 1; i < all_.size() && shown < rows_.size(); ++i)
        if (all_[i] == rows_.RecordOf(shown))
            shownAt_[i] = static_cast<std::uint32_t>(shown++);
}

} // namespace veltrane
