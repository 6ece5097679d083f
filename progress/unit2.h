#pragma once

#include <QDialog>

// The statistics window: words and distinct characters of the dictionary or of the chosen lessons.
class TFormStat final : public QDialog {
    Q_OBJECT

public:
    explicit TFormStat(QWidget *parent = nullptr);
    void applyUiTexts();
};
