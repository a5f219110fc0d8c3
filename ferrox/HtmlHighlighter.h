#pragma once
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours the markup of HTML and XML in a text: tags, attribute names, quoted values,
// character references and comments (also over several lines). Plain text stays as it is.
class HtmlHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit HtmlHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_tag, m_attribute, m_value, m_entity, m_comment;
};
