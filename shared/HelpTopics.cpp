#include "HelpTopics.h"
#include <cmath>

const HelpVariant& FerroxHelp() {
    static const HelpVariant v{
        QStringLiteral("Ferrox Help"),
        QSize(600, 467),
        QStringLiteral(":/help/ferrox.txt"),
        120,
        {
            {QStringLiteral("Introduction"), 0, 40},
            // The folder trees are explained inside the introduction; this topic is its
            // second half, so both stay in step.
            {QStringLiteral("Directories"), 13, 40},
            {QStringLiteral("View Files"), 40, 49},
            {QStringLiteral("Send Files"), 49, 59},
            {QStringLiteral("Get Files"), 59, 72},
            {QStringLiteral("Options"), 72, 113},
            {QStringLiteral("About"), 114, 116},
        },
        true,
        QSize(132, 162),
        {},
        6,
    };
    return v;
}

const HelpVariant& ParlovaHelp() {
    static const HelpVariant v{
        QStringLiteral("Parlova Help"),
        QSize(440, 467),
        QStringLiteral(":/help/parlova.txt"),
        148,
        {
            {QStringLiteral("Chat / Send Files"), 0, 60},
            {QStringLiteral("ThumbNails"), 60, 66},
            {QStringLiteral("Favorites"), 67, 74},
            {QStringLiteral("History"), 75, 82},
            {QStringLiteral("Cloud"), 82, 92},
            {QStringLiteral("Options"), 93, 122},
            {QStringLiteral("About"), 122, 142},
        },
        false,
        QSize(131, 161),
        {QStringLiteral("Chat / Share"), QStringLiteral("ThumbNails"), QStringLiteral("Favorites"),
         QStringLiteral("History"), QStringLiteral("Cloud")},
        7, // Parlova's options dialog opens on About
    };
    return v;
}

QStringList TopicLines(const QStringList& text, const HelpVariant& variant, int topic) {
    if (topic < 1 || topic > variant.topics.size())
        return {};
    const HelpTopic& t = variant.topics.at(topic - 1);
    if (t.lastLine >= text.size())
        return {};
    return text.mid(t.firstLine, t.lastLine - t.firstLine + 1);
}

int FerroxStartTopic(bool fromOptions, bool fromDisplay) {
    if (fromDisplay)
        return 3;
    return fromOptions ? 6 : 1;
}

int ParlovaStartTopic(const HelpVariant& variant, const QString& activeTab, bool fromOptions) {
    if (fromOptions)
        return variant.optionsTopic;
    const qsizetype i = variant.tabTopics.indexOf(activeTab);
    return i < 0 ? 1 : int(i) + 1;
}

int RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is to-nearest-even unless someone
    // changed it; std::rint would too. Do it explicitly so nothing global can change it.
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff > 0.5)
        return int(lower) + 1;
    if (diff < 0.5)
        return int(lower);
    return std::fmod(lower, 2.0) == 0.0 ? int(lower) : int(lower) + 1;
}

int NextBtnX(int windowWidth, int buttonWidth) {
    return RoundHalfEven(windowWidth / 2.15) - RoundHalfEven(buttonWidth / 2.1);
}

int ContentBtnX(int windowWidth, int buttonWidth) {
    return windowWidth - buttonWidth - 30;
}
