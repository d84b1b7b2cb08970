// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/settings_dialog.h"

#include "library/program_settings.h"
#include "shell/download_status.h"
#include "shell/plain_tool_tip.h"
#include "shell/window_chrome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QString FolderKey = QStringLiteral("folder");
const QString NameKey = QStringLiteral("name");
QString emptyFolderText()
{
    return SettingsDialog::tr("请填写下载文件夹");
}
QString templateRefusedText()
{
    return SettingsDialog::tr("模板有误：%1");
}
QString templateHintText()
{
    return SettingsDialog::tr(
        "可用字段：{singer} {name} {id} {date} {ext} {shortname} {shortsinger}；“/”分隔子文件夹");
}

constexpr int Width = 480;
constexpr int Height = 368;
constexpr int HeaderHeight = 48;

// Named so the preview reads as an example, not as a sound the user chose.
SoundInfo exampleSound()
{
    SoundInfo sound;
    sound.soundId = QStringLiteral("1001");
    sound.soundName = SettingsDialog::tr("示例音乐");
    sound.singer = SettingsDialog::tr("示例歌手");
    sound.shortName = sound.soundName;
    sound.shortSinger = sound.singer;
    sound.publishTime = QStringLiteral("2026-01-01 08:00:00");
    sound.fileUrl = QStringLiteral("http://example.invalid/1001.mp3");
    return sound;
}

QLabel *problemLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setStyleSheet(QStringLiteral("color: #c00000;"));
    label->setWordWrap(true);
    return label;
}

} // namespace

SettingsDialog::SettingsDialog(ProgramSettings &settings, const SoundInfo &sound, QWidget *parent)
    : FramelessWindow(TopEdge::Lined, parent)
    , m_program(settings)
    , m_settings(settings.current())
    , m_sound(sound == SoundInfo() ? exampleSound() : sound)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(tr("设置"));
    setFixedSize(Width, Height);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    addPanel(HeaderHeight, Height - HeaderHeight - 1);
    auto *title = new QLabel(tr("设置"), this);
    title->setObjectName(QStringLiteral("settingsTitle"));
    title->setFont(uiFont(10.5));
    title->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(TitleLinkNormal.name()));
    title->setGeometry(16, 14, 120, 20);
    TitleLink *close = addTitleLink(QStringLiteral("closeLink"), QStringLiteral("x"), {Width - 32, 8, 19, 27},
                                    captionGlyphFont(12), tr("关闭"));
    connect(close, &TitleLink::released, this, &QWidget::close);

    buildForm();
    showEdit();
}

void SettingsDialog::buildForm()
{
    auto *form = new QWidget(this);
    form->setObjectName(QStringLiteral("settingsForm"));
    form->setFont(uiFont(9));
    form->setGeometry(16, HeaderHeight + 8, Width - 32, Height - HeaderHeight - 20);
    auto *grid = new QGridLayout(form);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(8);

    m_folderEdit = new QLineEdit(m_settings.folder, form);
    m_folderEdit->setObjectName(QStringLiteral("folderEdit"));
    auto *choose = new QPushButton(tr("选择…"), form);
    choose->setObjectName(QStringLiteral("chooseFolderButton"));
    connect(choose, &QPushButton::clicked, this, &SettingsDialog::chooseFolder);
    m_folderProblem = problemLabel("folderProblem", form);

    m_templateEdit = new QLineEdit(m_settings.nameTemplate, form);
    m_templateEdit->setObjectName(QStringLiteral("templateEdit"));
    m_templateEdit->setToolTip(templateHintText());
    m_templateProblem = problemLabel("templateProblem", form);

    m_tagsBox = new QCheckBox(tr("写入标签和封面"), form);
    m_tagsBox->setObjectName(QStringLiteral("tagsBox"));
    m_tagsBox->setChecked(m_settings.tags);
    m_id3Box = new QComboBox(form);
    m_id3Box->setObjectName(QStringLiteral("id3Box"));
    m_id3Box->addItem(QStringLiteral("v2.4"), 4);
    m_id3Box->addItem(QStringLiteral("v2.3"), 3);
    m_id3Box->setCurrentIndex(m_id3Box->findData(m_settings.id3Version));

    m_clipboardBox = new QCheckBox(tr("自动填入复制的音乐地址"), form);
    m_clipboardBox->setObjectName(QStringLiteral("clipboardBox"));
    m_clipboardBox->setChecked(m_settings.clipboardOffers);

    m_jobsBox = new QSpinBox(form);
    m_jobsBox->setObjectName(QStringLiteral("jobsBox"));
    m_jobsBox->setRange(1, DownloadSettings::MaxJobs);
    m_jobsBox->setValue(m_settings.jobs);

    m_preview = new QLabel(form);
    m_preview->setObjectName(QStringLiteral("previewLabel"));
    m_preview->setTextFormat(Qt::PlainText); // the path holds the sound's name
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // One line, cut in the middle to fit (the tooltip has it whole): the
    // dialog's size does not follow the path's length.
    m_preview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_okButton = new QPushButton(tr("确定"), form);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    connect(m_okButton, &QPushButton::clicked, this, &SettingsDialog::accept);
    auto *cancel = new QPushButton(tr("取消"), form);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(cancel);

    grid->addWidget(new QLabel(tr("下载文件夹"), form), 0, 0);
    grid->addWidget(m_folderEdit, 0, 1);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(m_folderProblem, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("文件名模板"), form), 2, 0);
    grid->addWidget(m_templateEdit, 2, 1, 1, 2);
    grid->addWidget(m_templateProblem, 3, 1, 1, 2);
    grid->addWidget(m_tagsBox, 4, 1, 1, 2);
    grid->addWidget(new QLabel(tr("ID3 版本"), form), 5, 0);
    grid->addWidget(m_id3Box, 5, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(tr("预览"), form), 6, 0, Qt::AlignTop);
    grid->addWidget(m_preview, 6, 1, 1, 2);
    grid->addWidget(m_clipboardBox, 7, 1, 1, 2);
    grid->addWidget(new QLabel(tr("同时下载数"), form), 8, 0);
    grid->addWidget(m_jobsBox, 8, 1, Qt::AlignLeft);
    grid->setRowStretch(9, 1);
    grid->addLayout(buttons, 10, 0, 1, 3);

    // Each caption names the field beside it, for screen readers.
    for (int row = 0; row < grid->rowCount(); ++row) {
        QLayoutItem *caption = grid->itemAtPosition(row, 0);
        QLayoutItem *field = grid->itemAtPosition(row, 1);
        if (auto *label = caption ? qobject_cast<QLabel *>(caption->widget()) : nullptr; label && field)
            label->setBuddy(field->widget());
    }
    m_folderEdit->setAccessibleDescription(tr("下载的音乐文件保存在这个文件夹"));
    choose->setToolTip(tr("选择下载文件夹"));
    m_tagsBox->setAccessibleDescription(tr("在下载的文件中写入音乐信息和封面"));
    m_id3Box->setAccessibleDescription(tr("写入的 ID3 标签版本"));
    m_preview->setAccessibleDescription(tr("按这些设置下载时文件的路径"));
    m_clipboardBox->setAccessibleDescription(
        tr("在其他程序中复制的音乐页面地址会填入地址框，但不会自动分析"));
    m_jobsBox->setAccessibleDescription(tr("同时进行的下载数，其余的排队等候"));
    m_okButton->setToolTip(tr("保存设置并关闭"));
    cancel->setToolTip(tr("不保存设置，关闭窗口"));

    connect(m_folderEdit, &QLineEdit::textChanged, this, &SettingsDialog::showEdit);
    connect(m_templateEdit, &QLineEdit::textChanged, this, &SettingsDialog::showEdit);
    connect(m_tagsBox, &QCheckBox::toggled, this, &SettingsDialog::showEdit);
    setTabChain({m_folderEdit, choose, m_templateEdit, m_tagsBox, m_id3Box, m_clipboardBox, m_jobsBox,
                 m_okButton, cancel});
    grid->activate(); // the preview's width, for cutting it
}

SettingsDialog::Edit SettingsDialog::edit() const
{
    Edit edit{m_settings, {}, {}};
    edit.folder = edit.settings.set(FolderKey, m_folderEdit->text());
    edit.nameTemplate = edit.settings.set(NameKey, m_templateEdit->text());
    edit.settings.tags = m_tagsBox->isChecked();
    edit.settings.id3Version = m_id3Box->currentData().toInt();
    edit.settings.clipboardOffers = m_clipboardBox->isChecked();
    edit.settings.jobs = m_jobsBox->value();
    return edit;
}

void SettingsDialog::showEdit()
{
    const Edit now = edit();
    m_folderProblem->setText(now.folder ? QString()
                             : now.folder.error().reason == SettingProblem::EmptyFolder
                                 ? emptyFolderText()
                                 : settingProblemText(now.folder.error()));
    m_templateProblem->setText(now.nameTemplate
                                   ? QString()
                                   : templateRefusedText().arg(settingProblemText(now.nameTemplate.error())));
    // An empty problem row would still take its spacing: the rows would be uneven.
    m_folderProblem->setVisible(!m_folderProblem->text().isEmpty());
    m_templateProblem->setVisible(!m_templateProblem->text().isEmpty());
    m_id3Box->setEnabled(now.settings.tags);
    m_okButton->setEnabled(now.ok());
    m_previewPath = now.ok() ? downloadTarget(now.settings, m_sound) : QString();
    m_preview->setText(m_preview->fontMetrics().elidedText(m_previewPath, Qt::ElideMiddle,
                                                           m_preview->contentsRect().width()));
    m_preview->setToolTip(plainToolTip(m_previewPath));
}

void SettingsDialog::accept()
{
    const Edit now = edit();
    if (!now.ok())
        return;
    // One that cannot be stored holds for this run; the window tells of it.
    (void)m_program.change(now.settings, m_settings.keysDifferingFrom(now.settings));
    emit accepted();
    close();
}

void SettingsDialog::chooseFolder()
{
    if (!m_folderChooser) {
        m_folderChooser = new QFileDialog(this, tr("下载文件夹"));
        m_folderChooser->setObjectName(QStringLiteral("folderChooser"));
        m_folderChooser->setFileMode(QFileDialog::Directory);
        m_folderChooser->setOption(QFileDialog::ShowDirsOnly);
        connect(m_folderChooser, &QFileDialog::fileSelected, m_folderEdit, &QLineEdit::setText);
    }
    // A folder not made yet: the chooser starts at the nearest one there is.
    QString start = QDir::cleanPath(m_folderEdit->text().trimmed());
    while (!start.isEmpty() && !QFileInfo(start).isDir()) {
        const QString parent = QFileInfo(start).path();
        start = parent == start ? QString() : parent;
    }
    m_folderChooser->setDirectory(start.isEmpty() ? QDir::homePath() : start);
    m_folderChooser->open();
}

void SettingsDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A button reached by Tab does its own job, the cancel button included.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            accept();
        return;
    default:
        FramelessWindow::keyPressEvent(event);
    }
}
