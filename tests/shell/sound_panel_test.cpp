// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/sound_panel.h"
#include "support/shown_text.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class SoundPanelTest : public QObject
{
    Q_OBJECT

private slots:
    // A singer of ten wide characters ends in "…" above its underline, the
    // whole name in the tooltip; given the room, the label shows it all.
    void longSingerStaysAboveItsUnderline()
    {
        SoundPanel panel;
        SoundInfo record;
        record.singer = QString(12, QChar(0x6b4c));
        record.shortSinger = record.singer.left(10) + QStringLiteral("...");
        panel.showSound(record);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));

        auto *line = panel.findChild<QLabel *>(QStringLiteral("singerLine"));
        const auto *underline = panel.findChild<QWidget *>(QStringLiteral("infoSeparator"));
        QVERIFY(line->geometry().right() <= underline->geometry().right());
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width());
        QVERIFY(line->text().endsWith(QChar(0x2026)));
        QCOMPARE(line->toolTip(), record.singer);

        line->resize(line->width() * 2, line->height());
        QCOMPARE(line->text(), QStringLiteral("歌手：") + record.shortSinger);
    }

    // Texts from the service show as written, never as markup.
    void markupShowsAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("heading") << QStringLiteral("<h1>BIG</h1>");
        QTest::newRow("underline") << QStringLiteral("<u>abc</u>");
        QTest::newRow("entity") << QStringLiteral("&lt;b&gt; &amp;");
        QTest::newRow("picture") << QStringLiteral("<img src=x>");
    }

    void markupShowsAsWritten()
    {
        QFETCH(QString, text);
        SoundPanel panel;
        SoundInfo record;
        record.soundName = record.shortName = record.singer = record.shortSinger = text;
        record.playCount = record.publishTime = text;
        panel.showSound(record);

        const std::pair<const char *, QString> lines[] = {{"nameLine", QStringLiteral("音乐：")},
                                                          {"singerLine", QStringLiteral("歌手：")},
                                                          {"playsLine", QStringLiteral("播放：")},
                                                          {"timeLine", QStringLiteral("时间：")}};
        for (const auto &[name, caption] : lines) {
            const auto *line = panel.findChild<QLabel *>(QLatin1String(name));
            QVERIFY2(shownText(line->text(), line->textFormat()).startsWith(caption + text), name);
        }
        for (const char *name : {"nameLine", "singerLine"})
            QCOMPARE(shownText(panel.findChild<QLabel *>(QLatin1String(name))->toolTip()), text);
    }

    // The shortcuts act wherever the focus is, the address box included,
    // whose own Ctrl+C keeps copying its selected text.
    void shortcuts_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("toolTipStart");
        QTest::newRow("copy") << "copyButton" << QKeySequence(QStringLiteral("Ctrl+Shift+C"))
                              << QStringLiteral("复制音乐地址");
        QTest::newRow("download") << "downloadButton" << QKeySequence(QStringLiteral("Ctrl+Shift+D"))
                                  << QStringLiteral("下载音乐文件");
    }

    void shortcuts()
    {
        QFETCH(QString, button);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, toolTipStart);

        QWidget window;
        auto *box = new QLineEdit(QStringLiteral("http://host/sound/1"), &window);
        auto *panel = new SoundPanel(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(panel);
        SoundInfo record;
        record.fileUrl = QStringLiteral("http://host/a.mp3");
        panel->showSound(record);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        box->selectAll();

        QCOMPARE(panel->findChild<QPushButton *>(button)->toolTip(),
                 QStringLiteral("%1 (%2)").arg(toolTipStart, keys.toString(QKeySequence::NativeText)));
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), box->text());

        QSignalSpy messages(panel, &SoundPanel::message);
        QSignalSpy downloads(panel, &SoundPanel::downloadRequested);
        QTest::keySequence(box, keys);
        const bool copies = button == QLatin1String("copyButton");
        QTRY_COMPARE(messages.size() + downloads.size(), 1);
        QCOMPARE(downloads.size(), copies ? 0 : 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), copies ? record.fileUrl : box->text());
        QVERIFY(box->hasFocus());
    }
};

QTEST_MAIN(SoundPanelTest)
#include "sound_panel_test.moc"
