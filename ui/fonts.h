#pragma once

#include <QFont>
#include <QString>

namespace wordlark {

// Maps the Windows font names the program's design uses onto fonts a Linux desktop has, so that Chinese
// and Cyrillic always render in a fitting face.
void installFontSubstitutions();

// A font by family and height in pixels, as the windows' designs give them.
QFont pixelFont(const QString &family, int pixels, bool bold = false);

} // namespace wordlark
