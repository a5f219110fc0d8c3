#include "SelFoldr.h"
#include "Dialogs.h"
#include "FerroxM.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSelFldr1::TSelFldr1(TFerroxM1* main, QWidget* parent) : QDialog(parent), m_main(main) {
    setObjectName(QStringLiteral("TSelFldr1"));
    setWindowTitle(QStringLiteral("Select Folder"));
    resize(420, 130);

    auto* column = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Select Folder to Contain Files."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    column->addWidget(Label1);

    auto* field = new QHBoxLayout;
    DirectoryEdit1 = new QLineEdit(this);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    DirectoryEdit1->setToolTip(QStringLiteral("Select Folder to Copy Files"));
    BrowseBtn = new QPushButton(QStringLiteral("..."), this);
    BrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
    BrowseBtn->setToolTip(QStringLiteral("Select Folder to Copy Files"));
    BrowseBtn->setAutoDefault(false);
    field->addWidget(DirectoryEdit1, 1);
    field->addWidget(BrowseBtn);
    column->addLayout(field);

    auto* buttons = new QHBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setToolTip(QStringLiteral("Close Ferrox"));
    TCloseBtn = new QPushButton(QStringLiteral("Cancel"), this);
    TCloseBtn->setObjectName(QStringLiteral("TCloseBtn"));
    TCloseBtn->setToolTip(QStringLiteral("Close Ferrox"));
    TCloseBtn->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(TCloseBtn);
    column->addLayout(buttons);

    connect(BrowseBtn, &QPushButton::clicked, this, &TSelFldr1::BrowseBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TSelFldr1::OKBtnClick);
    connect(TCloseBtn, &QPushButton::clicked, this, &TSelFldr1::TCloseBtnClick);
}

void TSelFldr1::BrowseBtnClick() {
    // The picker opens where the field points, else where received files went last.
    QString start = DirectoryEdit1->text().trimmed();
    if (start.isEmpty() && m_main)
        start = m_main->ALTER_PATH;
    const QString dir = Dialogs::ChooseFolder(this, windowTitle(), start);
    if (!dir.isEmpty())
        DirectoryEdit1->setText(QDir::toNativeSeparators(dir));
}

void TSelFldr1::OKBtnClick() {
    if (m_main) {
        m_main->CANCEL_FLG = false;
        m_main->ALTER_PATH = DirectoryEdit1->text();
    }
    accept();
}

void TSelFldr1::TCloseBtnClick() {
    if (m_main)
        m_main->CANCEL_FLG = true;
    reject();
}
