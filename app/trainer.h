#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/result.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"
#include "progress/lessonfile.h"
#include "quiz/answer.h"
#include "quiz/question.h"
#include "quiz/quizsession.h"
#include "quiz/quizsettings.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace wordlark {

// How reading the dictionary went.
struct DictionaryRead {
    // The file could not be read, so the built-in course was read instead.
    bool builtInUsed = false;
    int lineCount = 0;
};

// The program's state and what the learner can do with it: the dictionary and its lessons, the lesson
// parameters, the pass with its current question, the lesson files and the review. The windows show it
// and call its methods for what the learner does; it reports every change through its signals, which
// are all emitted synchronously from the method that caused them.
class Trainer final : public QObject {
    Q_OBJECT

public:
    // `startFolder` is the working folder: the default dictionary path is relative to it, and sound is
    // only offered when it holds an "audio" folder.
    explicit Trainer(const QString &startFolder, QObject *parent = nullptr);
    ~Trainer() override;

    const QString &startFolder() const { return m_startFolder; }

    // Replaces the source of the draws, so that a test or a benchmark asks the same words every run.
    void setRandomSource(std::unique_ptr<RandomSource> random);

    // ---- The dictionary -------------------------------------------------------------------------------
    // "Dictionary/Dict.dic" at start, or the path the learner chose.
    const QString &dictionaryPath() const { return m_dictionaryPath; }
    void setDictionaryPath(const QString &path) { m_dictionaryPath = path; }
    // The lines read during a load, until the table has been made of them.
    const TextLines &dictionaryText() const { return m_dictionaryText; }
    const WordTable &wordTable() const { return m_table; }
    int wordCount() const { return m_table.rowCount(); }

    // The dictionary change, also the load at start: forgets the dictionary, its lessons and the pass,
    // reads the file at `path` (or the built-in course when that file cannot be read or its table would
    // take more memory than a dictionary may), parses it, builds
    // the lessons with every one chosen and asks the first question. Every listener is told once, in
    // this order: loadStarting(), dictionaryRead(), loadProgress() for each line, lessonsBuilt(), the
    // first question's signals (mistakesChanged(0), remainingChanged(), questionAsked() or
    // nothingToAsk()), then dictionaryChanged(). The path stays `path` also when the built-in course was
    // read, so that a lesson saved now names the file the learner chose.
    DictionaryRead changeDictionary(const QString &path);
    // The same steps on dictionaryPath() without asking a question and without the progress signals:
    // emits lessonsBuilt() and remainingChanged() with every lesson chosen, and makes a new pass pending.
    DictionaryRead loadDictionary();
    // Forgets the dictionary, its lessons, the pass and the question; emits lessonsBuilt().
    void forgetDictionary();

    // ---- Lessons and parameters -----------------------------------------------------------------------
    const LessonList &lessons() const { return m_lessons; }
    // Records the choice (one flag per lesson) and makes a new pass over it pending; returns the number
    // of chosen words, also emitted as remainingChanged(). The pass starts at the next question. Taken
    // by value, so that the list's own flags can be handed back to count again.
    int chooseLessons(std::vector<bool> chosen);
    const QuizSettings &settings() const { return m_settings; }
    void setSettings(const QuizSettings &settings) { m_settings = settings; }
    // Sound can be switched on: the working folder has an "audio" folder.
    bool soundAvailable() const { return m_soundAvailable; }

    // ---- The quiz ------------------------------------------------------------------------------------
    const QuizSession &session() const { return m_session; }
    const Question &question() const { return m_question; }

    // The next-question step: starts a pending pass, draws the word and its candidates. Emits
    // mistakesChanged(0) when a pass started, remainingChanged(), then questionAsked() or nothingToAsk().
    void nextQuestion();
    // The learner's answers to the shown question: judged, reported through answered() before anything
    // changes (so that a window can show the verdict first), then counted. A wrong answer emits
    // mistakesChanged(); a right one moves on: at the end of a pass remainingChanged(0), passEnded() and,
    // with mistakes made, reviewDue(); then the next question. Return whether the answer was right;
    // without a question nothing happens and false comes back.
    bool answerBox(int box);
    bool answerTyped(const QString &typed);

    // ---- The writing pass --------------------------------------------------------------------------------
    // Starts a writing pass over the chosen lessons, asking only the words whose row is true in
    // `writable` (those with a character the stroke data has), and asks its first question; stopWriting()
    // goes back to a new pass of the answer boxes. Both emit writingChanged() first, then make a new pass
    // pending as a change of the lesson choice does.
    void startWriting(std::vector<bool> writable);
    void stopWriting();
    bool writing() const { return m_writing; }
    // The words a running writing pass may ask, again after another dictionary was loaded.
    void setWritableWords(std::vector<bool> writable);
    // The written answer to the shown question. A miss (false: a hint or the strokes shown) counts as a
    // wrong answer once per showing; a second one in the same showing is ignored. The word written to its
    // last stroke (true) is a right answer: it leaves the pass unless the showing was missed, and the next
    // question follows. Outside a writing pass nothing happens. Returns whether the answer was counted.
    bool answerWritten(bool right);

    // ---- Lesson files ----------------------------------------------------------------------------------
    // Reads and checks a lesson file against this dictionary; changes nothing.
    Result<LessonProgress> readLessonFile(const QString &path) const;
    // The file was saved over another dictionary than the one loaded.
    bool isFromOtherDictionary(const LessonProgress &progress) const;
    // Takes the saved progress as the pass and asks from it.
    void resumeLesson(LessonProgress progress);
    Result<void> saveLessonFile(const QString &path) const;

    // ---- Other passes ----------------------------------------------------------------------------------
    // Turns the words missed in the pass that ended into the next pass; false (and nothing changed)
    // when none were missed. The next question asks from it.
    bool startReview();
    // Starts a pass over the given words, with no mistakes yet, and asks its first question. The words
    // are asked in the given order, a missed one again after the others. Indices that are not words of
    // this dictionary are left out; with none left, the next question starts a new pass over the chosen
    // lessons. When the pass ends it ends like any other.
    void startPassOver(const QList<int> &words);

Q_SIGNALS:
    // A new question shows `word`; question() holds it.
    void questionAsked(int word);
    // There is no word to ask: no lesson chosen, or nothing left in the queue.
    void nothingToAsk();
    // The counters the quiz screen shows.
    void remainingChanged(int count);
    void mistakesChanged(int count);
    // Every answer the learner gives, before its effects.
    void answered(const wordlark::Answer &answer);
    // The last word of a pass was answered right.
    void passEnded(int mistakeCount);
    // After passEnded(): the pass had mistakes, so the review of the missed words is offered now.
    void reviewDue();
    // The lesson list was built anew or emptied.
    void lessonsBuilt();
    // A writing pass started or ended.
    void writingChanged(bool writing);

    // The steps of changeDictionary(), for the windows that show the load. A load begins: the old
    // dictionary is forgotten.
    void loadStarting();
    // The file was read (or the built-in course instead); `read.lineCount` lines are parsed next.
    void dictionaryRead(const wordlark::DictionaryRead &read);
    // Line `line` is parsed next. Emitted for every line, so a listener may run the event loop here.
    void loadProgress(int line);
    // The load ended: the lessons are built, every one chosen, and the first question was asked.
    void dictionaryChanged(const wordlark::DictionaryRead &read);

private:
    void clearDictionary();
    DictionaryRead readDictionary();
    int buildLessons(const std::function<void(int)> &beforeLine);
    bool takeAnswer(Answer answer);
    void beginPass(QList<int> queue, int mistakeCount, QList<MistakeRecord> mistakes,
                   DrawOrder order = DrawOrder::Random);

    QString m_startFolder;
    QString m_dictionaryPath;
    TextLines m_dictionaryText;
    WordTable m_table;
    LessonList m_lessons;
    QuizSettings m_settings;
    QuizSession m_session;
    Question m_question;
    std::unique_ptr<RandomSource> m_random;
    bool m_soundAvailable = false;
    bool m_answeredThisQuestion = false;
    bool m_writingMissed = false;
    bool m_writing = false;
};

} // namespace wordlark
