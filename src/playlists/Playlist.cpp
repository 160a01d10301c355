#include "playlists/Playlist.h"

#include "browser/Execfile.h"
#include "browser/MainCommands.h"
#include "tagcore/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <chrono>
#include <locale>
#include <numeric>

namespace veltrane {

std::mt19937_64& ProgramRandom() {
    static std::mt19937_64 random(static_cast<std::uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    return random;
}

std::vector<std::string> TPlaylist::Entries() const {
    std::vector<std::string> texts;
    texts.reserve(entries_.size());
    for (const TEntry& e : entries_)
        texts.push_back(e.Text);
    return texts;
}

void TPlaylist::Add(std::string Entry) {
    entries_.push_back({std::move(Entry), false, {}});
}

void TPlaylist::Insert(std::size_t Index, std::string Entry) {
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(Index, Count())),
                    {std::move(Entry), false, {}});
}

void TPlaylist::Delete(std::size_t Index) {
    if (Index < Count())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(Index));
}

void TPlaylist::Clear() {
    entries_.clear();
    document_ = {};
}

void TPlaylist::AddDocument(TPlaylistDocument&& Document, bool Replace) {
    if (Replace)
        Clear();
    for (TPlaylistItem& item : Document.Items)
        entries_.push_back({std::move(item.Entry), false, std::move(item.Lines)});
    Document.Items.clear();
    if (Replace || !document_.Extended) {
        document_ = std::move(Document);
    } else {
        // Appended behind the old last lines: those stay, the new file's come after them.
        document_.Trailer.insert(document_.Trailer.end(), Document.Trailer.begin(),
                                 Document.Trailer.end());
    }
}

void TPlaylist::Fill(const std::vector<std::string>& Paths) {
    Clear();
    for (const std::string& path : Paths)
        Add(path);
}

void TPlaylist::AddFile(std::string Path) {
    Add(std::move(Path));
    changed_ = true;
}

void TPlaylist::LoadIntoPlaylist(const std::string& Path, TPlaylistLoadMode Mode) {
    AddDocument(ReadPlaylistDocument(Path), Mode == plReplace);
    fileName_ = Path;
    changed_ = true;
}

void TPlaylist::LoadPlayList(const std::string& Path) {
    AddDocument(ReadPlaylistDocument(Path), true);
    fileName_ = Path;
}

void TPlaylist::Save(const std::string& Path, TPlaylistWriteMode Mode,
                     const TPlaylistFileIo& Io) const {
    bool lines = document_.Extended;
    for (const TEntry& e : entries_)
        lines = lines || !e.Lines.empty();
    if (!lines) {
        WritePlaylistFile(Path, Entries(), Mode, Io);
        return;
    }
    TPlaylistDocument doc = document_;
    for (const TEntry& e : entries_) {
        for (const std::string& line : e.Lines)
            if (line.find_first_of(std::string_view("\r\n\x1a\0", 4)) != std::string::npos)
                throw EPlaylistFileError(EINVAL, Path);
        doc.Items.push_back({e.Text, e.Lines});
    }
    if (const std::string* bad = UnwritableEntry(Entries()))
        throw EPlaylistFileError(EINVAL, Path, std::string(kMsgUnwritableEntry) + *bad);
    if (Mode == pwAppend) {
        // The header only goes into a new or empty file.
        struct stat st {};
        if (::stat(Path.c_str(), &st) == 0 && st.st_size > 0) {
            doc.Header.clear();
            doc.Bom = false;
        }
    }
    if (WritesExtended(Path, Mode, !doc.Header.empty()))
        for (TPlaylistItem& item : doc.Items)
            item.Entry = ExtendedEntryText(item.Entry);
    WritePlaylistBytes(Path, PlaylistDocumentText(doc), Mode, Io);
}

void TPlaylist::Save(const std::string& Path, TPlaylistWriteMode Mode,
                     const TPlaylistWriteOptions& Options, const TagCodec& Codec) const {
    if (!Options.Extended && !Options.Relative) {
        Save(Path, Mode);
        return;
    }
    WritePlaylistEntries(Path, Entries(), Mode, Options, Codec);
}

void TPlaylist::Remove() {
    if (entries_.empty())
        return;
    std::erase_if(entries_, [](const TEntry& e) { return e.Selected; });
    changed_ = true;
}

std::optional<std::size_t> TPlaylist::Up(std::optional<std::size_t> Current) {
    if (!Current || *Current >= Count())
        return std::nullopt;
    const std::size_t i = *Current;
    TEntry entry = std::move(entries_[i]);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    const std::size_t to = i == 0 ? entries_.size() : i - 1;
    entry.Selected = false;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(to), std::move(entry));
    changed_ = true;
    return to;
}

std::optional<std::size_t> TPlaylist::Down(std::optional<std::size_t> Current) {
    if (!Current || *Current >= Count())
        return std::nullopt;
    const std::size_t i = *Current;
    TEntry entry = std::move(entries_[i]);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    const std::size_t to = i == entries_.size() ? 0 : i + 1;
    entry.Selected = false;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(to), std::move(entry));
    changed_ = true;
    return to;
}

void TPlaylist::Reverse() {
    if (entries_.empty())
        return;
    std::reverse(entries_.begin(), entries_.end());
    changed_ = true;
}

void TPlaylist::Randomize(std::mt19937_64& Random) {
    if (entries_.empty())
        return;
    std::vector<TEntry> drawn;
    drawn.reserve(entries_.size());
    while (!entries_.empty()) {
        std::uniform_int_distribution<std::size_t> pick(0, entries_.size() - 1);
        const std::size_t k = pick(Random);
        drawn.push_back(std::move(entries_[k]));
        // The order of the rest does not matter to the draw: the last one fills the gap.
        entries_[k] = std::move(entries_.back());
        entries_.pop_back();
    }
    entries_ = std::move(drawn);
    changed_ = true;
}

std::wstring PlaylistSortKey(const std::string& Entry) {
    static const std::locale user = [] {
        try {
            return std::locale("");
        } catch (const std::exception&) {
            return std::locale::classic();
        }
    }();
    // Text as the list shows it: UTF-8, stray bytes as Latin-1 letters.
    std::wstring wide;
    wide.reserve(Entry.size());
    for (std::size_t i = 0; i < Entry.size();) {
        char32_t cp = 0;
        if (const std::size_t len = NextCodePoint(Entry, i, cp)) {
            i += len;
        } else {
            cp = static_cast<unsigned char>(Entry[i]);
            ++i;
        }
        wide.push_back(static_cast<wchar_t>(cp));
    }
    std::use_facet<std::ctype<wchar_t>>(user).tolower(wide.data(), wide.data() + wide.size());
    const auto& collate = std::use_facet<std::collate<wchar_t>>(user);
    return collate.transform(wide.data(), wide.data() + wide.size());
}

void TPlaylist::Sort() {
    std::vector<std::wstring> keys;
    keys.reserve(entries_.size());
    for (const TEntry& e : entries_)
        keys.push_back(PlaylistSortKey(e.Text));
    std::vector<std::size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<TEntry> sorted;
    sorted.reserve(entries_.size());
    for (std::size_t i : order)
        sorted.push_back({std::move(entries_[i].Text), false, std::move(entries_[i].Lines)});
    entries_ = std::move(sorted);
}

void TPlaylist::Cleanup() {
    for (TEntry& e : entries_)
        e.Selected = !PlaylistEntryExists(e.Text, fileName_);
}

bool TPlaylist::Launch(TExecFile& PlayFile, const std::string& PlayerCommand) const {
    if (fileName_.empty())
        return false;
    // One argument, whatever the path holds; the player runs on while we go on.
    PreparePlay(PlayFile, PlayerCommand, fileName_);
    PlayFile.Execute();
    return true;
}

} // namespace veltrane
