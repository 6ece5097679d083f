#pragma once

#include <QColor>
#include <QFont>
#include <QObject>

#include <array>

namespace wordlark {

// A font of one kind of field (letters, simplified or full characters) with its colour.
struct FieldFont {
    QFont font;
    QColor colour;
};

// The kinds of field that have a font of their own.
enum class FieldKind { Letters, Simplified, Full };

// The fonts a word is written in, by kind of field.
struct FieldFonts {
    const FieldFont &letters;
    const FieldFont &simplified;
    const FieldFont &full;
};

// The colours of the quiz screen by role.
struct QuizColours {
    QColor background;
    QColor question;
    QColor answer;
    QColor rightAnswer;
    QColor wrongAnswer;
    QColor remainedText;
    QColor mistakesText;
};

// Everything a colour scheme changes on the quiz screen.
struct ScreenScheme {
    QuizColours colours;
    QColor lettersFont;
    QColor simpleHanziFont;
    QColor fullHanziFont;
    // Single-line borders round the question and the answers: the classic look only.
    bool framedBoxes = false;
};

// The quiz screen's look: its colours and the fonts of the three kinds of field. One object for the
// whole program: the colours dialog changes it, the quiz screen and the statistics read it. It starts
// with the built-in scheme and the program's own fonts.
class ScreenLook final : public QObject {
    Q_OBJECT

public:
    enum class Part { Colours, Fonts };
    Q_ENUM(Part)

    explicit ScreenLook(QObject *parent = nullptr);

    const QuizColours &colours() const { return m_colours; }
    bool framedBoxes() const { return m_framedBoxes; }
    const FieldFont &field(FieldKind kind) const { return m_fields[size_t(kind)]; }
    FieldFonts fonts() const { return FieldFonts{m_fields[0], m_fields[1], m_fields[2]}; }

    // Takes a scheme's colours, also those of the three fonts.
    void applyScheme(const ScreenScheme &scheme);
    // Another font for one kind of field; its colour stays.
    void setFieldFont(FieldKind kind, const QFont &font);

Q_SIGNALS:
    // The colours (with the fonts' colours) or a font changed.
    void changed(wordlark::ScreenLook::Part part);

private:
    QuizColours m_colours;
    bool m_framedBoxes = false;
    // By FieldKind.
    std::array<FieldFont, 3> m_fields;
};

} // namespace wordlark
