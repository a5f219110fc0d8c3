#pragma once
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

// What differs between the two programs' help windows, as data: the topics with their line
// ranges in the help text, the text itself, the caption and the sizes. The help text is one
// list of lines; a topic is an inclusive range of 0-based line numbers in it, and
// neighbouring topics share their blank boundary line.
struct HelpTopic {
    QString title; // the contents entry
    int firstLine = 0;
    int lastLine = 0;
};

struct HelpVariant {
    QString caption;
    QSize clientSize;
    QString textResource; // the help text, built into the program
    int textLines = 0;    // lines the topic ranges were laid out for
    QVector<HelpTopic> topics;
    // Ferrox keeps the contents list in a panel of its own beside the text; Parlova lays the
    // list straight onto the text's top-left corner.
    bool contentsInPanel = true;
    QSize contentsSize;
    // Main-window tab titles that choose a start topic (Parlova); empty in Ferrox.
    QStringList tabTopics;
    int optionsTopic = 6; // topic opened from the options dialog
};

const HelpVariant& FerroxHelp();
const HelpVariant& ParlovaHelp();

// The lines of topic n (1-based); empty for a number outside the topics, and for a text too
// short to hold the range.
QStringList TopicLines(const QStringList& text, const HelpVariant& variant, int topic);

// The topic the window opens on, by where help was asked for. The viewer wins over the
// options dialog.
int FerroxStartTopic(bool fromOptions, bool fromDisplay);
// Parlova: the topic of the main window's active tab, the options topic when asked from the
// options dialog; topic 1 for a tab that has no topic of its own.
int ParlovaStartTopic(const HelpVariant& variant, const QString& activeTab, bool fromOptions);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(double value);
// Tool-bar layout on resize: NextBtn sits near the middle, ContentBtn 30 from the right.
int NextBtnX(int windowWidth, int buttonWidth);
int ContentBtnX(int windowWidth, int buttonWidth);
