#include "Dialogs.h"
#include "Drives.h"
#include "Failure.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "Helpers.h"
#include "Layouts.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QSysInfo>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <csignal>

namespace {

// Writes a settings record as the options dialog would, from a state with its defaults.
void WriteSettings(const QString& root, const std::function<void(FerroxState&)>& change) {
    FerroxState s;
    change(s);
    OptionsFile f;
    f.open(root + QStringLiteral("/") + QLatin1String(kFerroxOptionsFile), FerroxOptionsLayout());
    f.save(FerroxOptionBindings(s));
}

FerroxState ReadSettings(const QString& root) {
    FerroxState s;
    OptionsFile f;
    f.open(root + QStringLiteral("/") + QLatin1String(kFerroxOptionsFile), FerroxOptionsLayout());
    f.load(FerroxOptionBindings(s));
    return s;
}

std::unique_ptr<TFerroxM1> Start(const QString& root, int number = 7,
                                 const QString& account = QStringLiteral("acct")) {
    auto w = std::make_unique<TFerroxM1>(root);
    w->RandomNumber = [number] { return number; };
    w->AccountFallback = [account] { return account; };
    w->show(); // the first show runs the start-up steps
    return w;
}

// Sets environment variables for one test and puts the old values back afterwards.
class Env {
public:
    void set(const char* name, const QString& value) {
        remember(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~Env() {
        for (const auto& [name, old] : m_old) {
            if (old.isNull())
                qunsetenv(name.constData());
            else
                qputenv(name.constData(), old);
        }
    }

private:
    void remember(const char* name) {
        for (const auto& o : m_old)
            if (o.first == name)
                return;
        m_old.push_back({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    }
    QVector<QPair<QByteArray, QByteArray>> m_old;
};

} // namespace

class TestFerroxStartup : public QObject {
    Q_OBJECT
    ScriptedDialogs m_dialogs;

private Q_SLOTS:
    void init() {
        Dialogs::Reset();
        Dialogs::SetScripted(true);
    }

    // The data folder is the current directory at creation, not the executable's folder.
    void startInEmptyFolder() {
        TempFolder t;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(t.path()));
        auto w = std::make_unique<TFerroxM1>();
        QDir::setCurrent(before);

        QCOMPARE(w->ROOTPATH, t.path());
        for (const char* f : {"Styles", "Files", "Files/Sent", "Files/Recv", "Bmps", "Help"})
            QVERIFY2(QFileInfo(t.file(QLatin1String(f))).isDir(), f);
        QVERIFY(!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/Files/Sent"));
        QCOMPARE(w->STYLE_PATH, t.path() + "/Styles/");
        QCOMPARE(w->FILES_PATH, t.path() + "/Files");
        QCOMPARE(w->SENDFILE_PATH, t.path() + "/Files/Sent");
        QCOMPARE(w->RECVFILE_PATH, t.path() + "/Files/Recv");
        QCOMPARE(w->ALTER_PATH, w->RECVFILE_PATH);
        QCOMPARE(w->CURRRECVD_PATH, w->RECVFILE_PATH);
        QCOMPARE(w->windowTitle(), QStringLiteral("Ferrox 1"));
        QVERIFY(!w->StartBtn->isEnabled());
        QVERIFY(w->FIRST_TIME_FLG);
        QVERIFY(!QFileInfo::exists(t.file(kFerroxOptionsFile)));

        w->RandomNumber = [] { return 7; };
        w->show();
        QVERIFY(!w->FIRST_TIME_FLG);
        QVERIFY(QFileInfo::exists(t.file(kUserListFile)));
        QVERIFY(QFileInfo::exists(t.file(kFerroxOptionsFile)));
        QVERIFY(w->StartBtn->isEnabled());
        QVERIFY(!w->TSendBtn->isEnabled());
        QVERIFY(!w->TRecvBtn->isEnabled());
        QCOMPARE(w->CMBFILTER->currentText(), QStringLiteral("All Files"));
        QVERIFY(w->CMBDRIVE->count() > 0);
        QCOMPARE(w->CMBDRIVE->currentIndex(), 0);
        QCOMPARE(w->DRIVE_LETTER[1], QStringLiteral("A"));
        QCOMPARE(w->DRIVE_LETTER[26], QStringLiteral("Z"));
        QCOMPARE(w->STYLE_NAME, QStringLiteral("Air.Style"));
        // Defaults of an empty settings file.
        QCOMPARE(w->pos(), QPoint(40, 40));
        QCOMPARE(w->size(), QSize(990, 640));
        QVERIFY(w->CONNECTSTRT_FLG);
        QVERIFY(w->USESTYLEFONT_FLG);
        QVERIFY(Dialogs::Log().isEmpty());
    }

    void folderThatCannotBeMadeStopsTheStart() {
        TempFolder t;
        t.write(QStringLiteral("Files"), "a file where a folder belongs");
        try {
            TFerroxM1 w(t.path());
            QFAIL("the window was created");
        } catch (const Failure& e) {
            QVERIFY2(e.message().contains(t.file("Files")), qPrintable(e.message()));
        }
        QVERIFY(QFileInfo(t.file("Styles")).isDir()); // made before the one that failed
        QVERIFY(!QFileInfo::exists(t.file("Bmps")));
    }

    void profileTextAndCaption_data() {
        QTest::addColumn<QString>("localUser"); // null: no settings record
        QTest::addColumn<QString>("userName");  // USERNAME; null: unset
        QTest::addColumn<QString>("user");      // USER
        QTest::addColumn<QString>("computer");  // COMPUTERNAME
        QTest::addColumn<QString>("account");   // the system's account name
        QTest::addColumn<QString>("expectedUser");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("status");
        const QString host = QSysInfo::machineHostName();
        QTest::newRow("setting Ann") << "Ann"
                                     << "bob"
                                     << "carl"
                                     << "PC7"
                                     << "acct"
                                     << "Ann"
                                     << "FerroxApp1:Ann 7"
                                     << "Ferrox Intranet - User: Ann 7"
                                     << "PC7";
        QTest::newRow("blank setting: USERNAME") << "   "
                                                 << "bob"
                                                 << "carl"
                                                 << "PC7"
                                                 << "acct"
                                                 << "bob"
                                                 << "FerroxApp1:bob 7"
                                                 << "Ferrox Intranet - User: bob 7"
                                                 << "PC7";
        QTest::newRow("no settings, no USERNAME: USER, host name")
            << QString() << QString() << "carl" << QString() << "acct"
            << "carl"
            << "FerroxApp1:carl 7"
            << "Ferrox Intranet - User: carl 7" << host;
        QTest::newRow("no variables: the account") << ""
                                                   << "" << QString() << "PC7"
                                                   << "acct"
                                                   << "acct"
                                                   << "FerroxApp1:acct 7"
                                                   << "Ferrox Intranet - User: acct 7"
                                                   << "PC7";
        QTest::newRow("no name anywhere") << ""
                                          << ""
                                          << ""
                                          << "PC7"
                                          << ""
                                          << " 7"
                                          << "FerroxApp1: 7"
                                          << "Ferrox Intranet - User:  7 7"
                                          << "PC7";
    }
    void profileTextAndCaption() {
        QFETCH(QString, localUser);
        QFETCH(QString, userName);
        QFETCH(QString, user);
        QFETCH(QString, computer);
        QFETCH(QString, account);
        QFETCH(QString, expectedUser);
        QFETCH(QString, profile);
        QFETCH(QString, caption);
        QFETCH(QString, status);
        TempFolder t;
        if (!localUser.isNull())
            WriteSettings(t.path(), [&](FerroxState& s) { s.LOCAL_USER = localUser; });
        Env env;
        env.set("USERNAME", userName);
        env.set("USER", user);
        env.set("COMPUTERNAME", computer);
        env.set("LOGNAME", QString());

        auto w = Start(t.path(), 7, account);
        QCOMPARE(w->LOCAL_USER, expectedUser);
        QCOMPARE(w->PROFILE_TEXT, profile);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->Label2->text(), status);
        QCOMPARE(w->COMPUTER_NAME, status);
    }

    void settingsAreReadAtStart() {
        TempFolder t;
        WriteSettings(t.path(), [](FerroxState& s) {
            s.STYLE_INDEX = 4;
            s.USESTYLEFONT_FLG = false;
            s.ALTERROW_FLG = true;
            s.CONNECTSTRT_FLG = false;
            s.SENDFILE_PATH = QStringLiteral("   "); // blank: the default stays
        });
        auto w = Start(t.path());
        QCOMPARE(w->STYLE_INDEX, 4);
        QCOMPARE(w->STYLE_NAME, QStringLiteral("Dark.Style"));
        QVERIFY(w->DIR1->alternatingRowColors());
        QVERIFY(!w->CONNECTSTRT_FLG);
        QCOMPARE(w->SENDFILE_PATH, t.path() + "/Files/Sent");
    }

    void boundsStoredAtCloseAndUsedAtNextStart() {
        TempFolder t;
        WriteSettings(t.path(), [](FerroxState&) {});
        {
            auto w = Start(t.path());
            w->move(130, 70);
            w->resize(900, 500);
            QVERIFY(w->close());
        }
        const FerroxState stored = ReadSettings(t.path());
        QCOMPARE(stored.WINLEFT, 130);
        QCOMPARE(stored.WINTOP, 70);
        QCOMPARE(stored.WINWIDTH, 900);
        QCOMPARE(stored.WINHEIGHT, 500);

        auto again = Start(t.path());
        QCOMPARE(again->pos(), QPoint(130, 70));
        QCOMPARE(again->size(), QSize(900, 500));
    }

    // Bounds from a damaged record, or from a screen that is gone, give a usable window.
    void unusableBoundsArePutBack_data() {
        QTest::addColumn<QRect>("stored"); // left, top, width, height
        QTest::addColumn<QRect>("shown");
        QTest::newRow("kept") << QRect(60, 50, 900, 400) << QRect(60, 50, 900, 400);
        QTest::newRow("off every screen")
            << QRect(-5000, 9000, 900, 400) << QRect(40, 40, 900, 400);
        QTest::newRow("no size") << QRect(60, 50, 0, -3) << QRect(60, 50, 990, 640);
    }
    void unusableBoundsArePutBack() {
        QFETCH(QRect, stored);
        QFETCH(QRect, shown);
        TempFolder t;
        WriteSettings(t.path(), [&](FerroxState& s) {
            s.WINLEFT = stored.x();
            s.WINTOP = stored.y();
            s.WINWIDTH = stored.width();
            s.WINHEIGHT = stored.height();
        });
        auto w = Start(t.path());
        QCOMPARE(QRect(w->pos(), w->size()), shown);
    }

    // Without a settings file on disk nothing is stored, and the file is not made again.
    void noBoundsWithoutSettingsFile() {
        TempFolder t;
        WriteSettings(t.path(), [](FerroxState&) {});
        auto w = Start(t.path());
        QVERIFY(QFile::remove(t.file(kFerroxOptionsFile)));
        w->move(200, 100);
        QVERIFY(w->close());
        QVERIFY(!QFileInfo::exists(t.file(kFerroxOptionsFile)));
    }

    void brokenDataFileIsKeptAsideAndStartGoesOn() {
        TempFolder t;
        t.write(kFerroxOptionsFile, "this is not a settings file");
        auto w = Start(t.path());
        QVERIFY(!w->FIRST_TIME_FLG);
        const QStringList notices = ShownTexts(QStringLiteral("notice"));
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices[0].contains(QLatin1String(kFerroxOptionsFile) + ".broken-"),
                 qPrintable(notices[0]));
        const QStringList aside =
            QDir(t.path()).entryList({QLatin1String(kFerroxOptionsFile) + ".broken-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(QFile(t.file(aside[0])).size(), qint64(27)); // kept as it was
        QCOMPARE(w->WINWIDTH, 990);                           // defaults in force
    }

    void controlsCarryNamesTextsAndHints_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        auto row = [](const char* n, const char* text, const char* hint) {
            QTest::newRow(n) << n << text << hint;
        };
        row("CMBDRIVE", "", "List of Logical Drives on this Computer");
        row("CMBFILTER", "", "Select File Type Filter for This computer.");
        row("TSendBtn", "Send", "Copy Selected Files on List below to Computer on Right.");
        row("TRecvBtn", "Get", "Get Selected Files on Right List below from Computer on Right.");
        row("StartBtn", "Start", "View Computer Folders/Files on Device List");
        row("ListBox3", "", "List of Computers/Users to Connect. Highlighted User Connected.");
        row("CMBDRIVE2", "", "List of Logical Drives on Active Tethered Computer.");
        row("TOptnBtn", "Options", "Select Options");
        row("HelpBtn", "Help", "Help with Ferrox");
        row("TCloseBtn", "Quit", "Close Ferrox");
        row("DIR1", "", "Double Click Folder to Expand");
        row("DIR2", "", "Double Click Folder to Expand");
        row("ListBox1", "", "List of Files to be Sent to Computer on Right.");
        row("ListBox2", "", "List of Files to be Added to this Computer on Left.");
        row("Label1", "", "");
        row("Label2", "", "");
        for (const char* hidden : {"PopupMenu1", "PopupMenu2", "Memo1", "Memo2", "Image1", "Timer1",
                                   "MediaPlayer1", "ImageList1"})
            QTest::newRow(hidden) << hidden << ""
                                  << "";
        row("mnuDelete1", "Delete", "");
        row("mnuClrAll", "Clear All", "");
        row("mnuDelete2", "Delete", "");
        row("mnuClrAll2", "Clear All", "");
    }
    void controlsCarryNamesTextsAndHints() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        TempFolder t;
        TFerroxM1 w(t.path());
        const QList<QObject*> found = w.findChildren<QObject*>(name);
        QCOMPARE(found.size(), 1);
        QObject* o = found.first();
        if (!text.isEmpty())
            QCOMPARE(o->property("text").toString(), text);
        if (auto* widget = qobject_cast<QWidget*>(o))
            QCOMPARE(widget->toolTip(), hint);
    }

    void layoutAndResize() {
        TempFolder t;
        auto w = Start(t.path());
        w->resize(1200, 700);
        QCoreApplication::processEvents();
        auto at = [&](QWidget* c) { return c->mapTo(w.get(), QPoint(0, 0)); };
        QVERIFY(at(w->DIR1).x() < at(w->DIR2).x()); // local left, remote right
        QVERIFY(at(w->ListBox1).x() < at(w->ListBox2).x());
        QVERIFY(at(w->DIR1).y() < at(w->ListBox1).y()); // trees above lists
        QCOMPARE(w->ListBox3->width(), 1200 - 835);

        // No pane can be pushed below 20 pixels.
        w->Splitter1->setSizes({1000, 0});
        w->Splitter2->setSizes({0, 1000});
        w->Splitter3->setSizes({1000, 0});
        QVERIFY(w->Splitter1->sizes().at(1) >= 20);
        QVERIFY(w->Splitter2->sizes().at(0) >= 20);
        QVERIFY(w->Splitter3->sizes().at(1) >= 20);
    }

    void clockShowsTheTime() {
        TempFolder t;
        const QDateTime fixed(QDate(2024, 5, 6), QTime(7, 8, 9));
        SetClock([fixed] { return fixed; });
        auto w = Start(t.path());
        w->Label1->clear();
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->Timer1->interval(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(w->Label1->text(), DateTimeText(fixed), 3000);
        SetClock({});
    }

    void fiveWindows() {
        TempFolder t;
        FerroxWindows windows(t.path());
        TFerroxM1* main = windows.FerroxM1.get();
        QCOMPARE(main->objectName(), QStringLiteral("TFerroxM1"));
        const QList<QWidget*> others = {
            reinterpret_cast<QWidget*>(main->SetOptn1), reinterpret_cast<QWidget*>(main->DspFile1),
            reinterpret_cast<QWidget*>(main->SelFldr1), reinterpret_cast<QWidget*>(main->HelpWin1)};
        const QStringList names = {"TSetOptn1", "TDspFile1", "TSelFldr1", "THelpWin1"};
        for (int i = 0; i < others.size(); ++i) {
            QVERIFY(others[i]);
            QCOMPARE(others[i]->objectName(), names[i]);
            QVERIFY(others[i]->isWindow());
            QVERIFY(!others[i]->testAttribute(Qt::WA_QuitOnClose));
        }
        QVERIFY(main->testAttribute(Qt::WA_QuitOnClose));
    }

    void drivesOfThisComputer() {
        const QStringList drives = LogicalDrives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first(), QStringLiteral("/"));
        QCOMPARE(QSet<QString>(drives.begin(), drives.end()).size(), drives.size());
        for (const QString& d : drives)
            QVERIFY2(QFileInfo(d).isDir(), qPrintable(d));
        QVERIFY(DriveFreeBytes(QStringLiteral("/")) > 0);
        const QStringList some = {"/", "/home", "/media/usb"};
        QCOMPARE(DriveRootOf("/home/ann/x", some), QStringLiteral("/home"));
        QCOMPARE(DriveRootOf("/home", some), QStringLiteral("/home"));
        QCOMPARE(DriveRootOf("/homework", some), QStringLiteral("/"));
        QCOMPARE(DriveRootOf("/media/usb/a", some), QStringLiteral("/media/usb"));
    }

    // A log-out (SIGTERM) or Ctrl+C (SIGINT) closes the program the way Quit does.
    void signalClosesLikeQuit_data() {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signalClosesLikeQuit() {
        QFETCH(int, sig);
        TempFolder t;
        // Stored off every screen: the start puts the window back at 40, 40, and only a close
        // that stores the bounds writes that back.
        WriteSettings(t.path(), [](FerroxState& s) {
            s.CONNECTSTRT_FLG = false;
            s.WINLEFT = -5000;
        });
        QProcess p;
        p.setWorkingDirectory(t.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(FERROX_EXE), {});
        QVERIFY(p.waitForStarted());
        // The first show opens the user list; once it exists the program is up.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(t.file(kUserListFile)), 30000);
        QTest::qWait(500);
        ::kill(static_cast<pid_t>(p.processId()), sig);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(ReadSettings(t.path()).WINLEFT, 40);
    }
};

QTEST_MAIN(TestFerroxStartup)
#include "tst_ferroxstartup.moc"
