#pragma once

#include <QPushButton>

namespace widgets {

// A push button whose caption wraps onto a second line when it is wider
// than the button, as "Back to Main Menu" is on its narrow button.
class CaptionButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    // The room kept between the caption and the button's edges.
    static constexpr QMargins kCaptionMargins{3, 1, 3, 1};

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace widgets
