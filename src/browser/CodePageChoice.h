#pragma once
// The window's tag code page: the Preferences choice, the codec it stands for, and the
// status line that points at a better one.

#include "tagcore/TagCodec.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrane {

class TFileList;

// The "Tag code page" drop-down as {caption, stored value}: "Automatic (per file)" ("auto"),
// then System's code page marked "(this system's)", then the others by name. Windows-1252 is
// stored as "" (the key left out).
std::vector<std::pair<std::string, std::string>> TagCodePageChoices(const std::string& System);

// The caption of a code page in the user's language: "Cyrillic (Windows-1251)".
std::string ShownCodePageCaption(std::string_view Name);

// The codec of a stored value: "" is Windows-1252. An unknown name (an edited settings file)
// gives Windows-1252 too and sets *Unknown.
TagCodec TagCodecFor(const std::string& Stored, bool* Unknown = nullptr);

// "Tags here look like Cyrillic (Windows-1251): Preferences, More, Tag code page." when the
// list's code page is a fixed one and most of its tags above ASCII (the first MaxFiles of
// them) read far better in one other code page; "" otherwise.
std::string CodePageNotice(const TFileList& List, std::size_t MaxFiles = 2000);

} // namespace veltrane
