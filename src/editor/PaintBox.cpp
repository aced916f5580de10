#include "editor/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(const char *name, QWidget *parent, int tag) : QWidget(parent), tag_(tag) {
    setObjectName(QLatin1String(name));
    setFixedSize(320, 240);
}

void TPaintBox::SetPicture(const QImage &picture) {
    picture_ = picture;
    update();
}

void TPaintBox::paintEvent(QPaintEvent *) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    // On a high-DPI screen each screen pixel becomes whole device pixels, never a blur.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(0, 0, picture_);
}

void TPaintBox::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) emit RightClicked(event->position().toPoint());
    QWidget::mousePressEvent(event);
}
