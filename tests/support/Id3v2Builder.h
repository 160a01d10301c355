#pragma once
// ID3v2.4 tags for tests, rendered by TagLib from frames given as id and values; and a way to
// run the peer tag writers found on the machine.

#include <commentsframe.h>
#include <id3v2tag.h>
#include <textidentificationframe.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace veltrane::test {

struct V2Frame {
    std::string Id;                  // "TIT2", ..., "COMM"
    std::vector<std::string> Values; // UTF-8; for COMM: description, text
};

inline std::string Id3v2Bytes(const std::vector<V2Frame>& Frames) {
    TagLib::ID3v2::Tag tag;
    for (const V2Frame& f : Frames) {
        if (f.Id == "COMM") {
            auto* c = new TagLib::ID3v2::CommentsFrame(TagLib::String::UTF8);
            c->setDescription(TagLib::String(f.Values.at(0), TagLib::String::UTF8));
            c->setText(TagLib::String(f.Values.at(1), TagLib::String::UTF8));
            tag.addFrame(c);
            continue;
        }
        auto* t = new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(f.Id.c_str()),
                                                             TagLib::String::UTF8);
        TagLib::StringList values;
        for (const std::string& v : f.Values)
            values.append(TagLib::String(v, TagLib::String::UTF8));
        t->setText(values);
        tag.addFrame(t);
    }
    const TagLib::ByteVector bytes = tag.render();
    return std::string(bytes.data(), bytes.size());
}

// True when Command (a program name) can be run.
inline bool HaveProgram(const std::string& Program) {
    return std::system(("command -v " + Program + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace veltrane::test
