// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Cross-cutting: every road of the windows and the command line that reaches the network, under each fault.
#include "hotlist/hot_list_window.h"
#include "net/network_access.h"
#include "sample_service/sample_data.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "sound/sound_info.h"
#include "support/box_closer.h"
#include "support/loopback.h"
#include "support/start_up.h"
#include "support/vexa_process.h"
#include "support/window_downloads.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <memory>

using namespace std::chrono_literals;

namespace {

// Short, so stalls cost little; well above the trickle's interval. A
// download also fails below 1 KiB/s over twice this.
constexpr auto StallTimeout = 800ms;
const QString StallSeconds = QStringLiteral("0.8");

const QString CheckFailed = QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版");
const QString Analysed = QStringLiteral("音乐分析完毕..");
const QString NetworkFailed = QStringLiteral("网络连接失败，请稍后再试..");
const QString NoSoundInfo = QStringLiteral("未能获取音乐信息，请检查地址..");
const QString NoHotEntries = QStringLiteral("未能获取热榜信息，请稍后再试..");
const QString DownloadDone = QStringLiteral("音乐下载完成: ");
const QString DownloadFailed = QStringLiteral("音乐下载失败: ");

// How the service misbehaves; an empty route means nobody listens at all.
struct Fault
{
    const char *name;
    QByteArray route;
};

const Fault Faults[] = {
    {"connection refused", {}},
    {"stalled response", "stall?seconds=5"},
    {"dropped mid-body", "drop"},
    {"error status with a body", "status?code=500"},
    {"empty body", "empty"},
    {"40 MiB body", "huge?mib=40"},
    {"invalid UTF-8", "invalid-utf8"},
    {"slow trickle", "trickle?bytes=10&interval=100"},
    {"crawling trickle", "trickle?bytes=60&interval=50"},
    {"web page as 200", "html"},
    {"no Content-Length", "no-length"},
    {"two Content-Lengths", "two-lengths"},
    {"redirect loop", "redirect-loop"},
    {"redirect to file:", "redirect-scheme"},
};

// Faults after which no text arrives at all.
bool nothingArrives(const QByteArray &route)
{
    return route.isEmpty() || route.startsWith("stall") || route == "drop" || route.startsWith("huge") ||
           route.startsWith("redirect");
}

bool downloadFails(const QByteArray &route)
{
    // Bodies that arrive but are no sound file, or arrive too slowly.
    const bool refused = route == "html" || route == "two-lengths" || route == "trickle?bytes=60&interval=50";
    return route.startsWith("status") || route == "empty" || refused ||
           (nothingArrives(route) && !route.startsWith("huge"));
}

// One machine-readable line per cell, for scripts/faults: the row, the road,
// the fault and what was observed.
void reportCell(const char *road, const char *fault, const QString &outcome)
{
    const QByteArray line = QByteArray("FAULT-MATRIX|") + QTest::currentDataTag() + '|' + road + '|' + fault +
                            '|' + outcome.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

QList<QStringList> rowsOf(HotListWindow &window)
{
    const QAbstractItemModel *list = window.findChild<QTreeView *>(QStringLiteral("hotListView"))->model();
    QList<QStringList> rows;
    for (int i = 0; i < list->rowCount(); ++i) {
        QStringList row;
        for (int c = 0; c < list->columnCount(); ++c)
            row.append(list->index(i, c).data().toString());
        rows.append(row);
    }
    return rows;
}

// Files in folder that carry a final name, not a part file's.
QStringList finalFilesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    names.removeIf([](const QString &name) { return name.endsWith(QLatin1String(".part")); });
    return names;
}

// The one "vexa-helper: …" line of a run's stderr with addresses left out,
// so the table does not depend on ports; progress lines are not problems.
QStringList problemLines(const QString &err)
{
    static const QRegularExpression address(QStringLiteral(R"(https?://\S+?(?=:? |$))"));
    QStringList lines;
    for (const QString &line : err.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("vexa-helper: ")))
            lines.append(QString(line).replace(address, QStringLiteral("ADDRESS")));
    }
    return lines;
}

} // namespace

class FaultMatrixTest : public QObject
{
    Q_OBJECT

    SampleService m_service;
    quint16 m_port = 0;
    QList<QUrl> m_opened;

    QString host() const { return m_service.hostAndPort(); }
    QString page(const QString &id) const { return m_service.soundPageUrl(id); }

    // A record whose cover and file live where nobody listens.
    QString recordAtClosedPort()
    {
        const QString id = QStringLiteral("at-closed-port");
        m_service.setSoundInfoBody(id, soundInfoJson(*findSampleSound(QStringLiteral("1001")),
                                                     QStringLiteral("http://") + closedLoopbackHost()));
        return id;
    }

    // The fault for one road: requests to route answer as the fault, or,
    // for a refused connection, the service goes away until restored.
    void applyFault(const Fault &fault, const QByteArray &route)
    {
        if (fault.route.isEmpty())
            m_service.stop();
        else
            m_service.setFault(route, fault.route);
    }
    void restore()
    {
        m_service.clearFaults();
        if (!m_service.isRunning())
            QVERIFY(m_service.start(m_port));
    }

    std::unique_ptr<MainWindow> window(const QString &downloadFolder = {})
    {
        FetchOptions options;
        options.stallTimeout = StallTimeout;
        auto w = std::make_unique<MainWindow>(ServiceConfig::allAt(host()), options);
        w->setSkinPath(QStringLiteral("/nonexistent/1.she"));
        new WindowDownloads(*w, options.stallTimeout);
        if (!downloadFolder.isEmpty())
            w->setDownloadFolder(downloadFolder);
        return w;
    }

    static bool controlsUsable(MainWindow &w)
    {
        return w.findChild<QLineEdit *>(QStringLiteral("addressEdit"))->isEnabled() &&
               w.findChild<QPushButton *>(QStringLiteral("analyseButton"))->isEnabled();
    }

    static bool showsDefaultCover(MainWindow &w)
    {
        const QPixmap shown = w.findChild<QLabel *>(QStringLiteral("coverPicture"))->pixmap();
        return shown.toImage() == QPixmap(QStringLiteral(":/pictures/default_cover.png")).toImage();
    }

    // Runs the analysis of id to its end.
    void analyse(MainWindow &w, const QString &id)
    {
        QSignalSpy ended(&w, &MainWindow::analysisEnded);
        w.setAddressText(page(id));
        w.analyseAddress();
        if (ended.isEmpty())
            QVERIFY(ended.wait(60000));
    }

    // Runs one refresh of the list to its end.
    static void refresh(HotListWindow &hot)
    {
        QSignalSpy ended(&hot, &HotListWindow::refreshEnded);
        hot.refresh();
        QVERIFY(ended.wait(60000));
    }

public slots:
    void recordOpened(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start());
        m_port = m_service.port();
        // The same sound downloaded again is asked about first: yes.
        setQuestionAnswerer([](const QString &, const QString &) { return Answer::Yes; });
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "recordOpened");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "recordOpened");
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        shutDownSharedNetworkManager();
    }
    void init()
    {
        m_opened.clear();
        restore();
    }
    void cleanup() { restore(); }

    void windows_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<int>("fault");
        // What the cell must show; compared as a prefix of the observed
        // outcome where the rest is a detail (a download's reason).
        QTest::addColumn<QString>("expected");

        for (int f = 0; f < int(std::size(Faults)); ++f) {
            const Fault &fault = Faults[f];
            const bool failed = nothingArrives(fault.route);
            const auto row = [&](const char *road, const QString &expected) {
                QTest::addRow("%s, %s", road, fault.name) << QString::fromLatin1(road) << f << expected;
            };
            // An answer with bad bytes still holds its record.
            row("analysis", failed ? NetworkFailed : fault.route == "invalid-utf8" ? Analysed : NoSoundInfo);
            row("update check",
                QStringLiteral("warning: ") + CheckFailed + QStringLiteral("; analysis disabled"));
            row("cover picture", Analysed + QStringLiteral(" with the default cover"));
            row("hot-list refresh", QStringLiteral("warning: ") + (failed ? NetworkFailed : NoHotEntries) +
                                        QStringLiteral("; the 15 rows before kept"));
            // Bodies that arrive whole are saved as they are, however large.
            row("download", downloadFails(fault.route) ? DownloadFailed : DownloadDone);
        }
    }

    void windows()
    {
        QFETCH(QString, road);
        QFETCH(int, fault);
        QFETCH(QString, expected);
        const Fault &f = Faults[fault];
        const QByteArray roadName = road.toUtf8();
        BoxCloser boxes;
        QString outcome;

        if (road == QLatin1String("analysis")) {
            auto w = window();
            QVERIFY(startUpAndWait(*w));
            applyFault(f, "/sound/info");
            analyse(*w, QStringLiteral("1001"));
            outcome = w->statusMessage();
            reportCell(roadName.constData(), f.name, outcome);
            QVERIFY(controlsUsable(*w));
            restore();
            analyse(*w, QStringLiteral("1002"));
            QCOMPARE(w->statusMessage(), Analysed);
            QCOMPARE(w->soundInfo().soundId, QStringLiteral("1002"));
        } else if (road == QLatin1String("update check")) {
            auto w = window();
            applyFault(f, "/version/main.txt");
            QVERIFY(startUpAndWait(*w));
            QCOMPARE(boxes.boxes.size(), 1);
            const SeenBox box = boxes.boxes.takeFirst();
            QCOMPARE(box.title, QStringLiteral("Quorlen软件"));
            outcome =
                (box.icon == QMessageBox::Warning ? QStringLiteral("warning: ") : QStringLiteral("box: ")) +
                box.text +
                (controlsUsable(*w) ? QStringLiteral("; analysis enabled")
                                    : QStringLiteral("; analysis disabled"));
            reportCell(roadName.constData(), f.name, outcome);
            QCOMPARE(w->statusMessage(), CheckFailed);
            QVERIFY(w->isVisible());
            // The rest of the program still works: a chosen sound is still analysed.
            restore();
            analyse(*w, QStringLiteral("1002"));
            QCOMPARE(w->statusMessage(), Analysed);
            QVERIFY(controlsUsable(*w));
        } else if (road == QLatin1String("cover picture")) {
            auto w = window();
            QVERIFY(startUpAndWait(*w));
            QString id = QStringLiteral("1001");
            if (f.route.isEmpty())
                id = recordAtClosedPort();
            else
                m_service.setFault("/cover/1001.png", f.route);
            analyse(*w, id);
            outcome = w->statusMessage() + (showsDefaultCover(*w) ? QStringLiteral(" with the default cover")
                                                                  : QStringLiteral(" with a cover picture"));
            reportCell(roadName.constData(), f.name, outcome);
            QVERIFY(controlsUsable(*w));
            restore();
            analyse(*w, QStringLiteral("1002"));
            QCOMPARE(w->statusMessage(), Analysed);
            QVERIFY(!showsDefaultCover(*w));
        } else if (road == QLatin1String("hot-list refresh")) {
            FetchOptions options;
            options.stallTimeout = StallTimeout;
            HotListWindow hot(ServiceConfig::allAt(host()), options);
            hot.showHotList();
            refresh(hot);
            const QList<QStringList> good = rowsOf(hot);
            QCOMPARE(good.size(), 15);
            applyFault(f, "/");
            refresh(hot);
            QCOMPARE(boxes.boxes.size(), 1);
            const SeenBox box = boxes.boxes.takeFirst();
            QCOMPARE(box.title, QStringLiteral("Quorlen软件"));
            const QList<QStringList> rows = rowsOf(hot);
            outcome =
                (box.icon == QMessageBox::Warning ? QStringLiteral("warning: ") : QStringLiteral("box: ")) +
                box.text +
                (rows == good ? QStringLiteral("; the 15 rows before kept")
                              : QStringLiteral("; %1 other rows").arg(rows.size()));
            reportCell(roadName.constData(), f.name, outcome);
            restore();
            refresh(hot);
            QCOMPARE(rowsOf(hot), good);
        } else {
            QTemporaryDir folder;
            auto w = window(folder.path());
            QVERIFY(startUpAndWait(*w));
            QString id = QStringLiteral("1001");
            if (f.route.isEmpty())
                id = recordAtClosedPort();
            analyse(*w, id);
            QCOMPARE(w->statusMessage(), Analysed);
            const QUrl fileUrl(w->soundInfo().fileUrl);
            if (!f.route.isEmpty())
                m_service.setFault(fileUrl.path().toUtf8(), f.route);
            auto *download = w->findChild<QPushButton *>(QStringLiteral("downloadButton"));
            QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
            download->click();
            QVERIFY(ended.wait(120000));
            outcome = w->statusMessage();
            reportCell(roadName.constData(), f.name, outcome);
            const bool ok = ended.first().first().value<DownloadEntry>().state == DownloadState::Done;
            QCOMPARE(ok, outcome.startsWith(DownloadDone));
            // Nothing half-written under a final name; a whole body is kept whole.
            const QStringList saved = finalFilesIn(folder.path());
            QCOMPARE(saved.size(), ok ? 1 : 0);
            if (f.route.startsWith("huge"))
                QCOMPARE(QFileInfo(folder.filePath(saved.first())).size(), 40ll * 1024 * 1024);
            QVERIFY(controlsUsable(*w));
            restore();
            if (f.route.isEmpty())
                analyse(*w, QStringLiteral("1001")); // a record whose file can be reached
            download->click();
            QVERIFY(ended.wait(60000));
            QVERIFY2(w->statusMessage().startsWith(DownloadDone), qPrintable(w->statusMessage()));
        }

        QVERIFY2(outcome.startsWith(expected), qPrintable(outcome));
        QCOMPARE(boxes.boxes.size(), 0); // one status line, no message box
        QCOMPARE(m_opened, QList<QUrl>{});
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("problem"); // start of the one stderr line; empty: none

        const QString couldNotFetch = QStringLiteral("vexa-helper: 无法获取 ADDRESS: ");
        for (int f = 0; f < int(std::size(Faults)); ++f) {
            const Fault &fault = Faults[f];
            const bool failed = nothingArrives(fault.route);
            const bool record = fault.route == "invalid-utf8";
            QTest::addRow("info, %s", fault.name)
                << QStringLiteral("info") << f
                << (failed   ? 3
                    : record ? 0
                             : 4)
                << (failed   ? couldNotFetch
                    : record ? QString()
                             : QStringLiteral("vexa-helper: ADDRESS 的回答中没有音乐信息: "));
            QTest::addRow("hot, %s", fault.name)
                << QStringLiteral("hot") << f << (failed ? 3 : 4)
                << (failed ? couldNotFetch
                           : QStringLiteral("vexa-helper: 无法读取热门列表: ADDRESS 的页面中没有热门条目"));
            const bool saved = !downloadFails(fault.route);
            QTest::addRow("download, %s", fault.name)
                << QStringLiteral("download") << f << (saved ? 0 : 5)
                << (saved ? QString() : QStringLiteral("vexa-helper: 无法下载 ADDRESS: "));
        }
    }

    void commandLine()
    {
        QFETCH(QString, command);
        QFETCH(int, fault);
        QFETCH(int, exitCode);
        QFETCH(QString, problem);
        const Fault &f = Faults[fault];
        QTemporaryDir folder;

        QString hostOfRoad = host();
        QString id = QStringLiteral("1001");
        if (f.route.isEmpty() && command == QLatin1String("download"))
            id = recordAtClosedPort();
        else if (f.route.isEmpty())
            hostOfRoad = closedLoopbackHost();
        else if (command == QLatin1String("info"))
            m_service.setFault("/sound/info", f.route);
        else if (command == QLatin1String("hot"))
            m_service.setFault("/", f.route);
        else
            m_service.setFault("/audio/1001.wav", f.route);

        QStringList arguments = {command,
                                 QStringLiteral("--timeout"),
                                 StallSeconds,
                                 QStringLiteral("--web-host"),
                                 command == QLatin1String("hot") ? hostOfRoad : host(),
                                 QStringLiteral("--api-host"),
                                 command == QLatin1String("info") ? hostOfRoad : host()};
        if (command != QLatin1String("hot"))
            arguments << page(id);
        if (command == QLatin1String("download"))
            arguments << QStringLiteral("-o") << folder.path();
        const VexaRun run = runVexaHelper(arguments);
        const QStringList problems = problemLines(run.err);
        const QString outcome = QStringLiteral("exit %1").arg(run.exitCode) +
                                (problems.isEmpty() ? QString() : QStringLiteral(", ") + problems.join(u' '));
        const QByteArray roadName = "vexa-helper " + command.toUtf8();
        reportCell(roadName.constData(), f.name, outcome);

        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(!run.err.contains(QLatin1String("Sanitizer")) &&
                     !run.err.contains(QLatin1String("runtime error")),
                 qPrintable(run.err));
        if (problem.isEmpty()) {
            // A saved download may note that it went without tags; nothing else is said.
            for (const QString &line : problems)
                QVERIFY2(command == QLatin1String("download") &&
                             line.startsWith(QStringLiteral("vexa-helper: 已保存，但未写入标签: ")),
                         qPrintable(line));
        } else {
            // One line says why; a download that retries may tell of its tries before it.
            QCOMPARE(
                problems.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(problem)))
                    .size(),
                1);
            QVERIFY2(problems.last().startsWith(problem), qPrintable(problems.last()));
            if (command != QLatin1String("download"))
                QCOMPARE(problems.size(), 1);
        }
        if (command == QLatin1String("hot"))
            QCOMPARE(run.out, QByteArray()); // no rows when the refresh got nothing
        if (command == QLatin1String("download"))
            QCOMPARE(finalFilesIn(folder.path()).size(), exitCode == 0 ? 1 : 0);
    }
};

QTEST_MAIN(FaultMatrixTest)
#include "fault_matrix_test.moc"
