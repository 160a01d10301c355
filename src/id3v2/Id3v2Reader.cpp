#include "id3v2/Id3v2Reader.h"

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

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

namespace {

constexpr std::size_t kHeaderSize = 10;

std::uint32_t BigEndian(std::string_view b, std::size_t n) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

// A syncsafe number (7 bits a byte); nullopt-like false when a byte has its top bit set.
bool SyncSafe(std::string_view b, std::uint32_t& v) {
    v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c & 0x80)
            return false;
        v = (v << 7) | c;
    }
    return true;
}

bool FrameIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// TagLib stops quietly at a frame that runs past the tag's end and keeps what came before:
// such a tag is damaged, and nothing of it is taken. Walks the frame headers of Tag (the
// whole tag, header included) and says whether every frame fits.
bool FramesFit(std::string_view Tag) {
    const int version = static_cast<unsigned char>(Tag[3]);
    const auto flags = static_cast<unsigned char>(Tag[5]);
    std::uint32_t bodySize = 0;
    SyncSafe(Tag.substr(6, 4), bodySize);
    std::string body(Tag.substr(kHeaderSize, bodySize));
    if (version <= 3 && (flags & 0x80)) {
        // The whole tag is unsynchronised: frame sizes count the bytes without the inserted
        // zeros.
        std::string plain;
        plain.reserve(body.size());
        for (std::size_t i = 0; i < body.size(); ++i) {
            plain += body[i];
            if (static_cast<unsigned char>(body[i]) == 0xFF && i + 1 < body.size() &&
                body[i + 1] == 0)
                ++i;
        }
        body = std::move(plain);
    }
    if (version == 2 && (flags & 0x40))
        return false; // compressed: no scheme was ever defined, readers skip such tags
    std::size_t pos = 0;
    if (version >= 3 && (flags & 0x40)) {
        if (body.size() < 4)
            return false;
        std::uint32_t ext = 0;
        if (version == 3)
            ext = BigEndian(body, 4) + 4;
        else if (!SyncSafe(body, ext))
            return false;
        if (ext > body.size())
            return false;
        pos = ext;
    }
    const std::size_t headerSize = version == 2 ? 6 : 10;
    const std::size_t idSize = version == 2 ? 3 : 4;
    while (pos + headerSize <= body.size()) {
        const std::string_view frame(body.data() + pos, headerSize);
        if (frame[0] == 0)
            break; // padding
        for (std::size_t i = 0; i < idSize; ++i)
            if (!FrameIdChar(frame[i]))
                return pos > 0; // no frame where the first one should be
        const std::size_t room = body.size() - pos - headerSize;
        std::size_t size = 0;
        if (version == 2) {
            size = BigEndian(frame.substr(3), 3);
        } else if (version == 3) {
            size = BigEndian(frame.substr(4), 4);
        } else {
            // Some writers put plain sizes into 2.4 tags; TagLib takes whichever fits.
            std::uint32_t safe = 0;
            const bool isSafe = SyncSafe(frame.substr(4), safe);
            const std::size_t plain = BigEndian(frame.substr(4), 4);
            size = isSafe && safe <= room ? safe : plain;
        }
        if (size > room)
            return false;
        pos += headerSize + size;
    }
    return true;
}

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
    return !Text.empty() && Text.size() <= 3 && Text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "17", "(17)", "(17)Rock" or a name of the genre table, letter case aside.
void MapGenre(const std::string& Text, TId3v2Values& Values) {
    if (Text.empty())
        return;
    std::string_view number(Text);
    if (number.front() == '(') {
        const std::size_t close = number.find(')');
        number = close == std::string_view::npos ? std::string_view() : number.substr(1, close - 1);
    }
    if (AllDigits(number)) {
        const unsigned g = static_cast<unsigned>(std::stoul(std::string(number)));
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

TId3v2Values ParseId3v2(std::string_view Bytes) {
    const std::size_t length = Id3v2TagLength(Bytes);
    if (length == 0 || length > Bytes.size() || !FramesFit(Bytes.substr(0, length)))
        throw ENoId3v2();
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(Bytes.data(), static_cast<unsigned int>(length)));
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    const TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag(false) : nullptr;
    if (!tag)
        throw ENoId3v2();
    return Map(*tag);
}

TId3v2Values ReadId3v2(const std::string& Path, TDirectoryCache* Directories) {
    const int flags = O_RDONLY | O_NOCTTY | O_NONBLOCK;
    const int raw = Directories ? Directories->Open(Path, flags | O_NOATIME)
                                : OpenLongPathNoAtime(Path, flags);
    if (raw < 0)
        throw EInOutError::FromErrno(errno);
    const TUniqueFd fd(raw);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        throw EInOutError::FromErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw ENoId3v2();
    char header[kHeaderSize];
    if (!PreadAll(fd.get(), header, kHeaderSize, 0))
        throw ENoId3v2();
    const std::size_t length = Id3v2TagLength(std::string_view(header, kHeaderSize));
    if (length == 0 || length > kMaxId3v2Bytes || length > static_cast<std::uint64_t>(st.st_size))
        throw ENoId3v2();
    std::string bytes(length, '\0');
    if (!PreadAll(fd.get(), bytes.data(), length, 0))
        throw ENoId3v2();
    return ParseId3v2(bytes);
}

} // namespace veltrane
