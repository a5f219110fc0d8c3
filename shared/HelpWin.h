#pragma once
#include "HelpTopics.h"
#include <QWidget>
#include <functional>

class QFrame;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// Where help was asked for, read from the main window each time the help window is shown.
struct HelpRequests {
    bool* FRMOPTIONS_FLG = nullptr;
    bool* FRMDISPLAY_FLG = nullptr;     // Ferrox: the file viewer
    std::function<QString()> ActiveTab; // Parlova: title of the main window's active tab
};

// The help window of both programs: one topic at a time, Previous, Next and Contents. The whole
// help text sits in the hidden Memo2; a topic is a range of its lines. The window is made once
// and only shown and hidden afterwards; the contents selection, its visibility and an enlarged
// text survive until the next show, which picks the topic by where help was asked for.
class THelpWin1 : public QWidget {
    Q_OBJECT
public:
    explicit THelpWin1(const HelpVariant& variant, QWidget* parent = nullptr);
    // caption: "Ferrox Help" or "Parlova Help"; picks that program's variant (the topic
    // titles come with it).
    THelpWin1(const QString& caption, const QStringList& topics, QWidget* parent = nullptr);

    void SetRequests(const HelpRequests& requests) { m_requests = requests; }
    const HelpVariant& Variant() const { return m_variant; }

    QFrame* ToolBar1 = nullptr;
    QPushButton* PreviousBtn = nullptr;
    QPushButton* NextBtn = nullptr;
    QPushButton* ContentBtn = nullptr;
    QPlainTextEdit* Memo1 = nullptr; // the topic on view
    QPlainTextEdit* Memo2 = nullptr; // hidden: the whole help text
    QFrame* Panel1 = nullptr;        // Ferrox: holds the contents list; null in Parlova
    QListWidget* ListBox1 = nullptr; // the contents

    // Shows the lines of topic n; a number outside the topics leaves the text empty.
    void ShowHelpTopic(int n);
    void ChooseStartTopic();
    int CurrentTopic() const { return m_topic; }
    // Shows the window, or when it is already up, brings it forward on the topic for the new
    // request.
    void Present();

    void ListBox1Click();
    void PreviousBtnClick();
    void NextBtnClick();
    void ContentBtnClick();
    void Memo1DblClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormResize();
    void LoadText();

    HelpVariant m_variant;
    HelpRequests m_requests;
    QStringList m_lines; // Memo2's text as lines
    int m_topic = 0;
};
