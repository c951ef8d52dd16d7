#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QJsonValue;

// The parsed words of one command: positional arguments, "--name value" options, "--flag" flags.
class TCliArgs
{
public:
    // flagNames: the options of this command that take no value.
    TCliArgs(const QStringList &words, const QStringList &flagNames);

    const QStringList &positional() const { return m_positional; }
    bool has(const QString &name) const { return m_options.contains(name) || m_flags.contains(name); }
    bool flag(const QString &name) const { return m_flags.contains(name); }
    QString value(const QString &name, const QString &def = {}) const { return m_options.value(name, def); }
    // Raises a usage error when the option is missing.
    QString required(const QString &name) const;
    // Raises a usage error for options the command does not know.
    void allowOnly(const QStringList &names) const;

private:
    QStringList m_positional;
    QHash<QString, QString> m_options;
    QStringList m_flags;
};

// A wrong command line (exit code 2), as opposed to a failure of the work (exit code 1).
class ECliUsage : public std::exception
{
public:
    explicit ECliUsage(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "usage"; }

private:
    QString m_message;
};

struct TCliCommand
{
    QString name;
    QString synopsis;
    QString help;
    QStringList flags;
    std::function<int(const TCliArgs &, bool json)> run;
};

// Every command of pelvane-cli, in the order --help lists them.
const QList<TCliCommand> &CliCommands();

// Runs the command line (without the program name); returns the exit code.
int RunCli(const QStringList &arguments);
