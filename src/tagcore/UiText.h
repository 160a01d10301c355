#pragma once
// Texts the logic hands to the windows. The window program installs a lookup (Qt's
// translation); the command-line tool and the logic's tests install none, so their texts stay
// the English ones written here. Data texts (genre names, markers, INI keys) never pass here.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text in a table for extraction; the table keeps the English text.
#define VT_TRANSLATE_NOOP(Context, Text) Text

namespace veltrane {

using TTextLookup = std::string (*)(const char* Context, const char* Text);

inline TTextLookup& TextLookup() {
    static TTextLookup lookup = nullptr;
    return lookup;
}

// Installs Lookup for the rest of the run (nullptr: English again).
inline void SetTextLookup(TTextLookup Lookup) {
    TextLookup() = Lookup;
}

// The text in the user's language.
inline std::string UiText(const char* Context, const char* Text) {
    const TTextLookup lookup = TextLookup();
    return lookup ? lookup(Context, Text) : std::string(Text);
}

// Pattern with "%1" to "%9" replaced by the arguments; a translation may order them anew.
// An argument's own "%" signs stay as they are.
inline std::string FillText(std::string_view Pattern,
                            std::initializer_list<std::string_view> Args) {
    std::string out;
    out.reserve(Pattern.size() + 16);
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        const char c = Pattern[i];
        if (c == '%' && i + 1 < Pattern.size() && Pattern[i + 1] >= '1' && Pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(Pattern[i + 1] - '1');
            if (n < Args.size()) {
                out += *(Args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace veltrane
