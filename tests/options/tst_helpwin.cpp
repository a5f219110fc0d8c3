#include "HelpTopics.h"
#include "TestSupport.h"

#include <QFile>
#include <QtTest>

namespace {
QStringList HelpText(const HelpVariant& v) {
    QFile f(v.textResource);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the newline that ends the last line
    return lines;
}
} // namespace

class TestHelpWin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The built-in text is laid out for the topic table: each topic opens with its heading
    // and neighbouring topics meet on a blank line.
    void ferroxTextFitsTopics_data() {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("heading");
        QTest::newRow("Introduction") << 1 << "Welcome to Ferrox";
        QTest::newRow("Directories") << 2 << "Directories";
        QTest::newRow("View Files") << 3 << "View Files";
        QTest::newRow("Send Files") << 4 << "Send Files";
        QTest::newRow("Get Files") << 5 << "Get Files";
        QTest::newRow("Options") << 6 << "Options";
        QTest::newRow("About") << 7 << "About Ferrox";
    }
    void ferroxTextFitsTopics() {
        QFETCH(int, topic);
        QFETCH(QString, heading);
        const HelpVariant& v = FerroxHelp();
        const QStringList text = HelpText(v);
        QCOMPARE(text.size(), v.textLines);
        const QStringList lines = TopicLines(text, v, topic);
        const HelpTopic& t = v.topics.at(topic - 1);
        QCOMPARE(lines.size(), t.lastLine - t.firstLine + 1);
        QString first;
        for (const QString& l : lines)
            if (first.isEmpty())
                first = l;
        QCOMPARE(first, heading);
        if (topic < 7) // About ends the text; the others end on their shared blank line
            QVERIFY(lines.last().isEmpty());
    }

    void topicOutsideTheTableIsEmpty() {
        const QStringList text = HelpText(FerroxHelp());
        QVERIFY(TopicLines(text, FerroxHelp(), 0).isEmpty());
        QVERIFY(TopicLines(text, FerroxHelp(), 8).isEmpty());
        QVERIFY(TopicLines(text.mid(0, 100), FerroxHelp(), 6).isEmpty()); // too short a text
    }

    void startTopic_data() {
        QTest::addColumn<bool>("fromOptions");
        QTest::addColumn<bool>("fromDisplay");
        QTest::addColumn<int>("topic");
        QTest::newRow("main window") << false << false << 1;
        QTest::newRow("options") << true << false << 6;
        QTest::newRow("viewer") << false << true << 3;
        QTest::newRow("viewer wins") << true << true << 3;
    }
    void startTopic() {
        QFETCH(bool, fromOptions);
        QFETCH(bool, fromDisplay);
        QFETCH(int, topic);
        QCOMPARE(FerroxStartTopic(fromOptions, fromDisplay), topic);
    }

    void parlovaStartTopic() {
        const HelpVariant& v = ParlovaHelp();
        QCOMPARE(ParlovaStartTopic(v, "Chat / Share", false), 1);
        QCOMPARE(ParlovaStartTopic(v, "History", false), 4);
        QCOMPARE(ParlovaStartTopic(v, "Cloud", false), 5);
        QCOMPARE(ParlovaStartTopic(v, "Cloud", true), 7);
        QCOMPARE(ParlovaStartTopic(v, "Photos", false), 1);
    }

    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("279.5") << 279.5 << 280;
        QTest::newRow("38.5") << 38.5 << 38;
        QTest::newRow("2.4999") << 2.4999 << 2;
        QTest::newRow("2.5001") << 2.5001 << 3;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-3.5") << -3.5 << -4;
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(RoundHalfEven(value), rounded);
    }

    // NextBtn at round(width / 2.15) - round(button width / 2.1).
    void nextBtnPosition_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("x");
        QTest::newRow("design 600") << 600 << 80 << 241;  // 279.07 - 38.10
        QTest::newRow("601") << 601 << 80 << 242;         // 279.53 rounds up
        QTest::newRow("Parlova 440") << 440 << 80 << 167; // 204.65 - 38.10
        QTest::newRow("1000, 75") << 1000 << 75 << 429;   // 465.12 - 35.71
        QTest::newRow("exact 215, 21") << 215 << 21 << 90;
        QTest::newRow("narrow") << 100 << 105 << -3;
    }
    void nextBtnPosition() {
        QFETCH(int, width);
        QFETCH(int, button);
        QFETCH(int, x);
        QCOMPARE(NextBtnX(width, button), x);
        QCOMPARE(ContentBtnX(width, button), width - button - 30);
    }
};

QTEST_MAIN(TestHelpWin)
#include "tst_helpwin.moc"
