// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The yardsticks for the start-up benchmark: a bare Qt Widgets program with
// one window of the main window's size, ended the same way. With
// --chinese-label the window holds one line of Chinese text in the program's
// own font (uiFont(9) in src/shell/window_chrome.cpp, set as the application
// font as the program does), so the comparison leaves out what any Chinese
// window pays for its CJK font; without it the window is empty.
#include "probe/startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool chinese = QCoreApplication::arguments().contains(QStringLiteral("--chinese-label"));
    if (chinese) {
        QFont font;
        font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
        font.setPointSizeF(9);
        QApplication::setFont(font);
    }
    QWidget window;
    window.setFixedSize(791, 446);
    if (chinese) {
        auto *label = new QLabel(
            QStringLiteral("欢迎使用Quorlen软件 音乐：NULL 歌手：NULL 正在检测是否存在最新版本.."), &window);
        label->move(16, 16);
    }
    exitAfterFirstPaintIfAsked(&window);
    window.show();
    return QApplication::exec();
}
