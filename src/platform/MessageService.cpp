#include "platform/MessageService.h"

#include "platform/ConsoleMessageService.h"

namespace {

TMessageService *g_service = nullptr;

TConsoleMessageService &consoleService()
{
    static TConsoleMessageService service;
    return service;
}

} // namespace

TModalResult ModalResultOf(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return TModalResult::mrYes;
    case mbNo: return TModalResult::mrNo;
    case mbOK: return TModalResult::mrOk;
    case mbCancel: return TModalResult::mrCancel;
    case mbAbort: return TModalResult::mrAbort;
    case mbRetry: return TModalResult::mrRetry;
    case mbIgnore: return TModalResult::mrIgnore;
    case mbNone: break;
    }
    return TModalResult::mrNone;
}

QString CaptionOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QStringLiteral("警告");
    case TMsgDlgType::mtError: return QStringLiteral("エラー");
    case TMsgDlgType::mtInformation: return QStringLiteral("情報");
    case TMsgDlgType::mtConfirmation: return QStringLiteral("確認");
    case TMsgDlgType::mtCustom: break;
    }
    return QStringLiteral("Pelvane");
}

TMessageService &Messages()
{
    return g_service ? *g_service : consoleService();
}

TMessageService *SetMessageService(TMessageService *service)
{
    TMessageService *old = g_service;
    g_service = service;
    return old;
}

TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                        TMsgDlgBtn focused, const QString &caption)
{
    return Messages().show(TMessage{text, type, buttons, focused, caption});
}
