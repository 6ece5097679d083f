#include "writing/strokedata.h"

#include <QStringList>

#include <cmath>

namespace wordlark {
namespace {

// No outline or median of the data comes near these; anything beyond is damage, not a character.
constexpr double CoordinateLimit = 4 * StrokeSquare;
constexpr int MaxPathCommands = 1000;
constexpr int MaxMedianPoints = 1000;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u',';
}

// Reads blank-separated tokens one at a time.
class Tokens {
public:
    explicit Tokens(QStringView text)
        : m_text(text)
    {
    }
    bool atEnd()
    {
        skipBlanks();
        return m_at >= m_text.size();
    }
    QStringView next()
    {
        skipBlanks();
        const qsizetype start = m_at;
        while (m_at < m_text.size() && !isBlank(m_text[m_at]))
            ++m_at;
        return m_text.mid(start, m_at - start);
    }

private:
    void skipBlanks()
    {
        while (m_at < m_text.size() && isBlank(m_text[m_at]))
            ++m_at;
    }
    QStringView m_text;
    qsizetype m_at = 0;
};

std::optional<double> coordinate(QStringView token)
{
    bool ok = false;
    const double value = token.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > CoordinateLimit)
        return std::nullopt;
    return value;
}

std::optional<QPointF> point(Tokens &tokens)
{
    const std::optional<double> x = coordinate(tokens.next());
    if (!x)
        return std::nullopt;
    const std::optional<double> y = coordinate(tokens.next());
    if (!y)
        return std::nullopt;
    return QPointF(*x, *y);
}

std::optional<PathCommand::Kind> commandKind(QStringView token)
{
    if (token.size() != 1)
        return std::nullopt;
    switch (token[0].unicode()) {
    case u'M':
        return PathCommand::Kind::Move;
    case u'L':
        return PathCommand::Kind::Line;
    case u'Q':
        return PathCommand::Kind::Quad;
    case u'C':
        return PathCommand::Kind::Cubic;
    case u'Z':
        return PathCommand::Kind::Close;
    default:
        return std::nullopt;
    }
}

} // namespace

QPointF dataToCell(QPointF point, double side)
{
    const double s = side / StrokeSquare;
    return {point.x() * s, (StrokeBaseline - point.y()) * s};
}

QPointF cellToData(QPointF point, double side)
{
    const double s = side / StrokeSquare;
    return {point.x() / s, StrokeBaseline - point.y() / s};
}

int PathCommand::pointCount() const
{
    switch (kind) {
    case Kind::Move:
    case Kind::Line:
        return 1;
    case Kind::Quad:
        return 2;
    case Kind::Cubic:
        return 3;
    case Kind::Close:
        return 0;
    }
    return 0;
}

std::optional<StrokeOutline> parseStrokePath(QStringView path)
{
    StrokeOutline outline;
    Tokens tokens(path);
    while (!tokens.atEnd()) {
        const std::optional<PathCommand::Kind> kind = commandKind(tokens.next());
        if (!kind || int(outline.size()) >= MaxPathCommands)
            return std::nullopt;
        if (outline.empty() && *kind != PathCommand::Kind::Move)
            return std::nullopt;
        PathCommand command;
        command.kind = *kind;
        for (int i = 0; i < command.pointCount(); ++i) {
            const std::optional<QPointF> p = point(tokens);
            if (!p)
                return std::nullopt;
            command.points[size_t(i)] = *p;
        }
        outline.push_back(command);
    }
    if (outline.empty())
        return std::nullopt;
    return outline;
}

std::optional<StrokeMedian> parseMedian(QStringView text)
{
    StrokeMedian median;
    Tokens tokens(text);
    while (!tokens.atEnd()) {
        if (int(median.size()) >= MaxMedianPoints)
            return std::nullopt;
        const std::optional<QPointF> p = point(tokens);
        if (!p)
            return std::nullopt;
        median.push_back(*p);
    }
    if (median.empty())
        return std::nullopt;
    return median;
}

QString medianText(const StrokeMedian &median)
{
    QString text;
    for (const QPointF &p : median) {
        if (!text.isEmpty())
            text += u' ';
        text += QString::number(qRound(p.x())) + u' ' + QString::number(qRound(p.y()));
    }
    return text;
}

QStringList writtenCharacters(const QString &word)
{
    QStringList characters;
    for (qsizetype i = 0; i < word.size();) {
        const qsizetype length =
            word[i].isHighSurrogate() && i + 1 < word.size() && word[i + 1].isLowSurrogate() ? 2 : 1;
        const QString character = word.mid(i, length);
        i += length;
        if (!character.trimmed().isEmpty())
            characters.append(character);
    }
    return characters;
}

} // namespace wordlark
