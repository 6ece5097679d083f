#pragma once

// A dictionary the size of CC-CEDICT (about 124,000 words) with its character variety: about 16,000
// simplified characters drawn with a Zipf-like frequency, a quarter of them with a different full form,
// some outside the Basic Multilingual Plane, lessons of 50 words. A dictionary file named by
// WORDLARK_STATISTICS_DICTIONARY (a real one, say CC-CEDICT turned into the program's format) replaces
// the generated words.

#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace benchdata {

inline constexpr int kCedictWords = 124000;

inline void appendCodePoint(QString &text, char32_t character)
{
    if (QChar::requiresSurrogates(character)) {
        text.append(QChar::highSurrogate(character));
        text.append(QChar::lowSurrogate(character));
    } else {
        text.append(QChar(char16_t(character)));
    }
}

inline wordlark::WordTable generatedWords()
{
    constexpr int kSimplified = 16000;
    constexpr int kOutsideBmp = 300;
    std::mt19937 random(124000);

    // Unified ideographs in a fixed random order: the first ones become the simplified characters by
    // rank, the next ones the full forms that differ.
    std::vector<char32_t> ideographs(0x9FF0 - 0x4E00);
    std::iota(ideographs.begin(), ideographs.end(), char32_t(0x4E00));
    std::shuffle(ideographs.begin(), ideographs.end(), random);
    std::vector<char32_t> byRank(ideographs.begin(), ideographs.begin() + kSimplified);
    // Rare characters from Extension B, written as surrogate pairs.
    for (int k = 0; k < kOutsideBmp; ++k)
        byRank[size_t(8000 + k * 25)] = char32_t(0x20000 + k * 97);
    std::vector<char32_t> fullOf(byRank);
    size_t nextFull = kSimplified;
    std::bernoulli_distribution hasOwnFullForm(0.27);
    for (char32_t &full : fullOf)
        if (hasOwnFullForm(random))
            full = ideographs[nextFull++];

    std::vector<double> weights(kSimplified);
    for (int rank = 0; rank < kSimplified; ++rank)
        weights[size_t(rank)] = std::pow(double(rank + 10), -0.9);
    std::discrete_distribution<int> character(weights.begin(), weights.end());
    std::discrete_distribution<int> length({0, 8, 60, 17, 12, 2, 1});
    std::bernoulli_distribution variants(0.01);

    wordlark::WordTable table;
    table.setRowCount(kCedictWords);
    for (int row = 0; row < kCedictWords; ++row) {
        QString simplified, full;
        const int characters = length(random);
        for (int k = 0; k < characters; ++k) {
            const auto rank = size_t(character(random));
            appendCodePoint(simplified, byRank[rank]);
            appendCodePoint(full, fullOf[rank]);
        }
        if (variants(random)) {
            const auto rank = size_t(character(random));
            simplified += u", ";
            appendCodePoint(simplified, byRank[rank]);
            full += u", ";
            appendCodePoint(full, fullOf[rank]);
        }
        const QString lesson = QString::number(row / 50 + 1);
        table.setRow(row, {u"pīnyīn", simplified, full, lesson, u"перевод"});
    }
    return table;
}

inline wordlark::WordTable cedictSizedWords()
{
    const QString path = qEnvironmentVariable("WORDLARK_STATISTICS_DICTIONARY");
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return generatedWords();
    wordlark::WordTable table;
    wordlark::parseDictionary(wordlark::splitLines(wordlark::decodeText(file.readAll())), table);
    return table;
}

// The table as a dictionary file.
inline QByteArray dictionaryFile(const wordlark::WordTable &table)
{
    QString text;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < wordlark::ColumnCount; ++column) {
            if (column > 0)
                text += u"\t*\t";
            text += table.cell(column, row);
        }
        text += u"\r\n";
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace benchdata
