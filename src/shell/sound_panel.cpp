// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/sound_panel.h"

#include "net/web_address.h"
#include "shell/clipboard_offer.h"
#include "shell/plain_tool_tip.h"
#include "shell/stored_picture.h"
#include "shell/window_chrome.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace {

QString getMusicFirstText()
{
    return SoundPanel::tr("请先获取音乐..");
}
QString copiedText()
{
    return SoundPanel::tr("音乐地址复制成功..");
}

// What a line shows before the first sound.
const QString Null = QStringLiteral("NULL");

constexpr int LinesLeft = 200;
constexpr int UnderlineWidth = 153;

QLabel *infoLine(QWidget *parent, const char *name, const QString &caption, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // the values come from the service
    label->move(LinesLeft, y);
    label->adjustSize();
    return label;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int x)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, 144, 73, 41);
    b->setAutoDefault(true); // Enter presses it once Tab has reached it
    return b;
}

// "Copy the address (Ctrl+Shift+C)", in the platform's spelling of the keys.
QString withKeys(const QString &text, const QKeySequence &keys)
{
    return QStringLiteral("%1 (%2)").arg(text, keys.toString(QKeySequence::NativeText));
}

void putOnClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        putOwnTextOnClipboard(text);
    }
}

} // namespace

// A line of free text (a name) that shows as much as its underline holds,
// then "…"; the tooltip and the accessible description keep it whole.
class ElidedLine final : public QLabel
{
public:
    ElidedLine(QWidget *parent, const char *name, const QString &text, int y)
        : QLabel(parent)
    {
        setObjectName(QLatin1String(name));
        setTextFormat(Qt::PlainText); // a name "<h1>x</h1>" shows as written
        QLabel::setText(text);        // for its height
        setGeometry(LinesLeft, y, UnderlineWidth, sizeHint().height());
        setFullText(text);
    }

    void setFullText(const QString &text)
    {
        m_fullText = text;
        elide();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }
    void changeEvent(QEvent *event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(m_fullText, Qt::ElideRight, contentsRect().width())); }

    QString m_fullText;
};

SoundPanel::SoundPanel(QWidget *parent)
    : QWidget(parent)
    , m_defaultCover(storedPicture(QStringLiteral("default_cover")))
{
    setObjectName(QStringLiteral("soundPanel"));

    m_cover = new QLabel(this);
    m_cover->setObjectName(QStringLiteral("coverPicture"));
    m_cover->setPixmap(m_defaultCover);
    m_cover->setScaledContents(true);
    m_cover->setGeometry(0, 0, 185, 185);

    m_nameLine = new ElidedLine(this, "nameLine", tr("音乐：%1").arg(Null), 0);
    m_singerLine = new ElidedLine(this, "singerLine", tr("歌手：%1").arg(Null), 24);
    m_playsLine = infoLine(this, "playsLine", tr("播放：%1").arg(Null), 48);
    m_fansLine = infoLine(this, "fansLine", tr("粉丝：%1").arg(Null), 72);
    m_sharesLine = infoLine(this, "sharesLine", tr("分享：%1").arg(Null), 96);
    m_timeLine = infoLine(this, "timeLine", tr("时间：%1").arg(Null), 120);
    for (int i = 0; i < 5; ++i) {
        auto *separator = new QWidget(this);
        separator->setObjectName(QStringLiteral("infoSeparator"));
        separator->setGeometry(LinesLeft, 16 + 24 * i, UnderlineWidth, 1);
        separator->setAttribute(Qt::WA_StyledBackground);
        separator->setStyleSheet(QStringLiteral("background-color: #404040;"));
    }

    // Never disabled: during an analysis they act on the previous record.
    QPushButton *copyButton = button(this, "copyButton", tr("复制地址"), LinesLeft);
    QPushButton *downloadButton = button(this, "downloadButton", tr("下载音乐"), LinesLeft + 80);
    connect(copyButton, &QPushButton::clicked, this, &SoundPanel::copyFileAddress);
    connect(downloadButton, &QPushButton::clicked, this, &SoundPanel::requestDownload);
    copyButton->setShortcut(CopyKeys);
    copyButton->setToolTip(withKeys(tr("复制音乐地址"), CopyKeys));
    copyButton->setAccessibleDescription(tr("把音乐文件的地址复制到剪贴板"));
    downloadButton->setShortcut(DownloadKeys);
    downloadButton->setToolTip(withKeys(tr("下载音乐文件"), DownloadKeys));
    downloadButton->setAccessibleDescription(tr("把音乐文件保存到下载文件夹"));

    m_tabStops = {copyButton, downloadButton};
    // Up to the introduction beside it, and no further: nothing of the
    // window may lie under a block that is not its own.
    resize(376, 185);
    describe();
}

void SoundPanel::describe()
{
    m_cover->setAccessibleName(tr("封面"));
    m_cover->setAccessibleDescription(tr("音乐的封面图片"));
    // A line's name is its text, caption and value; the description says what it is.
    m_nameLine->setAccessibleDescription(tr("音乐名称"));
    m_singerLine->setAccessibleDescription(tr("歌手"));
    m_playsLine->setAccessibleDescription(tr("播放次数"));
    m_fansLine->setAccessibleDescription(tr("粉丝人数"));
    m_sharesLine->setAccessibleDescription(tr("分享次数"));
    m_timeLine->setAccessibleDescription(tr("发布时间"));
}

void SoundPanel::showSound(const SoundInfo &info)
{
    m_record = info;
    putOnClipboard(info.coverUrl);

    m_nameLine->setFullText(tr("音乐：%1").arg(info.shortName));
    m_nameLine->setToolTip(plainToolTip(info.soundName));
    m_singerLine->setFullText(tr("歌手：%1").arg(info.shortSinger));
    m_singerLine->setToolTip(plainToolTip(info.singer));
    m_playsLine->setText(tr("播放：%1 次").arg(info.playCount));
    m_sharesLine->setText(tr("分享：%1 次").arg(info.shareCount));
    m_fansLine->setText(tr("粉丝：%1 人").arg(info.fanCount));
    m_timeLine->setText(tr("时间：%1").arg(info.publishTime));
    for (QLabel *line : {m_playsLine, m_sharesLine, m_fansLine, m_timeLine})
        line->adjustSize();

    // The lines show shortened texts; a screen reader gets them whole.
    m_nameLine->setAccessibleDescription(tr("音乐全名：%1").arg(info.soundName));
    m_singerLine->setAccessibleDescription(tr("歌手全名：%1").arg(info.singer));
}

void SoundPanel::showCover(const QImage &cover)
{
    m_cover->setPixmap(cover.isNull() ? m_defaultCover : QPixmap::fromImage(cover));
}

bool SoundPanel::hasFile()
{
    // An address we would not fetch counts as none.
    if (isWebAddress(m_record.fileUrl))
        return true;
    emit message(getMusicFirstText());
    return false;
}

void SoundPanel::copyFileAddress()
{
    if (!hasFile())
        return;
    putOnClipboard(m_record.fileUrl);
    emit message(copiedText());
}

void SoundPanel::requestDownload()
{
    if (hasFile())
        emit downloadRequested(m_record);
}
