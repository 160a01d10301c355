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

// Modal; returns the pressed button's result (Escape or closing gives Cancel's 2 when present,
// else the last button's).
int SetupMessageBox(const TSetupInfo& Info, const QString& Text, int Type, unsigned Buttons,
                    QWidget* Parent = nullptr);

} // namespace veltrane
