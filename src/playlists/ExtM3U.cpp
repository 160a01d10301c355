#include "playlists/ExtM3U.h"

#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/TagFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsLineEntry(std::string_view Line) {
    return !Line.empty() && Line.front() != '#';
}

std::string BaseNameWithoutExtension(const std::string& Path) {
    std::string name = Path.substr(Path.rfind('/') == std::string::npos ? 0 : Path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

} // namespace

bool IsM3u8Name(std::string_view FileName) {
    if (FileName.size() < 5)
        return false;
    std::string tail(FileName.substr(FileName.size() - 5));
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return tail == ".m3u8";
}

bool IsExtendedPlaylist(std::string_view Text, std::string_view FileName) {
    if (Text.substr(0, kBom.size()) == kBom)
        Text.remove_prefix(kBom.size());
    return Text.substr(0, 7) == "#EXTM3U" || IsM3u8Name(FileName);
}

TPlaylistDocument ParsePlaylistDocument(std::string_view Text, std::string_view FileName) {
    TPlaylistDocument doc;
    doc.Extended = IsExtendedPlaylist(Text, FileName);
    if (!doc.Extended) {
        // A BOM that an editor put in front is no part of the first entry.
        if (Text.substr(0, kBom.size()) == kBom)
            Text.remove_prefix(kBom.size());
        for (std::string& entry : ParsePlaylistText(Text))
            doc.Items.push_back({std::move(entry), {}});
        return doc;
    }
    if (Text.substr(0, kBom.size()) == kBom) {
        doc.Bom = true;
        Text.remove_prefix(kBom.size());
    }
    std::vector<std::string> lines = ParsePlaylistText(Text);
    std::size_t first = 0;
    if (!lines.empty() && lines[0].rfind("#EXTM3U", 0) == 0) {
        doc.Header = std::move(lines[0]);
        first = 1;
    }
    std::vector<std::string> pending;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (!IsLineEntry(lines[i])) {
            pending.push_back(std::move(lines[i]));
            continue;
        }
        doc.Items.push_back({std::move(lines[i]), std::move(pending)});
        pending.clear();
    }
    doc.Trailer = std::move(pending);
    return doc;
}

std::string PlaylistDocumentText(const TPlaylistDocument& Document) {
    std::string text;
    if (Document.Bom)
        text += kBom;
    const auto line = [&text](const std::string& l) {
        text += l;
        text += "\r\n";
    };
    if (!Document.Header.empty())
        line(Document.Header);
    for (const TPlaylistItem& item : Document.Items) {
        for (const std::string& l : item.Lines)
            line(l);
        line(item.Entry);
    }
    for (const std::string& l : Document.Trailer)
        line(l);
    return text;
}

std::vector<std::string> DocumentEntries(const TPlaylistDocument& Document) {
    std::vector<std::string> entries;
    entries.reserve(Document.Items.size());
    for (const TPlaylistItem& item : Document.Items)
        entries.push_back(item.Entry);
    return entries;
}

TPlaylistDocument ReadPlaylistDocument(const std::string& Path) {
    return ParsePlaylistDocument(ReadPlaylistBytes(Path), Path);
}

std::string ExtInfLine(const std::string& Path, const TagCodec& Codec) {
    std::string title;
    try {
        const TMP3Tag tag = GetMP3Tag(Path, Codec);
        if (tag.Header == "TAG") {
            title = tag.Artist;
            if (!title.empty() && !tag.Title.empty())
                title += " - ";
            title += tag.Title;
        }
    } catch (const EInOutError&) {
        // A file that cannot be read is still listed, under its name.
    }
    if (title.empty())
        title = BaseNameWithoutExtension(Path);
    // The title is one line: a break in a tag field would start a new entry.
    for (char& c : title)
        if (c == '\r' || c == '\n' || c == '\x1a')
            c = ' ';
    return "#EXTINF:-1," + title;
}

std::string RelativeEntry(const std::string& Entry, const std::string& PlaylistPath) {
    namespace fs = std::filesystem;
    const std::string entry = SystemAbsolute(Entry);
    const std::string dir = fs::path(SystemAbsolute(PlaylistPath)).parent_path().string();
    const auto below = [](const std::string& Path, std::string Dir) -> std::optional<std::string> {
        if (Dir.empty() || Dir.back() != '/')
            Dir += '/';
        if (Path.size() > Dir.size() && Path.compare(0, Dir.size(), Dir) == 0)
            return Path.substr(Dir.size());
        return std::nullopt;
    };
    if (auto relative = below(entry, dir))
        return *relative;
    // The playlist's folder or the entry's may be reached through a link: compare the folders
    // the system reaches.
    std::error_code ec1, ec2;
    const fs::path entryPath(entry);
    const fs::path entryDir = fs::weakly_canonical(entryPath.parent_path(), ec1);
    const fs::path realDir = fs::weakly_canonical(dir, ec2);
    if (!ec1 && !ec2) {
        if (entryDir == realDir)
            return entryPath.filename().string();
        if (auto relative = below(entryDir.string(), realDir.string()))
            return *relative + "/" + entryPath.filename().string();
    }
    // Relative to the working folder it would not resolve from the playlist.
    return entry;
}

std::string ExtendedEntryText(const std::string& Entry) {
    return !Entry.empty() && Entry.front() == '#' ? "./" + Entry : Entry;
}

bool WritesExtended(const std::string& Path, TPlaylistWriteMode Mode, bool Header) {
    if (IsM3u8Name(Path))
        return true;
    if (Mode == pwAppend) {
        const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            char start[16];
            const ssize_t n = ::pread(fd, start, sizeof start, 0);
            ::close(fd);
            // Appended to an existing file, the lines are read the way its start says.
            if (n > 0)
                return IsExtendedPlaylist(std::string_view(start, static_cast<std::size_t>(n)), "");
        }
    }
    return Header;
}

void WritePlaylistEntries(const std::string& Path, const std::vector<std::string>& Entries,
                          TPlaylistWriteMode Mode, const TPlaylistWriteOptions& Options,
                          const TagCodec& Codec, const TPlaylistFileIo& Io) {
    if (!Options.Extended && !Options.Relative) {
        WritePlaylistFile(Path, Entries, Mode, Io);
        return;
    }
    if (const std::string* bad = UnwritableEntry(Entries))
        throw EPlaylistFileError(EINVAL, Path, std::string(kMsgUnwritableEntry) + *bad);
    TPlaylistDocument doc;
    if (Options.Extended) {
        struct stat st {};
        const bool fresh = ::stat(Path.c_str(), &st) != 0 || st.st_size == 0;
        if (Mode == pwOverwrite || fresh)
            doc.Header = "#EXTM3U";
    }
    const bool extended = WritesExtended(Path, Mode, !doc.Header.empty());
    for (const std::string& entry : Entries) {
        TPlaylistItem item{Options.Relative ? RelativeEntry(entry, Path) : entry, {}};
        if (extended)
            item.Entry = ExtendedEntryText(item.Entry);
        if (Options.Extended)
            item.Lines.push_back(ExtInfLine(entry, Codec));
        doc.Items.push_back(std::move(item));
    }
    WritePlaylistBytes(Path, PlaylistDocumentText(doc), Mode, Io);
}

} // namespace veltrane
