#pragma once

#include <QApplication>

// The desktop application: an error that reaches the event loop is shown in the error box and the
// program goes on.
class TApplication : public QApplication
{
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// The program entry in its order: single instance, splash, database, main window, event loop.
int RunProgram(int argc, char **argv);
