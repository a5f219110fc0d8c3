#include "ColorCombo.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "HelpWin.h"
#include "Helpers.h"
#include "Layouts.h"
#include "Manager.h"
#include "SetOptions.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

using Dialogs::Answer;

namespace {

const QDateTime kFirst(QDate(2026, 3, 1), QTime(9, 15, 0));
const QDateTime kLater(QDate(2026, 3, 2), QTime(17, 40, 5));

// One program started in its own data folder, with its options dialog open.
struct Program {
    explicit Program(const QString& root) : w(std::make_unique<FerroxWindows>(root)) {
        m = w->FerroxM1.get();
        o = w->SetOptn1.get();
        m->RandomNumber = [] { return 7; };
        m->show();
    }
    ~Program() {
        if (m)
            m->close();
    }
    void openOptions(QWidget* tab = nullptr) {
        m->TOptnBtnClick();
        if (tab)
            o->TabControl1->setCurrentWidget(tab);
    }
    // The settings record as a fresh reader finds it on disk.
    int storedRecords() const {
        OptionsFile f;
        f.open(QDir(m->ROOTPATH).filePath(kFerroxOptionsFile), FerroxOptionsLayout());
        const int n = f.data().recordCount();
        f.close();
        return n;
    }
    FerroxState stored() const {
        FerroxState s;
        OptionsFile f;
        f.open(QDir(m->ROOTPATH).filePath(kFerroxOptionsFile), FerroxOptionsLayout());
        f.load(FerroxOptionBindings(s));
        f.close();
        return s;
    }
    std::unique_ptr<FerroxWindows> w;
    TFerroxM1* m = nullptr;
    TSetOptn1* o = nullptr;
};

void click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton);
}

void clickRow(QListWidget* list, int row) {
    list->setCurrentRow(row);
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { SetClock({}); }

    // Save on the Users tab with a name already in the list updates that entry and saves the
    // general settings as well; a changed name adds a second entry and keeps the first.
    void usersSave() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        SetClock([] { return kFirst; });
        p.m->SaveUserEntry("Ann", false);
        p.openOptions(p.o->TabUsers);
        QCOMPARE(p.o->ListBox2->count(), 1);

        clickRow(p.o->ListBox2, 0);
        QCOMPARE(p.o->Edit3->text(), QStringLiteral("Ann"));
        QVERIFY(!p.o->CHKUSER->isChecked());
        p.o->CHKUSER->setChecked(true);
        p.o->Edit6->setText("Ben");
        SetClock([] { return kLater; });
        click(p.o->SaveBtn);

        const QVector<UserList::Entry> e = p.m->ClientDataSet1.entries();
        QCOMPARE(e.size(), 1);
        QVERIFY(e[0].blocked);
        QCOMPARE(e[0].dateCreated, DateTimeText(kLater));
        QCOMPARE(p.o->ListBox2->item(0)->text(), QStringLiteral("Ann - True - %1").arg(e[0].id));
        QCOMPARE(p.o->ListBox3->item(0)->text(), "Ann - True - " + DateTimeText(kLater));
        QCOMPARE(p.m->LOCAL_USER, QStringLiteral("Ben"));
        QCOMPARE(p.stored().LOCAL_USER, QStringLiteral("Ben"));

        p.o->Edit3->setText("Anna");
        click(p.o->SaveBtn);
        const QVector<UserList::Entry> two = p.m->ClientDataSet1.entries();
        QCOMPARE(two.size(), 2);
        QCOMPARE(two[0].userName, QStringLiteral("Ann"));
        QCOMPARE(two[1].userName, QStringLiteral("Anna"));
        QCOMPARE(p.o->ListBox2->count(), 2);
        QVERIFY(Dialogs::Log().isEmpty());
    }

    void blankNameIsRefused() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.openOptions(p.o->TabUsers);
        p.o->Edit3->setText("   ");
        p.o->Edit6->setText("Ben");
        click(p.o->SaveBtn);
        QCOMPARE(
            ShownTexts("notice"),
            QStringList{"User Name Cannot be Blank. Please Enter a User Name or Device Name."});
        QVERIFY(p.o->Edit3->hasFocus() || !p.o->isActiveWindow());
        QCOMPARE(p.m->ClientDataSet1.count(), 0);
        QVERIFY(p.m->LOCAL_USER != QStringLiteral("Ben"));
        QCOMPARE(p.storedRecords(), 0);
    }

    // Delete asks first; No keeps the entry, Yes removes it. The Delete key does the same in
    // both user lists; in the list of copies found on the network it removes nothing.
    void deleteAsksFirst() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.m->SaveUserEntry("Ann", false);
        p.m->SaveUserEntry("Cleo", true);
        p.openOptions(p.o->TabUsers);
        const qint64 annId = p.m->ClientDataSet1.entries().at(0).id;

        p.o->ListBox2->setCurrentRow(0);
        Dialogs::SetNextAnswer(Answer::No);
        click(p.o->DeleteBtn);
        QCOMPARE(
            ShownTexts("question"),
            QStringList{QStringLiteral("Do You Want to Delete - Ann - False - %1 ?").arg(annId)});
        QCOMPARE(p.m->ClientDataSet1.count(), 2);

        p.o->ListBox2->setCurrentRow(0);
        Dialogs::SetNextAnswer(Answer::Yes);
        QTest::keyClick(p.o->ListBox2, Qt::Key_Delete);
        QCOMPARE(p.m->ClientDataSet1.count(), 1);
        QCOMPARE(p.o->ListBox2->count(), 1);

        p.o->ListBox5->addItem("FerroxApp1:Cleo 3");
        p.o->ListBox5->setCurrentRow(0);
        p.o->ListBox3->setCurrentRow(0);
        Dialogs::ClearLog();
        QTest::keyClick(p.o->ListBox5, Qt::Key_Delete);
        QVERIFY(Dialogs::Log().isEmpty());
        QCOMPARE(p.m->ClientDataSet1.count(), 1);

        p.o->TabControl1->setCurrentWidget(p.o->TabGeneral);
        p.o->ListBox3->setCurrentRow(0);
        Dialogs::SetNextAnswer(Answer::No);
        QTest::keyClick(p.o->ListBox3, Qt::Key_Delete);
        QCOMPARE(p.m->ClientDataSet1.count(), 1);
        const QString created = p.m->ClientDataSet1.entries().value(0).dateCreated;
        QTest::keyClick(p.o->ListBox3, Qt::Key_Delete); // unscripted: any answer but No
        QCOMPARE(ShownTexts("question").last(),
                 "Do You Want to Delete - Cleo - True - " + created + " ?");
        QCOMPARE(p.m->ClientDataSet1.count(), 0);
        QCOMPARE(p.o->ListBox3->count(), 0);
    }

    // The default size 13 is not offered: the box shows "12" and a Save stores 12.
    void defaultFontSize() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.openOptions();
        QCOMPARE(p.m->FONT_SIZE, 13.0);
        QCOMPARE(p.o->CMBSIZE->currentText(), QStringLiteral("12"));
        click(p.o->SaveBtn);
        QCOMPARE(p.m->FONT_SIZE, 12.0);
        QCOMPARE(p.stored().FONT_SIZE, 12.0);
    }

    // A size that is no number stops Save before anything is taken or written.
    void sizeNotANumber() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.openOptions();
        const QString sendBefore = p.m->SENDFILE_PATH;
        p.o->CMBSIZE->setEditText("big");
        p.o->Edit6->setText("Ben");
        p.o->Edit1->setText(t.path());
        click(p.o->SaveBtn);
        QCOMPARE(ShownTexts("error").size(), 1);
        QVERIFY(ShownTexts("error").at(0).contains("'big'"));
        QCOMPARE(p.m->SENDFILE_PATH, sendBefore);
        QVERIFY(p.m->LOCAL_USER != QStringLiteral("Ben"));
        QCOMPARE(p.storedRecords(), 0);

        // The same on the Users tab: not even the user entry is stored.
        p.o->TabControl1->setCurrentWidget(p.o->TabUsers);
        p.o->Edit3->setText("Ann");
        click(p.o->SaveBtn);
        QCOMPARE(ShownTexts("error").size(), 2);
        QCOMPARE(p.m->ClientDataSet1.count(), 0);
    }

    // General Save: the folder is taken when it exists, otherwise the Files folder; a sound
    // file that is not there gives the program folder, which plays nothing.
    void generalSaveFolders() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.openOptions();
        QDir().mkpath(t.file("lists"));
        p.o->Edit1->setText(t.file("lists"));
        p.o->Edit2->setText(t.file("nothing.wav"));
        p.o->Edit4->setText("Cleo");
        click(p.o->SaveBtn);
        QCOMPARE(p.m->SENDFILE_PATH, t.file("lists") + "/");
        QCOMPARE(p.m->AUDFILE_PATH, p.m->ROOTPATH);
        QCOMPARE(p.stored().REMOTE_USER, QStringLiteral("Cleo"));

        const QString wav = t.write("ding.wav", "RIFF");
        p.o->Edit1->setText(t.file("missing"));
        p.o->Edit2->setText(wav);
        click(p.o->SaveBtn);
        QCOMPARE(p.m->SENDFILE_PATH, p.m->FILES_PATH);
        QCOMPARE(p.m->AUDFILE_PATH, wav);
    }

    // Each control changes its field at once, without writing anything.
    void controlActions() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        const FerroxState before = *p.m;
        p.openOptions();
        // Showing the dialog changes nothing by itself.
        QCOMPARE(p.m->FONT_NAME, before.FONT_NAME);
        QCOMPARE(p.m->FONT_COLOR, before.FONT_COLOR);
        QCOMPARE(p.o->CMBCOLOR->currentText(), QStringLiteral("bisque"));
        QVERIFY(p.o->CHKUSESTYLE->isChecked());
        QVERIFY(p.o->RDUSER1->isChecked());

        p.o->CHKALTROW->click();
        QVERIFY(p.m->ALTERROW_FLG);
        p.o->CHKSTRLNK->click();
        QVERIFY(!p.m->CONNECTSTRT_FLG);
        p.o->RDUSER2->click();
        QVERIFY(p.m->BYPASSLIST_FLG);
        p.o->RDUSER1->click();
        QVERIFY(!p.m->BYPASSLIST_FLG);
        p.o->CMBFONT->setCurrentIndex(p.o->CMBFONT->findText("Verdana"));
        QCOMPARE(p.m->FONT_NAME, QStringLiteral("Verdana"));
        p.o->CMBSIZE->setCurrentIndex(p.o->CMBSIZE->findText("16"));
        QCOMPARE(p.m->FONT_SIZE, 16.0);
        p.o->CMBCOLOR->setCurrentIndex(p.o->CMBCOLOR->findText("navy"));
        QCOMPARE(p.m->FONT_COLOR, QColor("navy").rgba());

        // Style font off: the boxes' choices; on: the style's button font, rows off.
        p.o->CHKUSESTYLE->click();
        QVERIFY(!p.m->USESTYLEFONT_FLG);
        QVERIFY(p.m->ALTERROW_FLG);
        p.o->CHKUSESTYLE->click();
        QVERIFY(p.m->USESTYLEFONT_FLG);
        QCOMPARE(p.m->FONT_NAME, p.m->TSendBtn->font().family());
        QCOMPARE(p.m->FONT_SIZE, p.m->TSendBtn->font().pointSizeF());
        QCOMPARE(p.m->FONT_COLOR, p.m->TSendBtn->palette().color(QPalette::ButtonText).rgba());
        QVERIFY(!p.m->ALTERROW_FLG);
        QCOMPARE(p.storedRecords(), 0);
        QVERIFY(Dialogs::Log().isEmpty());
    }

    void listClicks() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.m->SaveUserEntry("Dee - Two", false); // a name that holds the separator
        p.openOptions();
        clickRow(p.o->ListBox3, 0);
        QCOMPARE(p.o->Edit4->text(), QStringLiteral("Dee"));
        p.o->TabControl1->setCurrentWidget(p.o->TabUsers);
        clickRow(p.o->ListBox2, 0);
        QCOMPARE(p.o->Edit3->text(), QStringLiteral("Dee - Two"));
        p.o->ListBox5->addItems({"FerroxApp1:Ann Lee 42", "FerroxApp1:Solo"});
        clickRow(p.o->ListBox5, 0);
        QCOMPARE(p.o->Edit3->text(), QStringLiteral("Ann Lee"));
        clickRow(p.o->ListBox5, 1);
        QCOMPARE(p.o->Edit3->text(), QStringLiteral("Solo"));
        click(p.o->AddBtn);
        QVERIFY(!p.o->CHKUSER->isChecked());
    }

    // Double-clicking the folder field takes the folder of the picked file; the sound field
    // takes the file. Cancelling a picker changes nothing.
    void pickers() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.openOptions();
        Dialogs::SetNextFileName(t.file("music/lists/any.txt"));
        QTest::mouseDClick(p.o->Edit1, Qt::LeftButton);
        QCOMPARE(p.o->Edit1->text(), t.file("music/lists"));
        Dialogs::SetNextFileName(t.file("music/ding.wav"));
        QTest::mouseDClick(p.o->Edit2, Qt::LeftButton);
        QCOMPARE(p.o->Edit2->text(), t.file("music/ding.wav"));
        QTest::mouseDClick(p.o->Edit2, Qt::LeftButton); // unscripted: cancelled
        QCOMPARE(p.o->Edit2->text(), t.file("music/ding.wav"));
        QCOMPARE(ShownTexts("open").size(), 3);
        QCOMPARE(Dialogs::Log().at(0).detail, QDir(p.m->SENDFILE_PATH).filePath("a.a"));
    }

    // Add and Delete show on the Users tab only, and Save moves to make room for Add.
    void toolBarByTab() {
        TempFolder t;
        Program p(t.path());
        p.openOptions();
        QVERIFY(!p.o->AddBtn->isVisible());
        QCOMPARE(p.o->SaveBtn->x(), 6);
        p.o->TabControl1->setCurrentWidget(p.o->TabUsers);
        QVERIFY(p.o->AddBtn->isVisible() && p.o->DeleteBtn->isVisible());
        // Save makes room for Add: at 62 when Add has its design width, further right when
        // the style needs a wider button for its text.
        QCOMPARE(p.o->SaveBtn->x(), std::max(62, p.o->AddBtn->geometry().right() + 7));
        QVERIFY(p.o->DeleteBtn->x() > p.o->SaveBtn->geometry().right());
        QCOMPARE(p.o->HelpBtn->geometry().right(), p.o->width() - 7);
    }

    // Clear Files removes every transfer folder, nested ones with all they hold, and keeps
    // the loose files; No leaves everything.
    void clearFiles() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        const QString recv = p.m->RECVFILE_PATH;
        t.write("Files/Recv/old.txt", "loose");
        t.write("Files/Recv/TMP10/a.jpg", "a");
        t.write("Files/Recv/TMP20/home/ann/b.txt", "b");
        t.write("Files/Sent/TMP30", "a send list");
        p.openOptions(p.o->TabUsers);

        Dialogs::SetNextAnswer(Answer::No);
        click(p.o->ClrFileSBtn);
        QVERIFY(QFileInfo::exists(recv + "/TMP10/a.jpg"));

        p.m->Memo1->Lines << "old work";
        click(p.o->ClrFileSBtn);
        QCOMPARE(ShownTexts("question").last(),
                 QStringLiteral("Do You Want to Delete File Transfer History Lists and "
                                "Temporary Files Used in Transfers ?"));
        QCOMPARE(QDir(recv).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"old.txt"});
        QVERIFY(QFileInfo::exists(t.file("Files/Sent/TMP30")));
        QCOMPARE(p.m->Label2->text(), QStringLiteral("File Transfer History Deleted."));
        QVERIFY(p.m->Memo1->Lines.isEmpty());
        QVERIFY(ShownTexts("notice").isEmpty());
        QCOMPARE(p.o->Memo1->toPlainText().split('\n'),
                 (QStringList{recv + "/TMP10", recv + "/TMP20", recv + "/old.txt",
                              t.file("Files/Sent/TMP30")}));
    }

    // A send-list folder set to a personal folder keeps its sub-folders; the user is told.
    void clearFilesLeavesPersonalFolders() {
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        t.write("home/Documents/cv.odt", "cv");
        p.m->SENDFILE_PATH = t.file("home") + "/";
        p.openOptions(p.o->TabUsers);
        click(p.o->ClrFileSBtn);
        QVERIFY(QFileInfo::exists(t.file("home/Documents/cv.odt")));
        QCOMPARE(ShownTexts("notice").size(), 1);
        QVERIFY(Dialogs::Log().last().detail.contains(t.file("home")));
        QCOMPARE(p.m->Label2->text(), QStringLiteral("File Transfer History partly deleted."));
    }

    // Connect drops exactly one "*" from the manager text, forgets the connection and
    // searches again.
    void connect_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("marked") << "FerroxManager1*"
                                << "FerroxManager1";
        QTest::newRow("unmarked") << "FerroxManager1"
                                  << "FerroxManager1";
        QTest::newRow("twice marked") << "FerroxManager1**"
                                      << "FerroxManager1*";
    }
    void connect() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        TempFolder t;
        ScriptedDialogs d;
        Program p(t.path());
        p.m->TethMangr1->setText(before);
        p.m->CONNECTED_FLG = true;
        p.m->SKIP_COUNT = 3;
        p.openOptions(p.o->TabUsers);
        p.o->ListBox5->addItem("FerroxApp1:Old 1"); // a new search starts from an empty list
        click(p.o->ConnectBtn);
        QCOMPARE(p.m->TethMangr1->text(), after);
        QCOMPARE(p.o->ListBox5->count(), 0);
        QVERIFY(!p.m->CONNECTED_FLG);
        QCOMPARE(p.m->SKIP_COUNT, 0);
    }

    // A style click changes the look at once; only Save on the Styles tab keeps it.
    void styleKeptOnlyBySave() {
        TempFolder t;
        ScriptedDialogs d;
        const int dark = 4; // "Dark"
        {
            Program p(t.path());
            p.openOptions(p.o->TabStyles);
            QCOMPARE(p.o->ListBox1->item(dark)->text(), QStringLiteral("Dark"));
            clickRow(p.o->ListBox1, dark);
            QCOMPARE(p.m->STYLE_INDEX, dark);
            QCOMPARE(p.m->STYLE_NAME, QStringLiteral("Dark.Style"));
        }
        {
            Program p(t.path());
            QCOMPARE(p.m->STYLE_INDEX, 0);
            QCOMPARE(p.m->STYLE_NAME, QStringLiteral("Air.Style"));
            p.openOptions(p.o->TabStyles);
            clickRow(p.o->ListBox1, dark);
            click(p.o->SaveBtn);
        }
        Program p(t.path());
        QCOMPARE(p.m->STYLE_INDEX, dark);
        QCOMPARE(p.m->STYLE_NAME, QStringLiteral("Dark.Style"));
    }

    void helpOpensOnOptions() {
        TempFolder t;
        Program p(t.path());
        p.openOptions();
        click(p.o->HelpBtn);
        THelpWin1* h = p.w->HelpWin1.get();
        QVERIFY(h->isVisible());
        QCOMPARE(h->CurrentTopic(), 6);
        QVERIFY(!p.m->FRMOPTIONS_FLG);
        QVERIFY(h->Memo1->toPlainText().contains("Options"));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
