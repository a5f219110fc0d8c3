#include "Dialogs.h"
#include "Failure.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "Helpers.h"
#include "TestSupport.h"
#include "TreeRules.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

QStringList Names(const QList<QTreeWidgetItem*>& items) {
    QStringList out;
    for (const QTreeWidgetItem* i : items)
        out << i->text(0).trimmed();
    return out;
}

QList<QTreeWidgetItem*> TopLevel(QTreeWidget* tree) {
    QList<QTreeWidgetItem*> out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        out << tree->topLevelItem(i);
    return out;
}

QList<QTreeWidgetItem*> Children(QTreeWidgetItem* node) {
    QList<QTreeWidgetItem*> out;
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i);
    return out;
}

QTreeWidgetItem* Find(QTreeWidget* tree, const QString& name) {
    const auto found =
        tree->findItems(QStringLiteral("   ") + name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

int Icon(const QTreeWidgetItem* item) {
    return item->data(0, TFerroxM1::IconIndexRole).toInt();
}

QString Tag(const QTreeWidgetItem* item) {
    return item->data(0, TFerroxM1::TagTextRole).toString();
}

QSet<QString> Checked(QTreeWidget* tree) {
    QSet<QString> out;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->checkState(0) == Qt::Checked)
            out << (*it)->text(0).trimmed();
    return out;
}

// The twelve extensions of "Text Files", in lower case to show the match ignores case.
const QStringList kTextNames = {"a.txt", "b.rtf", "c.ini", "d.log", "e.bat", "f.bak",
                                "g.dos", "h.sys", "i.wri", "j.lst", "k.url", "l.msg"};
const QStringList kOtherNames = {"m.doc", "n.jpg", "README", "o.docx", "p.tar.gz"};

} // namespace

// The local and the remote folder tree of the transfer program.
class TestTrees : public QObject {
    Q_OBJECT
    TempFolder m_data;
    std::unique_ptr<FerroxWindows> m_windows;
    TFerroxM1* w = nullptr;

    // A folder of our own listed as if it were a drive chosen in CMBDRIVE.
    void ListAsDrive(const QString& folder) {
        w->CMBDRIVE->addItem(folder);
        w->CMBDRIVE->setCurrentIndex(w->CMBDRIVE->count() - 1);
    }

    // A remote listing arrives for SETFOLDER2.
    void Arrive(const QString& folder, const QStringList& lines) {
        w->SETFOLDER2 = folder;
        w->Memo1->Lines = lines;
        w->ShowRemoteListing();
    }

    void SetRemoteDrives(const QStringList& roots) {
        const bool skip = w->SKIP_FLG;
        w->SKIP_FLG = true; // as the drive-list exchange fills the box
        w->CMBDRIVE2->clear();
        w->CMBDRIVE2->addItems(roots);
        w->SKIP_FLG = skip;
    }

private Q_SLOTS:
    void initTestCase() { Dialogs::SetScripted(true); }

    void init() {
        // The rules without a window need none.
        static const QSet<QString> bare = {"listingGoesBelow", "listingLine", "remoteDelimiter",
                                           "textLines"};
        if (bare.contains(QLatin1String(QTest::currentTestFunction())))
            return;
        Dialogs::Reset();
        Dialogs::SetScripted(true);
        m_windows = std::make_unique<FerroxWindows>(m_data.path());
        w = m_windows->FerroxM1.get();
        w->CONNECTSTRT_FLG = false;
        w->RandomNumber = [] { return 3; };
        w->OpenWithSystem = [](const QString&) {};
        w->show();
        QVERIFY(!w->FIRST_TIME_FLG);
    }

    void cleanup() {
        m_windows.reset();
        w = nullptr;
    }

    // ---- rules without a window ----

    void matchesFileFilter_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("match");
        QTest::newRow("text, lower case") << "/x/a.txt" << 13 << true;
        QTest::newRow("text, last of twelve") << "/x/l.MSG" << 13 << true;
        QTest::newRow("doc is no text file") << "/x/m.doc" << 13 << false;
        QTest::newRow("doc is a document") << "/x/m.doc" << 14 << true;
        QTest::newRow("docx is in no filter") << "/x/o.docx" << 15 << false;
        QTest::newRow("last dot counts") << "/x/p.tar.TXT" << 13 << true;
        QTest::newRow("dot of the folder does not") << "/x.txt/README" << 13 << false;
        QTest::newRow("no extension, text") << "/x/README" << 13 << false;
        QTest::newRow("no extension, all files") << "/x/README" << 17 << true;
        QTest::newRow("jpeg 2000") << "/x/a.j2k" << 0 << true;
        QTest::newRow("tga with psd") << "/x/a.tga" << 5 << true;
        QTest::newRow("outside the table") << "/x/a.txt" << 18 << false;
    }
    void matchesFileFilter() {
        QFETCH(QString, path);
        QFETCH(int, filter);
        QFETCH(bool, match);
        QCOMPARE(w->MatchesFileFilter(path, filter), match);
    }

    void driveLetterIndex_data() {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<int>("index");
        QTest::newRow("A") << "A" << 1;
        QTest::newRow("C") << "C" << 3;
        QTest::newRow("Z") << "Z" << 26;
        QTest::newRow("lower case") << "c" << -1;
        QTest::newRow("two letters") << "CD" << -1;
        QTest::newRow("root text") << "C:\\" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void driveLetterIndex() {
        QFETCH(QString, drive);
        QFETCH(int, index);
        QCOMPARE(w->GetDriveLetterIndex(drive), index);
    }

    void listingGoesBelow_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("delim");
        QTest::addColumn<bool>("below");
        QTest::newRow("D:\\ab\\ is six") << "D:\\ab\\"
                                         << "\\" << true;
        QTest::newRow("D:\\a\\ is five") << "D:\\a\\"
                                         << "\\" << false;
        QTest::newRow("drive root") << "C:\\"
                                    << "\\" << false;
        QTest::newRow("deep") << "C:\\Users\\Ann\\"
                              << "\\" << true;
        QTest::newRow("current drive") << "\\"
                                       << "\\" << false;
        QTest::newRow("no drive letter") << "\\Users\\"
                                         << "\\" << true;
        QTest::newRow("colon elsewhere") << "\\a:b\\"
                                         << "\\" << false;
        QTest::newRow("slash root") << "/"
                                    << "/" << false;
        QTest::newRow("slash folder") << "/home/"
                                      << "/" << true;
        QTest::newRow("slash drive without delimiter") << "/data"
                                                       << "/" << true;
    }
    void listingGoesBelow() {
        QFETCH(QString, folder);
        QFETCH(QString, delim);
        QFETCH(bool, below);
        QCOMPARE(trees::ListingGoesBelow(folder, delim.at(0)), below);
    }

    void listingLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("delim");
        QTest::addColumn<bool>("below");
        QTest::addColumn<QString>("path"); // empty: the line is not taken
        QTest::addColumn<bool>("folder");
        QTest::newRow("folder") << "C:\\Users|0"
                                << "\\" << true << "C:\\Users" << true;
        QTest::newRow("file, blanks around") << "  C:\\boot.ini|1 "
                                             << "\\" << true << "C:\\boot.ini" << false;
        QTest::newRow("drive dropped at the top") << "C:\\Users|0"
                                                  << "\\" << false << "\\Users" << true;
        QTest::newRow("computer name dropped") << "\\\\PC7\\share\\a.txt|1"
                                               << "\\" << true << "\\share\\a.txt" << false;
        QTest::newRow("computer name alone") << "\\\\PC7|0"
                                             << "\\" << true << "" << false;
        QTest::newRow("leading colon") << ":C:\\x|0"
                                       << "\\" << true << "C:\\x" << true;
        QTest::newRow("slash paths keep //") << "//srv/a|0"
                                             << "/" << false << "//srv/a" << true;
        QTest::newRow("slash paths keep x:") << "/x:y|1"
                                             << "/" << false << "/x:y" << false;
        QTest::newRow("bare path, no kind") << "C:\\data\\big.bin"
                                            << "\\" << true << "" << false;
        QTest::newRow("other kind") << "C:\\a|2"
                                    << "\\" << true << "" << false;
        QTest::newRow("empty") << ""
                               << "\\" << true << "" << false;
        QTest::newRow("root only") << "C:\\|0"
                                   << "\\" << true << "" << false;
    }
    void listingLine() {
        QFETCH(QString, line);
        QFETCH(QString, delim);
        QFETCH(bool, below);
        QFETCH(QString, path);
        QFETCH(bool, folder);
        const auto entry = trees::ParseListingLine(line, delim.at(0), below);
        QCOMPARE(entry.has_value(), !path.isEmpty());
        if (entry) {
            QCOMPARE(entry->path, path);
            QCOMPARE(entry->folder, folder);
        }
    }

    void remoteDelimiter_data() {
        QTest::addColumn<QStringList>("roots");
        QTest::addColumn<QStringList>("samples");
        QTest::addColumn<QString>("delim");
        QTest::newRow("drive letters") << QStringList{"C:\\", "D:\\"} << QStringList{"/"} << "\\";
        QTest::newRow("slash roots") << QStringList{"/", "/data"} << QStringList{"C:\\"} << "/";
        QTest::newRow("no roots, listing") << QStringList{} << QStringList{"D:\\x|0", "/"} << "\\";
        QTest::newRow("no roots, slash with backslash name")
            << QStringList{} << QStringList{"/home/a\\b|1"} << "/";
        QTest::newRow("nothing to tell") << QStringList{} << QStringList{"abc"} << "/";
    }
    void remoteDelimiter() {
        QFETCH(QStringList, roots);
        QFETCH(QStringList, samples);
        QFETCH(QString, delim);
        QCOMPARE(trees::DelimiterOf(roots, samples, QLatin1Char('/')), delim.at(0));
    }

    // ---- the local tree ----

    // "Text Files" shows every folder but only the twelve text kinds; "All Files" shows every
    // file, also one without an extension, which gets the "Unknown" picture.
    void localFilter() {
        TempFolder f;
        QDir(f.path()).mkdir(QStringLiteral("sub"));
        QDir(f.path()).mkdir(QStringLiteral("pics.d"));
        for (const QString& n : kTextNames + kOtherNames)
            f.write(n, "x");
        ListAsDrive(f.path());
        QStringList all = Names(TopLevel(w->DIR1));
        QVERIFY(all.mid(0, 2).contains("sub") && all.mid(0, 2).contains("pics.d")); // first
        QCOMPARE(QSet<QString>(all.begin(), all.end()),
                 QSet<QString>({"sub", "pics.d"}) +
                     QSet<QString>(kTextNames.begin(), kTextNames.end()) +
                     QSet<QString>(kOtherNames.begin(), kOtherNames.end()));
        QCOMPARE(w->DIR1_CNT, all.size());
        QCOMPARE(Icon(Find(w->DIR1, "README")), int(TreeIcons::Unknown));
        QCOMPARE(Icon(Find(w->DIR1, "n.jpg")), int(TreeIcons::Image));
        QCOMPARE(Icon(Find(w->DIR1, "p.tar.gz")), int(TreeIcons::Unknown));

        w->CMBFILTER->setCurrentIndex(13); // "Text Files": the chosen drive again, filtered
        const QStringList text = Names(TopLevel(w->DIR1));
        QCOMPARE(QSet<QString>(text.begin(), text.end()),
                 QSet<QString>({"sub", "pics.d"}) +
                     QSet<QString>(kTextNames.begin(), kTextNames.end()));
        QCOMPARE(w->CURRENT_FOLDER, f.path());
    }

    // What every item carries, for a folder and a file, at the top and below a node.
    void localItems() {
        TempFolder f;
        f.write("sub/x.txt", "x");
        f.write("sub/deeper/y.txt", "y");
        f.write("a.log", "a");
        QDir(f.path()).mkdir(QStringLiteral("empty"));
        ListAsDrive(f.path());
        const QString base = f.path() + QStringLiteral("/");

        QTreeWidgetItem* sub = Find(w->DIR1, "sub");
        QTreeWidgetItem* log = Find(w->DIR1, "a.log");
        QVERIFY(sub && log);
        QCOMPARE(sub->text(0), QStringLiteral("   sub"));
        QCOMPARE(Tag(sub), base + "sub"); // a folder: its own path, no delimiter after it
        QCOMPARE(Icon(sub), int(TreeIcons::Closed));
        QCOMPARE(Tag(log), base); // a file: its folder, with the delimiter
        QCOMPARE(Icon(log), int(TreeIcons::Text));
        for (QTreeWidgetItem* i : {sub, log}) {
            QVERIFY(i->flags() & Qt::ItemIsUserCheckable);
            QCOMPARE(i->checkState(0), Qt::Unchecked);
            QVERIFY(w->DIR1->visualItemRect(i).height() >= 25);
            QCOMPARE(i->data(0, TFerroxM1::TagNumberRole).toInt(), 0);
        }

        // A double-click lists the folder below its node, numbered by the node's place.
        w->DIR1->setCurrentItem(sub);
        w->DIR1DblClick();
        QCOMPARE(Names(Children(sub)), QStringList({"deeper", "x.txt"}));
        QCOMPARE(Icon(sub), int(TreeIcons::Open));
        QVERIFY(sub->isExpanded());
        QCOMPARE(w->SETFOLDER, base + "sub");
        const int place = w->DIR1->indexOfTopLevelItem(sub);
        for (QTreeWidgetItem* c : Children(sub))
            QCOMPARE(c->data(0, TFerroxM1::TagNumberRole).toInt(), place);
        QCOMPARE(Tag(sub->child(1)), base + "sub/");
        QCOMPARE(w->Label2->text(), base + "sub");

        // Listed already: a second double-click only folds it.
        w->DIR1DblClick();
        QCOMPARE(sub->childCount(), 2);
        QVERIFY(!sub->isExpanded());
        QCOMPARE(Icon(sub), int(TreeIcons::Closed));

        // A click on a file names its full path.
        w->DIR1->setCurrentItem(log);
        w->DIR1Click();
        QCOMPARE(w->Label2->text(), base + "a.log");
        QCOMPARE(w->CURRENT_DIR, 1);
    }

    // The real mouse: a double-click on a folder lists it and leaves it open.
    void localDoubleClickByMouse() {
        TempFolder f;
        f.write("sub/x.txt", "x");
        ListAsDrive(f.path());
        QTreeWidgetItem* sub = Find(w->DIR1, "sub");
        QVERIFY(sub);
        const QPoint at = w->DIR1->visualItemRect(sub).center();
        QTest::mouseClick(w->DIR1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->DIR1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(Names(Children(sub)), QStringList({"x.txt"}));
        QVERIFY(sub->isExpanded());
    }

    // One item at a time: below the selected node or at the top, named after the last
    // delimiter of its own side.
    void addTreeItems() {
        w->DIR1->clear();
        w->DIR1_CNT = 0;
        w->AddTreeItem(QStringLiteral("/x/y"), QStringLiteral("/x/y"), 0, TreeIcons::Closed, false);
        QTreeWidgetItem* y = w->DIR1->topLevelItem(0);
        w->DIR1->setCurrentItem(y);
        w->AddTreeItem(QStringLiteral("/x/y/z.txt"), QStringLiteral("/x/y/"), 3, TreeIcons::Text,
                       true);
        QCOMPARE(y->childCount(), 1);
        QCOMPARE(y->child(0)->text(0), QStringLiteral("   z.txt"));
        QCOMPARE(Tag(y->child(0)), QStringLiteral("/x/y/"));
        QCOMPARE(y->child(0)->data(0, TFerroxM1::TagNumberRole).toInt(), 3);
        QCOMPARE(Icon(y->child(0)), int(TreeIcons::Text));
        QVERIFY(y->child(0)->flags() & Qt::ItemIsUserCheckable);
        QCOMPARE(w->DIR1_CNT, 2);

        SetRemoteDrives({"C:\\", "D:\\"});
        w->DIR2->clear();
        w->DIR2_CNT = 0;
        w->AddTreeItem2(QStringLiteral("D:\\a\\b.jpg"), QStringLiteral("D:\\a\\"), 0,
                        TreeIcons::Image, true); // nothing selected: at the top
        QCOMPARE(Names(TopLevel(w->DIR2)), QStringList{"b.jpg"});
        QCOMPARE(w->DIR2_CNT, 1);
    }

    void longPathsSkipped() {
        TempFolder f;
        // A folder name that brings the folder's path to 200 characters.
        const QString longDir = QString(200 - f.path().size() - 1, QLatin1Char('d'));
        const QString dir = f.path() + "/" + longDir;
        QVERIFY(QDir().mkpath(dir));
        const int room = 255 - int(dir.size()) - 1; // name length at which the path is 255
        const QString shortName = QString(room - 5, QLatin1Char('s')) + ".txt"; // 254
        const QString tooLong = QString(room - 4, QLatin1Char('l')) + ".txt";   // 255
        const QString longer = QString(room + 10, QLatin1Char('m')) + ".txt";   // more
        f.write(longDir + "/" + shortName, "x");
        f.write(longDir + "/" + tooLong, "x");
        f.write(longDir + "/" + longer, "x");
        QDir(dir).mkdir(QString(room, QLatin1Char('f')));
        QCOMPARE((dir + "/" + tooLong).size(), 255);

        ListAsDrive(dir);
        QCOMPARE(Names(TopLevel(w->DIR1)), QStringList{shortName});

        w->Memo1->Lines.clear();
        w->DIR1ORDIR2_FLG = true;
        w->DoDir1(dir + "/");
        w->DIR1ORDIR2_FLG = false;
        QCOMPARE(w->Memo1->Lines, QStringList{dir + "/" + shortName + "|1"});
    }

    // Answering a peer: every entry as a line, folders first, no filter, our tree untouched.
    void listingMode() {
        TempFolder f;
        f.write("b.jpg", "x");
        f.write("README", "x");
        QDir(f.path()).mkdir(QStringLiteral("sub"));
        w->CMBFILTER->setCurrentIndex(13);
        const int before = w->DIR1->topLevelItemCount();
        const QString current = w->CURRENT_FOLDER;

        w->Memo1->Lines.clear();
        w->DIR1ORDIR2_FLG = true;
        w->DoDir1(f.path() + "/");
        w->DIR1ORDIR2_FLG = false;
        const QString base = f.path() + "/";
        QCOMPARE(w->Memo1->Lines.first(), base + "sub|0");
        QCOMPARE(QSet<QString>(w->Memo1->Lines.begin() + 1, w->Memo1->Lines.end()),
                 QSet<QString>({base + "b.jpg|1", base + "README|1"}));
        QCOMPARE(w->DIR1->topLevelItemCount(), before);
        QCOMPARE(w->CURRENT_FOLDER, current);

        // The bare delimiter is the current drive's root; a drive root is itself.
        w->Memo1->Lines.clear();
        w->DIR1ORDIR2_FLG = true;
        w->DoDir1(QStringLiteral("/"));
        w->DIR1ORDIR2_FLG = false;
        QVERIFY(!w->Memo1->Lines.isEmpty());
        QVERIFY(w->Memo1->Lines.first().startsWith(QLatin1Char('/')));
    }

    void missingFolderFails() {
        TempFolder f;
        f.write("sub/x.txt", "x");
        ListAsDrive(f.path());
        QTreeWidgetItem* sub = Find(w->DIR1, "sub");
        QVERIFY(QDir(f.path() + "/sub").removeRecursively());
        w->DIR1->setCurrentItem(sub);
        QVERIFY_THROWS_EXCEPTION(Failure, w->DIR1DblClick());
        QCOMPARE(sub->childCount(), 0);

        w->Memo1->Lines.clear();
        w->DIR1ORDIR2_FLG = true;
        QVERIFY_THROWS_EXCEPTION(Failure, w->DoDir1(f.path() + "/gone/"));
        QVERIFY(w->Memo1->Lines.isEmpty());
    }

    // Checking a listed folder checks exactly the files directly inside it, and the folder's
    // own box clears itself at once.
    void checkFolder() {
        TempFolder f;
        f.write("sub/x.txt", "x");
        f.write("sub/y.jpg", "y");
        f.write("sub/deeper/z.txt", "z");
        f.write("top.txt", "t");
        ListAsDrive(f.path());
        QTreeWidgetItem* sub = Find(w->DIR1, "sub");
        w->DIR1->setCurrentItem(sub);
        w->DIR1DblClick();
        QTreeWidgetItem* deeper = Find(w->DIR1, "deeper");
        w->DIR1->setCurrentItem(deeper);
        w->DIR1DblClick();
        QVERIFY(Find(w->DIR1, "z.txt"));

        sub->setCheckState(0, Qt::Checked); // as a click on its box does
        QCOMPARE(sub->checkState(0), Qt::Unchecked);
        QCOMPARE(Checked(w->DIR1), QSet<QString>({"x.txt", "y.jpg"}));

        // A file keeps its state; a folder not listed yet checks nothing.
        Find(w->DIR1, "top.txt")->setCheckState(0, Qt::Checked);
        Find(w->DIR1, "x.txt")->setCheckState(0, Qt::Unchecked);
        QCOMPARE(Checked(w->DIR1), QSet<QString>({"top.txt", "y.jpg"}));
        f.write("other/a.txt", "a");
        w->DIR1->clear();
        ListAsDrive(f.path());
        Find(w->DIR1, "other")->setCheckState(0, Qt::Checked);
        QVERIFY(Checked(w->DIR1).isEmpty());
    }

    void getFileSize() {
        TempFolder f;
        const QString big = f.file("big.bin");
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(3) * 1024 * 1024 * 1024 + 5)); // sparse
        }
        QCOMPARE(w->GetFileSize(big), qint64(3) * 1024 * 1024 * 1024 + 5);
        QCOMPARE(w->GetFileSize(f.file("none.txt")), qint64(0));
        QCOMPARE(w->GetFileSize(f.path()), qint64(0));
        QCOMPARE(w->GetFileSize(f.write("five.txt", "12345")), qint64(5));
    }

    // ---- the remote tree ----

    // A listing from a system with drive letters, at the top of the tree.
    void remoteListing() {
        SetRemoteDrives({"C:\\", "D:\\"});
        w->DIR2->clear();
        Arrive("D:\\", {"D:\\Photos|0", "D:\\README|1", "D:\\a.jpg|1", "D:\\notes.backup1|1",
                        "D:\\b.txt|1", "\\\\PC7\\share\\c.mp3|1"});
        QCOMPARE(Names(TopLevel(w->DIR2)),
                 QStringList({"Photos", "README", "a.jpg", "notes.backup1", "b.txt", "c.mp3"}));
        QCOMPARE(w->DIR2_CNT, 6);
        QCOMPARE(Icon(Find(w->DIR2, "Photos")), int(TreeIcons::Closed));
        QCOMPARE(Icon(Find(w->DIR2, "README")), int(TreeIcons::Closed));        // no extension
        QCOMPARE(Icon(Find(w->DIR2, "notes.backup1")), int(TreeIcons::Closed)); // too long
        QCOMPARE(Icon(Find(w->DIR2, "a.jpg")), int(TreeIcons::Image));
        QCOMPARE(Icon(Find(w->DIR2, "c.mp3")), int(TreeIcons::Music));
        for (QTreeWidgetItem* i : TopLevel(w->DIR2)) {
            QCOMPARE(Tag(i), QStringLiteral("D:\\"));
            QCOMPARE(i->data(0, TFerroxM1::TagNumberRole).toInt(), 0);
        }
        QCOMPARE(w->SKIP_COUNT, 0);

        // README behaves as a folder: its box does not stay checked.
        Find(w->DIR2, "README")->setCheckState(0, Qt::Checked);
        Find(w->DIR2, "b.txt")->setCheckState(0, Qt::Checked);
        QCOMPARE(Checked(w->DIR2), QSet<QString>{"b.txt"});

        // A line that is no listing entry is left out and said so.
        Arrive("D:\\", {"D:\\data\\big.bin"});
        QCOMPARE(w->DIR2_CNT, 0);
        QVERIFY(w->Label2->text().contains(QLatin1String("not understood")));
    }

    // D:\ab\ is longer than five characters and goes below the selected node; D:\a\ does not.
    void belowRule() {
        SetRemoteDrives({"C:\\", "D:\\"});
        w->DIR2->clear();
        Arrive("D:\\", {"D:\\ab|0", "D:\\a|0"});
        QTreeWidgetItem* ab = Find(w->DIR2, "ab");
        w->DIR2->setCurrentItem(ab);
        Arrive("D:\\ab\\", {"D:\\ab\\x.txt|1"});
        QCOMPARE(Names(Children(ab)), QStringList{"x.txt"});
        QCOMPARE(Tag(ab->child(0)), QStringLiteral("D:\\ab\\"));
        QVERIFY(ab->isExpanded());

        QTreeWidgetItem* a = Find(w->DIR2, "a");
        w->DIR2->setCurrentItem(a);
        Arrive("D:\\a\\", {"D:\\a\\y.txt|1"});
        QCOMPARE(a->childCount(), 0);
        QCOMPARE(Names(TopLevel(w->DIR2)), QStringList({"ab", "a", "y.txt"}));
    }

    // A peer without drive letters: its roots may lack the trailing delimiter.
    void slashPeerListing() {
        SetRemoteDrives({"/", "/data"});
        w->DIR2->clear();
        Arrive("/data", {"/data/music|0", "/data/song.wav|1"});
        QCOMPARE(Names(TopLevel(w->DIR2)), QStringList({"music", "song.wav"}));
        QCOMPARE(Tag(Find(w->DIR2, "song.wav")), QStringLiteral("/data/"));
        QCOMPARE(Icon(Find(w->DIR2, "song.wav")), int(TreeIcons::Sound));

        QTreeWidgetItem* music = Find(w->DIR2, "music");
        w->DIR2->setCurrentItem(music);
        w->DIR2Click();
        QCOMPARE(w->SETFOLDER2, QStringLiteral("/data/music/"));
        QCOMPARE(w->Label2->text(), QStringLiteral("/data/music/"));
        QCOMPARE(w->CURRENT_DIR, 2);
    }

    // What a double-click on a remote entry asks the peer for (the work list SendWorkList
    // sends; no peer is listed here, so it stays where it was built).
    void remoteDoubleClick_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("request"); // empty: nothing is sent
        QTest::newRow("folder") << "D:\\Photos|0" << QStringList{"START", "D:\\Photos\\"};
        QTest::newRow("picture") << "D:\\a.jpg|1" << QStringList{"PHOTO", "D:\\a.jpg"};
        QTest::newRow("text") << "D:\\b.log|1" << QStringList{"TEXTD", "D:\\b.log"};
        QTest::newRow("web page is text") << "D:\\i.htm|1" << QStringList{"TEXTD", "D:\\i.htm"};
        QTest::newRow("file without extension")
            << "D:\\README|1" << QStringList{"START", "D:\\README\\"};
        QTest::newRow("folder with a dot, not here")
            << "D:\\pics.txt|0" << QStringList{"TEXTD", "D:\\pics.txt"};
        QTest::newRow("neither picture nor text") << "D:\\setup.zip|1" << QStringList{};
    }
    void remoteDoubleClick() {
        QFETCH(QString, line);
        QFETCH(QStringList, request);
        SetRemoteDrives({"C:\\", "D:\\"});
        w->DIR2->clear();
        Arrive("D:\\", {line});
        w->DIR2->setCurrentItem(w->DIR2->topLevelItem(0));
        w->Memo1->Lines = {QStringLiteral("untouched")};
        w->SETFOLDER2 = QStringLiteral("D:\\");
        w->DIR2DblClick();
        QCOMPARE(w->CURRENT_DIR, 2);
        if (request.isEmpty()) {
            QCOMPARE(w->Memo1->Lines, QStringList{"untouched"});
            QCOMPARE(w->SETFOLDER2, QStringLiteral("D:\\"));
            const QStringList notices = ShownTexts(QStringLiteral("notice"));
            QCOMPARE(notices.size(), 1);
            QVERIFY(notices.first().contains(QLatin1String("Only pictures and text files")));
            QVERIFY(notices.first().contains(QLatin1String("Get")));
            return;
        }
        QCOMPARE(w->Memo1->Lines, request);
        QCOMPARE(w->SETFOLDER2, request.last());
        if (request.first() == QLatin1String("START"))
            QCOMPARE(Icon(w->DIR2->topLevelItem(0)), int(TreeIcons::Open));
    }

    // A remote folder with a dot in its name that also exists here is asked for as a folder.
    void remoteFolderThatExistsHere() {
        TempFolder f;
        QDir(f.path()).mkdir(QStringLiteral("pics.d"));
        SetRemoteDrives({"/"});
        w->DIR2->clear();
        Arrive(f.path() + "/", {f.path() + "/pics.d|0"});
        w->DIR2->setCurrentItem(w->DIR2->topLevelItem(0));
        w->DIR2DblClick();
        QCOMPARE(w->Memo1->Lines, QStringList({"START", f.path() + "/pics.d/"}));
    }

    // Choosing a remote drive asks for its root and takes its free space.
    void remoteDriveChange() {
        SetRemoteDrives({"C:\\", "D:\\"});
        w->REMDISK_FREE[1] = 100;
        w->REMDISK_FREE[2] = 5'000'000'000;
        Arrive("C:\\", {"C:\\x|0"});
        QCOMPARE(w->DIR2->topLevelItemCount(), 1);
        w->CMBDRIVE2->setCurrentIndex(1);
        QCOMPARE(w->SETFOLDER2, QStringLiteral("D:\\"));
        QCOMPARE(w->RMDISK_FREE, qint64(5'000'000'000));
        QCOMPARE(w->DIR2->topLevelItemCount(), 0);
        QVERIFY(w->StartBtn->isEnabled());
        QCOMPARE(w->Memo1->Lines, QStringList({"START", "D:\\"}));
    }

    // ---- the text answer ----

    void textAnswer() {
        TempFolder f;
        const QString path = f.write("notes.txt", "one\r\ntwo\nthree");
        QCOMPARE(w->BuildTextAnswer(path),
                 QStringList({"TEXT2", "one", "two", "three", SizeText(14) + " Bytes"}));
        QVERIFY_THROWS_EXCEPTION(Failure, w->BuildTextAnswer(f.file("none.txt")));
    }

    // A text larger than the limit is sent as its first 16 MiB of whole lines, a line saying
    // it was cut, and the size of the whole file.
    void textAnswerIsCut() {
        TempFolder f;
        const QString path = f.file("big.log");
        const QByteArray line = QByteArray(99, 'x') + '\n'; // 100 bytes
        const qint64 lines = trees::kTextLimit / 100 + 1000;
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray block;
            for (int i = 0; i < 10000; ++i)
                block += line;
            for (qint64 i = 0; i < lines / 10000 + 1; ++i)
                file.write(block);
        }
        const qint64 size = QFileInfo(path).size();
        QVERIFY(size > trees::kTextLimit);
        const QStringList answer = w->BuildTextAnswer(path);
        QCOMPARE(answer.first(), QStringLiteral("TEXT2"));
        QCOMPARE(answer.last(), SizeText(size) + " Bytes");
        QCOMPARE(answer.at(answer.size() - 2), trees::CutNotice(trees::kTextLimit));
        const qsizetype shown = answer.size() - 3;
        QCOMPARE(shown, trees::kTextLimit / 100); // whole lines only
        QCOMPARE(answer.at(1).size(), 99);
        QCOMPARE(answer.at(shown).size(), 99);
    }

    void textLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("mixed breaks")
            << QByteArray("a\r\nb\nc\rd\n") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("empty lines kept")
            << QByteArray("a\n\nb\n\n") << QStringList{"a", "", "b", ""};
        QTest::newRow("utf-8") << QByteArray("gr\xc3\xbc\xc3\x9f") << QStringList{"grüß"};
        QTest::newRow("utf-8 mark") << QByteArray("\xef\xbb\xbfok") << QStringList{"ok"};
        QTest::newRow("utf-16 mark") << QByteArray("\xff\xfeo\0k\0\n\0", 8) << QStringList{"ok"};
        QTest::newRow("latin-1") << QByteArray("caf\xe9") << QStringList{"café"};
    }
    void textLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(trees::TextLines(bytes), lines);
    }
};

QTEST_MAIN(TestTrees)
#include "tst_trees.moc"
