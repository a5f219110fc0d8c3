#pragma once
#include <QColor>
#include <QComboBox>

// A combo box of the named colours Qt knows, each with a swatch. Given a colour that has no
// name it shows it as "#AARRGGBB" in an extra first entry, so any stored colour round-trips.
class ColorCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ColorCombo(QWidget* parent = nullptr);
    QColor color() const;
    quint32 rgba() const { return color().rgba(); }
    void setColor(const QColor& c);
    void setRgba(quint32 argb) { setColor(QColor::fromRgba(argb)); }
};
