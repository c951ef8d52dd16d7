#pragma once

#include "platform/MessageService.h"

// Message boxes of the desktop program: centred over the active window, the type's icon and
// sound, the given buttons and focused button.
class TWidgetMessageService : public TMessageService
{
public:
    TModalResult show(const TMessage &message) override;
};
