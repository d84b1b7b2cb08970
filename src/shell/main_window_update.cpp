// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's update check: the gate before analysis, and the check
// again that a failed one offers.
#include "shell/main_window.h"

#include "net/update_check.h"
#include "shell/address_box.h"
#include "shell/message_boxes.h"
#include "shell/window_chrome.h"
#include "util/version_text.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace {

const char *const WelcomeText = QT_TRANSLATE_NOOP("MainWindow", "欢迎使用Quorlen软件");
const char *const CheckFailedText = QT_TRANSLATE_NOOP("MainWindow", "检测更新失败!请您稍后再试,暂时使用原版");

} // namespace

QString MainWindow::checkingText()
{
    return tr("正在检测是否存在最新版本..");
}

QString MainWindow::checkAgainText()
{
    return tr("重新检测");
}

void MainWindow::checkForUpdate()
{
    if (m_updateCheck)
        return;
    m_checkAfterPaint = false;
    startUpdateCheck();
}

void MainWindow::startUpdateCheck()
{
    delete m_updateCheck; // one that failed
    m_checkFailed = false;
    m_updateCheck = new UpdateCheck(m_config.versionFileUrl(), m_fetchOptions, this);
    // Closing the window deletes the check with it: nothing answers then.
    connect(m_updateCheck, &UpdateCheck::finished, this, &MainWindow::onUpdateChecked);
    m_updateCheck->start();
}

bool MainWindow::canCheckAgain() const
{
    return m_checkFailed;
}

void MainWindow::checkAgain()
{
    if (!canCheckAgain())
        return;
    showCheckAgain(false);
    setStatusMessage(checkingText());
    startUpdateCheck();
}

// After a failed check the version panel offers the check again, so that
// the grey address box is not a dead end.
void MainWindow::showCheckAgain(bool shown)
{
    m_versionPanel->setTextFormat(shown ? Qt::RichText : Qt::PlainText);
    m_versionPanel->setText(shown ? QStringLiteral("%1 <a href=\"check\">%2</a>")
                                        .arg(versionText().toHtmlEscaped(), checkAgainText().toHtmlEscaped())
                                  : versionText());
    m_versionPanel->setTextInteractionFlags(shown ? Qt::LinksAccessibleByMouse : Qt::NoTextInteraction);
    m_versionPanel->setToolTip(shown ? tr("再次检测是否存在最新版本，通过后即可分析音乐") : QString());
}

void MainWindow::onUpdateChecked(const UpdateCheckResult &result)
{
    const UpdateOutcome outcome = result ? result->outcome : UpdateOutcome::CheckFailed;
    switch (outcome) {
    case UpdateOutcome::CheckFailed:
        m_checkFailed = true;
        // Told in the status line too, which outlasts the box.
        setStatusMessage(tr(CheckFailedText));
        showCheckAgain(true);
        showMessage(this, MessageKind::Warning, tr(CheckFailedText),
                    [this, outcome] { emit updateChecked(outcome); });
        return;
    case UpdateOutcome::UpToDate:
        m_addressBox->setEnabled(true);
        m_analyseButton->setEnabled(true);
        takeBackFocus();
        setStatusMessage(tr(WelcomeText));
        emit updateChecked(outcome);
        return;
    case UpdateOutcome::OtherVersion:
        showMessage(this, MessageKind::Information, otherVersionMessage(result->tag), [this, outcome] {
            const auto end = [this, outcome] {
                endProgramNow();
                emit updateChecked(outcome);
            };
            // The system's browser handler, never a shell command line.
            if (QDesktopServices::openUrl(QUrl(m_config.forumUrl)))
                return end();
            // No browser to hand it to: the address, to open by hand, before the end.
            showMessage(this, MessageKind::Warning,
                        tr("没有能打开网页的程序，请在浏览器中打开：%1").arg(m_config.forumUrl), end);
        });
        return;
    }
}
