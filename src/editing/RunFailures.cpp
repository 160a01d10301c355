#include "editing/RunFailures.h"

namespace veltrane {

std::string FailureReport(std::string_view Intro, const TFileFailures& Failures,
                          std::size_t MaxLines) {
    std::string text(Intro);
    std::size_t shown = 0;
    for (const TFileFailure& failure : Failures) {
        if (shown == MaxLines) {
            text += "\n... and " + std::to_string(Failures.size() - shown) + " more";
            break;
        }
        text += '\n';
        text += failure.Path;
        text += ": ";
        text += failure.Error;
        ++shown;
    }
    return text;
}

} // namespace veltrane
