#pragma once
// The toolbar's pictures, drawn by the program itself: the desktop themes' symbolic icons are
// grey, so an enabled button looked as pale as a disabled one. Each picture is clearly
// coloured, and its disabled form is plain grey and faint.

#include "browser/HelpTexts.h"

#include <QIcon>

namespace veltrane {

// The picture of a toolbar button, Size pixels square, with its own disabled form. A null
// icon for the controls that are no button (the directory edit).
QIcon ToolbarIcon(TToolbarControl Control, int Size = 22);

// The faint grey form of a picture, as a disabled button shows it.
QPixmap DisabledPixmap(const QPixmap& Picture);

} // namespace veltrane
