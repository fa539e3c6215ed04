#include "textarea/oemtextarea.h"

#include <QAccessible>
#include <QtTest>

using textarea::OemTextArea;

// Three lines, "ab", "cd" and "ef", after a soft break (CR CR LF) and a CR LF: eight characters.
static const QByteArray threeLines("ab\r\r\ncd\r\nef");

class TestAccessibility : public QObject
{
    Q_OBJECT

    static QAccessibleTextInterface *textOf(OemTextArea &area)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&area);
        return iface != nullptr ? iface->textInterface() : nullptr;
    }

private slots:
    void textIsTheShownTextAsCopyGivesIt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blocks, CR LF")
            << QByteArray("\xDB\xB2 hi\r\nx") << u"\u2588\u2593 hi\nx"_qs;
        QTest::newRow("soft break, lone CR, LF") << QByteArray("a\r\r\nb\rc\n") << u"a\nb\nc\n"_qs;
        QTest::newRow("NUL, low glyphs, DEL")
            << QByteArray("\0\x01\x1A\x7F", 4) << u" \u263A\u2192\u2302"_qs;
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void textIsTheShownTextAsCopyGivesIt()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        OemTextArea area;
        area.setText(bytes);
        QAccessibleTextInterface *text = textOf(area);
        QVERIFY(text != nullptr);
        QCOMPARE(text->characterCount(), expected.size());
        QCOMPARE(text->text(0, text->characterCount()), expected);
        QTest::keySequence(&area, QKeySequence(u"Ctrl+End, Ctrl+Shift+Home"_qs));
        QCOMPARE(area.selectedText(), expected);
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(text->text(start, end), expected);
    }

    void caretSelectionAndLineFollowKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionEnd");
        QTest::addColumn<QString>("line");
        QTest::newRow("down over a soft break") << u"Down"_qs << 3 << 0 << 0 << u"cd\n"_qs;
        QTest::newRow("right from a line's end") << u"End, Right"_qs << 3 << 0 << 0 << u"cd\n"_qs;
        QTest::newRow("end of text") << u"Ctrl+End"_qs << 8 << 0 << 0 << u"ef"_qs;
        QTest::newRow("select across a break")
            << u"Shift+Down, Shift+Right"_qs << 4 << 0 << 4 << u"cd\n"_qs;
        QTest::newRow("select upwards") << u"Down, Down, Shift+Up"_qs << 3 << 3 << 6 << u"cd\n"_qs;
    }
    void caretSelectionAndLineFollowKeys()
    {
        QFETCH(QString, keys);
        OemTextArea area;
        area.setText(threeLines);
        QTest::keySequence(&area, QKeySequence(keys));
        QAccessibleTextInterface *text = textOf(area);
        QTEST(text->cursorPosition(), "caret");
        int start = 0, end = 0;
        text->selection(0, &start, &end);
        QTEST(start, "selectionStart");
        QTEST(end, "selectionEnd");
        QCOMPARE(text->selectionCount(), end > start ? 1 : 0);
        QTEST(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end),
            "line");
    }

    void screenReaderMovesTheCaretAndSelection()
    {
        OemTextArea area;
        area.setText(threeLines);
        QAccessibleTextInterface *text = textOf(area);
        text->setCursorPosition(4);
        QCOMPARE(area.caretPosition(), 6);
        text->setSelection(0, 1, 7);
        QCOMPARE(area.selectedText(), u"b\ncd\ne"_qs);
        text->removeSelection(0);
        QVERIFY(!area.hasSelection());
        QCOMPARE(text->cursorPosition(), 7);
    }

    void characterCellsAndPointsMatch()
    {
        OemTextArea area;
        area.setText("a\tb\r\nxy");
        area.resize(300, 200);
        area.show();
        QAccessibleTextInterface *text = textOf(area);
        for (int offset = 0; offset < text->characterCount(); ++offset)
            QCOMPARE(text->offsetAtPoint(text->characterRect(offset).center()), offset);
        const QPoint insideTab = text->characterRect(0).center() + QPoint(6 * 8, 0);
        QCOMPARE(text->offsetAtPoint(insideTab), 1);
        QCOMPARE(text->offsetAtPoint(text->characterRect(5).center() + QPoint(0, 12)), -1);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
