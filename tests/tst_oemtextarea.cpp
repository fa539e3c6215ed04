#include "textarea/cellgrid.h"
#include "textarea/oemtextarea.h"

#include <QAction>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <QVBoxLayout>

#include <memory>

using textarea::CellGrid;
using textarea::OemTextArea;

// Keys to press: key and modifiers.
using KeyList = QList<QPair<int, int>>;

namespace {

// Colours as the area takes them (0x00BBGGRR) and as they appear in a rendered image.
constexpr platform::Colour inkColour = 0x3080FF;
constexpr platform::Colour paperColour = 0x402010;
const QRgb ink = qRgb(0xFF, 0x80, 0x30);
const QRgb paper = qRgb(0x10, 0x20, 0x40);

std::unique_ptr<OemTextArea> shownArea(const QByteArray &text, float points = 9)
{
    auto area = std::make_unique<OemTextArea>();
    area->setTextColour(inkColour);
    area->setBackColour(paperColour);
    area->setFontSize(points);
    area->resize(640, 480);
    area->setText(text);
    area->show();
    return area;
}

// The viewport rendered at a pixel ratio; the image is returned in device pixels.
QImage render(OemTextArea &area, qreal ratio)
{
    area.clearFocus(); // no caret over the pixels under test
    QImage image(area.viewport()->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    area.viewport()->render(&image);
    image.setDevicePixelRatio(1);
    return image;
}

QSize deviceCell(float points, qreal ratio)
{
    CellGrid grid;
    grid.setCellSize(CellGrid::cellSizeForPoints(points), ratio);
    return grid.deviceCellSize();
}

QRgb pixel(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

bool isInk(const QImage &image, int x, int y)
{
    return pixel(image, x, y) == (ink & 0xFFFFFF);
}

// Pixels of ink connected to (x, y) within a rectangle, 4-connected.
QSet<quint64> inkComponent(const QImage &image, QRect area, QPoint start)
{
    QSet<quint64> seen;
    QList<QPoint> todo { start };
    const auto key = [](QPoint p) {
        return (quint64(quint32(p.x())) << 32) | quint32(p.y());
    };
    while (!todo.isEmpty()) {
        const QPoint p = todo.takeLast();
        if (!area.contains(p) || seen.contains(key(p)) || !isInk(image, p.x(), p.y()))
            continue;
        seen.insert(key(p));
        todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
    }
    return seen;
}

void addSizesAndRatios()
{
    QTest::addColumn<float>("points");
    QTest::addColumn<qreal>("ratio");
    for (float points : { 5.0f, 6.0f, 9.0f, 12.0f, 14.0f }) {
        for (qreal ratio : { 1.0, 2.0 })
            QTest::addRow("%g pt at %g", double(points), ratio) << points << ratio;
    }
}

void press(OemTextArea &area, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(&area, key, modifiers);
}

} // namespace

class TestOemTextArea : public QObject
{
    Q_OBJECT

private slots:
    void startsWithTheDocumentedLook()
    {
        OemTextArea area;
        QCOMPARE(area.textColour(), platform::Colour(0xE0E0E0));
        QCOMPARE(area.backColour(), platform::Colour(0x000000));
        QCOMPARE(area.fontSize(), 9.0f);
        QCOMPARE(area.isBold(), false);
        QCOMPARE(area.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(area.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        area.setFontSize(0);
        area.setFontSize(-3);
        QCOMPARE(area.fontSize(), 9.0f);
    }

    void fullBlocksFormOneSolidRectangle_data() { addSizesAndRatios(); }
    void fullBlocksFormOneSolidRectangle()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        const auto area = shownArea("\r\n \xdb\xdb\xdb\r\n \xdb\xdb\xdb\r\n \xdb\xdb\xdb", points);
        const QImage image = render(*area, ratio);
        const QSize cell = deviceCell(points, ratio);
        const QRect square(cell.width(), cell.height(), 3 * cell.width(), 3 * cell.height());
        for (int y = square.top() - 1; y <= square.bottom() + 1; ++y) {
            for (int x = square.left() - 1; x <= square.right() + 1; ++x) {
                const QRgb expected = square.contains(x, y) ? ink : paper;
                QVERIFY2(pixel(image, x, y) == (expected & 0xFFFFFF),
                    qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
    }

    // A run of straight line characters: the strokes found in its middle cell run unbroken
    // through every cell of the run.
    void straightLinesAreUnbroken_data()
    {
        QTest::addColumn<float>("points");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<char>("byte");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("strokes");
        for (float points : { 5.0f, 9.0f, 14.0f }) {
            for (qreal ratio : { 1.0, 2.0 }) {
                QTest::addRow("single across, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xc4' << true << 1;
                QTest::addRow("double across, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xcd' << true << 2;
                QTest::addRow("single down, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xb3' << false << 1;
                QTest::addRow("double down, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xba' << false << 2;
            }
        }
    }
    void straightLinesAreUnbroken()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        QFETCH(char, byte);
        QFETCH(bool, horizontal);
        QFETCH(int, strokes);
        const QByteArray text
            = horizontal ? QByteArray(5, byte) : QByteArray(1, byte).append('\n').repeated(5);
        const auto area = shownArea(text, points);
        const QImage image = render(*area, ratio);
        const QSize cell = deviceCell(points, ratio);
        const int length = 5 * (horizontal ? cell.width() : cell.height());
        const int across = horizontal ? cell.height() : cell.width();
        const QPoint middle = horizontal ? QPoint(2 * cell.width() + cell.width() / 2, 0)
                                         : QPoint(0, 2 * cell.height() + cell.height() / 2);
        QList<int> inked; // positions across the line that carry ink in the middle cell
        for (int a = 0; a < across; ++a) {
            const QPoint p = horizontal ? middle + QPoint(0, a) : middle + QPoint(a, 0);
            if (isInk(image, p.x(), p.y()))
                inked << a;
        }
        int runs = 0;
        for (int i = 0; i < inked.size(); ++i)
            runs += (i == 0 || inked[i] != inked[i - 1] + 1) ? 1 : 0;
        QCOMPARE(runs, strokes);
        for (int a : inked) {
            for (int along = 0; along < length; ++along) {
                const QPoint p = horizontal ? QPoint(along, a) : QPoint(a, along);
                QVERIFY2(isInk(image, p.x(), p.y()),
                    qPrintable(QStringLiteral("gap at %1,%2").arg(p.x()).arg(p.y())));
            }
        }
    }

    // Every line-drawing character set in the middle of a 3 x 3 block, with the matching
    // straight line in each neighbour that its arms point to: each stroke that leaves the
    // block through an arm is joined by ink to a stroke of another arm.
    void junctionsMeetTheirLines_data() { addSizesAndRatios(); }
    void junctionsMeetTheirLines()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        // Arms up, down, left, right of 0xB3-0xDA (1 single, 2 double).
        const char *arms[] = { "1100", "1110", "1120", "2210", "0210", "0120", "2220", "2200",
            "0220", "2020", "2010", "1020", "0110", "1001", "1011", "0111", "1101", "0011", "1111",
            "1102", "2201", "2002", "0202", "2022", "0222", "2202", "0022", "2222", "1022", "2011",
            "0122", "0211", "2001", "1002", "0102", "0201", "2211", "1122", "1010", "0101" };
        const QSize cell = deviceCell(points, ratio);
        for (int index = 0; index < 40; ++index) {
            const quint8 byte = quint8(0xB3 + index);
            const char *a = arms[index];
            const auto vertical = [](char arm) {
                return arm == '1' ? '\xb3' : arm == '2' ? '\xba' : ' ';
            };
            const auto horizontal = [](char arm) {
                return arm == '1' ? '\xc4' : arm == '2' ? '\xcd' : ' ';
            };
            QByteArray text;
            text.append(' ').append(vertical(a[0])).append(" \n");
            text.append(horizontal(a[2])).append(char(byte)).append(horizontal(a[3])).append('\n');
            text.append(' ').append(vertical(a[1])).append(' ');
            const auto area = shownArea(text, points);
            const QImage image = render(*area, ratio);
            const QRect block(0, 0, 3 * cell.width(), 3 * cell.height());

            // The stroke ends on the block's outer edges, per arm.
            QList<QList<QPoint>> ends(4);
            for (int y = 0; y < block.height(); ++y) {
                if (isInk(image, 0, y) && (y == 0 || !isInk(image, 0, y - 1)))
                    ends[2] << QPoint(0, y);
                if (isInk(image, block.right(), y)
                    && (y == 0 || !isInk(image, block.right(), y - 1)))
                    ends[3] << QPoint(block.right(), y);
            }
            for (int x = 0; x < block.width(); ++x) {
                if (isInk(image, x, 0) && (x == 0 || !isInk(image, x - 1, 0)))
                    ends[0] << QPoint(x, 0);
                if (isInk(image, x, block.bottom())
                    && (x == 0 || !isInk(image, x - 1, block.bottom())))
                    ends[1] << QPoint(x, block.bottom());
            }
            for (int arm = 0; arm < 4; ++arm) {
                const int expected = a[arm] - '0';
                QVERIFY2(ends[arm].size() == expected,
                    qPrintable(QStringLiteral("0x%1 arm %2: %3 strokes")
                                   .arg(byte, 2, 16)
                                   .arg(arm)
                                   .arg(ends[arm].size())));
                for (const QPoint end : ends[arm]) {
                    const QSet<quint64> joined = inkComponent(image, block, end);
                    bool meets = false;
                    for (int other = 0; other < 4; ++other) {
                        for (const QPoint p : ends[other]) {
                            if (other != arm
                                && joined.contains(
                                    (quint64(quint32(p.x())) << 32) | quint32(p.y())))
                                meets = true;
                        }
                    }
                    QVERIFY2(meets,
                        qPrintable(QStringLiteral("0x%1 arm %2 stroke at %3,%4 is cut off")
                                       .arg(byte, 2, 16)
                                       .arg(arm)
                                       .arg(end.x())
                                       .arg(end.y())));
                }
            }
        }
    }

    // Shades repeat with the period of their dot pattern across cell edges, at sizes whose
    // cells are not multiples of that period.
    void shadesContinueAcrossCells_data()
    {
        QTest::addColumn<float>("points");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<char>("byte");
        QTest::addColumn<double>("density");
        for (float points : { 5.0f, 14.0f }) {
            for (qreal ratio : { 1.0, 2.0 }) {
                QTest::addRow("light, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xb0' << 0.25;
                QTest::addRow("medium, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xb1' << 0.5;
                QTest::addRow("dark, %g pt at %g", double(points), ratio)
                    << points << ratio << '\xb2' << 0.75;
            }
        }
    }
    void shadesContinueAcrossCells()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        QFETCH(char, byte);
        QFETCH(double, density);
        const auto area = shownArea(QByteArray(6, byte).append('\n').repeated(4), points);
        const QImage image = render(*area, ratio);
        const QSize cell = deviceCell(points, ratio);
        const int period = 4 * int(ratio);
        const QRect run(0, 0, 6 * cell.width(), 4 * cell.height());
        int inked = 0;
        for (int y = 0; y < run.height(); ++y) {
            for (int x = 0; x < run.width(); ++x) {
                inked += isInk(image, x, y) ? 1 : 0;
                if (x + period < run.width())
                    QVERIFY2(isInk(image, x, y) == isInk(image, x + period, y),
                        qPrintable(QStringLiteral("pattern breaks at %1,%2").arg(x).arg(y)));
                if (y + period < run.height())
                    QVERIFY2(isInk(image, x, y) == isInk(image, x, y + period),
                        qPrintable(QStringLiteral("pattern breaks at %1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(qAbs(double(inked) / (run.width() * run.height()) - density) < 0.05);
    }

    void backgroundFillsTheEmptyArea()
    {
        const auto area = shownArea("ab\r\nc");
        const QImage image = render(*area, 1);
        const QSize cell = deviceCell(9, 1);
        for (QPoint p : { QPoint(cell.width() * 3, 1),
                 QPoint(image.width() - 1, image.height() - 1), QPoint(1, cell.height() * 3) })
            QCOMPARE(pixel(image, p.x(), p.y()), paper & 0xFFFFFF);
        // A letter shows ink, a blank none.
        bool letterInked = false;
        for (int y = 0; y < cell.height(); ++y) {
            for (int x = 0; x < cell.width(); ++x)
                letterInked = letterInked || pixel(image, x, y) != (paper & 0xFFFFFF);
        }
        QVERIFY(letterInked);
    }

    void boldThickensLettersButNotBlocks()
    {
        const auto area = shownArea("MW\xdb");
        const auto inkCount = [](const QImage &image, QRect rect) {
            int count = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x)
                    count += pixel(image, x, y) != (paper & 0xFFFFFF) ? 1 : 0;
            }
            return count;
        };
        const QSize cell = deviceCell(9, 1);
        const QRect letters(0, 0, 2 * cell.width(), cell.height());
        const QRect block(2 * cell.width(), 0, cell.width(), cell.height());
        const QImage normal = render(*area, 1);
        area->setBold(true);
        const QImage bold = render(*area, 1);
        QVERIFY(inkCount(bold, letters) > inkCount(normal, letters));
        QCOMPARE(bold.copy(block), normal.copy(block));
    }

    void keysSelect_data()
    {
        QTest::addColumn<KeyList>("keys"); // key, modifiers
        QTest::addColumn<QString>("selected");
        const int shift = int(Qt::ShiftModifier);
        const int ctrlShift = int(Qt::ControlModifier | Qt::ShiftModifier);
        using Keys = KeyList;
        // Text: "abc\r\n\xdb\xdb\r\r\nxyz"
        QTest::newRow("shift+right twice")
            << Keys { { Qt::Key_Right, shift }, { Qt::Key_Right, shift } } << QStringLiteral("ab");
        QTest::newRow("shift+end")
            << Keys { { Qt::Key_Right, 0 }, { Qt::Key_End, shift } } << QStringLiteral("bc");
        QTest::newRow("shift+home from the end")
            << Keys { { Qt::Key_End, 0 }, { Qt::Key_Home, shift } } << QStringLiteral("abc");
        QTest::newRow("shift+down")
            << Keys { { Qt::Key_Down, shift } } << QString::fromUtf8("abc\n");
        QTest::newRow("shift+down over CR CR LF")
            << Keys { { Qt::Key_Down, 0 }, { Qt::Key_Down, shift } } << QString::fromUtf8("██\n");
        QTest::newRow("ctrl+shift+end")
            << Keys { { Qt::Key_End, ctrlShift } } << QString::fromUtf8("abc\n██\nxyz");
        QTest::newRow("ctrl+shift+home") << Keys { { Qt::Key_End, int(Qt::ControlModifier) },
            { Qt::Key_Left, 0 }, { Qt::Key_Home, ctrlShift } }
                                         << QString::fromUtf8("abc\n██\nxy");
        QTest::newRow("shift+page down")
            << Keys { { Qt::Key_PageDown, shift } } << QString::fromUtf8("abc\n██\n");
        QTest::newRow("shift+page up") << Keys { { Qt::Key_End, int(Qt::ControlModifier) },
            { Qt::Key_PageUp, shift } } << QString::fromUtf8("\n██\nxyz");
        QTest::newRow("shift+left back over a break")
            << Keys { { Qt::Key_Down, 0 }, { Qt::Key_Left, shift } } << QStringLiteral("\n");
        QTest::newRow("a plain move drops the selection")
            << Keys { { Qt::Key_Right, shift }, { Qt::Key_Right, 0 } } << QString();
    }
    void keysSelect()
    {
        QFETCH(KeyList, keys);
        QFETCH(QString, selected);
        const auto area = shownArea("abc\r\n\xdb\xdb\r\r\nxyz");
        for (const auto &[key, modifiers] : keys)
            press(*area, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(area->selectedText(), selected);
        QCOMPARE(area->hasSelection(), !selected.isEmpty());
    }

    void typingChangesNothingAndIsReported()
    {
        const QByteArray text("abc\r\ndef");
        const auto area = shownArea(text);
        QSignalSpy keyDowns(area.get(), &OemTextArea::keyDown);
        QSignalSpy keyPresses(area.get(), &OemTextArea::keyPress);
        QTest::keyClicks(area.get(), QStringLiteral("xy"));
        for (Qt::Key key : { Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab })
            press(*area, key);
        QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
        QApplication::sendEvent(area.get(), &ctrlC);
        QCOMPARE(area->text(), text);
        QCOMPARE(keyDowns.size(), 7);
        QCOMPARE(keyDowns.at(2).at(0).toInt(), int(Qt::Key_Backspace));
        QCOMPARE(keyDowns.at(6).at(0).toInt(), int(Qt::Key_C));
        QCOMPARE(keyDowns.at(6).at(1).value<Qt::KeyboardModifiers>(), Qt::ControlModifier);
        QCOMPARE(keyPresses.first().at(0).toInt(), int('x'));
        QCOMPARE(keyPresses.last().at(0).toInt(), 3);
    }

    // The window's Ctrl+letter shortcuts win over the area, which neither selects all nor
    // copies by itself.
    void windowShortcutsWin()
    {
        QWidget window;
        auto *area = new OemTextArea(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(area);
        auto *about = new QAction(&window);
        about->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        window.addAction(about);
        QSignalSpy triggered(about, &QAction::triggered);
        area->setText("some text");
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        area->setFocus();
        QTest::keyClick(area, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(triggered.size(), 1);
        QVERIFY(!area->hasSelection());
        QKeyEvent override(
            QEvent::ShortcutOverride, Qt::Key_X, Qt::ControlModifier, QStringLiteral("\x18"));
        QApplication::sendEvent(area, &override);
        QVERIFY(!override.isAccepted());
    }

    void dragSelectsAndDoubleClickSelectsAWord()
    {
        const auto area = shownArea("see www.x.org now");
        const QSize cell = deviceCell(9, 1);
        const auto at = [&](int column) {
            return QPoint(column * cell.width() + 1, cell.height() / 2);
        };
        QWidget *viewport = area->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, at(1));
        QTest::mouseMove(viewport, at(6));
        QMouseEvent move(QEvent::MouseMove, at(6), viewport->mapToGlobal(at(6)), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(6));
        QCOMPARE(area->selectedText(), QStringLiteral("ee ww"));

        QSignalSpy doubleClicks(area.get(), &OemTextArea::doubleClicked);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at(8));
        QCOMPARE(area->selectedText(), QStringLiteral("www.x.org"));
        QCOMPARE(doubleClicks.size(), 1);

        area->clearSelection();
        QVERIFY(!area->hasSelection());
        QCOMPARE(area->selectedText(), QString());
        QCOMPARE(area->caretPosition(), 4); // the start of the word
    }

    void settingTextResetsSelectionCaretAndScrolling()
    {
        const auto area = shownArea(QByteArray("line\r\n").repeated(500));
        press(*area, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(area->hasSelection());
        QVERIFY(area->verticalScrollBar()->value() > 0);
        area->setText(QByteArray("x\n").repeated(1000));
        QVERIFY(!area->hasSelection());
        QCOMPARE(area->caretPosition(), 0);
        QCOMPARE(area->verticalScrollBar()->value(), 0);
        QCOMPARE(
            area->verticalScrollBar()->maximum(), 1001 - area->verticalScrollBar()->pageStep());
    }

    // Setting the text repaints only the lines that may have changed; what the screen shows
    // afterwards must still be the new text exactly.
    void screenShowsTheNewTextAfterEachSet_data()
    {
        const QByteArray art = QByteArray("\xdb\xb1 ART \xc4\xc4\xbf\r\n").repeated(40);
        QTest::addColumn<QByteArrayList>("texts");
        QTest::newRow("from empty") << QByteArrayList { QByteArray(), art };
        QTest::newRow("growing by 500 bytes")
            << QByteArrayList { art.left(100), art.left(200), art.left(350), art };
        QTest::newRow("shrinking") << QByteArrayList { art, art.left(37) };
        QTest::newRow("to empty") << QByteArrayList { art, QByteArray() };
        QTest::newRow("one middle line changed")
            << QByteArrayList { art, QByteArray(art).replace(150, 3, "xyz") };
        QTest::newRow("a CR gains its LF")
            << QByteArrayList { QByteArray("ab\rcd\r"), QByteArray("ab\r\ncd\r\n") };
        QTest::newRow("CR CR then LF") << QByteArrayList { QByteArray("ab\r\r"),
            QByteArray("ab\r\r\n"), QByteArray("ab\r\r\nc") };
        QTest::newRow("lone LF file converted")
            << QByteArrayList { QByteArray("a\r\nb"), QByteArray("a\r\nb\r\nc\r\nd") };
    }

    void screenShowsTheNewTextAfterEachSet()
    {
        QFETCH(QByteArrayList, texts);
        const auto area = shownArea(texts.front());
        QVERIFY(QTest::qWaitForWindowExposed(area.get()));
        area->setFocusPolicy(Qt::NoFocus); // no caret over the pixels under test
        area->clearFocus();
        QScreen *screen = area->screen();
        for (const QByteArray &text : texts) {
            area->setText(text);
            QCoreApplication::sendPostedEvents(area.get(), QEvent::UpdateRequest);
            QApplication::processEvents();
            const QImage shown = screen->grabWindow(area->winId())
                                     .toImage()
                                     .copy(QRect(area->viewport()->mapTo(area.get(), QPoint()),
                                         area->viewport()->size()))
                                     .convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown, render(*area, 1.0));
        }
    }

    void longLineScrollsToItsEnd()
    {
        QByteArray text(64000, 'a');
        text[63999] = '\xdb';
        const auto area = shownArea(text);
        QScrollBar *bar = area->horizontalScrollBar();
        QVERIFY(bar->pageStep() > 0);
        QCOMPARE(bar->maximum() + bar->pageStep(), 64001);
        bar->setValue(bar->maximum());
        const QImage image = render(*area, 1);
        const QSize cell = deviceCell(9, 1);
        const int lastCell = (64000 - 1 - bar->value()) * cell.width();
        QVERIFY(isInk(image, lastCell + 1, 1));
        QVERIFY(!isInk(image, lastCell + cell.width() + 1, 1));
    }

    void hostileTextShowsWithoutFailing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QByteArray noise(128000, '\0');
        quint32 state = 12345;
        for (char &byte : noise) {
            state = state * 1664525u + 1013904223u;
            byte = char(state >> 24);
        }
        QTest::newRow("NULs") << QByteArray(5000, '\0');
        QTest::newRow("64000 bytes, no break") << QByteArray(64000, '\xb1');
        QTest::newRow("128000 bytes of CR LF") << QByteArray("\r\n").repeated(64000);
        QTest::newRow("tabs") << QByteArray(64000, '\t');
        QTest::newRow("noise") << noise;
    }
    void hostileTextShowsWithoutFailing()
    {
        QFETCH(QByteArray, text);
        const auto area = shownArea(text, 5);
        for (QScrollBar *bar : { area->horizontalScrollBar(), area->verticalScrollBar() }) {
            bar->setValue(bar->maximum());
            QVERIFY(!render(*area, 2).isNull());
        }
        press(*area, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(area->selectedText().size() > 0, text.size() > 0);
        QCOMPARE(area->text(), text);
    }
};

QTEST_MAIN(TestOemTextArea)
#include "tst_oemtextarea.moc"
