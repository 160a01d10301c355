#include "playlists/ExtM3U.h"

#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

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

std::string AbsoluteLexical(const std::string& Path) {
    std::filesystem::path p(Path);
    if (p.is_relative())
        p = std::filesystem::current_path() / p;
    return p.lexically_normal().string();
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
    std::string dir = std::filesystem::path(AbsoluteLexical(PlaylistPath)).parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    const std::string entry = AbsoluteLexical(Entry);
    if (entry.size() > dir.size() && entry.compare(0, dir.size(), dir) == 0)
        return entry.substr(dir.size());
    return Entry;
}

void WritePlaylistEntries(const std::string& Path, const std::vector<std::string>& Entries,
                          TPlaylistWriteMode Mode, const TPlaylistWriteOptions& Options,
                          const TagCodec& Codec, const TPlaylistFileIo& Io) {
    if (!Options.Extended && !Options.Relative) {
        WritePlaylistFile(Path, Entries, Mode, Io);
        return;
    }
    if (const std::string* bad = UnwritableEntry(Entries))
        throw EPlaylistFileError(EINVAL, Path,
                                 "A playlist line cannot hold a name with a line break or "
                                 "Ctrl-Z in it: " +
                                     *bad);
    TPlaylistDocument doc;
    if (Options.Extended) {
        struct stat st {};
        const bool fresh = ::stat(Path.c_str(), &st) != 0 || st.st_size == 0;
        if (Mode == pwOverwrite || fresh)
            doc.Header = "#EXTM3U";
    }
    for (const std::string& entry : Entries) {
        TPlaylistItem item{Options.Relative ? RelativeEntry(entry, Path) : entry, {}};
        if (Options.Extended)
            item.Lines.push_back(ExtInfLine(entry, Codec));
        doc.Items.push_back(std::move(item));
    }
    WritePlaylistBytes(Path, PlaylistDocumentText(doc), Mode, Io);
}

} // namespace veltrane
