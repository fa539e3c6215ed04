// The close handler's stored geometry and written bytes, and the resize handler's layout.

#include "programfixture.h"

#include "viewer/layout.h"

#include <QtTest>

class TestCloseAndResize : public QObject
{
    Q_OBJECT

private slots:
    void firstCloseWritesTheTenLines()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->close();
        QCOMPARE(fixture.read(QStringLiteral("quorvin.ini")),
            quorvinIni(" 14737632 ", " 0 ", " 0 ", "1500", "990",
                QByteArray::number(form->heightTwips()), QByteArray::number(form->widthTwips()),
                "3000", "6000"));
        QCOMPARE(form->heightTwips(), 355 * 15 + 670.0f);
        QCOMPARE(form->widthTwips(), 659 * 15 + 120.0f);
        QCOMPARE(fixture.services.endRequests, 1);
        QVERIFY(!fixture.program->form2());
    }

    void roundTrip()
    {
        ProgramFixture fixture;
        const QByteArray stored = quorvinIni(
            " 255 ", " 65280 ", " 0 ", "3000", "1500", "7000", "12000", "4500", "7500");
        fixture.write(QStringLiteral("quorvin.ini"), stored);
        fixture.start()->close();
        QCOMPARE(fixture.read(QStringLiteral("quorvin.ini")), stored);
    }

    void maximizedCloseKeepsTheRecordedGeometry_data()
    {
        QTest::addColumn<QByteArray>("top");
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<bool>("topReplaced");
        QTest::addColumn<bool>("leftReplaced");
        QTest::newRow("stored") << QByteArray("3000") << QByteArray("1500") << false << false;
        QTest::newRow("top 0") << QByteArray("0") << QByteArray("1500") << true << false;
        QTest::newRow("left 0") << QByteArray("3000") << QByteArray("0") << false << true;
    }
    void maximizedCloseKeepsTheRecordedGeometry()
    {
        QFETCH(QByteArray, top);
        QFETCH(QByteArray, left);
        QFETCH(bool, topReplaced);
        QFETCH(bool, leftReplaced);
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 2 ", top, left, "7000", "12000", "3000", "6000"));
        viewer::Form1 *form = fixture.start();
        QTRY_COMPARE(form->windowStateValue(), 2);
        const QByteArray maximizedTop = QByteArray::number(form->topTwips());
        const QByteArray maximizedLeft = QByteArray::number(form->leftTwips());
        form->close();
        QCOMPARE(fixture.read(QStringLiteral("quorvin.ini")),
            quorvinIni(" 255 ", " 0 ", " 2 ", topReplaced ? maximizedTop : top,
                leftReplaced ? maximizedLeft : left, "7000", "12000", "3000", "6000"));
    }

    void minimizedCloseWritesStateOne()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 1 ", "3000", "1500", "7000", "12000", "3000", "6000"));
        viewer::Form1 *form = fixture.start();
        QCOMPARE(form->windowStateValue(), 1);
        form->close();
        QCOMPARE(fixture.read(QStringLiteral("quorvin.ini")),
            quorvinIni(" 255 ", " 0 ", " 1 ", "3000", "1500", "7000", "12000", "3000", "6000"));
    }

    void dizModeCloseStoresTheDizSize()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 0 ", "3000", "1500", "7000", "12000", "3000", "6000"));
        viewer::Form1 *form = fixture.start();
        fixture.state().DizMode = true;
        form->setWidthTwips(8100);
        form->setHeightTwips(4420);
        form->close();
        QCOMPARE(fixture.read(QStringLiteral("quorvin.ini")),
            quorvinIni(" 255 ", " 0 ", " 0 ", "3000", "1500", "7000", "12000", "4420", "8100"));
    }

    void secondCopyWritesNothing()
    {
        ProgramFixture fixture;
        fixture.services.anotherCopy = true;
        fixture.start()->close();
        QVERIFY(!QFile::exists(fixture.path(QStringLiteral("quorvin.ini"))));
        QCOMPARE(fixture.services.endRequests, 1);
    }

    void unwritableSettingsStillEnd()
    {
        ProgramFixture fixture;
        QDir(fixture.directory.path()).mkdir(QStringLiteral("quorvin.ini")); // cannot be replaced
        viewer::Form1 *form = fixture.start();
        form->close();
        QVERIFY(QFileInfo(fixture.path(QStringLiteral("quorvin.ini"))).isDir());
        QCOMPARE(fixture.services.endRequests, 1);
        QVERIFY(!form->isVisible());
    }

    void layoutByWindowState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("textWidth");
        QTest::addColumn<float>("textHeight");
        QTest::newRow("normal") << 0 << 10000.0f << 6000.0f << true << 0.0f << 9880.0f << 5270.0f;
        QTest::newRow("maximized")
            << 2 << 19320.0f << 15000.0f << true << 40.0f << 19140.0f << 14270.0f;
        QTest::newRow("minimized") << 1 << 10000.0f << 6000.0f << false << 0.0f << 0.0f << 0.0f;
        QTest::newRow("normal, tiny") << 0 << 100.0f << 700.0f << true << 0.0f << 0.0f << 0.0f;
        QTest::newRow("maximized, tiny") << 2 << 150.0f << 0.0f << true << 40.0f << 0.0f << 0.0f;
    }
    void layoutByWindowState()
    {
        QFETCH(int, state);
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(bool, changes);
        QFETCH(float, left);
        QFETCH(float, textWidth);
        QFETCH(float, textHeight);
        const auto placement = viewer::text1Placement(state, width, height);
        QCOMPARE(placement.has_value(), changes);
        if (!placement)
            return;
        QCOMPARE(placement->left, left);
        QCOMPARE(placement->width, textWidth);
        QCOMPARE(placement->height, textHeight);
    }

    // The text area fills the client area below the 60-twip band, and the geometry is recorded
    // only while the window is normal and no DIZ file is on show.
    void resizeRecordsOnlyNormalNfoGeometry()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->setWidthTwips(9000);
        QCOMPARE(form->Text1->geometry(), QRect(0, 4, 592, 351));
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("9000"));
        QCOMPARE(fixture.state().WinLeft, QStringLiteral("990"));

        fixture.state().DizMode = true;
        form->setWidthTwips(6000);
        QCOMPARE(form->Text1->width(), 392);
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("9000"));

        fixture.state().DizMode = false;
        form->setWindowStateValue(2);
        QTRY_COMPARE(form->windowStateValue(), 2);
        QCOMPARE(form->Text1->x(), 3);
        QCOMPARE(form->Text1->width(), form->centralWidget()->width() - 4);
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("9000"));

        form->setWindowStateValue(0);
        QTRY_COMPARE(form->windowStateValue(), 0);
        QCOMPARE(form->Text1->x(), 0);
        QCOMPARE(form->Text1->width(), form->centralWidget()->width());
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("6000"));
    }
};

QTEST_MAIN(TestCloseAndResize)
#include "tst_closeandresize.moc"
