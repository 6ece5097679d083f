#pragma once

#include <QDialog>

// The colours and fonts dialog of the quiz screen.
class TFormThems final : public QDialog {
    Q_OBJECT

public:
    explicit TFormThems(QWidget *parent = nullptr);
};
