// The whole quiz loop run against the program's state, without a window: load, choice of lessons,
// answers, the end of a pass, the review, lesson files and passes over given words.

#include "app/trainer.h"
#include "badinput.h"

#include "cappedchild.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

using namespace wordlark;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(wordlark::Answer)
Q_DECLARE_METATYPE(wordlark::DictionaryRead)
Q_DECLARE_METATYPE(testutil::Entry)

namespace {

QByteArray dictionaryLine(const char *pinyin, const char *simplified, const char *lesson,
                          const char *translation)
{
    return QByteArray(pinyin) + "\t*\t" + simplified + "\t*\t\t*\t" + lesson + "\t*\t" + translation + "\r\n";
}

// Three words in lesson 1, two in lesson 2, each with its own pinyin and translation.
QByteArray fiveWords()
{
    return dictionaryLine("hǎo", "好", "1", "хорошо") + dictionaryLine("nǐ", "你", "1", "ты") +
           dictionaryLine("wǒ", "我", "1", "я") + dictionaryLine("tāmen", "他们", "2", "они") +
           dictionaryLine("wǒmen", "我们", "2", "мы");
}

// The box whose candidate is the asked word.
int rightBox(const Trainer &trainer)
{
    return trainer.question().choice.rightSlot + 1;
}

int wrongBox(const Trainer &trainer)
{
    const Question &question = trainer.question();
    for (int box = 1; box <= question.count(); ++box)
        if (!question.isRightBox(box))
            return box;
    return 0;
}

// Answers the first draw with the given position, then draws as a seeded generator does.
class FirstDrawAt final : public RandomSource {
public:
    explicit FirstDrawAt(int first)
        : m_first(first)
    {
    }
    int below(int bound) override
    {
        if (m_first < 0)
            return m_rest.below(bound);
        return std::exchange(m_first, -1) % bound;
    }

private:
    int m_first;
    SeededRandom m_rest{5};
};

// A working folder with a dictionary at the default path, and a trainer that has loaded it.
class LoadedTrainer final {
public:
    explicit LoadedTrainer(const QByteArray &dictionary = fiveWords())
    {
        QDir(m_folder.path()).mkpath(QStringLiteral("Dictionary"));
        QFile file(m_folder.filePath(QStringLiteral("Dictionary/Dict.dic")));
        if (file.open(QIODevice::WriteOnly))
            file.write(dictionary);
        file.close();
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
        trainer = std::make_unique<Trainer>(m_folder.path());
        trainer->setRandomSource(std::make_unique<SeededRandom>(5));
        trainer->loadDictionary();
    }
    ~LoadedTrainer() { QDir::setCurrent(m_previous); }
    LoadedTrainer(const LoadedTrainer &) = delete;
    LoadedTrainer &operator=(const LoadedTrainer &) = delete;

    QString path(const QString &name) const { return m_folder.filePath(name); }

    std::unique_ptr<Trainer> trainer;

private:
    QTemporaryDir m_folder;
    QString m_previous;
};

// Dictionaries of a shape a learner's file can have, 16 MiB or more each.
QByteArray shapedDictionary(const QString &shape)
{
    constexpr qsizetype kSize = qsizetype(16) << 20;
    if (shape == u"empty lines")
        return QByteArray(kSize, '\n');
    if (shape == u"one-letter lines")
        return QByteArray("a\n").repeated(kSize / 2);
    if (shape == u"one long line")
        return QByteArray(kSize, 'a');
    // Words as a course has them, a blank line after each, in a file larger than any small one.
    const QByteArray word = dictionaryLine("nǐ hǎo", "你好", "12", "привет, здравствуй") + "\r\n";
    return word.repeated(kSize / word.size() + 1);
}

// In a child that may map 256 MiB more than it does when the load starts: loads a dictionary of the
// shape and says what it has, the file's words or the built-in course.
int loadShapedDictionary(const QStringList &arguments, const std::function<bool()> &cap)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shaped.dic"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(shapedDictionary(arguments.value(0))) < 0)
            return 3;
    }
    Trainer trainer(folder.path());
    trainer.setDictionaryPath(path);
    if (!cap())
        return 4;
    const DictionaryRead read = trainer.loadDictionary();
    std::printf("%s %d", read.builtInUsed ? "built-in" : "file", trainer.wordCount());
    return 0;
}

} // namespace

class TestTrainer final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadChoosesEveryLesson();
    void unreadableDictionaryFallsBackToTheBuiltInCourse_data();
    void unreadableDictionaryFallsBackToTheBuiltInCourse();
    void linesTooManyForTheirFileAreRefused_data();
    void linesTooManyForTheirFileAreRefused();
    void progressIsReportedForEveryLine();
    void changingTheDictionaryTellsEachListenerOnce_data();
    void changingTheDictionaryTellsEachListenerOnce();
    void forgettingTheDictionaryLeavesNothingToAsk();

    void noLessonChosenLeavesNothingToAsk();
    void choosingLessonsStartsANewPassAtTheNextQuestion();
    void recountingTheChoiceKeepsIt();

    void everyAnswerIsReportedOnce_data();
    void everyAnswerIsReportedOnce();
    void wrongAnswerCountsAndKeepsTheQuestion();
    void rightAnswerAfterAMissKeepsTheWord();
    void cleanPassEndsWithoutReview();
    void passWithMistakesOffersTheReview();
    void reviewAsksOnlyTheMissedWords();
    void typedAnswerIsJudgedByTheSimplifiedCharacters();

    void savedLessonResumesWhereItStopped();
    void brokenLessonFileChangesNothing();
    void lessonFromAnotherDictionaryIsRecognised();
    void lessonFileWithARepeatedWord();

    void passOverGivenWords_data();
    void passOverGivenWords();
    void passOverGivenWordsEndsLikeAnyPass();
    void passOverGivenWordsAsksThemInOrder();

    void writingPassAsksOnlyWritableWords();
    void writtenWordsCountLikeAnswers();
    void writingPassWithMissesEndsWithTheReview();
    void stoppingWritingStartsAPassOfTheBoxes();
};

void TestTrainer::loadChoosesEveryLesson()
{
    QTemporaryDir folder;
    QFile file(folder.filePath(u"words.dic"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(fiveWords());
    file.close();

    Trainer trainer(folder.path());
    trainer.setDictionaryPath(file.fileName());
    QSignalSpy built(&trainer, &Trainer::lessonsBuilt);
    QSignalSpy remaining(&trainer, &Trainer::remainingChanged);
    const DictionaryRead read = trainer.loadDictionary();

    QVERIFY(!read.builtInUsed);
    QCOMPARE(read.lineCount, 5);
    QCOMPARE(trainer.wordCount(), 5);
    QCOMPARE(trainer.lessons().lessonCount(), 2);
    QCOMPARE(trainer.lessons().selectedWordCount(), 5);
    QCOMPARE(built.count(), 1);
    QCOMPARE(remaining.count(), 1);
    QCOMPARE(remaining.at(0).at(0).toInt(), 5);
    // Nothing is asked until the quiz asks for its first question.
    QVERIFY(!trainer.question().hasWord());
    QVERIFY(trainer.session().newPassPending());
}

void TestTrainer::unreadableDictionaryFallsBackToTheBuiltInCourse_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing file") << u"Dictionary/none.dic"_s;
    QTest::newRow("a folder") << u"Dictionary"_s;
}

void TestTrainer::unreadableDictionaryFallsBackToTheBuiltInCourse()
{
    QFETCH(QString, path);
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.setDictionaryPath(loaded.path(path));
    trainer.forgetDictionary();
    const DictionaryRead read = trainer.loadDictionary();
    QVERIFY(read.builtInUsed);
    QCOMPARE(trainer.wordCount(), 1400);
    QCOMPARE(trainer.lessons().lessonCount(), 50);
    QCOMPARE(trainer.lessons().selectedWordCount(), trainer.wordCount());
    // The path stays what the learner chose, so a lesson saved now names that file.
    QCOMPARE(trainer.dictionaryPath(), loaded.path(path));
}

void TestTrainer::linesTooManyForTheirFileAreRefused_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("loaded");

    // A table row costs more than a line break: these would take many times their file.
    QTest::newRow("empty lines") << u"empty lines"_s << u"built-in 1400"_s;
    QTest::newRow("one-letter lines") << u"one-letter lines"_s << u"built-in 1400"_s;
    // The line itself is held while it is parsed, beside its cells.
    QTest::newRow("one long line") << u"one long line"_s << u"built-in 1400"_s;
    const int words = int(shapedDictionary(u"words"_s).count('\n'));
    QTest::newRow("words and blank lines") << u"words"_s << u"file %1"_s.arg(words);
}

// A file that could not be held within three times its size is refused as an unreadable one is, with the
// built-in course instead, and never ends the program for want of memory.
void TestTrainer::linesTooManyForTheirFileAreRefused()
{
    QFETCH(QString, shape);
    QFETCH(QString, loaded);

    const testutil::ChildRun run =
        testutil::startCappedChild(QStringLiteral("load"), 256, QStringList{shape});
    QCOMPARE(testutil::childRunFault(run), QString());
    QCOMPARE(run.output, loaded);
}

void TestTrainer::progressIsReportedForEveryLine()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    QList<int> lines;
    int wordsWhileReading = -1;
    connect(&trainer, &Trainer::dictionaryRead, &trainer,
            [&trainer, &wordsWhileReading] { wordsWhileReading = trainer.wordCount(); });
    connect(&trainer, &Trainer::loadProgress, &trainer, [&lines](int line) { lines.append(line); });
    const DictionaryRead read = trainer.changeDictionary(trainer.dictionaryPath());
    QCOMPARE(wordsWhileReading, 0);
    QCOMPARE(lines, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(trainer.wordCount(), read.lineCount);
}

void TestTrainer::changingTheDictionaryTellsEachListenerOnce_data()
{
    QTest::addColumn<testutil::Entry>("entry");
    QTest::addColumn<bool>("builtInUsed");
    QTest::newRow("a dictionary") << testutil::Entry::File << false;
    QTest::newRow("missing file") << testutil::Entry::Missing << true;
    QTest::newRow("a folder") << testutil::Entry::Folder << true;
    QTest::newRow("a FIFO") << testutil::Entry::Fifo << true;
    QTest::newRow("unreadable file") << testutil::Entry::Unreadable << true;
}

// The change goes from the old dictionary's pass to the new one's first question, telling every listener
// once and in order, also when the chosen file cannot be read and the built-in course is read instead.
void TestTrainer::changingTheDictionaryTellsEachListenerOnce()
{
    QFETCH(testutil::Entry, entry);
    QFETCH(bool, builtInUsed);
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    trainer.answerBox(wrongBox(trainer));
    const QString path = loaded.path(u"chosen.dic"_s);
    const QByteArray twoWords =
        dictionaryLine("shū", "书", "7", "книга") + dictionaryLine("chá", "茶", "8", "чай");
    QVERIFY(testutil::makeEntry(entry, path, twoWords));

    QStringList told;
    QList<int> lines;
    const auto tell = [&told](const char *name) {
        return [&told, name] { told.append(QLatin1String(name)); };
    };
    connect(&trainer, &Trainer::loadStarting, &trainer, tell("loadStarting"));
    connect(&trainer, &Trainer::dictionaryRead, &trainer, tell("dictionaryRead"));
    connect(&trainer, &Trainer::loadProgress, &trainer, [&lines](int line) { lines.append(line); });
    connect(&trainer, &Trainer::lessonsBuilt, &trainer, tell("lessonsBuilt"));
    connect(&trainer, &Trainer::mistakesChanged, &trainer, tell("mistakesChanged"));
    connect(&trainer, &Trainer::remainingChanged, &trainer, tell("remainingChanged"));
    connect(&trainer, &Trainer::questionAsked, &trainer, tell("questionAsked"));
    connect(&trainer, &Trainer::nothingToAsk, &trainer, tell("nothingToAsk"));
    connect(&trainer, &Trainer::dictionaryChanged, &trainer, tell("dictionaryChanged"));
    QSignalSpy changed(&trainer, &Trainer::dictionaryChanged);

    DictionaryRead read;
    {
        const testutil::WithoutReadOverride asAnyone;
        read = trainer.changeDictionary(path);
    }
    QCOMPARE(told,
             (QStringList{u"loadStarting"_s, u"dictionaryRead"_s, u"lessonsBuilt"_s, u"mistakesChanged"_s,
                          u"remainingChanged"_s, u"questionAsked"_s, u"dictionaryChanged"_s}));
    QCOMPARE(read.builtInUsed, builtInUsed);
    QCOMPARE(changed.at(0).at(0).value<DictionaryRead>().builtInUsed, builtInUsed);
    QCOMPARE(trainer.wordCount(), builtInUsed ? 1400 : 2);
    QCOMPARE(read.lineCount, trainer.wordCount());
    QCOMPARE(lines.size(), read.lineCount);
    QCOMPARE(trainer.lessons().lessonCount(), builtInUsed ? 50 : 2);
    QCOMPARE(trainer.lessons().selectedWordCount(), trainer.wordCount());
    // The old pass is gone: no mistakes, the new dictionary's words asked.
    QCOMPARE(trainer.session().mistakeCount(), 0);
    QVERIFY(trainer.question().hasWord());
    QVERIFY(trainer.question().word < trainer.wordCount());
    QCOMPARE(int(trainer.session().queue().size()), trainer.wordCount());
    // The path stays the learner's choice, so a lesson saved now names that file.
    QCOMPARE(trainer.dictionaryPath(), path);
}

void TestTrainer::forgettingTheDictionaryLeavesNothingToAsk()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    QVERIFY(trainer.question().hasWord());
    QSignalSpy built(&trainer, &Trainer::lessonsBuilt);
    trainer.forgetDictionary();
    QCOMPARE(built.count(), 1);
    QCOMPARE(trainer.wordCount(), 0);
    QVERIFY(trainer.dictionaryText().isEmpty());
    QCOMPARE(trainer.lessons().lessonCount(), 0);
    QVERIFY(!trainer.question().hasWord());
    QVERIFY(trainer.session().queue().isEmpty());
    QSignalSpy answered(&trainer, &Trainer::answered);
    QVERIFY(!trainer.answerBox(1));
    QCOMPARE(answered.count(), 0);
}

void TestTrainer::noLessonChosenLeavesNothingToAsk()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    QCOMPARE(trainer.chooseLessons({false, false}), 0);
    QSignalSpy nothing(&trainer, &Trainer::nothingToAsk);
    QSignalSpy asked(&trainer, &Trainer::questionAsked);
    trainer.nextQuestion();
    QCOMPARE(nothing.count(), 1);
    QCOMPARE(asked.count(), 0);
    QSignalSpy answered(&trainer, &Trainer::answered);
    QVERIFY(!trainer.answerBox(1));
    QVERIFY(!trainer.answerTyped(u"好"_s));
    QCOMPARE(answered.count(), 0);
    QCOMPARE(trainer.session().mistakeCount(), 0);
}

void TestTrainer::choosingLessonsStartsANewPassAtTheNextQuestion()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    QVERIFY(trainer.answerBox(wrongBox(trainer)) == false);
    QCOMPARE(trainer.session().mistakeCount(), 1);

    QSignalSpy remaining(&trainer, &Trainer::remainingChanged);
    QSignalSpy mistakes(&trainer, &Trainer::mistakesChanged);
    QCOMPARE(trainer.chooseLessons({false, true}), 2);
    // The old pass goes on until the next question is asked.
    QCOMPARE(trainer.session().mistakeCount(), 1);
    trainer.nextQuestion();
    QCOMPARE(mistakes.count(), 1);
    QCOMPARE(mistakes.at(0).at(0).toInt(), 0);
    QCOMPARE(remaining.count(), 2);
    QCOMPARE(remaining.at(1).at(0).toInt(), 2);
    QCOMPARE(trainer.session().mistakeCount(), 0);
    QVERIFY(trainer.question().word == 3 || trainer.question().word == 4);
}

void TestTrainer::recountingTheChoiceKeepsIt()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.chooseLessons({false, true});
    // The list's own flags handed back, as a new pass over the same choice is started.
    QCOMPARE(trainer.chooseLessons(trainer.lessons().selectionFlags()), 2);
    QCOMPARE(trainer.lessons().selectionFlags(), (std::vector<bool>{false, true}));
}

void TestTrainer::everyAnswerIsReportedOnce_data()
{
    QTest::addColumn<bool>("typed");
    QTest::newRow("clicked") << false;
    QTest::newRow("typed") << true;
}

void TestTrainer::everyAnswerIsReportedOnce()
{
    QFETCH(bool, typed);
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    const int word = trainer.question().word;
    const int wrong = wrongBox(trainer);
    const int right = rightBox(trainer);
    QSignalSpy answered(&trainer, &Trainer::answered);
    // What the window sees when the verdict arrives: nothing of the answer counted yet.
    int mistakesAtVerdict = -1;
    connect(&trainer, &Trainer::answered, this,
            [&] { mistakesAtVerdict = trainer.session().mistakeCount(); });

    if (typed) {
        QVERIFY(!trainer.answerTyped(u"不"_s));
        QVERIFY(trainer.answerTyped(trainer.question().typedAnswer));
    } else {
        QVERIFY(!trainer.answerBox(wrong));
        QVERIFY(trainer.answerBox(right));
    }
    QCOMPARE(answered.count(), 2);
    const auto first = answered.at(0).at(0).value<Answer>();
    const auto second = answered.at(1).at(0).value<Answer>();
    QCOMPARE(first.word, word);
    QCOMPARE(second.word, word);
    QCOMPARE(first.right, false);
    QCOMPARE(second.right, true);
    QCOMPARE(first.typed, typed);
    QCOMPARE(second.typed, typed);
    QCOMPARE(first.box, typed ? 0 : wrong);
    QCOMPARE(second.box, typed ? 0 : right);
    QCOMPARE(first.first, true);
    QCOMPARE(second.first, false);
    QCOMPARE(mistakesAtVerdict, 1);

    // The next showing of a word starts afresh.
    answered.clear();
    trainer.answerBox(rightBox(trainer));
    QCOMPARE(answered.count(), 1);
    QCOMPARE(answered.at(0).at(0).value<Answer>().first, true);
}

void TestTrainer::wrongAnswerCountsAndKeepsTheQuestion()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    const int word = trainer.question().word;
    QSignalSpy mistakes(&trainer, &Trainer::mistakesChanged);
    QSignalSpy asked(&trainer, &Trainer::questionAsked);
    QVERIFY(!trainer.answerBox(wrongBox(trainer)));
    QVERIFY(!trainer.answerBox(wrongBox(trainer)));
    QCOMPARE(asked.count(), 0);
    QCOMPARE(trainer.question().word, word);
    QCOMPARE(mistakes.count(), 2);
    QCOMPARE(mistakes.at(1).at(0).toInt(), 2);
    QCOMPARE(trainer.session().mistakes(), (QList<MistakeRecord>{{word, 2}}));
}

void TestTrainer::rightAnswerAfterAMissKeepsTheWord()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    const int word = trainer.question().word;
    trainer.answerBox(wrongBox(trainer));
    QSignalSpy asked(&trainer, &Trainer::questionAsked);
    QVERIFY(trainer.answerBox(rightBox(trainer)));
    QCOMPARE(asked.count(), 1);
    QCOMPARE(trainer.session().queue().size(), 5);
    QVERIFY(trainer.session().queue().contains(word));
}

void TestTrainer::cleanPassEndsWithoutReview()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    QSignalSpy review(&trainer, &Trainer::reviewDue);
    QSignalSpy remaining(&trainer, &Trainer::remainingChanged);
    QList<int> asked;
    for (int answer = 0; answer < 5; ++answer) {
        asked.append(trainer.question().word);
        QVERIFY(trainer.answerBox(rightBox(trainer)));
    }
    std::sort(asked.begin(), asked.end());
    QCOMPARE(asked, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 0);
    QCOMPARE(review.count(), 0);
    // The counter reads 0 as the pass ends, then the new pass over the same lessons shows its length.
    QCOMPARE(remaining.at(remaining.count() - 2).at(0).toInt(), 0);
    QCOMPARE(remaining.constLast().at(0).toInt(), 5);
    QVERIFY(trainer.question().hasWord());
}

void TestTrainer::passWithMistakesOffersTheReview()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    QSignalSpy review(&trainer, &Trainer::reviewDue);
    // The review is offered after the grade, and before the next question.
    QStringList order;
    connect(&trainer, &Trainer::passEnded, this, [&] { order.append(u"grade"_s); });
    connect(&trainer, &Trainer::reviewDue, this, [&] { order.append(u"review"_s); });
    connect(&trainer, &Trainer::questionAsked, this, [&] { order.append(u"question"_s); });
    trainer.answerBox(wrongBox(trainer));
    for (int guard = 0; guard < 20 && ended.isEmpty(); ++guard)
        trainer.answerBox(rightBox(trainer));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 1);
    QCOMPARE(review.count(), 1);
    QCOMPARE(order.mid(order.size() - 3), (QStringList{u"grade"_s, u"review"_s, u"question"_s}));
}

void TestTrainer::reviewAsksOnlyTheMissedWords()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    // A review chosen while the grade is up makes the next question one of the missed words.
    connect(&trainer, &Trainer::reviewDue, this, [&] { QVERIFY(trainer.startReview()); });
    trainer.nextQuestion();
    const int missed = trainer.question().word;
    trainer.answerBox(wrongBox(trainer));
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    for (int guard = 0; guard < 20 && ended.isEmpty(); ++guard)
        trainer.answerBox(rightBox(trainer));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(trainer.session().queue(), QList<int>{missed});
    QCOMPARE(trainer.session().mistakeCount(), 0);
    QCOMPARE(trainer.question().word, missed);
    // Answering it ends the review as a pass, with nothing more to review.
    QSignalSpy review(&trainer, &Trainer::reviewDue);
    QVERIFY(trainer.answerBox(rightBox(trainer)));
    QCOMPARE(ended.count(), 2);
    QCOMPARE(review.count(), 0);
    // Without missed words there is nothing to review.
    QVERIFY(!trainer.startReview());
}

void TestTrainer::typedAnswerIsJudgedByTheSimplifiedCharacters()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    const Question shown = trainer.question();
    const QString simplified = trainer.wordTable().cell(SimplifiedColumn, shown.word);
    QVERIFY(!trainer.answerTyped(simplified + u' '));
    QVERIFY(!trainer.answerTyped(trainer.wordTable().cell(PinyinColumn, shown.word)));
    QCOMPARE(trainer.session().mistakeCount(), 2);
    QVERIFY(trainer.answerTyped(simplified));
}

void TestTrainer::savedLessonResumesWhereItStopped()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    const int missed = trainer.question().word;
    trainer.answerBox(wrongBox(trainer));
    trainer.answerBox(rightBox(trainer));
    trainer.answerBox(rightBox(trainer));
    const QList<int> queue = trainer.session().queue();
    const QString file = loaded.path(u"lesson.sav"_s);
    QVERIFY(trainer.saveLessonFile(file));

    // Another pass meanwhile; the file brings the saved one back.
    trainer.chooseLessons({true, false});
    trainer.nextQuestion();
    Result<LessonProgress> read = trainer.readLessonFile(file);
    QVERIFY(read);
    QVERIFY(!trainer.isFromOtherDictionary(*read));
    QSignalSpy remaining(&trainer, &Trainer::remainingChanged);
    QSignalSpy mistakes(&trainer, &Trainer::mistakesChanged);
    trainer.resumeLesson(std::move(read).value());
    QCOMPARE(trainer.session().queue(), queue);
    QCOMPARE(trainer.session().mistakeCount(), 1);
    QCOMPARE(trainer.session().mistakes(), (QList<MistakeRecord>{{missed, 1}}));
    QCOMPARE(mistakes.constFirst().at(0).toInt(), 1);
    QCOMPARE(remaining.constFirst().at(0).toInt(), int(queue.size()));
    QVERIFY(queue.contains(trainer.question().word));
}

void TestTrainer::brokenLessonFileChangesNothing()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    trainer.answerBox(wrongBox(trainer));
    const QList<int> queue = trainer.session().queue();
    const int word = trainer.question().word;

    // A word index beyond this dictionary's five words.
    QFile file(loaded.path(u"broken.sav"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Dictionary/Dict.dic\r\nLength(ArrSmartShuffle)=\r\n1\r\n9\r\nMistakes=\r\n0\r\n"
               "Length(ArrMistakes)=\r\n0\r\n");
    file.close();
    const Result<LessonProgress> read = trainer.readLessonFile(file.fileName());
    QVERIFY(!read);
    QVERIFY(!read.error().isEmpty());
    QVERIFY(!trainer.readLessonFile(loaded.path(u"missing.sav"_s)));
    QCOMPARE(trainer.session().queue(), queue);
    QCOMPARE(trainer.session().mistakeCount(), 1);
    QCOMPARE(trainer.question().word, word);
}

void TestTrainer::lessonFromAnotherDictionaryIsRecognised()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    LessonProgress progress{trainer.dictionaryPath(), {1}, 0, {}};
    QVERIFY(!trainer.isFromOtherDictionary(progress));
    // Paths are compared as the program holds them, not as files.
    progress.dictionaryPath = QDir::current().filePath(trainer.dictionaryPath());
    QVERIFY(trainer.isFromOtherDictionary(progress));
}

// A lesson file may list a word twice; a right answer takes out its first place, wherever it was drawn.
void TestTrainer::lessonFileWithARepeatedWord()
{
    LoadedTrainer loaded(fiveWords() + dictionaryLine("ma", "吗", "2", "частица"));
    Trainer &trainer = *loaded.trainer;
    QFile file(loaded.path(u"repeat.sav"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Dictionary/Dict.dic\r\nLength(ArrSmartShuffle)=\r\n3\r\n5\r\n3\r\n5\r\nMistakes=\r\n0\r\n"
               "Length(ArrMistakes)=\r\n0\r\n");
    file.close();
    Result<LessonProgress> read = trainer.readLessonFile(file.fileName());
    QVERIFY(read);
    QCOMPARE(read->queue, (QList<int>{5, 3, 5}));

    trainer.setRandomSource(std::make_unique<FirstDrawAt>(2));
    trainer.resumeLesson(std::move(read).value());
    QCOMPARE(trainer.question().word, 5);
    trainer.answerBox(rightBox(trainer));
    QCOMPARE(trainer.session().queue(), (QList<int>{3, 5}));
}

void TestTrainer::passOverGivenWords_data()
{
    QTest::addColumn<QList<int>>("words");
    QTest::addColumn<QList<int>>("asked");
    QTest::newRow("two words") << QList<int>{4, 1} << QList<int>{1, 4};
    QTest::newRow("indices outside the dictionary left out") << QList<int>{-1, 3, 5, 99} << QList<int>{3};
    // Nothing valid: the next question starts a pass over the chosen lessons.
    QTest::newRow("nothing left") << QList<int>{7} << QList<int>{0, 1, 2, 3, 4};
}

void TestTrainer::passOverGivenWords()
{
    QFETCH(QList<int>, words);
    QFETCH(QList<int>, asked);
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    trainer.answerBox(wrongBox(trainer));
    QSignalSpy mistakes(&trainer, &Trainer::mistakesChanged);
    QSignalSpy asking(&trainer, &Trainer::questionAsked);
    trainer.startPassOver(words);
    QCOMPARE(asking.count(), 1);
    QCOMPARE(trainer.session().mistakeCount(), 0);
    QCOMPARE(mistakes.constFirst().at(0).toInt(), 0);
    QList<int> queue = trainer.session().queue();
    std::sort(queue.begin(), queue.end());
    QCOMPARE(queue, asked);
    QVERIFY(asked.contains(trainer.question().word));
}

void TestTrainer::passOverGivenWordsEndsLikeAnyPass()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.chooseLessons({true, false});
    trainer.startPassOver({3, 4});
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    QSignalSpy review(&trainer, &Trainer::reviewDue);
    // What the review would offer, as it is offered.
    QList<MistakeRecord> offered;
    connect(&trainer, &Trainer::reviewDue, this, [&] { offered = trainer.session().mistakes(); });
    trainer.answerBox(wrongBox(trainer));
    const int missed = trainer.question().word;
    trainer.answerBox(rightBox(trainer));
    trainer.answerBox(rightBox(trainer));
    if (ended.isEmpty())
        trainer.answerBox(rightBox(trainer));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 1);
    QCOMPARE(review.count(), 1);
    QCOMPARE(offered, (QList<MistakeRecord>{{missed, 1}}));
    // After it the quiz goes back to the chosen lessons.
    QVERIFY(trainer.question().word >= 0 && trainer.question().word <= 2);
}

// The review of due words gives them most overdue first: a learner who stops early has met those.
void TestTrainer::passOverGivenWordsAsksThemInOrder()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    QSignalSpy asking(&trainer, &Trainer::questionAsked);
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    trainer.startPassOver({4, 0, 3, 1});
    // The second word missed first: it comes back after the others.
    for (const bool missFirst : {false, true, false, false, false}) {
        QVERIFY(ended.isEmpty());
        if (missFirst)
            trainer.answerBox(wrongBox(trainer));
        trainer.answerBox(rightBox(trainer));
    }
    QCOMPARE(ended.count(), 1);
    QList<int> asked;
    for (const QList<QVariant> &signal : std::as_const(asking))
        asked.append(signal.at(0).toInt());
    // The question after the end is the first of an ordinary pass over the chosen lessons.
    QCOMPARE(asked.mid(0, 5), (QList<int>{4, 0, 3, 1, 0}));
    QCOMPARE(trainer.session().drawOrder(), DrawOrder::Random);
}

void TestTrainer::writingPassAsksOnlyWritableWords()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.nextQuestion();
    QSignalSpy changed(&trainer, &Trainer::writingChanged);
    QSignalSpy remaining(&trainer, &Trainer::remainingChanged);
    // Only 好, 我 and 我们 can be written.
    trainer.startWriting({true, false, true, false, true});
    QVERIFY(trainer.writing());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.front().front().toBool(), true);
    QCOMPARE(remaining.last().front().toInt(), 3);
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    QSet<int> asked;
    for (int answers = 0; answers < 10 && ended.isEmpty(); ++answers) {
        asked.insert(trainer.question().word);
        trainer.answerWritten(true);
    }
    QCOMPARE(asked, QSet<int>({0, 2, 4}));
    // The next pass is a writing pass as well.
    QVERIFY(trainer.writing());
    QCOMPARE(remaining.last().front().toInt(), 3);
}

void TestTrainer::writtenWordsCountLikeAnswers()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.startWriting(std::vector<bool>(5, true));
    QSignalSpy answers(&trainer, &Trainer::answered);
    QSignalSpy mistakes(&trainer, &Trainer::mistakesChanged);
    const int word = trainer.question().word;
    // A miss counts once however often the showing is missed, and keeps the question.
    QVERIFY(trainer.answerWritten(false));
    QVERIFY(!trainer.answerWritten(false));
    QCOMPARE(mistakes.size(), 1);
    QCOMPARE(trainer.session().mistakeCount(), 1);
    QCOMPARE(trainer.question().word, word);
    // Written to the end, the missed word stays in the pass and the next question comes.
    QVERIFY(trainer.answerWritten(true));
    QCOMPARE(trainer.session().queue().size(), 5);
    QCOMPARE(answers.size(), 2);
    const auto miss = answers[0].front().value<Answer>();
    const auto written = answers[1].front().value<Answer>();
    QVERIFY(miss.written && !miss.right && miss.first && !miss.typed && miss.box == 0);
    QVERIFY(written.written && written.right && !written.first);
    // A showing without a miss takes the word out.
    const int next = trainer.question().word;
    QVERIFY(trainer.answerWritten(true));
    QVERIFY(!trainer.session().queue().contains(next));
}

void TestTrainer::writingPassWithMissesEndsWithTheReview()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.startWriting({true, true, false, false, false});
    QSignalSpy ended(&trainer, &Trainer::passEnded);
    // The learner chooses to learn the missed words, as the review window offers.
    bool reviewed = false;
    connect(&trainer, &Trainer::reviewDue, this, [&] { reviewed = trainer.startReview(); });
    const int missed = trainer.question().word;
    trainer.answerWritten(false);
    for (int answers = 0; answers < 10 && ended.isEmpty(); ++answers)
        trainer.answerWritten(true);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.front().front().toInt(), 1);
    QVERIFY(reviewed);
    QCOMPARE(trainer.session().queue(), QList<int>({missed}));
    QVERIFY(trainer.writing());
}

void TestTrainer::stoppingWritingStartsAPassOfTheBoxes()
{
    LoadedTrainer loaded;
    Trainer &trainer = *loaded.trainer;
    trainer.startWriting({true, false, false, false, false});
    trainer.answerWritten(false);
    QSignalSpy changed(&trainer, &Trainer::writingChanged);
    QSignalSpy mistakes(&trainer, &Trainer::mistakesChanged);
    trainer.stopWriting();
    QVERIFY(!trainer.writing());
    QCOMPARE(changed.front().front().toBool(), false);
    // A written answer that comes late (strokes still being shown) counts nothing.
    const int asked = trainer.question().word;
    QVERIFY(!trainer.answerWritten(true));
    QVERIFY(!trainer.answerWritten(false));
    QCOMPARE(trainer.question().word, asked);
    QCOMPARE(mistakes.last().front().toInt(), 0);
    QCOMPARE(trainer.session().queue().size(), 5);
    QVERIFY(trainer.question().hasWord());
    // A box answer works as before.
    QVERIFY(trainer.answerBox(rightBox(trainer)));
}

WORDLARK_TEST_MAIN_WITH_CAPPED_TASKS(TestTrainer, {{QStringLiteral("load"), loadShapedDictionary}})
#include "tst_trainer.moc"
