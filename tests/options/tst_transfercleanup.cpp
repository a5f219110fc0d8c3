#include "TestSupport.h"
#include "TransferCleanup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

// Makes one file impossible to delete: by its folder's permissions for a normal user, by the
// immutable attribute for root, whom permissions do not stop.
class Undeletable {
public:
    explicit Undeletable(const QString& file) : m_file(file), m_dir(QFileInfo(file).path()) {
        if (::geteuid() != 0) {
            m_ok = QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner);
        } else {
            m_ok = QProcess::execute("chattr", {"+i", m_file}) == 0;
        }
    }
    ~Undeletable() { release(); }
    bool ok() const { return m_ok; }
    void release() {
        if (!m_ok)
            return;
        m_ok = false;
        if (::geteuid() != 0)
            QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        else
            QProcess::execute("chattr", {"-i", m_file});
    }

private:
    QString m_file;
    QString m_dir;
    bool m_ok = false;
};

// Clearing the folders that earlier transfers left behind, on real folders.
class TestTransferCleanup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Loose files stay; every first-level folder goes with what it holds, nested ones too.
    void removesTransferFoldersKeepsLooseFiles() {
        TempFolder t;
        t.write("Files/Recv/loose.txt", "keep");
        t.write("Files/Recv/TMP12/a.txt", "a");
        t.write("Files/Recv/TMP77/sub/deeper/b.bin", "b");
        t.write("Files/Recv/TMP77/.hidden", "h");
        t.write("Files/Sent/TMP5", "a send list is a file and stays");
        const QString files = t.file("Files");
        const TransferCleanup r =
            ClearTransferFolders({t.file("Files/Recv"), t.file("Files/Sent")}, files,
                                 {files, t.file("Files/Recv"), t.file("Files/Sent")});
        QVERIFY(r.complete());
        QCOMPARE(r.removed, (QStringList{t.file("Files/Recv/TMP12"), t.file("Files/Recv/TMP77")}));
        QVERIFY(QFile::exists(t.file("Files/Recv/loose.txt")));
        QVERIFY(QFile::exists(t.file("Files/Sent/TMP5")));
        QCOMPARE(QDir(t.file("Files/Recv")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"loose.txt"});
        QCOMPARE(r.listed.size(), 4);
    }

    // A file that cannot go keeps its folder; the report names it and the others still go.
    void goesOnAfterAnEntryThatStays() {
        TempFolder t;
        t.write("Files/Recv/TMP1/locked/x.txt", "x");
        t.write("Files/Recv/TMP2/y.txt", "y");
        const QString stuck = t.file("Files/Recv/TMP1/locked/x.txt");
        Undeletable hold(stuck);
        if (!hold.ok())
            QSKIP("cannot make a file undeletable here");
        const TransferCleanup r = ClearTransferFolders({t.file("Files/Recv")}, t.file("Files"), {});
        hold.release();
        QVERIFY(!r.complete());
        QCOMPARE(r.failed, QStringList{stuck});
        QCOMPARE(r.removed, QStringList{t.file("Files/Recv/TMP2")});
        QVERIFY(QFile::exists(stuck));
    }

    // A link inside a transfer folder is removed as a link: what it points at is untouched.
    void linksAreNotFollowed() {
        TempFolder t;
        t.write("precious/a.txt", "mine");
        t.write("Files/Recv/TMP3/b.txt", "b");
        QVERIFY(QFile::link(t.file("precious"), t.file("Files/Recv/TMP3/link")));
        QVERIFY(QFile::link(t.file("precious"), t.file("Files/Recv/toplink")));
        const TransferCleanup r = ClearTransferFolders({t.file("Files/Recv")}, t.file("Files"), {});
        QVERIFY(r.complete());
        QVERIFY(!QFileInfo::exists(t.file("Files/Recv/TMP3")));
        QVERIFY(QFileInfo(t.file("Files/Recv/toplink")).isSymLink());
        QVERIFY(QFile::exists(t.file("precious/a.txt")));
    }

    // A send-list folder pointed at a personal folder, or at the Files folder itself, costs
    // neither the user's folders nor the program's own.
    void leavesFoldersThatAreNotTransfers() {
        TempFolder t;
        t.write("home/Documents/cv.odt", "cv");
        t.write("Files/Recv/r.txt", "r");
        t.write("Files/Sent/s.txt", "s");
        t.write("Files/TMP9/c.txt", "c");
        const QString files = t.file("Files");
        const QStringList keep{files, t.file("Files/Recv"), t.file("Files/Sent")};
        const TransferCleanup r =
            ClearTransferFolders({t.file("Files/Recv"), t.file("home"), files}, files, keep);
        QCOMPARE(r.outside, QStringList{t.file("home")});
        QVERIFY(QFile::exists(t.file("home/Documents/cv.odt")));
        QCOMPARE(r.kept, (QStringList{t.file("Files/Recv"), t.file("Files/Sent")}));
        QCOMPARE(r.removed, QStringList{t.file("Files/TMP9")});
        QVERIFY(QFile::exists(t.file("Files/Recv/r.txt")));
        QVERIFY(QFile::exists(t.file("Files/Sent/s.txt")));
    }

    // "Files" must not count as inside "Files-old" or the other way round.
    void rootTestComparesWholeNames() {
        TempFolder t;
        t.write("FilesOld/TMP1/a.txt", "a");
        const TransferCleanup r = ClearTransferFolders({t.file("FilesOld")}, t.file("Files"), {});
        QCOMPARE(r.outside, QStringList{t.file("FilesOld")});
        QVERIFY(QFile::exists(t.file("FilesOld/TMP1/a.txt")));
    }
};

QTEST_GUILESS_MAIN(TestTransferCleanup)
#include "tst_transfercleanup.moc"
