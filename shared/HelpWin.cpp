#include "HelpWin.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

THelpWin1::THelpWin1(const QString& caption, const QStringList& topics, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("THelpWin1"));
    setWindowTitle(caption);
    resize(600, 467);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 5, 6, 5);
    auto button = [bar](const char* name, const QString& text) {
        auto* b = new QPushButton(text, bar);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    PreviousBtn = button("PreviousBtn", QStringLiteral("Previous"));
    NextBtn = button("NextBtn", QStringLiteral("Next"));
    ContentBtn = button("ContentBtn", QStringLiteral("Contents"));
    row->addWidget(PreviousBtn);
    row->addStretch(1);
    row->addWidget(NextBtn);
    row->addStretch(1);
    row->addWidget(ContentBtn);
    column->addWidget(bar);

    auto* body = new QWidget(this);
    auto* bodyRow = new QHBoxLayout(body);
    bodyRow->setContentsMargins(0, 0, 0, 0);
    Panel1 = new QFrame(body);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedSize(132, 162);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems(topics);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    panelLayout->addWidget(ListBox1);
    Panel1->hide();
    bodyRow->addWidget(Panel1, 0, Qt::AlignTop);

    Memo1 = new QPlainTextEdit(body);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    QFont f = Memo1->font();
    f.setPointSize(14);
    Memo1->setFont(f);
    bodyRow->addWidget(Memo1, 1);
    column->addWidget(body, 1);
}
