#include "tagcore/TextEscape.h"

#include "tagcore/Utf8.h"

namespace veltrane {

std::string EscapeBytes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    AppendEscapedBytes(out, s);
    return out;
}

void AppendEscapedBytes(std::string& out, std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < s.size();) {
        // Plain printable ASCII, the bulk of every tag, is copied a run at a time.
        std::size_t plain = i;
        while (plain < s.size() && static_cast<unsigned char>(s[plain]) >= 0x20 &&
               static_cast<unsigned char>(s[plain]) < 0x80 && s[plain] != '\\')
            ++plain;
        if (plain > i) {
            out.append(s.substr(i, plain - i));
            i = plain;
            continue;
        }
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
}


std::optional<std::string> UnescapeBytes(std::string_view text) {
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'x': {
            const int hi = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
            const int lo = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

} // namespace veltrane
