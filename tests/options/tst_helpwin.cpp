#include "FerroxM.h"
#include "FerroxWindows.h"
#include "HelpTopics.h"
#include "HelpWin.h"
#include "SetOptions.h"
#include "TestSupport.h"

#include <QFile>
#include <QFrame>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
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

    // ---- the window itself, in a running program ----

    // Help opens on the topic for where it was asked: the main window, the options dialog,
    // the viewer (which wins over the options).
    void opensWhereAsked() {
        TempFolder t;
        FerroxWindows w(t.path());
        TFerroxM1* m = w.FerroxM1.get();
        THelpWin1* h = w.HelpWin1.get();
        m->RandomNumber = [] { return 7; };
        m->show();
        QTest::mouseClick(m->HelpBtn, Qt::LeftButton);
        QVERIFY(h->isVisible());
        QCOMPARE(h->CurrentTopic(), 1);
        QCOMPARE(h->Memo1->toPlainText().section('\n', 0, 0), QStringLiteral("Welcome to Ferrox"));

        // Asked again while it is open, it turns to the new topic.
        m->TOptnBtnClick();
        QTest::mouseClick(w.SetOptn1->HelpBtn, Qt::LeftButton);
        QCOMPARE(h->CurrentTopic(), 6);
        QVERIFY(!m->FRMOPTIONS_FLG);

        h->close();
        m->FRMOPTIONS_FLG = true;
        m->FRMDISPLAY_FLG = true; // what the viewer's Help sets
        h->Present();
        QCOMPARE(h->CurrentTopic(), 3);
        QVERIFY(!m->FRMOPTIONS_FLG && !m->FRMDISPLAY_FLG);
        QCOMPARE(h->Memo1->toPlainText(),
                 TopicLines(HelpText(FerroxHelp()), FerroxHelp(), 3).join('\n'));
        m->close();
    }

    // Previous and Next move through the contents list, not from the topic on view; they
    // stop at either end. A click on an entry shows its topic.
    void navigation() {
        THelpWin1 h(FerroxHelp());
        bool fromOptions = true;
        h.SetRequests({&fromOptions, nullptr, {}});
        h.show();
        QCOMPARE(h.CurrentTopic(), 6);
        QCOMPARE(h.ListBox1->currentRow(), 0);

        QTest::mouseClick(h.PreviousBtn, Qt::LeftButton); // on the first entry: nothing
        QCOMPARE(h.CurrentTopic(), 6);
        QTest::mouseClick(h.NextBtn, Qt::LeftButton);
        QCOMPARE(h.CurrentTopic(), 2);
        QCOMPARE(h.ListBox1->currentRow(), 1);

        h.ListBox1->setCurrentRow(6);
        h.ListBox1Click();
        QCOMPARE(h.CurrentTopic(), 7);
        const QString about = h.Memo1->toPlainText();
        QVERIFY(about.startsWith("About Ferrox"));
        QTest::mouseClick(h.NextBtn, Qt::LeftButton); // on "About": nothing
        QCOMPARE(h.CurrentTopic(), 7);
        QCOMPARE(h.Memo1->toPlainText(), about);
        QTest::mouseClick(h.PreviousBtn, Qt::LeftButton);
        QCOMPARE(h.CurrentTopic(), 6);
        QCOMPARE(h.ListBox1->currentRow(), 5);

        h.ShowHelpTopic(9);
        QVERIFY(h.Memo1->toPlainText().isEmpty());
    }

    // Contents shows the list in its panel and widens the window by one; again hides it.
    void contents() {
        THelpWin1 h(FerroxHelp());
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        const int width = h.width();
        QVERIFY(!h.ListBox1->isVisible());
        QTest::mouseClick(h.ContentBtn, Qt::LeftButton);
        QCOMPARE(h.ContentBtn->text(), QStringLiteral("No Contents"));
        QVERIFY(h.ListBox1->isVisible() && h.Panel1->isVisible());
        QCOMPARE(h.width(), width + 1);
        QCOMPARE(h.Panel1->x(), -5);
        QCOMPARE(h.NextBtn->x(), NextBtnX(h.width(), h.NextBtn->width()));
        QCOMPARE(h.ContentBtn->x(), ContentBtnX(h.width(), h.ContentBtn->width()));
        QTest::mouseClick(h.ContentBtn, Qt::LeftButton);
        QCOMPARE(h.ContentBtn->text(), QStringLiteral("Contents"));
        QVERIFY(!h.ListBox1->isVisible() && !h.Panel1->isVisible());
    }

    // Each double-click on the text makes it one point larger, and it stays so when the
    // window is shown again.
    void fontGrowsPerDoubleClick() {
        THelpWin1 h(FerroxHelp());
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        QCOMPARE(h.Memo1->font().pointSizeF(), 14.0);
        for (int i = 1; i <= 3; ++i) {
            QTest::mouseDClick(h.Memo1->viewport(), Qt::LeftButton);
            QCOMPARE(h.Memo1->font().pointSizeF(), 14.0 + i);
        }
        h.close();
        h.show();
        QCOMPARE(h.Memo1->font().pointSizeF(), 17.0);
    }
};

QTEST_MAIN(TestHelpWin)
#include "tst_helpwin.moc"
