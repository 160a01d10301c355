#include "support/Mp3Builder.h"

namespace veltrane::test {

namespace {
void PutField(std::string& out, std::string_view value, std::size_t width, char pad) {
    std::string field(value.substr(0, width));
    field.resize(width, pad);
    out += field;
}
} // namespace

std::string TagBytes(const RawTag& tag) {
    std::string out = "TAG";
    PutField(out, tag.title, 30, tag.pad);
    PutField(out, tag.artist, 30, tag.pad);
    PutField(out, tag.album, 30, tag.pad);
    PutField(out, tag.year, 4, tag.pad);
    PutField(out, tag.comment, 30, tag.pad);
    out += static_cast<char>(tag.genre);
    return out;
}

std::string Mp3BytesNoTag(std::size_t audioBytes) {
    std::string audio(audioBytes, '\0');
    for (std::size_t i = 0; i < audioBytes; ++i)
        audio[i] = static_cast<char>(0xFF - (i * 7) % 97); // never spells "TAG"
    if (audioBytes >= 2) {
        audio[0] = static_cast<char>(0xFF);
        audio[1] = static_cast<char>(0xFB);
    }
    return audio;
}

std::string Mp3Bytes(std::size_t audioBytes, const RawTag& tag) {
    return Mp3BytesNoTag(audioBytes) + TagBytes(tag);
}

} // namespace veltrane::test
