#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TFerroxM1;

// Asks for the folder that received files go into. Its answer is the main window's ALTER_PATH
// (the folder chosen) and CANCEL_FLG (true after Cancel). Closing it any other way leaves both
// as they were.
class TSelFldr1 : public QDialog {
    Q_OBJECT
public:
    explicit TSelFldr1(TFerroxM1* main, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* DirectoryEdit1 = nullptr;
    QPushButton* BrowseBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* TCloseBtn = nullptr;

    // Qt's folder picker, through the dialog seam; a chosen folder goes into the field.
    void BrowseBtnClick();
    void OKBtnClick();
    void TCloseBtnClick();

private:
    TFerroxM1* m_main;
};
