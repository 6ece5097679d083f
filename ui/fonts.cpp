#include "ui/fonts.h"

#include <QFont>
#include <QStringList>

namespace wordlark {

void installFontSubstitutions()
{
    const QStringList cjkSerif = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                                  QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                              QStringLiteral("WenQuanYi Micro Hei")};
    QFont::insertSubstitutions(QStringLiteral("SimSun"), cjkSerif);
    QFont::insertSubstitutions(QStringLiteral("NSimSun"), cjkSerif);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("WenQuanYi Micro Hei")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    // The letters font: FreeSerif keeps the Times look and, unlike Liberation Serif, holds every pinyin
    // letter (ǎ ǐ ǒ ǔ ǚ, ḿ, ǹ) and Cyrillic, so a syllable is never drawn in two faces.
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("FreeSerif"), QStringLiteral("DejaVu Serif"),
                                QStringLiteral("Liberation Serif"), QStringLiteral("AR PL UMing CN")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

} // namespace wordlark
