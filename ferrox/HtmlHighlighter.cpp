#include "HtmlHighlighter.h"

#include <QRegularExpression>

namespace {
enum State { Plain = 0, InComment = 1 };
} // namespace

HtmlHighlighter::HtmlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    // Mid-tone colours, readable on the light and the dark styles alike.
    m_tag.setForeground(QColor(0x3d, 0x8b, 0xd9));
    m_tag.setFontWeight(QFont::Bold);
    m_attribute.setForeground(QColor(0xc8, 0x78, 0x2a));
    m_value.setForeground(QColor(0x3a, 0xa0, 0x5a));
    m_entity.setForeground(QColor(0xb0, 0x60, 0xc0));
    m_comment.setForeground(QColor(0x8c, 0x8c, 0x8c));
    m_comment.setFontItalic(true);
}

void HtmlHighlighter::highlightBlock(const QString& text) {
    static const QRegularExpression tag(QStringLiteral("<[/!?]?[A-Za-z][^>]*>?"));
    static const QRegularExpression tagName(QStringLiteral("^<[/!?]?[A-Za-z][\\w:.-]*"));
    static const QRegularExpression attribute(QStringLiteral("\\s([A-Za-z_:][\\w:.-]*)(?=\\s*=)"));
    static const QRegularExpression value(QStringLiteral("\"[^\"]*\"?|'[^']*'?"));
    static const QRegularExpression entity(QStringLiteral("&(#\\d+|#x[0-9A-Fa-f]+|\\w+);"));

    setCurrentBlockState(Plain);
    qsizetype from = 0;
    // A comment left open by an earlier line.
    if (previousBlockState() == InComment) {
        const qsizetype end = text.indexOf(QLatin1String("-->"));
        if (end < 0) {
            setFormat(0, int(text.size()), m_comment);
            setCurrentBlockState(InComment);
            return;
        }
        setFormat(0, int(end + 3), m_comment);
        from = end + 3;
    }

    while (from < text.size()) {
        const qsizetype comment = text.indexOf(QLatin1String("<!--"), from);
        const QRegularExpressionMatch t = tag.match(text, from);
        const qsizetype tagAt = t.hasMatch() ? t.capturedStart() : -1;
        if (comment >= 0 && (tagAt < 0 || comment <= tagAt)) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), comment + 4);
            if (end < 0) {
                setFormat(int(comment), int(text.size() - comment), m_comment);
                setCurrentBlockState(InComment);
                break;
            }
            setFormat(int(comment), int(end + 3 - comment), m_comment);
            from = end + 3;
            continue;
        }
        if (tagAt < 0)
            break;
        const QString inside = t.captured();
        const QRegularExpressionMatch name = tagName.match(inside);
        setFormat(int(tagAt), int(name.capturedLength()), m_tag);
        for (auto it = attribute.globalMatch(inside); it.hasNext();) {
            const QRegularExpressionMatch a = it.next();
            setFormat(int(tagAt + a.capturedStart(1)), int(a.capturedLength(1)), m_attribute);
        }
        for (auto it = value.globalMatch(inside, name.capturedLength()); it.hasNext();) {
            const QRegularExpressionMatch v = it.next();
            setFormat(int(tagAt + v.capturedStart()), int(v.capturedLength()), m_value);
        }
        if (inside.endsWith(QLatin1Char('>')))
            setFormat(int(tagAt + inside.size() - 1), 1, m_tag);
        from = tagAt + inside.size();
    }

    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch e = it.next();
        if (format(int(e.capturedStart())) == QTextCharFormat())
            setFormat(int(e.capturedStart()), int(e.capturedLength()), m_entity);
    }
}
