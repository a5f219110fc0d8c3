#include "PictureView.h"

#include <QMouseEvent>
#include <QPainter>

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(1, 1);
}

void PictureView::SetBitmap(const QImage& picture) {
    m_picture = picture;
    SetStretched(true);
    update();
}

void PictureView::SetStretched(bool on) {
    m_stretched = on;
    if (!on && !m_picture.isNull())
        resize(m_picture.size());
    updateGeometry();
    update();
}

QSize PictureView::sizeHint() const {
    return m_stretched || m_picture.isNull() ? QSize(1, 1) : m_picture.size();
}

QRect PictureView::PictureRect() const {
    if (m_picture.isNull())
        return {};
    if (!m_stretched)
        return QRect(QPoint(0, 0), m_picture.size());
    const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void PictureView::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_stretched);
    painter.drawImage(PictureRect(), m_picture);
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
