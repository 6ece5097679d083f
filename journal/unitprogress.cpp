#include "journal/unitprogress.h"

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "journal/journal.h"
#include "ui/dialogplacement.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

using namespace wordlark;

namespace {

const QColor RightColour(0x3c, 0x9d, 0x4a);
const QColor AnswerColour(0x4a, 0x78, 0xc2);
const QColor LearningColour(0xe8, 0xa3, 0x3d);
const QColor UnmetColour(0xc8, 0xc8, 0xc8);
const QColor LapseColour(0xc9, 0x4c, 0x4c);

// The least a chart is given, whatever its labels.
constexpr QSize SmallestChart(400, 260);

QChartView *newChartView(const QString &name, QWidget *parent)
{
    auto *view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(SmallestChart);
    return view;
}

// A fresh chart for the view with the title; the view owns it and drops the one before.
QChart *freshChart(QChartView *view, const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
    return chart;
}

QBarSet *barSet(const QString &label, const QColor &colour)
{
    auto *set = new QBarSet(label);
    set->setColor(colour);
    set->setBorderColor(colour);
    return set;
}

QValueAxis *countAxis(qreal largest)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, std::max<qreal>(largest, 4));
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->applyNiceNumbers();
    return axis;
}

// The faces of the category labels: dates and lesson names a size smaller than the words, so that 30 days
// and 50 lessons stand side by side on the smallest screen.
constexpr qreal NumberLabelPoints = 7;
constexpr qreal WordLabelPoints = 7.5;

// Whole labels in a small face: a cut label ("…") says nothing.
QBarCategoryAxis *categoryAxis(const QStringList &categories, qreal points = NumberLabelPoints)
{
    auto *axis = new QBarCategoryAxis;
    axis->append(categories);
    axis->setTruncateLabels(false);
    QFont font = axis->labelsFont();
    font.setPointSizeF(points);
    axis->setLabelsFont(font);
    return axis;
}

// The room a category needs for its label along the axis: the label's height (a turned label's as well,
// standing across the axis) or its width, measured as the chart measures its labels (a text document with
// a half-pixel margin). The chart hides a label that has less room, at the ends of the axis always.
qreal labelPitch(QBarCategoryAxis *axis, bool byHeight)
{
    QGraphicsTextItem text;
    text.setFont(axis->labelsFont());
    text.document()->setDocumentMargin(0.5);
    qreal pitch = 0;
    for (const QString &label : axis->categories()) {
        text.setHtml(label.toHtmlEscaped());
        const QRectF size = text.boundingRect();
        pitch = std::max(pitch, byHeight ? size.height() : size.width());
    }
    // Labels stand on whole pixels: a category a whole number of pixels high never loses its label to
    // the rounding.
    return std::ceil(pitch);
}

// Makes the view large enough for every category of the axis to keep its label; `besides` is what the
// chart's other parts (value axes, title, legend, margins) take along the axis.
void makeRoomForLabels(QChartView *view, QBarCategoryAxis *axis, Qt::Orientation along, int besides)
{
    const bool turned = axis->labelsAngle() % 180 != 0;
    const int needed =
        besides + int(std::ceil(axis->count() * labelPitch(axis, (along == Qt::Vertical) != turned)));
    if (along == Qt::Horizontal)
        view->setMinimumWidth(std::max(SmallestChart.width(), needed));
    else
        view->setMinimumHeight(std::max(SmallestChart.height(), needed));
}

// Adds the series with its axes: `bottom` along the foot of the chart, `left` up its side.
void attach(QChart *chart, QAbstractSeries *series, QAbstractAxis *bottom, QAbstractAxis *left)
{
    chart->addSeries(series);
    chart->addAxis(bottom, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);
    series->attachAxis(bottom);
    series->attachAxis(left);
}

// "shū 书 — книга", cut to a length a bar's label can hold.
QString lapsedLabel(const LapsedWord &word)
{
    QString label = word.pinyin + u' ' + word.simplified;
    if (!word.translation.isEmpty())
        label += QStringLiteral(" — ") + word.translation;
    constexpr qsizetype Longest = 32;
    if (label.size() > Longest)
        label = label.left(Longest - 1) + u'…';
    return label;
}

} // namespace

TFormProgress::TFormProgress(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QStringLiteral("Прогресс"));

    m_labelSummary = new QLabel(this);
    m_labelSummary->setObjectName(QStringLiteral("LabelSummary"));
    m_chartAnswers = newChartView(QStringLiteral("ChartAnswers"), this);
    m_chartLessons = newChartView(QStringLiteral("ChartLessons"), this);
    m_chartDue = newChartView(QStringLiteral("ChartDue"), this);
    m_chartLapses = newChartView(QStringLiteral("ChartLapses"), this);
    m_button1 = new QPushButton(QStringLiteral("Закрыть"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    connect(m_button1, &QPushButton::clicked, this, &TFormProgress::Button1Click);

    auto *charts = new QGridLayout;
    charts->addWidget(m_chartAnswers, 0, 0);
    charts->addWidget(m_chartLessons, 0, 1);
    charts->addWidget(m_chartDue, 1, 0);
    charts->addWidget(m_chartLapses, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_labelSummary, 1);
    buttons->addWidget(m_button1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(charts, 1);
    layout->addLayout(buttons);
    // Room for the four pictures side by side; ShowProgress() keeps the window on the screen.
    resize(1400, 900);
}

void TFormProgress::ShowProgress(const Journal &journal, const WordTable &table, const LessonList &lessons,
                                 qint64 nowMs, int utcOffsetSeconds)
{
    drawProgress(journal, table, lessons, nowMs, utcOffsetSeconds);
    // Four pictures want room, but never more than the screen has, frame included.
    fitOnScreen(this, size());
    exec();
}

void TFormProgress::drawProgress(const Journal &journal, const WordTable &table, const LessonList &lessons,
                                 qint64 nowMs, int utcOffsetSeconds)
{
    drawAnswers(journal, nowMs, utcOffsetSeconds);
    drawLessons(journal, lessons);
    drawDue(journal, nowMs, utcOffsetSeconds);
    drawLapses(journal, table);
    QString summary = QStringLiteral("Слов в журнале: %1. К повторению в выбранных уроках: %2.")
                          .arg(journal.knownWordCount())
                          .arg(journal.dueCount(lessons, nowMs));
    if (!m_syncSummary.isEmpty())
        summary += u'\n' + m_syncSummary;
    m_labelSummary->setText(summary);
}

void TFormProgress::drawAnswers(const Journal &journal, qint64 nowMs, int utcOffsetSeconds)
{
    const QList<DayAnswers> days = journal.answersPerDay(nowMs, utcOffsetSeconds, AnswerDays);
    QChart *chart = freshChart(m_chartAnswers, QStringLiteral("Ответы за %1 дней").arg(AnswerDays));
    QBarSet *answers = barSet(QStringLiteral("Ответы"), AnswerColour);
    auto *share = new QLineSeries;
    share->setName(QStringLiteral("Верно с первой попытки, %"));
    share->setColor(RightColour);
    // A line of one point draws nothing: the days are marked as dots as well.
    auto *dots = new QScatterSeries;
    dots->setColor(RightColour);
    dots->setBorderColor(RightColour);
    dots->setMarkerSize(7);
    QStringList labels;
    int most = 0;
    for (qsizetype i = 0; i < days.size(); ++i) {
        const DayAnswers &day = days[i];
        *answers << day.answers;
        most = std::max(most, day.answers);
        if (day.firstAnswers > 0) {
            const QPointF point(qreal(i), 100.0 * day.rightFirstAnswers / day.firstAnswers);
            share->append(point);
            dots->append(point);
        }
        // Day and month: a day of the month alone comes twice in 30 days, and the axis would merge them.
        labels << day.day.toString(QStringLiteral("dd.MM"));
    }
    auto *bars = new QBarSeries;
    bars->append(answers);
    auto *dayAxis = categoryAxis(labels);
    dayAxis->setLabelsAngle(-90);
    attach(chart, bars, dayAxis, countAxis(most));
    // Beside the days: the count axis on the left and the percentages on the right.
    makeRoomForLabels(m_chartAnswers, dayAxis, Qt::Horizontal, 95);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%d%%"));
    chart->addAxis(percent, Qt::AlignRight);
    for (QXYSeries *series : std::initializer_list<QXYSeries *>{share, dots}) {
        chart->addSeries(series);
        series->attachAxis(dayAxis);
        series->attachAxis(percent);
    }
    chart->legend()->markers(dots).constFirst()->setVisible(false);
}

void TFormProgress::drawLessons(const Journal &journal, const LessonList &lessons)
{
    const QList<LessonStanding> standing = groupLessons(journal.lessonProgress(lessons), LessonBars);
    QChart *chart = freshChart(m_chartLessons, QStringLiteral("Слова по урокам"));
    QBarSet *known = barSet(QStringLiteral("Выучено"), RightColour);
    QBarSet *learning = barSet(QStringLiteral("Учатся"), LearningColour);
    QBarSet *notMet = barSet(QStringLiteral("Ещё не встречались"), UnmetColour);
    QStringList labels;
    int largest = 0;
    for (const LessonStanding &lesson : standing) {
        *known << lesson.known;
        *learning << lesson.learning;
        *notMet << lesson.notMet;
        largest = std::max(largest, lesson.known + lesson.learning + lesson.notMet);
        labels << lesson.label;
    }
    auto *series = new QStackedBarSeries;
    series->append({known, learning, notMet});
    series->setBarWidth(0.8);
    auto *axis = categoryAxis(labels);
    attach(chart, series, axis, countAxis(largest));
    // Names lie along the axis while they are few and take no more room than the most bars do turned;
    // long names of a few lessons would otherwise widen the window past the screen.
    const bool fitLying =
        labels.size() <= 16 && labelPitch(axis, false) * labels.size() <= labelPitch(axis, true) * LessonBars;
    if (!fitLying)
        axis->setLabelsAngle(-90);
    makeRoomForLabels(m_chartLessons, axis, Qt::Horizontal, 50);
}

void TFormProgress::drawDue(const Journal &journal, qint64 nowMs, int utcOffsetSeconds)
{
    const QList<int> due = journal.dueByDay(nowMs, utcOffsetSeconds, DueDays);
    QChart *chart = freshChart(m_chartDue, QStringLiteral("К повторению на %1 дней вперёд").arg(DueDays));
    chart->legend()->hide();
    QBarSet *words = barSet(QStringLiteral("Слов"), LearningColour);
    QStringList labels;
    const QDate today = QDateTime::fromMSecsSinceEpoch(nowMs, Qt::OffsetFromUTC, utcOffsetSeconds).date();
    int most = 0;
    for (qsizetype i = 0; i < due.size(); ++i) {
        *words << due[i];
        most = std::max(most, due[i]);
        labels << (i == 0 ? QStringLiteral("сегодня") : today.addDays(i).toString(QStringLiteral("dd.MM")));
    }
    words->setLabelColor(Qt::black);
    auto *series = new QBarSeries;
    series->append(words);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    auto *axis = categoryAxis(labels);
    attach(chart, series, axis, countAxis(most * 1.15));
    axis->setLabelsAngle(-90);
    makeRoomForLabels(m_chartDue, axis, Qt::Horizontal, 55);
}

void TFormProgress::drawLapses(const Journal &journal, const WordTable &table)
{
    const QList<LapsedWord> words = journal.mostLapsed(table, LapsedWords);
    QChart *chart = freshChart(m_chartLapses, words.isEmpty() ? QStringLiteral("Забытых слов пока нет")
                                                              : QStringLiteral("Чаще всего забываются"));
    chart->legend()->hide();
    QBarSet *lapses = barSet(QStringLiteral("Забыто раз"), LapseColour);
    lapses->setLabelColor(Qt::black);
    QStringList labels;
    int most = 0;
    // The bars run from the bottom up: the most forgotten word is added last, to stand on top.
    for (qsizetype i = words.size() - 1; i >= 0; --i) {
        *lapses << words[i].lapses;
        most = std::max(most, words[i].lapses);
        labels << lapsedLabel(words[i]);
    }
    auto *series = new QHorizontalBarSeries;
    series->append(lapses);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    auto *wordAxis = categoryAxis(labels, WordLabelPoints);
    attach(chart, series, countAxis(most), wordAxis);
    // Above and below the words: the title and the count axis.
    makeRoomForLabels(m_chartLapses, wordAxis, Qt::Vertical, 70);
}

void TFormProgress::Button1Click()
{
    accept();
}
