#pragma once
#include <QImage>
#include <QWidget>

// A picture on a page: stretched to fill the page (keeping its proportions), or at its own
// pixel size, for a scroll area around it to scroll. A double-click asks to switch.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return m_picture; }
    void SetBitmap(const QImage& picture);
    // The picture's tag text: what the viewer's status line is made from.
    QString TagString;

    bool IsStretched() const { return m_stretched; }
    // At pixel size the view takes the picture's size; stretched it takes what it is given.
    void SetStretched(bool on);
    // Where the picture is drawn, in the view's coordinates.
    QRect PictureRect() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    bool m_stretched = true;
};
