#include "DspFile.h"
#include "FerroxM.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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
    Image1 = new QLabel(TabItem1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setScaledContents(true);
    Image1->setMinimumSize(1, 1);
    photoLayout->addWidget(Image1);

    auto* textLayout = new QVBoxLayout(TabItem2);
    textLayout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(TabItem2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    textLayout->addWidget(Memo1);
    column->addWidget(TabControl1, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    Label1 = new QLabel(bar);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto button = [bar](const char* name, const QString& text) {
        auto* b = new QPushButton(text, bar);
        b->setObjectName(QLatin1String(name));
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
    connect(TSelBtn, &QPushButton::clicked, this, &QWidget::close);
}

void TDspFile1::TCloseBtnClick() {
    if (m_main)
        m_main->FRMDISPLAY_FLG = false;
    close();
}
