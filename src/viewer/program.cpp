#include "viewer/program.h"

#include "about/form2.h"
#include "viewer/form1.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScopedValueRollback>

namespace viewer {

Program::Program(platform::Services &services)
    : m_services(services)
{ }

Program::~Program()
{
    delete m_form2.data();
}

about::Form2 *Program::form2() const
{
    return m_form2.data();
}

void Program::start()
{
    loadForm2();
}

about::Form2 *Program::loadForm2()
{
    if (!m_form2) {
        m_form2 = new about::Form2([this](about::Form2 &form2) { launch(form2); });
        m_form2->Form_Load();
    }
    return m_form2.data();
}

void Program::unloadForm2()
{
    if (!m_form2)
        return;
    // A close during start-up unloads the window from inside its own load handler: then it
    // leaves the screen at once and is destroyed once control is back in the event loop.
    if (m_launching) {
        m_form2->hide();
        m_form2->deleteLater();
        m_form2.clear();
        return;
    }
    delete m_form2.data();
}

void Program::launch(about::Form2 &form2)
{
    const QScopedValueRollback<bool> launching(m_launching, true);
    m_state.VersionText = form2.Label2->text();
    if (!m_form1) {
        m_form1 = std::make_unique<Form1>(m_services, m_state, *this);
        m_form1->Form_Load();
    }
    if (m_form1->ended() || m_form1->unloaded())
        return;
    form2.hide();
    m_form1->show();
    // Repainted at once: whatever waits to be drawn is drawn now, before anything else runs.
    // What the screen already shows as it is is not drawn a second time.
    QCoreApplication::sendPostedEvents(m_form1.get(), QEvent::UpdateRequest);
}

} // namespace viewer
