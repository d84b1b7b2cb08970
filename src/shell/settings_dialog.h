// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "library/download_settings.h"
#include "shell/frameless_window.h"
#include "sound/sound_info.h"

class ProgramSettings;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The download settings as a small window over the main one: folder, naming
// template, tags and their ID3 version, the path a download of the
// window's sound would get, whether copied sound addresses are taken, and how
// many downloads run at once. A refused folder or template is told beside its
// field and cannot be confirmed. Confirming changes only the fields the user
// changed. Deletes itself when closed.
class SettingsDialog : public FramelessWindow
{
    Q_OBJECT

public:
    // sound is the record the preview names; an empty one stands for an example.
    // settings must outlive the dialog.
    SettingsDialog(ProgramSettings &settings, const SoundInfo &sound, QWidget *parent);

    // Where a download of the sound would go; empty while something is refused.
    QString previewText() const { return m_previewPath; }

    // Confirms the edited settings unless something is refused.
    void accept();

    // Opens the folder chooser, made on first use and kept with this window.
    void chooseFolder();
    QFileDialog *folderChooser() const { return m_folderChooser; }

signals:
    // Confirmed and handed to the settings; the window closes after.
    void accepted();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Edit
    {
        DownloadSettings settings;
        Expected<void, SettingFailure> folder;
        Expected<void, SettingFailure> nameTemplate;

        bool ok() const { return folder && nameTemplate; }
    };

    void buildForm();
    Edit edit() const;
    void showEdit();

    ProgramSettings &m_program;
    DownloadSettings m_settings; // as the fields showed them at first
    SoundInfo m_sound;
    QLineEdit *m_folderEdit = nullptr;
    QLabel *m_folderProblem = nullptr;
    QLineEdit *m_templateEdit = nullptr;
    QLabel *m_templateProblem = nullptr;
    QCheckBox *m_tagsBox = nullptr;
    QComboBox *m_id3Box = nullptr;
    QCheckBox *m_clipboardBox = nullptr;
    QSpinBox *m_jobsBox = nullptr;
    QLabel *m_preview = nullptr;
    QString m_previewPath;
    QPushButton *m_okButton = nullptr;
    QFileDialog *m_folderChooser = nullptr;
};
