#include "shell/message_boxes.h"

#include <QMessageBox>

namespace {

const QString MessageTitle = QStringLiteral("Quorlen软件");

MessageAnswerer &answerer()
{
    static MessageAnswerer instance;
    return instance;
}

} // namespace

void ShowMessage(QWidget *parent, MessageKind kind, const QString &text)
{
    if (answerer()) {
        answerer()(kind, MessageTitle, text);
        return;
    }
    if (kind == MessageKind::Warning)
        QMessageBox::warning(parent, MessageTitle, text);
    else
        QMessageBox::information(parent, MessageTitle, text);
}

void SetMessageAnswerer(MessageAnswerer answerer)
{
    ::answerer() = std::move(answerer);
}
