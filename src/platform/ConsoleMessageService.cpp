#include "platform/ConsoleMessageService.h"

#include <cstdio>

TModalResult TConsoleMessageService::show(const TMessage &message)
{
    TMsgDlgBtn answer = message.focused;
    if (m_answer != mbNone && (message.buttons & m_answer))
        answer = m_answer;
    if (!(message.buttons & answer)) {
        // The focused button is not offered: take the first offered one.
        for (unsigned b = 1; b <= mbIgnore; b <<= 1)
            if (message.buttons & b) {
                answer = TMsgDlgBtn(b);
                break;
            }
    }
    if (!m_quiet) {
        const QString caption = message.caption.isEmpty() ? CaptionOf(message.type) : message.caption;
        QString text = message.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    return ModalResultOf(answer);
}
