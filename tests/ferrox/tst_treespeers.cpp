// Browsing and viewing the peer's files, two copies on loopback: the listing of a folder and
// of a folder below it, a text and a picture shown in the viewer, and a file that cannot be
// viewed, which sends nothing.
#include "Dialogs.h"
#include "DspFile.h"
#include "FerroxCopies.h"
#include "Helpers.h"
#include "PictureView.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

namespace {

QTreeWidgetItem* Find(QTreeWidget* tree, const QString& name) {
    const auto found =
        tree->findItems(QStringLiteral("   ") + name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TestTreesPeers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        Dialogs::Reset();
        Dialogs::SetScripted(true);
    }

    void browseAndView() {
        Copy ann(QStringLiteral("Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8);
        QVERIFY(listed(ann, bob));
        settle({&ann, &bob});
        ann.w->REMOTE_USER = QStringLiteral("Bob at home");
        bob.dir.write(QStringLiteral("share/sub/inner.txt"), "x");
        const QString notes = bob.dir.write(QStringLiteral("share/notes.txt"), "one\r\ntwo\r\n");
        const QString pic = MakePicture(bob.dir, QStringLiteral("share/my-cat.png"));
        bob.dir.write(QStringLiteral("share/data.zip"), "PK");
        const QString share = bob.dir.file(QStringLiteral("share"));

        // The folder, asked for with Start.
        ann.w->DIR2->clear();
        ann.w->SETFOLDER2 = share + QLatin1Char('/');
        ann.w->StartBtnClick();
        QVERIFY(QTest::qWaitFor([&] { return ann.w->DIR2->topLevelItemCount() == 4; }, 5000));
        QTreeWidgetItem* sub = Find(ann.w->DIR2, QStringLiteral("sub"));
        QVERIFY(sub);
        QCOMPARE(ann.w->DIR2->indexOfTopLevelItem(sub), 0); // folders first
        QCOMPARE(sub->data(0, TFerroxM1::TagTextRole).toString(), share + QLatin1Char('/'));

        // A folder below it goes below its node.
        ann.w->DIR2->setCurrentItem(sub);
        ann.w->DIR2Click();
        ann.w->DIR2DblClick();
        QVERIFY(QTest::qWaitFor([&] { return sub->childCount() == 1; }, 5000));
        QCOMPARE(sub->child(0)->text(0), QStringLiteral("   inner.txt"));
        QCOMPARE(ann.w->DIR2->topLevelItemCount(), 4);

        // A text: "TEXT2" first, the size line last.
        TDspFile1* viewer = ann.windows->DspFile1.get();
        ann.w->DIR2->setCurrentItem(Find(ann.w->DIR2, QStringLiteral("notes.txt")));
        ann.w->DIR2DblClick();
        QVERIFY(QTest::qWaitFor([&] { return viewer->isVisible(); }, 5000));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("View Files from - Bob at home"));
        QCOMPARE(viewer->TabControl1->currentWidget(), viewer->TabItem2);
        QCOMPARE(
            viewer->Memo1->toPlainText().split(QLatin1Char('\n')),
            QStringList({"TEXT2", "one", "two", SizeText(QFileInfo(notes).size()) + " Bytes"}));

        // A picture whose path holds a hyphen: the status names the whole path.
        viewer->hide();
        ann.w->DIR2->setCurrentItem(Find(ann.w->DIR2, QStringLiteral("my-cat.png")));
        ann.w->DIR2DblClick();
        QVERIFY(QTest::qWaitFor([&] { return viewer->isVisible(); }, 5000));
        QCOMPARE(viewer->TabControl1->currentWidget(), viewer->TabItem1);
        QCOMPARE(viewer->Image1->Bitmap().size(), QImage(pic).size());
        QCOMPARE(viewer->Label1->text(), pic + " - " + SizeText(QFileInfo(pic).size()) + " Bytes");

        // Neither picture nor text: nothing goes to the peer, whose own tree stays as it was.
        settle({&ann, &bob});
        bob.takeHints();
        const int bobsTree = bob.w->DIR2->topLevelItemCount();
        ann.w->DIR2->setCurrentItem(Find(ann.w->DIR2, QStringLiteral("data.zip")));
        ann.w->DIR2DblClick();
        settle({&ann, &bob});
        QVERIFY(bob.takeHints().isEmpty());
        QCOMPARE(bob.w->DIR2->topLevelItemCount(), bobsTree);
        QCOMPARE(ShownTexts(QStringLiteral("notice")).size(), 1);
    }
};

QTEST_MAIN(TestTreesPeers)
#include "tst_treespeers.moc"
