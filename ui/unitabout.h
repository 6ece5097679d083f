#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: product name, version, web address and where the stroke data comes from.
class TAboutForm final : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);

private:
    QLabel *TntLabel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *LabelStrokes = nullptr;
    QPushButton *Button1 = nullptr;
};
