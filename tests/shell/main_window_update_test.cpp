// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/main_window_fixture.h"

using namespace std::chrono_literals;

class MainWindowUpdateTest : public MainWindowFixture
{
    Q_OBJECT

private slots:
    // The status bar shows the version from the first visible moment, and the
    // analysis stays disabled while the check waits.
    void startUpOrder()
    {
        m_service.closeGate("/version/main.txt");
        auto w = makeWindow(config());
        QString versionWhenShown;
        bool enabledWhenShown = true;
        bool framelessWhenShown = false;
        struct ShowWatch : QObject
        {
            std::function<void()> onShow;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Show)
                    onShow();
                return false;
            }
        } watch;
        watch.onShow = [&] {
            versionWhenShown = w->findChild<QLabel *>(QStringLiteral("versionPanel"))->text();
            enabledWhenShown = addressBox(*w)->isEnabled() || analyseButton(*w)->isEnabled();
            framelessWhenShown = w->windowFlags().testFlag(Qt::FramelessWindowHint);
        };
        w->installEventFilter(&watch);
        QSignalSpy checked(w.get(), &MainWindow::updateChecked);
        w->startUp();
        w->removeEventFilter(&watch);
        QCOMPARE(versionWhenShown, QStringLiteral("V1.0.0"));
        QVERIFY(!enabledWhenShown);
        QVERIFY(framelessWhenShown);
        QVERIFY(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 1);
        QVERIFY(!addressBox(*w)->isEnabled() && !analyseButton(*w)->isEnabled());
        QCOMPARE(w->statusMessage(), Checking);
        m_service.openGate("/version/main.txt");
        QVERIFY(checked.wait());
        QVERIFY(addressBox(*w)->isEnabled() && analyseButton(*w)->isEnabled());
        QCOMPARE(w->statusMessage(), Welcome);
    }

    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("versionFile");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("expectedBox"); // empty: none
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("ends");

        const QString newer = QStringLiteral("发现最新版本![%1]\r\n \r\n确定后自动打开官方论坛!");
        QTest::newRow("current") << QByteArray("vexa:V1.0|hi") << true << QString() << true << Welcome
                                 << false;
        QTest::newRow("text before the marker")
            << QByteArray("xyz vexa:V1.0|") << true << QString() << true << Welcome << false;
        QTest::newRow("no bar") << QByteArray("vexa:V1.0") << true << CheckFailed << false << CheckFailed
                                << false;
        QTest::newRow("upper-case marker")
            << QByteArray("VEXA:V1.0|") << true << CheckFailed << false << CheckFailed << false;
        QTest::newRow("empty tag") << QByteArray("vexa:|") << true << CheckFailed << false << CheckFailed
                                   << false;
        QTest::newRow("error page") << QByteArray("<html><body>502 Bad Gateway</body></html>") << true
                                    << CheckFailed << false << CheckFailed << false;
        QTest::newRow("empty file") << QByteArray() << true << CheckFailed << false << CheckFailed << false;
        QTest::newRow("unreachable host")
            << QByteArray("vexa:V1.0|") << false << CheckFailed << false << CheckFailed << false;
        QTest::newRow("newer") << QByteArray("vexa:V2.0|new") << true << newer.arg(QStringLiteral("V2.0"))
                               << false << Checking << true;
        QTest::newRow("older") << QByteArray("vexa:V0.9|") << true << newer.arg(QStringLiteral("V0.9"))
                               << false << Checking << true;
        QTest::newRow("space kept") << QByteArray("vexa: V1.0|") << true << newer.arg(QStringLiteral(" V1.0"))
                                    << false << Checking << true;
    }

    void updateCheck()
    {
        QFETCH(QByteArray, versionFile);
        QFETCH(bool, reachable);
        QFETCH(QString, expectedBox);
        QFETCH(bool, enabled);
        QFETCH(QString, status);
        QFETCH(bool, ends);

        m_service.setVersionBody(versionFile);
        ServiceConfig c = config();
        if (!reachable)
            c.updateHost = closedLoopbackHost();
        auto w = makeWindow(c);
        BoxCloser boxes;
        QVERIFY(startUpAndWait(*w));

        if (expectedBox.isEmpty()) {
            QCOMPARE(boxes.boxes.size(), 0);
        } else {
            QCOMPARE(boxes.boxes.size(), 1);
            QCOMPARE(boxes.boxes.first().title, QStringLiteral("Quorlen软件"));
            QCOMPARE(boxes.boxes.first().text, expectedBox);
            QCOMPARE(boxes.boxes.first().icon, ends ? QMessageBox::Information : QMessageBox::Warning);
        }
        QCOMPARE(addressBox(*w)->isEnabled(), enabled);
        QCOMPARE(analyseButton(*w)->isEnabled(), enabled);
        QCOMPARE(w->statusMessage(), status);
        QCOMPARE(m_browser.opened, ends ? QList<QUrl>{QUrl(c.forumUrl)} : QList<QUrl>{});
        QCOMPARE(w->isVisible(), !ends);
        QCOMPARE(programWasEnded(), ends);
    }

    // Without a browser the forum's address is told before the program ends.
    void newerWithoutBrowser()
    {
        m_service.setVersionBody(QByteArrayLiteral("vexa:V2.0|new"));
        auto w = makeWindow(config());
        BoxCloser boxes;
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        const bool ended = startUpAndWait(*w);
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
        QVERIFY(ended);
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(boxes.boxes.last().text,
                 QStringLiteral("没有能打开网页的程序，请在浏览器中打开：%1").arg(config().forumUrl));
        QVERIFY(programWasEnded());
    }

    // A failed check is told in the status line, and the version panel and
    // the backdrop's menu offer it again; once it passes the analysis is in.
    void checkAgainAfterFailure()
    {
        m_service.setFault("/version/main.txt", "status?code=503");
        auto w = makeWindow(config());
        BoxCloser boxes;
        QVERIFY(startUpAndWait(*w));
        QCOMPARE(w->statusMessage(), CheckFailed);
        QVERIFY(!analyseButton(*w)->isEnabled());

        UserInput::click(w.get(), Qt::RightButton, {600, 100});
        auto *menu = w->findChild<QMenu *>(QStringLiteral("backdropMenu"));
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->actions().size(), 2);
        menu->close();

        auto *panel = w->findChild<QLabel *>(QStringLiteral("versionPanel"));
        const QString again = QStringLiteral("重新检测");
        // The link after the version, where it is drawn.
        const int before = panel->fontMetrics().horizontalAdvance(QStringLiteral("V1.0.0 "));
        const QPoint onLink(panel->contentsRect().left() + before +
                                panel->fontMetrics().horizontalAdvance(again) / 2,
                            panel->height() / 2);
        QSignalSpy checked(w.get(), &MainWindow::updateChecked);
        for (const bool passes : {false, true}) {
            if (passes)
                m_service.setFault("/version/main.txt", {});
            UserInput::click(panel, Qt::LeftButton, onLink);
            QCOMPARE(w->statusMessage(), Checking);
            QVERIFY(checked.wait());
            QCOMPARE(boxes.boxes.size(), 2);
            QCOMPARE(analyseButton(*w)->isEnabled(), passes);
            QCOMPARE(addressBox(*w)->isEnabled(), passes);
        }
        QCOMPARE(w->statusMessage(), Welcome);
        QCOMPARE(panel->text(), QStringLiteral("V1.0.0"));
        QVERIFY(!w->canCheckAgain());
    }

    void analyseAddressRunsAfterFailedCheck()
    {
        ServiceConfig c = config();
        c.updateHost = closedLoopbackHost();
        auto w = makeWindow(c);
        {
            BoxCloser boxes;
            QVERIFY(startUpAndWait(*w));
            QCOMPARE(boxes.boxes.size(), 1);
        }
        QVERIFY(!analyseButton(*w)->isEnabled());
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        startAnalysis(*w, soundPage(QStringLiteral("1004")));
        QVERIFY(ended.wait());
        QCOMPARE(w->statusMessage(), Analysed);
        QVERIFY(addressBox(*w)->isEnabled() && analyseButton(*w)->isEnabled());
    }

    void closeLinkDuringUpdateCheck()
    {
        m_service.closeGate("/version/main.txt");
        auto w = makeWindow(config());
        BoxCloser boxes;
        w->startUp();
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 1);
        UserInput::click(link(*w, "closeLink"));
        QVERIFY(programWasEnded());
        QVERIFY(!w->isVisible());
        QCOMPARE(boxes.boxes.size(), 0);
        w.reset(); // as the ending program does, with the check still waiting
        m_service.openGate("/version/main.txt");
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 0);
    }

    // Closing the window while its update check waits: the answer that
    // comes later touches nothing (the sanitizer build catches any use).
    void windowDestroyedDuringUpdateCheck()
    {
        m_service.closeGate("/version/main.txt");
        auto w = makeWindow(config());
        BoxCloser boxes;
        w->startUp();
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 1);
        w.reset(); // takes its check, and so the request, with it
        m_service.openGate("/version/main.txt");
        QTRY_COMPARE(m_service.heldAtGate("/version/main.txt"), 0);
        QCOMPARE(boxes.boxes.size(), 0);
    }
};

QTEST_MAIN(MainWindowUpdateTest)
#include "main_window_update_test.moc"
