// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the main window's tests share: a sample service, a browser stand-in,
// windows made and driven as a user would.

#pragma once

#include "download/sound_download.h"
#include "library/download_settings.h"
#include "net/network_access.h"
#include "pictures/picture_load.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
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
#include "support/window_downloads.h"

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

inline const QString Checking = QStringLiteral("正在检测是否存在最新版本..");
inline const QString Welcome = QStringLiteral("欢迎使用Quorlen软件");
inline const QString CheckFailed = QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版");
inline const QString Analysing = QStringLiteral("正在分析音乐信息..");
inline const QString Analysed = QStringLiteral("音乐分析完毕..");

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
inline bool programWasEnded()
{
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&] { probe.exit(1); });
    const bool ended = probe.exec() == -1;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    return ended;
}

// A sound-info answer in the service's shape with the given values.
inline QByteArray answer(const QString &name, const QString &cover, const QString &source,
                         const QByteArray &playCount = "1234")
{
    return R"({"code":0,"info":{"sound":{"id":9,"name":")" + name.toUtf8() + R"(","pic_200":")" +
           cover.toUtf8() + R"(","source":")" + source.toUtf8() + R"(","sound_count":)" + playCount +
           R"(,"share_count":"56","create_time":0,"info":"第一行\r\n第二行",)" +
           R"("user":{"id":1,"follow_count":78,"name":" 歌 手 "}}}})";
}

inline QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class MainWindowFixture : public QObject
{
    Q_OBJECT

protected:
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
        new WindowDownloads(*window, options.stallTimeout);
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
};
