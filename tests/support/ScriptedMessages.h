#pragma once

#include "platform/MessageService.h"

#include <QList>
#include <QString>

// A message service for tests: answers from a script (the focused button when the script is
// empty), records every message, and installs itself for its lifetime.
class TScriptedMessages : public TMessageService
{
public:
    TScriptedMessages() { m_previous = SetMessageService(this); }
    ~TScriptedMessages() override { SetMessageService(m_previous); }

    void answer(TMsgDlgBtn button) { m_script.append(button); }

    TModalResult show(const TMessage &message) override
    {
        asked.append(message);
        const TMsgDlgBtn b = m_script.isEmpty() ? message.focused : m_script.takeFirst();
        return ModalResultOf(b);
    }

    QStringList texts() const
    {
        QStringList out;
        for (const TMessage &m : asked)
            out.append(m.text);
        return out;
    }

    QList<TMessage> asked;

private:
    QList<TMsgDlgBtn> m_script;
    TMessageService *m_previous = nullptr;
};
