#pragma once
// The installer's own message dialog: icon strip, the text with an empty line above and below,
// and a row of buttons in a fixed order of precedence.

#include <QString>
#include <vector>

class QWidget;

namespace veltrane {

class TSetupInfo;

struct TMessageButton {
    unsigned Flag;
    int TextIndex;
    int Result;
};
// Buttons of the set in their laid-out order; an empty set means OK alone.
std::vector<TMessageButton> MessageBoxButtons(unsigned Buttons);

// The answer that Escape and the window's close button give: the one that changes nothing on
// disk. Cancel, else No (the overwrite question keeps the file), else Yes in the "Skip this
// file?" question (Yes, Abort, Retry), else Abort (Abort, Retry, Ignore: the caller then asks
// whether to abort), else OK when it is the only button; mrNone when Escape is to be ignored.
int EscapeResult(unsigned Buttons);

// Modal; returns the pressed button's result, or EscapeResult for Escape and closing.
int SetupMessageBox(const TSetupInfo& Info, const QString& Text, int Type, unsigned Buttons,
                    QWidget* Parent = nullptr);

} // namespace veltrane
