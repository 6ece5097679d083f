#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace wordlark {

// Splits toned pinyin into syllables with a tone digit each, the form a speech synthesiser reads:
// "Zhōngguó" gives "zhong1 guo2", "māma" gives "ma1 ma5" (5 for the neutral tone), "nǚ'ér" gives
// "nv3 er2" and "yìdiǎnr" gives "yi4 dianr3". Unlike a sound name this keeps every syllable apart, the
// unmarked ones included, so it needs to know which letter sequences are syllables. Letter case is
// dropped, ü is written v, punctuation separates like a blank, and a tone digit written behind a syllable
// ("ni3hao3") is understood. Letter runs that are not pinyin at all are passed on as they are.
QString numberedPinyin(QStringView toned);

// The same as a list of syllables.
QStringList numberedSyllables(QStringView toned);

} // namespace wordlark
