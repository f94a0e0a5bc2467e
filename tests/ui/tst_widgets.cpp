#include "widgets/Skin.h"
#include "widgets/TBitmapButton.h"
#include "widgets/THintWindow.h"
#include "widgets/TRunningLabel.h"
#include "widgets/TShapedWindow.h"
#include "widgets/TWindowSlide.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

QPixmap filled(QColor colour)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(colour);
    return pixmap;
}

QRgb centreOf(QWidget &widget)
{
    return widget.grab().toImage().pixel(widget.width() / 2, widget.height() / 2);
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Slowing down over 10 pixels: 1 + 2 + 3 + 4 covers them, so the first step is 5, and 5 + 4 + 3
    // passes the target and ends on it. Speeding up may pass it; nothing to go is no step.
    void slideSteps()
    {
        QCOMPARE(slide::decelerate(0, 10), (QList<int>{5, 9, 10}));
        QCOMPARE(slide::decelerate(7, 7), QList<int>{});
        QCOMPARE(slide::accelerate(6, -3), (QList<int>{5, 3, 0, -4}));
    }

    void bitmapButtonShowsTheFaceOfItsState()
    {
        TBitmapButton button;
        button.setFaces(filled(Qt::red), filled(Qt::green), filled(Qt::blue), filled(Qt::gray));
        button.resize(20, 20);
        QCOMPARE(button.sizeHint(), QSize(20, 20));
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));

        QEvent leave(QEvent::Leave); // the pointer may start over the new window
        QApplication::sendEvent(&button, &leave);
        QCOMPARE(centreOf(button), QColor(Qt::red).rgb());
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&button, &enter);
        QCOMPARE(centreOf(button), QColor(Qt::blue).rgb());
        button.setDown(true);
        QCOMPARE(centreOf(button), QColor(Qt::green).rgb());
        button.setDown(false);
        button.setEnabled(false);
        QCOMPARE(centreOf(button), QColor(Qt::gray).rgb());

        // A click on the face is a button click.
        button.setEnabled(true);
        QSignalSpy clicked(&button, &TBitmapButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    // The main window's skins have no disabled face: it is the up face in grey.
    void bitmapButtonGreysAMissingDisabledFace()
    {
        TBitmapButton button;
        button.setFaces(filled(QColor(200, 30, 30)), filled(Qt::green), filled(Qt::blue));
        const QRgb grey = button.face(TBitmapButton::Face::Disabled).toImage().pixel(1, 1);
        QVERIFY(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey) && qRed(grey) > 0);
    }

    void runningLabelRunsOnlyWhenTooWide()
    {
        TRunningLabel label;
        label.resize(60, 16);
        label.setSpeed(10);
        label.setText(QStringLiteral("Ana"));
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        QVERIFY(!label.isRunning());

        label.setText(QStringLiteral("Zvonimir Horvat-Kovačević, Zagrebačka banka d.d."));
        QVERIFY(label.isRunning());
        QTRY_VERIFY(label.offset() >= 3);

        label.setActive(false);
        QVERIFY(!label.isRunning());
        QCOMPARE(label.offset(), 0);

        // Widening the label until the text fits stops it.
        label.setActive(true);
        QVERIFY(label.isRunning());
        label.resize(2000, 16);
        QVERIFY(!label.isRunning());
        QCOMPARE(label.offset(), 0);

        QSignalSpy clicked(&label, &TRunningLabel::clicked);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(clicked.count(), 0); // not clickable: the press belongs to the window below
        label.setClickable(true);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    void shapedWindowShapeClickAndDrag()
    {
        // A disc: the window keeps the disc and loses the square's corners.
        QImage disc(120, 100, QImage::Format_ARGB32_Premultiplied);
        disc.fill(Qt::transparent);
        {
            QPainter painter(&disc);
            painter.setBrush(Qt::darkBlue);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(0, 0, 120, 100);
        }
        QWidget window(nullptr, Qt::FramelessWindowHint);
        auto *skin = new TShapedWindow(&window);
        skin->setSkin(disc);
        QCOMPARE(skin->size(), QSize(120, 100));
        QVERIFY(window.mask().contains(QPoint(60, 50)) && window.mask().contains(QPoint(2, 50)));
        QVERIFY(!window.mask().contains(QPoint(0, 0)) && !window.mask().contains(QPoint(12, 6)));
        window.resize(120, 100);
        window.move(200, 150);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QSignalSpy clicked(skin, &TShapedWindow::clicked);
        QTest::mouseClick(skin, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(clicked.count(), 1);

        // Offscreen has no window manager to move windows; the skin moves it itself.
        skin->setDragsWindow(true);
        const QPoint before = window.pos();
        QTest::mousePress(skin, Qt::LeftButton, {}, QPoint(30, 30));
        QMouseEvent move(QEvent::MouseMove, QPointF(70, 50), skin->mapToGlobal(QPointF(70, 50)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(skin, &move);
        QTest::mouseRelease(skin, Qt::LeftButton, {}, QPoint(70, 50));
        QCOMPARE(window.pos(), before + QPoint(40, 20));
        QCOMPARE(clicked.count(), 1); // a drag is not a click
    }

    void skinsAndLanguageBitmapsAreDrawn()
    {
        QStringList names{"IncomingCallSkin", "NewCallMessageSkin", "btnRejectDisabled", "btnCloseHot"};
        for (const char *prefix : {"cro", "eng"})
            for (const char *name : {"IncomingCall", "CallerInfo", "CallMessage", "NoPicture"})
                names << QLatin1String(prefix) + QLatin1String(name);
        for (const QString &name : names) {
            const QImage image = skin::image(name);
            int drawn = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    drawn += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(drawn > image.width() * image.height() / 50, qPrintable(name));
        }
    }

    void hintWindowShowsToolTips()
    {
        THintWindow::install();
        QWidget owner;
        owner.resize(100, 40);
        owner.setToolTip(QStringLiteral("Odbij poziv!"));
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), owner.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&owner, &help);
        QVERIFY(THintWindow::current());
        QCOMPARE(THintWindow::current()->text(), QStringLiteral("Odbij poziv!"));
        QVERIFY(
            THintWindow::current()->width() >
            QFontMetrics(THintWindow::current()->font()).horizontalAdvance(QStringLiteral("Odbij poziv!")));

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&owner, &leave);
        QVERIFY(!THintWindow::current());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
