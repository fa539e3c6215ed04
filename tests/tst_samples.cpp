// Real NFO and DIZ files from the shared sample collection load through the command line and
// show exactly the bytes the reading rules give. The samples are read where they lie; they
// are not part of this repository.

#include "expectedtext.h"
#include "programfixture.h"

#include <QDir>
#include <QtTest>

namespace {

QString samplesDirectory()
{
    for (const QString &candidate : { QStringLiteral(QUORVIN_SOURCE_DIR "/../shared/samples"),
             QStringLiteral("/work/shared/samples") }) {
        if (QDir(candidate).exists())
            return QDir(candidate).canonicalPath();
    }
    return {};
}

// What a load shows, worked out from the bytes: a CR as the first line break means the file
// as stored less one final break; an LF first (or no break) means every LF becomes CR LF and
// every CR is dropped.
QByteArray expectedText(const QByteArray &bytes)
{
    const qsizetype cr = bytes.indexOf('\r');
    const qsizetype lf = bytes.indexOf('\n');
    return cr >= 0 && (lf < 0 || cr < lf) ? expected::withoutFinalBreak(bytes)
                                          : expected::converted(bytes);
}

} // namespace

class TestSamples : public QObject
{
    Q_OBJECT

private slots:
    void sampleLoadsFromTheCommandLine_data()
    {
        QTest::addColumn<QString>("path");
        const QString directory = samplesDirectory();
        if (directory.isEmpty())
            QSKIP("no shared sample files beside the repository or in /work/shared/samples");
        const QFileInfoList files = QDir(directory).entryInfoList(
            { QStringLiteral("*.nfo"), QStringLiteral("*.diz") }, QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP("the sample directory holds no .nfo or .diz files");
        for (const QFileInfo &file : files)
            QTest::newRow(qPrintable(file.fileName())) << file.filePath();
    }

    void sampleLoadsFromTheCommandLine()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.size() <= 64000, "samples above the size limit are not loads");

        ProgramFixture fixture(path);
        viewer::Form1 *form = fixture.start();

        QCOMPARE(fixture.text(), expectedText(bytes));
        QVERIFY(!fixture.text().contains("--> bad file <--"));
        QVERIFY(fixture.services.messages.isEmpty());
        QCOMPARE(form->windowTitle(),
            QFileInfo(path).fileName().toLower() + QStringLiteral(" - Quorvin"));
        QVERIFY(form->isVisible());
        const bool diz = path.endsWith(QLatin1String(".diz"), Qt::CaseInsensitive);
        QCOMPARE(fixture.state().DizMode, diz);
    }
};

QTEST_MAIN(TestSamples)
#include "tst_samples.moc"
