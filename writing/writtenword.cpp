#include "writing/writtenword.h"

#include "writing/strokematcher.h"

namespace wordlark {

WrittenWord::WrittenWord(const QStringList &characters, const Lookup &lookup)
    : m_texts(characters)
{
    m_characters.reserve(size_t(characters.size()));
    for (const QString &character : characters) {
        const CharacterStrokes *strokes = lookup ? lookup(character) : nullptr;
        m_characters.push_back(strokes ? std::optional<CharacterStrokes>(*strokes) : std::nullopt);
    }
    m_current = -1;
    advance();
}

void WrittenWord::advance()
{
    // To the next character that has strokes to write.
    ++m_current;
    m_stroke = 0;
    m_rejections = 0;
    while (m_current < characterCount() && !m_characters[size_t(m_current)])
        ++m_current;
}

int WrittenWord::writtenStrokes(int character) const
{
    if (character < 0 || character >= characterCount() || !m_characters[size_t(character)])
        return 0;
    if (character < m_current)
        return m_characters[size_t(character)]->strokeCount();
    return character == m_current ? m_stroke : 0;
}

bool WrittenWord::hasStrokes() const
{
    for (const std::optional<CharacterStrokes> &character : m_characters)
        if (character)
            return true;
    return false;
}

QStringList WrittenWord::charactersWithoutData() const
{
    QStringList missing;
    for (int i = 0; i < characterCount(); ++i)
        if (!m_characters[size_t(i)])
            missing.append(m_texts[i]);
    return missing;
}

StrokeVerdict WrittenWord::offerStroke(const std::vector<QPointF> &points)
{
    if (complete())
        return StrokeVerdict::Ignored;
    const CharacterStrokes &character = *m_characters[size_t(m_current)];
    if (compareStroke(points, character.medians[size_t(m_stroke)]).accepted) {
        ++m_stroke;
        m_rejections = 0;
        if (m_stroke >= character.strokeCount())
            advance();
        return StrokeVerdict::Accepted;
    }
    ++m_rejections;
    if (m_rejections < RejectionsBeforeHint)
        return StrokeVerdict::Rejected;
    m_missed = true;
    return StrokeVerdict::Hinted;
}

int WrittenWord::showRemainingStrokes()
{
    if (complete())
        return 0;
    const int first = m_stroke;
    m_missed = true;
    advance();
    return first;
}

} // namespace wordlark
