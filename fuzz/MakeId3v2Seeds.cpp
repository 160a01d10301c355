// Writes seed tags for the ID3v2 target: TagLib renders versions 2.4 and 2.3 with every
// mapped frame, and a 2.3 tag is unsynchronised and given an extended header by hand; then
// the hostile tags of the tests (nested chapters, compressed frames that inflate too far,
// 2.3 extended headers).

#include "support/HostileId3v2.h"

#include <commentsframe.h>
#include <id3v2tag.h>
#include <textidentificationframe.h>

#include <fstream>
#include <string>
#include <utility>

namespace {

void Text(TagLib::ID3v2::Tag& tag, const char* id, const char* value, TagLib::String::Type type) {
    auto* f = new TagLib::ID3v2::TextIdentificationFrame(id, type);
    f->setText(TagLib::String(value, TagLib::String::UTF8));
    tag.addFrame(f);
}

void Write(const std::string& path, const TagLib::ByteVector& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string dir = argv[1];
    for (const auto type : {TagLib::String::UTF8, TagLib::String::UTF16, TagLib::String::Latin1}) {
        TagLib::ID3v2::Tag tag;
        Text(tag, "TIT2", "Title \xc3\xbf\xc3\xbf", type);
        Text(tag, "TPE1", "Artist", type);
        Text(tag, "TPE2", "Band", type);
        Text(tag, "TALB", "Album", type);
        Text(tag, "TDRC", "2004-05-01", type);
        Text(tag, "TCON", "(17)Rock", type);
        Text(tag, "TRCK", "3/12", type);
        for (const char* desc : {"iTunNORM", "", "note"}) {
            auto* c = new TagLib::ID3v2::CommentsFrame(type);
            c->setDescription(desc);
            c->setText("comment");
            tag.addFrame(c);
        }
        const std::string name = dir + "/seed" + std::to_string(static_cast<int>(type));
        Write(name + "-v24.id3", tag.render(TagLib::ID3v2::v4));
        TagLib::ByteVector v23 = tag.render(TagLib::ID3v2::v3);
        Write(name + "-v23.id3", v23);
        // Unsynchronised, with a 6-byte extended header (size counted without itself).
        TagLib::ByteVector body = v23.mid(10);
        TagLib::ByteVector unsync;
        for (unsigned i = 0; i < body.size(); ++i) {
            unsync.append(body[i]);
            if (static_cast<unsigned char>(body[i]) == 0xFF)
                unsync.append('\0');
        }
        TagLib::ByteVector ext("\0\0\0\x06\0\0\0\0\0\0", 10);
        const unsigned size = ext.size() + unsync.size();
        TagLib::ByteVector header("ID3\x03\0\xC0", 6);
        for (int shift = 21; shift >= 0; shift -= 7)
            header.append(static_cast<char>((size >> shift) & 0x7F));
        Write(name + "-v23-unsync.id3", header + ext + unsync);
    }
    namespace t = veltrane::test;
    const std::string band = t::TextFrame(4, "TPE1", "Band");
    const std::pair<const char*, std::string> hostile[] = {
        {"nested-chapters", t::NestedChapters(200)}, // within the target's input length
        {"nested-tocs", t::NestedChapters(200, "CTOC")},
        {"bomb-declared", t::TagOf(4, 0, t::CompressedFrame("TIT2", "x", 200u << 20) + band)},
        {"bomb-understated",
         t::TagOf(4, 0, band + t::CompressedFrame("TIT2", std::string(200000, 'x'), 100))},
        {"compressed", t::TagOf(4, 0, t::CompressedFrame("TIT2", "Packed") + band)},
        {"v23-extended", t::ExtendedHeader23(false)},
        {"v23-extended-crc", t::ExtendedHeader23(true)},
        {"v23-extended-unsync", t::ExtendedHeader23(false, true)},
    };
    for (const auto& [name, bytes] : hostile)
        std::ofstream(dir + "/" + name + ".id3", std::ios::binary) << bytes;
    return 0;
}
