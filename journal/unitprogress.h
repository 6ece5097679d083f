#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class QChartView;

namespace wordlark {
class Journal;
class LessonList;
class WordTable;
} // namespace wordlark

// The progress window: four pictures of what the journal holds. Answers per day over the last 30 days
// with the share right at the first try, the known, learning and unmet words of each lesson of the
// current dictionary, the words falling due over the next 14 days, and the words forgotten most often.
// Created once; every opening draws the pictures afresh.
class TFormProgress final : public QDialog {
    Q_OBJECT

public:
    static constexpr int AnswerDays = 30;
    static constexpr int DueDays = 14;
    static constexpr int LapsedWords = 20;
    static constexpr int LessonBars = 50;

    explicit TFormProgress(QWidget *parent = nullptr);

    // Draws the pictures for the moment `nowMs` in a place `utcOffsetSeconds` from UTC, then shows the
    // window modally in the middle of the screen.
    void ShowProgress(const wordlark::Journal &journal, const wordlark::WordTable &table,
                      const wordlark::LessonList &lessons, qint64 nowMs, int utcOffsetSeconds);
    // The line about the sync folder under the pictures; empty without one.
    void setSyncSummary(const QString &line) { m_syncSummary = line; }
    // Draws the pictures without showing the window.
    void drawProgress(const wordlark::Journal &journal, const wordlark::WordTable &table,
                      const wordlark::LessonList &lessons, qint64 nowMs, int utcOffsetSeconds);

private:
    void drawAnswers(const wordlark::Journal &journal, qint64 nowMs, int utcOffsetSeconds);
    void drawLessons(const wordlark::Journal &journal, const wordlark::LessonList &lessons);
    void drawDue(const wordlark::Journal &journal, qint64 nowMs, int utcOffsetSeconds);
    void drawLapses(const wordlark::Journal &journal, const wordlark::WordTable &table);
    void Button1Click();

    QLabel *m_labelSummary = nullptr;
    QChartView *m_chartAnswers = nullptr;
    QChartView *m_chartLessons = nullptr;
    QChartView *m_chartDue = nullptr;
    QChartView *m_chartLapses = nullptr;
    QPushButton *m_button1 = nullptr;
    QString m_syncSummary;
};
