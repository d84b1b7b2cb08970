// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"
#include "net/service_config.h"
#include "net/update_check.h"
#include "shell/frameless_window.h"
#include "shell/play_list.h"
#include "sound/sound_analysis.h"
#include "sound/sound_info.h"

#include <QPointer>

class AddressBox;
class ClipboardOffer;
class DownloadQueue;
class DownloadStatus;
class IntroductionBox;
class PlayerBar;
class ProgramSettings;
class QLabel;
class QPushButton;
class SettingsDialog;
class SoundPanel;
class WindowSettingsKeeper;
struct DownloadSettings;

// The main window: the address box, the analyse button, the sound's record,
// the player strip and the status bar, on a caption-less backdrop.
// Creating it builds the controls; startUp() shows it.
class MainWindow : public FramelessWindow
{
    Q_OBJECT

public:
    explicit MainWindow(const ServiceConfig &config, const FetchOptions &fetchOptions = {},
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    // Skin, version text in the status bar, the last run's place (or the
    // centre), show, then, once the
    // first frame is painted, the update check, which ends in updateChecked().
    void startUp();
    // Moves where startUp() puts the window: a second window of the program
    // would otherwise lie exactly over the first.
    void setPlaceOffset(const QPoint &offset) { m_placeOffset = offset; }

    // Update check: enables the analysis when the maker's version file names
    // this version; warns when it cannot be read; announces another version,
    // opens the forum and ends the program otherwise.
    void checkForUpdate();
    // After a check that failed, runs it again (the version panel's link and
    // the backdrop menu offer it); nothing otherwise.
    void checkAgain();
    bool canCheckAgain() const;

    // Starts the analysis of whatever the address box holds, whether or not
    // the box and button are enabled; analysisEnded() follows.
    void analyseAddress();
    // Whether a click on the analyse button would analyse now: the update
    // check has let the analysis in and none is running.
    bool canAnalyse() const;
    // Analyses and plays rows one after another from rows[start]; a sound
    // that cannot be analysed or played is skipped. An analysis by hand, or
    // endPlayList(), ends the list.
    void playList(const QList<HotEntry> &rows, int start);
    void endPlayList();
    void playNext();
    void playPrevious();
    const PlayList &playListState() const { return m_playList; }

    // Puts an address into the address box, as a sound chosen in the hot list does.
    void setAddressText(const QString &address);

    // The status bar's message panel, which tells how the last action went.
    QString statusMessage() const;
    void setStatusMessage(const QString &text);

    // The record on screen; empty before the first analysis that found one.
    const SoundInfo &soundInfo() const;

    // Where startUp() looks for the skin; "1.she" beside the executable by default.
    void setSkinPath(const QString &path) { m_skinPath = path; }

    // Where the download button saves; the folder setting by default.
    void setDownloadFolder(const QString &folder);
    QString downloadFolder() const;
    // The queue the download button goes through (the program's); it must
    // outlive the window or be unset first. Without one the button does nothing.
    void setDownloadQueue(DownloadQueue *queue);

    // The settings the download button, the clipboard offers and the
    // settings dialog follow: the window's own until the program hands it
    // its one, which must outlive the window; the own one goes then, and so
    // does an open settings dialog.
    void useSettings(ProgramSettings &settings);
    ProgramSettings &settings() const { return *m_settings; }

    // Opens the settings dialog, or brings it to the front. Its settings
    // take effect on confirming and are stored; settings that cannot be
    // stored are told once a run in the status line.
    void openSettings();
    SettingsDialog *settingsDialog() const;

    // The player strip, for controls outside the window (media keys).
    PlayerBar *player() const { return m_player; }

signals:
    // The hot-list link was clicked.
    void hotListRequested();
    // The downloads link was clicked.
    void downloadsRequested();
    // A sound and its cover are on screen and given to the player; cover
    // is null when it could not be loaded.
    void soundShown(const SoundInfo &sound, const QImage &cover);
    // An analysis ran to its end and put its outcome in the status line.
    void analysisEnded();
    // A list began or ended, or moved to another row.
    void playListChanged();
    // The update check ended and did what its outcome asks.
    void updateChecked(UpdateOutcome outcome);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    static constexpr int Width = 791;
    static constexpr int Height = 446;

    void takeBackFocus();
    void buildHeader();
    void buildStatusBar();
    static QString checkingText();
    static QString checkAgainText();
    void startUpdateCheck();
    void showCheckAgain(bool shown);
    void onUpdateChecked(const UpdateCheckResult &result);
    void onAnalysisFinished(SoundAnalysis *analysis, const AnalysisResult &result);
    void onCoverLoaded(const QImage &cover);
    void endAnalysis(const QString &status, bool shown = false);
    void startAnalysis();
    void playListSound();
    void skipListSound();
    void onListSoundEnded();
    void prepareNextSound(qint64 position);
    void dropPreparedSound();
    void applyDownloadSettings(const DownloadSettings &settings);
    void tellSettingsUnsaved();
    void takeOfferedAddress(const QString &address);

    ServiceConfig m_config;
    FetchOptions m_fetchOptions;
    QString m_skinPath;
    QPoint m_placeOffset;

    bool m_painted = false; // a frame is on screen; the check need not wait for one
    bool m_checkAfterPaint = false;
    UpdateCheck *m_updateCheck = nullptr;
    bool m_checkFailed = false; // the last check ended without a readable file

    AddressBox *m_addressBox = nullptr;
    QPushButton *m_analyseButton = nullptr;
    SoundPanel *m_soundPanel = nullptr;
    std::pair<QString, QByteArray> m_cover; // the shown cover's address and bytes
    IntroductionBox *m_introduction = nullptr;
    PlayerBar *m_player = nullptr;
    QLabel *m_versionPanel = nullptr;
    QLabel *m_messagePanel = nullptr;
    DownloadStatus *m_downloads = nullptr;
    ClipboardOffer *m_clipboardOffer = nullptr;
    WindowSettingsKeeper *m_windowSettings = nullptr;
    ProgramSettings *m_settings = nullptr;
    QPointer<SettingsDialog> m_settingsDialog;
    bool m_toldSettingsUnsaved = false;

    PlayList m_playList;
    bool m_listAnalysing = false; // the running analysis is the list's
    // The next row's analysis, begun while the current sound ends, and its result.
    QPointer<SoundAnalysis> m_prepared;
    int m_preparedIndex = -1;
    std::optional<AnalysisResult> m_preparedResult;

    // The analysis now wanted; an older one is deleted with its cover load.
    QPointer<SoundAnalysis> m_analysis;
};
