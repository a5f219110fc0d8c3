#include "SetOptions.h"
#include "Styles.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TSetOptn1::TSetOptn1(const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSetOptn1"));
    setWindowTitle(caption);
    resize(357, 637);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 5, 6, 5);
    auto button = [bar](const char* name, const QString& text, const QString& hint) {
        auto* b = new QPushButton(text, bar);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    SaveBtn = button("SaveBtn", QStringLiteral("Save"), QStringLiteral("Save Options"));
    AddBtn = button("AddBtn", QStringLiteral("Add"), QString());
    DeleteBtn = button("DeleteBtn", QStringLiteral("Delete"), QString());
    HelpBtn = button("HelpBtn", QStringLiteral("Help"), QStringLiteral("Help with Options"));
    row->addWidget(SaveBtn);
    row->addWidget(AddBtn);
    row->addWidget(DeleteBtn);
    row->addStretch(1);
    row->addWidget(HelpBtn);
    column->addWidget(bar);

    TabControl1 = new QTabWidget(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setTabPosition(QTabWidget::South);
    TabGeneral = new QWidget(TabControl1);
    TabGeneral->setObjectName(QStringLiteral("TabGeneral"));
    TabUsers = new QWidget(TabControl1);
    TabUsers->setObjectName(QStringLiteral("TabUsers"));
    TabStyles = new QWidget(TabControl1);
    TabStyles->setObjectName(QStringLiteral("TabStyles"));
    TabControl1->addTab(TabGeneral, QStringLiteral("General"));
    TabControl1->addTab(TabUsers, QStringLiteral("Users"));
    TabControl1->addTab(TabStyles, QStringLiteral("Styles"));

    auto* stylesLayout = new QVBoxLayout(TabStyles);
    stylesLayout->setContentsMargins(6, 6, 6, 6);
    ListBox1 = new QListWidget(TabStyles);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems(Styles::Names());
    stylesLayout->addWidget(ListBox1);
    column->addWidget(TabControl1, 1);

    connect(ListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (TabControl1->currentWidget() == TabStyles)
            emit StyleClicked(ListBox1->row(item));
    });
    connect(TabControl1, &QTabWidget::currentChanged, this, &TSetOptn1::TabChanged);
    TabChanged();
}

void TSetOptn1::TabChanged() {
    const bool users = TabControl1->currentWidget() == TabUsers;
    AddBtn->setVisible(users);
    DeleteBtn->setVisible(users);
}
