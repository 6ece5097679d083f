#include "ui/fonts.h"

#include "ui/idleanimation.h"

#include <QFont>
#include <QStringList>

#include <iterator>

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

void installAnimationFontSubstitutions()
{
    // Each style lists its own faces first, then the others of its kind, then any face with the characters.
    const QString song = QStringLiteral("AR PL SungtiL GB");
    const QString ming = QStringLiteral("AR PL UMing CN");
    const QString kai = QStringLiteral("AR PL UKai CN");
    const QString kaiM = QStringLiteral("AR PL KaitiM GB");
    const QString zenHei = QStringLiteral("WenQuanYi Zen Hei");
    const QString microHei = QStringLiteral("WenQuanYi Micro Hei");
    const QString notoSerif = QStringLiteral("Noto Serif CJK SC");
    const QString notoSans = QStringLiteral("Noto Sans CJK SC");
    const QStringList faces[] = {
        {song, ming, notoSerif, microHei}, // FangSong_GB2312
        {kai, kaiM, notoSerif, microHei},  // FZLiShu II-S06S
        {kaiM, kai, notoSerif, microHei},  // FZNew ShuTi-S08T
        {kai, kaiM, notoSerif, microHei},  // FZShouJinShu-S10T
        {zenHei, microHei, notoSans},      // FZCaiYun-M09T
        {zenHei, microHei, notoSans},      // FZCuQian-M17S
        {kaiM, kai, notoSerif, microHei},  // FZWeiBei-S03S
        {microHei, zenHei, notoSans},      // FZYaoTi
        {microHei, zenHei, notoSans},      // FZZhongQian-M16S
        {ming, song, notoSerif, microHei}, // FZZongYi-M05S
        {ming, song, notoSerif, microHei}, // NSimSun
    };
    static_assert(std::size(faces) == AnimationFontFamilies.size());
    for (size_t i = 0; i < AnimationFontFamilies.size(); ++i)
        QFont::insertSubstitutions(QString::fromLatin1(AnimationFontFamilies[i]), faces[i]);
}

} // namespace wordlark

namespace wordlark {

QFont dialogFont()
{
    return pixelFont(QStringLiteral("MS Sans Serif"), 11);
}

QFont pixelFont(const QString &family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace wordlark
