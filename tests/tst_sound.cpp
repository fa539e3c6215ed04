#include "platform/sound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

// A 16-bit PCM WAV file holding a soft sine tone.
void writeWav(const QString &path, double seconds, int rate, int channels)
{
    const int frames = int(seconds * rate);
    QByteArray data;
    data.reserve(frames * channels * 2);
    for (int i = 0; i < frames; ++i) {
        const auto sample = qint16(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
        for (int c = 0; c < channels; ++c) {
            char bytes[2];
            qToLittleEndian(sample, bytes);
            data.append(bytes, 2);
        }
    }
    auto le32 = [](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        return QByteArray(b, 4);
    };
    auto le16 = [](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        return QByteArray(b, 2);
    };
    QByteArray file = "RIFF" + le32(quint32(36 + data.size())) + "WAVEfmt " + le32(16) + le16(1)
        + le16(quint16(channels)) + le32(quint32(rate)) + le32(quint32(rate * channels * 2))
        + le16(quint16(channels * 2)) + le16(16) + "data" + le32(quint32(data.size())) + data;
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(file), file.size());
}

// Sets an environment variable for one scope, then puts the old value back.
class EnvGuard
{
public:
    EnvGuard(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    Q_DISABLE_COPY_MOVE(EnvGuard)

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

// Synchronous playback through a real sound server (the tests' PulseAudio with a null sink):
// the call lasts as long as the sound, and anything unplayable returns false at once.
class TestSound : public QObject
{
    Q_OBJECT

private slots:
    void playsForTheSoundsLength_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::newRow("1 s mono 22050 Hz") << 1.0 << 22050 << 1;
        QTest::newRow("0.5 s stereo 44100 Hz") << 0.5 << 44100 << 2;
    }
    void playsForTheSoundsLength()
    {
        if (qEnvironmentVariableIntValue("QUORVIN_NO_SOUND_SERVER") == 1)
            QSKIP("QUORVIN_NO_SOUND_SERVER=1: no sound server in this environment");
        QFETCH(double, seconds);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tone.wav"));
        writeWav(path, seconds, rate, channels);

        QElapsedTimer timer;
        timer.start();
        const bool played = platform::playWavSync(path);
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(played,
            "no sound server answered: start PulseAudio with a null sink (and a "
            "parec on its monitor), or set QUORVIN_NO_SOUND_SERVER=1 to skip");
        qInfo("%.2f s sound played in %lld ms", seconds, elapsed);
        const qint64 length = qRound64(seconds * 1000);
        QVERIFY2(elapsed >= length - 20, qPrintable(QString::number(elapsed)));
        // Far longer means an idle null sink held the stream back: keep a low-latency parec
        // on its monitor running while the tests run.
        QVERIFY2(elapsed < length + 1500,
            qPrintable(QStringLiteral("%1 ms; is parec recording null.monitor?").arg(elapsed)));
    }

    void unplayableFileReturnsFalseAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QStringLiteral("missing.wav") << QByteArray();
        QTest::newRow("empty") << QStringLiteral("empty.wav") << QByteArray("");
        QTest::newRow("garbage") << QStringLiteral("garbage.wav")
                                 << QByteArray("this is not a sound at all\r\n").repeated(50);
        QTest::newRow("header cut short")
            << QStringLiteral("cut.wav") << QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16);
        QTest::newRow("directory") << QStringLiteral("folder.wav") << QByteArray();
    }
    void unplayableFileReturnsFalseAtOnce()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name == QLatin1String("folder.wav")) {
            QVERIFY(QDir(dir.path()).mkdir(name));
        } else if (name != QLatin1String("missing.wav")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!platform::playWavSync(path));
        QVERIFY(timer.elapsed() < 500);
    }

    void noSoundServerReturnsFalseQuickly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tone.wav"));
        writeWav(path, 1.0, 22050, 1);
        const EnvGuard server(
            "PULSE_SERVER", "unix:" + dir.filePath(QStringLiteral("no-server")).toLocal8Bit());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!platform::playWavSync(path));
        QVERIFY(timer.elapsed() < 1000);
    }
};

QTEST_GUILESS_MAIN(TestSound)
#include "tst_sound.moc"
