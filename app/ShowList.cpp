#include "app/Main.h"
#include "schedule/Companions.h"

void Main::Command2_Click()
{
    startHidden(schedule::kGatherProgram);
    const QByteArray place = saveGeometry();
    hide();
    if (!m_form2) {
        m_form2 = new Form2;
        // Back, or closing the viewer: this window comes back as it was, at
        // the place and size it had (a window manager may place a window
        // that was hidden anew), and the viewer, which deletes itself, is no
        // longer the loaded one.
        connect(m_form2, &Form2::back, this, [this, place] {
            m_form2 = nullptr;
            restoreGeometry(place);
            show();
        });
    }
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}
