#include "about/form2.h"
#include "platform/programicon.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

#include <cmath>
#include <memory>

using about::Form2;

namespace {

QRect twipsToPixels(int left, int top, int width, int height)
{
    auto px = [](int twips) {
        return int(std::lround(twips / 15.0));
    };
    return QRect(px(left), px(top), px(width), px(height));
}

std::unique_ptr<Form2> shownForm()
{
    auto form = std::make_unique<Form2>(Form2::LoadHandler {});
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}

} // namespace

// The About window on the offscreen platform: its frame, fixed size, placement, labels over the
// unscaled picture, and its deafness to clicks and keys.
class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void isAFramelessToolWindowWithAFixedClientArea()
    {
        Form2 form({});
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(form.windowType(), Qt::Tool); // no task-bar entry
        QVERIFY(form.windowTitle().isEmpty());
        QCOMPARE(form.contentsRect().size(), QSize(398, 299));
        QCOMPARE(form.contentsRect().topLeft(), QPoint(3, 3));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.size(), QSize(404, 305));
    }

    void formLoadRunsTheHandlerOnTheWindow()
    {
        Form2 *seen = nullptr;
        QString version;
        Form2 form([&](Form2 &loaded) {
            seen = &loaded;
            version = loaded.Label2->text();
        });
        QVERIFY(!seen); // creating the window does not load it
        form.Form_Load();
        QCOMPARE(seen, &form);
        QCOMPARE(version, QStringLiteral("v1.19"));
        QVERIFY(!form.isVisible());
    }

    void isCentredOnTheScreenWhenShown()
    {
        Form2 form({});
        form.move(0, 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY2((form.frameGeometry().center() - screen.center()).manhattanLength() <= 2,
            qPrintable(QStringLiteral("%1,%2").arg(form.x()).arg(form.y())));

        // Shown again after being moved away, it is centred again.
        form.hide();
        form.move(5, 7);
        form.show();
        QVERIFY((form.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
    }

    void labels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("box"); // in the client area, from the twips of the design
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("family");
        QTest::addColumn<qreal>("points");
        QTest::newRow("Label1") << QStringLiteral("Label1") << QStringLiteral("Quorvin")
                                << twipsToPixels(105, 120, 1980, 630) << QColor(255, 255, 128)
                                << QStringLiteral("Chaucer") << 26.25;
        QTest::newRow("Label2") << QStringLiteral("Label2") << QStringLiteral("v1.19")
                                << twipsToPixels(1140, 1005, 390, 225) << QColor(255, 255, 0)
                                << QString() << 0.0;
        QTest::newRow("Label4") << QStringLiteral("Label4") << QString()
                                << twipsToPixels(4590, 3975, 1275, 465) << QColor(128, 128, 255)
                                << QStringLiteral("Chaucer") << 18.0;
    }
    void labels()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, box);
        QFETCH(QColor, colour);
        QFETCH(QString, family);
        QFETCH(qreal, points);
        Form2 form({});
        form.prepareLooks(); // as the first show does
        QLabel *label = name == QLatin1String("Label1") ? form.Label1
            : name == QLatin1String("Label2")           ? form.Label2
                                                        : form.Label4;
        if (!text.isEmpty())
            QCOMPARE(label->text(), text);
        QVERIFY(!label->text().isEmpty());
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        if (!family.isEmpty()) {
            QCOMPARE(label->font().family(), family);
            QCOMPARE(label->font().pointSizeF(), points);
            QCOMPARE(label->font().weight(), QFont::Normal);
        }

        // Placed at the design's box, or centred on it when the face in use needs more room;
        // the whole text shows, inside the client area.
        const QRect placed = label->geometry().translated(-form.contentsRect().topLeft());
        QVERIFY2(placed.contains(box),
            qPrintable(QStringLiteral("%1 %2 %3 %4")
                           .arg(placed.x())
                           .arg(placed.y())
                           .arg(placed.width())
                           .arg(placed.height())));
        QVERIFY(qAbs(placed.center().x() - box.center().x()) <= 1);
        QVERIFY(qAbs(placed.center().y() - box.center().y()) <= 1);
        QVERIFY(placed.width() >= label->sizeHint().width());
        QVERIFY(label->geometry().intersected(form.contentsRect()) == label->geometry());
    }

    void imageIsTheProgramsIconUnscaled()
    {
        Form2 form({});
        form.prepareLooks();
        const QRect placed = form.Image1->geometry().translated(-form.contentsRect().topLeft());
        QCOMPARE(placed, twipsToPixels(480, 870, 480, 480));
        const QImage icon
            = platform::programIcon().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(32, 32));
        QSet<QRgb> colours;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                colours.insert(icon.pixel(x, y));
        QVERIFY(colours.size() > 1 && colours.size() <= 16);
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0); // the tile's rounded corner
        QCOMPARE(qAlpha(icon.pixel(16, 16)), 255);
        QCOMPARE(form.Image1->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), icon);
    }

    void pictureIsDrawnUnscaledFromTheTopLeft_data()
    {
        QTest::addColumn<QPoint>("at"); // in the client area, away from the labels
        QTest::newRow("top left") << QPoint(0, 0);
        QTest::newRow("middle") << QPoint(200, 150);
        QTest::newRow("in the shade pattern") << QPoint(264, 40);
        QTest::newRow("right edge") << QPoint(397, 100);
        QTest::newRow("bottom edge") << QPoint(100, 298);
        QTest::newRow("bottom right") << QPoint(397, 298);
    }
    void pictureIsDrawnUnscaledFromTheTopLeft()
    {
        QFETCH(QPoint, at);
        Form2 form({}); // first, as it makes the resources available
        const QImage picture(QString::fromLatin1(Form2::PicturePath));
        QCOMPARE(picture.size(), QSize(400, 300));
        QCOMPARE(picture.format(), QImage::Format_Indexed8);
        const QImage shot = form.grab().toImage();
        // Neighbouring pixels of the shade pattern differ, so a stretched or shifted picture
        // fails on several of these rows.
        for (const QPoint &p : { at, at - QPoint(1, 0), at - QPoint(0, 1) }) {
            if (p.x() < 0 || p.y() < 0)
                continue;
            QCOMPARE(
                QColor(shot.pixel(p + form.contentsRect().topLeft())), QColor(picture.pixel(p)));
        }
    }

    void frameIsDrawnAroundTheClientArea()
    {
        Form2 form({});
        const QImage shot = form.grab().toImage();
        const QImage picture(QString::fromLatin1(Form2::PicturePath));
        // The picture's last column and row would fall here if it were not clipped.
        QVERIFY(shot.pixel(401, 100) != picture.pixel(398, 97));
        QCOMPARE(shot.pixel(402, 150), form.palette().color(QPalette::Dark).rgb());
        QCOMPARE(shot.pixel(1, 150), form.palette().color(QPalette::Light).rgb());
    }

    void clicksAndKeysDoNotCloseIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
        QTest::newRow("Alt+F4") << int(Qt::Key_F4) << int(Qt::AltModifier);
    }
    void clicksAndKeysDoNotCloseIt()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        auto form = shownForm();
        QVERIFY(form);
        QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(200, 150));
        QTest::mouseDClick(form.get(), Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseClick(form->Label1, Qt::RightButton);
        QTest::keyClick(form.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
