#include "dictionary/lessonkeys.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <array>

namespace wordlark {
namespace {

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Select:
        return true;
    default:
        return false;
    }
}

bool isLatinLetterOrDigit(int key)
{
    return (key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z);
}

// The Russian layout's letters on the 26 Latin letter keys (ЙЦУКЕН over QWERTY), as Qt reports them: the
// upper-case code point. Х Ъ Ж Э Б Ю Ё sit on punctuation keys and do not count.
constexpr std::array<char16_t, 26> kRussianOnLetterKeys = {
    u'Й', u'Ц', u'У', u'К', u'Е', u'Н', u'Г', u'Ш', u'Щ', u'З', u'Ф', u'Ы', u'В',
    u'А', u'П', u'Р', u'О', u'Л', u'Д', u'Я', u'Ч', u'С', u'М', u'И', u'Т', u'Ь'};

bool isRussianLetterOnLetterKey(int key)
{
    return std::find(kRussianOnLetterKeys.begin(), kRussianOnLetterKeys.end(), key) !=
           kRussianOnLetterKeys.end();
}

// X key codes (kernel code + 8) of the digit row 1..0 and of the letter keys.
bool isXkbDigitOrLetterKey(quint32 code)
{
    if (code >= 10 && code <= 19) // 1 .. 0
        return true;
    if (code >= 24 && code <= 33) // Q .. P
        return true;
    if (code >= 38 && code <= 46) // A .. L
        return true;
    return code >= 52 && code <= 58; // Z .. M
}

} // namespace

bool isLessonSelectionKey(const KeyStroke &stroke, ScanCodeKind scanCodes)
{
    if (isNavigationKey(stroke.qtKey) || isLatinLetterOrDigit(stroke.qtKey))
        return true;
    if (scanCodes == ScanCodeKind::XkbKeycode && stroke.nativeScanCode != 0)
        return isXkbDigitOrLetterKey(stroke.nativeScanCode);
    return isRussianLetterOnLetterKey(stroke.qtKey);
}

} // namespace wordlark
