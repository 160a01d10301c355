#include "id3v2/Id3v2Reader.h"

#include "id3v2/Id3v2Check.h"

#include "tagcore/InOutError.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/PreadAll.h"
#include "tagcore/UniqueFd.h"

#include <commentsframe.h>
#include <id3v2frame.h>
#include <id3v2framefactory.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tbytevectorstream.h>
#include <textidentificationframe.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

namespace {

constexpr std::size_t kHeaderSize = 10;

// Control characters become blanks (ID3v1 readers show them so anyway); blanks at either
// end go.
std::string Clean(std::string Text) {
    for (char& c : Text)
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    const std::size_t first = Text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(' ') - first + 1);
}

std::string Utf8(const TagLib::String& Text) {
    return Clean(Text.to8Bit(true));
}

const TagLib::ID3v2::FrameList* Frames(const TagLib::ID3v2::Tag& Tag, const char* Id) {
    const TagLib::ID3v2::FrameListMap& map = Tag.frameListMap();
    const auto it = map.find(TagLib::ByteVector(Id));
    return it == map.end() || it->second.isEmpty() ? nullptr : &it->second;
}

// The values of the first frame Id; several values of one frame are joined by " / ".
std::string Text(const TagLib::ID3v2::Tag& Tag, const char* Id, bool FirstValueOnly = false) {
    const TagLib::ID3v2::FrameList* frames = Frames(Tag, Id);
    if (!frames)
        return {};
    const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames->front());
    if (!text)
        return Utf8(frames->front()->toString());
    std::string joined;
    for (const TagLib::String& value : text->fieldList()) {
        const std::string v = Utf8(value);
        if (v.empty())
            continue;
        if (FirstValueOnly)
            return v;
        if (!joined.empty())
            joined += " / ";
        joined += v;
    }
    return joined;
}

std::string FourDigits(const std::string& Text) {
    if (Text.size() < 4)
        return {};
    for (std::size_t i = 0; i < 4; ++i)
        if (Text[i] < '0' || Text[i] > '9')
            return {};
    return Text.substr(0, 4);
}

// The first comment without a description, else the first whose description is not one of
// a player's "iTun..." data records.
std::string Comment(const TagLib::ID3v2::Tag& Tag) {
    const TagLib::ID3v2::FrameList* frames = Frames(Tag, "COMM");
    if (!frames)
        return {};
    const TagLib::ID3v2::CommentsFrame* chosen = nullptr;
    for (const TagLib::ID3v2::Frame* f : *frames) {
        const auto* c = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(f);
        if (!c)
            continue;
        if (c->description().isEmpty()) {
            chosen = c;
            break;
        }
        if (!chosen && !c->description().startsWith("iTun"))
            chosen = c;
    }
    return chosen ? Utf8(chosen->text()) : std::string();
}

bool AllDigits(std::string_view Text) {
    return !Text.empty() && Text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "17", "(17)", "(0017)", "(17)Rock" or a name of the genre table, letter case aside. A number
// of any length is read without overflow: leading zeros aside, more than three digits are past
// the table.
void MapGenre(const std::string& Text, TId3v2Values& Values) {
    if (Text.empty())
        return;
    std::string_view number(Text);
    if (number.front() == '(') {
        const std::size_t close = number.find(')');
        number = close == std::string_view::npos ? std::string_view() : number.substr(1, close - 1);
    }
    if (AllDigits(number)) {
        number.remove_prefix(std::min(number.find_first_not_of('0'), number.size() - 1));
        const unsigned g =
            number.size() <= 3 ? static_cast<unsigned>(std::stoul(std::string(number))) : 255;
        if (g + 1 < kGenreTableSize) {
            Values.Genre = static_cast<std::uint8_t>(g);
            return;
        }
    } else if (Text.front() != '(') {
        // The table's names end in one blank.
        const std::uint8_t g = StyleToByte(Text + " ");
        if (g != 254 && g != 255) {
            Values.Genre = g;
            return;
        }
    }
    Values.UnknownGenre = Text;
}

void MapTrack(const std::string& Text, TId3v2Values& Values) {
    if (Text.empty())
        return;
    const std::optional<std::uint8_t> track = ParseTrack(Clean(Text.substr(0, Text.find('/'))));
    if (track && *track != 0)
        Values.Track = *track;
    else
        Values.BadTrack = Text;
}

// The text of the first frame Id when it is stored in UTF-16 or UTF-8, else "".
std::string UnicodeText(const TagLib::ID3v2::Tag& Tag, const char* Id) {
    const TagLib::ID3v2::FrameList* frames = Frames(Tag, Id);
    if (!frames)
        return {};
    const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames->front());
    if (!text || text->textEncoding() == TagLib::String::Latin1)
        return {};
    return Text(Tag, Id);
}

TId3v2Values Map(const TagLib::ID3v2::Tag& Tag) {
    TId3v2Values v;
    v.Title = Text(Tag, "TIT2");
    v.Artist = Text(Tag, "TPE1");
    if (v.Artist.empty())
        v.Artist = Text(Tag, "TPE2");
    v.Album = Text(Tag, "TALB");
    v.Year = FourDigits(Text(Tag, "TDRC", true));
    if (v.Year.empty())
        v.Year = FourDigits(Text(Tag, "TYER", true));
    v.Comment = Comment(Tag);
    MapGenre(Text(Tag, "TCON", true), v);
    MapTrack(Text(Tag, "TRCK", true), v);
    return v;
}

} // namespace

std::size_t Id3v2TagLength(std::string_view Header) {
    if (Header.size() < kHeaderSize || Header.substr(0, 3) != "ID3")
        return 0;
    const auto version = static_cast<unsigned char>(Header[3]);
    const auto revision = static_cast<unsigned char>(Header[4]);
    if (version < 2 || version > 4 || revision == 0xFF)
        return 0;
    std::uint32_t size = 0;
    if (!SyncSafe(Header.substr(6, 4), size))
        return 0;
    const bool footer = version == 4 && (static_cast<unsigned char>(Header[5]) & 0x10);
    return kHeaderSize + size + (footer ? kHeaderSize : 0);
}

namespace {

// Calls Fn with the tag TagLib read from Bytes; throws ENoId3v2 as ParseId3v2 does.
template <class Fn>
auto OnTag(std::string_view Bytes, Fn fn) {
    const std::size_t length = Id3v2TagLength(Bytes);
    if (length == 0 || length > Bytes.size())
        throw ENoId3v2();
    const TId3v2Check check = CheckId3v2Tag(Bytes.substr(0, length));
    if (!check.Unreadable.empty())
        throw ENoId3v2();
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(check.Tag.data(), static_cast<unsigned int>(check.Tag.size())));
    TSafeFrameFactory factory;
    TagLib::MPEG::File file(&stream, &factory, false);
    const TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag(false) : nullptr;
    // Frames that TagLib read none of: the tag is there, but it was not read.
    if (!tag || (check.Frames > 0 && tag->frameList().isEmpty()))
        throw ENoId3v2();
    return fn(*tag);
}

// The bytes of the ID3v2 tag of the open file Fd; nullopt when it has none of a size to read.
// Regular: Fd is known to be a regular file (one opened for its tag), which saves a status.
std::optional<std::string> TagBytesOf(int Fd, bool Regular = false) {
    struct stat st;
    if (!Regular && ::fstat(Fd, &st) != 0)
        throw EInOutError::FromErrno(errno);
    if (!Regular && !S_ISREG(st.st_mode))
        return std::nullopt;
    char header[kHeaderSize];
    if (!PreadAll(Fd, header, kHeaderSize, 0))
        return std::nullopt;
    const std::size_t length = Id3v2TagLength(std::string_view(header, kHeaderSize));
    // A tag declaring more than the file holds fails its read below.
    if (length == 0 || length > kMaxId3v2Bytes ||
        (!Regular && length > static_cast<std::uint64_t>(st.st_size)))
        return std::nullopt;
    std::string bytes(length, '\0');
    if (!PreadAll(Fd, bytes.data(), length, 0))
        return std::nullopt;
    return bytes;
}

TUniqueFd OpenForId3v2(const std::string& Path, TDirectoryCache* Directories) {
    const int flags = O_RDONLY | O_NOCTTY | O_NONBLOCK;
    const int raw = Directories ? Directories->Open(Path, flags | O_NOATIME)
                                : OpenLongPathNoAtime(Path, flags);
    if (raw < 0)
        throw EInOutError::FromErrno(errno);
    return TUniqueFd(raw);
}

// The bytes of the file's ID3v2 tag; throws as ReadId3v2 does.
std::string ReadTagBytes(const std::string& Path, TDirectoryCache* Directories) {
    std::optional<std::string> bytes = TagBytesOf(OpenForId3v2(Path, Directories).get());
    if (!bytes)
        throw ENoId3v2();
    return std::move(*bytes);
}

} // namespace

TId3v2Values ParseId3v2(std::string_view Bytes) {
    return OnTag(Bytes, [](const TagLib::ID3v2::Tag& tag) { return Map(tag); });
}

TId3v2Values ReadId3v2(const std::string& Path, TDirectoryCache* Directories) {
    return ParseId3v2(ReadTagBytes(Path, Directories));
}

std::optional<TUnicodeTitles> ReadUnicodeTitles(const std::string& Path, int File) {
    try {
        // Most files have no ID3v2 tag: they cost a read of ten bytes, not an exception.
        std::optional<std::string> bytes;
        if (File >= 0)
            bytes = TagBytesOf(File, true);
        else
            bytes = TagBytesOf(OpenForId3v2(Path, nullptr).get());
        if (!bytes)
            return std::nullopt;
        TUnicodeTitles v = OnTag(*bytes, [](const TagLib::ID3v2::Tag& tag) {
            return TUnicodeTitles{UnicodeText(tag, "TIT2"), UnicodeText(tag, "TPE1")};
        });
        if (v.Title.empty() && v.Artist.empty())
            return std::nullopt;
        return v;
    } catch (const std::exception&) {
        return std::nullopt; // no tag, or none readable: no evidence
    }
}

} // namespace veltrane
