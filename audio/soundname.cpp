#include "audio/soundname.h"

#include <array>

namespace wordlark {
namespace {

// Column 0 is the plain letter; columns 1 to 5 are tones 1 to 4 and the unmarked vowel.
constexpr std::array<const char16_t *, 12> kToneTable = {
    u"aāáǎàa", u"oōóǒòo", u"eēéěèe", u"iīíǐìi", u"uūúǔùu", u"vǖǘǚǜü",
    u"AĀÁǍÀA", u"EĒÉĚÈE", u"OŌÓǑÒO", u"IĪÍǏÌI", u"UŪÚǓÙU", u"VǕǗǙǛÜ",
};

constexpr std::array<const char16_t *, 19> kRhymes = {
    u"a",  u"o",   u"e",   u"i",   u"er", u"ai",  u"ei", u"ao", u"ou", u"an",
    u"en", u"ang", u"eng", u"ong", u"in", u"ing", u"un", u"v",  u"u",
};

constexpr std::array<const char16_t *, 23> kInitials = {
    u"b",  u"p",  u"m", u"f", u"d", u"t", u"n", u"l", u"z", u"c", u"s", u"zh",
    u"ch", u"sh", u"r", u"j", u"q", u"x", u"g", u"k", u"h", u"y", u"w",
};

template <size_t N> bool inList(const std::array<const char16_t *, N> &list, QStringView text)
{
    for (const char16_t *entry : list) {
        const QStringView candidate(entry);
        if (candidate.size() == text.size() && candidate.compare(text, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isSyllableBreak(QChar c)
{
    return c == u' ' || c == u'\'';
}

} // namespace

ToneLookup FindTone(QChar c)
{
    // Every character of the table lies below U+0200; the table is turned around once so that a lookup is
    // one index instead of a scan of every row (sound names are made for whole dictionaries at a time).
    static constexpr char16_t kBeyondTable = 0x200;
    static const std::array<ToneLookup, kBeyondTable> byCharacter = [] {
        std::array<ToneLookup, kBeyondTable> lookup{};
        // Filled backwards so that, as in a scan, the first row and column naming a character decide.
        for (auto row = kToneTable.rbegin(); row != kToneTable.rend(); ++row) {
            for (int column = 5; column >= 1; --column) {
                const char16_t c = (*row)[column];
                Q_ASSERT(c < kBeyondTable);
                lookup[c] = {true, QChar((*row)[0]), column};
            }
        }
        return lookup;
    }();
    return c.unicode() < kBeyondTable ? byCharacter[c.unicode()] : ToneLookup{};
}

bool IsRhyme(QStringView text)
{
    return inList(kRhymes, text);
}

bool IsInitial(QStringView text)
{
    return inList(kInitials, text);
}

QString SoundNameFromPinyin(QStringView pinyin)
{
    QString s = pinyin.toString();
    if (s.isEmpty())
        return s;

    // Positions count from 1 so that the arithmetic matches the naming rule as the packs were made:
    // at(p) is the p-th character.
    const auto at = [&s](qsizetype p) { return s[p - 1]; };

    qsizetype p = 1;
    do {
        const ToneLookup hit = FindTone(at(p));
        if (hit.found) {
            s[p - 1] = hit.plain;
            const qsizetype n = s.size();
            if (hit.tone != 5) {
                qsizetype w = 1;
                if (p != n && !isSyllableBreak(at(p + 1))) {
                    for (qsizetype k = 0; k <= 2; ++k) {
                        if (!(p + k < n))
                            continue;
                        const QStringView candidate = QStringView(s).sliced(p - 1, k + 2);
                        if (!IsRhyme(candidate) && candidate.back() != u'r')
                            continue;
                        if (p + k + 1 == n) {
                            w = k + 2;
                            continue;
                        }
                        const QChar behind = at(p + k + 2);
                        if (isSyllableBreak(behind)) {
                            w = k + 2;
                            continue;
                        }
                        // A lone consonant at the very end does not start a syllable of its own.
                        if (p + k + 2 == n)
                            continue;
                        if (IsInitial(QStringView(&behind, 1)))
                            w = k + 2;
                    }
                }
                s.insert(p + w - 1, QChar(char16_t(u'0' + hit.tone)));
            }
        }
        if (isSyllableBreak(at(p)))
            s.remove(p - 1, 1);
        else
            ++p;
    } while (p <= s.size());
    return s;
}

} // namespace wordlark
