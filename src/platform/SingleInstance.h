#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;

// One running copy per executable name and user. The first copy listens on a local socket named
// after both; a later copy hands its command line over and ends. A socket left behind by a copy
// that died is detected (nobody answers) and replaced.
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class TStartResult {
        Primary,      // no other copy answered: this copy runs and listens
        HandedOver,   // a running copy took the command line and came to the front
        SwitchFailed, // a running copy took it but could not come to the front
    };

    explicit TSingleInstance(const QString &instanceName, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // Called in the primary copy with a later copy's arguments; returns whether the window came
    // to the front.
    void setActivationHandler(std::function<bool(const QStringList &)> handler);

    TStartResult start(const QStringList &arguments, int timeoutMs = 3000);

    QString socketName() const { return m_socketName; }

private:
    void onNewConnection();

    QString m_socketName;
    QLocalServer *m_server = nullptr;
    std::function<bool(const QStringList &)> m_handler;
};
