// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/frameless_window.h"

#include "shell/stored_picture.h"
#include "shell/window_chrome.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <QtMath>

namespace {

// A tiny picture stretched anew on each paint; QLabel's scaled contents
// would keep a window-sized copy (~1 MiB). One of a single colour is a fill:
// smooth stretching costs a window of filtered pixels and Qt's scaling
// threads for the same result.
class StretchedPicture final : public QLabel
{
public:
    StretchedPicture(const QPixmap &picture, QWidget *parent)
        : QLabel(parent)
        , m_picture(picture)
        , m_colour(singleColour(picture.toImage()))
    {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_colour.isValid()) {
            painter.fillRect(contentsRect(), m_colour);
            return;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(contentsRect(), m_picture);
    }

private:
    static QColor singleColour(const QImage &image)
    {
        if (image.isNull())
            return {};
        const QRgb first = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != first)
                    return {};
            }
        }
        return QColor::fromRgba(first);
    }

    QPixmap m_picture;
    QColor m_colour; // invalid unless every pixel is the same
};

} // namespace

FramelessWindow::FramelessWindow(TopEdge topEdge, QWidget *parent)
    : QWidget(parent)
    , m_topEdge(topEdge)
    , m_background(storedPicture(QStringLiteral("background")))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
    // Highlight resets come from moves over the bare backdrop.
    setMouseTracking(true);
}

QList<QLine> FramelessWindow::borderLines() const
{
    const int right = width() - 1;
    const int bottom = height() - 1;
    // The bottom line sits one row above the edge.
    QList<QLine> lines = {{0, 0, 0, bottom}, {0, bottom - 1, right, bottom - 1}, {right, 0, right, bottom}};
    if (m_topEdge == TopEdge::Lined)
        lines.append({0, 0, right, 0});
    return lines;
}

QLabel *FramelessWindow::addPanel(int top, int height)
{
    auto *panel = new StretchedPicture(storedPicture(QStringLiteral("panel")), this);
    panel->setObjectName(QStringLiteral("contentPanel"));
    panel->setGeometry(1, top, width() - 2, height);
    return panel;
}

DragHandle *FramelessWindow::addLogo(const QPoint &position)
{
    auto *logo = new DragHandle(this);
    logo->setObjectName(QStringLiteral("logo"));
    logo->setPixmap(storedPicture(QStringLiteral("logo")));
    logo->setGeometry(QRect(position, QSize(210, 60)));
    connect(logo, &DragHandle::dragRequested, this, &FramelessWindow::startDrag);
    return logo;
}

DragHandle *FramelessWindow::addTitledLogo(const QPoint &position, const QString &title)
{
    auto *mark = new DragHandle(this);
    mark->setObjectName(QStringLiteral("logo"));
    mark->setPixmap(storedPicture(QStringLiteral("logo_mark")));
    mark->setGeometry(QRect(position, QSize(46, 60)));
    connect(mark, &DragHandle::dragRequested, this, &FramelessWindow::startDrag);

    // Text rather than a picture, so it follows the language.
    auto *caption = new DragHandle(title, this);
    caption->setObjectName(QStringLiteral("logoTitle"));
    QFont font = uiFont(9);
    font.setPixelSize(25); // as the logo's own title
    caption->setFont(font);
    // Its own sheet outranks the skin's text colour, which suits the body, not the header.
    caption->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption->setGeometry(position.x() + 56, position.y(), caption->sizeHint().width(), 60);
    connect(caption, &DragHandle::dragRequested, this, &FramelessWindow::startDrag);
    return mark;
}

TitleLink *FramelessWindow::addTitleLink(const QString &name, const QString &caption, const QRect &geometry,
                                         const QFont &font, const QString &toolTip)
{
    auto *link = new TitleLink(caption, this);
    link->setObjectName(name);
    link->setGeometry(geometry);
    link->setFont(font);
    link->setToolTip(toolTip);
    connect(link, &TitleLink::hovered, this, [this, link] { highlight(link); });
    m_titleLinks.append(link);
    return link;
}

void FramelessWindow::highlight(TitleLink *link)
{
    resetTitleLinks();
    link->setTextColor(TitleLinkHighlight);
}

void FramelessWindow::resetTitleLinks()
{
    for (TitleLink *link : std::as_const(m_titleLinks))
        link->setTextColor(TitleLinkNormal);
}

void FramelessWindow::setTabChain(const QList<QWidget *> &body)
{
    QList<QWidget *> chain = body;
    for (TitleLink *link : std::as_const(m_titleLinks))
        chain.append(link);
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void FramelessWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    // The picture is the header band; the body below it is one colour.
    const int bandBottom = qCeil(m_background.height() / m_background.devicePixelRatio());
    painter.fillRect(QRect(0, bandBottom, width(), height() - bandBottom), BodyColor);
    // Each line fills its whole row or column of window pixels, so on a
    // high-DPI screen it still reaches the window's edge.
    for (const QLine &line : borderLines())
        painter.fillRect(QRect(line.p1(), line.p2()).normalized(), BorderColor);
}

void FramelessWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses that other controls let through (labels, disabled boxes) are
    // not presses on the backdrop.
    if (childAt(event->position().toPoint()) == nullptr)
        startDrag();
    event->accept();
}

void FramelessWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (childAt(event->position().toPoint()) == nullptr)
        resetTitleLinks();
    event->accept();
}

void FramelessWindow::startDrag()
{
    emit dragRequested();
    // False where the platform cannot move windows (offscreen, some Wayland setups).
    if (QWindow *handle = windowHandle())
        handle->startSystemMove();
}
