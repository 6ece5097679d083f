#pragma once

namespace wordlark {

// Maps the Windows font names the program's design uses onto fonts a Linux desktop has, so that Chinese
// and Cyrillic always render in a fitting face.
void installFontSubstitutions();

} // namespace wordlark
