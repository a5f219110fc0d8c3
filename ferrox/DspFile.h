#pragma once
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TFerroxM1;

// The file viewer: a picture page and a text page. For now it carries its controls and its
// Close button; showing local and remote files comes with file viewing.
class TDspFile1 : public QWidget {
    Q_OBJECT
public:
    explicit TDspFile1(TFerroxM1* main, QWidget* parent = nullptr);

    QTabWidget* TabControl1 = nullptr;
    QWidget* TabItem1 = nullptr; // "Photos"
    QWidget* TabItem2 = nullptr; // "Text"
    QLabel* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* TSelBtn = nullptr;
    QPushButton* THelpBtn = nullptr;
    QPushButton* TCloseBtn = nullptr;
    QString TEXT_FILE;

    void TCloseBtnClick();

private:
    TFerroxM1* m_main;
};
