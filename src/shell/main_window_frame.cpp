// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's frame: the title links along the top and the status
// bar's panels along the bottom.
#include "shell/main_window.h"

#include "shell/window_chrome.h"

#include <QDesktopServices>
#include <QLabel>
#include <QStatusBar>
#include <QUrl>

namespace {

const char *const DownloadsText = QT_TRANSLATE_NOOP("MainWindow", "下载列表");
const char *const SettingsText = QT_TRANSLATE_NOOP("MainWindow", "设置");
const char *const HotListText = QT_TRANSLATE_NOOP("MainWindow", "Vexa热门推荐");
const char *const HomePageText = QT_TRANSLATE_NOOP("MainWindow", "官方网站");

// The places were made for the texts in the original's font. A link too
// narrow for its text, in the font at hand or translated, grows to the left,
// and the links before it move along.
void fitTitleLinks(std::initializer_list<TitleLink *> rightToLeft)
{
    int shift = 0;
    for (TitleLink *link : rightToLeft) {
        QRect place = link->geometry().translated(-shift, 0);
        const int wanted = link->fontMetrics().horizontalAdvance(link->text());
        if (wanted > place.width())
            place.setLeft(place.right() + 1 - wanted);
        shift = link->geometry().left() - place.left();
        link->setGeometry(place);
    }
}

} // namespace

void MainWindow::buildHeader()
{
    addLogo({16, 24});
    const QFont linkFont = uiFont(9);
    TitleLink *downloads =
        addTitleLink(QStringLiteral("downloadsLink"), tr(DownloadsText), {448, 13, 48, 18}, linkFont);
    TitleLink *settings =
        addTitleLink(QStringLiteral("settingsLink"), tr(SettingsText), {520, 13, 24, 18}, linkFont);
    TitleLink *hotList =
        addTitleLink(QStringLiteral("hotListLink"), tr(HotListText), {568, 13, 72, 18}, linkFont);
    TitleLink *homePage =
        addTitleLink(QStringLiteral("homePageLink"), tr(HomePageText), {664, 13, 48, 18}, linkFont);
    TitleLink *minimise = addTitleLink(QStringLiteral("minimiseLink"), QStringLiteral("_"), {736, 8, 17, 33},
                                       captionGlyphFont(10.5), tr("最小化"));
    TitleLink *close = addTitleLink(QStringLiteral("closeLink"), QStringLiteral("x"), {768, 12, 19, 27},
                                    captionGlyphFont(12), tr("关闭"));
    fitTitleLinks({homePage, hotList, settings, downloads});
    connect(downloads, &TitleLink::released, this, &MainWindow::downloadsRequested);
    connect(settings, &TitleLink::released, this, &MainWindow::openSettings);
    connect(hotList, &TitleLink::released, this, &MainWindow::hotListRequested);
    connect(homePage, &TitleLink::released, this, [this] {
        // No browser to hand it to: the address, to open by hand.
        if (!QDesktopServices::openUrl(QUrl(m_config.homePageUrl)))
            setStatusMessage(tr("没有能打开网页的程序，请在浏览器中打开：%1").arg(m_config.homePageUrl));
    });
    connect(minimise, &TitleLink::released, this,
            [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    connect(close, &TitleLink::released, this, &endProgramNow);
    downloads->setToolTip(tr("打开下载列表"));
    settings->setToolTip(tr("下载设置"));
    hotList->setToolTip(tr("打开热门推荐音乐列表"));
    homePage->setToolTip(tr("在浏览器中打开官方网站"));
}

void MainWindow::buildStatusBar()
{
    auto *statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(1, Height - 33, Width - 2, 33);
    const auto addPanel = [statusBar](const char *name, const QString &text, int width) {
        auto *panel = new QLabel(text, statusBar);
        panel->setObjectName(QLatin1String(name));
        panel->setFixedWidth(width);
        statusBar->addWidget(panel);
        return panel;
    };
    addPanel("hintPanel", tr("使用提示："), 96);
    m_messagePanel = addPanel("messagePanel", checkingText(), 487);
    m_versionPanel = addPanel("versionPanel", tr("版本"), 96);
    addPanel("makerPanel", tr("Quorlen出品"), 96);
    // Messages carry names and errors from the network: never markup.
    m_messagePanel->setTextFormat(Qt::PlainText);
    m_versionPanel->setTextFormat(Qt::PlainText);
    connect(m_versionPanel, &QLabel::linkActivated, this, &MainWindow::checkAgain);
    m_messagePanel->setAccessibleDescription(tr("上一步操作的结果"));
    m_versionPanel->setAccessibleDescription(tr("程序版本"));
}
