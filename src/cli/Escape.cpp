#include "cli/Escape.h"

#include "tagcore/Utf8.h"

namespace veltrane::cli {

std::string Escape(std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (char32_t cp; const std::size_t len = NextCodePoint(s, i, cp)) {
            out.append(s.substr(i, len));
            i += len;
            continue;
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        ++i;
    }
    return out;
}

} // namespace veltrane::cli
