#include "TreeIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

// Every picture is drawn on a 32 x 32 grid and scaled, so small sizes stay crisp.
using Draw = std::function<void(QPainter&)>;

const QColor kOutline(0x4a, 0x4f, 0x57);

void Page(QPainter& p, const QColor& fill = QColor(0xfb, 0xfb, 0xfd)) {
    QPainterPath path;
    path.moveTo(7, 3);
    path.lineTo(20, 3);
    path.lineTo(26, 9);
    path.lineTo(26, 29);
    path.lineTo(7, 29);
    path.closeSubpath();
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(fill);
    p.drawPath(path);
    QPainterPath fold;
    fold.moveTo(20, 3);
    fold.lineTo(20, 9);
    fold.lineTo(26, 9);
    p.setBrush(QColor(0xd8, 0xdc, 0xe3));
    p.drawPath(fold);
}

void ClosedFolder(QPainter& p) {
    p.setPen(QPen(QColor(0x9c, 0x6f, 0x12), 1.4));
    p.setBrush(QColor(0xe0, 0xa8, 0x32));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(15, 11);
    back.lineTo(29, 11);
    back.lineTo(29, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(0xf2, 0xc4, 0x5a));
    p.drawRect(QRectF(3, 13, 26, 14));
}

void OpenFolder(QPainter& p) {
    ClosedFolder(p);
    // The open flap lies over the closed folder, tilted towards the viewer.
    p.setPen(QPen(QColor(0x9c, 0x6f, 0x12), 1.4));
    p.setBrush(QColor(0xfb, 0xdc, 0x8c));
    QPainterPath flap;
    flap.moveTo(7, 15);
    flap.lineTo(31, 15);
    flap.lineTo(27, 27);
    flap.lineTo(3, 27);
    flap.closeSubpath();
    p.drawPath(flap);
}

void TextIcon(QPainter& p) {
    Page(p);
    p.setPen(QPen(QColor(0x5b, 0x7d, 0xb1), 1.6));
    for (int y = 13; y <= 25; y += 4)
        p.drawLine(QPointF(10, y), QPointF(y == 25 ? 18 : 23, y));
}

void DataBaseIcon(QPainter& p) {
    const QColor body(0x3f, 0x78, 0xc4), top(0x7d, 0xaa, 0xe6);
    p.setPen(QPen(QColor(0x24, 0x4f, 0x8a), 1.4));
    p.setBrush(body);
    QPainterPath can;
    can.moveTo(6, 8);
    can.lineTo(6, 25);
    can.arcTo(QRectF(6, 21, 20, 8), 180, 180);
    can.lineTo(26, 8);
    can.closeSubpath();
    p.drawPath(can);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 13, 20, 8), 180 * 16, 180 * 16);
    p.drawArc(QRectF(6, 18, 20, 8), 180 * 16, 180 * 16);
    p.setBrush(top);
    p.drawEllipse(QRectF(6, 4, 20, 8));
}

void ImageIcon(QPainter& p) {
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(QColor(0x9f, 0xd3, 0xf5));
    p.drawRect(QRectF(3, 6, 26, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x2c));
    p.drawEllipse(QRectF(19, 9, 6, 6));
    p.setBrush(QColor(0x3d, 0x9a, 0x4a));
    QPainterPath hills;
    hills.moveTo(4, 26);
    hills.lineTo(12, 15);
    hills.lineTo(18, 22);
    hills.lineTo(21, 19);
    hills.lineTo(28, 26);
    hills.closeSubpath();
    p.drawPath(hills);
}

void VideoIcon(QPainter& p) {
    p.setPen(QPen(QColor(0x22, 0x22, 0x2a), 1.2));
    p.setBrush(QColor(0x3a, 0x3c, 0x48));
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xe8, 0xee));
    for (int x = 5; x <= 25; x += 5) {
        p.drawRect(QRectF(x, 7, 3, 2.5));
        p.drawRect(QRectF(x, 22.5, 3, 2.5));
    }
    p.setBrush(QColor(0xe5, 0x4b, 0x4b));
    QPolygonF play({QPointF(13, 11.5), QPointF(21, 16), QPointF(13, 20.5)});
    p.drawPolygon(play);
}

void MusicIcon(QPainter& p) {
    const QColor c(0x8a, 0x3f, 0xc2);
    p.setPen(QPen(c, 2.2));
    p.drawLine(QPointF(12, 23), QPointF(12, 7));
    p.drawLine(QPointF(25, 20), QPointF(25, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF beam({QPointF(11, 6), QPointF(26, 3), QPointF(26, 8), QPointF(11, 11)});
    p.drawPolygon(beam);
    p.drawEllipse(QRectF(5, 20, 8, 6.5));
    p.drawEllipse(QRectF(18, 17, 8, 6.5));
}

void SoundIcon(QPainter& p) {
    p.setPen(QPen(QColor(0x1c, 0x6e, 0x73), 1.4));
    p.setBrush(QColor(0x2a, 0x9d, 0xa4));
    QPolygonF speaker({QPointF(4, 12), QPointF(10, 12), QPointF(17, 6), QPointF(17, 26),
                       QPointF(10, 20), QPointF(4, 20)});
    p.drawPolygon(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x2a, 0x9d, 0xa4), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(14, 6, 14, 20), -60 * 16, 120 * 16);
}

void ZipIcon(QPainter& p) {
    Page(p, QColor(0xf6, 0xe3, 0xa0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x4a, 0x20));
    for (int y = 4; y < 20; y += 3)
        p.drawRect(QRectF(y % 2 ? 14 : 16, y, 3, 1.8));
    p.setBrush(QColor(0x8a, 0x8f, 0x99));
    p.drawRoundedRect(QRectF(13, 20, 7, 7), 1.5, 1.5);
}

void UnknownIcon(QPainter& p) {
    Page(p);
    QFont f;
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x6b, 0x72, 0x80));
    p.drawText(QRectF(7, 9, 19, 20), Qt::AlignCenter, QStringLiteral("?"));
}

void DeleteIcon(QPainter& p) {
    p.setPen(QPen(QColor(0x9b, 0x1c, 0x1c), 1.2));
    p.setBrush(QColor(0xdc, 0x35, 0x35));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void DelallIcon(QPainter& p) {
    p.setPen(QPen(QColor(0x55, 0x5b, 0x66), 1.4));
    p.setBrush(QColor(0xb8, 0xbe, 0xc8));
    p.drawRect(QRectF(6, 7, 20, 3));
    p.drawRect(QRectF(13, 4, 6, 3));
    QPainterPath bin;
    bin.moveTo(8, 10);
    bin.lineTo(24, 10);
    bin.lineTo(22, 29);
    bin.lineTo(10, 29);
    bin.closeSubpath();
    p.drawPath(bin);
    p.setPen(QPen(QColor(0xc0, 0x2a, 0x2a), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 14), QPointF(20, 25));
    p.drawLine(QPointF(20, 14), QPointF(12, 25));
}

void RunTimeIcon(QPainter& p) {
    p.setPen(QPen(QColor(0x24, 0x4f, 0x8a), 1.4));
    p.setBrush(QColor(0xee, 0xf3, 0xfa));
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 2, 2);
    p.setBrush(QColor(0x3f, 0x78, 0xc4));
    p.drawRect(QRectF(3, 5, 26, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x9d, 0x4f));
    QPolygonF run({QPointF(13, 14), QPointF(21, 19), QPointF(13, 24)});
    p.drawPolygon(run);
}

struct Entry {
    const char* name;
    void (*draw)(QPainter&);
};

const Entry kEntries[TreeIcons::Count] = {
    {"Closed", ClosedFolder},   {"Open", OpenFolder},   {"Text", TextIcon},
    {"DataBase", DataBaseIcon}, {"Image", ImageIcon},   {"Video", VideoIcon},
    {"Music", MusicIcon},       {"Sound", SoundIcon},   {"ZipFile", ZipIcon},
    {"Unknown", UnknownIcon},   {"Delete", DeleteIcon}, {"Delall", DelallIcon},
    {"RunTime", RunTimeIcon},
};

QIcon Render(void (*draw)(QPainter&)) {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

TreeIcons::TreeIcons(QObject* parent) : QObject(parent) {
    m_icons.reserve(Count);
    for (const Entry& e : kEntries)
        m_icons.push_back(Render(e.draw));
}

QIcon TreeIcons::icon(int index) const {
    return index >= 0 && index < count() ? m_icons[index] : QIcon();
}

QString TreeIcons::name(int index) const {
    return index >= 0 && index < Count ? QString::fromLatin1(kEntries[index].name) : QString();
}
