#pragma once
// What the About window shows and the rule of its LED rows, without a window.

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

// The scrolling About text, one entry per line.
const std::vector<std::string>& AboutLines();
// The invitation shown instead of the LEDs when no module player is registered.
extern const char* const NoModPlayerText;
// The module player's home page, opened by a click on the invitation.
extern const char* const ModPlayerPage;

// Said when the invitation is clicked and no web browser is registered (Failed: one is, but
// it did not start); names the page to open by hand.
std::string NoBrowserMessage(bool Failed);

constexpr int LedCount = 10; // per row
// LED Index (0 to 9) of a row is lit when the peak (0 to 182) is above 20 * (Index + 1).
constexpr bool LedLit(std::int32_t Peak, int Index) {
    return Peak > 20 * (Index + 1);
}

} // namespace veltrane
