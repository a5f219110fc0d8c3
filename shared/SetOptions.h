#pragma once
#include <QDialog>

class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;

// The options dialog of both programs. For now it carries its frame and the Styles tab: a click
// on a style name asks the program to apply that style at once (StyleClicked). The General and
// Users tabs are empty frames.
class TSetOptn1 : public QDialog {
    Q_OBJECT
public:
    // caption: "Ferrox Options" or "Parlova".
    explicit TSetOptn1(const QString& caption, QWidget* parent = nullptr);

    QPushButton* SaveBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QTabWidget* TabControl1 = nullptr;
    QWidget* TabGeneral = nullptr;
    QWidget* TabUsers = nullptr;
    QWidget* TabStyles = nullptr;
    QListWidget* ListBox1 = nullptr; // the style list, in settings order

signals:
    // A style line was clicked while the Styles tab shows: its position in the style list.
    void StyleClicked(int index);

private:
    void TabChanged();
};
