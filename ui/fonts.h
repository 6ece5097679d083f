#pragma once

#include <QFont>
#include <QString>

namespace wordlark {

// Maps the Windows font names the program's design uses onto fonts a Linux desktop has, so that Chinese
// and Cyrillic always render in a fitting face.
void installFontSubstitutions();

// A font by family and height in pixels, as the windows' designs give them.
QFont pixelFont(const QString &family, int pixels, bool bold = false);

// Maps the Chinese display faces of the idle animation onto installed Chinese faces of different styles
// (Song, Kai, Hei), so that the characters on the screen vary in look.
void installAnimationFontSubstitutions();

} // namespace wordlark
