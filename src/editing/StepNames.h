#pragma once
// The journal names its steps in English ("set album of 214 files"), read by the command-line
// tool and by other programs alike; the window shows them in the user's language.

#include <string>
#include <string_view>

namespace veltrane {

// Command in the user's language when it is one of the names our steps write (an undo's
// "undo of step N: " is taken off by StepSubject before); any other text as it stands.
std::string ShownStepName(std::string_view Command);

} // namespace veltrane
