#pragma once

#include "shell/CommandLine.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTableWidget;
class TFormAbout;
class TOption;
class TStatusGauge;
class TDM;
class TTeamList2;
class TTipSheet;

// The main window: menu and tool bars, the match card, and a status bar of three panels whose
// third holds the progress gauge. It owns the settings object and the one tip sheet of the run.
class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    struct TStartup
    {
        TCommandLine commandLine;
        bool databaseConnected = false;
        TDM *database = nullptr; // lives for the whole run
        TFormAbout *splash = nullptr; // closed and freed at the first activation
    };

    explicit TFormMain(const TStartup &startup, QWidget *parent = nullptr);
    ~TFormMain() override;

    TTipSheet &Sheet() { return *m_sheet; }
    TOption &Option() { return *m_option; }
    // The teams of the current year; empty without a database.
    TTeamList2 *Teams() { return m_teams.get(); }
    QAction *Action(const QString &name) const;

    // Opens a prediction file (from the command line, a drop, or a later copy of the program).
    void OpenTipSheetFile(const QString &fileName, bool append);
    // A later copy was started with these arguments; returns whether the window came forward.
    bool ActivateFromOtherInstance(const QStringList &arguments);
    bool FirstActivationDone() const { return m_firstActivationDone; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBars();
    void buildStatusBar();
    void buildCard();
    void bindSheet();
    void refreshCard();
    void refreshCaption();
    void firstActivation();
    void ActAboutExecute();
    void ActAbortExecute();
    void loadWindowSettings();
    void saveWindowSettings();

    std::unique_ptr<TOption> m_option;
    std::unique_ptr<TTipSheet> m_sheet;
    std::unique_ptr<TStatusGauge> m_gauge;
    std::unique_ptr<TTeamList2> m_teams;
    TFormAbout *m_splash = nullptr;
    bool m_firstActivationDone = false;
    int m_sheetWidth = 0;      // widths of the card and comment panels, kept for the settings file
    int m_singleInfoWidth = 0;

    QMenu *m_adminMenu = nullptr;
    QTableWidget *m_card = nullptr;
    QLabel *m_statusExpand = nullptr;
    QLabel *m_statusCut = nullptr;
    QLabel *m_statusHint = nullptr;
    QProgressBar *m_progress = nullptr;
};
