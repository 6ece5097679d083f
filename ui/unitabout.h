#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: product name, version and web address.
class TAboutForm final : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);

private:
    QLabel *TntLabel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Button1 = nullptr;
};
