#include "platform/qtservices.h"
#include "platform/runlock.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Runs check on the modal dialog of type Dialog once it is open and has settled.
template<typename Dialog> void whenOpen(std::function<bool(Dialog *)> check)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && check(dialog))
            poll->deleteLater();
    });
    poll->start(20);
}

} // namespace

// The argument string is the words after the program's name joined by single blanks, taken
// before Qt sees them.
class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void argumentString_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList { QStringLiteral("quorvin") } << QString();
        QTest::newRow("one") << QStringList { QStringLiteral("quorvin"), QStringLiteral("a.nfo") }
                             << QStringLiteral("a.nfo");
        QTest::newRow("split by the shell") << QStringList { QStringLiteral("quorvin"),
            QStringLiteral("/tmp/my"), QStringLiteral("file.nfo") }
                                            << QStringLiteral("/tmp/my file.nfo");
        QTest::newRow("quotes kept")
            << QStringList { QStringLiteral("quorvin"), QStringLiteral("\"x.nfo\"") }
            << QStringLiteral("\"x.nfo\"");
    }
    void argumentString()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, expected);
        std::vector<QByteArray> storage;
        std::vector<char *> argv;
        for (const QString &word : words)
            storage.push_back(word.toLocal8Bit());
        for (QByteArray &word : storage)
            argv.push_back(word.data());
        QCOMPARE(platform::argumentStringFrom(int(argv.size()), argv.data()), expected);
    }

    // The real open-file dialog: its title and filters, names matched in any letter case, a
    // typed name that does not exist accepted, and a cancel that yields nothing.
    // The run lock: one holder at a time, free again once the holder ends, and a lock whose
    // file cannot be made counts as held by another copy.
    void runLockHasOneHolder()
    {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("quorvin.lock"));
        {
            const platform::RunLock first(path);
            QVERIFY(first.isHeld());
            const platform::RunLock second(path);
            QVERIFY(!second.isHeld());
        }
        const platform::RunLock again(path);
        QVERIFY(again.isHeld());
        const platform::RunLock nowhere(directory.filePath(QStringLiteral("missing/quorvin.lock")));
        QVERIFY(!nowhere.isHeld());
    }

    void openFileDialog()
    {
        QTemporaryDir directory;
        for (const char *name : { "README.NFO", "notes.txt", "file_id.diz" }) {
            QFile file(directory.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        char program[] = "quorvin";
        char *argv[] = { program };
        platform::QtServices services(1, argv);
        const QList<platform::FileFilter> filters
            = { { QStringLiteral("NFO Files (*.nfo)"), QStringLiteral("*.nfo") },
                  { QStringLiteral("Diz Files (*.diz)"), QStringLiteral("*.diz") },
                  { QStringLiteral("All Files (*.*)"), QStringLiteral("*.*") } };

        QStringList shown;
        QString title;
        QString selectedFilter;
        whenOpen<QFileDialog>([&](QFileDialog *dialog) {
            if (dialog->directory().absolutePath() != directory.path()) {
                dialog->setDirectory(directory.path());
                return false;
            }
            auto *view = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
            if (!view || view->model()->rowCount(view->rootIndex()) == 0)
                return false; // the folder is still being read
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
            title = dialog->windowTitle();
            selectedFilter = dialog->selectedNameFilter();
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            name->setText(QStringLiteral("typed.nfo"));
            QTest::keyClick(name, Qt::Key_Return);
            return true;
        });
        const std::optional<QString> chosen
            = services.openFileName(nullptr, QStringLiteral("Open file"), filters);
        QCOMPARE(title, QStringLiteral("Open file"));
        QCOMPARE(selectedFilter, QStringLiteral("NFO Files (*.nfo)"));
        QCOMPARE(shown, QStringList { QStringLiteral("README.NFO") });
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, directory.filePath(QStringLiteral("typed.nfo")));

        whenOpen<QFileDialog>([](QFileDialog *dialog) {
            dialog->reject();
            return true;
        });
        QVERIFY(!services.openFileName(nullptr, QStringLiteral("Open file"), filters).has_value());
    }

    // The real colour dialog: 16 black custom colours at every opening, the chosen colour packed
    // with red in the low byte, and nothing on cancel.
    void colourDialog()
    {
        char program[] = "quorvin";
        char *argv[] = { program };
        platform::QtServices services(1, argv);
        QColorDialog::setCustomColor(3, Qt::red); // defined in an earlier opening
        bool allBlack = false;
        whenOpen<QColorDialog>([&](QColorDialog *dialog) {
            allBlack = true;
            for (int i = 0; i < QColorDialog::customCount(); ++i)
                allBlack = allBlack && QColorDialog::customColor(i) == QColor(Qt::black);
            dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
            dialog->accept();
            return true;
        });
        QCOMPARE(services.chooseColour(nullptr), std::optional<platform::Colour>(0x563412));
        QVERIFY(allBlack);
        whenOpen<QColorDialog>([](QColorDialog *dialog) {
            dialog->reject();
            return true;
        });
        QVERIFY(!services.chooseColour(nullptr).has_value());
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
