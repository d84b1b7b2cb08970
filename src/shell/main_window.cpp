// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/main_window.h"

#include "library/program_settings.h"
#include "net/update_check.h"
#include "net/web_address.h"
#include "pictures/picture_load.h"
#include "shell/address_box.h"
#include "shell/clipboard_offer.h"
#include "shell/download_status.h"
#include "shell/introduction_box.h"
#include "shell/message_boxes.h"
#include "shell/player_bar.h"
#include "shell/settings_dialog.h"
#include "shell/skin.h"
#include "shell/sound_panel.h"
#include "shell/stored_picture.h"
#include "shell/window_chrome.h"
#include "shell/window_settings.h"
#include "sound/sound_link.h"
#include "util/version_text.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

const char *const AddressHintText = QT_TRANSLATE_NOOP("MainWindow", "双击粘贴音乐地址");
const char *const EnterAddressText = QT_TRANSLATE_NOOP("MainWindow", "请输入音乐地址..");
const char *const WrongAddressText = QT_TRANSLATE_NOOP("MainWindow", "地址有误，请检查..");
const char *const AnalysingText = QT_TRANSLATE_NOOP("MainWindow", "正在分析音乐信息..");
const char *const AnalysedText = QT_TRANSLATE_NOOP("MainWindow", "音乐分析完毕..");
const char *const NetworkFailedText = QT_TRANSLATE_NOOP("MainWindow", "网络连接失败，请稍后再试..");
const char *const NoSoundInfoText = QT_TRANSLATE_NOOP("MainWindow", "未能获取音乐信息，请检查地址..");
const char *const SettingsUnsavedText = QT_TRANSLATE_NOOP("MainWindow", "设置无法保存，本次运行中仍然有效");
const char *const OfferedText = QT_TRANSLATE_NOOP("MainWindow", "已填入复制的音乐地址..");

constexpr std::chrono::milliseconds FirstPaintWaitCap{500};
const QEvent::Type FirstFramePainted = QEvent::Type(QEvent::User + 1);

} // namespace

MainWindow::MainWindow(const ServiceConfig &config, const FetchOptions &fetchOptions, QWidget *parent)
    : FramelessWindow(TopEdge::Open, parent)
    , m_config(config)
    , m_fetchOptions(fetchOptions)
    , m_skinPath(skinPath())
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Vexa辅助"));
    setWindowIcon(QIcon(storedPicture(QStringLiteral("icon"))));
    setFixedSize(Width, Height);

    // Created first so it lies under every other control of the body.
    addPanel(104, 369);
    buildHeader();

    m_addressBox = new AddressBox(tr(AddressHintText), this);
    m_addressBox->setObjectName(QStringLiteral("addressEdit"));
    m_addressBox->setGeometry(16, 136, 273, 18);
    m_addressBox->setEnabled(false);

    m_analyseButton = new QPushButton(tr("分析"), this);
    m_analyseButton->setObjectName(QStringLiteral("analyseButton"));
    m_analyseButton->setGeometry(296, 136, 73, 17);
    m_analyseButton->setEnabled(false);
    connect(m_analyseButton, &QPushButton::clicked, this, &MainWindow::analyseAddress);
    // Enter analyses only when the button could be clicked.
    connect(m_addressBox, &QLineEdit::returnPressed, m_analyseButton, &QPushButton::click);
    m_addressBox->setAccessibleName(tr("音乐地址"));
    m_addressBox->setAccessibleDescription(tr("音乐页面的地址，按回车键分析"));
    m_analyseButton->setAutoDefault(true); // Enter presses it once Tab has reached it
    m_analyseButton->setToolTip(tr("分析音乐信息"));
    m_analyseButton->setAccessibleDescription(tr("获取地址中音乐的信息、封面和声音"));

    // Beside and below the address row, never over it: a block lying over a
    // control takes its clicks.
    m_soundPanel = new SoundPanel(this);
    m_soundPanel->move(16, 176);
    m_introduction = new IntroductionBox(this);
    m_introduction->move(392, 128);
    connect(m_soundPanel, &SoundPanel::message, this, &MainWindow::setStatusMessage);

    // The status bar below covers the strip's lower part.
    m_player = new PlayerBar(this);
    connect(m_player, &PlayerBar::ended, this, &MainWindow::onListSoundEnded);
    connect(m_player, &PlayerBar::positionChanged, this, &MainWindow::prepareNextSound);
    connect(m_player, &PlayerBar::failed, this, [this] {
        if (m_playList.isPlaying() && !m_analysis)
            skipListSound();
    });
    connect(m_player, &PlayerBar::previousRequested, this, &MainWindow::playPrevious);
    connect(m_player, &PlayerBar::nextRequested, this, &MainWindow::playNext);
    m_player->setGeometry(16, 384, 761, 41);

    buildStatusBar();
    m_downloads = new DownloadStatus(m_messagePanel, soundPagePrefix(m_config.webHost), this);
    connect(m_soundPanel, &SoundPanel::downloadRequested, m_downloads, [this](const SoundInfo &record) {
        // The cover shown goes with it rather than being fetched again.
        m_downloads->start(record, record.coverUrl == m_cover.first ? m_cover.second : QByteArray());
    });

    m_clipboardOffer = new ClipboardOffer(m_config.webHost, this);
    useSettings(*new ProgramSettings(this));
    connect(m_clipboardOffer, &ClipboardOffer::offered, this, &MainWindow::takeOfferedAddress);

    setTabChain(QList<QWidget *>{m_addressBox, m_analyseButton} + m_soundPanel->tabStops() +
                QList<QWidget *>{m_introduction->tabStop()} + m_player->tabStops());

    m_windowSettings = new WindowSettingsKeeper(this, m_player);
    connect(m_windowSettings, &WindowSettingsKeeper::saveFailed, this, &MainWindow::tellSettingsUnsaved);
}

// Waits still pending are ended by their request objects, which are children
// of the window and go with it; downloads are the queue's, which outlives it.
MainWindow::~MainWindow()
{
    m_windowSettings->flush();
}

// While the address box is disabled the window keeps the focus itself, so
// that it does not land on a title link; when the box is back, so is the focus.
void MainWindow::takeBackFocus()
{
    const QWidget *focus = focusWidget();
    if (!focus || focus == this || qobject_cast<const TitleLink *>(focus))
        m_addressBox->setFocus(Qt::OtherFocusReason);
}

void MainWindow::startUp()
{
    applySkin(m_skinPath);
    m_versionPanel->setText(versionText());
    const QScreen *screen = QGuiApplication::primaryScreen();
    m_windowSettings->place(screen ? screen->availableGeometry().center() - rect().center() : pos(),
                            m_placeOffset);
    show();
    setFocus(Qt::OtherFocusReason);
    // The network set-up of the check stays off the path to the first frame.
    if (m_painted) {
        QTimer::singleShot(0, this, &MainWindow::checkForUpdate);
        return;
    }
    m_checkAfterPaint = true;
    // Capped, as a window that is never exposed (minimised, on no screen) never paints.
    QTimer::singleShot(FirstPaintWaitCap, this, &MainWindow::checkForUpdate);
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() != FirstFramePainted)
        return FramelessWindow::event(event);
    checkForUpdate();
    return true;
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    // Low priority: whatever the first frame itself queued runs before the check.
    if (!std::exchange(m_painted, true) && m_checkAfterPaint)
        QCoreApplication::postEvent(this, new QEvent(FirstFramePainted), Qt::LowEventPriority);
    FramelessWindow::paintEvent(event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // Only on the bare backdrop: the links act on a right click of their own.
    const QWidget *under = childAt(event->pos());
    if (under && under->objectName() != QLatin1String("contentPanel")) {
        event->ignore();
        return;
    }
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("backdropMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("设置"), this, &MainWindow::openSettings);
    if (canCheckAgain())
        menu->addAction(checkAgainText(), this, &MainWindow::checkAgain);
    menu->popup(event->globalPos());
}

void MainWindow::setAddressText(const QString &address)
{
    m_addressBox->setText(address);
}

bool MainWindow::canAnalyse() const
{
    return m_analyseButton->isEnabled();
}

void MainWindow::analyseAddress()
{
    endPlayList(); // the user wants this sound, not the list's next
    startAnalysis();
}

void MainWindow::startAnalysis()
{
    const QString address = m_addressBox->text();
    switch (checkSoundAddress(address, m_config.webHost)) {
    case AddressCheck::Empty:
        setStatusMessage(tr(EnterAddressText));
        if (std::exchange(m_listAnalysing, false))
            skipListSound();
        emit analysisEnded();
        return;
    case AddressCheck::NotSoundPage:
        setStatusMessage(tr(WrongAddressText));
        if (std::exchange(m_listAnalysing, false))
            skipListSound();
        emit analysisEnded();
        return;
    case AddressCheck::Accepted:
        break;
    }

    if (m_addressBox->hasFocus() || m_analyseButton->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_addressBox->setEnabled(false);
    m_analyseButton->setEnabled(false);
    setStatusMessage(tr(AnalysingText));

    // A newer analysis supersedes one still waiting: deleting it ends its
    // requests, and it never writes the record or the screen.
    delete m_analysis;
    auto *analysis = new SoundAnalysis(address, m_config.apiHost, m_fetchOptions, this);
    m_analysis = analysis;
    connect(analysis, &SoundAnalysis::finished, this,
            [this, analysis](const AnalysisResult &result) { onAnalysisFinished(analysis, result); });
    analysis->start();
}

void MainWindow::onAnalysisFinished(SoundAnalysis *analysis, const AnalysisResult &result)
{
    if (result) {
        m_soundPanel->showSound(*result);
        m_introduction->setText(result->infoText);
        // The cover belongs to its analysis: a newer one ends it too.
        // Only web addresses: an answer must not make us open local files.
        const QString coverUrl = result->coverUrl;
        auto *cover =
            new PictureLoad(isWebAddress(coverUrl) ? coverUrl : QString(), m_fetchOptions, analysis);
        m_cover = {};
        connect(cover, &PictureLoad::finished, this, [this, cover, coverUrl](const QImage &picture) {
            m_cover = {coverUrl, cover->bytes()};
            onCoverLoaded(picture);
        });
        cover->start();
        return;
    }
    switch (result.error().reason) {
    case AnalysisStatus::Done: // not a failure
        return;
    case AnalysisStatus::ExtractFailed: // the previous record stays
        endAnalysis(tr(NoSoundInfoText));
        return;
    case AnalysisStatus::FetchFailed:
        endAnalysis(tr(NetworkFailedText));
        return;
    case AnalysisStatus::Abandoned: // the program is ending
        return;
    }
}

void MainWindow::onCoverLoaded(const QImage &cover)
{
    m_soundPanel->showCover(cover);
    const QString fileUrl = soundInfo().fileUrl;
    m_player->setSource(isWebAddress(fileUrl) ? QUrl(fileUrl) : QUrl());
    emit soundShown(soundInfo(), cover);
    endAnalysis(tr(AnalysedText), true);
}

void MainWindow::endAnalysis(const QString &status, bool shown)
{
    if (m_analysis)
        m_analysis->deleteLater(); // from inside its own signal
    m_analysis = nullptr;
    setStatusMessage(status);
    m_analyseButton->setEnabled(true);
    m_addressBox->setEnabled(true);
    takeBackFocus();
    if (std::exchange(m_listAnalysing, false) && !shown)
        skipListSound();
    emit analysisEnded();
}

const SoundInfo &MainWindow::soundInfo() const
{
    return m_soundPanel->soundInfo();
}

QString MainWindow::statusMessage() const
{
    return m_messagePanel->text();
}

void MainWindow::setStatusMessage(const QString &text)
{
    m_messagePanel->setText(text);
}

void MainWindow::setDownloadFolder(const QString &folder)
{
    m_downloads->setFolder(folder);
}

QString MainWindow::downloadFolder() const
{
    return m_downloads->folder();
}

void MainWindow::setDownloadQueue(DownloadQueue *queue)
{
    m_downloads->setQueue(queue);
}

void MainWindow::openSettings()
{
    if (!m_settingsDialog) {
        m_settingsDialog = new SettingsDialog(*m_settings, soundInfo(), this);
        m_settingsDialog->move(geometry().center() - m_settingsDialog->rect().center());
    }
    m_settingsDialog->show();
    m_settingsDialog->raise();
    m_settingsDialog->activateWindow();
}

SettingsDialog *MainWindow::settingsDialog() const
{
    return m_settingsDialog;
}

void MainWindow::useSettings(ProgramSettings &settings)
{
    if (m_settings) {
        delete m_settingsDialog; // it edits the ones let go of
        disconnect(m_settings, nullptr, this, nullptr);
        if (m_settings->parent() == this)
            delete m_settings;
    }
    m_settings = &settings;
    connect(&settings, &ProgramSettings::changed, this, &MainWindow::applyDownloadSettings);
    connect(&settings, &ProgramSettings::saveFailed, this, &MainWindow::tellSettingsUnsaved);
    connect(&settings, &ProgramSettings::refused, this, &MainWindow::setStatusMessage);
    applyDownloadSettings(settings.current());
}

void MainWindow::applyDownloadSettings(const DownloadSettings &settings)
{
    m_downloads->setSettings(settings);
    m_clipboardOffer->setEnabled(settings.clipboardOffers);
}

// Never analysed by itself: copying is not asking. While the box is disabled
// (an analysis running, or the update check not through) the offer is let go;
// a double-click on the box pastes it later.
void MainWindow::takeOfferedAddress(const QString &address)
{
    if (!m_addressBox->isEnabled() || m_addressBox->text() == address)
        return;
    m_addressBox->setText(address);
    setStatusMessage(tr(OfferedText));
}

void MainWindow::tellSettingsUnsaved()
{
    if (!std::exchange(m_toldSettingsUnsaved, true))
        setStatusMessage(tr(SettingsUnsavedText));
}
