#include "app/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    createProgramWindows();
    return application.exec();
}
