#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace wordlark {

// What the tone table says about one character.
struct ToneLookup {
    bool found = false;
    QChar plain;  // the letter that stands for it in a sound name
    int tone = 0; // 1 to 4 for a tone mark, 5 for a vowel without one
};

// Looks a character up in the tone table: the vowels a, o, e, i, u and ü in both cases, plain or with one
// of the four tone marks. ü becomes v; the letter v itself is not in the table.
ToneLookup FindTone(QChar c);

// Whether the text is one of the syllable endings that can follow a tone-marked vowel ("ang", "er" ...),
// regardless of letter case.
bool IsRhyme(QStringView text);

// Whether the text is one of the syllable initials ("b", "zh" ...), regardless of letter case.
bool IsInitial(QStringView text);

// The name of a word's sound file, without folder and extension: the toned pinyin with each tone mark
// turned into a digit behind its syllable, ü into v, blanks and apostrophes dropped ("Xī'ān" gives Xi1an1).
// Sound packs are named by exactly this rule, quirks included, so it must not be "improved".
QString SoundNameFromPinyin(QStringView pinyin);

} // namespace wordlark
