#pragma once

#include <QString>
#include <exception>
#include <string>

// The one exception type of the program. It carries the user-visible message; commands let it
// reach the application's handler, which shows the message in the error box.
class EPelvaneError : public std::exception
{
public:
    explicit EPelvaneError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toStdString())
    {
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};
