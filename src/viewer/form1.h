#pragma once

#include "platform/services.h"
#include "viewer/filereading.h"
#include "viewer/sharedstate.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QMainWindow>

#include <optional>

class QAction;

namespace platform {
class DropTarget;
} // namespace platform
namespace textarea {
class OemTextArea;
} // namespace textarea

namespace viewer {

class Program;

// The main window: the CP437 text area under a four-menu bar, a drop target over the whole
// window, and one handler per command, key, resize, drop and close. Window metrics are twips
// of a nominal frame (layout.h). Loads let events run at fixed points; a load or drop that
// arrives meanwhile is queued (the latest kept) and a close ends the load without the load
// touching the window again.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    Form1(platform::Services &services, SharedState &state, Program &program);
    ~Form1() override;
    Q_DISABLE_COPY_MOVE(Form1)

    // Start-up: refuses a root program directory, applies the settings files, places the
    // window, then shows it or loads the file named on the command line.
    void Form_Load();
    // Whether start-up refused to run and asked the program to end.
    bool ended() const { return m_ended; }
    // Whether the window has been closed (the settings are written).
    bool unloaded() const { return m_unloaded; }

    textarea::OemTextArea *Text1 = nullptr;
    platform::DropTarget *FMDrop1 = nullptr;

    // The window state as 0 normal, 1 minimized, 2 maximized, and its setter.
    int windowStateValue() const;
    void setWindowStateValue(int state);

    // Window metrics in twips: the frame's top-left on the screen, the nominal frame's size.
    float leftTwips() const;
    float topTwips() const;
    float widthTwips() const;
    float heightTwips() const;
    void setWidthTwips(float width);
    void setHeightTwips(float height);
    void moveAndSizeTwips(float left, float top, float width, float height);

    QAction *action(const char *name) const;
    void ClearFontSizeChecks();
    // How long a load runs between two fixed points that let events run, for every window made
    // after (0: at every one, so that what arrives during a load meets its first fixed point).
    static void setPumpInterval(qint64 nanoseconds) { s_pumpIntervalNs = nanoseconds; }

    // Command handlers, named after their menu items.
    void open_Click();
    void exit_Click();
    void copy_Click();
    void font_Click();
    void background_Click();
    void f5_Click();
    void f6_Click();
    void f9_Click();
    void f12_Click();
    void f14_Click();
    void contents_Click();
    void web_Click();
    void email_Click();
    void about_Click();
    // The text area's Save as Image...: the whole text as a PNG picture.
    void saveImage_Click();

    void Form_Resize();
    void Form_Unload();
    void FMDrop1_DropFiles();
    void Text1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Text1_KeyPress(int characterCode);
    void Text1_DblClick();
    // Zoom: the font-size command of the next larger (1) or smaller (-1) size, or of 9 points
    // (0); the character at the view's point `at` stays there. Past either end, nothing.
    void Text1_Zoom(int direction, QPointF at);
    // The right-click menu's "Read as UTF-8": shows the file on display again in the other
    // reading (code page 437 bytes, or UTF-8 through code page 437 glyphs). Not stored.
    void readAsUtf8_Click();
    // A link of the text: opened through the companion, as Web page and Email are; its address
    // copied as Copy copies.
    void openLink(const QString &address);
    void copyLinkAddress(const QString &address);

    static constexpr const char *WebAddress = "https://quorvin.example.org/";
    static constexpr const char *EmailAddress = "team@quorvin.example.org";

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Entry { Open, Drop, CommandLine };
    struct PendingLoad
    {
        Entry entry;
        QString path;
    };

    void createMenus();
    QAction *addCommand(QMenu *menu, const char *name, const QString &caption,
        const QKeySequence &shortcut, void (Form1::*handler)());
    void Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void fontSizeCommand(const char *name);
    void startProgramReporting(const QString &commandLine, const QString &failed);
    void createNativeWindow();
    void showFailure();

    // Loads.
    void request(PendingLoad load);
    void runLoad(const PendingLoad &load);
    void openLoad();
    void loadFile(Entry entry, const QString &path);
    void sizeForType(Entry entry, FileType type);
    void applyNfoSize(bool finalWidthAtStart);
    bool pumpEvents();
    void setBusy(bool busy);
    void showText(const QByteArray &text);
    void setShownFile(std::optional<QByteArray> bytes);

    int menuBarHeightFor(int width) const;

    platform::Services &m_services;
    SharedState &m_state;
    Program &m_program;
    bool m_ended = false;
    bool m_unloaded = false;
    bool m_loading = false;
    bool m_busy = false;
    QCursor m_textCursor; // the text area's own pointer, while the busy pointer stands in
    std::optional<PendingLoad> m_pending;
    // The file on display as its reading mode gave it, and whether it is read as UTF-8; no
    // bytes while no file is on display.
    std::optional<QByteArray> m_shownBytes;
    bool m_utf8 = false;
    QString m_shownPath; // the path of the file last loaded, for the picture's suggested name
    QElapsedTimer m_sincePump;
    // Events are let run at the load's fixed points, but at most once a frame (60 per second): a
    // fixed point that comes sooner takes the fast path and returns at once. A load of 64000
    // bytes has up to 64000 fixed points, and asking the window system each time would cost more
    // than the whole load; drawing the window more often than the screen shows it would too.
    static inline qint64 s_pumpIntervalNs = 16'000'000;
    mutable int m_menuBarWidth = -1;
    mutable int m_menuBarHeight = 0;
};

} // namespace viewer
