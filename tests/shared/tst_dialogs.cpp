#include "Application.h"
#include "Dialogs.h"
#include "TestSupport.h"

#include <QPushButton>
#include <QtTest>

using Dialogs::Answer;

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scriptedAnswersInOrder() {
        ScriptedDialogs s;
        Dialogs::SetNextAnswer(Answer::No);
        Dialogs::SetNextAnswer(Answer::Cancel);
        Dialogs::SetNextFileName(QStringLiteral("/tmp/x"));
        Dialogs::SetNextText(QStringLiteral("typed"));
        QCOMPARE(Dialogs::Question(nullptr, QStringLiteral("q1")), Answer::No);
        QCOMPARE(Dialogs::QuestionYesNoCancel(nullptr, QStringLiteral("q2"), QStringLiteral("d")),
                 Answer::Cancel);
        QCOMPARE(Dialogs::Question(nullptr, QStringLiteral("q3")), Answer::Yes); // unscripted
        QCOMPARE(Dialogs::ChooseFolder(nullptr, QStringLiteral("pick"), QString()),
                 QStringLiteral("/tmp/x"));
        QCOMPARE(Dialogs::OpenFileName(nullptr, QStringLiteral("open"), QString()), QString());
        bool ok = false;
        QCOMPARE(Dialogs::Input(nullptr, "c", "p", "d", &ok), QStringLiteral("typed"));
        QVERIFY(ok);
        Dialogs::Input(nullptr, "c", "p", "d", &ok);
        QVERIFY(!ok);
        QCOMPARE(ShownTexts("question"), (QStringList{"q1", "q3"}));
        QCOMPARE(Dialogs::Log().at(1).detail, QStringLiteral("d"));
    }

    // A handler that fails is reported once and the event loop carries on.
    void escapedFailureIsReported() {
        ScriptedDialogs s;
        QPushButton b;
        int after = 0;
        QObject::connect(&b, &QPushButton::clicked, [] { throw Failure("disk gone"); });
        QTimer::singleShot(0, [&] { ++after; });
        QTest::mouseClick(&b, Qt::LeftButton);
        QTRY_COMPARE(after, 1);
        QCOMPARE(ShownTexts("error"), QStringList{"disk gone"});
    }

    void guardedStopsTheHandler() {
        ScriptedDialogs s;
        bool reached = false;
        const bool ok = Guarded(nullptr, [&] {
            throw Failure("no picture");
            reached = true;
        });
        QVERIFY(!ok);
        QVERIFY(!reached);
        QCOMPARE(ShownTexts("error"), QStringList{"no picture"});
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    TestDialogs t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_dialogs.moc"
