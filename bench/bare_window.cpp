// The yardstick for the start-up benchmark: a bare Qt Widgets program with
// one empty window of the main window's size, ended the same way. With
// --chinese-label the window holds one line of Chinese text, which shows how
// much of the difference is the CJK font alone.
#include "shell/startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(791, 446);
    if (QCoreApplication::arguments().contains(QStringLiteral("--chinese-label"))) {
        auto *label = new QLabel(
            QStringLiteral("欢迎使用Quorlen软件 音乐：NULL 歌手：NULL 正在检测是否存在最新版本.."), &window);
        QFont font;
        font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
        font.setPointSizeF(9);
        label->setFont(font);
        label->move(16, 16);
    }
    exitAfterFirstPaintIfAsked(&window);
    window.show();
    return QApplication::exec();
}
