// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window playing the hot list, one sound after another.

#include "shell/address_box.h"
#include "shell/main_window.h"
#include "shell/player_bar.h"

#include <QPushButton>

void MainWindow::playList(const QList<HotEntry> &rows, int start)
{
    m_playList = PlayList(rows, start);
    playListSound();
}

void MainWindow::endPlayList()
{
    dropPreparedSound();
    const bool wasPlaying = m_playList.isPlaying();
    m_playList.stop();
    m_listAnalysing = false;
    m_player->setListPosition(-1, 0);
    if (wasPlaying)
        emit playListChanged();
}

void MainWindow::playNext()
{
    if (!m_playList.isPlaying() || !m_playList.nextIndex())
        return;
    m_playList.next();
    playListSound();
}

void MainWindow::playPrevious()
{
    if (!m_playList.isPlaying() || !m_playList.previousIndex())
        return;
    m_playList.previous();
    playListSound();
}

// Analysed as a double-click in the hot list would: name, cover and
// information shown, then played.
void MainWindow::playListSound()
{
    if (!m_playList.isPlaying()) {
        endPlayList();
        return;
    }
    m_player->setListPosition(m_playList.current(), m_playList.count());
    emit playListChanged();
    setAddressText(m_playList.currentEntry().link);
    m_listAnalysing = true;
    if (m_preparedIndex != m_playList.current() || !m_preparedResult) {
        dropPreparedSound();
        startAnalysis();
        return;
    }
    // Analysed already while the last sound ended: only the cover is left.
    m_addressBox->setEnabled(false);
    m_analyseButton->setEnabled(false);
    delete m_analysis;
    m_analysis = m_prepared;
    const AnalysisResult result = *std::exchange(m_preparedResult, std::nullopt);
    m_preparedIndex = -1;
    m_prepared = nullptr;
    onAnalysisFinished(m_analysis, result);
}

// The next sound is analysed during the last seconds of this one, so that
// the silence between them is short.
void MainWindow::prepareNextSound(qint64 position)
{
    constexpr qint64 Ahead = 10000;
    const auto next = m_playList.nextIndex();
    if (!m_playList.isPlaying() || !next || m_preparedIndex == *next || m_player->duration() <= 0 ||
        m_player->duration() - position > Ahead)
        return;
    dropPreparedSound();
    m_preparedIndex = *next;
    auto *analysis = new SoundAnalysis(m_playList.entry(*next).link, m_config.apiHost, m_fetchOptions, this);
    m_prepared = analysis;
    connect(analysis, &SoundAnalysis::finished, this, [this, analysis](const AnalysisResult &result) {
        if (analysis == m_prepared)
            m_preparedResult = result;
    });
    analysis->start();
}

void MainWindow::dropPreparedSound()
{
    delete m_prepared;
    m_prepared = nullptr;
    m_preparedIndex = -1;
    m_preparedResult.reset();
}

void MainWindow::skipListSound()
{
    if (!m_playList.isPlaying())
        return;
    const int shown = m_playList.current() + 1;
    m_playList.skipFailed();
    playListSound();
    // After the next analysis has begun, whose status would hide this one.
    setStatusMessage(tr("无法播放第 %1 首，已跳过").arg(shown));
}

void MainWindow::onListSoundEnded()
{
    if (!m_playList.isPlaying())
        return;
    m_playList.next();
    playListSound();
}
