#include "DspFile.h"
#include "FerroxM.h"
#include "HelpWin.h"
#include "HtmlHighlighter.h"
#include "PictureView.h"
#include "TreeRules.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

TDspFile1::TDspFile1(TFerroxM1* main, QWidget* parent) : QWidget(parent, Qt::Window), m_main(main) {
    setObjectName(QStringLiteral("TDspFile1"));
    setWindowTitle(QStringLiteral("View Files"));
    resize(439, 558);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    TabControl1 = new QTabWidget(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setTabPosition(QTabWidget::South);
    TabItem1 = new QWidget(TabControl1);
    TabItem1->setObjectName(QStringLiteral("TabItem1"));
    TabItem2 = new QWidget(TabControl1);
    TabItem2->setObjectName(QStringLiteral("TabItem2"));
    TabControl1->addTab(TabItem1, QStringLiteral("Photos"));
    TabControl1->addTab(TabItem2, QStringLiteral("Text"));

    auto* photoLayout = new QVBoxLayout(TabItem1);
    photoLayout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(TabItem1);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(true);
    Image1 = new PictureView;
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setWidget(Image1);
    photoLayout->addWidget(ScrollBox1);

    auto* textLayout = new QVBoxLayout(TabItem2);
    textLayout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(TabItem2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    // Nothing is saved from here: the text is for reading only.
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A fixed-width family; its size is left to the style.
    QFont fixed;
    fixed.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    Memo1->setFont(fixed);
    textLayout->addWidget(Memo1);
    m_highlighter = new HtmlHighlighter(nullptr);
    m_highlighter->setParent(this);
    column->addWidget(TabControl1, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    Label1 = new QLabel(bar);
    Label1->setObjectName(QStringLiteral("Label1"));
    // Long paths must not widen the window; the label gives way instead.
    Label1->setMinimumWidth(20);
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto button = [bar](const char* name, const QString& text) {
        auto* b = new QPushButton(text, bar);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    TSelBtn = button("TSelBtn", QStringLiteral("Select"));
    TSelBtn->hide();
    THelpBtn = button("THelpBtn", QStringLiteral("Help"));
    TCloseBtn = button("TCloseBtn", QStringLiteral("Close"));
    row->addWidget(Label1, 1);
    row->addWidget(TSelBtn);
    row->addWidget(THelpBtn);
    row->addWidget(TCloseBtn);
    column->addWidget(bar);

    connect(TCloseBtn, &QPushButton::clicked, this, &TDspFile1::TCloseBtnClick);
    connect(THelpBtn, &QPushButton::clicked, this, &TDspFile1::THelpBtnClick);
    connect(TSelBtn, &QPushButton::clicked, this, &TDspFile1::TSelBtndClick);
    connect(TabControl1, &QTabWidget::currentChanged, this, &TDspFile1::TabControl1Change);
    connect(Image1, &PictureView::doubleClicked, this, &TDspFile1::Image1DblClick);
}

void TDspFile1::ShowPicture(const QImage& picture, const QString& tag, const QString& caption,
                            const QString& requestedPath) {
    m_requestedPath = requestedPath;
    Image1->SetBitmap(picture);
    Image1->TagString = tag;
    ScrollBox1->setWidgetResizable(true);
    TabControl1->setCurrentWidget(TabItem1);
    TabControl1Change(); // also when the page was on view already
    Present(caption);
}

void TDspFile1::ShowText(const QStringList& lines, const QString& caption, const QString& status) {
    TEXT_FILE = status;
    // Coloured once the text is in, and only a text small enough to colour quickly.
    m_highlighter->setDocument(nullptr);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    if (Memo1->document()->characterCount() <= kColourLimit)
        m_highlighter->setDocument(Memo1->document());
    TabControl1->setCurrentWidget(TabItem2);
    TabControl1Change();
    Present(caption);
}

bool TDspFile1::ColoursText() const {
    return m_highlighter->document() != nullptr;
}

QString TDspFile1::PhotoStatus() const {
    return trees::PhotoStatus(Image1->TagString, m_requestedPath);
}

void TDspFile1::Present(const QString& caption) {
    setWindowTitle(caption);
    show();
    raise();
    activateWindow();
}

void TDspFile1::TabControl1Change() {
    Label1->setText(TabControl1->currentWidget() == TabItem1 ? PhotoStatus() : TEXT_FILE);
    Label1->setToolTip(Label1->text());
}

void TDspFile1::Image1DblClick() {
    const bool stretch = !Image1->IsStretched();
    // Stretched, the picture follows the page; at pixel size the page scrolls over it.
    ScrollBox1->setWidgetResizable(stretch);
    Image1->SetStretched(stretch);
}

void TDspFile1::TCloseBtnClick() {
    if (m_main)
        m_main->FRMDISPLAY_FLG = false;
    close();
}

void TDspFile1::THelpBtnClick() {
    if (!m_main)
        return;
    m_main->FRMDISPLAY_FLG = true;
    if (m_main->HelpWin1)
        m_main->HelpWin1->Present();
}

void TDspFile1::TSelBtndClick() {
    close();
}
