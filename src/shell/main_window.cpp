#include "shell/main_window.h"

#include "services/picture_from_path.h"
#include "services/sound_download.h"
#include "services/version_text.h"
#include "services/web_address.h"
#include "shell/address_box.h"
#include "shell/message_boxes.h"
#include "shell/player_bar.h"
#include "shell/skin.h"
#include "shell/update_check.h"
#include "shell/window_chrome.h"
#include "sound/sound_analysis.h"
#include "sound/sound_link.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace {

const QString CheckingText = QStringLiteral("正在检测是否存在最新版本..");
const QString WelcomeText = QStringLiteral("欢迎使用Quorlen软件");
const QString CheckFailedText = QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版");
const QString AddressHint = QStringLiteral("双击粘贴音乐地址");
const QString EnterAddressText = QStringLiteral("请输入音乐地址..");
const QString WrongAddressText = QStringLiteral("地址有误，请检查..");
const QString AnalysingText = QStringLiteral("正在分析音乐信息..");
const QString AnalysedText = QStringLiteral("音乐分析完毕..");
const QString NetworkFailedText = QStringLiteral("网络连接失败，请稍后再试..");
const QString NoSoundInfoText = QStringLiteral("未能获取音乐信息，请检查地址..");
const QString GetMusicFirstText = QStringLiteral("请先获取音乐..");
const QString CopiedText = QStringLiteral("音乐地址复制成功..");
const QString DownloadingText = QStringLiteral("正在下载音乐..");
const QString RetryingText = QStringLiteral("连接中断，正在重试（第%1次，共%2次）..");
const QString DownloadedText = QStringLiteral("音乐下载完成: ");
const QString DownloadFailedText = QStringLiteral("音乐下载失败: ");

constexpr std::chrono::milliseconds FirstPaintWaitCap{500};
const QEvent::Type FirstFramePainted = QEvent::Type(QEvent::User + 1);

// Title links from left to right on the header: 0, 3, 1, 2.
constexpr int HotListLink = 0;
constexpr int MinimiseLink = 1;
constexpr int CloseLink = 2;
constexpr int HomePageLink = 3;
// The order in which a hover resets them.
constexpr std::array<int, 4> ResetOrder = {2, 1, 3, 0};

QFont monospaceFont(qreal pointSize)
{
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(pointSize);
    return font;
}

QLabel *infoLine(QWidget *parent, const char *name, const QString &caption, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->move(216, y);
    label->adjustSize();
    return label;
}

// Image2: a tiny picture stretched over the body. Stretched anew on each
// paint; QLabel's scaled contents would keep a window-sized copy (~1 MiB).
class StretchedPicture final : public QLabel
{
public:
    StretchedPicture(const QPixmap &picture, QWidget *parent)
        : QLabel(parent)
        , m_picture(picture)
    {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(contentsRect(), m_picture);
    }

private:
    QPixmap m_picture;
};

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

} // namespace

MainWindow::MainWindow(const ServiceConfig &config, const FetchOptions &fetchOptions, QWidget *parent)
    : QWidget(parent)
    , m_config(config)
    , m_fetchOptions(fetchOptions)
    , m_skinPath(skinPath())
    , m_background(QStringLiteral(":/pictures/background.png"))
    , m_downloadFolder(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vexa辅助"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    setFixedSize(ClientWidth, ClientHeight);
    // Hover resets come from moves over the bare backdrop.
    setMouseTracking(true);
    buildControls();
}

// Waits still pending further up the stack are ended by their tokens, which
// are children of the window and go with it; running downloads likewise
// abort and remove their part files.
MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    // Created first so it lies under every other control of the body.
    m_panel = new StretchedPicture(QPixmap(QStringLiteral(":/pictures/panel.png")), this);
    m_panel->setObjectName(QStringLiteral("Image2"));
    m_panel->setGeometry(0, 104, 841, 369);

    m_logo = new DragHandle(this);
    m_logo->setObjectName(QStringLiteral("aicAlphaImage1"));
    m_logo->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.png")));
    m_logo->setGeometry(16, 24, 210, 60);
    connect(m_logo, &DragHandle::dragRequested, this, &MainWindow::startDrag);

    struct LinkDesign
    {
        int index;
        QString caption;
        QRect geometry;
        QFont font;
        QString toolTip;
    };
    const LinkDesign links[] = {
        {HotListLink, QStringLiteral("Vexa热门推荐"), {568, 16, 72, 12}, uiFont(9), {}},
        {HomePageLink, QStringLiteral("官方网站"), {664, 16, 48, 12}, uiFont(9), {}},
        {MinimiseLink, QStringLiteral("_"), {736, 8, 17, 33}, monospaceFont(10.5), QStringLiteral("最小化")},
        {CloseLink, QStringLiteral("x"), {768, 12, 19, 27}, monospaceFont(12), QStringLiteral("关闭")},
    };
    for (const LinkDesign &design : links) {
        auto *link = new TitleLink(design.index, design.caption, this);
        link->setObjectName(QStringLiteral("Label2_%1").arg(design.index));
        link->setProperty("index", design.index);
        link->setGeometry(design.geometry);
        link->setFont(design.font);
        link->setToolTip(design.toolTip);
        connect(link, &TitleLink::hovered, this, &MainWindow::onTitleLinkHovered);
        connect(link, &TitleLink::released, this, &MainWindow::onTitleLinkReleased);
        m_titleLinks[size_t(design.index)] = link;
    }

    m_addressBox = new AddressBox(AddressHint, this);
    m_addressBox->setObjectName(QStringLiteral("Text1"));
    m_addressBox->setGeometry(16, 136, 273, 18);
    m_addressBox->setEnabled(false);

    m_analyseButton = button(this, "Command1", QStringLiteral("分析"), {296, 136, 73, 17});
    m_analyseButton->setEnabled(false);
    connect(m_analyseButton, &QPushButton::clicked, this, &MainWindow::AnalyseAction);

    const QPixmap defaultCover(QStringLiteral(":/pictures/default_cover.png"));
    m_cover = new QLabel(this);
    m_cover->setObjectName(QStringLiteral("Image1"));
    m_cover->setPixmap(defaultCover);
    m_cover->setScaledContents(true);
    m_cover->setGeometry(16, 176, 185, 185);

    m_defaultCover = new QLabel(this);
    m_defaultCover->setObjectName(QStringLiteral("Image4"));
    m_defaultCover->setPixmap(defaultCover);
    m_defaultCover->setGeometry(56, 208, 129, 129);
    m_defaultCover->hide();

    m_nameLine = infoLine(this, "Label3", QStringLiteral("音乐：NULL"), 176);
    m_singerLine = infoLine(this, "Label6", QStringLiteral("歌手：NULL"), 200);
    m_playsLine = infoLine(this, "Label7", QStringLiteral("播放：NULL"), 224);
    m_fansLine = infoLine(this, "Label10", QStringLiteral("粉丝：NULL"), 248);
    m_sharesLine = infoLine(this, "Label8", QStringLiteral("分享：NULL"), 272);
    m_timeLine = infoLine(this, "Label9", QStringLiteral("时间：NULL"), 296);

    for (int i = 0; i < 5; ++i) {
        auto *line = new QWidget(this);
        line->setObjectName(QStringLiteral("Line1_%1").arg(i));
        line->setProperty("index", i);
        line->setGeometry(216, 192 + 24 * i, 153, 1);
        line->setAttribute(Qt::WA_StyledBackground);
        line->setStyleSheet(QStringLiteral("background-color: #404040;"));
    }

    // Never disabled: during an analysis they act on the previous record.
    m_copyButton = button(this, "Command3", QStringLiteral("复制地址"), {216, 320, 73, 41});
    m_downloadButton = button(this, "Command4", QStringLiteral("下载音乐"), {296, 320, 73, 41});
    connect(m_copyButton, &QPushButton::clicked, this, &MainWindow::copyAction);
    connect(m_downloadButton, &QPushButton::clicked, this, &MainWindow::downloadAction);

    auto *introHeading = new QLabel(QStringLiteral("音乐简介"), this);
    introHeading->setObjectName(QStringLiteral("Label11"));
    introHeading->setGeometry(392, 128, 56, 20);

    m_introduction = new QPlainTextEdit(this);
    m_introduction->setObjectName(QStringLiteral("Text2"));
    m_introduction->setGeometry(392, 152, 385, 217);
    m_introduction->setFont(uiFont(10.5));
    m_introduction->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_introduction->setReadOnly(true);

    // The status bar below covers the strip's lower part.
    m_player = new PlayerBar(this);
    m_player->setGeometry(16, 384, 761, 41);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("S1"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setGeometry(0, ClientHeight - 33, ClientWidth, 33);
    const QString designTexts[] = {QStringLiteral("使用提示："), CheckingText, QStringLiteral("版本"),
                                   QStringLiteral("Quorlen出品")};
    const int widths[] = {96, 487, 96, 96};
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(designTexts[i], m_statusBar);
        panel->setObjectName(QStringLiteral("S1_%1").arg(i + 1));
        panel->setFixedWidth(widths[i]);
        m_statusBar->addWidget(panel);
        m_statusPanels[size_t(i)] = panel;
    }

    // At the right end of the message panel, shown while downloads run.
    QLabel *messagePanel = m_statusPanels[1];
    m_downloadProgress = new QProgressBar(messagePanel);
    m_downloadProgress->setObjectName(QStringLiteral("DownloadProgress"));
    m_downloadProgress->setTextVisible(true);
    m_downloadProgress->setFixedSize(150, 14);
    m_downloadProgress->move(messagePanel->width() - 154, (20 - 14) / 2);
    m_downloadProgress->hide();
}

void MainWindow::startUp()
{
    setBorderlessStyle(this);
    applySkin(m_skinPath);
    setStatusText(3, versionText());
    绘制边框();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
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
        return QWidget::event(event);
    checkForUpdate();
    return true;
}

void MainWindow::checkForUpdate()
{
    if (m_updateCheck)
        return;
    m_checkAfterPaint = false;
    m_updateCheck = new UpdateCheck(m_config.versionFileUrl(), m_fetchOptions, this);
    // Closing the window deletes the check with it: nothing answers then.
    connect(m_updateCheck, &UpdateCheck::finished, this, &MainWindow::onUpdateChecked);
    m_updateCheck->start();
}

void MainWindow::onUpdateChecked(const UpdateCheckResult &result)
{
    const UpdateOutcome outcome = result.outcome;
    switch (outcome) {
    case UpdateOutcome::CheckFailed:
        showMessage(this, MessageKind::Warning, CheckFailedText,
                    [this, outcome] { emit updateChecked(outcome); });
        return;
    case UpdateOutcome::UpToDate:
        m_addressBox->setEnabled(true);
        m_analyseButton->setEnabled(true);
        setStatusText(2, WelcomeText);
        emit updateChecked(outcome);
        return;
    case UpdateOutcome::OtherVersion:
        showMessage(this, MessageKind::Information, otherVersionMessage(result.tag), [this, outcome] {
            // The system's browser handler, never a shell command line.
            QDesktopServices::openUrl(QUrl(m_config.forumUrl));
            endProgramNow();
            emit updateChecked(outcome);
        });
        return;
    }
}

void MainWindow::绘制边框()
{
    const QSize client(ClientWidth, ClientHeight);
    const PanelSpan span = insetPanelSpan(client);
    m_panel->setGeometry(span.left, m_panel->y(), span.width, m_panel->height());
    m_statusBar->setGeometry(span.left, m_statusBar->y(), span.width, m_statusBar->height());
    m_borderLines = mainWindowBorderLines(client);
    update();
}

void MainWindow::hqyy()
{
    AnalyseAction();
}

void MainWindow::setAddressText(const QString &address)
{
    m_addressBox->setText(address);
}

void MainWindow::AnalyseAction()
{
    const QString address = m_addressBox->text();
    switch (checkSoundAddress(address, m_config.webHost)) {
    case AddressCheck::Empty:
        setStatusText(2, EnterAddressText);
        emit analysisEnded();
        return;
    case AddressCheck::NotSoundPage:
        setStatusText(2, WrongAddressText);
        emit analysisEnded();
        return;
    case AddressCheck::Accepted:
        break;
    }

    m_addressBox->setEnabled(false);
    m_analyseButton->setEnabled(false);
    setStatusText(2, AnalysingText);

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
    switch (result.status) {
    case AnalysisStatus::Done: {
        m_record = result.record;
        showSoundInfo();
        // The cover belongs to its analysis: a newer one ends it too.
        // Only web addresses: an answer must not make us open local files.
        auto *cover = new PictureLoad(isWebAddress(m_record.coverUrl) ? m_record.coverUrl : QString(),
                                      m_fetchOptions, analysis);
        connect(cover, &PictureLoad::finished, this, &MainWindow::showCover);
        cover->start();
        return;
    }
    case AnalysisStatus::ExtractFailed: // the previous record stays
        endAnalysis(NoSoundInfoText);
        return;
    case AnalysisStatus::FetchFailed:
        endAnalysis(NetworkFailedText);
        return;
    case AnalysisStatus::Abandoned: // the program is ending
        return;
    }
}

void MainWindow::showSoundInfo()
{
    const SoundInfo &info = m_record;
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(info.coverUrl);
    }

    m_nameLine->setText(QStringLiteral("音乐：") + info.shortName);
    m_nameLine->setToolTip(info.soundName);
    m_singerLine->setText(QStringLiteral("歌手：") + info.shortSinger);
    m_singerLine->setToolTip(info.singer);
    m_playsLine->setText(QStringLiteral("播放：") + info.playCount + QStringLiteral(" 次"));
    m_sharesLine->setText(QStringLiteral("分享：") + info.shareCount + QStringLiteral(" 次"));
    m_fansLine->setText(QStringLiteral("粉丝：") + info.fanCount + QStringLiteral(" 人"));
    m_timeLine->setText(QStringLiteral("时间：") + info.publishTime);
    for (QLabel *line : {m_nameLine, m_singerLine, m_playsLine, m_sharesLine, m_fansLine, m_timeLine})
        line->adjustSize();

    m_introduction->setPlainText(info.infoText);
}

void MainWindow::showCover(const QImage &cover)
{
    if (cover.isNull())
        m_cover->setPixmap(m_defaultCover->pixmap());
    else
        m_cover->setPixmap(QPixmap::fromImage(cover));
    m_player->setSource(isWebAddress(m_record.fileUrl) ? QUrl(m_record.fileUrl) : QUrl());
    endAnalysis(AnalysedText);
}

void MainWindow::endAnalysis(const QString &status)
{
    if (m_analysis)
        m_analysis->deleteLater(); // from inside its own signal
    m_analysis = nullptr;
    setStatusText(2, status);
    m_analyseButton->setEnabled(true);
    m_addressBox->setEnabled(true);
    emit analysisEnded();
}

void MainWindow::copyAction()
{
    const QString fileUrl = m_record.fileUrl;
    // An address we would not fetch counts as none.
    if (!isWebAddress(fileUrl)) {
        setStatusText(2, GetMusicFirstText);
        return;
    }
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(fileUrl);
    }
    setStatusText(2, CopiedText);
}

void MainWindow::downloadAction()
{
    const QString fileUrl = m_record.fileUrl;
    if (!isWebAddress(fileUrl)) {
        setStatusText(2, GetMusicFirstText);
        return;
    }
    DownloadRequest request;
    request.fileUrl = fileUrl;
    request.folder = m_downloadFolder.isEmpty() ? QDir::homePath() : m_downloadFolder;
    request.fileName = soundFileName(m_record.singer, m_record.soundName, fileUrl);
    request.stallTimeout = m_fetchOptions.stallTimeout;
    auto *download = new SoundDownload(request, this);
    connect(download, &SoundDownload::progress, this, &MainWindow::showDownloadProgress);
    connect(download, &SoundDownload::retrying, this,
            [this](int attempt, int attempts) { setStatusText(2, RetryingText.arg(attempt).arg(attempts)); });
    connect(download, &SoundDownload::finished, this, [this, download] { onDownloadFinished(download); });
    m_downloads.append(download);
    setStatusText(2, DownloadingText);
    download->start();
    showDownloadProgress();
}

void MainWindow::onDownloadFinished(SoundDownload *download)
{
    m_downloads.removeOne(download);
    const DownloadResult result = download->result();
    download->deleteLater();
    setStatusText(2, result.ok() ? DownloadedText + result.fileName()
                                 : DownloadFailedText + downloadFailureText(result));
    showDownloadProgress();
    emit downloadEnded(result.ok());
}

void MainWindow::showDownloadProgress()
{
    if (m_downloads.isEmpty()) {
        m_downloadProgress->hide();
        return;
    }
    qint64 received = 0;
    qint64 total = 0;
    bool known = true;
    for (const SoundDownload *download : std::as_const(m_downloads)) {
        received += download->received();
        total += download->total();
        known = known && download->total() > 0;
    }
    // Kilobytes keep large files inside the bar's int range.
    if (known) {
        m_downloadProgress->setRange(0, int(total / 1024));
        m_downloadProgress->setValue(int(received / 1024));
    } else {
        m_downloadProgress->setRange(0, 0); // busy: no length announced
    }
    m_downloadProgress->show();
}

QString MainWindow::statusText(int panel) const
{
    return panel >= 1 && panel <= 4 ? m_statusPanels[size_t(panel - 1)]->text() : QString();
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 4)
        m_statusPanels[size_t(panel - 1)]->setText(text);
}

void MainWindow::paintEvent(QPaintEvent *)
{
    // Low priority: whatever the first frame itself queued runs before the check.
    if (!std::exchange(m_painted, true) && m_checkAfterPaint)
        QCoreApplication::postEvent(this, new QEvent(FirstFramePainted), Qt::LowEventPriority);
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    paintBorderLines(painter, m_borderLines);
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses that other controls let through (labels, disabled boxes) are
    // not presses on the backdrop.
    if (childAt(event->position().toPoint()) == nullptr)
        startDrag();
    event->accept();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (childAt(event->position().toPoint()) == nullptr)
        resetTitleLinks();
    event->accept();
}

void MainWindow::startDrag()
{
    emit dragRequested();
    dragWindow(this);
}

void MainWindow::onTitleLinkHovered(int index)
{
    resetTitleLinks();
    m_titleLinks[size_t(index)]->setTextColor(TitleLinkHighlight);
}

void MainWindow::resetTitleLinks()
{
    for (int i : ResetOrder)
        m_titleLinks[size_t(i)]->setTextColor(TitleLinkNormal);
}

void MainWindow::onTitleLinkReleased(int index)
{
    switch (index) {
    case HotListLink:
        emit hotListRequested();
        break;
    case MinimiseLink:
        setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case CloseLink:
        endProgramNow();
        break;
    case HomePageLink:
        QDesktopServices::openUrl(QUrl(m_config.homePageUrl));
        break;
    default:
        break;
    }
}
