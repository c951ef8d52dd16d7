#include "mainwindow/frmMain.h"

#include "database/Team.h"
#include "database/unitSQLite.h"
#include "lottery/UnitToTo.h"
#include "mainwindow/StatusGauge.h"
#include "platform/DataFolders.h"
#include "platform/FileAssociation.h"
#include "platform/Format.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "platform/UserRegistry.h"
#include "settings/FormPlacement.h"
#include "settings/UnitOption.h"
#include "settings/frmAbout.h"
#include "shell/UnitTypes.h"

#include <QAction>
#include <QDate>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>

TFormMain::TFormMain(const TStartup &startup, QWidget *parent)
    : QMainWindow(parent), m_splash(startup.splash)
{
    setObjectName(QStringLiteral("FormMain"));
    setAcceptDrops(true);
    resize(900, 640);

    // The sheet folder must exist for every open and save dialog.
    GetSheetFolder();

    m_option = std::make_unique<TOption>();
    m_option->LoadFromFile(GetIniFileName());
    m_sheet = std::make_unique<TTipSheet>();
    m_sheet->Option = m_option.get();

    buildActions();
    buildMenus();
    buildToolBars();
    buildStatusBar();
    buildCard();
    bindSheet();
    loadWindowSettings();

    m_option->DebugMode = startup.commandLine.debug;
    m_option->MaintenanceMode = startup.commandLine.maintenance;
    if (!m_option->MaintenanceMode) {
        menuBar()->removeAction(m_adminMenu->menuAction());
    }

    refreshCaption();
    refreshCard();

    if (startup.databaseConnected && startup.database) {
        TVictoryPoints points{};
        for (int i = 0; i < 5; ++i)
            points[size_t(i)] = m_option->Points(i);
        m_teams = std::make_unique<TTeamList2>(*startup.database, points);
        m_teams->SetYear(QDate::currentDate().year());
    }
    if (!startup.databaseConnected) {
        MessageDlg(QStringLiteral("データベースが見つかりません。\r\n正しくインストールされていない可能性があります。\r\n"),
                   TMsgDlgType::mtWarning, mbOK, mbOK, QStringLiteral("警告 - ") + kApplicationTitle);
    }

    if (!startup.commandLine.fileToOpen.isEmpty()) {
        try {
            OpenTipSheetFile(startup.commandLine.fileToOpen, false);
        } catch (const EPelvaneError &e) {
            MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
        }
    }
}

TFormMain::~TFormMain()
{
    delete m_splash;
    SetProgressSink(nullptr);
}

QAction *TFormMain::Action(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TFormMain::buildActions()
{
    auto make = [this](const char *name, const QString &caption, const QKeySequence &shortcut = {}) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty())
            a->setShortcut(shortcut);
        return a;
    };
    connect(make("ActExit", QStringLiteral("終了(&X)")), &QAction::triggered, this, &QWidget::close);
    connect(make("ActAbout", QStringLiteral("プログラム情報(&A)...")), &QAction::triggered, this, &TFormMain::ActAboutExecute);
    QAction *abort = make("CmdAbort", QStringLiteral("中止"), QKeySequence(Qt::Key_Escape));
    abort->setEnabled(false);
    addAction(abort);
    connect(abort, &QAction::triggered, this, &TFormMain::ActAbortExecute);
    // The administrator commands come with the download console and the round files.
    for (const char *name : {"ActDataDownload", "ActSaveTTS", "ActSaveTTR"})
        make(name, QString())->setEnabled(false);
    Action(QStringLiteral("ActDataDownload"))->setText(QStringLiteral("データダウンロード"));
    Action(QStringLiteral("ActSaveTTS"))->setText(QStringLiteral("対戦シートの保存(*.tt&s)"));
    Action(QStringLiteral("ActSaveTTR"))->setText(QStringLiteral("試合結果の保存(*.tt&r)"));
}

void TFormMain::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("MenuFile"));
    file->addAction(Action(QStringLiteral("ActExit")));
    m_adminMenu = menuBar()->addMenu(QStringLiteral("管理者用"));
    m_adminMenu->setObjectName(QStringLiteral("MenuAdmin"));
    for (const char *name : {"ActDataDownload", "ActSaveTTS", "ActSaveTTR"})
        m_adminMenu->addAction(Action(QString::fromLatin1(name)));
    QMenu *help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    help->addAction(Action(QStringLiteral("ActAbout")));
}

void TFormMain::buildToolBars()
{
    const struct { const char *name; const char16_t *caption; } bars[] = {
        {"ToolCommand", u"コマンド"}, {"ToolExpand", u"展開"},         {"ToolOptimize", u"最適化係数"},
        {"ToolPage", u"ページ切替"},  {"ToolInfomation", u"情報"},     {"ToolResult", u"当選結果"},
    };
    for (const auto &b : bars) {
        QToolBar *bar = addToolBar(QString::fromUtf16(b.caption));
        bar->setObjectName(QString::fromLatin1(b.name));
        if (QString::fromLatin1(b.name) == u"ToolCommand")
            bar->addAction(Action(QStringLiteral("ActExit")));
    }
}

void TFormMain::buildStatusBar()
{
    m_statusExpand = new QLabel(this);
    m_statusExpand->setFixedWidth(140);
    m_statusExpand->setAlignment(Qt::AlignCenter);
    m_statusCut = new QLabel(this);
    m_statusCut->setFixedWidth(100);
    m_statusCut->setAlignment(Qt::AlignCenter);
    m_statusHint = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressGauge"));
    m_progress->setVisible(false);
    m_progress->setMaximumWidth(240);
    statusBar()->addWidget(m_statusExpand);
    statusBar()->addWidget(m_statusCut);
    statusBar()->addWidget(m_statusHint, 1);
    statusBar()->addWidget(m_progress);
    m_gauge = std::make_unique<TStatusGauge>(m_progress);
    SetProgressSink(m_gauge.get());
}

void TFormMain::buildCard()
{
    m_card = new QTableWidget(kMaxMatches, 6, this);
    m_card->setObjectName(QStringLiteral("GridCard"));
    m_card->setHorizontalHeaderLabels({QStringLiteral("ホーム"), QStringLiteral("アウェイ"), QStringLiteral("1"),
                                       QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("結果")});
    m_card->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_card->setSelectionMode(QAbstractItemView::NoSelection);
    m_card->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_card->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_card->setStyleSheet(QStringLiteral("QTableWidget { background: white; }"));
    setCentralWidget(m_card);
}

void TFormMain::bindSheet()
{
    m_sheet->OnMatchChange = [this](TTipSheet *, int) { refreshCard(); };
    m_sheet->OnTotoTypeChange = [this](TTipSheet *) { refreshCard(); refreshCaption(); };
    m_sheet->OnNumberChange = [this](TTipSheet *) { refreshCaption(); };
    m_sheet->OnAbortStateChange = [this](TTipSheet *, TTipSheet::TAbortState state) {
        Action(QStringLiteral("CmdAbort"))->setEnabled(state == TTipSheet::TAbortState::Running);
    };
}

void TFormMain::refreshCaption()
{
    setWindowTitle(QStringLiteral("%1 - %2 第%3回").arg(kApplicationTitle, TotoTypeName(m_sheet->TotoType())).arg(m_sheet->Number()));
}

void TFormMain::refreshCard()
{
    const int n = m_sheet->MaxMatch();
    m_card->setRowCount(n);
    for (int i = 0; i < n; ++i) {
        const TExceptMatch &m = m_sheet->Match(i);
        const QString marks = MarksText(m.Tips());
        const QString cells[] = {m.HomeTeam().Name(), m.AwayTeam().Name(), marks.mid(0, 1), marks.mid(1, 1),
                                 marks.mid(2, 1), TipsDigits(m.Result())};
        for (int c = 0; c < 6; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c >= 2)
                item->setTextAlignment(Qt::AlignCenter);
            m_card->setItem(i, c, item);
        }
        m_card->setVerticalHeaderItem(i, new QTableWidgetItem(QString::number(i + 1)));
    }
}

void TFormMain::OpenTipSheetFile(const QString &fileName, bool append)
{
    const int removed = m_sheet->OpenPrediction(fileName, append);
    refreshCard();
    refreshCaption();
    if (removed > 0)
        MessageDlg(Format(u"重複したシングル %d口を削減しました", {removed}), TMsgDlgType::mtInformation, mbOK, mbOK);
}

bool TFormMain::ActivateFromOtherInstance(const QStringList &arguments)
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    const TCommandLine cmd = ParseCommandLine(arguments, GetProgramFolder());
    if (!cmd.fileToOpen.isEmpty()) {
        try {
            OpenTipSheetFile(cmd.fileToOpen, false);
        } catch (const EPelvaneError &e) {
            MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
        }
    }
    return isVisible();
}

void TFormMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_firstActivationDone) {
        m_firstActivationDone = true;
        firstActivation();
    }
}

void TFormMain::firstActivation()
{
    if (m_splash) {
        m_splash->close();
        m_splash->deleteLater();
        m_splash = nullptr;
    }
    TUserRegistry registry(kRegistryKey);
    if (registry.readBool(QStringLiteral("Setup"), QStringLiteral("Initialized"), false))
        return;
    const QString exe = DataFolders::executablePath();
    if (!FileAssociation::isAssociated(exe)
        && MessageDlg(QStringLiteral("予想ファイルを関連付けしますか？"), TMsgDlgType::mtInformation, mbYes | mbNo, mbYes)
               == TModalResult::mrYes)
        FileAssociation::associate(exe);
    registry.writeBool(QStringLiteral("Setup"), QStringLiteral("Initialized"), true);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (m_sheet->AbortState() != TTipSheet::TAbortState::Idle) {
        MessageDlg(QStringLiteral("展開中です。 終了するには展開を中止してください"), TMsgDlgType::mtWarning, mbOK, mbOK);
        event->ignore();
        return;
    }
    event->accept();
    // Whatever fails here is shown, and the window still closes.
    try {
        saveWindowSettings();
        m_option->SaveToFile(GetIniFileName());
    } catch (const EPelvaneError &e) {
        MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
    }
}

void TFormMain::loadWindowSettings()
{
    const TIniFile ini(GetIniFileName(), TIniFile::TMode::Profile);
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1280, 800);
    const TFormPlacement current{x(), y(), width(), height(), isMaximized() ? 2 : 0};
    const TFormPlacement p = LoadFormPlacement(ini, objectName(), current, screen.width(), screen.height());
    move(p.Left, p.Top);
    resize(p.Width, p.Height);
    if (p.WindowState == 2)
        setWindowState(windowState() | Qt::WindowMaximized);

    const QString setup = QStringLiteral("Setup");
    TUpdateGuard update(*m_sheet);
    m_sheet->SetNumber(ini.readInteger(setup, QStringLiteral("Number"), kDefaultRoundNumber));
    m_sheetWidth = ini.readInteger(setup, QStringLiteral("SheetWidth"), m_sheetWidth);
    m_singleInfoWidth = ini.readInteger(setup, QStringLiteral("SingleInfoWidth"), m_singleInfoWidth);
    m_sheet->SetUseOfficialOdds(ini.readBool(QStringLiteral("Option"), QStringLiteral("UseOfficialOdds"), m_sheet->UseOfficialOdds()));
    m_sheet->SetTotoType(TotoTypeFromInt(ini.readInteger(setup, QStringLiteral("totoType"), 0)));
}

void TFormMain::saveWindowSettings()
{
    TIniFile ini(GetIniFileName(), TIniFile::TMode::Profile);
    const QString setup = QStringLiteral("Setup");
    ini.writeInteger(setup, QStringLiteral("Number"), m_sheet->Number());
    ini.writeInteger(setup, QStringLiteral("SheetWidth"), m_sheetWidth);
    ini.writeInteger(setup, QStringLiteral("SingleInfoWidth"), m_singleInfoWidth);
    ini.writeInteger(setup, QStringLiteral("TotoType"), m_sheet->TotoType());
    ini.writeBool(QStringLiteral("Option"), QStringLiteral("UseOfficialOdds"), m_sheet->UseOfficialOdds());
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    SaveFormPlacement(ini, objectName(), TFormPlacement{normal.x(), normal.y(), normal.width(), normal.height(), state});
    ini.save();
}

void TFormMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    event->acceptProposedAction();
    const QString file = DroppedPredictionFile(files);
    if (!file.isEmpty())
        OpenTipSheetFile(file, false);
}

void TFormMain::ActAboutExecute()
{
    TFormAbout about(TFormAbout::TMode::About, this);
    about.exec();
}

void TFormMain::ActAbortExecute()
{
    if (m_sheet->AbortState() == TTipSheet::TAbortState::Running)
        m_sheet->SetKeyAbort(true);
}
