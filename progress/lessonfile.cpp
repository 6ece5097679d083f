#include "progress/lessonfile.h"

#include "dictionary/fileio.h"

#include <QFile>

#include <cstring>
#include <limits>
#include <optional>

namespace wordlark {
namespace {

constexpr char kEndOfText = '\x1a';

// The lines of a lesson file, read one at a time: a damaged file may hold millions of lines where a few
// numbers were promised, and none of those is looked at before it is asked for.
//
// Lines end at LF with a CR before it dropped, so files edited with LF-only tools read the same. A Ctrl-Z
// ends the readable text, as old editors marked the end of a file with it. The end of the text also ends
// a line, and a CR left there is the rest of a cut CR LF.
class LessonLines final {
public:
    explicit LessonLines(QByteArrayView bytes)
        : m_bytes(bytes.first(endOfText(bytes)))
    {
    }

    // The next line; past the end an empty one.
    QByteArrayView next()
    {
        if (m_position >= m_bytes.size())
            return {};
        const qsizetype end = lineEnd(m_position);
        QByteArrayView line = m_bytes.sliced(m_position, end - m_position);
        m_position = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        return line;
    }

    // How many lines follow, counted no further than `limit` + 1.
    qsizetype countLeft(qsizetype limit) const
    {
        qsizetype count = 0;
        for (qsizetype position = m_position; position < m_bytes.size() && count <= limit; ++count)
            position = lineEnd(position) + 1;
        return count;
    }

private:
    static qsizetype endOfText(QByteArrayView bytes)
    {
        const void *found = std::memchr(bytes.data(), kEndOfText, size_t(bytes.size()));
        return found ? static_cast<const char *>(found) - bytes.data() : bytes.size();
    }

    qsizetype lineEnd(qsizetype from) const
    {
        const void *found = std::memchr(m_bytes.data() + from, '\n', size_t(m_bytes.size() - from));
        return found ? static_cast<const char *>(found) - m_bytes.data() : m_bytes.size();
    }

    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

// The text of a line as a message quotes it: control characters (the NULs of a UTF-16 file, say) shown
// as U+FFFD and a long line cut, so that any file gives a message that fits on the screen.
QString quotedLine(QByteArrayView line)
{
    constexpr qsizetype kMaxQuoted = 40;
    QString text = QString::fromLocal8Bit(line.first(qMin(line.size(), kMaxQuoted + 1)));
    const bool cut = text.size() > kMaxQuoted;
    if (cut)
        text = text.first(kMaxQuoted) + u'…';
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

// A decimal integer with an optional leading minus and nothing else; a value outside int is no integer.
std::optional<int> toInteger(QByteArrayView line)
{
    qsizetype i = 0;
    const bool negative = !line.isEmpty() && line[0] == '-';
    if (negative)
        i = 1;
    if (i == line.size())
        return std::nullopt;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

class LessonParser final {
public:
    LessonParser(QByteArrayView bytes, int totalWordCount, const QString &fileName)
        : m_lines(bytes)
        , m_totalWordCount(totalWordCount)
        , m_fileName(shownPath(fileName))
    {
    }

    Result<LessonProgress> parse()
    {
        LessonProgress progress;
        progress.dictionaryPath = QFile::decodeName(nextLine().toByteArray());
        nextLine(); // "Length(ArrSmartShuffle)=", whatever it says

        const std::optional<int> queueLength = readCount(QStringLiteral("длина очереди"));
        if (!queueLength)
            return failure();
        progress.queue.reserve(*queueLength);
        for (int i = 0; i < *queueLength; ++i) {
            const std::optional<int> word = readWord();
            if (!word)
                return failure();
            progress.queue.append(*word);
        }

        nextLine(); // "Mistakes="
        const std::optional<int> mistakeCount = readNonNegative(QStringLiteral("счётчик ошибок"));
        if (!mistakeCount)
            return failure();
        progress.mistakeCount = *mistakeCount;

        nextLine(); // "Length(ArrMistakes)="
        const std::optional<int> recordCount = readCount(QStringLiteral("число записей об ошибках"));
        if (!recordCount)
            return failure();
        progress.mistakes.reserve(*recordCount);
        for (int i = 0; i < *recordCount; ++i) {
            const std::optional<int> word = readWord();
            if (!word)
                return failure();
            const std::optional<int> misses = readNonNegative(QStringLiteral("число ошибок в слове"));
            if (!misses)
                return failure();
            progress.mistakes.append(MistakeRecord{*word, *misses});
        }
        // Whatever follows the last record is not part of the lesson.
        return progress;
    }

private:
    // Reading past the end gives an empty line, which no number check lets through.
    QByteArrayView nextLine()
    {
        ++m_lineNumber;
        return m_lines.next();
    }

    QString fault(const QString &what) const
    {
        return QStringLiteral("Файл урока «%1», строка %2: %3").arg(m_fileName).arg(m_lineNumber).arg(what);
    }

    Failure failure() const { return Failure{m_error}; }

    std::optional<int> readInteger()
    {
        const QByteArrayView line = nextLine();
        const std::optional<int> value = toInteger(line);
        if (!value)
            m_error = QStringLiteral("'%1' is not a valid integer value").arg(quotedLine(line));
        return value;
    }

    std::optional<int> readNonNegative(const QString &what)
    {
        const std::optional<int> value = readInteger();
        if (value && *value < 0) {
            m_error =
                fault(QStringLiteral("недопустимое отрицательное значение %1 (%2).").arg(*value).arg(what));
            return std::nullopt;
        }
        return value;
    }

    // A count of lines to follow: it cannot exceed what the file still holds, which also keeps a damaged
    // count from reserving memory for billions of entries.
    std::optional<int> readCount(const QString &what)
    {
        const std::optional<int> value = readNonNegative(what);
        if (!value)
            return std::nullopt;
        const qsizetype linesLeft = m_lines.countLeft(*value);
        if (*value > linesLeft) {
            m_error = fault(QStringLiteral("%1 %2 больше, чем осталось строк в файле (%3).")
                                .arg(what)
                                .arg(*value)
                                .arg(linesLeft));
            return std::nullopt;
        }
        return value;
    }

    std::optional<int> readWord()
    {
        const std::optional<int> value = readInteger();
        if (value && (*value < 0 || *value >= m_totalWordCount)) {
            m_error = fault(QStringLiteral("номер слова %1 вне словаря (слов в словаре: %2).")
                                .arg(*value)
                                .arg(m_totalWordCount));
            return std::nullopt;
        }
        return value;
    }

    LessonLines m_lines;
    int m_totalWordCount = 0;
    QString m_fileName;
    // 1-based number of the line read last.
    int m_lineNumber = 0;
    QString m_error;
};

void appendLine(QByteArray &out, QByteArrayView line)
{
    out.append(line);
    out.append("\r\n");
}

void appendNumber(QByteArray &out, int value)
{
    appendLine(out, QByteArray::number(value));
}

} // namespace

QByteArray serializeLessonFile(const LessonProgress &progress)
{
    QByteArray out;
    appendLine(out, QFile::encodeName(progress.dictionaryPath));
    appendLine(out, "Length(ArrSmartShuffle)=");
    appendNumber(out, int(progress.queue.size()));
    for (int word : progress.queue)
        appendNumber(out, word);
    appendLine(out, "Mistakes=");
    appendNumber(out, progress.mistakeCount);
    appendLine(out, "Length(ArrMistakes)=");
    appendNumber(out, int(progress.mistakes.size()));
    for (const MistakeRecord &record : progress.mistakes) {
        appendNumber(out, record.word);
        appendNumber(out, record.misses);
    }
    return out;
}

Result<LessonProgress> parseLessonFile(QByteArrayView bytes, int totalWordCount,
                                       const QString &fileNameForMessages)
{
    return LessonParser(bytes, totalWordCount, fileNameForMessages).parse();
}

Result<void> saveLessonFile(const QString &path, const LessonProgress &progress)
{
    auto failure = [&path](const QString &reason) {
        return Failure{
            QStringLiteral("Не удалось сохранить файл урока «%1»: %2").arg(shownPath(path), reason)};
    };
    // The path is one line of the file: a line break or Ctrl-Z in it would cut the lesson when read back.
    const QByteArray encodedPath = QFile::encodeName(progress.dictionaryPath);
    if (encodedPath.contains('\n') || encodedPath.contains('\r') || encodedPath.contains(kEndOfText))
        return failure(QStringLiteral("путь словаря содержит управляющий символ."));

    const Result<void> written = writeFileAtomically(path, serializeLessonFile(progress));
    if (!written)
        return failure(written.error());
    return {};
}

Result<LessonProgress> loadLessonFile(const QString &path, int totalWordCount)
{
    auto failure = [&path](const QString &reason) {
        return Failure{
            QStringLiteral("Не удалось прочитать файл урока «%1»: %2").arg(shownPath(path), reason)};
    };
    ReadRefusal refusal = ReadRefusal::None;
    Result<QByteArray> bytes = readFileBytes(path, FileKind::LessonFile, &refusal);
    switch (refusal) {
    case ReadRefusal::None:
        return parseLessonFile(*bytes, totalWordCount, path);
    case ReadRefusal::Folder:
        return failure(QStringLiteral("это папка, а не файл."));
    case ReadRefusal::NotRegular:
        return failure(QStringLiteral("это не обычный файл."));
    case ReadRefusal::TooLarge:
        return failure(QStringLiteral("файл слишком велик для файла урока."));
    case ReadRefusal::Missing:
    case ReadRefusal::Unreadable:
        break;
    }
    return failure(bytes.error());
}

} // namespace wordlark
