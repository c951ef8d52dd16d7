#include "shell/Startup.h"

#include "database/unitSQLite.h"
#include "mainwindow/frmMain.h"
#include "platform/DataFolders.h"
#include "platform/EventPump.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "platform/SingleInstance.h"
#include "platform/WidgetMessageService.h"
#include "settings/frmAbout.h"
#include "shell/CommandLine.h"
#include "shell/UnitTypes.h"

#include <QCursor>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EPelvaneError &e) {
        MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
    } catch (const std::exception &e) {
        MessageDlg(QString::fromUtf8(e.what()), TMsgDlgType::mtError, mbOK, mbOK);
    }
    return false;
}

int RunProgram(int argc, char **argv)
{
    TApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationDisplayName(kApplicationTitle);

    TWidgetMessageService messages;
    SetMessageService(&messages);
    TBusyCursor::SetHooks(
        [](TBusyCursor::TShape shape) {
            QApplication::setOverrideCursor(shape == TBusyCursor::TShape::Wait ? Qt::WaitCursor : Qt::BusyCursor);
        },
        [] { QApplication::restoreOverrideCursor(); });

    const QStringList arguments = QApplication::arguments().mid(1);
    TSingleInstance instance(DataFolders::executableName());
    switch (instance.start(arguments)) {
    case TSingleInstance::TStartResult::HandedOver:
        return 0;
    case TSingleInstance::TStartResult::SwitchFailed:
        MessageDlg(QStringLiteral("Pelvaneにプログラムが切替できません"), TMsgDlgType::mtError, mbOK, mbOK);
        return 0;
    case TSingleInstance::TStartResult::Primary:
        break;
    }

    auto *splash = new TFormAbout(TFormAbout::TMode::Splash);
    splash->show();
    QApplication::processEvents();

    try {
        TFormMain::TStartup startup;
        startup.commandLine = ParseCommandLine(arguments, GetProgramFolder());
        TDM database; // the reference database beside the executable, checked as it opens
        startup.databaseConnected = database.Connected();
        startup.database = &database;
        startup.splash = splash;
        TFormMain main(startup);
        instance.setActivationHandler([&main](const QStringList &args) { return main.ActivateFromOtherInstance(args); });
        main.show();
        main.activateWindow();
        const int code = QApplication::exec();
        SetMessageService(nullptr);
        return code;
    } catch (const EPelvaneError &e) {
        MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
        SetMessageService(nullptr);
        return 1;
    }
}
