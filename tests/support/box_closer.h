#pragma once

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QTimer>

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers every message box that opens while it lives, remembering each.
class BoxCloser : public QObject
{
public:
    BoxCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            boxes.append({box->windowTitle(), box->text(), box->icon()});
            box->accept();
        });
        m_timer.start(10);
    }
    QList<SeenBox> boxes;

private:
    QTimer m_timer;
};
