// Send, receive and get between copies of the program on loopback. Ann and Bob are two real
// main windows; Eve is a bare LAN manager paired with Bob that sends whatever descriptions and
// bytes a test needs (lists with chosen targets, hostile names, cancelled streams).
#include "Dialogs.h"
#include "FerroxCopies.h"
#include "FerroxM.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "Manager.h"
#include "Profile.h"
#include "Resource.h"

namespace {

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList Files(const QString& dir) {
    QStringList out = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    return out;
}

// A tree item as the listings make them: text three blanks + name, tag the folder.
void AddChecked(QTreeWidget* tree, const QString& path) {
    const QFileInfo info(path);
    auto* item = new QTreeWidgetItem(tree);
    item->setText(0, QStringLiteral("   ") + info.fileName());
    item->setData(0, TFerroxM1::TagTextRole, info.path() + QLatin1Char('/'));
    item->setData(0, TFerroxM1::IconIndexRole, 2);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
}

QByteArray ListFile(const QStringList& targets) {
    QByteArray out;
    for (const QString& t : targets)
        out += t.toUtf8() + "\r\n";
    return out + "FerroxApp1:Bob 8|1/1/30 10:00\r\n";
}

// Reads like a file but cancels the send it feeds after its first piece.
class CancellingBuffer : public QBuffer {
public:
    explicit CancellingBuffer(tether::Profile* p) : m_p(p) {}

protected:
    qint64 readData(char* data, qint64 max) override {
        if (pos() > 0)
            m_p->cancelSend();
        return QBuffer::readData(data, max);
    }

private:
    tether::Profile* m_p;
};

struct Eve {
    tether::Manager m;
    tether::Profile p{&m};
    Eve() {
        m.setText(QStringLiteral("FerroxManager1"));
        QObject::connect(&m, &tether::Manager::requestManagerPassword,
                         [](const QString&, QString& pw) { pw = QStringLiteral("2604"); });
        // Not a Ferrox profile text: Bob never lists Eve as a peer, so Ann stays his peer.
        p.setText(QStringLiteral("Eve"));
        p.setEnabled(true);
        m.setEnabled(true);
    }
    tether::ProfileInfo bob() const {
        const QList<tether::ProfileInfo> all = m.remoteProfiles();
        for (const tether::ProfileInfo& r : all)
            if (r.text.startsWith(QLatin1String("FerroxApp1:Bob")))
                return r;
        return {};
    }
    void send(const QString& hint, const QByteArray& bytes) {
        const tether::ProfileInfo to = bob();
        p.connectTo(to);
        QBuffer b;
        b.setData(bytes);
        b.open(QIODevice::ReadOnly);
        p.sendStream(to, hint, &b);
    }
};

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void sendThreeFilesAndPlaceInChosenFolder();
    void sendChecks_data();
    void sendChecks();
    void receiveCountsSameNamesAndPlacesAtSourcePaths();
    void receiveAnswers_data();
    void receiveAnswers();
    void blockedSender_data();
    void blockedSender();
    void hostileNamesStayInTheReceiveFolder();
    void takenTransferFolderNameGetsAFreshOne();
    void unplaceableFilesAreReported();
    void getThreeFilesKeepsSameNamesApart();
    void getRefusals_data();
    void getRefusals();
    void cancelledStreamAbandonsTheTransfer();
    void peerShutdownAbandonsTheTransfer(); // last: Ann leaves

private:
    // Eve sends a list and files to Bob; each file is (name, bytes).
    void eveSends(const QString& list, const QStringList& targets,
                  const QList<QPair<QString, QByteArray>>& files, int* questionsBeforeLast);
    QString recv(Copy& c) const { return c.w->RECVFILE_PATH; }
    int bobReceived() const { return int(bob->received->size()); }
    bool waitBob(int count) {
        return QTest::qWaitFor([&] { return bobReceived() >= count; }, 10000);
    }

    std::unique_ptr<Copy> ann, bob;
    std::unique_ptr<Eve> eve;
    TempFolder data;
    int listNo = 100;
};

void TestTransfer::initTestCase() {
    Dialogs::SetScripted(true);
    ann = std::make_unique<Copy>(QStringLiteral("Ann"), 7);
    bob = std::make_unique<Copy>(QStringLiteral("Bob"), 8);
    eve = std::make_unique<Eve>();
    QVERIFY(listed(*bob, *ann));
    settle({ann.get(), bob.get()});
    QVERIFY(QTest::qWaitFor([&] { return !eve->bob().profileIdentifier.isEmpty(); }, 5000));
    QCOMPARE(bob->users(), QStringList{"FerroxApp1:Ann 7"});
    for (Copy* c : {ann.get(), bob.get()})
        c->w->ListNumber = [this] { return listNo; };
}

void TestTransfer::init() {
    Dialogs::Reset();
    Dialogs::SetScripted(true);
    ++listNo;
    for (Copy* c : {ann.get(), bob.get()}) {
        c->takeHints();
        c->w->RMDISK_FREE = qint64(1) << 40;
        c->w->DIR1->clear();
        c->w->DIR2->clear();
        c->w->ListBox1->clear();
        c->w->Label2->clear();
        c->w->CURRENT_DIR = 1;
        c->w->GET_FLG = false;
    }
}

void TestTransfer::cleanup() {
    // Whatever a failed test left half-way must not leak into the next.
    for (Copy* c : {ann.get(), bob.get()})
        if (c) {
            c->w->EndTransfer();
            c->w->TRANSFER_IS_GET = false;
        }
}

void TestTransfer::eveSends(const QString& list, const QStringList& targets,
                            const QList<QPair<QString, QByteArray>>& files,
                            int* questionsBeforeLast) {
    const int start = bobReceived();
    eve->send(QStringLiteral("File") + list + QStringLiteral(" - Eve"), ListFile(targets));
    for (int i = 0; i < files.size(); ++i) {
        if (i == files.size() - 1) {
            QVERIFY(waitBob(start + 1 + i));
            if (questionsBeforeLast)
                *questionsBeforeLast = int(ShownTexts(QStringLiteral("question")).size());
        }
        eve->send(QStringLiteral("File") + files[i].first + QStringLiteral(" - Eve"),
                  files[i].second);
    }
    QVERIFY(waitBob(start + 1 + int(files.size())));
}

void TestTransfer::sendThreeFilesAndPlaceInChosenFolder() {
    const QStringList sources = {data.write(QStringLiteral("s1/a.txt"), "alpha"),
                                 data.write(QStringLiteral("s1/deep/b.txt"), "beta"),
                                 data.write(QStringLiteral("s2/c.bin"), QByteArray(70000, 'c'))};
    for (const QString& s : sources)
        AddChecked(ann->w->DIR1, s);
    const QString in = bob->dir.file(QStringLiteral("In"));
    QVERIFY(QDir().mkpath(in));
    Dialogs::SetNextAnswer(Dialogs::Answer::No);
    Dialogs::SetNextFileName(in);
    ann->w->TSendBtn->setEnabled(true);
    ann->w->TSendBtn->click();
    QVERIFY(waitBob(4));
    const QString list = QStringLiteral("TMP%1").arg(listNo);
    QCOMPARE(bob->takeHints(), (QStringList{"File" + list + " - Ann", "Filea.txt - Ann",
                                            "Fileb.txt - Ann", "Filec.bin - Ann"}));
    const QVector<Dialogs::Shown> log = Dialogs::Log();
    QCOMPARE(ShownTexts(QStringLiteral("question")),
             QStringList{"Files Sent from Ann Do you want to Copy These Files to Paths from "
                         "Source ?"});
    // The question shows where the files would go.
    QCOMPARE(log.first().detail, sources.join(QLatin1Char('\n')));
    for (const QString& s : sources)
        QCOMPARE(Bytes(in + "/" + QFileInfo(s).fileName()), Bytes(s));
    // The list was written with a closing line naming the peer; the received copies were
    // moved out of the transfer folder, only the list stays.
    const QByteArray sent = Bytes(ann->w->SENDFILE_PATH + "/" + list);
    QVERIFY(sent.startsWith(sources.first().toUtf8() + "\r\n"));
    QVERIFY(sent.contains("\r\nFerroxApp1:Bob 8|"));
    QCOMPARE(Files(recv(*bob) + "/" + list), QStringList{list});
    QCOMPARE(bob->w->ListBox2->count(), 0);
    QCOMPARE(bob->w->FILE_COUNTER, 0);
    QCOMPARE(ann->w->ListBox1->count(), 3); // the sent entries stay
}

void TestTransfer::sendChecks_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("notice");
    const QString space =
        QStringLiteral("The Remote Location does not have enough Free Disk Space for these Files.");
    QTest::newRow("nothing checked")
        << qint64(1) << qint64(1) << false << false
        << "No Items Selected to Send. Select Items from Local Directory on the Left.";
    QTest::newRow("1 byte, 100000 free") << qint64(1) << qint64(100000) << true << false << space;
    QTest::newRow("1 byte, 100001 free") << qint64(1) << qint64(100001) << true << false << "";
    QTest::newRow("no drive list") << qint64(1) << qint64(0) << true << false << space;
    // A 32-bit total would wrap and let this through.
    QTest::newRow("3 GiB, one byte short")
        << (qint64(3) << 30) << (qint64(3) << 30) + 99999 << true << false << space;
    QTest::newRow("a listed file is gone") << qint64(1) << qint64(1) << true << true
                                           << "These Files cannot be read. Nothing was sent.";
}

void TestTransfer::sendChecks() {
    QFETCH(qint64, size);
    QFETCH(qint64, free);
    QFETCH(bool, check);
    QFETCH(bool, missing);
    QFETCH(QString, notice);
    const QString path = data.file(QStringLiteral("check-%1.bin").arg(listNo));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(size)); // sparse
    }
    if (check)
        AddChecked(ann->w->DIR1, path);
    if (missing)
        AddChecked(ann->w->DIR1, data.file(QStringLiteral("gone.txt")));
    ann->w->RMDISK_FREE = free;
    Dialogs::SetNextAnswer(Dialogs::Answer::No); // placement: into a chosen folder
    Dialogs::SetNextFileName(bob->dir.file(QStringLiteral("checks")));
    ann->w->TSendBtnClick();
    settle({bob.get()}, 300);
    const QStringList hints = bob->takeHints();
    const QString listFile = ann->w->SENDFILE_PATH + QStringLiteral("/TMP%1").arg(listNo);
    if (notice.isEmpty()) {
        QCOMPARE(hints.size(), 2);
        QCOMPARE(ShownTexts(QStringLiteral("notice")), QStringList());
        QCOMPARE(Bytes(bob->dir.file(QStringLiteral("checks/check-%1.bin").arg(listNo))),
                 QByteArray(size, '\0'));
    } else {
        QCOMPARE(hints, QStringList());
        QCOMPARE(ShownTexts(QStringLiteral("notice")), QStringList{notice});
        QVERIFY(!QFileInfo::exists(listFile)); // nothing written either
    }
    if (missing)
        QCOMPARE(Dialogs::Log().first().detail, data.file(QStringLiteral("gone.txt")));
    QVERIFY(!ann->w->SKIP_FLG);
}

void TestTransfer::receiveCountsSameNamesAndPlacesAtSourcePaths() {
    const QString out = bob->dir.file(QStringLiteral("out%1").arg(listNo));
    // An existing folder with an old file; and folder chains that do not exist yet.
    const QString old = bob->dir.write(QStringLiteral("out%1/have/a.txt").arg(listNo), "old");
    const QStringList targets = {old, out + "/x/deep/deeper/a.txt", out + "/y/b.txt"};
    int before = -1;
    const QString list = QStringLiteral("TMP%1").arg(listNo);
    eveSends(list, targets, {{"a.txt", "first"}, {"a.txt", "second"}, {"b.txt", "bee"}}, &before);
    QCOMPARE(before, 0); // nothing asked before the last file
    QCOMPARE(ShownTexts(QStringLiteral("question")),
             QStringList{"Files Sent from Eve Do you want to Copy These Files to Paths from "
                         "Source ?"});
    QCOMPARE(Dialogs::Log().first().detail, targets.join(QLatin1Char('\n')));
    QCOMPARE(Bytes(targets[0]), QByteArray("first"));
    QCOMPARE(Bytes(targets[1]), QByteArray("second"));
    QCOMPARE(Bytes(targets[2]), QByteArray("bee"));
    // Moved where the folder existed; copied (and kept) where it had to be made. The second
    // a.txt was the third message of the transfer.
    QCOMPARE(Files(recv(*bob) + "/" + list), (QStringList{list, "a.txt@2", "b.txt"}));
    QCOMPARE(bob->w->Label2->text(), QStringLiteral("You have received files from Eve"));
    QCOMPARE(bob->w->ListBox2->count(), 0);
}

void TestTransfer::receiveAnswers_data() {
    QTest::addColumn<bool>("chooseFolder");
    QTest::newRow("No, a folder chosen") << true;
    QTest::newRow("No, then Cancel: paths from the source") << false;
}

void TestTransfer::receiveAnswers() {
    QFETCH(bool, chooseFolder);
    const QString src = bob->dir.file(QStringLiteral("src%1").arg(listNo));
    const QString chosen = bob->dir.file(QStringLiteral("chosen%1").arg(listNo));
    QVERIFY(QDir().mkpath(chosen));
    Dialogs::SetNextAnswer(Dialogs::Answer::No);
    Dialogs::SetNextFileName(chooseFolder ? chosen : QString());
    eveSends(QStringLiteral("TMP%1").arg(listNo), {src + "/p/one.txt", src + "/q/two.txt"},
             {{"one.txt", "1"}, {"two.txt", "22"}}, nullptr);
    const QString base = chooseFolder ? chosen + "/" : src + "/p/";
    QCOMPARE(Bytes(base + "one.txt"), QByteArray("1"));
    QCOMPARE(Bytes((chooseFolder ? chosen + "/" : src + "/q/") + "two.txt"), QByteArray("22"));
    QCOMPARE(bob->w->CANCEL_FLG, !chooseFolder);
    QCOMPARE(bob->w->ListBox2->count(), 0);
    QCOMPARE(bob->w->LINE_COUNTER, 0);
}

void TestTransfer::blockedSender_data() {
    QTest::addColumn<bool>("bypass");
    QTest::newRow("ByPassList off: dropped") << false;
    QTest::newRow("ByPassList on: accepted") << true;
}

void TestTransfer::blockedSender() {
    QFETCH(bool, bypass);
    bob->w->SaveUserEntry(QStringLiteral("Eve"), true);
    bob->w->BYPASSLIST_FLG = bypass;
    const QString target = bob->dir.file(QStringLiteral("blocked%1/f.txt").arg(listNo));
    const QString list = QStringLiteral("TMP%1").arg(listNo);
    eveSends(list, {target}, {{"f.txt", "eff"}}, nullptr);
    bob->w->BYPASSLIST_FLG = false;
    bob->w->SaveUserEntry(QStringLiteral("Eve"), false);
    QCOMPARE(QFileInfo::exists(target), bypass);
    QCOMPARE(QFileInfo::exists(recv(*bob) + "/" + list), bypass);
    QCOMPARE(Dialogs::Log().isEmpty(), !bypass); // silently
    QCOMPARE(bob->w->Label2->text().isEmpty(), !bypass);
}

void TestTransfer::hostileNamesStayInTheReceiveFolder() {
    const QString outside = QFileInfo(recv(*bob)).path(); // Files/, above the receive folder
    const QStringList before = QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    // A list without a usable name starts nothing.
    eve->send(QStringLiteral("File.. - Eve"), ListFile({"/nowhere"}));
    QVERIFY(waitBob(1));
    QVERIFY(bob->w->TRANSFER_PATH.isEmpty());
    QVERIFY(bob->w->Label2->text().contains(QLatin1String("unusable name \"..\"")));

    const QString out = bob->dir.file(QStringLiteral("hostile"));
    const QString list = QStringLiteral("../../evil%1").arg(listNo);
    eveSends(list, {out + "/1", out + "/2", out + "/3"},
             {{"..", "dots"}, {"/etc/x", "etc"}, {"..\\x", "back"}}, nullptr);
    const QString folder = recv(*bob) + QStringLiteral("/evil%1").arg(listNo);
    // x@3 was the third message; it was moved out once x had made the target folder.
    QCOMPARE(Files(folder), (QStringList{QStringLiteral("evil%1").arg(listNo), "x"}));
    QCOMPARE(Bytes(folder + "/x"), QByteArray("etc"));
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/etc/x")));
    // The refused one is named when the others are placed.
    QCOMPARE(Bytes(out + "/2"), QByteArray("etc"));
    QCOMPARE(Bytes(out + "/3"), QByteArray("back"));
    QVERIFY(!QFileInfo::exists(out + "/1"));
    QCOMPARE(ShownTexts(QStringLiteral("notice")),
             QStringList{"1 Files could not be placed. They are still in " + folder + "."});
    QVERIFY(!bob->w->Label2->text().startsWith(QLatin1String("You have received")));
}

void TestTransfer::takenTransferFolderNameGetsAFreshOne() {
    const QString list = QStringLiteral("TMP%1").arg(listNo);
    const QString older = bob->dir.write(QStringLiteral("Files/Recv/%1/kept.txt").arg(list),
                                         "from an older transfer");
    const QString target = bob->dir.file(QStringLiteral("fresh%1/k.txt").arg(listNo));
    eveSends(list, {target}, {{"k.txt", "new"}}, nullptr);
    QCOMPARE(Bytes(target), QByteArray("new"));
    QCOMPARE(Bytes(older), QByteArray("from an older transfer"));
    QCOMPARE(Files(recv(*bob) + "/" + list + "@2"), (QStringList{list, "k.txt"}));
}

void TestTransfer::unplaceableFilesAreReported() {
    // A file where a folder of the target path would have to be.
    const QString blocker = bob->dir.write(QStringLiteral("blocker%1").arg(listNo), "file");
    const QString good = bob->dir.file(QStringLiteral("good%1/g.txt").arg(listNo));
    const QString list = QStringLiteral("TMP%1").arg(listNo);
    eveSends(list, {blocker + "/sub/u.txt", good, "relative/r.txt"},
             {{"u.txt", "u"}, {"g.txt", "g"}, {"r.txt", "r"}}, nullptr);
    QCOMPARE(Bytes(good), QByteArray("g"));
    const QString folder = recv(*bob) + "/" + list;
    QCOMPARE(ShownTexts(QStringLiteral("notice")),
             QStringList{"2 Files could not be placed. They are still in " + folder + "."});
    const QString detail = Dialogs::Log().last().detail;
    QVERIFY2(detail.contains(folder + "/u.txt -> " + blocker + "/sub/u.txt"), qPrintable(detail));
    QVERIFY(detail.contains(folder + "/r.txt -> relative/r.txt"));
    QCOMPARE(Bytes(folder + "/u.txt"), QByteArray("u"));
    QCOMPARE(bob->w->Label2->text(), ShownTexts(QStringLiteral("notice")).first());
}

void TestTransfer::getThreeFilesKeepsSameNamesApart() {
    const QStringList served = {bob->dir.write(QStringLiteral("srv/a.txt"), "A1"),
                                bob->dir.write(QStringLiteral("srv/sub/a.txt"), "A2"),
                                bob->dir.write(QStringLiteral("srv/c.bin"), "CCC")};
    for (const QString& s : served)
        AddChecked(ann->w->DIR2, s);
    ann->w->CURRENT_DIR = 2;
    const QString into = ann->dir.file(QStringLiteral("got/new"));
    Dialogs::SetNextAnswer(Dialogs::Answer::Yes); // Bob allows
    Dialogs::SetNextAnswer(Dialogs::Answer::No);  // Ann: into a folder
    Dialogs::SetNextFileName(into);
    ann->w->TRecvBtn->setEnabled(true);
    ann->w->TRecvBtn->click();
    QVERIFY(QTest::qWaitFor([&] { return !ann->w->GET_FLG; }, 10000));
    const QString list = QStringLiteral("TMP%1").arg(listNo);
    QCOMPARE(bob->takeHints(), QStringList{"List" + list + " - Ann"});
    // The echoed list and three files; the list name keeps its blank.
    QCOMPARE(ann->takeHints(), (QStringList{"File" + list + "  - Bob", "Filea.txt - Bob",
                                            "Filea.txt - Bob", "Filec.bin - Bob"}));
    QCOMPARE(
        ShownTexts(QStringLiteral("question")),
        (QStringList{"User - Ann requests copy of - " + served[0] + ". Will you allow access ? ",
                     "Do you want to Copy These Files to Paths from Source ?"}));
    QCOMPARE(Dialogs::Log()[1].detail, served.join(QLatin1Char('\n')));
    // Both a.txt came, stored apart: the first was copied into the new folder and stays, the
    // second then replaced it there and was moved.
    const QString folder = ann->w->RECVFILE_PATH + "/" + list;
    QCOMPARE(Files(folder), (QStringList{list, "a.txt"}));
    QCOMPARE(Bytes(folder + "/a.txt"), QByteArray("A1"));
    QCOMPARE(Bytes(into + "/a.txt"), QByteArray("A2"));
    QCOMPARE(Bytes(into + "/c.bin"), QByteArray("CCC"));
    QCOMPARE(Bytes(folder + "/" + list), (served.join("\r\n") + "\r\n").toUtf8());
    QCOMPARE(ann->w->Label2->text(), QStringLiteral("You have taken files from Bob"));
    QCOMPARE(ann->w->ListBox1->count(), 0);
    QCOMPARE(ann->w->ListBox2->count(), 0);

    // The get is over: what Bob sends now is a send to Ann, not an answer.
    Dialogs::ClearLog();
    AddChecked(bob->w->DIR1, served[2]);
    Dialogs::SetNextAnswer(Dialogs::Answer::No);
    Dialogs::SetNextFileName(ann->dir.file(QStringLiteral("later")));
    bob->w->TSendBtnClick();
    QVERIFY(QTest::qWaitFor([&] { return ann->received->size() >= 2; }, 10000));
    QCOMPARE(ShownTexts(QStringLiteral("question")),
             QStringList{"Files Sent from Bob Do you want to Copy These Files to Paths from "
                         "Source ?"});
    QCOMPARE(Bytes(ann->dir.file(QStringLiteral("later/c.bin"))), QByteArray("CCC"));
}

void TestTransfer::getRefusals_data() {
    QTest::addColumn<QString>("why");
    QTest::addRow("server says No") << "no";
    QTest::addRow("not enough space") << "space";
    QTest::addRow("3 GiB against 2 GiB") << "big";
    QTest::addRow("a requested file is gone") << "gone";
    QTest::addRow("nothing checked") << "none";
}

void TestTransfer::getRefusals() {
    QFETCH(QString, why);
    QString file = bob->dir.write(QStringLiteral("r%1/f.txt").arg(listNo), "f");
    if (why == QLatin1String("big")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(qint64(3) << 30));
        bob->w->RMDISK_FREE = qint64(2) << 30;
    }
    if (why == QLatin1String("space"))
        bob->w->RMDISK_FREE = 100000;
    if (why == QLatin1String("gone"))
        file = bob->dir.file(QStringLiteral("gone.txt"));
    if (why != QLatin1String("none"))
        AddChecked(ann->w->DIR2, file);
    ann->w->CURRENT_DIR = 2;
    if (why == QLatin1String("no"))
        Dialogs::SetNextAnswer(Dialogs::Answer::No);
    ann->w->TRecvBtnClick();
    settle({ann.get(), bob.get()}, 300);
    QCOMPARE(bob->w->ListBox1->count(), 0);
    const QString space = QStringLiteral(
        "This Location does not have enough Free Disk Space to Receive these Files.");
    if (why == QLatin1String("no")) {
        QCOMPARE(ann->takeHints(), QStringList());
        QVERIFY(ann->w->GET_FLG); // still waiting, as the user was told nothing
    } else if (why == QLatin1String("none")) {
        QCOMPARE(ShownTexts(QStringLiteral("notice")),
                 QStringList{"No Items Selected to Take from Connected PC User. Select Items from "
                             "Remote Directory on the Right."});
        QCOMPARE(bob->takeHints(), QStringList());
        QVERIFY(!ann->w->GET_FLG);
    } else {
        QCOMPARE(ann->takeHints(), QStringList{"ErrorBob"});
        QCOMPARE(ShownTexts(QStringLiteral("notice")), QStringList{space});
        // Asked only when there is room; a missing file is found after the answer.
        QCOMPARE(ShownTexts(QStringLiteral("question")).size(),
                 why == QLatin1String("gone") ? 1 : 0);
        QCOMPARE(Dialogs::Log().last().detail,
                 why == QLatin1String("gone") ? "These Files cannot be read: " + file
                                              : QStringLiteral("Not Enough Disk Space to Retrieve "
                                                               "Files."));
        QVERIFY(!ann->w->GET_FLG);
    }
}

void TestTransfer::cancelledStreamAbandonsTheTransfer() {
    const QString out = bob->dir.file(QStringLiteral("cancel%1").arg(listNo));
    eve->send(QStringLiteral("FileTMP%1 - Eve").arg(listNo), ListFile({out + "/1", out + "/2"}));
    eve->send(QStringLiteral("Fileone - Eve"), "1");
    QVERIFY(waitBob(2));
    const QString folder = bob->w->TRANSFER_PATH;
    QVERIFY(!folder.isEmpty());
    CancellingBuffer big(&eve->p);
    big.setData(QByteArray(4 << 20, 'z'));
    big.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(tether::Cancelled,
                             eve->p.sendStream(eve->bob(), "Filetwo - Eve", &big));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return bob->w->Label2->text().startsWith(QLatin1String("The transfer was abandoned"));
        },
        5000));
    QVERIFY(bob->w->Label2->text().endsWith(folder + "."));
    QCOMPARE(bob->w->ListBox2->count(), 0);
    QCOMPARE(bob->w->FILE_COUNTER, 0);
    QCOMPARE(Files(folder), (QStringList{QStringLiteral("TMP%1").arg(listNo), "one"}));
    // The next transfer starts clean.
    ++listNo;
    eveSends(QStringLiteral("TMP%1").arg(listNo), {out + "/next.txt"}, {{"next.txt", "N"}},
             nullptr);
    QCOMPARE(Bytes(out + "/next.txt"), QByteArray("N"));
}

void TestTransfer::peerShutdownAbandonsTheTransfer() {
    const QString out = bob->dir.file(QStringLiteral("gone%1").arg(listNo));
    eve->send(QStringLiteral("FileTMP%1 - Eve").arg(listNo), ListFile({out + "/1", out + "/2"}));
    eve->send(QStringLiteral("Fileone - Eve"), "1");
    QVERIFY(waitBob(2));
    ann.reset(); // Bob's current peer closes its program
    QVERIFY(QTest::qWaitFor(
        [&] {
            return bob->w->Label2->text().startsWith(QLatin1String("The transfer was abandoned"));
        },
        10000));
    QCOMPARE(bob->w->ListBox2->count(), 0);
    QVERIFY(bob->w->TRANSFER_PATH.isEmpty());
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
