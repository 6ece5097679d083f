#pragma once

#include "ui/colourscheme.h"
#include "ui/screenlook.h"

#include <QColor>
#include <QPalette>

namespace wordlark {

// A scheme's stored colours as the quiz screen shows them with the desktop's palette.
ScreenScheme screenScheme(const SchemeColours &values, bool framedBoxes);

// A stored colour as the screen shows it: RGB as it is, a system colour reference as the palette's
// colour in the matching role (the button face is QPalette::Button, the window QPalette::Base, the
// window text QPalette::Text, and so on). An index the desktop never defined is black.
QColor screenColour(ColourValue value, const QPalette &palette);

// A colour picked on screen as the file stores it: always RGB.
ColourValue storedColour(const QColor &colour);

// The WCAG contrast ratio of two colours, 1 (same luminance) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// Black or white, whichever reads better on the background: for text a scheme has no colour for.
QColor readableTextColour(const QColor &background);

} // namespace wordlark
