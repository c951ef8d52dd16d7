#pragma once

#include "platform/MessageService.h"

// Messages for programs without windows: the text goes to standard error and every question is
// answered with its focused button, or with a fixed answer when one is set (the CLI's --yes).
class TConsoleMessageService : public TMessageService
{
public:
    TModalResult show(const TMessage &message) override;
    void setAnswer(TMsgDlgBtn answer) { m_answer = answer; }
    void setQuiet(bool quiet) { m_quiet = quiet; }

private:
    TMsgDlgBtn m_answer = mbNone;
    bool m_quiet = false;
};
