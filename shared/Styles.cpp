#include "Styles.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <cmath>

// .Style file grammar (see docs/styles.md for the user's view):
//
//   style-file = { comment | palette-block | font-block | sheet-text }
//   comment    = "/*" ... "*/"                     (anywhere outside quoted strings)
//   palette-block = "@palette" "{" { role ":" colour ";" } "}"      at most once
//   font-block    = "@font" "{" { ("size" ":" number ["pt"] | "family" ":" name) ";" } "}"
//   sheet-text = a Qt style sheet; everything outside the two blocks
//   colour     = "#rgb" | "#rrggbb" | "#aarrggbb" | SVG colour name
//              | "rgb(" r "," g "," b ")" | "rgba(" r "," g "," b "," a ")"   (0..255 each)
//
// Blocks stand at the top level (outside any rule). Roles not given are derived from
// "window" and "button"; a file without a palette block gets a neutral light palette.

namespace Styles {
namespace {

const QStringList kNames = {
    QStringLiteral("Air"),
    QStringLiteral("Amakrits"),
    QStringLiteral("AquaGraphite"),
    QStringLiteral("Blend"),
    QStringLiteral("Dark"),
    QStringLiteral("BlackLarge"),
    QStringLiteral("BlueLarge"),
    QStringLiteral("GreenLarge"),
    QStringLiteral("GoldenGraphite"),
    QStringLiteral("Copper"),
    QStringLiteral("MaterialOxfordBlue"),
    QStringLiteral("Light"),
    QStringLiteral("BeigeGreen"),
    QStringLiteral("MaterialOxfordBlueSE"),
    QStringLiteral("Win10ModernGreen"),
    QStringLiteral("RubyGraphite"),
    QStringLiteral("GrayGraphite"),
    QStringLiteral("CoralCrystal"),
    QStringLiteral("CoralDark"),
    QStringLiteral("EmeraldCrystal"),
    QStringLiteral("EmeraldDark"),
    QStringLiteral("Diamond"),
    QStringLiteral("Jet"),
    QStringLiteral("Radiant"),
    QStringLiteral("Sterling"),
    QStringLiteral("Vapor"),
    QStringLiteral("Transparent"),
    QStringLiteral("Blue"),
    QStringLiteral("Gray"),
    QStringLiteral("Green"),
    QStringLiteral("Purple"),
    QStringLiteral("Modern"),
    QStringLiteral("Calypso"),
    QStringLiteral("PuertoRico"),
    QStringLiteral("Stellar"),
    QStringLiteral("WedgewoodLight"),
};

// One built-in look: a handful of colours from which the palette and the sheet are made.
struct Look {
    const char* name;
    const char* window;     // window background
    const char* panel;      // tool bar, status bar, headers, tabs
    const char* base;       // lists, trees, edits
    const char* alt;        // alternating rows
    const char* text;       // text everywhere
    const char* button;     // button face
    const char* buttonText; // button text
    const char* accent;     // selection, pressed buttons, focus
    const char* accentText; // text on the accent
    const char* border;
    double points; // text size
    int radius;    // corner radius of buttons, boxes and lists
    bool gradient; // buttons shaded top to bottom
};

// clang-format off
const Look kLooks[] = {
    {"Air",                 "#eef4fa", "#dbe8f5", "#ffffff", "#f2f7fc", "#1d2a38", "#ffffff", "#1d2a38", "#2f7fc8", "#ffffff", "#b3c8de", 10, 4, true},
    {"Amakrits",            "#2b2b2b", "#1f1f1f", "#333333", "#3b3b3b", "#e8e8e8", "#454545", "#f3f3f3", "#e07b1a", "#111111", "#5a5a5a", 10, 3, false},
    {"AquaGraphite",        "#30343a", "#24282d", "#3a3f46", "#434951", "#e6edf3", "#4a525c", "#e6f7fb", "#22b3c9", "#0d1b1e", "#5d6672", 10, 4, true},
    {"Blend",               "#3b3548", "#2e2939", "#453e55", "#4e4661", "#ece6f5", "#5a5070", "#f4effa", "#a184dc", "#160f24", "#6b5f85", 10, 6, true},
    {"Dark",                "#202225", "#17181a", "#2a2c30", "#32353a", "#dcdfe4", "#3a3d42", "#e8eaed", "#3b82f6", "#ffffff", "#4a4d53", 10, 3, false},
    {"BlackLarge",          "#000000", "#111111", "#0b0b0b", "#1c1c1c", "#ffffff", "#262626", "#ffffff", "#ffcc00", "#000000", "#5c5c5c", 14, 4, false},
    {"BlueLarge",           "#0f2747", "#0a1c35", "#143157", "#1b3b68", "#eaf2ff", "#1f4a80", "#ffffff", "#4aa3ff", "#001a33", "#33639e", 14, 4, true},
    {"GreenLarge",          "#12331f", "#0b2515", "#173f27", "#1e4b30", "#eafff0", "#235c39", "#ffffff", "#5fd38a", "#0a2414", "#33764d", 14, 4, true},
    {"GoldenGraphite",      "#2e2c29", "#23211e", "#37342f", "#403c36", "#f1e9d8", "#4a453c", "#ffd978", "#d4a82a", "#1c1607", "#6b5f45", 10, 3, true},
    {"Copper",              "#3a2619", "#2c1c12", "#452e1f", "#503625", "#f6e3d3", "#7a4a2a", "#fff1e6", "#d07a40", "#1f0f05", "#8a5a3a", 10, 5, true},
    {"MaterialOxfordBlue",  "#1c2541", "#141b31", "#212c4d", "#28355b", "#e3e8f4", "#2c3a64", "#ffffff", "#5bc0be", "#0b132b", "#3d4e7e", 10, 2, false},
    {"Light",               "#f5f5f5", "#e8e8e8", "#ffffff", "#f4f4f4", "#222222", "#fafafa", "#222222", "#2f6fd0", "#ffffff", "#c4c4c4", 10, 3, false},
    {"BeigeGreen",          "#f2ead8", "#e6dbc2", "#fffaf0", "#f6efdf", "#3a3326", "#e9dfc7", "#2f4a2a", "#4f7f40", "#ffffff", "#c9b98f", 10, 4, true},
    {"MaterialOxfordBlueSE","#e8ecf5", "#d3dbef", "#ffffff", "#f0f3fa", "#1c2541", "#1c2541", "#ffffff", "#3a506b", "#ffffff", "#9aa7c7", 10, 2, false},
    {"Win10ModernGreen",    "#ffffff", "#f0f0f0", "#ffffff", "#f2f8f4", "#1e1e1e", "#e6e6e6", "#1e1e1e", "#10893e", "#ffffff", "#cccccc", 10, 0, false},
    {"RubyGraphite",        "#2d2b2e", "#222023", "#363337", "#3f3b40", "#eee7ea", "#4a4448", "#ffd6de", "#c0223f", "#ffffff", "#5e555b", 10, 3, true},
    {"GrayGraphite",        "#3c3f41", "#313335", "#45494a", "#4d5254", "#dddddd", "#55595b", "#eeeeee", "#8fa3b3", "#111111", "#62686a", 10, 3, true},
    {"CoralCrystal",        "#fff3ef", "#ffe1d8", "#ffffff", "#fff6f3", "#4a2620", "#ffe9e2", "#7a2e20", "#d9503c", "#ffffff", "#f2b3a5", 10, 8, true},
    {"CoralDark",           "#2a1f1f", "#201717", "#332626", "#3c2d2d", "#f6e1dc", "#4a3232", "#ffd2c8", "#ff7f6a", "#2a0f0a", "#6a4444", 10, 4, false},
    {"EmeraldCrystal",      "#effaf5", "#d7f2e5", "#ffffff", "#f1fbf6", "#103a2a", "#e2f7ec", "#0d5a3c", "#168a5f", "#ffffff", "#a6dcc3", 10, 8, true},
    {"EmeraldDark",         "#0f2a22", "#0a1f19", "#13342a", "#193e33", "#d8f5ea", "#1d4d3e", "#e8fff6", "#2ecc8f", "#06231a", "#2a6654", 10, 4, false},
    {"Diamond",             "#f4f7fb", "#e3e9f2", "#ffffff", "#f6f9fc", "#202938", "#f9fbfe", "#202938", "#3f72b8", "#ffffff", "#c2cedf", 10, 10, true},
    {"Jet",                 "#141414", "#0a0a0a", "#1b1b1b", "#232323", "#f2f2f2", "#2a2a2a", "#ffffff", "#e6e6e6", "#000000", "#3c3c3c", 10, 0, false},
    {"Radiant",             "#fff8e7", "#ffe9b8", "#fffdf6", "#fff6df", "#3d2c00", "#ffd86b", "#3d2c00", "#b86e00", "#ffffff", "#e8c574", 10, 6, true},
    {"Sterling",            "#e6e8ea", "#d4d7da", "#f7f8f9", "#eceef0", "#2a2d31", "#dfe2e5", "#2a2d31", "#56616e", "#ffffff", "#a7adb4", 10, 3, true},
    {"Vapor",               "#241734", "#1a0f27", "#2e1d42", "#36234d", "#f4e8ff", "#3f2760", "#ff9de2", "#ff4fb4", "#1a0f27", "#6b3fa0", 10, 6, true},
    {"Transparent",         "#e9eef3", "#8cffffff", "#b3ffffff", "#b3ebf2f8", "#1f2a33", "#80ffffff", "#1f2a33", "#3a7bb0", "#ffffff", "#59506e8c", 10, 6, false},
    {"Blue",                "#e7f0fb", "#cfe0f6", "#ffffff", "#eef4fc", "#0f2a4a", "#2f6fc0", "#ffffff", "#1d5fb4", "#ffffff", "#9dbbe3", 10, 4, true},
    {"Gray",                "#d9d9d9", "#c8c8c8", "#efefef", "#e4e4e4", "#202020", "#bdbdbd", "#101010", "#505050", "#ffffff", "#9a9a9a", 10, 2, false},
    {"Green",               "#e8f5e4", "#cfe8c7", "#ffffff", "#eff8ec", "#1f3a17", "#357a26", "#ffffff", "#3c7f2b", "#ffffff", "#9ccb8d", 10, 4, true},
    {"Purple",              "#f1ebf8", "#e0d3f0", "#ffffff", "#f5f0fb", "#2e1a47", "#7a4fb3", "#ffffff", "#6a3fa6", "#ffffff", "#c1a9e0", 10, 4, true},
    {"Modern",              "#fafbfc", "#f0f2f5", "#ffffff", "#f6f8fa", "#24292f", "#f3f4f6", "#24292f", "#0969da", "#ffffff", "#d0d7de", 10, 6, false},
    {"Calypso",             "#e6f4f5", "#c9e6e9", "#ffffff", "#eef8f9", "#0e3a40", "#2a7f8b", "#ffffff", "#1f6f7a", "#ffffff", "#8cc4ca", 10, 5, true},
    {"PuertoRico",          "#e5f7f3", "#c3ede3", "#ffffff", "#eefaf7", "#0f3b33", "#45b8a4", "#06251f", "#1f7a6f", "#ffffff", "#88d3c4", 10, 6, true},
    {"Stellar",             "#0b1026", "#070b1c", "#111735", "#171e42", "#dfe6ff", "#1d2756", "#cfd9ff", "#7f5af0", "#ffffff", "#2f3d80", 10, 6, true},
    {"WedgewoodLight",      "#eef3f8", "#d5e1ed", "#ffffff", "#f1f5fa", "#22384f", "#44719e", "#ffffff", "#41709f", "#ffffff", "#a9bfd6", 10, 4, false},
};
// clang-format on

static_assert(sizeof(kLooks) / sizeof(kLooks[0]) == 36);

QColor Mix(const QColor& a, const QColor& b, double t) {
    auto m = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()),
                  m(a.alpha(), b.alpha()));
}

// Colours as the sheet parser reads them; translucent ones as rgba().
QString Css(const QColor& c) {
    if (c.alpha() == 255)
        return c.name();
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

QString PaletteText(const QColor& c) {
    return c.alpha() == 255 ? c.name() : c.name(QColor::HexArgb);
}

const char* const kSheetTemplate = R"(QWidget { color: {text}; }
QMainWindow, QDialog { background-color: {window}; }
#ToolBar1, QToolBar, QStatusBar, QMenuBar { background-color: {panel}; }
#ToolBar1 { border-bottom: 1px solid {border}; }
QStatusBar { border-top: 1px solid {border}; }
QStatusBar QLabel { padding: 2px 8px; background: transparent; }
QLabel { background: transparent; }
QPushButton, QToolButton {
    background: {buttonface};
    color: {buttontext};
    border: 1px solid {border};
    border-radius: {radius}px;
    padding: 4px 14px;
}
QPushButton:hover, QToolButton:hover { background: {buttonhover}; border-color: {accent}; }
QPushButton:focus { border-color: {accent}; }
QPushButton:pressed, QToolButton:pressed, QPushButton:checked {
    background: {accent}; color: {accenttext}; border-color: {accent};
}
QPushButton:disabled, QToolButton:disabled {
    background: {buttondisabled}; color: {disabledtext}; border-color: {borderdisabled};
}
QComboBox, QLineEdit, QSpinBox, QPlainTextEdit, QTextEdit {
    background-color: {base};
    color: {text};
    border: 1px solid {border};
    border-radius: {radius}px;
    padding: 3px 6px;
    selection-background-color: {accent};
    selection-color: {accenttext};
}
QComboBox:hover, QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus { border-color: {accent}; }
QComboBox QAbstractItemView {
    background-color: {base}; color: {text}; border: 1px solid {border};
    selection-background-color: {accent}; selection-color: {accenttext};
}
QTreeView, QListView, QTableView {
    background-color: {base};
    alternate-background-color: {alt};
    color: {text};
    border: 1px solid {border};
    border-radius: {radius}px;
    selection-background-color: {accent};
    selection-color: {accenttext};
}
QHeaderView::section {
    background-color: {panel}; color: {text}; border: none;
    border-bottom: 1px solid {border}; padding: 3px 6px;
}
QSplitter::handle { background-color: {handle}; }
QSplitter::handle:hover { background-color: {accent}; }
QMenu { background-color: {base}; color: {text}; border: 1px solid {border}; padding: 3px; }
QMenu::item { padding: 4px 22px 4px 26px; border-radius: {radius}px; }
QMenu::item:selected { background-color: {accent}; color: {accenttext}; }
QMenu::item:disabled { color: {disabledtext}; }
QTabWidget::pane { border: 1px solid {border}; background-color: {window}; }
QTabBar::tab {
    background: {panel}; color: {text}; border: 1px solid {border};
    padding: 5px 14px; margin: 0 1px;
}
QTabBar::tab:selected { background: {accent}; color: {accenttext}; }
QTabBar::tab:!selected:hover { background: {buttonhover}; }
QGroupBox {
    border: 1px solid {border}; border-radius: {radius}px;
    margin-top: 1.2em; padding-top: 0.4em;
}
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 4px; color: {text}; }
QToolTip { background-color: {tooltip}; color: {text}; border: 1px solid {accent}; padding: 3px; }
)";

QString MakeBuiltIn(const Look& l) {
    const QColor window = QColor::fromString(l.window);
    const QColor panel = QColor::fromString(l.panel);
    const QColor base = QColor::fromString(l.base);
    const QColor alt = QColor::fromString(l.alt);
    const QColor text = QColor::fromString(l.text);
    const QColor button = QColor::fromString(l.button);
    const QColor buttonText = QColor::fromString(l.buttonText);
    const QColor accent = QColor::fromString(l.accent);
    const QColor accentText = QColor::fromString(l.accentText);
    const QColor border = QColor::fromString(l.border);
    const bool dark = window.lightnessF() < 0.5;
    const QColor opaqueButton = button.alpha() == 255 ? button : Mix(window, button, 0.5);
    const QColor disabledText = Mix(text, window, 0.5);
    const QColor tooltip = panel.alpha() == 255 ? panel : Mix(window, QColor(Qt::white), 0.6);

    QString face;
    if (l.gradient) {
        const QColor top = dark ? button.lighter(118) : button.lighter(104);
        const QColor bottom = dark ? button.darker(112) : button.darker(107);
        face = QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)")
                   .arg(Css(top), Css(bottom));
    } else {
        face = Css(button);
    }

    QString sheet = QString::fromLatin1(kSheetTemplate);
    const QHash<QString, QString> tokens = {
        {QStringLiteral("{window}"), Css(window)},
        {QStringLiteral("{panel}"), Css(panel)},
        {QStringLiteral("{base}"), Css(base)},
        {QStringLiteral("{alt}"), Css(alt)},
        {QStringLiteral("{text}"), Css(text)},
        {QStringLiteral("{buttonface}"), face},
        {QStringLiteral("{buttontext}"), Css(buttonText)},
        {QStringLiteral("{buttonhover}"), Css(Mix(opaqueButton, accent, 0.2))},
        {QStringLiteral("{buttondisabled}"), Css(Mix(opaqueButton, window, 0.6))},
        {QStringLiteral("{disabledtext}"), Css(Mix(buttonText, opaqueButton, 0.55))},
        {QStringLiteral("{borderdisabled}"), Css(Mix(border, window, 0.5))},
        {QStringLiteral("{accent}"), Css(accent)},
        {QStringLiteral("{accenttext}"), Css(accentText)},
        {QStringLiteral("{border}"), Css(border)},
        {QStringLiteral("{handle}"), Css(Mix(border, window, 0.3))},
        {QStringLiteral("{tooltip}"), Css(tooltip)},
        {QStringLiteral("{radius}"), QString::number(l.radius)},
    };
    for (auto it = tokens.cbegin(); it != tokens.cend(); ++it)
        sheet.replace(it.key(), it.value());

    QString out;
    out += QStringLiteral("/* %1: a built-in look. Saved as %1.Style in the Styles folder, this\n"
                          "   file replaces it; edit colours, size and rules to taste. */\n")
               .arg(QString::fromLatin1(l.name));
    out += QStringLiteral("@palette {\n");
    const QList<QPair<const char*, QColor>> roles = {
        {"window", window},
        {"window-text", text},
        {"base", base.alpha() == 255 ? base : Mix(window, base, base.alphaF())},
        {"alternate-base", alt.alpha() == 255 ? alt : Mix(window, alt, alt.alphaF())},
        {"text", text},
        {"button", opaqueButton},
        {"button-text", buttonText},
        {"highlight", accent},
        {"highlighted-text", accentText},
        {"tooltip-base", tooltip},
        {"tooltip-text", text},
        {"placeholder-text", Mix(text, base, 0.45)},
        {"link", dark ? accent.lighter(130) : accent.darker(110)},
        {"disabled-text", disabledText},
    };
    for (const auto& r : roles)
        out += QStringLiteral("    %1: %2;\n")
                   .arg(QString::fromLatin1(r.first), PaletteText(r.second));
    out += QStringLiteral("}\n@font {\n    size: %1pt;\n}\n\n").arg(l.points);
    out += sheet;
    return out;
}

const QHash<QString, QPalette::ColorRole>& RoleNames() {
    static const QHash<QString, QPalette::ColorRole> roles = {
        {QStringLiteral("window"), QPalette::Window},
        {QStringLiteral("window-text"), QPalette::WindowText},
        {QStringLiteral("base"), QPalette::Base},
        {QStringLiteral("alternate-base"), QPalette::AlternateBase},
        {QStringLiteral("text"), QPalette::Text},
        {QStringLiteral("button"), QPalette::Button},
        {QStringLiteral("button-text"), QPalette::ButtonText},
        {QStringLiteral("highlight"), QPalette::Highlight},
        {QStringLiteral("highlighted-text"), QPalette::HighlightedText},
        {QStringLiteral("tooltip-base"), QPalette::ToolTipBase},
        {QStringLiteral("tooltip-text"), QPalette::ToolTipText},
        {QStringLiteral("placeholder-text"), QPalette::PlaceholderText},
        {QStringLiteral("bright-text"), QPalette::BrightText},
        {QStringLiteral("link"), QPalette::Link},
        {QStringLiteral("link-visited"), QPalette::LinkVisited},
        {QStringLiteral("light"), QPalette::Light},
        {QStringLiteral("midlight"), QPalette::Midlight},
        {QStringLiteral("mid"), QPalette::Mid},
        {QStringLiteral("dark"), QPalette::Dark},
        {QStringLiteral("shadow"), QPalette::Shadow},
    };
    return roles;
}

bool ParseColour(const QString& text, QColor* out) {
    static const QRegularExpression rgb(QStringLiteral(
        R"(^rgba?\(\s*(\d{1,3})\s*,\s*(\d{1,3})\s*,\s*(\d{1,3})\s*(?:,\s*(\d{1,3})\s*)?\)$)"));
    const auto m = rgb.match(text);
    if (m.hasMatch()) {
        const bool hasAlpha = text.startsWith(QLatin1String("rgba"));
        if (hasAlpha != (m.capturedLength(4) > 0))
            return false;
        int v[4] = {0, 0, 0, 255};
        for (int i = 0; i < (hasAlpha ? 4 : 3); ++i) {
            v[i] = m.captured(i + 1).toInt();
            if (v[i] > 255)
                return false;
        }
        *out = QColor(v[0], v[1], v[2], v[3]);
        return true;
    }
    const QColor c = QColor::fromString(text);
    if (!c.isValid())
        return false;
    *out = c;
    return true;
}

// Splits a block body "key: value; key: value;" into pairs.
bool SplitDeclarations(const QString& body, QList<QPair<QString, QString>>* out, QString* error) {
    const QStringList parts = body.split(QLatin1Char(';'));
    for (int i = 0; i < parts.size(); ++i) {
        const QString decl = parts[i].trimmed();
        if (decl.isEmpty())
            continue;
        const qsizetype colon = decl.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            *error = QStringLiteral("\"%1\" is not of the form name: value").arg(decl.left(60));
            return false;
        }
        out->append({decl.left(colon).trimmed().toLower(), decl.mid(colon + 1).trimmed()});
    }
    return true;
}

bool ParsePalette(const QString& body, QPalette* out, QString* error) {
    QList<QPair<QString, QString>> decls;
    if (!SplitDeclarations(body, &decls, error))
        return false;
    QHash<QString, QColor> given;
    QColor disabledText;
    for (const auto& [key, value] : decls) {
        QColor c;
        if (!ParseColour(value, &c)) {
            *error = QStringLiteral("\"%1\" is not a colour (for %2)").arg(value.left(60), key);
            return false;
        }
        if (key == QLatin1String("disabled-text")) {
            disabledText = c;
            continue;
        }
        if (!RoleNames().contains(key)) {
            *error = QStringLiteral("unknown palette role \"%1\"").arg(key.left(60));
            return false;
        }
        given.insert(key, c);
    }
    const QColor window = given.value(QStringLiteral("window"), QColor(0xef, 0xef, 0xef));
    const QColor button = given.value(QStringLiteral("button"), window);
    QPalette p(button, window);
    for (auto it = given.cbegin(); it != given.cend(); ++it)
        p.setColor(RoleNames().value(it.key()), it.value());
    if (!disabledText.isValid())
        disabledText = Mix(p.color(QPalette::Active, QPalette::WindowText), window, 0.5);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    *out = p;
    return true;
}

bool ParseFont(const QString& body, double* size, QString* family, QString* error) {
    QList<QPair<QString, QString>> decls;
    if (!SplitDeclarations(body, &decls, error))
        return false;
    for (const auto& [key, value] : decls) {
        if (key == QLatin1String("size")) {
            QString v = value;
            if (v.endsWith(QLatin1String("pt")))
                v.chop(2);
            bool ok = false;
            const double pts = v.trimmed().toDouble(&ok);
            if (!ok || pts < 6 || pts > 48) {
                *error = QStringLiteral("font size \"%1\" is not between 6 and 48 points")
                             .arg(value.left(20));
                return false;
            }
            *size = pts;
        } else if (key == QLatin1String("family")) {
            QString v = value;
            if (v.size() >= 2 &&
                (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
                v.back() == v.front())
                v = v.mid(1, v.size() - 2);
            if (v.trimmed().isEmpty() || v.size() > 100) {
                *error = QStringLiteral("font family must be 1 to 100 characters");
                return false;
            }
            *family = v.trimmed();
        } else {
            *error = QStringLiteral("unknown font setting \"%1\"").arg(key.left(60));
            return false;
        }
    }
    return true;
}

// Fusion with check boxes drawn from the palette's text and highlight colours: Fusion's own
// frame derives from the window colour and vanishes on very dark looks.
class LookStyle : public QProxyStyle {
public:
    LookStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_IndicatorCheckBox && element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QPalette& pal = option->palette;
        const bool enabled = option->state & State_Enabled;
        const QColor text =
            pal.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text);
        const QColor base = pal.color(QPalette::Base);
        const QColor accent = pal.color(QPalette::Highlight);
        const int side = qMin(option->rect.width(), option->rect.height()) - 2;
        QRectF box(0, 0, side, side);
        box.moveCenter(QRectF(option->rect).center());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool on = option->state & State_On;
        const bool partial = option->state & State_NoChange;
        painter->setPen(QPen(on || partial ? accent : Mix(text, base, 0.35), 1.2));
        painter->setBrush(on || partial ? (enabled ? accent : Mix(accent, base, 0.5)) : base);
        painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        const QColor mark = pal.color(QPalette::HighlightedText);
        if (on) {
            QPainterPath tick;
            tick.moveTo(box.left() + side * 0.22, box.top() + side * 0.52);
            tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.72);
            tick.lineTo(box.left() + side * 0.78, box.top() + side * 0.30);
            painter->setPen(
                QPen(mark, qMax(1.5, side / 7.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->setBrush(Qt::NoBrush);
            painter->drawPath(tick);
        } else if (partial) {
            painter->setPen(QPen(mark, qMax(1.5, side / 7.0), Qt::SolidLine, Qt::RoundCap));
            painter->drawLine(QPointF(box.left() + side * 0.25, box.center().y()),
                              QPointF(box.right() - side * 0.25, box.center().y()));
        }
        painter->restore();
    }
};

} // namespace

const QStringList& Names() {
    return kNames;
}

int IndexOf(const QString& name) {
    return static_cast<int>(kNames.indexOf(name));
}

bool Parse(const QByteArray& bytes, Style* out, QString* error) {
    QString dummy;
    if (!error)
        error = &dummy;
    if (bytes.size() > kMaxStyleFileBytes) {
        *error = QStringLiteral("the file is larger than %1 bytes").arg(kMaxStyleFileBytes);
        return false;
    }
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError()) {
        *error = QStringLiteral("the file is not UTF-8 text");
        return false;
    }
    if (text.contains(QChar(0))) {
        *error = QStringLiteral("the file is not text");
        return false;
    }

    // One pass: drop comments, lift the @-blocks out, keep the rest as the sheet.
    QString sheet;
    QString paletteBody, fontBody;
    bool havePalette = false, haveFont = false;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            sheet += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            sheet += c;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < text.size() && text[i + 1] == QLatin1Char('*')) {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) {
                *error = QStringLiteral("a comment is not closed");
                return false;
            }
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('{'))
            ++depth;
        if (c == QLatin1Char('}')) {
            if (--depth < 0) {
                *error = QStringLiteral("a \"}\" has no \"{\"");
                return false;
            }
        }
        if (c == QLatin1Char('@') && depth == 0) {
            qsizetype j = i + 1;
            while (j < text.size() && (text[j].isLetter() || text[j] == QLatin1Char('-')))
                ++j;
            const QString word = text.mid(i + 1, j - i - 1);
            while (j < text.size() && text[j].isSpace())
                ++j;
            if (word != QLatin1String("palette") && word != QLatin1String("font")) {
                *error = QStringLiteral("unknown block \"@%1\"").arg(word.left(40));
                return false;
            }
            if (j >= text.size() || text[j] != QLatin1Char('{')) {
                *error = QStringLiteral("\"@%1\" must be followed by \"{\"").arg(word);
                return false;
            }
            // Bodies are plain declarations: the next "}" closes them; comments inside are
            // dropped before the body is read.
            QString body;
            qsizetype k = j + 1;
            bool closed = false;
            while (k < text.size()) {
                if (text[k] == QLatin1Char('/') && k + 1 < text.size() &&
                    text[k + 1] == QLatin1Char('*')) {
                    const qsizetype end = text.indexOf(QLatin1String("*/"), k + 2);
                    if (end < 0) {
                        *error = QStringLiteral("a comment is not closed");
                        return false;
                    }
                    k = end + 2;
                    continue;
                }
                if (text[k] == QLatin1Char('{')) {
                    *error = QStringLiteral("\"@%1\" holds a nested block").arg(word);
                    return false;
                }
                if (text[k] == QLatin1Char('}')) {
                    closed = true;
                    break;
                }
                body += text[k];
                ++k;
            }
            if (!closed) {
                *error = QStringLiteral("\"@%1\" is not closed with \"}\"").arg(word);
                return false;
            }
            bool& seen = word == QLatin1String("palette") ? havePalette : haveFont;
            if (seen) {
                *error = QStringLiteral("\"@%1\" is given twice").arg(word);
                return false;
            }
            seen = true;
            (word == QLatin1String("palette") ? paletteBody : fontBody) = body;
            i = k;
            continue;
        }
        sheet += c;
    }
    if (!quote.isNull()) {
        *error = QStringLiteral("a quoted text is not closed");
        return false;
    }
    if (depth != 0) {
        *error = QStringLiteral("a \"{\" is not closed");
        return false;
    }

    Style s;
    if (!ParsePalette(paletteBody, &s.palette, error))
        return false;
    if (haveFont && !ParseFont(fontBody, &s.pointSize, &s.fontFamily, error))
        return false;
    s.sheet = sheet.trimmed();
    *out = s;
    return true;
}

QString BuiltInText(const QString& name) {
    for (const Look& l : kLooks) {
        if (name == QLatin1String(l.name))
            return MakeBuiltIn(l);
    }
    return {};
}

Loaded Load(const QString& stylePath, const QString& name) {
    Loaded r;
    r.path = stylePath + name + QStringLiteral(".Style");
    const QFileInfo info(r.path);
    if (info.exists()) {
        r.fromFile = true;
        if (!info.isFile()) {
            r.error = QStringLiteral("%1 is not a file").arg(r.path);
            return r;
        }
        if (info.size() > kMaxStyleFileBytes) {
            r.error =
                QStringLiteral("%1 is larger than %2 bytes").arg(r.path).arg(kMaxStyleFileBytes);
            return r;
        }
        QFile f(r.path);
        if (!f.open(QIODevice::ReadOnly)) {
            r.error = QStringLiteral("%1 cannot be read: %2").arg(r.path, f.errorString());
            return r;
        }
        const QByteArray bytes = f.read(kMaxStyleFileBytes + 1);
        QString why;
        if (!Parse(bytes, &r.style, &why)) {
            r.error = QStringLiteral("%1: %2").arg(r.path, why);
            return r;
        }
    } else {
        const QString text = BuiltInText(name);
        if (text.isEmpty()) {
            r.error = QStringLiteral("there is no style named \"%1\"").arg(name);
            return r;
        }
        QString why;
        if (!Parse(text.toUtf8(), &r.style, &why)) {
            r.error = QStringLiteral("built-in style %1: %2").arg(name, why);
            return r;
        }
    }
    r.style.name = name;
    r.ok = true;
    return r;
}

void Apply(const Style& style) {
    // Fusion draws everything from the palette, so every look comes out the same on every
    // desktop; the font in force before the first style is the base for sizes and families.
    static const QFont baseFont = QApplication::font();
    static QStyle* look = nullptr;
    if (!look) {
        look = new LookStyle;
        QApplication::setStyle(look); // the application owns it from here
    }
    QFont font = baseFont;
    if (!style.fontFamily.isEmpty())
        font.setFamily(style.fontFamily);
    if (style.pointSize > 0)
        font.setPointSizeF(style.pointSize);
    QApplication::setFont(font);
    QApplication::setPalette(style.palette);
    qApp->setStyleSheet(style.sheet);
}

double Contrast(const QColor& a, const QColor& b) {
    auto lum = [](const QColor& c) {
        auto ch = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace Styles
