// The ruler widget.
#include "ui/RulerBar.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QPainter>

#include "render/Rulers.h"

namespace sw {

RulerBar::RulerBar(bool top, std::function<RulerView()> view, std::function<void(QPoint)> menu,
                   QWidget* parent)
    : QWidget(parent), view_(std::move(view)), menu_(std::move(menu)) {
    if (top)
        setFixedHeight(kRulerThickness);
    else
        setFixedWidth(kRulerThickness);
}

void RulerBar::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) return;
    QImage picture(size(), QImage::Format_RGB32);
    DrawRuler(picture, view_());
    QPainter(this).drawImage(0, 0, picture);
}

void RulerBar::contextMenuEvent(QContextMenuEvent* event) {
    if (menu_) menu_(event->globalPos());
}

}  // namespace sw
