// Start-up with hostile settings files: absurd numbers, very long lines, NUL bytes, missing or
// odd line breaks, oversized files, a directory or a dangling link in a settings file's place.
// Each ends in the failure text or in the documented outcome, and the window is always shown
// on a screen.

#include "programfixture.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

namespace {

const QByteArray BadFile = QByteArrayLiteral("--> bad file <--");

enum class Kind { Content, Directory, DanglingLink };

QByteArray ini(const QByteArray &top, const QByteArray &left = "990",
    const QByteArray &nheight = "6000", const QByteArray &nwidth = "10000",
    const QByteArray &fc = " 255 ")
{
    return quorvinIni(fc, " 65280 ", " 0 ", top, left, nheight, nwidth, "3000", "6000");
}

} // namespace

class TestHostileSettings : public QObject
{
    Q_OBJECT

private slots:
    void hostileSettingsFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("bad");
        QTest::addColumn<float>("fontSize");

        const QString q = QStringLiteral("quorvin.ini");
        const QString f = QStringLiteral("fontsize.ini");
        const auto content = int(Kind::Content);
        const QByteArray longDigits(10000, '7');
        QByteArray twoMiB = ini("1500");
        twoMiB += QByteArray(2 * 1024 * 1024 - twoMiB.size(), ' ');
        QByteArray crOnly = ini("1500");
        crOnly.replace("\r\n", "\r");

        QTest::newRow("colour of twenty digits")
            << q << content << ini("1500", "990", "6000", "10000", " 99999999999999999999 ") << true
            << 9.0f;
        QTest::newRow("top 1e400") << q << content << ini("1e400") << true << 9.0f;
        QTest::newRow("top NaN") << q << content << ini("NaN") << true << 9.0f;
        QTest::newRow("top -inf") << q << content << ini("-inf") << true << 9.0f;
        QTest::newRow("top past a coordinate") << q << content << ini("99999999") << true << 9.0f;
        QTest::newRow("negative sizes")
            << q << content << ini("1500", "990", "-6000", "-10000") << false << 9.0f;
        QTest::newRow("zero sizes")
            << q << content << ini("1500", "990", "0", "0") << false << 9.0f;
        QTest::newRow("far off the screen")
            << q << content << ini("-400000", "480000") << false << 9.0f;
        QTest::newRow("10000-digit top") << q << content << ini(longDigits) << true << 9.0f;
        QTest::newRow("10000-character version line")
            << q << content << QByteArray(10000, 'v') + ini("1500").mid(5) << false << 9.0f;
        QTest::newRow("NUL inside a colour")
            << q << content << ini("1500", "990", "6000", "10000", QByteArray(" 2\0 55 ", 7))
            << true << 9.0f;
        QTest::newRow("NUL bytes only") << q << content << QByteArray(4096, '\0') << true << 9.0f;
        QTest::newRow("no line breaks at all")
            << q << content << ini("1500").replace("\r\n", " ") << true << 9.0f;
        QTest::newRow("CR-only breaks") << q << content << crOnly << false << 9.0f;
        QTest::newRow("2 MiB file") << q << content << twoMiB << true << 9.0f;
        QTest::newRow("quorvin.ini is a directory")
            << q << int(Kind::Directory) << QByteArray() << false << 9.0f;
        QTest::newRow("quorvin.ini is a dangling link")
            << q << int(Kind::DanglingLink) << QByteArray() << false << 9.0f;

        QTest::newRow("size 1e400") << f << content << QByteArray("1e400\r\n") << true << 9.0f;
        QTest::newRow("size NaN") << f << content << QByteArray("NaN\r\n") << true << 9.0f;
        QTest::newRow("size -12") << f << content << QByteArray("-12\r\n") << true << 9.0f;
        QTest::newRow("size 0") << f << content << QByteArray("0\r\n") << true << 9.0f;
        QTest::newRow("size 99999") << f << content << QByteArray("99999\r\n") << true << 9.0f;
        QTest::newRow("size of 10000 digits") << f << content << longDigits << true << 9.0f;
        QTest::newRow("size with a NUL")
            << f << content << QByteArray("1\0 2\r\n", 6) << true << 9.0f;
        QTest::newRow("size without a line break")
            << f << content << QByteArray("12") << false << 12.0f;
        QTest::newRow("size with a CR-only break")
            << f << content << QByteArray("12\r14\r") << false << 12.0f;
        QTest::newRow("size in a 2 MiB file")
            << f << content << QByteArray("12\r\n") + QByteArray(2 * 1024 * 1024, '\n') << true
            << 9.0f;
        QTest::newRow("fontsize.ini is a directory")
            << f << int(Kind::Directory) << QByteArray() << false << 9.0f;
        QTest::newRow("fontsize.ini is a dangling link")
            << f << int(Kind::DanglingLink) << QByteArray() << false << 9.0f;
    }

    void hostileSettingsFile()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, bad);
        QFETCH(float, fontSize);

        ProgramFixture fixture;
        switch (Kind(kind)) {
        case Kind::Content:
            fixture.write(name, bytes);
            break;
        case Kind::Directory:
            QVERIFY(QDir(fixture.directory.path()).mkdir(name));
            break;
        case Kind::DanglingLink:
            QVERIFY(QFile::link(fixture.path(QStringLiteral("missing.ini")), fixture.path(name)));
            break;
        }

        viewer::Form1 *form = fixture.start();

        QCOMPARE(fixture.text(), bad ? BadFile : QByteArray());
        QCOMPARE(form->Text1->fontSize(), fontSize);
        QCOMPARE(form->action("f12")->isChecked(), fontSize == 12.0f);
        if (name == QLatin1String("quorvin.ini") && !bad && kind == int(Kind::Content))
            QCOMPARE(form->Text1->textColour(), platform::Colour(255));
        if (kind != int(Kind::Content) && name == QLatin1String("quorvin.ini")) {
            // Treated as missing: the first run's place and colours.
            QCOMPARE(form->frameGeometry().topLeft(), QPoint(66, 100));
            QCOMPARE(form->Text1->textColour(), platform::Colour(0xE0E0E0));
        }
        QVERIFY(form->isVisible());
        QVERIFY(QGuiApplication::primaryScreen());
        QVERIFY2(QGuiApplication::primaryScreen()->geometry().intersects(form->frameGeometry()),
            qPrintable(QStringLiteral("window at %1,%2 %3x%4")
                           .arg(form->frameGeometry().x())
                           .arg(form->frameGeometry().y())
                           .arg(form->frameGeometry().width())
                           .arg(form->frameGeometry().height())));
        QVERIFY(fixture.services.messages.isEmpty());
        QCOMPARE(fixture.services.endRequests, 0);

        // Closing writes a whole, sound quorvin.ini wherever one can be written.
        form->close();
        if (!(name == QLatin1String("quorvin.ini") && kind == int(Kind::Directory))) {
            const QByteArray written = fixture.read(QStringLiteral("quorvin.ini"));
            QVERIFY(written.startsWith("v1.19\r\n"));
            QCOMPARE(written.count("\r\n"), 10);
        }
    }
};

QTEST_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
