// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_settings.h"
#include "sample_service/sample_service.h"
#include "shell/clipboard_offer.h"
#include "shell/main_window.h"
#include "support/start_up.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

const QString Host = QStringLiteral("vexa.example:8123");
const QString Page = QStringLiteral("http://vexa.example:8123/sound/1001");

void copy(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace

class ClipboardOfferTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    SampleService m_service;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QVERIFY(m_service.start());
    }

    void decision_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("offered");
        QTest::newRow("page") << Page << Page;
        QTest::newRow("blanks around") << QStringLiteral("  ") + Page + QStringLiteral("\n") << Page;
        QTest::newRow("secure, shared") << QStringLiteral("https://vexa.example:8123/sound/1001?from=share")
                                        << QStringLiteral("https://vexa.example:8123/sound/1001?from=share");
        QTest::newRow("query only") << QStringLiteral("http://vexa.example:8123/sound/?x=1") << QString();
        QTest::newRow("no id") << QStringLiteral("http://vexa.example:8123/sound/") << QString();
        QTest::newRow("other host") << QStringLiteral("http://vexa.example/sound/1001") << QString();
        QTest::newRow("inside a sentence") << QStringLiteral("听听 ") + Page << QString();
        QTest::newRow("own write") << QStringLiteral("http://vexa.example:8123/sound/own ") << QString();
        QTest::newRow("huge") << Page + QString(5000, u'x') << QString();
    }

    void decision()
    {
        QFETCH(QString, text);
        QFETCH(QString, offered);
        const QStringList own = {QStringLiteral("http://vexa.example:8123/sound/own")};
        QCOMPARE(clipboardOfferAddress(text, Host, own), offered);
    }

    // Only changes seen while on; the program's own writes and their echoes
    // only until something else was copied.
    void watchesWhileEnabled()
    {
        ClipboardOffer offer(Host);
        QSignalSpy offered(&offer, &ClipboardOffer::offered);
        const QString own = Page + QStringLiteral("?own");
        copy(Page);
        offer.setEnabled(true);
        putOwnTextOnClipboard(own);
        QCOMPARE(QGuiApplication::clipboard()->text(), own);
        copy(QString());
        copy(own + QStringLiteral("\n"));
        copy(QStringLiteral("text"));
        copy(own);
        offer.setEnabled(false);
        copy(Page + QStringLiteral("?b"));
        QCOMPARE(offered.count(), 1);
        QCOMPARE(offered.first().first().toString(), own);
    }

    // In a window, the watch begins with its first frame.
    void watchWaitsForTheFirstFrame()
    {
        QWidget window;
        auto *offer = new ClipboardOffer(Host, &window);
        QSignalSpy offered(offer, &ClipboardOffer::offered);
        offer->setEnabled(true);
        copy(Page + QStringLiteral("?early"));
        QCoreApplication::processEvents();
        QCOMPARE(offered.count(), 0);
        window.show();
        const QString late = Page + QStringLiteral("?late");
        QTRY_VERIFY((copy(late + QString::number(offered.count())), !offered.isEmpty()));
        QVERIFY(offered.first().first().toString().startsWith(late));
    }

    // With the setting on, the window's address box takes the address and
    // says so, and nothing is analysed; with it off the clipboard is left alone.
    void windowTakesOffer_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    void windowTakesOffer()
    {
        QFETCH(bool, on);
        DownloadSettings settings = DownloadSettings::defaults();
        settings.clipboardOffers = on;
        QVERIFY(saveDownloadSettings(settings));
        MainWindow w(ServiceConfig::allAt(m_service.hostAndPort()));
        w.setSkinPath(QStringLiteral("/nonexistent/1.she"));
        QVERIFY(startUpAndWait(w));
        auto *box = w.findChild<QLineEdit *>(QStringLiteral("addressEdit"));
        const QString before = w.statusMessage();
        const QString hint = box->text();
        const QString page = QStringLiteral("http://%1/sound/1001").arg(m_service.hostAndPort());

        putOwnTextOnClipboard(page); // as the demo does at start
        QCOMPARE(box->text(), hint);
        QSignalSpy analysed(&w, &MainWindow::analysisEnded);
        copy(page + QStringLiteral("?from=share "));
        QCOMPARE(box->text(), on ? page + QStringLiteral("?from=share") : hint);
        QCOMPARE(w.statusMessage(), on ? QStringLiteral("已填入复制的音乐地址..") : before);
        QCOMPARE(analysed.count(), 0);
        const QList<RecordedRequest> requests = m_service.requests();
        QVERIFY(std::none_of(requests.cbegin(), requests.cend(),
                             [](const RecordedRequest &r) { return r.path == "/sound/info"; }));
    }
};

QTEST_MAIN(ClipboardOfferTest)
#include "clipboard_offer_test.moc"
