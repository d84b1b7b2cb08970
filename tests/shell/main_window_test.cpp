// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/main_window_fixture.h"

using namespace std::chrono_literals;

class MainWindowTest : public MainWindowFixture
{
    Q_OBJECT

private slots:
    void analyseStatus_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("requests");

        const QString host = m_service.hostAndPort();
        const QString wrong = QStringLiteral("地址有误，请检查..");
        const QString noInfo = QStringLiteral("未能获取音乐信息，请检查地址..");
        QTest::newRow("empty") << QString() << QStringLiteral("请输入音乐地址..") << false;
        QTest::newRow("blank") << QStringLiteral(" \t ") << QStringLiteral("请输入音乐地址..") << false;
        QTest::newRow("hint text") << QStringLiteral("双击粘贴音乐地址") << wrong << false;
        QTest::newRow("capital scheme") << QStringLiteral("HTTP://%1/sound/1001").arg(host) << wrong << false;
        // As share buttons and selections paste them.
        QTest::newRow("secure scheme")
            << QStringLiteral("https://%1/sound/1001").arg(host) << Analysed << true;
        QTest::newRow("trailing spaces") << soundPage(QStringLiteral("1001  ")) << Analysed << true;
        QTest::newRow("share query") << soundPage(QStringLiteral("1001?from=share")) << Analysed << true;
        QTest::newRow("fragment") << soundPage(QStringLiteral("1001#x")) << Analysed << true;
        QTest::newRow("accepted") << soundPage(QStringLiteral("1001")) << Analysed << true;
        QTest::newRow("words before")
            << QStringLiteral("听听 ") + soundPage(QStringLiteral("1001")) << Analysed << true;
        QTest::newRow("unknown sound") << soundPage(QStringLiteral("424242")) << noInfo << true;
        QTest::newRow("empty answer") << soundPage(QStringLiteral("fault-empty")) << noInfo << true;
        QTest::newRow("dropped answer") << soundPage(QStringLiteral("fault-drop"))
                                        << QStringLiteral("网络连接失败，请稍后再试..") << true;
    }

    void analyseStatus()
    {
        QFETCH(QString, address);
        QFETCH(QString, status);
        QFETCH(bool, requests);

        auto w = readyWindow();
        analyse(*w, soundPage(QStringLiteral("1005")));
        QCOMPARE(w->statusMessage(), Analysed);
        const QString earlierName = caption(*w, "nameLine");
        const SoundInfo earlier = w->soundInfo();

        m_service.clearRequests();
        analyse(*w, address);
        QCOMPARE(w->statusMessage(), status);
        QCOMPARE(infoRequests() > 0, requests);
        QVERIFY(addressBox(*w)->isEnabled());
        QVERIFY(analyseButton(*w)->isEnabled());
        if (status == Analysed) {
            const SampleSound *sound = findSampleSound(QStringLiteral("1001"));
            QCOMPARE(caption(*w, "nameLine"), QStringLiteral("音乐：") + shortSoundName(sound->name));
            QCOMPARE(w->findChild<QLabel *>(QStringLiteral("nameLine"))->toolTip(), sound->name);
            QCOMPARE(w->soundInfo().soundId, QStringLiteral("1001"));
            QCOMPARE(QGuiApplication::clipboard()->text(), w->soundInfo().coverUrl);
            QVERIFY(
                !w->findChild<QPlainTextEdit *>(QStringLiteral("introductionText"))->toPlainText().isEmpty());
        } else {
            // Earlier results stay on screen and in the record.
            QCOMPARE(caption(*w, "nameLine"), earlierName);
            QCOMPARE(w->soundInfo(), earlier);
        }
    }

    void controlsDisabledWhileAnalysing()
    {
        auto w = readyWindow();
        m_service.closeGate("/sound/info");
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        startAnalysis(*w, soundPage(QStringLiteral("1003")));
        QTRY_COMPARE(m_service.heldAtGate("/sound/info"), 1);
        QVERIFY(!addressBox(*w)->isEnabled() && !analyseButton(*w)->isEnabled());
        QCOMPARE(w->statusMessage(), Analysing);
        m_service.openGate("/sound/info");
        QVERIFY(ended.wait());
        QCOMPARE(w->statusMessage(), Analysed);
        QVERIFY(addressBox(*w)->isEnabled() && analyseButton(*w)->isEnabled());
    }

    // A second analysis started during the first one's wait for its answer
    // or its cover wins: the first request is aborted, and the first
    // analysis neither writes the screen nor starts its sound.
    void newerAnalysisSupersedes_data()
    {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QByteArray>("waitingFor"); // the request the older one waits on
        QTest::newRow("answer wait") << QStringLiteral("fault-stall")
                                     << QByteArray("/sound/info?sound_id=fault-stall");
        QTest::newRow("cover wait") << QStringLiteral("slow-cover") << QByteArray("/fault/stall");
    }

    void newerAnalysisSupersedes()
    {
        QFETCH(QString, older);
        QFETCH(QByteArray, waitingFor);
        auto w = readyWindow();
        m_service.clearRequests();
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        startAnalysis(*w, soundPage(older));
        QTRY_VERIFY(asked(waitingFor));
        startAnalysis(*w, soundPage(QStringLiteral("1003")));
        QVERIFY(ended.wait());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(w->statusMessage(), Analysed);
        QCOMPARE(w->soundInfo().soundId, QStringLiteral("1003"));
        QCOMPARE(caption(*w, "nameLine"), QStringLiteral("音乐：雨巷"));
        QCOMPARE(coverImage(*w),
                 pictureFromBytes(sampleCoverPng(1003)).convertToFormat(coverImage(*w).format()));
        QVERIFY(player(*w)->source().toString().contains(QStringLiteral("/audio/1003.wav")));
        QVERIFY(addressBox(*w)->isEnabled() && analyseButton(*w)->isEnabled());
    }

    void displayAfterAnalysis()
    {
        const QString base = m_service.baseUrl();
        m_service.setSoundInfoBody(QStringLiteral("show"),
                                   answer(QStringLiteral("一二三四五六七八九"),
                                          base + QStringLiteral("/cover/1003.png"),
                                          base + QStringLiteral("/audio/1003.wav?sign=1")));
        auto w = readyWindow();
        analyse(*w, soundPage(QStringLiteral("show")));
        QCOMPARE(w->statusMessage(), Analysed);

        QCOMPARE(QGuiApplication::clipboard()->text(), base + QStringLiteral("/cover/1003.png"));
        const QStringList captions = {caption(*w, "nameLine"),  caption(*w, "singerLine"),
                                      caption(*w, "playsLine"), caption(*w, "sharesLine"),
                                      caption(*w, "fansLine"),  caption(*w, "timeLine")};
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("音乐：一二三四五六七八..."), QStringLiteral("歌手：歌手"),
                              QStringLiteral("播放：1234 次"), QStringLiteral("分享：56 次"),
                              QStringLiteral("粉丝：78 人"), QStringLiteral("时间：1970-01-01 08:00:00")}));
        QCOMPARE(toolTip(*w, "nameLine"), QStringLiteral("一二三四五六七八九"));
        QCOMPARE(toolTip(*w, "singerLine"), QStringLiteral("歌手"));
        QCOMPARE(w->findChild<QPlainTextEdit *>(QStringLiteral("introductionText"))->toPlainText(),
                 QStringLiteral("第一行\n第二行"));
        QCOMPARE(coverImage(*w),
                 pictureFromBytes(sampleCoverPng(1003)).convertToFormat(coverImage(*w).format()));
        QCOMPARE(player(*w)->source(), QUrl(base + QStringLiteral("/audio/1003.wav")));
    }

    // Addresses the answer names are used only over http(s): nothing local
    // is read for the cover or given to the player, whatever the answer says.
    void coverAndFileFallBack_data()
    {
        QTest::addColumn<QString>("cover"); // %1: the service, %2: a local picture
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("playable");

        const QString audio = QStringLiteral("%1/audio/1001.wav?sign=1");
        QTest::newRow("web page as cover") << QStringLiteral("%1/sound/1001") << audio << true;
        QTest::newRow("missing cover") << QStringLiteral("%1/cover/999.png") << audio << true;
        QTest::newRow("empty cover and file") << QString() << QStringLiteral("?") << false;
        QTest::newRow("local picture path")
            << QStringLiteral("%2") << QStringLiteral("/etc/passwd?x") << false;
        QTest::newRow("file scheme") << QStringLiteral("file://%2") << QStringLiteral("file:///etc/passwd?x")
                                     << false;
        QTest::newRow("data address")
            << QStringLiteral("data:image/png;base64,") + QString::fromLatin1(sampleCoverPng(1).toBase64())
            << QStringLiteral("data:audio/wav;base64,UklGRg==?") << false;
    }

    void coverAndFileFallBack()
    {
        QFETCH(QString, cover);
        QFETCH(QString, source);
        QFETCH(bool, playable);
        QTemporaryDir dir;
        const QString localPicture = dir.filePath(QStringLiteral("c.png"));
        QFile picture(localPicture);
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write(sampleCoverPng(5));
        picture.close();
        const QString base = m_service.baseUrl();
        m_service.setSoundInfoBody(
            QStringLiteral("fallback"),
            answer(QStringLiteral("x"), cover.arg(base, localPicture), source.arg(base)));

        auto w = readyWindow();
        analyse(*w, soundPage(QStringLiteral("1005")));
        QVERIFY(coverImage(*w) != defaultCoverImage());
        analyse(*w, soundPage(QStringLiteral("fallback")));
        QCOMPARE(w->statusMessage(), Analysed);
        QCOMPARE(coverImage(*w), defaultCoverImage());
        QCOMPARE(player(*w)->source().isEmpty(), !playable);

        // A file address we would not fetch counts as none for both buttons.
        if (!playable) {
            click(*w, "copyButton");
            QCOMPARE(w->statusMessage(), QStringLiteral("请先获取音乐.."));
            click(*w, "downloadButton");
            QCOMPARE(w->statusMessage(), QStringLiteral("请先获取音乐.."));
        }
    }

    void copyAndDownloadBeforeAnalysis_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("copy") << QStringLiteral("copyButton");
        QTest::newRow("download") << QStringLiteral("downloadButton");
    }

    void copyAndDownloadBeforeAnalysis()
    {
        QFETCH(QString, button);
        QTemporaryDir dir;
        auto w = makeWindow(config());
        w->setDownloadFolder(dir.path());
        w->show(); // the update check not yet started
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        // Usable from the start, before the update check too.
        QVERIFY(w->findChild<QPushButton *>(button)->isEnabled());
        click(*w, button.toLatin1().constData());
        QCOMPARE(w->statusMessage(), QStringLiteral("请先获取音乐.."));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
        QCOMPARE(filesIn(dir.path()), QStringList());
    }

    // During an analysis's wait both buttons act on the sound analysed before.
    void copyActsOnThePreviousRecord()
    {
        auto w = readyWindow();
        analyse(*w, soundPage(QStringLiteral("1001")));
        const QString previous = w->soundInfo().fileUrl;
        QVERIFY(previous.startsWith(m_service.baseUrl() + QStringLiteral("/audio/1001.wav")));
        QCOMPARE(QGuiApplication::clipboard()->text(), w->soundInfo().coverUrl);

        m_service.closeGate("/sound/info");
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        startAnalysis(*w, soundPage(QStringLiteral("1003")));
        QTRY_COMPARE(m_service.heldAtGate("/sound/info"), 1);
        QVERIFY(w->findChild<QPushButton *>(QStringLiteral("copyButton"))->isEnabled() &&
                w->findChild<QPushButton *>(QStringLiteral("downloadButton"))->isEnabled());
        click(*w, "copyButton");
        QCOMPARE(QGuiApplication::clipboard()->text(), previous);
        m_service.openGate("/sound/info");
        QVERIFY(ended.wait());

        click(*w, "copyButton");
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐地址复制成功.."));
        QCOMPARE(QGuiApplication::clipboard()->text(), w->soundInfo().fileUrl);
        QVERIFY(w->soundInfo().fileUrl.contains(QStringLiteral("/audio/1003.wav")));
    }

    // Never left on a title link (which would show its focus mark) while
    // the address box is disabled: the box has it once ready, and again
    // after an analysis that Enter started.
    void focusStaysWithTheAddressBox()
    {
        auto w = readyWindow();
        w->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(addressBox(*w)));
        addressBox(*w)->setText(soundPage(QStringLiteral("1001")));
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        QTest::keyClick(addressBox(*w), Qt::Key_Return);
        QVERIFY(!qobject_cast<TitleLink *>(QApplication::focusWidget()));
        QVERIFY(ended.wait(30000));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(addressBox(*w)));
    }

    // Enter in the box or on the button analyses as a click would, only
    // while the button can be clicked.
    void enterAnalyses_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("buttonEnabled");
        const QString box = QStringLiteral("addressEdit");
        QTest::newRow("return") << box << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
        QTest::newRow("keypad enter")
            << box << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << true;
        QTest::newRow("button disabled") << box << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false;
        QTest::newRow("return on the focused button")
            << QStringLiteral("analyseButton") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
    }

    void enterAnalyses()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, buttonEnabled);

        auto w = readyWindow();
        addressBox(*w)->setText(soundPage(QStringLiteral("1001")));
        analyseButton(*w)->setEnabled(buttonEnabled);
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        QTest::keyClick(w->findChild<QWidget *>(target), Qt::Key(key), modifiers);
        if (buttonEnabled) {
            QVERIFY(ended.wait(30000));
            QCOMPARE(w->statusMessage(), Analysed);
        } else {
            // An analysis would have begun at once, taking the status line.
            QCOMPARE(w->statusMessage(), Welcome);
            QVERIFY(addressBox(*w)->isEnabled());
        }
    }

    // The window going away while its analysis waits for the answer or the
    // cover: nothing touches it afterwards (the sanitizer build catches any use).
    void windowDestroyedDuringItsWait_data()
    {
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QByteArray>("waitingFor");
        QTest::newRow("analysis") << QStringLiteral("1001") << QByteArray("/sound/info");
        QTest::newRow("cover") << QStringLiteral("1002") << QByteArray("/cover/1002.png");
    }

    void windowDestroyedDuringItsWait()
    {
        QFETCH(QString, sound);
        QFETCH(QByteArray, waitingFor);
        auto w = readyWindow();
        BoxCloser boxes;
        m_service.closeGate(waitingFor);
        startAnalysis(*w, soundPage(sound));
        QTRY_COMPARE(m_service.heldAtGate(waitingFor), 1);
        w.reset();
        m_service.openGate(waitingFor);
        QTRY_COMPARE(m_service.heldAtGate(waitingFor), 0);
        QCOMPARE(boxes.boxes.size(), 0);
    }
    void linkActions()
    {
        auto w = readyWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QSignalSpy hotList(w.get(), &MainWindow::hotListRequested);

        UserInput::click(link(*w, "hotListLink"));
        QCOMPARE(hotList.count(), 1);
        UserInput::click(link(*w, "homePageLink"), Qt::RightButton); // any button acts
        QCOMPARE(m_browser.opened, QList<QUrl>{QUrl(config().homePageUrl)});
        QVERIFY(w->isVisible());
        // Without a browser (the offscreen platform has none) the address is told, to open by hand.
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        UserInput::click(link(*w, "homePageLink"));
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
        QVERIFY2(w->statusMessage().endsWith(config().homePageUrl), qPrintable(w->statusMessage()));
        UserInput::click(link(*w, "minimiseLink"));
        QVERIFY(w->windowState().testFlag(Qt::WindowMinimized));
        QVERIFY(!programWasEnded());
        // Whatever the font, no caption is cut.
        for (const TitleLink *each : w->findChildren<TitleLink *>())
            QVERIFY2(each->fontMetrics().horizontalAdvance(each->text()) <= each->width(),
                     qPrintable(each->objectName()));
    }

    // With the default skin, Tab goes round in the layout's order, and every
    // control it reaches is named and marked while it has the focus.
    void keyboardAndScreenReaderReach()
    {
        auto w = makeWindow(config());
        w->setSkinPath(defaultSkinPath());
        const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        QVERIFY(startUpAndWait(*w));
        QVERIFY(!qApp->styleSheet().isEmpty());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));

        addressBox(*w)->setFocus();
        const QStringList expected = {"addressEdit",      "analyseButton", "copyButton",  "downloadButton",
                                      "introductionText", "playButton",    "seekSlider",  "volumeSlider",
                                      "downloadsLink",    "settingsLink",  "hotListLink", "homePageLink",
                                      "minimiseLink",     "closeLink"};
        QCOMPARE(tabRound(), expected);
        QCOMPARE(unnamedControls(w.get()), QStringList());
        for (const char *name :
             {"downloadsLink", "settingsLink", "hotListLink", "homePageLink", "minimiseLink", "closeLink"})
            QVERIFY2(!toolTip(*w, name).isEmpty(), name);
    }

    // The body's panel and the status bar leave the side lines in sight.
    void borderUnderTheChildren()
    {
        auto w = readyWindow();
        const QImage shot = w->grab().toImage();
        QCOMPARE(shot.size(), QSize(791, 446));
        for (int y : {5, 200, 430}) {
            QCOMPARE(shot.pixelColor(0, y), BorderColor);
            QCOMPARE(shot.pixelColor(790, y), BorderColor);
        }
    }

    // Ending the program from the close link while an analysis waits ends
    // it at once and writes nothing more to the window.
    void closeLinkDuringAnalysis()
    {
        auto w = readyWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        m_service.closeGate("/sound/info");
        QSignalSpy ended(w.get(), &MainWindow::analysisEnded);
        startAnalysis(*w, soundPage(QStringLiteral("1001")));
        QTRY_COMPARE(m_service.heldAtGate("/sound/info"), 1);
        UserInput::click(link(*w, "closeLink"));
        QVERIFY(programWasEnded());
        QCOMPARE(ended.count(), 0);
        QCOMPARE(w->statusMessage(), Analysing);
        QVERIFY(!w->isVisible());
        w.reset(); // as the ending program does, with the analysis still waiting
        m_service.openGate("/sound/info");
        QTRY_COMPARE(m_service.heldAtGate("/sound/info"), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
