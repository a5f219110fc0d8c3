// Two and three copies of the program in one process, on loopback: finding each other, the
// user list, the drive-list exchange, requests and their blocking, and peers that leave.
#include "Application.h"
#include "Dialogs.h"
#include "FerroxCopies.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "SetOptions.h"
#include "TestSupport.h"
#include "WireText.h"

#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include "Manager.h"
#include "Profile.h"
#include "Resource.h"

class TestPeers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        Dialogs::Reset();
        Dialogs::SetScripted(true);
    }

    void twoCopiesListEachOther() {
        Copy ann(QStringLiteral("Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8);
        // Strangers on the same search port: another program's manager, and a manager with
        // our text whose profile is not one of ours.
        tether::Manager chat;
        chat.setText(QStringLiteral("MediaReceiverManager1"));
        tether::Profile chatProfile(&chat);
        chatProfile.setText(QStringLiteral("FerroxApp1:Chatty 1"));
        chatProfile.setEnabled(true);
        chat.setEnabled(true);
        tether::Manager foreign;
        foreign.setText(QStringLiteral("FerroxManager1"));
        QObject::connect(&foreign, &tether::Manager::requestManagerPassword,
                         [](const QString&, QString& pw) { pw = QStringLiteral("2604"); });
        tether::Profile foreignProfile(&foreign);
        foreignProfile.setText(QStringLiteral("Parlova 1:Zed 3"));
        foreignProfile.setEnabled(true);
        foreign.setEnabled(true);

        QVERIFY(listed(ann, bob));
        settle({&ann, &bob});
        QCOMPARE(ann.users(), QStringList{"FerroxApp1:Bob 8"});
        QCOMPARE(ann.boxUsers(), QStringList{"FerroxApp1:Bob 8"});
        // Every refresh adds its lines again until the next search (one per paired manager).
        QVERIFY(!ann.listBox5().isEmpty());
        QCOMPARE(ann.listBox5().filter(QStringLiteral("Bob 8")), ann.listBox5());
        QCOMPARE(bob.users(), QStringList{"FerroxApp1:Ann 7"});
        QVERIFY(ann.w->TSendBtn->isEnabled() && ann.w->TRecvBtn->isEnabled());
        QVERIFY(bob.w->TSendBtn->isEnabled());
        // Both marked: a later search by a third copy skips them.
        QCOMPARE(ann.w->TethMangr1->text(), QStringLiteral("FerroxManager1*"));
        QCOMPARE(bob.w->TethMangr1->text(), QStringLiteral("FerroxManager1*"));
        // Drive lists went both ways.
        QCOMPARE(ann.drives2(), bob.drives());
        QCOMPARE(bob.drives2(), ann.drives());
        QVERIFY(ann.w->REMDISK_FREE[1] > 0);
        QCOMPARE(ann.w->RMDISK_FREE, ann.w->REMDISK_FREE[1]);

        Copy cy(QStringLiteral("Cy"), 9);
        QSignalSpy ended(cy.w->TethMangr1, &tether::Manager::endManagersDiscovery);
        cy.w->FindList();
        QVERIFY(ended.wait(3000));
        QTest::qWait(300);
        QCOMPARE(cy.w->ListBox3->count(), 0);
        // Only the unmarked stranger was paired, never the two marked copies.
        for (const tether::ManagerInfo& m : cy.w->TethMangr1->pairedManagers())
            QCOMPARE(m.identifier, foreign.identifier());
    }

    void driveExchangeEndsAtFiveMessages() {
        Copy ann(QStringLiteral("Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8);
        QVERIFY(listed(ann, bob));
        settle({&ann, &bob});
        ann.takeHints();
        bob.takeHints();
        ann.w->SendDriveList();
        settle({&ann, &bob});
        QCOMPARE(bob.takeHints().size() + ann.takeHints().size(), 5);
        QCOMPARE(ann.w->SKIP_COUNT + bob.w->SKIP_COUNT, 2); // one side dropped the fifth and reset
    }

    void blockedUserIsNeverListed() {
        auto blockAnn = [](TFerroxM1& w) {
            w.BYPASSLIST_FLG = true; // bypassing governs what is accepted, not who is listed
        };
        Copy bob(QStringLiteral("Bob"), 8, blockAnn);
        bob.w->SaveUserEntry(QStringLiteral("Mary-Ann"), true);
        Copy ann(QStringLiteral("Mary-Ann"), 7);
        QVERIFY(QTest::qWaitFor(
            [&] {
                ann.w->FindList();
                return QTest::qWaitFor([&] { return ann.w->ListBox3->count() > 0; }, 2000);
            },
            6000));
        settle({&ann, &bob});
        QCOMPARE(ann.users(), QStringList{"FerroxApp1:Bob 8"});
        QVERIFY(bob.users().isEmpty());
        QVERIFY(bob.boxUsers().isEmpty());
        QVERIFY(bob.listBox5().isEmpty());
    }

    void blockedUsersRequestsGetNoAnswer_data() {
        QTest::addColumn<bool>("bypass");
        QTest::addColumn<bool>("answered");
        QTest::newRow("blocked") << false << false;
        QTest::newRow("list bypassed") << true << true;
    }
    void blockedUsersRequestsGetNoAnswer() {
        QFETCH(bool, bypass);
        QFETCH(bool, answered);
        Copy ann(QStringLiteral("Mary-Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8, [&](TFerroxM1& w) { w.BYPASSLIST_FLG = bypass; });
        QVERIFY(listed(ann, bob));
        settle({&ann, &bob});
        // Blocked after pairing: what she asks for from now on is refused.
        bob.w->SaveUserEntry(QStringLiteral("Mary-Ann"), true);
        const QString pic = MakePicture(bob.dir, QStringLiteral("p.png"));
        ann.takeHints();
        sendText(ann, {QStringLiteral("START"), bob.dir.path()});
        sendText(ann, {QStringLiteral("PHOTO"), pic});
        sendText(ann, {QStringLiteral("TEXTD"), pic});
        settle({&ann, &bob}, 600);
        QCOMPARE(ann.takeHints().size(), answered ? 3 : 0);
    }

    void startIsAnsweredWithTheFolder() {
        Copy ann(QStringLiteral("Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8);
        QVERIFY(listed(ann, bob));
        settle({&ann, &bob});
        QDir().mkdir(bob.dir.file(QStringLiteral("sub")));
        bob.dir.write(QStringLiteral("f.txt"), "x");
        sendText(ann, {QStringLiteral("START"), bob.dir.path() + QLatin1Char('/')});
        QVERIFY(QTest::qWaitFor(
            [&] { return ann.w->Memo1->Lines.contains(bob.dir.file("f.txt") + "|1"); }, 3000));
        QVERIFY(ann.w->Memo1->Lines.contains(bob.dir.file(QStringLiteral("sub")) + "|0"));
    }

    // The counter ends the drive-list exchange only; requests and files are always handled.
    void messagesAfterTwoPictureAnswersAreHandled() {
        Copy ann(QStringLiteral("Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8);
        QVERIFY(listed(ann, bob));
        settle({&ann, &bob});
        const QString pic = MakePicture(bob.dir, QStringLiteral("my-cat.png"));
        // Both counters as after an exchange that ended; what follows counts from here.
        ann.w->SKIP_COUNT = 0;
        bob.w->SKIP_COUNT = 0;
        ann.takeHints();
        sendText(ann, {QStringLiteral("PHOTO"), pic});
        sendText(ann, {QStringLiteral("PHOTO"), pic});
        settle({&ann, &bob});
        const QStringList photos = ann.takeHints();
        QCOMPARE(photos.size(), 2);
        // The size is that of the file although its path holds a hyphen.
        QCOMPARE(photos[0], QStringLiteral("Photo%1#%2-Bob").arg(QFileInfo(pic).size()).arg(pic));
        QCOMPARE(bob.w->SKIP_COUNT, 2);
        sendText(ann, {QStringLiteral("START"), bob.dir.path() + QLatin1Char('/')});
        settle({&ann, &bob});
        QCOMPARE(ann.takeHints(), QStringList{"TextBob"});
        // So is the first file of a send: Bob stores the list and waits for its file.
        QBuffer list;
        list.setData(wire::EncodeTextList(
            {bob.dir.file(QStringLiteral("in/a.txt")), QStringLiteral("FerroxApp1:Bob 8|now")}));
        list.open(QIODevice::ReadOnly);
        ann.w->SendStreamToPeer(QStringLiteral("FileTMP4711 - Ann"), &list);
        QVERIFY(QTest::qWaitFor([&] { return bob.w->ListBox2->count() == 1; }, 3000));
        QCOMPARE(bob.w->FILE_COUNTER, 1);
        QCOMPARE(bob.w->SKIP_COUNT, 2);
        // A drive list at this count is the end of an exchange: dropped, counter reset.
        sendText(ann, ann.w->DriveListLines());
        settle({&ann, &bob});
        QVERIFY(ann.takeHints().isEmpty());
        QCOMPARE(bob.w->SKIP_COUNT, 0);
    }

    void currentPeerLeaving() {
        Copy ann(QStringLiteral("Ann"), 7);
        auto bob = std::make_unique<Copy>(QStringLiteral("Bob"), 8);
        QVERIFY(listed(ann, *bob));
        settle({&ann, bob.get()});
        ann.w->DIR2->addTopLevelItem(new QTreeWidgetItem(QStringList{"   x"}));
        ann.w->ListBox3->setCurrentRow(0);
        bob.reset(); // Bob quits
        // Within the facility's bound for a peer that is gone (a goodbye normally makes it at
        // once).
        QVERIFY(QTest::qWaitFor([&] { return ann.w->ListBox3->count() == 0; }, 10000));
        QVERIFY(ann.boxUsers().isEmpty());
        QCOMPARE(ann.w->DIR2->topLevelItemCount(), 0);
        QVERIFY(!ann.w->TSendBtn->isEnabled() && !ann.w->TRecvBtn->isEnabled());
        QVERIFY(!ann.w->CONNECTED_FLG);
        QCOMPARE(ann.w->TethMangr1->text(), QStringLiteral("FerroxManager1"));
    }

    void otherPeerLeavingAndSwitchingPeers() {
        Copy ann(QStringLiteral("Ann"), 7);
        Copy bob(QStringLiteral("Bob"), 8);
        auto cy = std::make_unique<Copy>(QStringLiteral("Cy"), 9);
        QVERIFY(listed(ann, bob));
        QVERIFY(QTest::qWaitFor([&] { return ann.w->ListBox3->count() == 2; }, 5000));
        settle({&ann, &bob, cy.get()});
        const QStringList both = ann.users();
        const int bobRow = both.indexOf(QStringLiteral("FerroxApp1:Bob 8"));
        const int cyRow = both.indexOf(QStringLiteral("FerroxApp1:Cy 9"));
        QVERIFY(bobRow >= 0 && cyRow >= 0);

        ann.w->ListBox3->setCurrentRow(cyRow);
        settle({&ann, &bob, cy.get()});
        ann.w->ListBox3->setCurrentRow(bobRow);
        cy->takeHints();
        bob.takeHints();
        settle({&ann, &bob, cy.get()});
        QVERIFY(bob.takeHints().contains(QStringLiteral("TextAnn"))); // the new peer got "DRIVES"
        QVERIFY(!ann.w->TetheringAppProfile1->isConnectedTo(
            ann.w->PeerBox()->itemData(cyRow, Qt::UserRole + 2).value<tether::ProfileInfo>()));
        QCOMPARE(ann.w->PeerBox()->currentText(), QStringLiteral("FerroxApp1:Bob 8"));

        cy.reset(); // another peer quits: the list is rebuilt, the current peer stays
        QVERIFY(QTest::qWaitFor([&] { return ann.w->ListBox3->count() == 1; }, 10000));
        QCOMPARE(ann.users(), QStringList{"FerroxApp1:Bob 8"});
        QCOMPARE(ann.w->PeerBox()->currentText(), QStringLiteral("FerroxApp1:Bob 8"));
        QVERIFY(ann.w->CONNECTED_FLG);
        QVERIFY(ann.w->TSendBtn->isEnabled());
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    TestPeers t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_peers.moc"
