#include "HelpWin.h"

#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextOption>
#include <QVBoxLayout>

namespace {
constexpr int kToolBarHeight = 40;
constexpr int kButtonWidth = 80;

const HelpVariant& VariantFor(const QString& caption) {
    return caption == ParlovaHelp().caption ? ParlovaHelp() : FerroxHelp();
}
} // namespace

THelpWin1::THelpWin1(const QString& caption, const QStringList& topics, QWidget* parent)
    : THelpWin1(VariantFor(caption), parent) {
    setWindowTitle(caption);
    // Titles given by the caller win, so a program can rename its contents entries.
    for (int i = 0; i < topics.size() && i < ListBox1->count(); ++i)
        ListBox1->item(i)->setText(topics.at(i));
}

THelpWin1::THelpWin1(const HelpVariant& variant, QWidget* parent)
    : QWidget(parent, Qt::Window), m_variant(variant) {
    setObjectName(QStringLiteral("THelpWin1"));
    setWindowTitle(m_variant.caption);
    resize(m_variant.clientSize);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    ToolBar1 = new QFrame(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(kToolBarHeight);
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    PreviousBtn = button("PreviousBtn", QStringLiteral("Previous"));
    NextBtn = button("NextBtn", QStringLiteral("Next"));
    ContentBtn = button("ContentBtn", QStringLiteral("Contents"));
    column->addWidget(ToolBar1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    QTextOption centred(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->document()->setDefaultTextOption(centred);
    QFont f = Memo1->font();
    f.setPointSize(14);
    Memo1->setFont(f);
    Memo1->viewport()->installEventFilter(this);
    column->addWidget(Memo1, 1);

    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->hide();
    LoadText();

    // The contents list floats over the text, at its left edge, until it is asked for.
    QWidget* listParent = Memo1;
    if (m_variant.contentsInPanel) {
        Panel1 = new QFrame(this);
        Panel1->setObjectName(QStringLiteral("Panel1"));
        Panel1->setFrameShape(QFrame::StyledPanel);
        Panel1->resize(m_variant.contentsSize);
        auto* panelLayout = new QVBoxLayout(Panel1);
        panelLayout->setContentsMargins(0, 0, 0, 0);
        listParent = Panel1;
    }
    ListBox1 = new QListWidget(listParent);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (const HelpTopic& t : m_variant.topics)
        ListBox1->addItem(t.title);
    if (Panel1) {
        Panel1->layout()->addWidget(ListBox1);
        Panel1->hide();
    } else {
        ListBox1->setGeometry(QRect(QPoint(0, 0), m_variant.contentsSize));
    }
    ListBox1->hide();
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);

    connect(ListBox1, &QListWidget::itemClicked, this, &THelpWin1::ListBox1Click);
    connect(PreviousBtn, &QPushButton::clicked, this, &THelpWin1::PreviousBtnClick);
    connect(NextBtn, &QPushButton::clicked, this, &THelpWin1::NextBtnClick);
    connect(ContentBtn, &QPushButton::clicked, this, &THelpWin1::ContentBtnClick);
    FormResize();
}

void THelpWin1::LoadText() {
    QFile f(m_variant.textResource);
    QString text;
    if (f.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(f.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    Memo2->setPlainText(text);
    m_lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void THelpWin1::ShowHelpTopic(int n) {
    m_topic = n;
    Memo1->setPlainText(TopicLines(m_lines, m_variant, n).join(QLatin1Char('\n')));
}

void THelpWin1::ChooseStartTopic() {
    int topic = 1;
    const bool fromOptions = m_requests.FRMOPTIONS_FLG && *m_requests.FRMOPTIONS_FLG;
    if (m_variant.tabTopics.isEmpty()) {
        const bool fromDisplay = m_requests.FRMDISPLAY_FLG && *m_requests.FRMDISPLAY_FLG;
        topic = FerroxStartTopic(fromOptions, fromDisplay);
    } else {
        const QString tab = m_requests.ActiveTab ? m_requests.ActiveTab() : QString();
        topic = ParlovaStartTopic(m_variant, tab, fromOptions);
    }
    if (m_requests.FRMOPTIONS_FLG)
        *m_requests.FRMOPTIONS_FLG = false;
    if (m_requests.FRMDISPLAY_FLG)
        *m_requests.FRMDISPLAY_FLG = false;
    ShowHelpTopic(topic);
}

void THelpWin1::Present() {
    if (isVisible())
        ChooseStartTopic();
    else
        show();
    raise();
    activateWindow();
}

void THelpWin1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        ChooseStartTopic();
}

void THelpWin1::ListBox1Click() {
    if (ListBox1->currentRow() >= 0)
        ShowHelpTopic(ListBox1->currentRow() + 1);
}

void THelpWin1::PreviousBtnClick() {
    const int row = ListBox1->currentRow();
    if (row <= 0)
        return;
    ListBox1->setCurrentRow(row - 1);
    ShowHelpTopic(row);
}

void THelpWin1::NextBtnClick() {
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= ListBox1->count() - 1)
        return;
    ListBox1->setCurrentRow(row + 1);
    ShowHelpTopic(row + 2);
}

void THelpWin1::ContentBtnClick() {
    if (ListBox1->isVisible()) {
        ListBox1->hide();
        if (Panel1)
            Panel1->hide();
        ContentBtn->setText(QStringLiteral("Contents"));
        FormResize();
        return;
    }
    ContentBtn->setText(QStringLiteral("No Contents"));
    ListBox1->show();
    if (Panel1) {
        Panel1->show();
        Panel1->raise();
        // One unit wider, so the layout runs again with the panel in place.
        resize(width() + 1, height());
    }
    ListBox1->raise();
    FormResize();
}

void THelpWin1::Memo1DblClick() {
    QFont f = Memo1->font();
    f.setPointSizeF(f.pointSizeF() + 1);
    Memo1->setFont(f);
}

bool THelpWin1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Memo1DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void THelpWin1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void THelpWin1::FormResize() {
    const int h = std::max(PreviousBtn->sizeHint().height(), 26);
    const int y = (kToolBarHeight - h) / 2;
    auto bw = [](QPushButton* b) { return std::max(kButtonWidth, b->sizeHint().width()); };
    PreviousBtn->setGeometry(6, y, bw(PreviousBtn), h);
    NextBtn->setGeometry(NextBtnX(width(), bw(NextBtn)), y, bw(NextBtn), h);
    ContentBtn->setGeometry(ContentBtnX(width(), bw(ContentBtn)), y, bw(ContentBtn), h);
    if (Panel1)
        Panel1->move(-5, kToolBarHeight);
}
