// Faults found by driving the built program from outside under X, kept from coming back: a
// close lost after a copy, Qt's own options taken from the file's name, and webdial's failure.

#include "x11session.h"

#include <QDeadlineTimer>
#include <QtTest>

#include <X11/keysym.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

// One X connection of the test's own, kept for the whole run: it types into the program's
// window and reads the clipboard as another program would.
class Driver
{
public:
    Driver()
        : m_display(XOpenDisplay(nullptr))
    {
        if (m_display)
            m_window
                = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
    }
    ~Driver()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Q_DISABLE_COPY_MOVE(Driver)

    // Gives the window the keyboard, as a click or a window manager would: the menu's
    // shortcuts work in the active window only.
    void focus(unsigned long window)
    {
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        XFlush(m_display);
    }

    void key(unsigned long window, KeySym symbol, unsigned int state)
    {
        XEvent event {};
        event.xkey.display = m_display;
        event.xkey.window = window;
        event.xkey.root = DefaultRootWindow(m_display);
        event.xkey.same_screen = True;
        event.xkey.state = state;
        event.xkey.keycode = XKeysymToKeycode(m_display, symbol);
        for (int type : { KeyPress, KeyRelease }) {
            event.xkey.type = type;
            XSendEvent(m_display, window, True, KeyPressMask | KeyReleaseMask, &event);
        }
        XFlush(m_display);
    }

    // The clipboard's text, or nothing when no program offers one within timeoutMs.
    QByteArray clipboard(int timeoutMs = 2000)
    {
        const Atom property = XInternAtom(m_display, "QUORVIN_TEST", False);
        XConvertSelection(m_display, XInternAtom(m_display, "CLIPBOARD", False),
            XInternAtom(m_display, "UTF8_STRING", False), property, m_window, CurrentTime);
        XFlush(m_display);
        QDeadlineTimer deadline(timeoutMs);
        XEvent event;
        while (!XCheckTypedWindowEvent(m_display, m_window, SelectionNotify, &event)) {
            if (deadline.hasExpired())
                return {};
            QThread::msleep(1);
        }
        if (event.xselection.property == None)
            return {};
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char *data = nullptr;
        XGetWindowProperty(m_display, m_window, property, 0, 1 << 20, True, AnyPropertyType, &type,
            &format, &items, &after, &data);
        const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(items));
        XFree(data);
        return text;
    }

    bool isOpen() const { return m_display != nullptr; }

private:
    Display *m_display = nullptr;
    Window m_window = 0;
};

class TestE2eRegressions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!m_driver.isOpen())
            QSKIP("no X server");
    }

    // A copy empties the clipboard, then puts the selection on it; a close that follows must
    // still end the program, every time.
    void closeAfterCopyEndsTheProgram()
    {
        for (int run = 0; run < 40; ++run) {
            X11Session session;
            session.write(QStringLiteral("a.nfo"), "hello\r\nworld\r\n");
            QVERIFY(session.start({ session.path(QStringLiteral("a.nfo")) }));
            m_driver.focus(session.window());
            m_driver.key(session.window(), XK_Home, ControlMask);
            m_driver.key(session.window(), XK_End, ControlMask | ShiftMask);
            m_driver.key(session.window(), XK_c, ControlMask);
            QTRY_COMPARE_WITH_TIMEOUT(m_driver.clipboard(), QByteArray("hello\nworld"), 5000);
            session.requestClose();
            QVERIFY2(session.waitForExit(3000),
                qPrintable(QStringLiteral("close lost, run %1").arg(run)));
            QVERIFY(!session.read(QStringLiteral("quorvin.ini")).isEmpty());
        }
    }

    // Qt's own options ("-reverse", "-style", "-name") are names of files to show.
    void qtOptionsAreFileNames_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("-reverse") << QStringList { QStringLiteral("-reverse") };
        QTest::newRow("-style x.nfo")
            << QStringList { QStringLiteral("-style"), QStringLiteral("x.nfo") };
        QTest::newRow("-name foo.nfo")
            << QStringList { QStringLiteral("-name"), QStringLiteral("foo.nfo") };
    }
    void qtOptionsAreFileNames()
    {
        QFETCH(QStringList, arguments);
        X11Session session;
        const QString name = arguments.join(QLatin1Char(' '));
        session.write(name, "shown\r\n");
        session.process().setWorkingDirectory(session.programDirectory());
        QVERIFY(session.start(arguments));
        QTRY_COMPARE(session.windowName(), name + QStringLiteral(" - Quorvin"));
        session.requestClose();
        QVERIFY(session.waitForExit());
    }

    void webdialShowsWhyItCouldNotOpen()
    {
        X11Session session;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), session.programDirectory()); // no opener
        session.process().setProcessEnvironment(environment);
        QVERIFY(session.start(
            { QStringLiteral("$https://example.org/") }, session.path(QStringLiteral("webdial"))));
        QCOMPARE(session.windowName(), QStringLiteral("Quorvin error"));
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 3);
    }

private:
    Driver m_driver;
};

QTEST_GUILESS_MAIN(TestE2eRegressions)
#include "tst_e2e_regressions.moc"
