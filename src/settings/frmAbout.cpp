#include "settings/frmAbout.h"

#include "shell/UnitTypes.h"
#include "shell/Version.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TFormAbout::TFormAbout(TMode mode, QWidget *parent)
    : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("プログラム情報"));
    if (mode == TMode::Splash)
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    else
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    auto *title = new QLabel(kApplicationTitle, this);
    QFont f = title->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto *subtitle = new QLabel(QStringLiteral("toto / mini toto 予想支援"), this);
    subtitle->setAlignment(Qt::AlignCenter);
    layout->addWidget(subtitle);
    m_version = new QLabel(VersionLabel(ProgramVersion()), this);
    m_version->setObjectName(QStringLiteral("LabelVersion"));
    m_version->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_version);
    auto *credit = new QLabel(QStringLiteral("J.League match data: JLeague_Matches-Bar_Graph (mokekuma-git), CC BY 4.0"), this);
    credit->setObjectName(QStringLiteral("LabelDataCredit"));
    credit->setAlignment(Qt::AlignCenter);
    layout->addWidget(credit);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ButtonOK"));
    m_ok->setVisible(mode == TMode::About);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(m_ok, 0, Qt::AlignCenter);

    setStyleSheet(QStringLiteral("TFormAbout { background: white; border: 1px solid #808080; }"));
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormAbout::mousePressEvent(QMouseEvent *event)
{
    if (m_mode == TMode::About)
        accept();
    QDialog::mousePressEvent(event);
}
