#include "textarea/oemtextarea.h"

#include <QAccessible>
#include <QtTest>

using textarea::OemTextArea;
#define textOf(area) QAccessible::queryAccessibleInterface(&area)->textInterface()

// Offsets a screen reader sees are into the copied text: a line break is one "\n".
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // "ab", "cd" and "ef" after a soft break (CR CR LF) and a CR LF: "ab\ncd\nef".
    void caretSelectionAndLineFollowKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("line");
        QTest::newRow("down, soft break") << u"Down"_qs << 3 << QString() << u"cd\n"_qs;
        QTest::newRow("right at line end") << u"End, Right"_qs << 3 << QString() << u"cd\n"_qs;
        QTest::newRow("end of text") << u"Ctrl+End"_qs << 8 << QString() << u"ef"_qs;
        QTest::newRow("select down")
            << u"Shift+Down, Shift+Right"_qs << 4 << u"ab\nc"_qs << u"cd\n"_qs;
        QTest::newRow("select up") << u"Down, Down, Shift+Up"_qs << 3 << u"cd\n"_qs << u"cd\n"_qs;
    }
    void caretSelectionAndLineFollowKeys()
    {
        QFETCH(QString, keys);
        OemTextArea area;
        area.setText("ab\r\r\ncd\r\nef");
        QTest::keySequence(&area, QKeySequence(keys));
        QAccessibleTextInterface *text = textOf(area);
        QTEST(text->cursorPosition(), "caret");
        int start = 0, end = 0;
        text->selection(0, &start, &end);
        QTEST(text->text(start, end), "selected");
        QTEST(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end),
            "line");
    }

    // The text a screen reader reads; its caret and selection; a tab is one character, whatever
    // its width.
    void screenReaderMovesTheCaretAndFindsCharacters()
    {
        OemTextArea area;
        area.setText(QByteArray("\xDB\r\r\nb\rc\n\0\x01\x7F", 11)); // the text as copy gives it
        QAccessibleTextInterface *text = textOf(area);
        QCOMPARE(text->text(0, -1), u"█\nb\nc\n ☺⌂"_qs);
        area.setText("ab\r\r\ncd\r\nef");
        text->setCursorPosition(4);
        QCOMPARE(area.caretPosition(), 6);
        text->setSelection(0, 1, 7);
        QCOMPARE(area.selectedText(), u"b\ncd\ne"_qs);
        text->removeSelection(0);
        QVERIFY(!area.hasSelection());
        QCOMPARE(text->cursorPosition(), 7);
        area.setText("a\tb\r\nxy");
        area.show();
        for (int offset = 0; offset < text->characterCount(); ++offset)
            QCOMPARE(text->offsetAtPoint(text->characterRect(offset).center()), offset);
        QCOMPARE(text->offsetAtPoint(text->characterRect(0).center() + QPoint(6 * 8, 0)), 1);
        QCOMPARE(text->offsetAtPoint(text->characterRect(5).center() + QPoint(0, 12)), -1);
    }

    // A link is a child with the role Link: its characters, its address; a press opens it.
    void linksAreHyperlinks()
    {
        OemTextArea area;
        area.setText("ab\r\nsee www.a.org");
        area.setLinks({ { 8, 17, u"http://www.a.org"_qs } });
        QAccessibleInterface *text = QAccessible::queryAccessibleInterface(&area);
        const int children = text->childCount();
        QAccessibleInterface *link = text->child(children - 1);
        const QAccessibleHyperlinkInterface *h = link->hyperlinkInterface();
        QCOMPARE(u"%1 %2-%3 %4 %5"_qs.arg(link->role())
                     .arg(h->startIndex())
                     .arg(h->endIndex())
                     .arg(h->anchor(), h->anchorTarget()),
            u"30 7-16 www.a.org http://www.a.org"_qs);
        QSignalSpy opened(&area, &OemTextArea::linkActivated);
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened.value(0).value(0).toString(), u"http://www.a.org"_qs);
        area.setText("x");
        QCOMPARE(text->childCount(), children - 1);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
