#pragma once

#include "writing/strokedata.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace wordlark {

// What became of a stroke the learner drew.
enum class StrokeVerdict {
    // It was the expected stroke; the next one is expected (or the next character's first).
    Accepted,
    // It was not; the same stroke is still expected.
    Rejected,
    // It was not, for the third time or more: the expected stroke is shown faintly and the showing is
    // missed.
    Hinted,
    // Nothing is expected: the word is written.
    Ignored,
};

// One showing of a word in a writing pass: which character and stroke are expected, the rejections
// of that stroke, and whether the showing is missed. The characters without stroke data are shown
// but not written.
class WrittenWord final {
public:
    static constexpr int RejectionsBeforeHint = 3;

    WrittenWord() = default;
    // Looks a character's strokes up; null when the data has none.
    using Lookup = std::function<const CharacterStrokes *(const QString &character)>;
    // `characters` are the word's cells in order (writtenCharacters() of its simplified form).
    WrittenWord(const QStringList &characters, const Lookup &lookup);

    int characterCount() const { return int(m_characters.size()); }
    const QString &text(int index) const { return m_texts[index]; }
    const std::optional<CharacterStrokes> &character(int index) const { return m_characters[size_t(index)]; }
    // The character being written and its next stroke; characterCount() once the word is written.
    int currentCharacter() const { return m_current; }
    int currentStroke() const { return m_stroke; }
    // Strokes of `character` already written (accepted or shown).
    int writtenStrokes(int character) const;
    bool complete() const { return m_current >= characterCount(); }
    // The word has a character to write at all.
    bool hasStrokes() const;
    // The characters the data has nothing for, in order.
    QStringList charactersWithoutData() const;

    int rejections() const { return m_rejections; }
    bool hintShown() const { return m_rejections >= RejectionsBeforeHint; }
    // Counted as missed: a hint was shown or the strokes were asked for.
    bool missed() const { return m_missed; }

    // Checks a stroke drawn into the current character's cell (its points in the data's coordinates).
    StrokeVerdict offerStroke(const std::vector<QPointF> &points);
    // The remaining strokes of the current character are shown (and so written); the showing is missed.
    // Returns the first of them; the character's strokes from there on are the ones shown.
    int showRemainingStrokes();

private:
    void advance();

    QStringList m_texts;
    std::vector<std::optional<CharacterStrokes>> m_characters;
    int m_current = 0;
    int m_stroke = 0;
    int m_rejections = 0;
    bool m_missed = false;
};

} // namespace wordlark
