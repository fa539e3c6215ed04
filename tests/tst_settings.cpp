// The settings formats and files: the field-reading rule, the number conversions, the exact
// bytes of both files, the whole-file store, and start-up with hostile settings files.

#include "programfixture.h"

#include "settings/conversions.h"
#include "settings/fieldreader.h"
#include "settings/settingserror.h"
#include "settings/settingsfiles.h"

#include <QAction>
#include <QScreen>

#include <cmath>

using namespace settings;

namespace {

constexpr double Refused = std::numeric_limits<double>::quiet_NaN();

QByteArray ini(const QByteArray &top, const QByteArray &size = "6000", const QByteArray &fc = "255")
{
    return quorvinIni(" " + fc + " ", " 65280 ", " 0 ", top, "990", size, size, "3000", "6000");
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    // Each field read, followed by "|", until the reader runs out of lines.
    void fieldsAreReadLineByLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("fields");
        const auto row = [](const char *name, const QByteArray &bytes, const QByteArray &fields) {
            QTest::newRow(name) << bytes << fields;
        };
        row("empty file has no line", "", "");
        row("only a break", "\r\n", "|");
        row("CR LF, CR, LF, none", "a\r\nb\rc\nd", "a|b|c|d|");
        row("LF CR is two breaks", "a\n\r\r\nb", "a|||b|");
        row("blanks: leading skipped", " \ta b \r\n", "a b |");
        row("comma ends the value", "a,b\r\n,c\r\n", "a||");
        row("quoted value", "  \"a, b\" c\r\n", "a, b|");
        row("unclosed quote", "\"abc\r\nd\"e\r\n", "abc|d\"e|");
        row("NUL, high bytes", QByteArray("\0\xDB\r\n", 4), QByteArray("\0\xDB|", 3));
    }
    void fieldsAreReadLineByLine()
    {
        QFETCH(QByteArray, bytes);
        FieldReader reader(bytes);
        QByteArray read;
        for (int line = 0; line <= bytes.size(); ++line) {
            try {
                read += reader.next() + '|';
            } catch (const SettingsError &) {
                break;
            }
        }
        QTEST(read, "fields");
    }

    // Kinds: c colour, s window state, t twips (geometry), f font size.
    void numbersConvertOrAreRefused_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        const auto row = [](char kind, const QByteArray &text, double expected) {
            QTest::addRow("%c '%s'", kind, text.left(20).toPercentEncoding(" +-.,").constData())
                << kind << text << expected;
        };
        row('c', " \t+16777215 ", 16777215);
        row('c', "16777216", Refused);
        row('c', "99999999999999999999", Refused);
        row('s', " 2 ", 2);
        row('s', "65538", Refused);
        row('t', " +2.5 ", 2.5);
        row('t', "491505", 491505);
        row('t', "491520", Refused);
        row('t', "nan", Refused);
        row('t', "\xEF\xBC\x91\xEF\xBC\x95", Refused); // full-width digits
        row('t', QByteArray(10000, '9'), Refused);
        row('f', "9.0", 9);
        row('f', "2160.5", Refused);
        row('f', "0", Refused);
    }
    void numbersConvertOrAreRefused()
    {
        QFETCH(char, kind);
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const auto convert = [&]() -> double {
            return kind == 'c' ? toColour(text)
                : kind == 's'  ? toWindowState(text)
                : kind == 't'  ? toTwips(QString::fromUtf8(text))
                               : toFontSize(text);
        };
        if (std::isnan(expected))
            QVERIFY_THROWS_EXCEPTION(SettingsError, convert());
        else
            QCOMPARE(convert(), expected);
    }

    void settingsFilesHoldTheseBytes()
    {
        const QuorvinIni ini { QStringLiteral("v1.19"), 0x123456, 0xFFFFFF, 2, twipsText(-45),
            twipsText(-0.0f), twipsText(2.5f), twipsText(0.1f), {}, QStringLiteral("6\u00E9") };
        QCOMPARE(serializeQuorvinIni(ini),
            "v1.19\r\nFC- 1193046 \r\nBC- 16777215 \r\nState- 2 \r\nTop--45\r\nLeft-0\r\n"
            "Nheight-2.5\r\nNwidth-0.1\r\nDheight-\r\nDwidth-6\xE9\r\n");
        QCOMPARE(serializeFontSize(QStringLiteral("12")), QByteArray("12\r\n"));
    }

    // Start-up with a hostile settings file shows the failure text or the stored outcome, never
    // a crash, a message or a window off the screen. Kinds: f file, d directory, l dangling link.
    void hostileSettingsFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("bad");
        QTest::addColumn<float>("fontSize");
        const auto q = [](const char *row, const QByteArray &bytes, bool bad, char kind = 'f') {
            QTest::newRow(row) << QStringLiteral("quorvin.ini") << kind << bytes << bad << 9.0f;
        };
        const auto f = [](const char *row, const QByteArray &bytes, bool bad, float size = 9) {
            QTest::newRow(row) << QStringLiteral("fontsize.ini") << 'f' << bytes << bad << size;
        };
        QByteArray crOnly = ini("1500");
        q("stored file", ini("1500"), false);
        q("colour of twenty digits", ini("1500", "6000", "99999999999999999999"), true);
        q("negative sizes", ini("1500", "-6000"), false);
        q("far off the screen",
            quorvinIni(" 255 ", " 0 ", " 0 ", "-400000", "480000", "6000", "6000", "3000", "6000"),
            false);
        q("10000-character version line", QByteArray(10000, 'v') + ini("1500").mid(5), false);
        q("no line breaks at all", ini("1500").replace("\r\n", " "), true);
        q("CR-only breaks", crOnly.replace("\r\n", "\r"), false);
        q("2 MiB file", ini("1500") + QByteArray(2 * 1024 * 1024, ' '), true);
        q("quorvin.ini is a directory", {}, false, 'd');
        q("quorvin.ini is a dangling link", {}, false, 'l');
        f("size 12", "12\r\n", false, 12);
        f("size with a CR-only break", "12\r14\r", false, 12);
        f("size in a 2 MiB file", "12\r\n" + QByteArray(2 * 1024 * 1024, '\n'), true);
    }
    void hostileSettingsFile()
    {
        QFETCH(QString, name);
        QFETCH(char, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, bad);
        QFETCH(float, fontSize);
        ProgramFixture fixture;
        if (kind == 'f')
            fixture.write(name, bytes);
        else if (kind == 'd')
            QVERIFY(QDir(fixture.directory.path()).mkdir(name));
        else
            QVERIFY(QFile::link(fixture.path(QStringLiteral("missing")), fixture.path(name)));
        viewer::Form1 *form = fixture.start();

        QCOMPARE(fixture.text(), bad ? QByteArray("--> bad file <--") : QByteArray());
        QCOMPARE(form->Text1->fontSize(), fontSize);
        QCOMPARE(form->action("f12")->isChecked(), fontSize == 12.0f);
        const bool quorvin = name == QLatin1String("quorvin.ini");
        if (quorvin && !bad) // the stored colour, or the first run's where no file was read
            QCOMPARE(form->Text1->textColour(), kind == 'f' ? 255u : 0xE0E0E0u);
        if (quorvin && kind != 'f')
            QCOMPARE(form->frameGeometry().topLeft(), QPoint(66, 100));
        QVERIFY(form->isVisible());
        QVERIFY(QGuiApplication::primaryScreen()->geometry().intersects(form->frameGeometry()));
        QVERIFY(fixture.services.messages.isEmpty());

        // Closing writes a whole, sound quorvin.ini wherever one can be written.
        form->close();
        const QByteArray written = fixture.read(QStringLiteral("quorvin.ini"));
        if (!(quorvin && kind == 'd'))
            QVERIFY(written.startsWith("v1.19\r\n") && written.count("\r\n") == 10);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
