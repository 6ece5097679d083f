#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// The help window: how to use the program, and how to write a dictionary. The texts are read once,
// when the window is created.
class TFormHelp final : public QDialog {
    Q_OBJECT

public:
    explicit TFormHelp(QWidget *parent = nullptr);

private:
    QTabWidget *PageControl1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPlainTextEdit *Memo2 = nullptr;

    void FormCreate();
    // Fills the memo from the file; false, after telling the learner, when the file cannot be read.
    bool loadHelpText(const QString &path, QPlainTextEdit *memo);
};
