#include "editing/StepNames.h"

#include "tagcore/UiText.h"

#include <regex>
#include <vector>

namespace veltrane {

namespace {

// The step names the journal holds: %1 a file count ("1 file", "12 files"), %2 a list of
// field names, %3 and %4 file names.
constexpr const char* kStepNames[] = {
    VT_TRANSLATE_NOOP("StepNames", "set %2 of %1"),
    VT_TRANSLATE_NOOP("StepNames", "write tags of %1"),
    VT_TRANSLATE_NOOP("StepNames", "edit tag of %3"),
    VT_TRANSLATE_NOOP("StepNames", "import tags of %1"),
    VT_TRANSLATE_NOOP("StepNames", "number tracks of %1"),
    VT_TRANSLATE_NOOP("StepNames", "fill ID3v1 from ID3v2 of %1"),
    VT_TRANSLATE_NOOP("StepNames", "tags from file names of %1"),
    VT_TRANSLATE_NOOP("StepNames", "rename %1 from tags"),
    VT_TRANSLATE_NOOP("StepNames", "rename %3 to %4"),
    VT_TRANSLATE_NOOP("StepNames", "move %1 to the trash"),
    VT_TRANSLATE_NOOP("StepNames", "title case of %2 in %1"),
    VT_TRANSLATE_NOOP("StepNames", "upper case of %2 in %1"),
    VT_TRANSLATE_NOOP("StepNames", "lower case of %2 in %1"),
    VT_TRANSLATE_NOOP("StepNames", "sentence case of %2 in %1"),
    VT_TRANSLATE_NOOP("StepNames", "replace in %2 of %1"),
    VT_TRANSLATE_NOOP("StepNames", "format %2 of %1"),
};

constexpr const char* kFieldNames[] = {
    VT_TRANSLATE_NOOP("StepNames", "title"),   VT_TRANSLATE_NOOP("StepNames", "artist"),
    VT_TRANSLATE_NOOP("StepNames", "album"),   VT_TRANSLATE_NOOP("StepNames", "year"),
    VT_TRANSLATE_NOOP("StepNames", "comment"), VT_TRANSLATE_NOOP("StepNames", "genre"),
    VT_TRANSLATE_NOOP("StepNames", "track"),
};

constexpr const char* kCounts[] = {VT_TRANSLATE_NOOP("StepNames", "%1 file"),
                                   VT_TRANSLATE_NOOP("StepNames", "%1 files")};

struct TPattern {
    const char* Name;
    std::regex Match;
    std::vector<char> Kinds; // the placeholder of each group, in order
};

const std::vector<TPattern>& Patterns() {
    static const std::vector<TPattern> patterns = [] {
        std::vector<TPattern> out;
        for (const char* name : kStepNames) {
            std::string re;
            std::vector<char> kinds;
            for (const char* p = name; *p; ++p) {
                if (p[0] == '%' && p[1] >= '1' && p[1] <= '4') {
                    kinds.push_back(*++p);
                    re += *p == '1' ? "([0-9]+) files?" : *p == '2' ? "([a-z, ]+?)" : "(.+)";
                } else if (std::string_view(".()[]{}*+?^$|\\").find(*p) != std::string_view::npos) {
                    re += '\\';
                    re += *p;
                } else {
                    re += *p;
                }
            }
            out.push_back({name, std::regex(re), std::move(kinds)});
        }
        return out;
    }();
    return patterns;
}

// "title, artist and album" with each name translated; nullopt-like "" when a name is none
// of the fields.
std::string ShownFields(const std::string& List) {
    std::string out, word;
    const auto flush = [&](std::string_view joiner) {
        bool known = false;
        for (const char* f : kFieldNames)
            if (word == f) {
                out += UiText("StepNames", f);
                known = true;
            }
        if (!known)
            return false;
        out += joiner;
        word.clear();
        return true;
    };
    for (std::size_t i = 0; i < List.size();) {
        if (List.compare(i, 2, ", ") == 0) {
            if (!flush(UiText("StepNames", ", ")))
                return {};
            i += 2;
        } else if (List.compare(i, 5, " and ") == 0) {
            if (!flush(UiText("StepNames", " and ")))
                return {};
            i += 5;
        } else {
            word += List[i++];
        }
    }
    return flush("") ? out : std::string();
}

} // namespace

std::string ShownStepName(std::string_view Command) {
    const std::string command(Command);
    for (const TPattern& p : Patterns()) {
        std::smatch m;
        if (!std::regex_match(command, m, p.Match))
            continue;
        std::string args[4];
        bool ok = true;
        for (std::size_t g = 0; g < p.Kinds.size(); ++g) {
            const std::string part = m[g + 1].str();
            const int slot = p.Kinds[g] - '1';
            if (p.Kinds[g] == '1')
                args[slot] = FillText(UiText("StepNames", kCounts[part == "1" ? 0 : 1]),
                                      {part});
            else if (p.Kinds[g] == '2')
                ok = ok && !(args[slot] = ShownFields(part)).empty();
            else
                args[slot] = part;
        }
        if (ok)
            return FillText(UiText("StepNames", p.Name), {args[0], args[1], args[2], args[3]});
    }
    return command;
}

} // namespace veltrane
