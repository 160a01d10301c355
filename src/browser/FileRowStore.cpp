#include "browser/FileRowStore.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace veltrane {

namespace {

// Lengths as 7-bit groups, low first: names and tag texts take one byte.
std::size_t VarintSize(std::size_t n) {
    std::size_t bytes = 1;
    while (n >= 0x80) {
        n >>= 7;
        ++bytes;
    }
    return bytes;
}

char* PutVarint(char* at, std::size_t n) {
    while (n >= 0x80) {
        *at++ = static_cast<char>((n & 0x7f) | 0x80);
        n >>= 7;
    }
    *at++ = static_cast<char>(n);
    return at;
}

const char* GetVarint(const char* at, std::size_t& n) {
    n = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        n |= static_cast<std::size_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            return at;
    }
}

} // namespace

char* TByteArena::Reserve(std::size_t Bytes, std::uint64_t& Offset) {
    constexpr std::size_t block = std::size_t{1} << kBlockBits;
    if (blocks_.empty() || used_ + Bytes > last_) {
        // An entry never straddles two blocks; a huge one gets a block of its own.
        last_ = std::max(block, Bytes);
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(last_));
        used_ = 0;
    }
    Offset = (static_cast<std::uint64_t>(blocks_.size() - 1) << kBlockBits) | used_;
    char* at = blocks_.back().get() + used_;
    used_ += Bytes;
    return at;
}

std::uint64_t TByteArena::Add(std::string_view Bytes) {
    return AddAll(&Bytes, 1);
}

std::uint64_t TByteArena::AddAll(const std::string_view* Texts, std::size_t Count) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < Count; ++i)
        bytes += VarintSize(Texts[i].size()) + Texts[i].size();
    std::uint64_t offset = 0;
    char* at = Reserve(bytes, offset);
    for (std::size_t i = 0; i < Count; ++i) {
        at = PutVarint(at, Texts[i].size());
        if (!Texts[i].empty())
            std::memcpy(at, Texts[i].data(), Texts[i].size());
        at += Texts[i].size();
    }
    return offset;
}

std::string_view TByteArena::Get(std::uint64_t Offset, std::size_t Index) const {
    const char* at = blocks_[static_cast<std::size_t>(Offset >> kBlockBits)].get() +
                     (Offset & ((std::uint64_t{1} << kBlockBits) - 1));
    std::size_t n = 0;
    at = GetVarint(at, n);
    for (; Index > 0; --Index)
        at = GetVarint(at + n, n);
    return {at, n};
}

void TByteArena::Clear() {
    std::vector<std::unique_ptr<char[]>>().swap(blocks_);
    used_ = last_ = 0;
}

std::uint64_t TByteArena::Capacity() const {
    return blocks_.empty() ? 0
                           : static_cast<std::uint64_t>(blocks_.size() - 1) * (1u << kBlockBits) +
                                 last_;
}

std::uint64_t TFileRowStore::TRow::Checked(std::uint64_t Offset) {
    if (Offset > kLow40)
        throw std::length_error("the list's text store is full");
    return Offset;
}

void TFileRowStore::clear() {
    std::vector<TRow>().swap(rows_);
    std::vector<TAudioCell>().swap(audio_);
    std::vector<std::uint32_t>().swap(order_);
    ordered_ = false;
    names_.Clear();
    fields_.Clear();
    folders_.clear();
    folderIds_.clear();
}

std::uint32_t TFileRowStore::InternFolder(std::string_view Folder) {
    const auto found = folderIds_.find(Folder);
    if (found != folderIds_.end())
        return found->second;
    folders_.emplace_back(Folder);
    const auto id = static_cast<std::uint32_t>(folders_.size() - 1);
    folderIds_.emplace(folders_.back(), id);
    return id;
}

std::int64_t TFileRowStore::FindFolder(std::string_view Folder) const {
    const auto found = folderIds_.find(Folder);
    return found == folderIds_.end() ? -1 : static_cast<std::int64_t>(found->second);
}

std::size_t TFileRowStore::AddPath(std::string_view Folder, std::string_view Name) {
    TRow row;
    row.Folder = InternFolder(Folder);
    row.SetName(names_.Add(Name));
    rows_.push_back(row);
    if (ordered_)
        order_.push_back(static_cast<std::uint32_t>(rows_.size() - 1));
    return size() - 1;
}

std::size_t TFileRowStore::AddFullPath(std::string_view Path) {
    const std::size_t slash = Path.rfind('/');
    const std::size_t cut = slash == std::string_view::npos ? 0 : slash + 1;
    return AddPath(Path.substr(0, cut), Path.substr(cut));
}

std::size_t TFileRowStore::AddText(std::string_view Text, std::string_view Path) {
    const std::size_t row = Path.empty() ? AddPath({}, {}) : AddFullPath(Path);
    W(row).Flags = kText | (Path.empty() ? kNoPath : 0);
    W(row).SetFields(fields_.Add(Text));
    return row;
}

void TFileRowStore::SetRecordTag(std::uint32_t Record, std::uint64_t Size, const TMP3Tag& Tag) {
    TRow& row = rows_[Record];
    row.SetSize(Size);
    row.Flags &= static_cast<std::uint8_t>(~kText); // a text row with a path becomes a file row
    if (Tag.Header != "TAG") {
        row.Flags &= static_cast<std::uint8_t>(~kTagged);
        row.CodePage = 0;
        return;
    }
    const std::string_view texts[] = {Tag.Title, Tag.Artist, Tag.Album, Tag.Year, Tag.Comment};
    row.SetFields(fields_.AddAll(texts, 5));
    row.Genre = Tag.Genre;
    row.Track = Tag.Track;
    row.CodePage = Tag.CodePage;
    row.Flags |= kTagged;
}

void TFileRowStore::Compact() {
    if (!ordered_) {
        std::size_t kept = 0;
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            if ((rows_[r].Flags & kDrop) != 0)
                continue;
            if (r < audio_.size())
                audio_[kept] = audio_[r];
            rows_[kept++] = rows_[r];
        }
        rows_.resize(kept);
        if (audio_.size() > kept)
            audio_.resize(kept);
        return;
    }
    // The dropped records stay behind, unreferenced, until the next listing.
    order_.erase(std::remove_if(order_.begin(), order_.end(),
                                [&](std::uint32_t r) { return (rows_[r].Flags & kDrop) != 0; }),
                 order_.end());
}

std::string_view TFileRowStore::Folder(std::size_t Row) const {
    return HasPath(Row) ? std::string_view(folders_[R(Row).Folder]) : std::string_view();
}

std::string_view TFileRowStore::Name(std::size_t Row) const {
    return HasPath(Row) ? names_.Get(R(Row).Name()) : std::string_view();
}

std::string TFileRowStore::Path(std::size_t Row) const {
    std::string path(Folder(Row));
    path.append(Name(Row));
    return path;
}

TMP3Tag TFileRowStore::Tag(std::size_t Row) const {
    TMP3Tag tag;
    if (!Tagged(Row))
        return tag;
    tag.Header = "TAG";
    tag.Title = Field(Row, 0);
    tag.Artist = Field(Row, 1);
    tag.Album = Field(Row, 2);
    tag.Year = Field(Row, 3);
    tag.Comment = Field(Row, 4);
    tag.Genre = Genre(Row);
    tag.Track = Track(Row);
    tag.CodePage = CodePage(Row);
    return tag;
}

void TFileRowStore::Prefetch(std::size_t Row) const {
    const TRow& row = R(Row);
    if ((row.Flags & (kTagged | kText)) != 0)
        __builtin_prefetch(fields_.At(row.Fields()));
    __builtin_prefetch(names_.At(row.Name()));
}

void TFileRowStore::Permute(std::vector<std::uint32_t>&& Order) {
    if (ordered_)
        for (std::uint32_t& place : Order)
            place = order_[place];
    order_ = std::move(Order);
    ordered_ = true;
}

std::uint64_t TFileRowStore::Bytes() const {
    return rows_.capacity() * sizeof(TRow) + order_.capacity() * sizeof(std::uint32_t) +
           audio_.capacity() * sizeof(TAudioCell) + names_.Capacity() + fields_.Capacity();
}

void TFileRowStore::SetAudio(std::size_t Row, TAudioCell Audio) {
    const std::uint32_t record = RecordOf(Row);
    if (audio_.size() <= record)
        audio_.resize(std::max<std::size_t>(rows_.size(), record + 1));
    audio_[record] = Audio;
}

namespace {
constexpr int kRates[] = {0, 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
}

TAudioCell TAudioCell::From(const TMpegAudio& Audio) {
    TAudioCell cell;
    cell.Flags = kRead;
    if (!Audio.HasAudio()) {
        cell.Flags |= kNoAudio;
        return cell;
    }
    // A header may claim days of audio: the cell holds up to 497 of them.
    cell.Centis = static_cast<std::uint32_t>(
        std::min(std::max(Audio.Seconds, 0.0) * 100 + 0.5, 4294967295.0));
    cell.Kbps = static_cast<std::uint16_t>(std::clamp(Audio.Kbps, 0, 65535));
    for (std::uint8_t i = 1; i < std::size(kRates); ++i)
        if (kRates[i] == Audio.SampleRate)
            cell.Rate = i;
    cell.Flags |= (Audio.Vbr ? kVbr : 0) | (Audio.Estimated ? kEstimated : 0) |
                  (Audio.Note == TAudioNote::anTruncated ? kTruncated : 0);
    return cell;
}

TMpegAudio TAudioCell::ToAudio() const {
    TMpegAudio audio;
    if (!HasLength())
        return audio;
    audio.Note = (Flags & kTruncated) != 0 ? TAudioNote::anTruncated : TAudioNote::anNone;
    audio.Seconds = Centis / 100.0;
    audio.Kbps = Kbps;
    audio.Vbr = (Flags & kVbr) != 0;
    audio.Estimated = (Flags & kEstimated) != 0;
    audio.SampleRate = kRates[Rate < std::size(kRates) ? Rate : 0];
    return audio;
}

} // namespace veltrane
