#pragma once

#include "shell/update_check.h"
#include "sound/sound_analysis.h"

#include "services/http_text_fetch.h"
#include "services/service_config.h"
#include "sound/sound_info.h"

#include <QLine>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>

class AddressBox;
class DragHandle;
class PlayerBar;
class QLabel;
class QProgressBar;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class SoundDownload;
class TitleLink;

// The main window (Form1): the address box, the analyse button, the sound's
// record, the player strip and the status bar, on a caption-less backdrop.
// Creating it builds the controls; startUp() is its load step.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 791;
    static constexpr int ClientHeight = 446;

    explicit MainWindow(const ServiceConfig &config, const FetchOptions &fetchOptions = {},
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    // The load step: frame style, skin, version text into panel 3, border,
    // show, then, once the first frame is painted, the update check, which
    // ends in updateChecked().
    void startUp();

    // Update check: enables the analysis when the maker's version file names
    // this version; warns when it cannot be read; announces another version,
    // opens the forum and ends the program otherwise.
    void checkForUpdate();

    // Fits the content panel and the status bar between the border lines and
    // sets the lines that every paint draws under the children.
    void 绘制边框();

    // Starts the analyse action on whatever the address box holds, whether
    // or not the box and button are enabled; analysisEnded() follows.
    void hqyy();

    void AnalyseAction();
    // Puts an address into the address box, as the hot-list hand-off does.
    void setAddressText(const QString &address);

    // Panels are 1-based, as the status bar counts them.
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString &text);

    // The record on screen; empty before the first analysis that found one.
    const SoundInfo &soundInfo() const { return m_record; }
    QList<QLine> borderLines() const { return m_borderLines; }

    // Where startUp() looks for the skin; "1.she" beside the executable by default.
    void setSkinPath(const QString &path) { m_skinPath = path; }

    // Where Command4 saves; the user's download folder by default.
    void setDownloadFolder(const QString &folder) { m_downloadFolder = folder; }
    QString downloadFolder() const { return m_downloadFolder; }

signals:
    // Title link 0. The hot-list window answers it.
    void hotListRequested();
    // A press on the backdrop or the logo asked to move the window.
    void dragRequested();
    // An analysis ran to its end and put its outcome in the status line.
    void analysisEnded();
    // A download ended and put its outcome in the status line.
    void downloadEnded(bool ok);
    // The update check ended and did what its outcome asks.
    void updateChecked(UpdateOutcome outcome);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void onUpdateChecked(const UpdateCheckResult &result);
    void onAnalysisFinished(SoundAnalysis *analysis, const AnalysisResult &result);
    void showSoundInfo();
    void showCover(const QImage &cover);
    void endAnalysis(const QString &status);
    void onTitleLinkHovered(int index);
    void onTitleLinkReleased(int index);
    void resetTitleLinks();
    void startDrag();
    void copyAction();
    void downloadAction();
    void onDownloadFinished(SoundDownload *download);
    void showDownloadProgress();

    ServiceConfig m_config;
    FetchOptions m_fetchOptions;
    QString m_skinPath;
    SoundInfo m_record;

    QPixmap m_background;
    bool m_painted = false; // a frame is on screen; the check need not wait for one
    bool m_checkAfterPaint = false;
    UpdateCheck *m_updateCheck = nullptr;
    QList<QLine> m_borderLines;

    DragHandle *m_logo = nullptr;
    std::array<TitleLink *, 4> m_titleLinks{};
    QLabel *m_panel = nullptr; // Image2
    AddressBox *m_addressBox = nullptr;
    QPushButton *m_analyseButton = nullptr;
    QLabel *m_cover = nullptr;        // Image1
    QLabel *m_defaultCover = nullptr; // Image4
    QLabel *m_nameLine = nullptr;     // Label3
    QLabel *m_singerLine = nullptr;   // Label6
    QLabel *m_playsLine = nullptr;    // Label7
    QLabel *m_sharesLine = nullptr;   // Label8
    QLabel *m_timeLine = nullptr;     // Label9
    QLabel *m_fansLine = nullptr;     // Label10
    QPushButton *m_copyButton = nullptr;
    QPushButton *m_downloadButton = nullptr;
    QPlainTextEdit *m_introduction = nullptr; // Text2
    PlayerBar *m_player = nullptr;            // W1
    QStatusBar *m_statusBar = nullptr;        // S1
    std::array<QLabel *, 4> m_statusPanels{};

    QProgressBar *m_downloadProgress = nullptr;

    QString m_downloadFolder;
    QList<SoundDownload *> m_downloads; // running, children of the window

    // The analysis waiting for its answer or its cover, cancelled when a
    // newer one starts.
    // The analysis now wanted; an older one is deleted with its cover load.
    QPointer<SoundAnalysis> m_analysis;
};
