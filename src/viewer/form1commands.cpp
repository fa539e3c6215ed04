// The main window's menu and its commands: colours, font sizes, copy, help, web page, e-mail,
// exit, About, and the keys and double-click of the window and its text area.

#include "viewer/form1.h"

#include "about/form2.h"
#include "settings/settingsfiles.h"
#include "textarea/oemtextarea.h"
#include "viewer/layout.h"
#include "viewer/links.h"
#include "viewer/program.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace viewer {

namespace {
const QString ErrorTitle = QStringLiteral("Quorvin error");
}

QAction *Form1::addCommand(QMenu *menu, const char *name, const QString &caption,
    const QKeySequence &shortcut, void (Form1::*handler)())
{
    auto *item = new QAction(caption, this);
    item->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) {
        item->setShortcut(shortcut);
        // Window-wide accelerators win over the text area's own keys.
        item->setShortcutContext(Qt::WindowShortcut);
    }
    connect(item, &QAction::triggered, this, handler);
    menu->addAction(item);
    return item;
}

void Form1::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    addCommand(file, "open", QStringLiteral("&Open..."), QKeySequence(QStringLiteral("Ctrl+O")),
        &Form1::open_Click);
    file->addSeparator()->setObjectName(QStringLiteral("dead10"));
    addCommand(file, "exit", QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Ctrl+X")),
        &Form1::exit_Click);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("edit"));
    addCommand(edit, "copy", QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")),
        &Form1::copy_Click);

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("options"));
    QMenu *text = options->addMenu(QStringLiteral("&Text"));
    text->setObjectName(QStringLiteral("text"));
    addCommand(text, "font", QStringLiteral("&Font color..."),
        QKeySequence(QStringLiteral("Ctrl+F")), &Form1::font_Click);
    addCommand(text, "background", QStringLiteral("&Background color..."),
        QKeySequence(QStringLiteral("Ctrl+B")), &Form1::background_Click);
    QMenu *size = text->addMenu(QStringLiteral("Font &size"));
    size->setObjectName(QStringLiteral("size"));
    const std::pair<const char *, void (Form1::*)()> sizes[]
        = { { "f5", &Form1::f5_Click }, { "f6", &Form1::f6_Click }, { "f9", &Form1::f9_Click },
              { "f12", &Form1::f12_Click }, { "f14", &Form1::f14_Click } };
    for (const auto &[name, handler] : sizes)
        addCommand(size, name, QLatin1String(name + 1), {}, handler)->setCheckable(true);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("help"));
    addCommand(help, "contents", QStringLiteral("&Contents..."),
        QKeySequence(QStringLiteral("Ctrl+H")), &Form1::contents_Click);
    help->addSeparator()->setObjectName(QStringLiteral("dead2"));
    addCommand(help, "web", QStringLiteral("&Web page..."), QKeySequence(QStringLiteral("Ctrl+W")),
        &Form1::web_Click);
    addCommand(help, "email", QStringLiteral("&Email..."), QKeySequence(QStringLiteral("Ctrl+E")),
        &Form1::email_Click);
    help->addSeparator()->setObjectName(QStringLiteral("dead17"));
    addCommand(help, "about", QStringLiteral("&About"), QKeySequence(QStringLiteral("Ctrl+A")),
        &Form1::about_Click);
}

QAction *Form1::action(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name));
}

void Form1::ClearFontSizeChecks()
{
    for (const char *name : { "f5", "f6", "f9", "f12", "f14" })
        action(name)->setChecked(false);
}

// ---- Colours and font sizes ----------------------------------------------------------------

void Form1::font_Click()
{
    if (const std::optional<platform::Colour> colour = m_services.chooseColour(this))
        Text1->setTextColour(*colour);
}

void Form1::background_Click()
{
    if (const std::optional<platform::Colour> colour = m_services.chooseColour(this))
        Text1->setBackColour(*colour);
}

void Form1::fontSizeCommand(const char *name)
{
    QAction *item = action(name);
    ClearFontSizeChecks();
    Text1->setFontSize(item->text().toFloat());
    Text1->setBold(false);
    item->setChecked(true);
    const QString path = settings::besideProgram(
        m_services.programDirectory(), QLatin1String(settings::FontSizeIniName));
    if (!settings::writeWholeFile(path, settings::serializeFontSize(item->text())))
        m_services.criticalMessage(this, ErrorTitle,
            QStringLiteral("The font size could not be saved in\r\n%1").arg(path));
}

void Form1::f5_Click()
{
    fontSizeCommand("f5");
}

void Form1::f6_Click()
{
    fontSizeCommand("f6");
}

void Form1::f9_Click()
{
    fontSizeCommand("f9");
}

void Form1::f12_Click()
{
    fontSizeCommand("f12");
}

void Form1::f14_Click()
{
    fontSizeCommand("f14");
}

// ---- Clipboard, help, web, e-mail, exit ----------------------------------------------------

void Form1::copy_Click()
{
    m_services.clearClipboard();
    m_services.setClipboardText(Text1->selectedText());
}

void Form1::startProgramReporting(const QString &commandLine, const QString &failed)
{
    // A failure is told in the user's terms: what could not be opened, and why when known.
    if (m_services.startProgram(commandLine, platform::WindowStyle::Normal))
        return;
    const QString why = m_services.startFailure();
    m_services.criticalMessage(
        this, ErrorTitle, why.isEmpty() ? failed : failed + QStringLiteral("\r\n") + why);
}

void Form1::contents_Click()
{
    const QString path
        = settings::besideProgram(m_services.programDirectory(), QStringLiteral("contents.txt"));
    if (!settings::isRegularFile(path))
        return;
    startProgramReporting(QStringLiteral("notepad.exe ") + path,
        QStringLiteral("The help text could not be opened:\r\n%1").arg(path));
}

void Form1::web_Click()
{
    startProgramReporting(QStringLiteral("webdial.exe $") + QLatin1String(WebAddress),
        QStringLiteral("The web page could not be opened:\r\n%1").arg(QLatin1String(WebAddress)));
}

void Form1::email_Click()
{
    startProgramReporting(QStringLiteral("webdial.exe >mailto:") + QLatin1String(EmailAddress),
        QStringLiteral("No e-mail could be started to:\r\n%1").arg(QLatin1String(EmailAddress)));
}

void Form1::openLink(const QString &address)
{
    startProgramReporting(QStringLiteral("webdial.exe ") + companionArgument(address),
        QStringLiteral("The link could not be opened:\r\n%1").arg(address));
}

void Form1::copyLinkAddress(const QString &address)
{
    m_services.clearClipboard();
    m_services.setClipboardText(address);
}

void Form1::exit_Click()
{
    close();
}

// ---- About ---------------------------------------------------------------------------------

void Form1::about_Click()
{
    // The window is watched through a QPointer: while this handler waits for it to be exposed,
    // events run, and a close of the main window (which unloads it), a drop or a second About
    // can take it away. Nothing here touches it once it has gone.
    const QPointer<about::Form2> form2 = m_program.loadForm2();
    if (!form2 || m_unloaded)
        return;
    form2->show();
    form2->activateWindow(); // keys pressed while the sound plays go to the About window
    // The picture and labels are drawn before the sound starts: wait until the window can be
    // seen, then paint it at once. No input is handled meanwhile.
    if (QWindow *window = form2->windowHandle()) {
        const QPointer<QWindow> watched = window;
        QElapsedTimer waited;
        waited.start();
        while (form2 && watched && !m_unloaded && !watched->isExposed() && waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    // A close during the wait has written the settings and ended the program: no sound then.
    if (!form2 || m_unloaded)
        return;
    form2->repaint();
    m_services.playSoundSync(
        settings::besideProgram(m_services.programDirectory(), QStringLiteral("howl.wav")));
    m_program.unloadForm2();
    activateWindow(); // the About window had the keys while it was shown
}

// ---- Keys and double-click -----------------------------------------------------------------

void Form1::keyPressEvent(QKeyEvent *event)
{
    Form_KeyDown(event->key(), event->modifiers());
    QMainWindow::keyPressEvent(event);
}

void Form1::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    Q_UNUSED(modifiers);
    if (key == Qt::Key_Escape)
        close();
}

void Form1::Text1_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    Q_UNUSED(modifiers);
    if (key == Qt::Key_Escape)
        close();
}

void Form1::Text1_KeyPress(int characterCode)
{
    if (characterCode == 3)
        copy_Click();
}

void Form1::Text1_Zoom(int direction, QPointF at)
{
    // The sizes in order, each with its command: a step runs the very command the Font size
    // menu runs. A size in force that is none of them (from a hand-written fontsize.ini) steps
    // to its nearest neighbour in the direction asked.
    static constexpr std::pair<float, void (Form1::*)()> sizes[]
        = { { 5.0f, &Form1::f5_Click }, { 6.0f, &Form1::f6_Click }, { 9.0f, &Form1::f9_Click },
              { 12.0f, &Form1::f12_Click }, { 14.0f, &Form1::f14_Click } };
    const float now = Text1->fontSize();
    void (Form1::*command)() = direction == 0 ? &Form1::f9_Click : nullptr;
    for (const auto &[points, handler] : sizes) {
        if ((direction > 0 && points > now && !command) || (direction < 0 && points < now))
            command = handler;
    }
    if (!command)
        return;
    const QPoint cell = Text1->cellAt(at);
    (this->*command)();
    if (!m_unloaded)
        Text1->scrollCellTo(cell, at);
}

void Form1::Text1_DblClick()
{
    const bool hadFocus = Text1->hasFocus();
    Text1->setEnabled(false);
    setWindowStateValue(windowStateValue() == Maximized ? Normal : Maximized);
    Text1->clearSelection();
    Text1->setEnabled(true);
    if (hadFocus)
        Text1->setFocus();
}

} // namespace viewer
