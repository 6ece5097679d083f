// Saved lessons, keyboard answers and word sounds through the main window, with the whole program running
// headless: lesson files go through the real file dialogs.

#include "guitestutil.h"

#include "app/mainunit.h"
#include "app/unit1.h"
#include "dictionary/unit4.h"
#include "progress/lessonfile.h"
#include "quiz/maskpanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTreeView>
#include <QUrl>

#include <memory>

using testutil::findWindow;
using testutil::line;
using testutil::ModalScript;
using testutil::ProgramFolder;
using testutil::RunningProgram;
using testutil::sixWords;
using SessionFixture = testutil::QuizFixture;

namespace {

// Every word has two characters, so the mask always shows two squares.
QByteArray twoCharacterWords()
{
    return QByteArray("\xEF\xBB\xBF") + line("tāmen", "他们", "他們", "1", "они") +
           line("wǒmen", "我们", "我們", "1", "мы") + line("nǐmen", "你们", "你們", "1", "вы") +
           line("péngyou", "朋友", "", "1", "друг") + line("lǎoshī", "老师", "老師", "1", "учитель") +
           line("xuésheng", "学生", "學生", "1", "ученик");
}

QByteArray lessonFile(const QByteArray &dictionaryPath, const QList<int> &queue, int mistakeCount,
                      const QList<wordlark::MistakeRecord> &records)
{
    QByteArray out =
        dictionaryPath + "\r\nLength(ArrSmartShuffle)=\r\n" + QByteArray::number(queue.size()) + "\r\n";
    for (int word : queue)
        out += QByteArray::number(word) + "\r\n";
    out += "Mistakes=\r\n" + QByteArray::number(mistakeCount) + "\r\nLength(ArrMistakes)=\r\n" +
           QByteArray::number(records.size()) + "\r\n";
    for (const wordlark::MistakeRecord &record : records)
        out += QByteArray::number(record.word) + "\r\n" + QByteArray::number(record.misses) + "\r\n";
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Types the name into a file dialog's name field and presses Return, as the learner does.
void chooseFile(QWidget *modal, const QString &name)
{
    auto *nameEdit = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameEdit);
    nameEdit->setText(name);
    QTest::keyClick(nameEdit, Qt::Key_Return);
}

// Types text as key presses, one per character; QTest::keyClicks takes Latin-1 only.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void rejectModal(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
}

// A file dialog gets the name; any message box is confirmed.
std::function<void(QWidget *)> openAndConfirm(const QString &name)
{
    return [name](QWidget *modal) {
        if (qobject_cast<QFileDialog *>(modal))
            chooseFile(modal, name);
        else if (auto *box = qobject_cast<QMessageBox *>(modal))
            box->accept();
        else
            rejectModal(modal);
    };
}

// Everything about the session a lesson file can change, plus what is on screen.
struct SessionState {
    QList<int> queue;
    int mistakeCount = 0;
    QList<wordlark::MistakeRecord> mistakes;
    int currentWord = -1;
    QString question;
    QStringList boxes;
    QString remained;
    QString mistakesLabel;

    static SessionState of(const SessionFixture &s)
    {
        return {s.main->session().queue(),
                s.main->session().mistakeCount(),
                s.main->session().mistakes(),
                s.main->session().currentWord(),
                s.question(),
                s.boxTexts(),
                s.remained(),
                s.mistakes()};
    }
};

void compareStates(const SessionState &actual, const SessionState &expected)
{
    QCOMPARE(actual.queue, expected.queue);
    QCOMPARE(actual.mistakeCount, expected.mistakeCount);
    QCOMPARE(actual.mistakes, expected.mistakes);
    QCOMPARE(actual.currentWord, expected.currentWord);
    QCOMPARE(actual.question, expected.question);
    QCOMPARE(actual.boxes, expected.boxes);
    QCOMPARE(actual.remained, expected.remained);
    QCOMPARE(actual.mistakesLabel, expected.mistakesLabel);
}

// A button's caption as the learner reads it, without the mnemonic's marker.
QString caption(const QDialogButtonBox *buttons, QDialogButtonBox::StandardButton which)
{
    const QPushButton *button = buttons ? buttons->button(which) : nullptr;
    return button ? button->text().remove(u'&') : QString();
}

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

class LessonSessionTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    // Lesson files.
    void saveThenOpenRestoresTheSession();
    void cancellingTheLessonDialogsChangesNothing();
    void otherDictionaryIsWarnedAboutOnce_data();
    void otherDictionaryIsWarnedAboutOnce();
    void brokenLessonFileChangesNothing_data();
    void brokenLessonFileChangesNothing();
    void emptyQueueStartsANewPass();
    void lessonDialogsSpeakRussian();
    void lessonDialogShowsWholeColumns();
    void typedLessonNameLeavesNoListBehind();

    // Keyboard answers.
    void keyboardPanelShowsMaskAndTakesFocus();
    void typedRightAnswerRemovesTheWord();
    void typedWrongAnswerKeepsTheQuestion_data();
    void typedWrongAnswerKeepsTheQuestion();
    void keyboardPanelNeedsHiddenAnswers();
    void panelsStayInFrontOfTheShowButton();

    // Word sounds.
    void questionAndRightClickPickTheSound();
    void soundOffChangesNoSource();
    void missingSoundFileIsSkippedSilently();

private:
    void tickKeyboardAnswer(SessionFixture &s);
    void writeSounds(const SessionFixture &s, const QStringList &names);

    QByteArray m_mp3;
};

void LessonSessionTest::initTestCase()
{
    // A tiny real MP3, so that the player has something it can play without an error box; a few bytes of
    // anything when the tools are missing (then only the sources are checked, which never play it).
    QTemporaryDir dir;
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (!espeak.isEmpty() && !lame.isEmpty()) {
        const QString wav = dir.filePath(QStringLiteral("x.wav"));
        const QString mp3 = dir.filePath(QStringLiteral("x.mp3"));
        QProcess::execute(espeak, {QStringLiteral("-v"), QStringLiteral("cmn-latn-pinyin"),
                                   QStringLiteral("-w"), wav, QStringLiteral("hao3")});
        QProcess::execute(lame,
                          {QStringLiteral("-b"), QStringLiteral("32"), QStringLiteral("--quiet"), wav, mp3});
        m_mp3 = readAll(mp3);
    }
}

void LessonSessionTest::writeSounds(const SessionFixture &s, const QStringList &names)
{
    for (const QString &name : names)
        s.folder.write(QStringLiteral("audio/") + name + QStringLiteral(".mp3"), m_mp3);
}

// ---- Lesson files ---------------------------------------------------------------------------------------

void LessonSessionTest::saveThenOpenRestoresTheSession()
{
    SessionFixture s;
    const int word = s.main->session().currentWord();
    const int wrong = s.wrongBox();
    QVERIFY(wrong > 0);
    s.click(wrong);
    s.click(wrong);
    s.click(s.rightBox());
    const QList<int> queue{0, 1, 2, 3, 4, 5};
    const QList<wordlark::MistakeRecord> records{{word, 2}};
    QCOMPARE(s.main->session().queue(), queue);
    QCOMPARE(s.main->session().mistakeCount(), 2);
    QCOMPARE(s.main->session().mistakes(), records);

    QString saveDirectory;
    QString proposedName;
    ModalScript save([&](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            saveDirectory = dialog->directory().absolutePath();
            proposedName = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
            chooseFile(modal, QStringLiteral("lesson one"));
        } else {
            rejectModal(modal);
        }
    });
    s.trigger("N5");
    save.stop();
    QVERIFY(!save.failed());
    QCOMPARE(save.names(), QStringList{QStringLiteral("SaveDialog")});
    QCOMPARE(canonical(saveDirectory), canonical(s.folder.path(QStringLiteral("Saves"))));
    QCOMPARE(proposedName, QStringLiteral("MyLesson"));
    const QString saved = s.folder.path(QStringLiteral("Saves/lesson one.ke4"));
    QVERIFY(QFile::exists(saved));
    QCOMPARE(readAll(saved),
             QByteArray("Dictionary/Dict.dic\r\nLength(ArrSmartShuffle)=\r\n6\r\n0\r\n1\r\n2\r\n3\r\n4\r\n"
                        "5\r\nMistakes=\r\n2\r\nLength(ArrMistakes)=\r\n1\r\n") +
                 QByteArray::number(word) + "\r\n2\r\n");

    // The session moves on, then the file brings it back.
    for (int i = 0; i < 3; ++i)
        s.click(s.rightBox());
    QCOMPARE(s.main->session().queue().size(), 3);

    QString openDirectory;
    ModalScript open([&](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            openDirectory = dialog->directory().absolutePath();
            chooseFile(modal, QStringLiteral("lesson one.ke4"));
        } else {
            rejectModal(modal);
        }
    });
    s.trigger("N4");
    QVERIFY(!open.failed());
    QCOMPARE(open.names(), QStringList{QStringLiteral("OpenLDialog")});
    QCOMPARE(canonical(openDirectory), canonical(s.folder.path(QStringLiteral("Saves"))));
    QCOMPARE(s.main->session().queue(), queue);
    QCOMPARE(s.main->session().mistakeCount(), 2);
    QCOMPARE(s.main->session().mistakes(), records);
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 2"));
    QCOMPARE(s.remained(), QStringLiteral(" Осталось слов: 6"));
    const int asked = s.main->session().currentWord();
    QVERIFY(queue.contains(asked));
    QCOMPARE(s.question(), s.main->wordTable().cell(4, asked));
    QVERIFY(s.rightBox() > 0);

    // The dialogs are kept between uses; the next save starts afresh all the same, after a save to another
    // folder too.
    open.stop();
    QTemporaryDir elsewhere;
    int saves = 0;
    ModalScript saveAgain([&](QWidget *modal) {
        saveDirectory = static_cast<QFileDialog *>(modal)->directory().absolutePath();
        proposedName = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        chooseFile(modal, elsewhere.filePath(QStringLiteral("other %1").arg(++saves)));
    });
    for (int time = 0; time < 2; ++time) {
        saveDirectory.clear();
        proposedName.clear();
        s.trigger("N5");
        QCOMPARE(canonical(saveDirectory), canonical(s.folder.path(QStringLiteral("Saves"))));
        QCOMPARE(proposedName, QStringLiteral("MyLesson"));
    }
    saveAgain.stop();
    QVERIFY(!saveAgain.failed());
    QCOMPARE(saveAgain.names(), (QStringList{QStringLiteral("SaveDialog"), QStringLiteral("SaveDialog")}));
    QVERIFY(QFile::exists(elsewhere.filePath(QStringLiteral("other 2.ke4"))));
}

void LessonSessionTest::cancellingTheLessonDialogsChangesNothing()
{
    SessionFixture s;
    s.click(s.wrongBox());
    const SessionState before = SessionState::of(s);

    ModalScript save(rejectModal);
    s.trigger("N5");
    save.stop();
    QVERIFY(!save.failed());
    QCOMPARE(save.names(), QStringList{QStringLiteral("SaveDialog")});
    QCOMPARE(QDir(s.folder.path(QStringLiteral("Saves"))).entryList(QDir::Files), QStringList());
    compareStates(SessionState::of(s), before);

    s.folder.write(QStringLiteral("Saves/MyLesson.ke4"), lessonFile("Dictionary/Dict.dic", {5}, 7, {{5, 7}}));
    ModalScript open(rejectModal);
    s.trigger("N4");
    QVERIFY(!open.failed());
    QCOMPARE(open.names(), QStringList{QStringLiteral("OpenLDialog")});
    compareStates(SessionState::of(s), before);
}

void LessonSessionTest::otherDictionaryIsWarnedAboutOnce_data()
{
    QTest::addColumn<QByteArray>("dictionaryPath");
    QTest::addColumn<bool>("warned");
    QTest::newRow("same path") << QByteArray("Dictionary/Dict.dic") << false;
    QTest::newRow("other folder") << QByteArray("Other/Dict.dic") << true;
    QTest::newRow("differs only in case") << QByteArray("dictionary/dict.dic") << true;
}

void LessonSessionTest::otherDictionaryIsWarnedAboutOnce()
{
    QFETCH(QByteArray, dictionaryPath);
    QFETCH(bool, warned);
    SessionFixture s;
    const QList<int> queue{4, 1};
    const QList<wordlark::MistakeRecord> records{{4, 1}, {1, 3}};
    s.folder.write(QStringLiteral("Saves/other.ke4"), lessonFile(dictionaryPath, queue, 4, records));

    ModalScript open(openAndConfirm(QStringLiteral("other.ke4")));
    s.trigger("N4");
    QVERIFY(!open.failed());
    if (warned) {
        QCOMPARE(open.names(),
                 (QStringList{QStringLiteral("OpenLDialog"), QStringLiteral("OtherDictionaryWarning")}));
        QCOMPARE(open.seen().at(1).title, QStringLiteral("Предупреждение"));
        QCOMPARE(open.seen().at(1).text, QStringLiteral("В уроке используется другой словарь."));
    } else {
        QCOMPARE(open.names(), QStringList{QStringLiteral("OpenLDialog")});
    }
    // Loaded all the same.
    QCOMPARE(s.main->session().queue(), queue);
    QCOMPARE(s.main->session().mistakeCount(), 4);
    QCOMPARE(s.main->session().mistakes(), records);
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 4"));
    QCOMPARE(s.remained(), QStringLiteral(" Осталось слов: 2"));
    QVERIFY(queue.contains(s.main->session().currentWord()));
}

void LessonSessionTest::brokenLessonFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // empty: any message

    const QByteArray head("Dictionary/Dict.dic\r\nLength(ArrSmartShuffle)=\r\n");
    QTest::newRow("queue length not a number")
        << head + "abc\r\n0\r\nMistakes=\r\n0\r\nLength(ArrMistakes)=\r\n0\r\n"
        << QStringLiteral("'abc' is not a valid integer value");
    QTest::newRow("queue word equal to the dictionary size")
        << head + "2\r\n1\r\n6\r\nMistakes=\r\n0\r\nLength(ArrMistakes)=\r\n0\r\n"
        << QString();
    QTest::newRow("record word equal to the dictionary size")
        << head + "1\r\n1\r\nMistakes=\r\n1\r\nLength(ArrMistakes)=\r\n1\r\n6\r\n1\r\n"
        << QString();
    QTest::newRow("cut inside the queue") << head + "3\r\n0\r\n1\r\n" << QString();
    QTest::newRow("cut after the queue") << head + "1\r\n0\r\nMistakes=\r\n" << QString();
    QTest::newRow("cut inside the records")
        << head + "1\r\n0\r\nMistakes=\r\n2\r\nLength(ArrMistakes)=\r\n1\r\n0\r\n"
        << QString();
    QTest::newRow("empty file") << QByteArray() << QString();
}

void LessonSessionTest::brokenLessonFileChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    SessionFixture s;
    s.click(s.wrongBox());
    s.click(s.rightBox());
    const SessionState before = SessionState::of(s);
    QCOMPARE(before.mistakeCount, 1);

    s.folder.write(QStringLiteral("Saves/broken.ke4"), bytes);
    ModalScript open(openAndConfirm(QStringLiteral("broken.ke4")));
    s.trigger("N4");
    QVERIFY(!open.failed());
    QCOMPARE(open.names(), (QStringList{QStringLiteral("OpenLDialog"), QStringLiteral("LessonFileError")}));
    QVERIFY(!open.seen().at(1).text.isEmpty());
    if (!message.isEmpty())
        QCOMPARE(open.seen().at(1).text, message);
    compareStates(SessionState::of(s), before);
}

void LessonSessionTest::emptyQueueStartsANewPass()
{
    SessionFixture s;
    s.click(s.wrongBox());
    s.click(s.rightBox());
    s.click(s.rightBox());
    QCOMPARE(s.main->session().queue().size(), 5);

    s.folder.write(QStringLiteral("Saves/done.ke4"), lessonFile("Dictionary/Dict.dic", {}, 3, {{2, 3}}));
    ModalScript open(openAndConfirm(QStringLiteral("done.ke4")));
    s.trigger("N4");
    QVERIFY(!open.failed());
    QCOMPARE(open.names(), QStringList{QStringLiteral("OpenLDialog")});
    QCOMPARE(s.main->session().queue(), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(s.main->session().mistakeCount(), 0);
    QCOMPARE(s.main->session().mistakes(), QList<wordlark::MistakeRecord>());
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 0"));
    QCOMPARE(s.remained(), QStringLiteral(" Осталось слов: 6"));
    QVERIFY(s.main->session().hasCurrentWord());
    QCOMPARE(s.question(), s.main->wordTable().cell(4, s.main->session().currentWord()));
}

// Qt's own file dialog and its questions are in the program's language, as the rest of its windows.
void LessonSessionTest::lessonDialogsSpeakRussian()
{
    QVERIFY2(QFile::exists(QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                               .filePath(QStringLiteral("qtbase_ru.qm"))),
             "Qt's translations are not installed (scripts/install-deps.sh installs them)");
    SessionFixture s;
    s.folder.write(QStringLiteral("Saves/MyLesson.ke4"), lessonFile("Dictionary/Dict.dic", {5}, 7, {{5, 7}}));

    QStringList openCaptions;
    ModalScript open([&](QWidget *modal) {
        const auto *buttons = modal->findChild<QDialogButtonBox *>();
        openCaptions = {caption(buttons, QDialogButtonBox::Open), caption(buttons, QDialogButtonBox::Cancel)};
        rejectModal(modal);
    });
    s.trigger("N4");
    open.stop();
    QVERIFY(!open.failed());
    QCOMPARE(open.names(), QStringList{QStringLiteral("OpenLDialog")});
    QCOMPARE(openCaptions, (QStringList{QStringLiteral("Открыть"), QStringLiteral("Отмена")}));

    // Saving over the lesson file asks in Russian; "Да" replaces it.
    QStringList saveCaptions;
    QStringList questionCaptions;
    ModalScript save([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            questionCaptions = {box->button(QMessageBox::Yes)->text().remove(u'&'),
                                box->button(QMessageBox::No)->text().remove(u'&')};
            box->button(QMessageBox::Yes)->click();
            return;
        }
        const auto *buttons = modal->findChild<QDialogButtonBox *>();
        saveCaptions = {caption(buttons, QDialogButtonBox::Save), caption(buttons, QDialogButtonBox::Cancel)};
        // Later, so that the question the name brings up, opened from inside the name field's Return, is
        // answered by the next poll.
        QMetaObject::invokeMethod(
            modal, [modal] { chooseFile(modal, QStringLiteral("MyLesson")); }, Qt::QueuedConnection);
    });
    s.trigger("N5");
    save.stop();
    QVERIFY(!save.failed());
    QCOMPARE(save.seen().size(), 2);
    QCOMPARE(saveCaptions, (QStringList{QStringLiteral("Сохранить"), QStringLiteral("Отмена")}));
    const QString question = save.seen().at(1).text;
    QVERIFY2(question.startsWith(QStringLiteral("MyLesson.ke4 уже существует")), qPrintable(question));
    QCOMPARE(questionCaptions, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    QVERIFY(readAll(s.folder.path(QStringLiteral("Saves/MyLesson.ke4")))
                .contains("Length(ArrSmartShuffle)=\r\n6\r\n"));
}

// Names, sizes, types and dates in the file list are not cut short.
// The file dialogs' own pop-up lists (the completion of a typed name) that are on screen.
QList<QWidget *> visiblePopups()
{
    QList<QWidget *> popups;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Popup)
            popups.append(window);
    return popups;
}

// The learner types the start of a lesson's name, the dialog lists the matching files under the name
// field, and Return opens the lesson: the list goes with the dialog, and the next click is an answer.
void LessonSessionTest::typedLessonNameLeavesNoListBehind()
{
    SessionFixture s;
    const QByteArray lesson = lessonFile("Dictionary/Dict.dic", {0, 1, 2}, 0, {});
    for (const char *name : {"les1.ke4", "les2.ke4"})
        s.folder.write(QStringLiteral("Saves/") + QString::fromLatin1(name), lesson);

    bool listed = false;
    ModalScript open([&listed](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            rejectModal(modal);
            return;
        }
        // The list matches names once the dialog has read the folder, which it does in the background.
        const auto *files = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
        QTRY_COMPARE_WITH_TIMEOUT(files->model()->rowCount(files->rootIndex()), 2, 5000);
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        nameEdit->clear();
        QTest::keyClicks(nameEdit, QStringLiteral("les1"));
        listed = visiblePopups().size() == 1;
        // On screen Return reaches the name field itself, not the list's own key handling: the list hands
        // the keyboard on to the field.
        QTest::keyClick(nameEdit, Qt::Key_Return);
    });
    s.trigger("N4");
    QVERIFY(!open.failed());
    QVERIFY(listed);
    QCOMPARE(open.names(), QStringList{QStringLiteral("OpenLDialog")});
    QCOMPARE(s.main->session().queue(), (QList<int>{0, 1, 2}));

    // A click on a wrong candidate, sent to the window as the pointer sends it, counts as a mistake.
    const int wrong = s.wrongBox();
    QVERIFY(wrong > 0);
    QWidget *viewport = s.box(wrong)->viewport();
    QTest::mouseClick(s.main->windowHandle(), Qt::LeftButton, {}, viewport->mapTo(s.main, QPoint(20, 10)));
    QCOMPARE(s.main->session().mistakeCount(), 1);
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 1"));
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QCOMPARE(visiblePopups(), QList<QWidget *>{});
}

void LessonSessionTest::lessonDialogShowsWholeColumns()
{
    SessionFixture s;
    s.folder.write(QStringLiteral("Saves/MyLesson.ke4"), lessonFile("Dictionary/Dict.dic", {5}, 7, {{5, 7}}));
    QFile big(s.folder.path(QStringLiteral("Saves/урок девятнадцатый, повторение слов.ke4")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(15'800'000)); // "15.07 MiB", without writing it
    big.close();

    QStringList cut;
    bool listed = false;
    ModalScript open([&](QWidget *modal) {
        const auto *details = modal->findChild<QTreeView *>(QStringLiteral("treeView"));
        if (details) {
            const QAbstractItemModel *files = details->model();
            const auto rowsFilled = [&] {
                for (int row = 0; row < files->rowCount(details->rootIndex()); ++row)
                    if (files->index(row, 1, details->rootIndex()).data().toString().isEmpty())
                        return false;
                return files->rowCount(details->rootIndex()) == 2;
            };
            listed = QTest::qWaitFor(rowsFilled, 5000);
            // What the longest text of each column needs (public in the base).
            const QAbstractItemView *view = details;
            for (int column = 0; column < details->header()->count(); ++column)
                if (details->header()->sectionSize(column) < view->sizeHintForColumn(column))
                    cut.append(files->headerData(column, Qt::Horizontal).toString());
        }
        rejectModal(modal);
    });
    s.trigger("N4");
    open.stop();
    QVERIFY(!open.failed());
    QVERIFY(listed);
    QCOMPARE(cut, QStringList());
}

// ---- Keyboard answers ---------------------------------------------------------------------------------

void LessonSessionTest::tickKeyboardAnswer(SessionFixture &s)
{
    QVERIFY(testutil::control<QCheckBox>(s.options, QStringLiteral("CheckBox%1").arg(6 + 1))->isChecked());
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckShowBut"), Qt::LeftButton);
    QVERIFY(testutil::control<QCheckBox>(s.options, "CheckShowBut")->isChecked());
    QVERIFY(testutil::control<QCheckBox>(s.options, "CoolGirl")->isEnabled());
    QVERIFY(testutil::control<QCheckBox>(s.options, "CheckBoxMask")->isEnabled());
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CoolGirl"), Qt::LeftButton);
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckBoxMask"), Qt::LeftButton);
    QVERIFY(testutil::control<QCheckBox>(s.options, "CoolGirl")->isChecked());
    QVERIFY(testutil::control<QCheckBox>(s.options, "CheckBoxMask")->isChecked());
    s.main->Button1Click();
}

void LessonSessionTest::keyboardPanelShowsMaskAndTakesFocus()
{
    SessionFixture s(twoCharacterWords());
    tickKeyboardAnswer(s);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(testutil::control<QFrame>(s.main, "PanelAnswer")->isVisible());
    QVERIFY(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->text().isEmpty());
    QCOMPARE(s.main->focusWidget(),
             static_cast<QWidget *>(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")));
    QVERIFY(testutil::control<MaskPanel>(s.main, "PanelMask")->isVisible());
    const int word = s.main->session().currentWord();
    QCOMPARE(s.main->wordTable().cell(1, word).size(), 2);
    // What the mask shows is readable as its text property, as a label's text is.
    QCOMPARE(testutil::control<MaskPanel>(s.main, "PanelMask")->property("text").toString(),
             QString(2, QChar(0x7F)));

    // Text left in the field from the last question is gone with the next one.
    testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->setText(QStringLiteral("他"));
    s.main->Button1Click();
    QVERIFY(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->text().isEmpty());
    QCOMPARE(testutil::control<MaskPanel>(s.main, "PanelMask")->text(), QString(2, QChar(0x7F)));
}

void LessonSessionTest::typedRightAnswerRemovesTheWord()
{
    SessionFixture s(twoCharacterWords());
    tickKeyboardAnswer(s);
    if (QTest::currentTestFailed())
        return;
    const int word = s.main->session().currentWord();
    typeText(testutil::control<QLineEdit>(s.main, "CoolGirlEdit"), s.main->wordTable().cell(1, word));
    QCOMPARE(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->text(), s.main->wordTable().cell(1, word));
    QTest::keyClick(testutil::control<QLineEdit>(s.main, "CoolGirlEdit"), Qt::Key_Return);
    QVERIFY(!s.main->session().queue().contains(word));
    QVERIFY(s.main->session().hasCurrentWord());
    QVERIFY(s.main->session().currentWord() != word);
    QCOMPARE(s.remained(), QStringLiteral(" Осталось слов: 5"));
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 0"));
    // The panel is ready for the next word.
    QVERIFY(testutil::control<QFrame>(s.main, "PanelAnswer")->isVisible());
    QVERIFY(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->text().isEmpty());
    QCOMPARE(s.question(), s.main->wordTable().cell(4, s.main->session().currentWord()));
}

void LessonSessionTest::typedWrongAnswerKeepsTheQuestion_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("trailing blank") << 0;
    QTest::newRow("leading blank") << 1;
    QTest::newRow("first character only") << 2;
    QTest::newRow("pinyin") << 3;
    QTest::newRow("nothing") << 4;
}

void LessonSessionTest::typedWrongAnswerKeepsTheQuestion()
{
    QFETCH(int, kind);
    SessionFixture s(twoCharacterWords());
    tickKeyboardAnswer(s);
    if (QTest::currentTestFailed())
        return;
    const int word = s.main->session().currentWord();
    const QString right = s.main->wordTable().cell(1, word);
    const QString typed =
        QStringList{right + u' ', u' ' + right, right.left(1), s.main->wordTable().cell(0, word), QString()}
            .at(kind);
    const QString question = s.question();
    testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->setText(typed);
    QTest::mouseClick(testutil::control<QPushButton>(s.main, "CoolGirlOK"), Qt::LeftButton);

    QCOMPARE(s.main->session().mistakeCount(), 1);
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 1"));
    QCOMPARE(s.main->session().mistakes(), (QList<wordlark::MistakeRecord>{{word, 1}}));
    for (int i = 1; i <= runningTrainer()->question().count(); ++i) {
        QVERIFY(s.box(i)->isVisible());
        QCOMPARE(s.box(i)->palette().color(QPalette::Base), QColor(221, 0, 0));
    }
    QVERIFY(!testutil::control<QFrame>(s.main, "PanelAnswer")->isVisible());
    QVERIFY(!testutil::control<MaskPanel>(s.main, "PanelMask")->isVisible());
    QVERIFY(!testutil::control<QPushButton>(s.main, "ButtonShow")->isVisible());
    QCOMPARE(s.main->session().currentWord(), word);
    QCOMPARE(s.question(), question);

    // The right box now moves on, and the missed word stays to be asked again.
    s.click(s.rightBox());
    QVERIFY(s.main->session().queue().contains(word));
    QCOMPARE(s.main->session().queue().size(), 6);
    QCOMPARE(s.main->session().mistakeCount(), 1);
    QVERIFY(!s.main->session().missedThisQuestion());
    QCOMPARE(s.question(), s.main->wordTable().cell(4, s.main->session().currentWord()));
    QVERIFY(testutil::control<QFrame>(s.main, "PanelAnswer")->isVisible());
    QVERIFY(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")->text().isEmpty());
}

void LessonSessionTest::keyboardPanelNeedsHiddenAnswers()
{
    SessionFixture s(twoCharacterWords());
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckShowBut"), Qt::LeftButton);
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CoolGirl"), Qt::LeftButton);
    QVERIFY(testutil::control<QCheckBox>(s.options, "CoolGirl")->isChecked());
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckShowBut"), Qt::LeftButton);
    QVERIFY(!testutil::control<QCheckBox>(s.options, "CheckShowBut")->isChecked());
    QVERIFY(testutil::control<QCheckBox>(s.options, "CoolGirl")->isChecked());
    s.main->Button1Click();
    QVERIFY(!testutil::control<QFrame>(s.main, "PanelAnswer")->isVisible());
    QVERIFY(!testutil::control<QPushButton>(s.main, "ButtonShow")->isVisible());
}

// Taking the hidden answers off and on again must not bury the keyboard panel and the mask under the
// show-answers button.
void LessonSessionTest::panelsStayInFrontOfTheShowButton()
{
    SessionFixture s(twoCharacterWords());
    tickKeyboardAnswer(s);
    if (QTest::currentTestFailed())
        return;
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckShowBut"), Qt::LeftButton);
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckShowBut"), Qt::LeftButton);
    QVERIFY(testutil::control<QCheckBox>(s.options, "CheckShowBut")->isChecked());
    QVERIFY(testutil::control<QPushButton>(s.main, "ButtonShow")->isVisible());

    QWidget *screen = s.main->centralWidget();
    for (QWidget *panel : {static_cast<QWidget *>(testutil::control<QFrame>(s.main, "PanelAnswer")),
                           static_cast<QWidget *>(testutil::control<MaskPanel>(s.main, "PanelMask"))}) {
        QVERIFY(panel->isVisible());
        QWidget *top = screen->childAt(panel->geometry().center());
        QVERIFY2(top == panel || panel->isAncestorOf(top), qPrintable(top ? top->objectName() : QString()));
    }
    QCOMPARE(s.main->focusWidget(),
             static_cast<QWidget *>(testutil::control<QLineEdit>(s.main, "CoolGirlEdit")));
}

// ---- Word sounds --------------------------------------------------------------------------------------

void LessonSessionTest::questionAndRightClickPickTheSound()
{
    if (m_mp3.isEmpty())
        QSKIP("espeak-ng and lame are needed to make a playable sound file");
    SessionFixture s(sixWords(), true);
    // Every word of the dictionary has its sound.
    writeSounds(s, {QStringLiteral("hao3"), QStringLiteral("ni3"), QStringLiteral("wo3"),
                    QStringLiteral("ma"), QStringLiteral("ta1men"), QStringLiteral("wo3men")});
    QVERIFY(testutil::control<QCheckBox>(s.options, "CheckBoxSound")->isEnabled());
    QVERIFY(testutil::control<QCheckBox>(s.options, "CheckBoxSound")->isChecked());
    QMediaPlayer *player = s.player();
    QVERIFY(player);
    const auto soundOf = [&](int word) {
        const QString pinyin = s.main->wordTable().cell(0, word);
        const QHash<QString, QString> names{{QStringLiteral("hǎo"), QStringLiteral("hao3")},
                                            {QStringLiteral("nǐ"), QStringLiteral("ni3")},
                                            {QStringLiteral("wǒ"), QStringLiteral("wo3")},
                                            {QStringLiteral("ma"), QStringLiteral("ma")},
                                            {QStringLiteral("tāmen"), QStringLiteral("ta1men")},
                                            {QStringLiteral("wǒmen"), QStringLiteral("wo3men")}};
        return canonical(
            s.folder.path(QStringLiteral("audio/") + names.value(pinyin) + QStringLiteral(".mp3")));
    };

    s.main->Button1Click();
    QTRY_COMPARE(canonical(player->source().toLocalFile()), soundOf(s.main->session().currentWord()));

    const int other = s.wrongBox();
    QVERIFY(other > 0);
    s.click(other, Qt::RightButton);
    QTRY_COMPARE(canonical(player->source().toLocalFile()),
                 soundOf(runningTrainer()->question().wordInBox(other)));
    QCOMPARE(s.mistakes(), QStringLiteral("Ошибок: 0"));

    // A right click on the question says the asked word again.
    QTest::mouseClick(testutil::control<QTextEdit>(s.main, "TntRichEdit0")->viewport(), Qt::RightButton, {},
                      QPoint(20, 10));
    QTRY_COMPARE(canonical(player->source().toLocalFile()), soundOf(s.main->session().currentWord()));
    // The player plays it to the end without complaint.
    QTRY_COMPARE_WITH_TIMEOUT(player->mediaStatus(), QMediaPlayer::EndOfMedia, 20000);
    QCOMPARE(player->error(), QMediaPlayer::NoError);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void LessonSessionTest::soundOffChangesNoSource()
{
    if (m_mp3.isEmpty())
        QSKIP("espeak-ng and lame are needed to make a playable sound file");
    SessionFixture s(sixWords(), true);
    writeSounds(s, {QStringLiteral("hao3"), QStringLiteral("ni3"), QStringLiteral("wo3"),
                    QStringLiteral("ma"), QStringLiteral("ta1men"), QStringLiteral("wo3men")});
    QMediaPlayer *player = s.player();
    QVERIFY(player);
    QTest::mouseClick(testutil::control<QCheckBox>(s.options, "CheckBoxSound"), Qt::LeftButton);
    QVERIFY(!testutil::control<QCheckBox>(s.options, "CheckBoxSound")->isChecked());
    const QUrl before = player->source();
    for (int i = 0; i < 5; ++i) {
        s.main->Button1Click();
        QCoreApplication::processEvents();
        QCOMPARE(player->source(), before);
        for (int box = 1; box <= runningTrainer()->question().count(); ++box) {
            s.click(box, Qt::RightButton);
            QCoreApplication::processEvents();
            QCOMPARE(player->source(), before);
        }
    }
}

void LessonSessionTest::missingSoundFileIsSkippedSilently()
{
    if (m_mp3.isEmpty())
        QSKIP("espeak-ng and lame are needed to make a playable sound file");
    SessionFixture s(sixWords(), true);
    // Only hǎo has its sound.
    writeSounds(s, {QStringLiteral("hao3")});
    QMediaPlayer *player = s.player();
    QVERIFY(player);
    const QString hao = canonical(s.folder.path(QStringLiteral("audio/hao3.mp3")));

    // Ask until hǎo has sounded (at least once: the first question came before its file), then until a
    // word without a file is asked.
    int asked = 0;
    do
        s.main->Button1Click();
    while (s.main->session().currentWord() != 0 && ++asked < 200);
    QCOMPARE(s.main->session().currentWord(), 0);
    QTRY_COMPARE(canonical(player->source().toLocalFile()), hao);
    for (int guard = 0; guard < 200 && s.main->session().currentWord() == 0; ++guard)
        s.main->Button1Click();
    QVERIFY(s.main->session().currentWord() != 0);
    QCoreApplication::processEvents();
    QCOMPARE(canonical(player->source().toLocalFile()), hao);

    const int other = s.wrongBox();
    QVERIFY(other > 0);
    if (runningTrainer()->question().wordInBox(other) != 0) {
        s.click(other, Qt::RightButton);
        QCoreApplication::processEvents();
        QCOMPARE(canonical(player->source().toLocalFile()), hao);
    }
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!(qobject_cast<QMessageBox *>(window) && window->isVisible()),
                 qPrintable(window->objectName()));
}

QTEST_MAIN(LessonSessionTest)
#include "tst_lessonsession.moc"
