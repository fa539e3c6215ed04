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

class TestSettings : public QObject
{
    Q_OBJECT

    static constexpr double Refused = std::numeric_limits<double>::quiet_NaN();
    static QByteArray ini(
        const QByteArray &top, const QByteArray &left = "990", const QByteArray &fc = "255")
    {
        return quorvinIni(" " + fc + " ", " 65280 ", " 0 ", top, left, "6000", "6000", "0", "0");
    }

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
        QFETCH(QByteArray, fields);
        FieldReader reader(bytes);
        QByteArray read;
        for (qsizetype field = 0; field < fields.count('|'); ++field)
            read += reader.next() + '|';
        QCOMPARE(read, fields);
        QVERIFY_THROWS_EXCEPTION(SettingsError, reader.next());
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
        row('s', " 2 ", 2);
        row('s', "65538", Refused);
        row('t', " +2.5 ", 2.5);
        row('t', "491505", 491505);
        row('t', "491520", Refused);
        row('t', "\xEF\xBC\x91\xEF\xBC\x95", Refused); // full-width digits
        row('t', QByteArray(10000, '9'), Refused);
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

    // Start-up with a hostile quorvin.ini ('q') or fontsize.ini ('f'), or a directory or a
    // dangling link in its place, shows the failure text ("bad") or the stored outcome, the font
    // size ("*": its menu item checked); never a message or a window off the screen.
    void hostileSettingsFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, char file, const QByteArray &bytes, const char *e) {
            QTest::newRow(name) << QString::fromLatin1(file == 'q' ? "quorvin.ini" : "fontsize.ini")
                                << bytes << QString::fromLatin1(e);
        };
        row("stored file", 'q', ini("1500"), "ok 9");
        row("colour of twenty digits", 'q', ini("1500", "990", "99999999999999999999"), "bad 9");
        row("far off the screen", 'q', ini("-4e5", "48e4"), "ok 9");
        row("long version line", 'q', QByteArray(10000, 'v') + ini("1").mid(5), "ok 9");
        row("no line breaks at all", 'q', ini("1500").replace("\r\n", " "), "bad 9");
        row("CR-only breaks", 'q', ini("1500").replace("\r\n", "\r"), "ok 9");
        row("2 MiB file", 'q', ini("1500") + QByteArray(2 * 1024 * 1024, ' '), "bad 9");
        row("quorvin.ini is a directory", 'q', "<dir>", "ok 9");
        row("quorvin.ini is a dangling link", 'q', "<link>", "ok 9");
        row("size 12", 'f', "12\r\n", "ok 12*");
        row("size in a 2 MiB file", 'f', "12\r\n" + QByteArray(2 * 1024 * 1024, '\n'), "bad 9");
    }
    void hostileSettingsFile()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        ProgramFixture fixture;
        if (bytes == "<dir>")
            QVERIFY(QDir(fixture.directory.path()).mkdir(file));
        else if (bytes == "<link>")
            QVERIFY(QFile::link(fixture.path(QStringLiteral("missing")), fixture.path(file)));
        else
            fixture.write(file, bytes);
        viewer::Form1 *form = fixture.start();
        const bool bad = fixture.text() == "--> bad file <--";
        QVERIFY(bad || fixture.text().isEmpty());
        QTEST(QString::fromLatin1(bad ? "bad " : "ok ") + QString::number(form->Text1->fontSize())
                + QString::fromLatin1(form->action("f12")->isChecked() ? "*" : ""),
            "expected");
        const bool quorvin = file == QLatin1String("quorvin.ini");
        if (quorvin && !bad) // the stored colour, or the first run's where no file was read
            QCOMPARE(form->Text1->textColour(), bytes.startsWith('<') ? 0xE0E0E0u : 255u);
        QVERIFY(QGuiApplication::primaryScreen()->geometry().intersects(form->frameGeometry()));
        QVERIFY(form->isVisible() && fixture.services.messages.isEmpty());
        // Closing writes a whole, sound quorvin.ini wherever one can be written.
        form->close();
        const QByteArray written = fixture.read(QStringLiteral("quorvin.ini"));
        QVERIFY((quorvin && bytes == "<dir>")
            || (written.startsWith("v1.19\r\n") && written.count("\r\n") == 10));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
