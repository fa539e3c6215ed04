// Start-up of the main window from the two settings files, and its single failure path.

#include "programfixture.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

namespace {
const QByteArray BadFile = QByteArrayLiteral("--> bad file <--");
const QByteArray Normal
    = quorvinIni(" 255 ", " 65280 ", " 0 ", "1500", "990", "6000", "10000", "3000", "6000");
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstRunUsesTheDesign()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        QVERIFY(form->isVisible());
        QCOMPARE(form->windowTitle(), QStringLiteral("Quorvin viewer"));
        QCOMPARE(fixture.text(), QByteArray());
        QCOMPARE(form->Text1->textColour(), platform::Colour(0xE0E0E0));
        QCOMPARE(form->Text1->backColour(), platform::Colour(0));
        QCOMPARE(form->Text1->fontSize(), 9.0f);
        QCOMPARE(form->windowStateValue(), 0);
        QCOMPARE(form->frameGeometry().topLeft(), QPoint(66, 100));
        QCOMPARE(form->centralWidget()->size(), QSize(659, 355));
        for (const char *name : { "f5", "f6", "f9", "f12", "f14" })
            QVERIFY(!form->action(name)->isChecked());
        QCOMPARE(fixture.state().DizHeight, QStringLiteral("3000"));
        QCOMPARE(fixture.state().DizWidth, QStringLiteral("6000"));
        QCOMPARE(fixture.state().NfoWidthAtStart, QStringLiteral("10000"));
        QCOMPARE(fixture.state().VersionText, QStringLiteral("v1.19"));
        QVERIFY(!QFile::exists(fixture.path(QStringLiteral("quorvin.ini"))));
        QVERIFY(!QFile::exists(fixture.path(QStringLiteral("fontsize.ini"))));
    }

    void storedSettingsAreApplied()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 65280 ", " 0 ", "3000", "1500", "7000", "12000", "3000", "6000"));
        viewer::Form1 *form = fixture.start();
        QCOMPARE(form->Text1->textColour(), platform::Colour(255));
        QCOMPARE(form->Text1->backColour(), platform::Colour(65280));
        QCOMPARE(form->frameGeometry().topLeft(), QPoint(100, 200));
        QCOMPARE(form->centralWidget()->size(), QSize(792, 422));
        QCOMPARE(fixture.text(), QByteArray());
    }

    // Whatever was applied before a bad field stays applied; everything after it is skipped.
    void badFieldsTakeTheFailurePath_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("textColourApplied");
        QTest::addColumn<bool>("backColourApplied");
        QTest::addColumn<bool>("placed");

        QTest::newRow("letters after FC-") << quorvinIni(
            " abc ", " 65280 ", " 0 ", "3000", "1500", "7000", "12000", "3000", "6000")
                                           << false << false << false;
        QTest::newRow("cut after line 4")
            << QByteArray("v1.19\r\nFC- 255 \r\nBC- 65280 \r\nState- 0 \r\n") << true << true
            << false;
        QTest::newRow("State- directly followed by 2")
            << quorvinIni(" 255 ", " 65280 ", "2", "3000", "1500", "7000", "12000", "3000", "6000")
            << true << true << false;
        QTest::newRow("colour above 0xFFFFFF") << quorvinIni(
            " 255 ", " 16777216 ", " 0 ", "3000", "1500", "7000", "12000", "3000", "6000")
                                               << true << false << false;
        QTest::newRow("window state 3") << quorvinIni(
            " 255 ", " 65280 ", " 3 ", "3000", "1500", "7000", "12000", "3000", "6000")
                                        << true << true << false;
        QTest::newRow("geometry not a number")
            << quorvinIni(" 255 ", " 65280 ", " 0 ", "nan", "1500", "7000", "12000", "3000", "6000")
            << true << true << false;
        QTest::newRow("geometry beyond a window coordinate")
            << quorvinIni(" 255 ", " 65280 ", " 0 ", "3000", "1500", "7000", "1e30", "3000", "6000")
            << true << true << false;
        QTest::newRow("empty geometry")
            << quorvinIni(" 255 ", " 65280 ", " 0 ", "", "1500", "7000", "12000", "3000", "6000")
            << true << true << false;
        QTest::newRow("empty file") << QByteArray() << false << false << false;
    }
    void badFieldsTakeTheFailurePath()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, textColourApplied);
        QFETCH(bool, backColourApplied);
        QFETCH(bool, placed);
        ProgramFixture fixture(QStringLiteral("/nonexistent/readme.nfo"));
        fixture.write(QStringLiteral("quorvin.ini"), ini);
        fixture.write(QStringLiteral("fontsize.ini"), "12\r\n");
        viewer::Form1 *form = fixture.start();
        QVERIFY(form->isVisible()); // the launch shows the window all the same
        QCOMPARE(fixture.text(), BadFile);
        QCOMPARE(form->Text1->textColour() == 255, textColourApplied);
        QCOMPARE(form->Text1->backColour() == 65280, backColourApplied);
        QCOMPARE(form->frameGeometry().topLeft() == QPoint(100, 200), placed);
        QCOMPARE(form->Text1->fontSize(), 9.0f); // the font size is skipped
        QVERIFY(!form->action("f12")->isChecked());
        QCOMPARE(form->windowTitle(), QStringLiteral("Quorvin viewer")); // so is the command line
        QVERIFY(fixture.services.messages.isEmpty());
    }

    void dizSizeRepair_data()
    {
        QTest::addColumn<QByteArray>("dheight");
        QTest::addColumn<QString>("expectedHeight");
        QTest::addColumn<QString>("expectedWidth");
        QTest::newRow("zero") << QByteArray("0") << QStringLiteral("6000")
                              << QStringLiteral("10000");
        QTest::newRow("nothing") << QByteArray() << QStringLiteral("6000")
                                 << QStringLiteral("10000");
        QTest::newRow("a size") << QByteArray("4000") << QStringLiteral("4000")
                                << QStringLiteral("5000");
    }
    void dizSizeRepair()
    {
        QFETCH(QByteArray, dheight);
        QFETCH(QString, expectedHeight);
        QFETCH(QString, expectedWidth);
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 0 ", "1500", "990", "6000", "10000", dheight, "5000"));
        fixture.start();
        QCOMPARE(fixture.state().DizHeight, expectedHeight);
        QCOMPARE(fixture.state().DizWidth, expectedWidth);
        QCOMPARE(fixture.text(), QByteArray());
    }

    void maximizedStartKeepsTheStoredTexts()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 2 ", "3000", "1500", "7000", "12000", "3000", "6000"));
        viewer::Form1 *form = fixture.start();
        QTRY_COMPARE(form->windowStateValue(), 2);
        QCOMPARE(fixture.state().WinTop, QStringLiteral("3000"));
        QCOMPARE(fixture.state().WinLeft, QStringLiteral("1500"));
        QCOMPARE(fixture.state().NfoHeight, QStringLiteral("7000"));
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("12000"));
    }

    void fontSizeFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<float>("size");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("fails");
        QTest::newRow("12") << QByteArray("12\r\n") << 12.0f << QStringLiteral("f12") << false;
        QTest::newRow("5 without a break")
            << QByteArray("5") << 5.0f << QStringLiteral("f5") << false;
        QTest::newRow("10 checks nothing") << QByteArray("10\r\n") << 10.0f << QString() << false;
        QTest::newRow("9.0 checks nothing") << QByteArray("9.0\r\n") << 9.0f << QString() << false;
        QTest::newRow("text") << QByteArray("big\r\n") << 9.0f << QString() << true;
        QTest::newRow("zero") << QByteArray("0\r\n") << 9.0f << QString() << true;
        QTest::newRow("over 2160 points") << QByteArray("5000\r\n") << 9.0f << QString() << true;
        QTest::newRow("empty file") << QByteArray() << 9.0f << QString() << true;
    }
    void fontSizeFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(float, size);
        QFETCH(QString, checked);
        QFETCH(bool, fails);
        ProgramFixture fixture;
        fixture.write(QStringLiteral("fontsize.ini"), content);
        viewer::Form1 *form = fixture.start();
        QCOMPARE(form->Text1->fontSize(), size);
        QVERIFY(!form->Text1->isBold());
        for (const char *name : { "f5", "f6", "f9", "f12", "f14" })
            QCOMPARE(form->action(name)->isChecked(), checked == QLatin1String(name));
        QCOMPARE(fixture.text(), fails ? BadFile : QByteArray());
    }

    void positionOffEveryScreenIsBroughtBack()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(
                " 255 ", " 0 ", " 0 ", "-300000", "400000", "6000", "10000", "3000", "6000"));
        viewer::Form1 *form = fixture.start();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(available.intersects(form->frameGeometry()));
        QCOMPARE(fixture.text(), QByteArray());
    }

    void rootDirectoryIsRefused()
    {
        QTemporaryDir unused;
        RecordingServices services(QStringLiteral("/"));
        viewer::Program program(services);
        program.start();
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.messages.first().title, QStringLiteral("Quorvin error"));
        QCOMPARE(services.messages.first().text,
            QStringLiteral("Quorvin can't be run from\r\na root directory, please reinstall."));
        QCOMPARE(services.endRequests, 1);
        QVERIFY(!program.form1()->isVisible());
        QVERIFY(program.form1()->ended());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
