#include "platform/WidgetMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonMap
{
    TMsgDlgBtn button;
    QMessageBox::StandardButton standard;
    const char16_t *caption;
};

const ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, u"はい(&Y)"},         {mbNo, QMessageBox::No, u"いいえ(&N)"},
    {mbOK, QMessageBox::Ok, u"OK"},                 {mbCancel, QMessageBox::Cancel, u"キャンセル"},
    {mbAbort, QMessageBox::Abort, u"中止(&A)"},     {mbRetry, QMessageBox::Retry, u"再試行(&R)"},
    {mbIgnore, QMessageBox::Ignore, u"無視(&I)"},
};

} // namespace

TModalResult TWidgetMessageService::show(const TMessage &message)
{
    QMessageBox box(QApplication::activeWindow());
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(text);
    box.setWindowTitle(message.caption.isEmpty() ? CaptionOf(message.type) : message.caption);
    switch (message.type) {
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); QApplication::beep(); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); QApplication::beep(); break;
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case TMsgDlgType::mtCustom: box.setIcon(QMessageBox::NoIcon); break;
    }
    for (const ButtonMap &b : kButtons) {
        if (!(message.buttons & b.button))
            continue;
        QPushButton *push = box.addButton(b.standard);
        push->setText(QString::fromUtf16(b.caption));
        if (b.button == message.focused)
            box.setDefaultButton(push);
    }
    box.exec();
    for (const ButtonMap &b : kButtons)
        if (box.clickedButton() && box.standardButton(box.clickedButton()) == b.standard)
            return ModalResultOf(b.button);
    // Closed with Escape or the close box: the escape button's answer, else none.
    return message.buttons & mbCancel ? TModalResult::mrCancel
         : message.buttons & mbNo     ? TModalResult::mrNo
                                      : TModalResult::mrNone;
}
