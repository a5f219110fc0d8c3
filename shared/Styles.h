#pragma once
#include <QByteArray>
#include <QPalette>
#include <QString>
#include <QStringList>

// The looks both programs offer. A style is a Qt style sheet plus a palette and a text size,
// written in a ".Style" file (format in docs/styles.md). Each of the 36 names has a built-in
// look that ships inside the program; a file of that name in the styles folder replaces it.
namespace Styles {

// The 36 style names in settings order: a stored style index is a position in this list.
const QStringList& Names();
// Position of name in Names(), -1 when unknown (exact, case-sensitive).
int IndexOf(const QString& name);

struct Style {
    QString name;
    QPalette palette;
    double pointSize = 0; // 0: keep the application's size
    QString fontFamily;   // empty: keep the application's family
    QString sheet;        // Qt style sheet
};

// Largest style file accepted; anything bigger is refused unread.
constexpr qint64 kMaxStyleFileBytes = 1024 * 1024;

// Parses the bytes of a .Style file. On failure returns false, leaves *out untouched and
// says why in *error.
bool Parse(const QByteArray& bytes, Style* out, QString* error);

// The built-in style of that name as .Style file text; empty for an unknown name.
QString BuiltInText(const QString& name);

struct Loaded {
    bool ok = false;
    bool fromFile = false; // false: the built-in look was used
    QString path;          // the file that was read or looked for
    QString error;
    Style style;
};
// Reads stylePath + name + ".Style" when that file exists, otherwise the built-in look of
// that name. ok is false for an unknown name without a file, and for a file that cannot be
// read or parsed (error says why).
Loaded Load(const QString& stylePath, const QString& name);

// Makes the style the look of every window of the application.
void Apply(const Style& style);

// Relative luminance contrast of two colours (1 to 21), as used for readable text.
double Contrast(const QColor& a, const QColor& b);

} // namespace Styles
