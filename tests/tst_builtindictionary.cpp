// The built-in course: what the program relies on when it falls back to it.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace wordlark;

namespace {

// Verb-object words and phrases whose parts take other words between them in use (睡了一觉, 帮他的忙,
// 开什么玩笑). The course marks each of them, and only them, so that the mark can be trusted either way.
const QStringList kSeparableVerbs = {
    QStringLiteral("睡觉"), QStringLiteral("洗澡"),   QStringLiteral("起床"), QStringLiteral("上班"),
    QStringLiteral("下班"), QStringLiteral("考试"),   QStringLiteral("说话"), QStringLiteral("唱歌"),
    QStringLiteral("跳舞"), QStringLiteral("游泳"),   QStringLiteral("跑步"), QStringLiteral("爬山"),
    QStringLiteral("上网"), QStringLiteral("打篮球"), QStringLiteral("下雨"), QStringLiteral("下雪"),
    QStringLiteral("生病"), QStringLiteral("发烧"),   QStringLiteral("打针"), QStringLiteral("打电话"),
    QStringLiteral("帮忙"), QStringLiteral("点菜"),   QStringLiteral("生气"), QStringLiteral("担心"),
    QStringLiteral("着急"), QStringLiteral("放心"),   QStringLiteral("结婚"), QStringLiteral("离婚"),
    QStringLiteral("见面"), QStringLiteral("过年"),   QStringLiteral("干杯"), QStringLiteral("请客"),
    QStringLiteral("放假"), QStringLiteral("放暑假"), QStringLiteral("打折"), QStringLiteral("迷路"),
    QStringLiteral("散步"), QStringLiteral("减肥"),   QStringLiteral("抽烟"), QStringLiteral("住院"),
    QStringLiteral("吃惊"), QStringLiteral("流泪"),   QStringLiteral("加班"), QStringLiteral("出差"),
    QStringLiteral("请假"), QStringLiteral("做生意"), QStringLiteral("毕业"), QStringLiteral("留学"),
    QStringLiteral("报名"), QStringLiteral("填空"),   QStringLiteral("聊天"), QStringLiteral("开玩笑"),
    QStringLiteral("道歉"), QStringLiteral("握手"),   QStringLiteral("理发"), QStringLiteral("排队"),
    QStringLiteral("鼓掌"), QStringLiteral("加油"),
};

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
    void separableVerbsAreAllMarked();
    void translationsExclaimNothing();
    void bracketsHoldNoSemicolon();
    void properNamesCapitaliseEveryWord();
    void firstWeekPhrasesComeFirst();
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

void BuiltInDictionaryTest::separableVerbsAreAllMarked()
{
    QSet<QString> found;
    for (int r = 0; r < m_table.rowCount(); ++r) {
        const QString &word = m_table.cell(SimplifiedColumn, r);
        // Alone in its brackets or after the other notes of its meaning: "(с кем-л., разделяемый глагол)".
        const bool marked =
            m_table.cell(TranslationColumn, r).contains(QStringLiteral("разделяемый глагол)"));
        QVERIFY2(marked == kSeparableVerbs.contains(word), qPrintable(describe(m_table, r)));
        if (marked)
            found.insert(word);
    }
    QCOMPARE(found.size(), kSeparableVerbs.size());
}

void BuiltInDictionaryTest::translationsExclaimNothing()
{
    // Greetings and wishes are written without an exclamation mark, like every other translation, so that
    // the punctuation gives no candidate away.
    for (int r = 0; r < m_table.rowCount(); ++r)
        QVERIFY2(!m_table.cell(TranslationColumn, r).contains(u'!'), qPrintable(describe(m_table, r)));
}

void BuiltInDictionaryTest::bracketsHoldNoSemicolon()
{
    // The semicolon separates meanings; a note in brackets belongs to one meaning and uses commas.
    for (int r = 0; r < m_table.rowCount(); ++r) {
        int depth = 0;
        for (const QChar c : m_table.cell(TranslationColumn, r)) {
            depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
            QVERIFY2(depth >= 0 && depth <= 1, qPrintable(describe(m_table, r)));
            QVERIFY2(depth == 0 || c != u';', qPrintable(describe(m_table, r)));
        }
        QVERIFY2(depth == 0, qPrintable(describe(m_table, r)));
    }
}

void BuiltInDictionaryTest::properNamesCapitaliseEveryWord()
{
    // The sample row of the theatre keeps the spelling it has always had.
    const QString keptAsItWas = QStringLiteral("Shǒudū jùchǎng");
    for (int r = 0; r < m_table.rowCount(); ++r) {
        const QString &pinyin = m_table.cell(PinyinColumn, r);
        if (!pinyin.front().isUpper() || pinyin == keptAsItWas)
            continue;
        for (const QString &word : pinyin.split(u' '))
            QVERIFY2(word.front().isUpper(), qPrintable(pinyin));
    }
}

void BuiltInDictionaryTest::firstWeekPhrasesComeFirst()
{
    // A beginner needs these with the greetings, not at the end of the course.
    for (const QString &phrase : {QStringLiteral("请问"), QStringLiteral("不好意思"),
                                  QStringLiteral("没问题"), QStringLiteral("好久不见")}) {
        int row = 0;
        while (row < m_table.rowCount() && m_table.cell(SimplifiedColumn, row) != phrase)
            ++row;
        QVERIFY2(row < m_table.rowCount(), qPrintable(phrase));
        QCOMPARE(m_table.cell(LessonColumn, row), QStringLiteral("04"));
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
