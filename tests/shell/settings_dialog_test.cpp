// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/name_template.h"
#include "library/download_settings.h"
#include "library/program_settings.h"
#include "shell/main_window.h"
#include "shell/player_bar.h"
#include "shell/settings_dialog.h"
#include "shell/skin.h"
#include "shell/window_chrome.h"
#include "support/keyboard_walk.h"
#include "support/shown_text.h"
#include "support/user_input.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QString Unsaved = QStringLiteral("设置无法保存，本次运行中仍然有效");

template<typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

SoundInfo windowSound()
{
    SoundInfo sound;
    sound.soundId = QStringLiteral("7");
    sound.soundName = QStringLiteral("晨光");
    sound.singer = QStringLiteral("歌手");
    sound.shortName = QStringLiteral("短名");
    sound.publishTime = QStringLiteral("2023-03-14 09:26:41");
    sound.fileUrl = QStringLiteral("http://host/a.wav");
    return sound;
}

} // namespace

class SettingsDialogTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_config;

    static ServiceConfig nowhere() { return ServiceConfig::allAt(QStringLiteral("127.0.0.1:1")); }

    // On its box at the left end: beyond the caption, in the rest of its row, a click does nothing.
    static void tick(QCheckBox *box)
    {
        UserInput::click(box, Qt::LeftButton, {box->height() / 2, box->height() / 2});
    }

    // Null unless the dialog came up where it can be clicked.
    static SettingsDialog *openFrom(MainWindow &w)
    {
        if (UserInput::shown(&w))
            UserInput::click(w.findChild<TitleLink *>(QStringLiteral("settingsLink")));
        SettingsDialog *dialog = w.settingsDialog();
        return dialog && QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    }

private slots:
    void init()
    {
        // A fresh settings file for every test.
        m_config = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config->path());
    }

    void preview_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("nameTemplate");
        QTest::addColumn<bool>("windowHasSound");
        QTest::addColumn<QString>("expected"); // below the folder; empty when refused
        QTest::addColumn<QString>("problemLabel");
        QTest::addColumn<QString>("problem");

        const QString folder = QStringLiteral("/tmp/下载");
        QTest::newRow("example sound") << folder << DefaultNameTemplate << false
                                       << QStringLiteral("示例歌手 - 示例音乐.mp3") << QString() << QString();
        QTest::newRow("window's sound, subfolders")
            << folder << QStringLiteral("{singer}/{date}/{id} {shortname}") << true
            << QStringLiteral("歌手/2023-03-14/7 短名.wav") << QString() << QString();
        QTest::newRow("empty template") << folder << QString() << true << QString()
                                        << QStringLiteral("templateProblem") << QStringLiteral("模板是空的");
        QTest::newRow("unknown field")
            << folder << QStringLiteral("{title}") << true << QString() << QStringLiteral("templateProblem")
            << QStringLiteral("未知字段 {title}");
        QTest::newRow("nothing left once safe")
            << folder << QStringLiteral("..") << true << QString() << QStringLiteral("templateProblem")
            << QStringLiteral("不剩文件名");
        QTest::newRow("folder that looks like markup")
            << QStringLiteral("/tmp/<u>下载</u>") << DefaultNameTemplate << false
            << QStringLiteral("示例歌手 - 示例音乐.mp3") << QString() << QString();
        QTest::newRow("empty folder") << QStringLiteral(" ") << DefaultNameTemplate << true << QString()
                                      << QStringLiteral("folderProblem") << QStringLiteral("下载文件夹");
        QTest::newRow("long folder: cut in the middle")
            << (QStringLiteral("/tmp/") + QString(120, u'长')) << DefaultNameTemplate << false
            << QStringLiteral("示例歌手 - 示例音乐.mp3") << QString() << QString();
    }

    // The preview follows every edit; a refusal is told and cannot be confirmed.
    void preview()
    {
        QFETCH(QString, folder);
        QFETCH(QString, nameTemplate);
        QFETCH(bool, windowHasSound);
        QFETCH(QString, expected);
        QFETCH(QString, problemLabel);
        QFETCH(QString, problem);

        ProgramSettings settings;
        SettingsDialog dialog(settings, windowHasSound ? windowSound() : SoundInfo(), nullptr);
        QSignalSpy accepted(&dialog, &SettingsDialog::accepted);
        child<QLineEdit>(&dialog, "folderEdit")->setText(folder);
        child<QLineEdit>(&dialog, "templateEdit")->setText(nameTemplate);

        QCOMPARE(dialog.previewText(), expected.isEmpty() ? QString() : folder + u'/' + expected);
        const auto *previewLabel = child<QLabel>(&dialog, "previewLabel");
        // One line: whole when it fits, else both ends kept around an ellipsis.
        const QString shown = shownText(previewLabel->text(), previewLabel->textFormat());
        const int room = previewLabel->contentsRect().width();
        QVERIFY(room > 200);
        QVERIFY(previewLabel->fontMetrics().horizontalAdvance(shown) <= room);
        const QStringList ends = shown.split(QChar(0x2026));
        QCOMPARE(ends.size(),
                 previewLabel->fontMetrics().horizontalAdvance(dialog.previewText()) > room ? 2 : 1);
        if (ends.size() == 1)
            QCOMPARE(shown, dialog.previewText());
        else
            QVERIFY(dialog.previewText().startsWith(ends.first()) &&
                    dialog.previewText().endsWith(ends.last()));
        QCOMPARE(shownText(previewLabel->toolTip()), dialog.previewText());
        const bool refused = !problem.isEmpty();
        for (const char *label : {"folderProblem", "templateProblem"}) {
            const QString shown = child<QLabel>(&dialog, label)->text();
            QCOMPARE(shown.contains(problem) && !shown.isEmpty(), refused && problemLabel == label);
        }
        QCOMPARE(child<QPushButton>(&dialog, "okButton")->isEnabled(), !refused);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(accepted.count(), refused ? 0 : 1);
    }

    // Esc and the focused button have their say before the dialog's Enter.
    void keys_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("accepts");
        QTest::newRow("escape in a field") << "folderEdit" << int(Qt::Key_Escape) << false;
        QTest::newRow("enter in a field") << "templateEdit" << int(Qt::Key_Enter) << true;
        QTest::newRow("enter on cancel") << "cancelButton" << int(Qt::Key_Return) << false;
        QTest::newRow("space on the close link") << "closeLink" << int(Qt::Key_Space) << false;
    }

    void keys()
    {
        QFETCH(QString, focused);
        QFETCH(int, key);
        QFETCH(bool, accepts);

        ProgramSettings settings;
        SettingsDialog dialog(settings, {}, nullptr);
        dialog.show();
        QSignalSpy accepted(&dialog, &SettingsDialog::accepted);
        QWidget *target = dialog.findChild<QWidget *>(focused);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(accepted.count(), accepts ? 1 : 0);
    }

    // With the default skin, Tab goes down the form, then to the close link,
    // every field named and marked while it has the focus.
    void keyboardAndScreenReaderReach()
    {
        qApp->setStyleSheet(readSkin(defaultSkinPath()));
        const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        ProgramSettings settings; // tags on, as at first: the ID3 box takes its turn
        QVERIFY(settings.current().tags);
        SettingsDialog dialog(settings, {}, nullptr);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        child<QLineEdit>(&dialog, "folderEdit")->setFocus();
        const QStringList expected = {"folderEdit",   "chooseFolderButton", "templateEdit", "tagsBox",
                                      "id3Box",       "clipboardBox",       "jobsBox",      "okButton",
                                      "cancelButton", "closeLink"};
        QCOMPARE(tabRound(), expected);
        QCOMPARE(unnamedControls(&dialog), QStringList());
    }

    // The fields stand at even distances: an empty problem line takes no room.
    void fieldsEvenlySpaced()
    {
        ProgramSettings settings;
        SettingsDialog dialog(settings, {}, nullptr);
        QVERIFY(UserInput::shown(&dialog));
        QList<int> gaps;
        const QWidget *above = nullptr;
        for (const char *name :
             {"folderEdit", "templateEdit", "tagsBox", "id3Box", "previewLabel", "clipboardBox", "jobsBox"}) {
            const QWidget *field = child<QWidget>(&dialog, name);
            if (above)
                gaps.append(field->geometry().top() - above->geometry().bottom());
            above = field;
        }
        const auto [fewest, most] = std::minmax_element(gaps.cbegin(), gaps.cend());
        QVERIFY2(*most - *fewest <= 4, qPrintable(QStringLiteral("%1 to %2").arg(*fewest).arg(*most)));
    }

    void folderChooserAnswers()
    {
        QTemporaryDir chosen;
        ProgramSettings settings;
        SettingsDialog dialog(settings, {}, nullptr);
        QVERIFY(UserInput::shown(&dialog));
        // A folder not made yet: the chooser opens at the nearest one there is.
        child<QLineEdit>(&dialog, "folderEdit")->setText(chosen.filePath(QStringLiteral("not/yet")));
        UserInput::click(child<QPushButton>(&dialog, "chooseFolderButton"));
        QFileDialog *chooser = dialog.folderChooser();
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->directory().path(), chosen.path());
        auto *typed = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(typed && typed->hasFocus());
        typed->setText(chosen.path());
        QTest::keyClick(typed, Qt::Key_Return);
        QCOMPARE(child<QLineEdit>(&dialog, "folderEdit")->text(), chosen.path());
        QVERIFY(dialog.previewText().startsWith(chosen.path() + u'/'));
    }

    // The dialog starts from the stored settings; confirming stores every
    // field and the window's downloads take them at once.
    void confirmStoresAndApplies()
    {
        DownloadSettings stored = DownloadSettings::defaults();
        stored.nameTemplate = QStringLiteral("{id}");
        QVERIFY(saveDownloadSettings(stored));
        MainWindow w(nowhere());
        SettingsDialog *dialog = openFrom(w);
        QVERIFY(dialog);
        auto *templateEdit = child<QLineEdit>(dialog, "templateEdit");
        QCOMPARE(templateEdit->text(), stored.nameTemplate);

        QTemporaryDir folder;
        templateEdit->setText(QStringLiteral("{singer}/{name}"));
        child<QLineEdit>(dialog, "folderEdit")->setText(folder.path());
        tick(child<QCheckBox>(dialog, "tagsBox"));
        auto *id3 = child<QComboBox>(dialog, "id3Box");
        QVERIFY(!id3->isEnabled());
        id3->setCurrentIndex(id3->findText(QStringLiteral("v2.3")));
        auto *clipboard = child<QCheckBox>(dialog, "clipboardBox");
        QVERIFY(!clipboard->isChecked());
        tick(clipboard);
        UserInput::click(child<QPushButton>(dialog, "okButton"));
        QTRY_VERIFY(!w.settingsDialog());

        const DownloadSettings now = loadDownloadSettings();
        QCOMPARE(now.nameTemplate, QStringLiteral("{singer}/{name}"));
        QCOMPARE(now.folder, folder.path());
        QCOMPARE(now.tags, false);
        QCOMPARE(now.id3Version, 3);
        QCOMPARE(now.clipboardOffers, true);
        QCOMPARE(w.downloadFolder(), folder.path());
    }

    // A folder stored elsewhere (`config`) while the dialog is open is the
    // window's from then on; 确定 writes only what was changed in the dialog.
    void confirmKeepsFolderStoredMeanwhile_data()
    {
        QTest::addColumn<QString>("typedTemplate"); // empty: nothing touched
        QTest::newRow("nothing touched") << QString();
        QTest::newRow("another field changed") << QStringLiteral("{id}");
    }

    void confirmKeepsFolderStoredMeanwhile()
    {
        QFETCH(QString, typedTemplate);
        MainWindow w(nowhere());
        SettingsDialog *dialog = openFrom(w);
        QVERIFY(dialog);
        QTemporaryDir newer;
        DownloadSettings elsewhere = loadDownloadSettings();
        elsewhere.folder = newer.path();
        QVERIFY(saveDownloadSettings(elsewhere));
        if (!typedTemplate.isEmpty())
            child<QLineEdit>(dialog, "templateEdit")->setText(typedTemplate);
        UserInput::click(child<QPushButton>(dialog, "okButton"));
        QTRY_VERIFY(!w.settingsDialog());

        const DownloadSettings now = loadDownloadSettings();
        QCOMPARE(now.folder, newer.path());
        QCOMPARE(now.nameTemplate, typedTemplate.isEmpty() ? DefaultNameTemplate : typedTemplate);
        QTRY_COMPARE(w.downloadFolder(), newer.path());
    }

    // The backdrop's menu opens the dialog too; a link keeps its right click.
    void backdropMenu()
    {
        MainWindow w(nowhere());
        QVERIFY(UserInput::shown(&w));
        QSignalSpy linkUsed(&w, &MainWindow::downloadsRequested);
        UserInput::click(w.findChild<TitleLink *>(QStringLiteral("downloadsLink")), Qt::RightButton);
        QCOMPARE(linkUsed.size(), 1);
        QVERIFY(!w.findChild<QMenu *>(QStringLiteral("backdropMenu")));
        UserInput::click(&w, Qt::RightButton, {300, 60});
        auto *menu = w.findChild<QMenu *>(QStringLiteral("backdropMenu"));
        QVERIFY(menu && menu->isVisible());
        menu->actions().constFirst()->trigger();
        QVERIFY(w.settingsDialog());
    }

    // Settings that cannot be written stay in use and are told once a run.
    void unwritableToldOnce()
    {
        // A folder where the file should be stops writes even for root.
        QVERIFY(QDir().mkpath(openSettingsFile().fileName()));
        MainWindow w(nowhere());
        QTemporaryDir folder;
        SettingsDialog *dialog = openFrom(w);
        QVERIFY(dialog);
        child<QLineEdit>(dialog, "folderEdit")->setText(folder.path());
        UserInput::click(child<QPushButton>(dialog, "okButton"));
        QCOMPARE(w.statusMessage(), Unsaved);
        QCOMPARE(w.downloadFolder(), folder.path());

        w.analyseAddress(); // an empty address box puts its own message up
        const QString before = w.statusMessage();
        QVERIFY(before != Unsaved);
        QTRY_VERIFY(!w.settingsDialog());
        QVERIFY(openFrom(w));
        UserInput::click(child<QPushButton>(w.settingsDialog(), "okButton"));
        w.findChild<PlayerBar *>()->setVolume(5);
        w.hide(); // writes the volume at once
        QCOMPARE(w.statusMessage(), before);
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
