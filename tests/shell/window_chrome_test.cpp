#include "shell/window_chrome.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

} // namespace

class WindowChromeTest : public QObject
{
    Q_OBJECT

private slots:
    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("just under one pixel") << 14 << 0;
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("main window right line") << 11855 << 790;
        QTest::newRow("main window bottom line") << 6660 << 444;
        QTest::newRow("minus one floors") << -1 << -1;
        QTest::newRow("minus one pixel") << -15 << -1;
        QTest::newRow("minus sixteen floors") << -16 << -2;
    }

    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipsToPixels(twips), pixels);
    }

    void insetPanelSpan()
    {
        const PanelSpan span = ::insetPanelSpan(QSize(791, 446));
        QCOMPARE(span.left, 1);
        QCOMPARE(span.width, 789);
    }

    // Every pixel is grey exactly when it lies on one of the expected rows or columns.
    void paintedBorderLines_data()
    {
        QTest::addColumn<bool>("hotList");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QList<int>>("columns");
        QTest::newRow("main window: no top line, bottom in the second-to-last row")
            << false << QSize(791, 446) << QList<int>{444} << QList<int>{0, 790};
        QTest::newRow("hot list: bottom 20 twips up")
            << true << QSize(624, 408) << QList<int>{0, 406} << QList<int>{0, 623};
    }

    void paintedBorderLines()
    {
        QFETCH(bool, hotList);
        QFETCH(QSize, size);
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, columns);

        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paintBorderLines(painter, hotList ? hotListBorderLines(size) : mainWindowBorderLines(size));
        }
        const QRgb grey = qRgb(0x80, 0x80, 0x80);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const bool onLine = rows.contains(y) || columns.contains(x);
                if (image.pixel(x, y) != (onLine ? grey : qRgb(255, 255, 255)))
                    QFAIL(qPrintable(QStringLiteral("wrong colour at (%1, %2)").arg(x).arg(y)));
            }
        }
    }

    void titleLinkSwallowsPressAndReports()
    {
        PressCounter parent;
        parent.resize(200, 100);
        auto *link = new TitleLink(3, QStringLiteral("帮助"), &parent);
        link->setGeometry(10, 10, 80, 24);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QSignalSpy hovered(link, &TitleLink::hovered);
        QSignalSpy released(link, &TitleLink::released);

        QTest::mousePress(&parent, Qt::LeftButton, {}, QPoint(150, 80));
        QTest::mouseRelease(&parent, Qt::LeftButton, {}, QPoint(150, 80));
        QCOMPARE(parent.presses, 1); // the counter itself sees presses off the link

        QTest::mouseMove(link, QPoint(20, 12));
        QCOMPARE(hovered.size(), 1);
        QCOMPARE(hovered.first().first().toInt(), 3);

        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(20, 12));
        QCOMPARE(parent.presses, 1);
        QVERIFY(released.isEmpty());
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(20, 12));
        QCOMPARE(released.size(), 1);
        QCOMPARE(released.first().first().toInt(), 3);
    }

    void titleLinkColourOutranksTheSkin()
    {
        qApp->setStyleSheet(QStringLiteral("QLabel { color: #123456; }"));
        QWidget parent;
        auto *link = new TitleLink(0, QStringLiteral("首页"), &parent);
        QCOMPARE(link->textColor(), TitleLinkNormal);
        link->setTextColor(TitleLinkHighlight);
        QCOMPARE(link->textColor(), TitleLinkHighlight);
        link->ensurePolished();
        QCOMPARE(link->palette().color(QPalette::WindowText), TitleLinkHighlight);
        qApp->setStyleSheet(QString());
    }

    void dragHandlePressRequestsDrag()
    {
        QWidget parent;
        auto *handle = new DragHandle(&parent);
        handle->setGeometry(0, 0, 50, 50);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QSignalSpy requested(handle, &DragHandle::dragRequested);
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(requested.size(), 1);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(10, 10));
    }

    void handCursor()
    {
        const QCursor cursor = ::handCursor();
        QCOMPARE(cursor.hotSpot(), QPoint(5, 0));
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    // Leaves the application told to quit until the reset at the end, so it runs last.
    void endProgramNowHidesWindowsAndEndsLoops()
    {
        QWidget first;
        QWidget second;
        first.show();
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        QVERIFY(QTest::qWaitForWindowExposed(&second));

        endProgramNow();
        // Told to end, an event loop started now returns at once.
        QEventLoop probe;
        QTimer::singleShot(0, &probe, [&] { probe.exit(1); });
        QCOMPARE(probe.exec(), -1);
        QVERIFY(first.isHidden());
        QVERIFY(second.isHidden());

        // exec() clears the quit state that endProgramNow left behind.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
};

QTEST_MAIN(WindowChromeTest)
#include "window_chrome_test.moc"
