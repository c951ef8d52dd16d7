#pragma once

#include <QString>

// Questions and notices of the program. The model and the commands ask through MessageDlg();
// the desktop program installs a window implementation, the CLI a console one, tests a scripted
// double that answers and records.
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbNone = 0,
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;

enum class TModalResult { mrNone, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo };

struct TMessage
{
    QString text;
    TMsgDlgType type = TMsgDlgType::mtInformation;
    TMsgDlgButtons buttons = mbOK;
    TMsgDlgBtn focused = mbOK;
    QString caption; // empty: the type's standard caption
};

class TMessageService
{
public:
    virtual ~TMessageService() = default;
    virtual TModalResult show(const TMessage &message) = 0;
};

// The result a button stands for.
TModalResult ModalResultOf(TMsgDlgBtn button);
// The standard caption of a type ("警告", "エラー", "情報", "確認").
QString CaptionOf(TMsgDlgType type);

// The installed service (a console service until one is installed). Not owned.
TMessageService &Messages();
// Installs a service and returns the previous one; nullptr restores the console service.
TMessageService *SetMessageService(TMessageService *service);

TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                        TMsgDlgBtn focused, const QString &caption = {});
