#pragma once

#include "platform/services.h"
#include "viewer/sharedstate.h"

#include <QPointer>

#include <memory>

namespace about {
class Form2;
}

namespace viewer {

class Form1;

// The program's windows and shared state for one run. start() loads the About window hidden;
// its load handler is the launch, which loads and shows the main window.
class Program
{
public:
    explicit Program(platform::Services &services);
    ~Program();
    Q_DISABLE_COPY_MOVE(Program)

    void start();

    // Loads the About window if it is not loaded (running the launch) and returns it.
    about::Form2 *loadForm2();
    // Removes the About window from the screen and destroys it, if it is loaded.
    void unloadForm2();

    Form1 *form1() const { return m_form1.get(); }
    about::Form2 *form2() const;
    SharedState &state() { return m_state; }

private:
    void launch(about::Form2 &form2);

    platform::Services &m_services;
    SharedState m_state;
    std::unique_ptr<Form1> m_form1;
    QPointer<about::Form2> m_form2;
    bool m_launching = false;
};

} // namespace viewer
