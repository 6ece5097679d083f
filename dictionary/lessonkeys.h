#pragma once

#include <QtGlobal>

namespace wordlark {

// What a platform's native scan codes say about a key, if anything.
enum class ScanCodeKind {
    None,       // no usable scan codes (offscreen, tests, unknown platforms)
    XkbKeycode, // X11 and Wayland: the kernel's key code plus 8, the same whatever the layout
};

// A key as the window system reported it.
struct KeyStroke {
    int qtKey = 0;
    quint32 nativeScanCode = 0;
};

// Whether the release of this key recounts the chosen lessons: space, page up and down, end, home, the
// arrow keys, select, the digit keys and the letter keys. Digit and letter keys are known by their place
// on the keyboard, so they count also while a Cyrillic (or any other) layout is active: by the scan code
// where the platform gives one, otherwise by the letter that the Russian layout puts on a Latin letter key.
bool isLessonSelectionKey(const KeyStroke &stroke, ScanCodeKind scanCodes);

} // namespace wordlark
