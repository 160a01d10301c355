#include "cli/Escape.h"

#include "tagcore/MpegAudio.h"
#include "tagcore/TextEscape.h"

namespace veltrane::cli {

std::string Escape(std::string_view s) {
    return EscapeBytes(s);
}

void AppendEscaped(std::string& out, std::string_view s) {
    AppendEscapedBytes(out, s);
}

std::optional<std::string> Unescape(std::string_view text) {
    return UnescapeBytes(text);
}

} // namespace veltrane::cli

namespace veltrane::cli {

void AppendAudioColumns(std::string& out, const TMpegAudio& audio) {
    for (const std::string& text : AudioColumnTexts(audio)) {
        out += '\t';
        out += text;
    }
}

} // namespace veltrane::cli
