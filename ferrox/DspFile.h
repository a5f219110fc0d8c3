#pragma once
#include <QWidget>

class HtmlHighlighter;
class PictureView;
class QImage;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class TFerroxM1;

// The file viewer: a picture page and a text page, for files of this computer and for those
// the peer sends on request. One window, made at start and reused: each view replaces the
// picture or the text and brings the window forward.
class TDspFile1 : public QWidget {
    Q_OBJECT
public:
    explicit TDspFile1(TFerroxM1* main, QWidget* parent = nullptr);

    QTabWidget* TabControl1 = nullptr;
    QWidget* TabItem1 = nullptr; // "Photos"
    QWidget* TabItem2 = nullptr; // "Text"
    QScrollArea* ScrollBox1 = nullptr;
    PictureView* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* TSelBtn = nullptr;
    QPushButton* THelpBtn = nullptr;
    QPushButton* TCloseBtn = nullptr;
    QString TEXT_FILE; // status line of the text page

    // Texts longer than this many characters are shown without colouring, which would
    // otherwise take longer than reading them.
    static constexpr int kColourLimit = 2 * 1024 * 1024;

    // Shows a picture on the "Photos" page. tag: five blanks + status for a local picture, the
    // message description for one from the peer (requestedPath, the path asked for, tells its
    // path apart from the sender's name).
    void ShowPicture(const QImage& picture, const QString& tag, const QString& caption,
                     const QString& requestedPath = {});
    // Shows lines on the "Text" page; status becomes TEXT_FILE.
    void ShowText(const QStringList& lines, const QString& caption, const QString& status);
    // The status line of the "Photos" page, made from the picture's tag.
    QString PhotoStatus() const;
    bool ColoursText() const;

    void TabControl1Change();
    void Image1DblClick();
    void TCloseBtnClick();
    void THelpBtnClick();
    void TSelBtndClick();

private:
    void Present(const QString& caption);

    TFerroxM1* m_main;
    HtmlHighlighter* m_highlighter = nullptr;
    QString m_requestedPath;
};
