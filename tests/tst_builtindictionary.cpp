// The built-in course: what the program relies on when it falls back to it.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace wordlark;

namespace {

// The meanings of a translation: its parts between semicolons, each with its notes.
QSet<QString> meaningsOf(const QString &translation)
{
    QSet<QString> meanings;
    for (const QString &part : translation.split(u';'))
        meanings.insert(part.trimmed());
    return meanings;
}

QString describe(const WordTable &table, int row)
{
    return table.cell(SimplifiedColumn, row) + QStringLiteral(" \"") + table.cell(TranslationColumn, row) +
           u'"';
}

} // namespace

class BuiltInDictionaryTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void hasFiftyLessonsOfTheRightSizes();
    void sampleRowsReadAsWritten_data();
    void sampleRowsReadAsWritten();
    void everyRowIsComplete();
    void quotedTranslationsAreUnquoted();
    void noTranslationOfALessonHidesInAnother();
    void stagedCopyIsTheBuiltInOne();

private:
    QByteArray m_bytes;
    QStringList m_lines;
    WordTable m_table;
    LessonList m_lessons;
};

void BuiltInDictionaryTest::initTestCase()
{
    QFile file(QStringLiteral(":/dictionary/Dict.dic"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_bytes = file.readAll();
    QVERIFY(m_bytes.startsWith("\xEF\xBB\xBF"));
    m_lines = splitLines(decodeText(m_bytes));
    parseDictionary(m_lines, m_table);
    m_lessons.build(m_table);
}

void BuiltInDictionaryTest::hasFiftyLessonsOfTheRightSizes()
{
    QCOMPARE(m_table.rowCount(), 1400);
    QCOMPARE(m_lessons.lessonCount(), 50);
    QCOMPARE(m_lessons.selectedWordCount(), 1400);
    int largest = 0;
    for (int k = 0; k < 50; ++k) {
        QCOMPARE(m_lessons.labels().at(k), QStringLiteral("%1").arg(k + 1, 2, 10, QLatin1Char('0')));
        QCOMPARE(m_lessons.blocks(k).size(), 1); // one block per lesson, in ascending order
        if (k != 48)
            largest = std::max(largest, m_lessons.lessonSize(k));
    }
    QCOMPARE(m_lessons.lessonSize(0), 2);
    QCOMPARE(m_lessons.lessonSize(1), 5);
    QCOMPARE(m_lessons.lessonSize(2), 7);
    QCOMPARE(m_lessons.lessonSize(48), 56);
    QVERIFY(largest < 56);
}

void BuiltInDictionaryTest::sampleRowsReadAsWritten_data()
{
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("simplified");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<QString>("translation");
    QTest::newRow("hǎo") << QStringLiteral("hǎo") << QStringLiteral("好") << QString() << QStringLiteral("01")
                         << QStringLiteral("хорошо; хороший");
    QTest::newRow("ma") << QStringLiteral("ma") << QStringLiteral("吗") << QStringLiteral("嗎")
                        << QStringLiteral("02") << QStringLiteral("вопросительная частица");
    QTest::newRow("tāmen") << QStringLiteral("tāmen") << QStringLiteral("他们") << QStringLiteral("他們")
                           << QStringLiteral("03") << QStringLiteral("они (муж.)");
    QTest::newRow("Shǒudū jùchǎng") << QStringLiteral("Shǒudū jùchǎng") << QStringLiteral("首都剧场")
                                    << QStringLiteral("首都劇場") << QStringLiteral("49")
                                    << QStringLiteral("театр \"Столица\"");
}

void BuiltInDictionaryTest::sampleRowsReadAsWritten()
{
    QFETCH(QString, pinyin);
    QFETCH(QString, simplified);
    QFETCH(QString, full);
    QFETCH(QString, lesson);
    QFETCH(QString, translation);
    int row = -1;
    for (int r = 0; r < m_table.rowCount(); ++r) {
        if (m_table.cell(SimplifiedColumn, r) == simplified)
            row = r;
    }
    QVERIFY(row >= 0);
    QCOMPARE(m_table.cell(PinyinColumn, row), pinyin);
    QCOMPARE(m_table.cell(FullColumn, row), full);
    QCOMPARE(m_table.cell(LessonColumn, row), lesson);
    QCOMPARE(m_table.cell(TranslationColumn, row), translation);
}

void BuiltInDictionaryTest::everyRowIsComplete()
{
    for (int r = 0; r < m_table.rowCount(); ++r) {
        const QByteArray line = QByteArray::number(r + 1);
        const char *where = line.constData();
        QVERIFY2(!m_table.cell(PinyinColumn, r).isEmpty(), where);
        QVERIFY2(!m_table.cell(SimplifiedColumn, r).isEmpty(), where);
        QVERIFY2(!m_table.cell(TranslationColumn, r).isEmpty(), where);
        QVERIFY2(m_table.cell(FullColumn, r) != m_table.cell(SimplifiedColumn, r), where);
        const QStringList fields = m_lines[r].split(QStringLiteral("\t*\t"));
        QCOMPARE(fields.size(), 5);
        for (const QString &field : fields)
            QVERIFY2(!field.contains(u'\t') && !field.contains(u'*'), where);
    }
}

void BuiltInDictionaryTest::quotedTranslationsAreUnquoted()
{
    int quoted = 0;
    for (int r = 0; r < m_table.rowCount(); ++r) {
        const QString written = m_lines[r].section(QStringLiteral("\t*\t"), 4);
        const QString stored = m_table.cell(TranslationColumn, r);
        if (written.startsWith(u'"') && written.endsWith(u'"')) {
            ++quoted;
            QString expected = written.mid(1, written.size() - 2);
            expected.replace(QStringLiteral("\"\""), QStringLiteral("\""));
            QCOMPARE(stored, expected);
        } else {
            QCOMPARE(stored, written);
            // Anything with a "; " or a quote must be written quoted, as a spreadsheet would.
            QVERIFY2(!written.contains(QStringLiteral("; ")) && !written.contains(u'"'), qPrintable(written));
        }
    }
    QVERIFY(quoted > 0);
}

void BuiltInDictionaryTest::noTranslationOfALessonHidesInAnother()
{
    // Asked for a translation whose meanings all belong to another candidate too, the learner cannot tell
    // which word is meant. Identical translations are fine: either answer counts as right.
    for (int k = 0; k < m_lessons.lessonCount(); ++k) {
        const RowBlock block = m_lessons.blocks(k).constFirst();
        for (int a = block.first; a <= block.last; ++a) {
            const QString &translationA = m_table.cell(TranslationColumn, a);
            const QSet<QString> meaningsA = meaningsOf(translationA);
            for (int b = block.first; b <= block.last; ++b) {
                if (a == b || translationA == m_table.cell(TranslationColumn, b))
                    continue;
                const QSet<QString> meaningsB = meaningsOf(m_table.cell(TranslationColumn, b));
                QVERIFY2(
                    !meaningsB.contains(meaningsA),
                    qPrintable(describe(m_table, a) + QStringLiteral(" is all in ") + describe(m_table, b)));
            }
        }
    }
}

void BuiltInDictionaryTest::stagedCopyIsTheBuiltInOne()
{
    QFile staged(qEnvironmentVariable("WORDLARK_RUNTIME_DIR") + QStringLiteral("/Dictionary/Dict.dic"));
    QVERIFY(staged.open(QIODevice::ReadOnly));
    QCOMPARE(staged.readAll(), m_bytes);
}

QTEST_GUILESS_MAIN(BuiltInDictionaryTest)
#include "tst_builtindictionary.moc"
