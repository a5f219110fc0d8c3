#include "ColorCombo.h"
#include <QPainter>
#include <QPixmap>

namespace {
QIcon Swatch(const QColor& c) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::gray);
    p.setBrush(c);
    p.drawRect(0, 0, 15, 15);
    return QIcon(pm);
}

constexpr int kUnnamedRole = Qt::UserRole + 1;
} // namespace

ColorCombo::ColorCombo(QWidget* parent) : QComboBox(parent) {
    const QStringList names = QColor::colorNames();
    for (const QString& n : names) {
        const QColor c = QColor::fromString(n);
        addItem(Swatch(c), n, c);
    }
}

QColor ColorCombo::color() const {
    const QVariant v = currentData();
    return v.isValid() ? v.value<QColor>() : QColor();
}

void ColorCombo::setColor(const QColor& c) {
    const QRgb wanted = c.rgba();
    for (int i = 0; i < count(); ++i) {
        if (itemData(i).value<QColor>().rgba() == wanted) {
            setCurrentIndex(i);
            return;
        }
    }
    // No name for this one: keep a single unnamed entry at the top and reuse it.
    if (count() == 0 || !itemData(0, kUnnamedRole).toBool()) {
        insertItem(0, QString());
        setItemData(0, true, kUnnamedRole);
    }
    setItemText(0, QStringLiteral("#%1").arg(wanted, 8, 16, QLatin1Char('0')).toUpper());
    setItemIcon(0, Swatch(c));
    setItemData(0, c);
    setCurrentIndex(0);
}
