#pragma once

#include "platform/Prompter.h"

class QWidget;

// Message boxes as the platform draws them, captioned with the application
// title, without an icon.
class MessageBoxPrompter : public platform::Prompter
{
public:
    qint16 show(const QString &prompt, platform::Buttons buttons) override;
};
