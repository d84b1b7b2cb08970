// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/frameless_window.h"
#include "shell/stored_picture.h"
#include "shell/window_chrome.h"
#include "support/user_input.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

class TestWindow : public FramelessWindow
{
public:
    explicit TestWindow(TopEdge topEdge)
        : FramelessWindow(topEdge)
    {
        setFixedSize(300, 200);
        addPanel(100, 80);
        addLogo({10, 10});
        first = addTitleLink(QStringLiteral("first"), QStringLiteral("一"), {240, 10, 20, 12}, uiFont(9));
        second = addTitleLink(QStringLiteral("second"), QStringLiteral("二"), {270, 10, 20, 12}, uiFont(9));
    }

    TitleLink *first;
    TitleLink *second;
};

} // namespace

class FramelessWindowTest : public QObject
{
    Q_OBJECT

private slots:
    // Side lines over the full height and a bottom line one row above the
    // edge, all over the children's panel; a top line only where asked for.
    void borderLines_data()
    {
        QTest::addColumn<bool>("topLine");
        QTest::newRow("open top") << false;
        QTest::newRow("lined top") << true;
    }

    void borderLines()
    {
        QFETCH(bool, topLine);
        TestWindow w(topLine ? FramelessWindow::TopEdge::Lined : FramelessWindow::TopEdge::Open);
        const QImage shot = w.grab().toImage();
        const int ratio = qRound(shot.devicePixelRatio());
        const QImage backdrop =
            storedPicture(QStringLiteral("background")).toImage().convertToFormat(shot.format());
        // A window pixel is a square of device pixels: both of its far corners count.
        const auto colours = [&](const QImage &image, int x, int y) {
            return QList<QColor>{image.pixelColor(x * ratio, y * ratio),
                                 image.pixelColor(x * ratio + ratio - 1, y * ratio + ratio - 1)};
        };
        // The picture is the header band; the body colour lies below it.
        const auto backdropColours = [&](int x, int y) {
            return y * ratio < backdrop.height() ? colours(backdrop, x, y)
                                                 : QList<QColor>{BodyColor, BodyColor};
        };
        const QList<QColor> border{BorderColor, BorderColor};
        const int right = w.width() - 1;
        const int bottom = w.height() - 1;
        for (int y = 0; y <= bottom; ++y) {
            QCOMPARE(colours(shot, 0, y), border);
            QCOMPARE(colours(shot, right, y), border);
        }
        for (int x = 1; x < right; ++x) {
            QCOMPARE(colours(shot, x, bottom - 1), border);
            QCOMPARE(colours(shot, x, bottom), backdropColours(x, bottom));
            QCOMPARE(colours(shot, x, 0), topLine ? border : backdropColours(x, 0));
        }
    }

    void dragSources_data()
    {
        QTest::addColumn<QString>("control"); // empty: the backdrop
        QTest::addColumn<bool>("drags");
        QTest::newRow("backdrop") << QString() << true;
        QTest::newRow("logo") << QStringLiteral("logo") << true;
        QTest::newRow("title link") << QStringLiteral("first") << false;
        QTest::newRow("panel") << QStringLiteral("contentPanel") << false;
    }

    void dragSources()
    {
        QFETCH(QString, control);
        QFETCH(bool, drags);
        TestWindow w(FramelessWindow::TopEdge::Open);
        QVERIFY(UserInput::shown(&w));
        QSignalSpy drag(&w, &FramelessWindow::dragRequested);
        QWidget *target = control.isEmpty() ? &w : w.findChild<QWidget *>(control);
        const QPoint at = control.isEmpty() ? QPoint(150, 90) : QPoint(5, 5);
        UserInput::click(target, Qt::LeftButton, at);
        QCOMPARE(drag.size(), drags ? 1 : 0);
    }

    // One link at a time lights up; only the bare backdrop puts it out.
    void titleLinkHighlight()
    {
        TestWindow w(FramelessWindow::TopEdge::Open);
        QVERIFY(UserInput::shown(&w));
        const auto colours = [&] { return QList<QColor>{w.first->textColor(), w.second->textColor()}; };
        const QColor n = TitleLinkNormal;
        const QColor h = TitleLinkHighlight;
        QCOMPARE(colours(), (QList<QColor>{n, n}));
        UserInput::move(w.first, QPoint(5, 5));
        QCOMPARE(colours(), (QList<QColor>{h, n}));
        UserInput::move(w.second, QPoint(5, 5));
        QCOMPARE(colours(), (QList<QColor>{n, h}));
        UserInput::move(w.findChild<QWidget *>(QStringLiteral("contentPanel")), QPoint(50, 20));
        QCOMPARE(colours(), (QList<QColor>{n, h}));
        UserInput::move(&w, QPoint(150, 90));
        QCOMPARE(colours(), (QList<QColor>{n, n}));
    }

    // The pictures come at the screen's pixel ratio and the backdrop is
    // painted pixel for pixel, not stretched (run at ratios 1 and 2).
    void picturesAtTheScreensRatio()
    {
        const int ratio = qRound(qApp->devicePixelRatio());
        TestWindow w(FramelessWindow::TopEdge::Open);
        QVERIFY(UserInput::shown(&w));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("logo"))->pixmap().devicePixelRatio(), ratio);
        const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), w.size() * ratio);
        const QImage backdrop(ratio == 1 ? QStringLiteral(":/pictures/background.png")
                                         : QStringLiteral(":/pictures/background@2x.png"));
        const QRect bare(QPoint(225, 30) * ratio, QSize(70, 60) * ratio);
        QCOMPARE(shot.copy(bare), backdrop.copy(bare).convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(FramelessWindowTest)
#include "frameless_window_test.moc"
