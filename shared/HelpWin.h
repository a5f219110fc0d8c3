#pragma once
#include <QWidget>

class QFrame;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The help window of both programs: one topic at a time, Previous, Next and Contents. For now
// it carries its controls and the list of topics; the help texts come later.
class THelpWin1 : public QWidget {
    Q_OBJECT
public:
    // caption: "Ferrox Help" or "Parlova Help"; topics: the seven contents entries.
    THelpWin1(const QString& caption, const QStringList& topics, QWidget* parent = nullptr);

    QPushButton* PreviousBtn = nullptr;
    QPushButton* NextBtn = nullptr;
    QPushButton* ContentBtn = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QFrame* Panel1 = nullptr;
    QListWidget* ListBox1 = nullptr;
};
