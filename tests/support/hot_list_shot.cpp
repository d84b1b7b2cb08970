// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// hot_list_shot FILE [LANG]: saves a picture of the hot list, skinned as the
// program ships it, after a refresh from the sample service; the main window
// has --screenshot for the same. Needs no display (offscreen).

#include "hotlist/hot_list_window.h"
#include "net/network_access.h"
#include "sample_service/sample_service.h"
#include "shell/skin.h"
#include "shell/window_chrome.h"
#include "util/ui_language.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [LANG]\n", argv[0]);
        return 2;
    }
    const std::optional<QString> language = UiLanguage::fromName(argc == 3 ? argv[2] : "zh_CN");
    if (!language) {
        std::fprintf(stderr, "unknown language\n");
        return 2;
    }
    QApplication app(argc, argv);
    UiTranslators translators(*language);
    translators.install();
    QApplication::setFont(uiFont(9));
    applySkin(QStringLiteral(VEXA_SOURCE_DIR "/resources/1.she"));

    SampleService service;
    if (!service.start())
        return 1;
    const QString file = QString::fromLocal8Bit(argv[1]);
    int status = 1;
    {
        HotListWindow window(ServiceConfig::allAt(service.hostAndPort()));
        QObject::connect(&window, &HotListWindow::refreshEnded, &window, [&] {
            status = window.grab().save(file) ? 0 : 1;
            QCoreApplication::quit();
        });
        window.showHotList();
        window.refresh();
        QApplication::exec();
    }
    shutDownSharedNetworkManager();
    if (status != 0)
        std::fprintf(stderr, "cannot save %s\n", argv[1]);
    return status;
}
