#pragma once

#include <QFont>
#include <QString>

namespace wordlark {

// Maps the Windows font names the program's design uses onto fonts a Linux desktop has, so that Chinese
// and Cyrillic always render in a fitting face.
void installFontSubstitutions();

// A font by family and height in pixels, as the windows' designs give them.
QFont pixelFont(const QString &family, int pixels, bool bold = false);

// The font of the windows' own text (labels, buttons, lists): the design's 11-pixel sans serif.
QFont dialogFont();

// Maps the Chinese display faces of the idle animation onto installed Chinese faces of different styles
// (Song, Kai, Hei), so that the characters on the screen vary in look.
void installAnimationFontSubstitutions();

} // namespace wordlark
