#include "settings/conversions.h"
#include "settings/fieldreader.h"
#include "settings/settingserror.h"
#include "settings/settingsfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace settings;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Reads quorvin.ini as start-up does: by line position, dropping each key's fixed count.
struct ReadBack
{
    platform::Colour textColour;
    platform::Colour backColour;
    int state;
    QList<QByteArray> geometry;
};

ReadBack readQuorvinIni(const QByteArray &bytes)
{
    FieldReader reader(bytes);
    reader.next();
    ReadBack out;
    out.textColour = toColour(dropLeading(reader.next(), 4));
    out.backColour = toColour(dropLeading(reader.next(), 4));
    out.state = toWindowState(dropLeading(reader.next(), 7));
    for (const qsizetype count : { 4, 5, 8, 7, 8, 7 })
        out.geometry.append(dropLeading(reader.next(), count));
    return out;
}

} // namespace

// The settings formats: the field-reading rule, the number conversions and texts, the bytes
// of both files, and the whole-file store.
class TestSettingsFormat : public QObject
{
    Q_OBJECT

private slots:
    void fieldReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("fields");
        using L = QList<QByteArray>;
        QTest::newRow("empty file has no line") << QByteArray() << L {};
        QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\n") << L { "a", "b" };
        QTest::newRow("lone CR lines") << QByteArray("a\rb\r") << L { "a", "b" };
        QTest::newRow("lone LF lines") << QByteArray("a\nb\n") << L { "a", "b" };
        QTest::newRow("mixed breaks") << QByteArray("a\rb\nc\r\nd") << L { "a", "b", "c", "d" };
        QTest::newRow("last line without break") << QByteArray("a\r\nb") << L { "a", "b" };
        QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << L { "a", "", "b" };
        QTest::newRow("empty lines") << QByteArray("\r\n\r\nx\r\n") << L { "", "", "x" };
        QTest::newRow("only a break") << QByteArray("\r\n") << L { "" };
        QTest::newRow("leading blanks and tabs skipped")
            << QByteArray("  a\r\n\t b\r\n") << L { "a", "b" };
        QTest::newRow("trailing blanks kept")
            << QByteArray("FC- 14737632 \r\n") << L { "FC- 14737632 " };
        QTest::newRow("blank line gives empty text") << QByteArray("   \r\n") << L { "" };
        QTest::newRow("comma ends the value") << QByteArray("a,b\r\n,c\r\n") << L { "a", "" };
        QTest::newRow("quoted value") << QByteArray("\"a, b\"\r\n") << L { "a, b" };
        QTest::newRow("quote after blanks") << QByteArray("  \"x\" rest\r\n") << L { "x" };
        QTest::newRow("unclosed quote runs to line end")
            << QByteArray("\"abc\r\nd\r\n") << L { "abc", "d" };
        QTest::newRow("quote inside value is plain") << QByteArray("a\"b\r\n") << L { "a\"b" };
        QTest::newRow("NUL and high bytes kept")
            << QByteArray("a\0b\xDB\r\n", 6) << L { QByteArray("a\0b\xDB", 4) };
        QTest::newRow("10000-character line") << QByteArray(10000, '7') + "\r\n"
                                              << L { QByteArray(10000, '7') };
    }
    void fieldReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, fields);
        FieldReader reader(bytes);
        for (const QByteArray &field : fields)
            QCOMPARE(reader.next(), field);
        QVERIFY_THROWS_EXCEPTION(SettingsError, reader.next());
    }

    void dropLeading_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("key and blank") << QByteArray("FC- 255 ") << 4 << QByteArray("255 ");
        QTest::newRow("minus sign lost") << QByteArray("FC--5 ") << 4 << QByteArray("5 ");
        QTest::newRow("exactly the key") << QByteArray("Top-") << 4 << QByteArray();
        QTest::newRow("shorter than the count") << QByteArray("To") << 4 << QByteArray();
        QTest::newRow("nothing dropped") << QByteArray("v1.19") << 0 << QByteArray("v1.19");
    }
    void dropLeading()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, count);
        QFETCH(QByteArray, expected);
        QCOMPARE(settings::dropLeading(value, count), expected);
    }

    void toColour_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<uint>("expected");
        QTest::newRow("light grey with trailing blank")
            << QByteArray("14737632 ") << true << 14737632u;
        QTest::newRow("surrounding blanks") << QByteArray(" \t0 ") << true << 0u;
        QTest::newRow("largest") << QByteArray("16777215") << true << 0xFFFFFFu;
        QTest::newRow("plus sign") << QByteArray("+255") << true << 255u;
        QTest::newRow("minus zero") << QByteArray("-0") << true << 0u;
        QTest::newRow("leading zeros") << QByteArray("000255") << true << 255u;
        QTest::newRow("one past 24 bits") << QByteArray("16777216") << false << 0u;
        QTest::newRow("negative") << QByteArray("-1") << false << 0u;
        QTest::newRow("empty") << QByteArray() << false << 0u;
        QTest::newRow("blanks only") << QByteArray("   ") << false << 0u;
        QTest::newRow("letters") << QByteArray("abc") << false << 0u;
        QTest::newRow("trailing letters") << QByteArray("12abc") << false << 0u;
        QTest::newRow("exponent") << QByteArray("1e3") << false << 0u;
        QTest::newRow("decimal point") << QByteArray("12.0") << false << 0u;
        QTest::newRow("hexadecimal") << QByteArray("0xFF") << false << 0u;
        QTest::newRow("two signs") << QByteArray("+-5") << false << 0u;
        QTest::newRow("blank inside") << QByteArray("1 2") << false << 0u;
        QTest::newRow("past 64 bits") << QByteArray("99999999999999999999") << false << 0u;
        QTest::newRow("huge digit string") << QByteArray(10000, '9') << false << 0u;
        QTest::newRow("NUL inside") << QByteArray("12\0"
                                                  "3",
            4) << false << 0u;
        QTest::newRow("wraps to small in 32 bits") << QByteArray("4294967297") << false << 0u;
    }
    void toColour()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(uint, expected);
        if (valid)
            QCOMPARE(settings::toColour(text), expected);
        else
            QVERIFY_THROWS_EXCEPTION(SettingsError, settings::toColour(text));
    }

    void toWindowState_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected"); // -1: refused
        QTest::newRow("normal") << QByteArray(" 0 ") << 0;
        QTest::newRow("minimized") << QByteArray("1") << 1;
        QTest::newRow("maximized with blank") << QByteArray("2 ") << 2;
        QTest::newRow("three") << QByteArray("3") << -1;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("16-bit wrap of 2") << QByteArray("65538") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
        QTest::newRow("letters") << QByteArray("max") << -1;
    }
    void toWindowState()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        if (expected >= 0)
            QCOMPARE(settings::toWindowState(text), expected);
        else
            QVERIFY_THROWS_EXCEPTION(SettingsError, settings::toWindowState(text));
    }

    void toTwips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expected");
        QTest::newRow("whole") << QStringLiteral("1500") << true << 1500.0f;
        QTest::newRow("negative") << QStringLiteral("-45") << true << -45.0f;
        QTest::newRow("fraction") << QStringLiteral("2.5") << true << 2.5f;
        QTest::newRow("point first") << QStringLiteral(".5") << true << 0.5f;
        QTest::newRow("point last") << QStringLiteral("5.") << true << 5.0f;
        QTest::newRow("exponent") << QStringLiteral("1.5E3") << true << 1500.0f;
        QTest::newRow("negative exponent") << QStringLiteral("15e-1") << true << 1.5f;
        QTest::newRow("plus sign and blanks") << QStringLiteral(" +990 ") << true << 990.0f;
        QTest::newRow("largest pixel") << QStringLiteral("491505") << true << 491505.0f;
        QTest::newRow("smallest pixel") << QStringLiteral("-491520") << true << -491520.0f;
        QTest::newRow("one past largest pixel") << QStringLiteral("491520") << false << 0.0f;
        QTest::newRow("below smallest pixel") << QStringLiteral("-491535") << false << 0.0f;
        QTest::newRow("empty") << QString() << false << 0.0f;
        QTest::newRow("blank") << QStringLiteral(" ") << false << 0.0f;
        QTest::newRow("NaN") << QStringLiteral("nan") << false << 0.0f;
        QTest::newRow("infinity") << QStringLiteral("inf") << false << 0.0f;
        QTest::newRow("beyond double") << QStringLiteral("1e400") << false << 0.0f;
        QTest::newRow("huge digit string") << QString(10000, QLatin1Char('9')) << false << 0.0f;
        QTest::newRow("decimal comma") << QStringLiteral("1,5") << false << 0.0f;
        QTest::newRow("hexadecimal") << QStringLiteral("0x10") << false << 0.0f;
        QTest::newRow("bare exponent") << QStringLiteral("e5") << false << 0.0f;
        QTest::newRow("exponent without digits") << QStringLiteral("1e") << false << 0.0f;
        QTest::newRow("lone point") << QStringLiteral(".") << false << 0.0f;
        QTest::newRow("lone minus") << QStringLiteral("-") << false << 0.0f;
        QTest::newRow("trailing letters") << QStringLiteral("1500px") << false << 0.0f;
        QTest::newRow("full-width digits") << QStringLiteral("\uFF11\uFF15") << false << 0.0f;
        QTest::newRow("NUL inside") << QString::fromLatin1("15\0"
                                                           "00",
            5) << false << 0.0f;
    }
    void toTwips()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(float, expected);
        if (valid)
            QCOMPARE(settings::toTwips(text), expected);
        else
            QVERIFY_THROWS_EXCEPTION(SettingsError, settings::toTwips(text));
    }

    void toFontSize_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expected");
        QTest::newRow("menu size") << QByteArray("12") << true << 12.0f;
        QTest::newRow("not a menu size") << QByteArray("10") << true << 10.0f;
        QTest::newRow("with point") << QByteArray("9.0") << true << 9.0f;
        QTest::newRow("largest") << QByteArray("2160") << true << 2160.0f;
        QTest::newRow("too large") << QByteArray("2160.5") << false << 0.0f;
        QTest::newRow("zero") << QByteArray("0") << false << 0.0f;
        QTest::newRow("negative") << QByteArray("-9") << false << 0.0f;
        QTest::newRow("below float range is zero") << QByteArray("1e-60") << false << 0.0f;
        QTest::newRow("NaN") << QByteArray("NaN") << false << 0.0f;
        QTest::newRow("beyond double") << QByteArray("1e400") << false << 0.0f;
        QTest::newRow("empty") << QByteArray() << false << 0.0f;
        QTest::newRow("letters") << QByteArray("big") << false << 0.0f;
    }
    void toFontSize()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(float, expected);
        if (valid)
            QCOMPARE(settings::toFontSize(text), expected);
        else
            QVERIFY_THROWS_EXCEPTION(SettingsError, settings::toFontSize(text));
    }

    void numberText_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("light grey") << qint64(14737632) << QByteArray(" 14737632 ");
        QTest::newRow("zero") << qint64(0) << QByteArray(" 0 ");
        QTest::newRow("negative") << qint64(-5) << QByteArray("-5 ");
    }
    void numberText()
    {
        QFETCH(qint64, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(settings::numberText(value), expected);
    }

    void twipsText_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 1500.0f << QStringLiteral("1500");
        QTest::newRow("negative") << -45.0f << QStringLiteral("-45");
        QTest::newRow("zero") << 0.0f << QStringLiteral("0");
        QTest::newRow("minus zero") << -0.0f << QStringLiteral("0");
        QTest::newRow("fraction") << 2.5f << QStringLiteral("2.5");
        QTest::newRow("shortest of a float") << 0.1f << QStringLiteral("0.1");
        QTest::newRow("large whole") << 491505.0f << QStringLiteral("491505");
    }
    void twipsText()
    {
        QFETCH(float, twips);
        QFETCH(QString, expected);
        const QString text = settings::twipsText(twips);
        QCOMPARE(text, expected);
        QCOMPARE(settings::toTwips(text), twips);
    }

    void quorvinIniFirstRunBytes()
    {
        QuorvinIni ini;
        ini.versionText = QStringLiteral("v1.19");
        ini.winTop = QStringLiteral("1500");
        ini.winLeft = QStringLiteral("990");
        ini.nfoHeight = QStringLiteral("6000");
        ini.nfoWidth = QStringLiteral("10000");
        ini.dizHeight = QStringLiteral("3000");
        ini.dizWidth = QStringLiteral("6000");
        QCOMPARE(serializeQuorvinIni(ini),
            QByteArray("v1.19\r\nFC- 14737632 \r\nBC- 0 \r\nState- 0 \r\nTop-1500\r\n"
                       "Left-990\r\nNheight-6000\r\nNwidth-10000\r\nDheight-3000\r\n"
                       "Dwidth-6000\r\n"));
    }

    void quorvinIniEmptyValuesStillTenLines()
    {
        const QByteArray bytes = serializeQuorvinIni(QuorvinIni {});
        QCOMPARE(bytes.count("\r\n"), 10);
        QVERIFY(bytes.startsWith("\r\nFC- 14737632 \r\n"));
        QVERIFY(bytes.endsWith("Dheight-\r\nDwidth-\r\n"));
    }

    void quorvinIniRoundTrip()
    {
        QuorvinIni ini;
        ini.versionText = QStringLiteral("v1.19");
        ini.textColour = 0x123456;
        ini.backColour = 0xFFFFFF;
        ini.windowState = 2;
        ini.winTop = QStringLiteral("-45");
        ini.winLeft = QStringLiteral("0");
        ini.nfoHeight = QStringLiteral("6000");
        ini.nfoWidth = QStringLiteral("10000");
        ini.dizHeight = QString(); // an empty value reads back empty
        ini.dizWidth = QStringLiteral("6\u00E9"); // a hand-edited Latin-1 byte survives
        const ReadBack back = readQuorvinIni(serializeQuorvinIni(ini));
        QCOMPARE(back.textColour, ini.textColour);
        QCOMPARE(back.backColour, ini.backColour);
        QCOMPARE(back.state, ini.windowState);
        const QList<QByteArray> expected { "-45", "0", "6000", "10000", "", "6\xE9" };
        QCOMPARE(back.geometry, expected);
        QCOMPARE(QString::fromLatin1(back.geometry[5]), ini.dizWidth);
    }

    void quorvinIniCutAfterLineFourRunsOutOfLines()
    {
        FieldReader reader("v1.19\r\nFC- 1 \r\nBC- 2 \r\nState- 0 \r\n");
        for (int line = 0; line < 4; ++line)
            reader.next();
        QVERIFY_THROWS_EXCEPTION(SettingsError, reader.next());
    }

    void handEditedStateLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected"); // -1: start-up fails
        QTest::newRow("no blank after key loses the digit") << QByteArray("State-2") << -1;
        QTest::newRow("one blank") << QByteArray("State- 2") << 2;
        QTest::newRow("blank on both sides") << QByteArray("State- 2 ") << 2;
        QTest::newRow("minus sign read back without it") << QByteArray("State--1 ") << 1;
    }
    void handEditedStateLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        FieldReader reader(line + "\r\n");
        const QByteArray value = settings::dropLeading(reader.next(), 7);
        if (expected >= 0)
            QCOMPARE(settings::toWindowState(value), expected);
        else
            QVERIFY_THROWS_EXCEPTION(SettingsError, settings::toWindowState(value));
    }

    void fontSizeFileBytes()
    {
        QCOMPARE(serializeFontSize(QStringLiteral("12")), QByteArray("12\r\n"));
        FieldReader reader(serializeFontSize(QStringLiteral("5")));
        QCOMPARE(settings::toFontSize(reader.next()), 5.0f);
    }

    void besideProgramJoinsWithSeparator()
    {
        QCOMPARE(besideProgram(QStringLiteral("/opt/quorvin"), QStringLiteral("quorvin.ini")),
            QStringLiteral("/opt/quorvin") + QDir::separator() + QStringLiteral("quorvin.ini"));
    }

    void isRegularFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("quorvin.ini"));
        const QString hidden = dir.filePath(QStringLiteral(".quorvin.ini"));
        const QString link = dir.filePath(QStringLiteral("link.ini"));
        const QString dirLink = dir.filePath(QStringLiteral("dirlink"));
        const QString dangling = dir.filePath(QStringLiteral("dangling.ini"));
        const QString subdir = dir.filePath(QStringLiteral("fontsize.ini"));
        QVERIFY(writeBytes(file, "x"));
        QVERIFY(writeBytes(hidden, "x"));
        QVERIFY(QFile::link(file, link));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("fontsize.ini")));
        QVERIFY(QFile::link(subdir, dirLink));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dangling));

        QVERIFY(settings::isRegularFile(file));
        QVERIFY(settings::isRegularFile(link));
        QVERIFY(!settings::isRegularFile(hidden));
        QVERIFY(!settings::isRegularFile(subdir));
        QVERIFY(!settings::isRegularFile(dirLink));
        QVERIFY(!settings::isRegularFile(dangling));
        QVERIFY(!settings::isRegularFile(dir.filePath(QStringLiteral("missing.ini"))));
        QVERIFY(!settings::isRegularFile(QString()));
    }

    void readSettingsFileWholeOrFailure()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("quorvin.ini"));
        const QByteArray bytes("v1.19\r\nFC-\0 1 \r\n", 16);
        QVERIFY(writeBytes(path, bytes));
        QCOMPARE(readSettingsFile(path), bytes);

        const QString limit = dir.filePath(QStringLiteral("limit.ini"));
        QVERIFY(writeBytes(limit, QByteArray(1024 * 1024, 'x')));
        QCOMPARE(readSettingsFile(limit).size(), 1024 * 1024);

        const QString tooLarge = dir.filePath(QStringLiteral("large.ini"));
        QVERIFY(writeBytes(tooLarge, QByteArray(1024 * 1024 + 1, 'x')));
        QVERIFY_THROWS_EXCEPTION(SettingsError, readSettingsFile(tooLarge));
        QVERIFY_THROWS_EXCEPTION(
            SettingsError, readSettingsFile(dir.filePath(QStringLiteral("none"))));
        QVERIFY_THROWS_EXCEPTION(SettingsError, readSettingsFile(dir.path()));
    }

    void writeWholeFileReplacesAndLeavesNoTemporary()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("fontsize.ini"));
        QVERIFY(writeWholeFile(path, "9\r\n"));
        QCOMPARE(fileBytes(path), QByteArray("9\r\n"));
        QVERIFY(writeWholeFile(path, "12\r\n"));
        QCOMPARE(fileBytes(path), QByteArray("12\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList { QStringLiteral("fontsize.ini") });
    }

    void writeWholeFileFailsWhenParentIsNoDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString notADirectory = dir.filePath(QStringLiteral("plain"));
        QVERIFY(writeBytes(notADirectory, "keep"));
        QVERIFY(!writeWholeFile(notADirectory + QStringLiteral("/quorvin.ini"), "x\r\n"));
        QCOMPARE(fileBytes(notADirectory), QByteArray("keep"));
    }

    void writeWholeFileInReadOnlyDirectoryKeepsOldFile()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only directories");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("quorvin.ini"));
        const QByteArray old("v1.19\r\nFC- 0 \r\n");
        QVERIFY(writeBytes(path, old));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const bool written = writeWholeFile(path, "new\r\n");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!written);
        QCOMPARE(fileBytes(path), old);
    }
};

QTEST_MAIN(TestSettingsFormat)
#include "tst_settingsformat.moc"
