#include "app/Main.h"
#include "schedule/Companions.h"

#include <QWindow>

namespace {

// Puts a window back at its place once the window system has shown it: a
// window manager may place a window that was hidden anew, wherever it
// finds room.
class PutBack : public QObject
{
public:
    PutBack(QWidget *window, QPoint place)
        : QObject(window)
        , m_window(window)
        , m_place(place)
    {
        window->windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && m_window->windowHandle()->isExposed()) {
            if (m_window->pos() != m_place)
                m_window->move(m_place);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    QPoint m_place;
};

} // namespace

void Main::Command2_Click()
{
    startHidden(schedule::kGatherProgram);
    const QPoint place = pos();
    hide();
    if (!m_form2) {
        m_form2 = new Form2;
        // Back, or closing the viewer: this window comes back as it was, at
        // the place it had (its size is fixed), and the viewer, which
        // deletes itself, is no longer the loaded one.
        connect(m_form2, &Form2::back, this, [this, place] {
            m_form2 = nullptr;
            show();
            new PutBack(this, place);
        });
    }
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}
