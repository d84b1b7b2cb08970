// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/player_bar.h"

#include "player/player_module.h"
#include "player/sound_stream.h"
#include "shell/player_bar_parts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace {

QString cannotPlayText()
{
    return PlayerBar::tr("无法播放此音乐");
}
QString noAudioDeviceText()
{
    return PlayerBar::tr("没有可用的音频设备");
}
constexpr int DefaultVolume = 80;

// The stream's buffer as the back end reads it.
class BufferReader final : public SoundReader
{
public:
    explicit BufferReader(std::shared_ptr<StreamBuffer> buffer)
        : m_buffer(std::move(buffer))
    {}

    qint64 read(qint64 offset, char *out, qint64 maxBytes) override
    {
        return m_buffer->read(offset, out, maxBytes);
    }
    void setInterrupted(bool interrupted) override { m_buffer->setInterrupted(interrupted); }
    qint64 size() const override { return m_buffer->size(); }
    QString failure() const override { return m_buffer->failure(); }

private:
    const std::shared_ptr<StreamBuffer> m_buffer;
};

static_assert(SoundReader::End == StreamBuffer::End && SoundReader::Failed == StreamBuffer::Failed &&
              SoundReader::Interrupted == StreamBuffer::Interrupted);

} // namespace

PlayerBar::PlayerBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("playerBar"));
    setAttribute(Qt::WA_StyledBackground);

    const int h = ControlsHeight;
    m_playButton = new QToolButton(this);
    m_playButton->setObjectName(QStringLiteral("playButton"));
    m_playButton->setAutoRaise(true);
    const QColor glyphColour = palette().color(QPalette::WindowText);
    m_playIcon = QIcon(glyphPixmap(Glyph::Play, glyphColour));
    m_pauseIcon = QIcon(glyphPixmap(Glyph::Pause, glyphColour));
    m_playButton->setIcon(m_playIcon);
    m_playButton->setToolTip(tr("播放/暂停"));
    m_playButton->setGeometry(2, 2, h - 4, h - 4);
    connect(m_playButton, &QToolButton::clicked, this, &PlayerBar::togglePlay);

    m_seek = new QSlider(Qt::Horizontal, this);
    m_seek->setObjectName(QStringLiteral("seekSlider"));
    m_seek->setGeometry(32, 4, 380, h - 8);
    m_seek->setRange(0, 0);
    auto *jumpStyle = new JumpToClickStyle;
    jumpStyle->setParent(m_seek);
    m_seek->setStyle(jumpStyle);
    connect(m_seek, &QSlider::sliderMoved, this, [this](int position) { seek(position); });
    // The press has already put the handle under the pointer.
    connect(m_seek, &QSlider::sliderPressed, this, [this] { seek(m_seek->sliderPosition()); });
    // Keys and clicks on the groove seek too, in steps a listener can hear.
    m_seek->setSingleStep(5000);
    m_seek->setPageStep(60000);
    connect(m_seek, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            seek(m_seek->sliderPosition());
    });

    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("timeLabel"));
    m_time->setGeometry(418, 0, 90, h);
    m_time->setText(playerTimeText(0) + QStringLiteral(" / ") + playerTimeText(0));

    m_volumeIcon = new QLabel(this);
    const QPixmap volumeGlyph = glyphPixmap(Glyph::Volume, glyphColour);
    const qreal ratio = volumeGlyph.devicePixelRatio();
    QPixmap volumePicture =
        volumeGlyph.scaled(QSize(16, 16) * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    volumePicture.setDevicePixelRatio(ratio); // 16 by 16 in window units at any ratio
    m_volumeIcon->setPixmap(volumePicture);
    m_volumeIcon->setGeometry(512, 6, 16, 16);

    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setObjectName(QStringLiteral("volumeSlider"));
    m_volume->setRange(0, 100);
    m_volume->setValue(DefaultVolume);
    m_volume->setToolTip(tr("音量"));
    m_volume->setGeometry(532, 4, 80, h - 8);
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        if (m_output)
            m_output->setVolume(float(value) / 100.0f);
        emit volumeChanged(value);
    });

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("playerMessage"));
    m_message->setGeometry(620, 0, 141, h);

    describe();
}

// Made with the first list: a window that never plays one never pays for them.
void PlayerBar::makeListControls()
{
    const QColor colour = palette().color(QPalette::WindowText);
    m_previousButton = new QToolButton(this);
    m_previousButton->setObjectName(QStringLiteral("previousButton"));
    m_previousButton->setIcon(QIcon(glyphPixmap(Glyph::Previous, colour)));
    m_previousButton->setToolTip(tr("上一首"));
    connect(m_previousButton, &QToolButton::clicked, this, &PlayerBar::previousRequested);
    m_nextButton = new QToolButton(this);
    m_nextButton->setObjectName(QStringLiteral("nextButton"));
    m_nextButton->setIcon(QIcon(glyphPixmap(Glyph::Next, colour)));
    m_nextButton->setToolTip(tr("下一首"));
    connect(m_nextButton, &QToolButton::clicked, this, &PlayerBar::nextRequested);
    for (QToolButton *button : {m_previousButton, m_nextButton}) {
        button->setAutoRaise(true);
        button->setAccessibleName(button->toolTip());
    }
    m_listLabel = new QLabel(this);
    m_listLabel->setObjectName(QStringLiteral("listPositionLabel"));
    m_listLabel->setAlignment(Qt::AlignCenter);
}

void PlayerBar::setListPosition(int index, int count)
{
    const bool list = count > 0 && index >= 0;
    if (!m_listLabel) {
        if (!list)
            return;
        makeListControls();
    }
    m_previousButton->setVisible(list);
    m_nextButton->setVisible(list);
    m_listLabel->setVisible(list);
    m_listLabel->setText(list ? tr("第 %1 首，共 %2 首").arg(index + 1).arg(count) : QString());
    placeControls();
}

bool PlayerBar::showsList() const
{
    return m_listLabel && !m_listLabel->isHidden();
}

// A list takes room from the seek slider for its buttons and position.
void PlayerBar::placeControls()
{
    const int h = ControlsHeight;
    const bool list = showsList();
    const int play = list ? 30 : 2;
    m_previousButton->setGeometry(2, 2, h - 4, h - 4);
    m_playButton->setGeometry(play, 2, h - 4, h - 4);
    m_nextButton->setGeometry(58, 2, h - 4, h - 4);
    const int seekLeft = list ? 88 : 32;
    const int seekRight = list ? 310 : 412;
    m_seek->setGeometry(seekLeft, 4, seekRight - seekLeft, h - 8);
    m_listLabel->setGeometry(312, 0, 104, h);
}

void PlayerBar::describe()
{
    // The icon-only controls are named by their tooltips.
    m_playButton->setAccessibleName(m_playButton->toolTip());
    m_playButton->setAccessibleDescription(tr("播放或暂停当前的音乐"));
    m_seek->setAccessibleName(tr("播放进度"));
    m_seek->setAccessibleDescription(tr("拖动或用方向键跳到音乐的其他位置"));
    m_time->setAccessibleDescription(tr("已播放时间 / 总时长"));
    m_volumeIcon->setAccessibleName(m_volume->toolTip());
    m_volume->setAccessibleName(m_volume->toolTip());
    m_volume->setAccessibleDescription(tr("调节播放的音量"));
    m_message->setAccessibleDescription(tr("播放器的提示"));
}

QList<QWidget *> PlayerBar::tabStops() const
{
    return {m_playButton, m_seek, m_volume};
}

bool PlayerBar::makeOutput()
{
    PlayerBackend *backend = playerBackend();
    if (!backend)
        return false;
    SoundOutput::Events events;
    events.position = [this](qint64 position) {
        showPosition(position);
        emit positionChanged(position);
    };
    events.duration = [this](qint64 duration) { showDuration(duration); };
    events.state = [this](SoundOutput::State state) {
        // Only the end stops an output by itself: stop() and a new sound drop it.
        const bool ending =
            state == SoundOutput::State::Stopped && m_shownState == SoundOutput::State::Playing;
        showState(state);
        if (ending)
            emit ended();
    };
    events.failed = [this] { giveUp(); };
    m_output = backend->createOutput(std::move(events), float(m_volume->value()) / 100.0f, this);
    // Without an output device the sound still runs (silently) to its end.
    if (!backend->hasAudioOutput())
        showMessage(noAudioDeviceText());
    return true;
}

void PlayerBar::setSource(const QUrl &url)
{
    m_source = url;
    showMessage(QString());
    showDuration(0);
    showPosition(0);
    dropOutput();
    if (url.isEmpty())
        return;
    if (!makeOutput()) {
        giveUp();
        return;
    }
    openStream();
}

void PlayerBar::dropOutput()
{
    // A new output for every sound: stopping one that is still waiting for
    // its first bytes would block here for a second, while deleting it ends
    // its reads at once. It goes before the stream it reads.
    delete m_output;
    m_output = nullptr;
    delete m_stream;
    m_stream = nullptr;
    showState(SoundOutput::State::Stopped);
}

void PlayerBar::openStream()
{
    m_stream = new SoundStream(m_source, this);
    connect(m_stream, &SoundStream::opened, this, &PlayerBar::streamOpened);
    m_stream->open();
}

void PlayerBar::streamOpened(const SoundStreamOpening &result)
{
    if (!result.ok || !m_output->setSource(std::make_shared<BufferReader>(m_stream->buffer()))) {
        giveUp();
        return;
    }
    m_output->play();
}

void PlayerBar::giveUp()
{
    showMessage(cannotPlayText());
    // Nothing plays, whatever state the output was left in. Both go once
    // the signal that brought us here is done; a click on play tries again.
    if (m_output) {
        m_output->deleteLater();
        m_output = nullptr;
    }
    if (m_stream) {
        m_stream->deleteLater();
        m_stream = nullptr;
    }
    showState(SoundOutput::State::Stopped);
    emit failed();
}

QString PlayerBar::message() const
{
    return m_message->text();
}

SoundOutput::State PlayerBar::playbackState() const
{
    return m_output ? m_output->state() : SoundOutput::State::Stopped;
}

int PlayerBar::volume() const
{
    return m_volume->value();
}

void PlayerBar::setVolume(int volume)
{
    m_volume->setValue(volume); // the slider keeps it in range
}

void PlayerBar::togglePlay()
{
    if (playbackState() == SoundOutput::State::Playing)
        pause();
    else
        play();
}

void PlayerBar::play()
{
    if (m_source.isEmpty())
        return;
    if (!m_stream || !m_output) {
        setSource(QUrl(m_source)); // stopped, or it could not play: start again
        return;
    }
    if (m_stream->isOpen())
        m_output->play(); // a stream still opening plays by itself once open
}

void PlayerBar::pause()
{
    if (m_output && m_output->state() == SoundOutput::State::Playing)
        m_output->pause();
}

void PlayerBar::stop()
{
    dropOutput();
    showPosition(0);
}

void PlayerBar::seek(qint64 milliseconds)
{
    if (!m_output)
        return;
    m_output->setPosition(milliseconds);
    emit seeked(milliseconds);
}

qint64 PlayerBar::position() const
{
    return m_output ? m_output->position() : 0;
}

void PlayerBar::showPosition(qint64 position)
{
    if (!m_seek->isSliderDown())
        m_seek->setValue(int(std::min<qint64>(position, INT_MAX)));
    m_time->setText(playerTimeText(position) + QStringLiteral(" / ") + playerTimeText(m_duration));
}

void PlayerBar::showDuration(qint64 duration)
{
    if (std::exchange(m_duration, duration) != duration)
        emit durationChanged(duration);
    m_seek->setRange(0, int(std::min<qint64>(duration, INT_MAX)));
    showPosition(m_output ? m_output->position() : 0);
}

void PlayerBar::showState(SoundOutput::State state)
{
    m_playButton->setIcon(state == SoundOutput::State::Playing ? m_pauseIcon : m_playIcon);
    if (std::exchange(m_shownState, state) != state)
        emit playbackStateChanged(state);
}

void PlayerBar::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->setToolTip(text);
}
