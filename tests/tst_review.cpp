#include "progress/unitfuxi.h"

#include "dictionary/textdecoding.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <functional>

using wordlark::MistakeRecord;

namespace {

// Answers the next modal window from inside its event loop. A dialog that never shows up, or that the
// answer does not close, is rejected together with every other open modal, so a broken dialog fails the
// test instead of hanging the suite.
class ModalAnswerer final : public QObject {
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> answer)
        : m_answer(std::move(answer))
        , m_deadline(5000)
    {
        connect(&m_poll, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_poll.start(10);
    }

    bool answered() const { return m_answered; }
    // The dialog had to be rejected because nothing answered it or the answer left it open.
    bool gaveUp() const { return m_gaveUp; }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!m_answered) {
            if (modal != nullptr && modal->isVisible()) {
                m_answered = true;
                m_modal = modal;
                m_deadline.setRemainingTime(5000);
                m_answer(modal);
            } else if (m_deadline.hasExpired()) {
                giveUp();
            }
            return;
        }
        if (m_modal.isNull() || !m_modal->isVisible()) {
            m_poll.stop();
        } else if (m_deadline.hasExpired()) {
            giveUp();
        }
    }

    void giveUp()
    {
        m_poll.stop();
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QDialog *>(widget); dialog != nullptr && dialog->isModal())
                dialog->reject();
        }
    }

    std::function<void(QWidget *)> m_answer;
    QTimer m_poll;
    QDeadlineTimer m_deadline;
    QPointer<QWidget> m_modal;
    bool m_answered = false;
    bool m_gaveUp = false;
};

std::function<void(QWidget *)> clickButton(const QString &name)
{
    return [name](QWidget *modal) {
        if (auto *button = modal->findChild<QPushButton *>(name))
            QTest::mouseClick(button, Qt::LeftButton);
    };
}

// Rows: simplified characters in column 1 and the translation in column 4, as the dictionary has them.
wordlark::WordTable makeTable()
{
    const QList<std::pair<QString, QString>> words = {
        {QStringLiteral("你好"), QStringLiteral("здравствуйте")},
        {QStringLiteral("谢谢"), QStringLiteral("спасибо")},
        {QStringLiteral("学生"), QStringLiteral("студент")},
        {QStringLiteral("老师"), QStringLiteral("учитель")},
        {QStringLiteral("朋友"), QStringLiteral("друг")},
    };
    wordlark::WordTable table;
    table.setRowCount(int(words.size()));
    for (int row = 0; row < int(words.size()); ++row) {
        table.setCell(wordlark::PinyinColumn, row, QStringLiteral("pinyin%1").arg(row));
        table.setCell(wordlark::SimplifiedColumn, row, words[row].first);
        table.setCell(wordlark::FullColumn, row, QStringLiteral("full%1").arg(row));
        table.setCell(wordlark::TranslationColumn, row, words[row].second);
    }
    return table;
}

QStringList rowTexts(const QTableWidget *grid, int row)
{
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column) {
        const QTableWidgetItem *item = grid->item(row, column);
        texts << (item != nullptr ? item->text() : QStringLiteral("<none>"));
    }
    return texts;
}

} // namespace

class TestReview final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void appearance();
    void layoutFitsAndIsCentred();
    void listsRecordsInOrder();
    void answers_data();
    void answers();
    void noRecordsStillAnswers();
    void chineseColumnHasAFaceWithGlyphs();
    void cutTranslationsShowInFullOnHover();

private:
    bool show(const QList<MistakeRecord> &mistakes, std::function<void(QWidget *)> answer);
    QTableWidget *grid() const { return m_form->findChild<QTableWidget *>(QStringLiteral("TntStringGrid1")); }

    wordlark::WordTable m_table = makeTable();
    TFormFuxi *m_form = nullptr;
};

void TestReview::init()
{
    m_form = new TFormFuxi;
}

void TestReview::cleanup()
{
    delete m_form;
    m_form = nullptr;
}

// Shows the records and checks that the dialog was answered and closed; returns the learner's choice.
bool TestReview::show(const QList<MistakeRecord> &mistakes, std::function<void(QWidget *)> answer)
{
    ModalAnswerer answerer(std::move(answer));
    const bool learn = m_form->ShowDifficultWords(m_table, mistakes);
    [&] {
        QVERIFY2(answerer.answered(), "the dialog did not show modally");
        QVERIFY2(!answerer.gaveUp(), "the answer did not close the dialog");
    }();
    return learn;
}

void TestReview::appearance()
{
    QCOMPARE(m_form->objectName(), QStringLiteral("FormFuxi"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Трудные слова"));
    QCOMPARE(m_form->minimumSize(), QSize(474, 348));
    QCOMPARE(m_form->maximumSize(), QSize(474, 348));

    auto *label = m_form->findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), QStringLiteral("Повторите эти слова ещё раз"));
    QVERIFY(label->font().bold());

    QTableWidget *table = grid();
    QVERIFY(table != nullptr);
    QCOMPARE(table->columnCount(), 3);
    QCOMPARE(table->rowCount(), 0);
    const QStringList headers = {QStringLiteral("Слово"), QStringLiteral("Перевод"),
                                 QStringLiteral("Ошибки")};
    const QList<int> widths = {130, 200, 67};
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(table->horizontalHeaderItem(column)->text(), headers[column]);
        QCOMPARE(table->columnWidth(column), widths[column]);
    }
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(table->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    QCOMPARE(table->editTriggers(), QAbstractItemView::EditTriggers(QAbstractItemView::NoEditTriggers));

    auto *learn = m_form->findChild<QPushButton *>(QStringLiteral("Button1"));
    auto *close = m_form->findChild<QPushButton *>(QStringLiteral("Button2"));
    QVERIFY(learn != nullptr);
    QVERIFY(close != nullptr);
    QCOMPARE(learn->text(), QStringLiteral("Учить"));
    QCOMPARE(close->text(), QStringLiteral("Закрыть"));
}

void TestReview::layoutFitsAndIsCentred()
{
    QList<MistakeRecord> many;
    for (int i = 0; i < 40; ++i)
        many.append(MistakeRecord{i % 5, i + 1});

    struct Seen {
        QRect client;
        QRect frame;
        QRect screen;
        QList<QRect> children;
        QList<QSize> hints;
        QRect grid;
        int headerLength = 0;
        int viewportWidth = 0;
        QRect learn;
        QRect close;
    };
    auto look = [](Seen &seen) {
        return [&seen](QWidget *modal) {
            seen.client = modal->rect();
            seen.frame = modal->frameGeometry();
            seen.screen = modal->screen()->availableGeometry();
            for (const char *name : {"Label1", "TntStringGrid1", "Button1", "Button2"}) {
                auto *child = modal->findChild<QWidget *>(QLatin1String(name));
                seen.children.append(child != nullptr ? child->geometry() : QRect());
                seen.hints.append(child != nullptr ? child->sizeHint() : QSize());
            }
            auto *table = modal->findChild<QTableWidget *>(QStringLiteral("TntStringGrid1"));
            seen.headerLength = table->horizontalHeader()->length();
            seen.viewportWidth = table->viewport()->width();
            static_cast<QDialog *>(modal)->reject();
        };
    };

    for (int showing = 0; showing < 2; ++showing) {
        Seen seen;
        show(many, look(seen));
        QCOMPARE(seen.client.size(), QSize(474, 348));
        for (qsizetype i = 0; i < seen.children.size(); ++i) {
            QVERIFY2(seen.client.contains(seen.children[i]), qPrintable(QString::number(i)));
            QVERIFY(seen.children[i].width() >= seen.hints[i].width());
        }
        const QRect label = seen.children[0], table = seen.children[1], learn = seen.children[2],
                    close = seen.children[3];
        QVERIFY(label.bottom() < table.top());
        QVERIFY(table.bottom() < learn.top());
        QVERIFY(learn.right() < close.left());
        QCOMPARE(learn.top(), close.top());
        QVERIFY(close.right() > seen.client.width() - 30);
        // All three columns visible without a horizontal scroll bar, beside a vertical one.
        QVERIFY2(seen.headerLength <= seen.viewportWidth,
                 qPrintable(QStringLiteral("%1 > %2").arg(seen.headerLength).arg(seen.viewportWidth)));
        QVERIFY(qAbs(seen.frame.center().x() - seen.screen.center().x()) <= 1);
        QVERIFY(qAbs(seen.frame.center().y() - seen.screen.center().y()) <= 1);
        // Moved away, it must come back to the middle at the next showing.
        m_form->move(seen.screen.topLeft());
    }
}

void TestReview::listsRecordsInOrder()
{
    show({{3, 1}, {0, 2}, {4, 1}}, clickButton(QStringLiteral("Button2")));
    QTableWidget *table = grid();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(rowTexts(table, 0), (QStringList{QStringLiteral("老师"), QStringLiteral("учитель"), "1"}));
    QCOMPARE(rowTexts(table, 1), (QStringList{QStringLiteral("你好"), QStringLiteral("здравствуйте"), "2"}));
    QCOMPARE(rowTexts(table, 2), (QStringList{QStringLiteral("朋友"), QStringLiteral("друг"), "1"}));
    for (int column = 0; column < 3; ++column)
        QVERIFY(!(table->item(0, column)->flags() & Qt::ItemIsEditable));

    // A later showing lists only its own records.
    show({{2, 12}}, clickButton(QStringLiteral("Button2")));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(rowTexts(table, 0), (QStringList{QStringLiteral("学生"), QStringLiteral("студент"), "12"}));
}

void TestReview::answers_data()
{
    QTest::addColumn<std::function<void(QWidget *)>>("answer");
    QTest::addColumn<bool>("learn");

    QTest::newRow("Learn") << clickButton(QStringLiteral("Button1")) << true;
    QTest::newRow("Close") << clickButton(QStringLiteral("Button2")) << false;
    QTest::newRow("close box") << std::function<void(QWidget *)>([](QWidget *modal) {
        modal->windowHandle()->close();
    }) << false;
    QTest::newRow("Escape") << std::function<void(QWidget *)>([](QWidget *modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
    }) << false;
}

void TestReview::answers()
{
    QFETCH(std::function<void(QWidget *)>, answer);
    QFETCH(bool, learn);

    const QList<MistakeRecord> mistakes = {{1, 1}, {2, 2}};
    QCOMPARE(show(mistakes, answer), learn);
    // The dialog is reused: an earlier Learn must not carry over to the next answer.
    QCOMPARE(show(mistakes, clickButton(QStringLiteral("Button2"))), false);
    QCOMPARE(show(mistakes, answer), learn);
}

void TestReview::noRecordsStillAnswers()
{
    show({{1, 1}}, clickButton(QStringLiteral("Button2")));
    // A lesson file can bring a counter without records; the window then lists nothing.
    QCOMPARE(show({}, clickButton(QStringLiteral("Button1"))), true);
    QCOMPARE(grid()->rowCount(), 0);
}

void TestReview::chineseColumnHasAFaceWithGlyphs()
{
    show({{2, 1}}, clickButton(QStringLiteral("Button2")));
    const QFont font = grid()->item(0, 0)->font();
    const QStringList families = font.families();
    QVERIFY(!families.isEmpty());
    QCOMPARE(families.first(), QStringLiteral("SimSun"));
    bool covered = false;
    for (const QString &family : families) {
        QFont face(font);
        face.setFamilies({family});
        const QRawFont raw = QRawFont::fromFont(face);
        covered = covered || (raw.supportsCharacter(QChar(u'学')) && raw.supportsCharacter(QChar(u'生')));
    }
    QVERIFY2(covered, qPrintable(families.join(u", ")));
}

// The translation column keeps its width, so a long translation is cut with "…"; resting the pointer
// on it shows the whole of it. Words have their tips too, for dictionaries with long ones.
void TestReview::cutTranslationsShowInFullOnHover()
{
    QFile builtIn(QStringLiteral(":/dictionary/Dict.dic"));
    QVERIFY(builtIn.open(QIODevice::ReadOnly));
    m_table = wordlark::WordTable();
    wordlark::parseDictionary(wordlark::splitLines(wordlark::decodeText(builtIn.readAll())), m_table);
    QCOMPARE(m_table.rowCount(), 1400);
    QList<MistakeRecord> everyWord;
    for (int word = 0; word < m_table.rowCount(); ++word)
        everyWord.append(MistakeRecord{word, 1});

    QStringList wrongTips;
    QList<int> cutRows;
    QStringList shownTips;
    show(everyWord, [&](QWidget *modal) {
        auto *table = modal->findChild<QTableWidget *>(QStringLiteral("TntStringGrid1"));
        for (int row = 0; row < table->rowCount(); ++row) {
            for (const int column : {wordlark::SimplifiedColumn, wordlark::TranslationColumn}) {
                const QString text = m_table.cell(column, row);
                const QString tip = table->item(row, column == wordlark::SimplifiedColumn ? 0 : 1)->toolTip();
                if (tip != text)
                    wrongTips << QStringLiteral("%1: \"%2\"").arg(text, tip);
            }
            // Wider than its column, the cell is drawn cut.
            if (table->sizeHintForIndex(table->model()->index(row, 1)).width() > table->columnWidth(1))
                cutRows << row;
        }
        // The pointer rests on the first, the middle and the last cut cell.
        for (int row :
             {cutRows.value(0), cutRows.value(cutRows.size() / 2), cutRows.value(cutRows.size() - 1)}) {
            QTableWidgetItem *cell = table->item(row, 1);
            table->scrollToItem(cell);
            const QPoint at = table->visualItemRect(cell).center();
            QHelpEvent hover(QEvent::ToolTip, at, table->viewport()->mapToGlobal(at));
            QApplication::sendEvent(table->viewport(), &hover);
            shownTips << (QToolTip::isVisible() ? QToolTip::text() : QString());
            QToolTip::hideText();
        }
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
    QVERIFY2(wrongTips.isEmpty(), qPrintable(wrongTips.mid(0, 5).join(u'\n')));
    // The column is narrow enough to cut a good many of the course's translations (326 here).
    QVERIFY2(cutRows.size() > 100, qPrintable(QString::number(cutRows.size())));
    const auto translation = [this](int row) { return m_table.cell(wordlark::TranslationColumn, row); };
    QCOMPARE(shownTips,
             (QStringList{translation(cutRows.value(0)), translation(cutRows.value(cutRows.size() / 2)),
                          translation(cutRows.constLast())}));
}

QTEST_MAIN(TestReview)
#include "tst_review.moc"
