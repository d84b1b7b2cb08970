// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_data.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "services/download_settings.h"
#include "services/network_access.h"
#include "services/picture_from_path.h"
#include "services/sound_download.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/player_bar.h"
#include "shell/settings_dialog.h"
#include "shell/window_chrome.h"
#include "sound/sound_extraction.h"
#include "support/box_closer.h"
#include "support/keyboard_walk.h"
#include "support/loopback.h"
#include "support/media_reader.h"
#include "support/start_up.h"
#include "support/user_input.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

const QString Checking = QStringLiteral("正在检测是否存在最新版本..");
const QString Welcome = QStringLiteral("欢迎使用Quorlen软件");
const QString CheckFailed = QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版");
const QString Analysing = QStringLiteral("正在分析音乐信息..");
const QString Analysed = QStringLiteral("音乐分析完毕..");

// Stands in for the desktop's browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// True when the program was told to end: an event loop started after that
// returns at once with -1. Clears that state again, which only exec() does,
// so later tests run.
bool programWasEnded()
{
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&] { probe.exit(1); });
    const bool ended = probe.exec() == -1;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    return ended;
}

// A sound-info answer in the service's shape with the given values.
QByteArray answer(const QString &name, const QString &cover, const QString &source,
                  const QByteArray &playCount = "1234")
{
    return R"({"code":0,"info":{"sound":{"id":9,"name":")" + name.toUtf8() + R"(","pic_200":")" +
           cover.toUtf8() + R"(","source":")" + source.toUtf8() + R"(","sound_count":)" + playCount +
           R"(,"share_count":"56","create_time":0,"info":"第一行\r\n第二行",)" +
           R"("user":{"id":1,"follow_count":78,"name":" 歌 手 "}}}})";
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    UrlRecorder m_browser;
    QTemporaryDir m_settings; // the user's settings stay out of the windows

    ServiceConfig config() const { return ServiceConfig::allAt(m_service.hostAndPort()); }
    QString soundPage(const QString &id) const
    {
        return QStringLiteral("http://%1/sound/%2").arg(m_service.hostAndPort(), id);
    }

    // The player fetches its sound on its own; only the analysis's requests count.
    qsizetype infoRequests() const
    {
        const QList<RecordedRequest> all = m_service.requests();
        return std::count_if(all.begin(), all.end(),
                             [](const RecordedRequest &r) { return r.path == "/sound/info"; });
    }

    std::unique_ptr<MainWindow> makeWindow(const ServiceConfig &serviceConfig)
    {
        FetchOptions options;
        options.stallTimeout = 10s;
        auto window = std::make_unique<MainWindow>(serviceConfig, options);
        window->setSkinPath(QStringLiteral("/nonexistent/1.she"));
        return window;
    }

    // A window whose update check passed.
    std::unique_ptr<MainWindow> readyWindow()
    {
        auto window = makeWindow(config());
        startUpAndWait(*window);
        return window;
    }

    static QLineEdit *addressBox(MainWindow &w)
    {
        return w.findChild<QLineEdit *>(QStringLiteral("addressEdit"));
    }
    static QPushButton *analyseButton(MainWindow &w)
    {
        return w.findChild<QPushButton *>(QStringLiteral("analyseButton"));
    }
    static TitleLink *link(MainWindow &w, const char *name)
    {
        return w.findChild<TitleLink *>(QLatin1String(name));
    }
    static QString caption(MainWindow &w, const char *name)
    {
        return w.findChild<QLabel *>(QLatin1String(name))->text();
    }
    static QString toolTip(MainWindow &w, const char *name)
    {
        return w.findChild<QLabel *>(QLatin1String(name))->toolTip();
    }
    static QImage coverImage(MainWindow &w)
    {
        return w.findChild<QLabel *>(QStringLiteral("coverPicture"))->pixmap().toImage();
    }
    static QImage defaultCoverImage()
    {
        return QPixmap(QStringLiteral(":/pictures/default_cover.png")).toImage();
    }
    static PlayerBar *player(MainWindow &w) { return w.findChild<PlayerBar *>(QStringLiteral("playerBar")); }
    static void click(MainWindow &w, const char *control)
    {
        UserInput::click(w.findChild<QWidget *>(QLatin1String(control)));
    }

    // Pastes address into the box with a double-click, clicks 分析 and waits
    // for the analysis to end, when the button could be clicked.
    static void analyse(MainWindow &w, const QString &address)
    {
        if (addressBox(w)->isEnabled()) {
            QGuiApplication::clipboard()->setText(address);
            UserInput::doubleClick(addressBox(w));
            QCOMPARE(addressBox(w)->text(), address);
        } else {
            addressBox(w)->setText(address);
        }
        const bool usable = analyseButton(w)->isEnabled();
        QSignalSpy ended(&w, &MainWindow::analysisEnded);
        UserInput::click(analyseButton(w));
        if (usable && ended.isEmpty())
            QVERIFY(ended.wait(30000));
    }

    // Starts an analysis without waiting for it, as the hot list's hand-off does.
    static void startAnalysis(MainWindow &w, const QString &address)
    {
        w.setAddressText(address);
        w.analyseAddress();
    }

    bool asked(const QByteArray &target) const
    {
        const QList<RecordedRequest> all = m_service.requests();
        return std::any_of(all.begin(), all.end(),
                           [&](const RecordedRequest &r) { return r.target == target; });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QVERIFY(m_service.start());
        // Downloading a sound again is asked about first: yes, as these tests do.
        setQuestionAnswerer([](const QString &, const QString &) { return Answer::Yes; });
        // An answer whose cover never arrives.
        m_service.setSoundInfoBody(QStringLiteral("slow-cover"),
                                   answer(QStringLiteral("慢"),
                                          m_service.baseUrl() + QStringLiteral("/fault/stall"),
                                          m_service.baseUrl() + QStringLiteral("/audio/1001.wav?sign=1")));
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
    }

    void init()
    {
        m_service.setVersionBody(QByteArrayLiteral("vexa:V1.0|当前已是最新版本，感谢使用。"));
        m_service.clearFaults();
        for (const char *path : {"/sound/info", "/version/main.txt", "/cover/1002.png"})
            m_service.openGate(path); // left closed by a test that failed
        m_browser.opened.clear();
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        shutDownSharedNetworkManager();
    }

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
        // Enabled from the start, before the update check too.
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

    void downloadTagged_data()
    {
        QTest::addColumn<QString>("extension");
        for (const char *extension : {"mp3", "m4a", "flac", "ogg", "opus", "wav"})
            QTest::newRow(extension) << QString::fromLatin1(extension);
    }

    // What a music player would show: read back by GStreamer, not by the tagger.
    void downloadTagged()
    {
        QFETCH(QString, extension);
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        // The sample's own file is the WAV; the others have ids of their own.
        analyse(*w, soundPage(extension == u"wav" ? QStringLiteral("1001")
                                                  : QStringLiteral("1001-") + extension));
        QSignalSpy ended(w.get(), &MainWindow::downloadEnded);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        const QString name = QStringLiteral("苏晓棠 - 晨光里的小城.") + extension;
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: ") + name);
        const MediaReading reading = readMedia(dir.filePath(name));
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.title, QStringLiteral("晨光里的小城"));
        QCOMPARE(reading.artist, QStringLiteral("苏晓棠"));
        // GStreamer reads no pictures from WAV; the tagger's own test looks there.
        if (extension != u"wav")
            QCOMPARE(reading.cover, sampleCoverPng(1001));
    }

    void downloadAfterAnalysis()
    {
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.filePath(QStringLiteral("下载")));
        const qint64 size = 3 * 1024 * 1024;
        analyse(*w, soundPage(QStringLiteral("file-bytes-%1").arg(size)));
        QSignalSpy ended(w.get(), &MainWindow::downloadEnded);
        auto *progress = w->findChild<QProgressBar *>(QStringLiteral("downloadProgress"));
        click(*w, "downloadButton");
        QCOMPARE(w->statusMessage(), QStringLiteral("正在下载音乐.."));
        QVERIFY(progress->isVisibleTo(w.get()));
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        const QString name = QStringLiteral("样本服务 - 下载样本 bytes-%1.mp3").arg(size);
        // The generated body is no real MP3: saved as it came, and said so.
        QCOMPARE(w->statusMessage(),
                 QStringLiteral("音乐下载完成: ") + name + QStringLiteral("（未写入标签）"));
        QVERIFY(!progress->isVisibleTo(w.get()));
        QFile saved(QDir(w->downloadFolder()).filePath(name));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == sampleFileBody(size));

        // Two at once: each to its own file.
        click(*w, "downloadButton");
        click(*w, "downloadButton");
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, 30000);
        QStringList expected = {name, QStringLiteral("样本服务 - 下载样本 bytes-%1 (1).mp3").arg(size),
                                QStringLiteral("样本服务 - 下载样本 bytes-%1 (2).mp3").arg(size)};
        expected.sort();
        QCOMPARE(filesIn(w->downloadFolder()), expected);
    }

    void downloadFollowsSettings()
    {
        QTemporaryDir dir;
        DownloadSettings settings = DownloadSettings::defaults();
        settings.folder = dir.filePath(QStringLiteral("设置"));
        settings.nameTemplate = QStringLiteral("{id}");
        QCOMPARE(saveDownloadSettings(settings), QString());
        const auto forget = qScopeGuard([this] { QDir(m_settings.path()).removeRecursively(); });

        auto w = readyWindow();
        QCOMPARE(w->downloadFolder(), settings.folder);
        analyse(*w, soundPage(QStringLiteral("1001")));
        QSignalSpy ended(w.get(), &MainWindow::downloadEnded);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(filesIn(settings.folder), QStringList{QStringLiteral("1001.wav")});
    }

    // The dialog's preview is where the next download goes.
    void settingsDialogNamesTheNextDownload()
    {
        QTemporaryDir dir;
        const auto forget = qScopeGuard([this] { QDir(m_settings.path()).removeRecursively(); });
        auto w = readyWindow();
        analyse(*w, soundPage(QStringLiteral("1001")));
        w->openSettings();
        SettingsDialog *dialog = w->settingsDialog();
        dialog->findChild<QLineEdit *>(QStringLiteral("folderEdit"))->setText(dir.path());
        dialog->findChild<QLineEdit *>(QStringLiteral("templateEdit"))
            ->setText(QStringLiteral("{id}/{singer}"));
        const QString preview = dialog->previewText();
        QCOMPARE(preview, dir.filePath(QStringLiteral("1001/苏晓棠.wav")));
        UserInput::click(dialog->findChild<QPushButton *>(QStringLiteral("okButton")));
        QSignalSpy ended(w.get(), &MainWindow::downloadEnded);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QVERIFY(QFileInfo::exists(preview));
    }

    void downloadFailures_data()
    {
        QTest::addColumn<QString>("sound");
        QTest::addColumn<bool>("folderBlocked");
        QTest::addColumn<QString>("status");
        QTest::newRow("dropped connection")
            << QStringLiteral("file-drop-2000000") << false << QStringLiteral("音乐下载失败: 网络连接中断");
        QTest::newRow("error status") << QStringLiteral("file-status-404") << false
                                      << QStringLiteral("音乐下载失败: 服务器返回错误 404");
        QTest::newRow("folder not writable")
            << QStringLiteral("file-bytes-10") << true << QStringLiteral("音乐下载失败: 无法写入下载文件夹");
    }

    void downloadFailures()
    {
        QFETCH(QString, sound);
        QFETCH(bool, folderBlocked);
        QFETCH(QString, status);
        QTemporaryDir dir;
        QString folder = dir.filePath(QStringLiteral("out"));
        if (folderBlocked) { // a regular file where a folder should be stops root too
            QFile plain(dir.filePath(QStringLiteral("plain")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
            folder = plain.fileName() + QStringLiteral("/out");
        }
        auto w = readyWindow();
        w->setDownloadFolder(folder);
        analyse(*w, soundPage(sound));
        QSignalSpy ended(w.get(), &MainWindow::downloadEnded);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(ended.first().first().toBool(), false);
        QCOMPARE(w->statusMessage(), status);
        QCOMPARE(filesIn(folder), QStringList());
    }

    // A retry after a dropped connection is told, not just seen as the bar going back.
    void downloadRetryIsTold()
    {
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("file-drop-2000000")));
        click(*w, "downloadButton");
        QTRY_COMPARE_WITH_TIMEOUT(w->statusMessage(), QStringLiteral("连接中断，正在重试（第2次，共4次）.."),
                                  10000);
    }

    // A later press of the button continues what an earlier download left,
    // and its progress starts where that one ended.
    void downloadContinuesAPartLeftBehind()
    {
        QTemporaryDir dir;
        // Every answer drops after 1000000 bytes: the continuation is that long.
        const qint64 size = 2000000;
        const QString url = m_service.baseUrl() + QStringLiteral("/file/bytes-%1;drop=1000000.mp3").arg(size);
        m_service.setSoundInfoBody(QStringLiteral("continued"),
                                   answer(QStringLiteral("x"), QString(), url + QStringLiteral("?sign=1")));
        {
            DownloadRequest r;
            r.fileUrl = url;
            r.folder = dir.path();
            r.fileName = QStringLiteral("歌手 - x.mp3");
            r.retryDelays.clear();
            SoundDownload left(r);
            QSignalSpy finished(&left, &SoundDownload::finished);
            left.start();
            QVERIFY(finished.wait(20000));
            QVERIFY(!left.result().ok());
        }
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("continued")));
        QSignalSpy ended(w.get(), &MainWindow::downloadEnded);
        auto *progress = w->findChild<QProgressBar *>(QStringLiteral("downloadProgress"));
        click(*w, "downloadButton");
        QCOMPARE(progress->value(), int(1000000 / 1024));
        QCOMPARE(progress->maximum(), int(size / 1024));
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: 歌手 - x.mp3（未写入标签）"));
        QFile saved(dir.filePath(QStringLiteral("歌手 - x.mp3")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == sampleFileBody(size));
        const QList<RecordedRequest> requests = m_service.requests();
        QVERIFY(std::any_of(requests.cbegin(), requests.cend(),
                            [](const RecordedRequest &r) { return r.header("Range") == "bytes=1000000-"; }));
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("歌手 - x.mp3")});
    }

    // Closing the window ends its downloads; one that could not be continued
    // (no validator here) leaves no part file behind.
    void windowGoneDuringDownload()
    {
        QTemporaryDir dir;
        m_service.setSoundInfoBody(QStringLiteral("slow-file"),
                                   answer(QStringLiteral("x"), QString(),
                                          m_service.baseUrl() + QStringLiteral("/fault/stall-body?x")));
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("slow-file")));
        click(*w, "downloadButton");
        QTRY_COMPARE(filesIn(dir.path()), QStringList{QStringLiteral("歌手 - x.mp3.part")});
        w.reset();
        QCOMPARE(filesIn(dir.path()), QStringList());
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
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
