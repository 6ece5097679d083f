#pragma once

#include <QWidget>

// The idle animation: a borderless black window over the whole screen.
class TForm3 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);
};
