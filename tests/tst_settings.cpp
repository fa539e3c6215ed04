// The settings formats: the field-reading rule, the number conversions, the exact bytes of both
// files.

#include "settings/conversions.h"
#include "settings/fieldreader.h"
#include "settings/settingserror.h"
#include "settings/settingsfiles.h"

#include <QtTest>

#include <cmath>

using namespace settings;

class TestSettings : public QObject
{
    Q_OBJECT

    static constexpr double Refused = std::numeric_limits<double>::quiet_NaN();

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
        row('c', "255abc", Refused); // a number is the whole field, not its leading digits
        row('t', "12x", Refused);
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
        // Geometry: the shortest decimal text of the single-precision number, no exponent.
        const QuorvinIni ini { QStringLiteral("v1.19"), 0x123456, 0xFFFFFF, 2, twipsText(-3e5f),
            twipsText(-0.0f), twipsText(1500.5f), twipsText(1e-5f), {}, QStringLiteral("6\u00E9") };
        QCOMPARE(serializeQuorvinIni(ini),
            "v1.19\r\nFC- 1193046 \r\nBC- 16777215 \r\nState- 2 \r\nTop--300000\r\n"
            "Left-0\r\nNheight-1500.5\r\nNwidth-0.00001\r\nDheight-\r\nDwidth-6\xE9\r\n");
        QCOMPARE(serializeFontSize(QStringLiteral("12")), QByteArray("12\r\n"));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
