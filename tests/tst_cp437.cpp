#include "textarea/cp437.h"

#include <QProcess>
#include <QtTest>

// The CP437 table is checked against the system's own converter for every byte that iconv
// maps to a graphic character; the control range, which iconv keeps as control codes, is
// checked against the IBM PC glyphs listed here.
class TestCp437 : public QObject
{
    Q_OBJECT

private slots:
    void graphicBytesMatchIconv()
    {
        QByteArray bytes;
        for (int b = 0x20; b < 0x100; ++b) {
            if (b != 0x7F)
                bytes.append(char(b));
        }
        QProcess iconv;
        iconv.start(QStringLiteral("iconv"),
            { QStringLiteral("-f"), QStringLiteral("CP437"), QStringLiteral("-t"),
                QStringLiteral("UTF-8") });
        if (!iconv.waitForStarted())
            QSKIP("iconv is not available");
        iconv.write(bytes);
        iconv.closeWriteChannel();
        QVERIFY(iconv.waitForFinished());
        QCOMPARE(iconv.exitCode(), 0);
        const QString expected = QString::fromUtf8(iconv.readAllStandardOutput());
        QCOMPARE(expected.size(), bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = quint8(bytes[i]);
            QVERIFY2(textarea::cp437::toUnicode(byte) == expected[i].unicode(),
                qPrintable(QStringLiteral("byte 0x%1").arg(byte, 2, 16)));
        }
        QCOMPARE(textarea::cp437::toUnicode(bytes), expected);
    }

    void controlBytesShowIbmGlyphs()
    {
        const QString glyphs = QString::fromUtf8("☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼");
        QCOMPARE(glyphs.size(), 31);
        for (int b = 1; b < 0x20; ++b)
            QCOMPARE(textarea::cp437::toUnicode(quint8(b)), glyphs[b - 1].unicode());
        QCOMPARE(textarea::cp437::toUnicode(quint8(0x7F)), u'⌂');
        QCOMPARE(textarea::cp437::toUnicode(quint8(0x00)), u'\0');
    }
};

QTEST_APPLESS_MAIN(TestCp437)
#include "tst_cp437.moc"
