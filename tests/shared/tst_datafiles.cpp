#include "Application.h"
#include "Dialogs.h"
#include "FerroxState.h"
#include "Helpers.h"
#include "Layouts.h"
#include "OptionsFile.h"
#include "TestSupport.h"
#include "UserList.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <cstdio>

namespace {

// Columns of a data file as SQLite reports them: "name type" in order.
QStringList columns(const QString& path, const QString& table) {
    QStringList out;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (q.next())
            out << q.value(1).toString() + QLatin1Char(' ') + q.value(2).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return out;
}

QVariant storedValue(const QString& path, const QString& table, const QString& field) {
    QVariant v;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT \"%1\" FROM \"%2\"").arg(field, table));
        if (q.next())
            v = q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return v;
}

// A fixed clock that the test moves forward, so stored times are known.
struct TestClock {
    QDateTime now{QDate(2026, 3, 4), QTime(10, 20, 30)};
    TestClock() {
        SetClock([this] { return now; });
    }
    ~TestClock() { SetClock({}); }
};

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void layoutsOnDisk_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ConfigUsers.cds")
            << 0
            << QStringList{"ID INTEGER", "UserName VARCHAR(50)", "UserActive BOOLEAN",
                           "DateCreated VARCHAR(25)"};
        const QStringList head{
            "ID INTEGER",         "LocalUser VARCHAR(50)",     "StrRemoteUser VARCHAR(50)",
            "StyleIndx INTEGER",  "SaveFileFldr VARCHAR(200)", "SavAudioFile VARCHAR(200)",
            "Font VARCHAR(50)",   "FontSize INTEGER",          "FontBold BOOLEAN",
            "FontItalic BOOLEAN", "FontColor BIGINT",          "ByPassList BOOLEAN"};
        const QStringList tail{"Left INTEGER", "Top INTEGER", "Height INTEGER", "Width INTEGER",
                               "LastUpdated VARCHAR(26)"};
        QTest::newRow("Options2.cds") << 1 << head + QStringList{"UseStyleFont BOOLEAN"} + tail;
        QTest::newRow("Options.cds") << 2 << head + tail;
    }
    void layoutsOnDisk() {
        QFETCH(int, which);
        QFETCH(QStringList, expected);
        const TableLayout* layouts[] = {&UserListLayout(), &FerroxOptionsLayout(),
                                        &ParlovaOptionsLayout()};
        TempFolder dir;
        DataFile f;
        const OpenReport r = f.open(dir.file(QStringLiteral("x.cds")), *layouts[which]);
        QVERIFY(r.created);
        QCOMPARE(columns(f.path(), layouts[which]->table), expected);
    }

    void firstStartKeepsDefaults() {
        TempFolder dir;
        FerroxState s;
        UserList users;
        OptionsFile options;
        QVERIFY(users.OpenDataFile(dir.path(), QStringLiteral("/")).created);
        QVERIFY(options.open(dir.file(kFerroxOptionsFile), FerroxOptionsLayout()).created);
        QVERIFY(!options.load(FerroxOptionBindings(s)));
        QCOMPARE(s.WINLEFT, 40);
        QCOMPARE(s.WINHEIGHT, 640);
        QCOMPARE(s.WINWIDTH, 990);
        QCOMPARE(s.FONT_SIZE, 13.0);
        QVERIFY(s.CONNECTSTRT_FLG && s.USESTYLEFONT_FLG && !s.BYPASSLIST_FLG);
        QVERIFY(QFile::exists(dir.file(kUserListFile)));
        QVERIFY(QFile::exists(dir.file(kFerroxOptionsFile)));
        QCOMPARE(users.count(), 0);
    }

    void settingsRoundTripAndOneRecord() {
        TempFolder dir;
        TestClock clock;
        const QString path = dir.file(kFerroxOptionsFile);
        {
            FerroxState s;
            s.LOCAL_USER = QStringLiteral("Ann");
            s.ALTERROW_FLG = true;
            s.CONNECTSTRT_FLG = false;
            s.FONT_SIZE = 12.4;
            s.WINLEFT = 123;
            OptionsFile options;
            options.open(path, FerroxOptionsLayout());
            options.save(FerroxOptionBindings(s));
            const QString first = options.data().value(QStringLiteral("LastUpdated")).toString();
            clock.now = clock.now.addSecs(65);
            options.save(FerroxOptionBindings(s));
            QCOMPARE(options.data().recordCount(), 1);
            QVERIFY(options.data().value(QStringLiteral("LastUpdated")).toString() != first);
            QCOMPARE(options.data().value(QStringLiteral("LastUpdated")).toString(),
                     DateTimeText(clock.now));
        }
        QCOMPARE(storedValue(path, "Options2", "FontBold").toInt(), 1);
        QCOMPARE(storedValue(path, "Options2", "FontItalic").toInt(), 0);
        QCOMPARE(storedValue(path, "Options2", "FontSize").toInt(), 12);
        QCOMPARE(storedValue(path, "Options2", "FontColor").toLongLong(), 4294960324LL);

        FerroxState back;
        OptionsFile options;
        options.open(path, FerroxOptionsLayout());
        QVERIFY(options.load(FerroxOptionBindings(back)));
        QCOMPARE(back.LOCAL_USER, QStringLiteral("Ann"));
        QCOMPARE(back.WINLEFT, 123);
        QCOMPARE(back.FONT_COLOR, 0xFFFFE4C4u);
        QVERIFY(back.ALTERROW_FLG && !back.CONNECTSTRT_FLG);
    }

    void blankFoldersKeepDefaults() {
        TempFolder dir;
        const QString path = dir.file(kFerroxOptionsFile);
        {
            FerroxState s;
            s.SENDFILE_PATH = QStringLiteral("   ");
            s.AUDFILE_PATH = QStringLiteral(" /snd/ding.wav");
            OptionsFile options;
            options.open(path, FerroxOptionsLayout());
            options.save(FerroxOptionBindings(s));
        }
        FerroxState s;
        s.SENDFILE_PATH = QStringLiteral("/data/Files/Sent");
        OptionsFile options;
        options.open(path, FerroxOptionsLayout());
        options.load(FerroxOptionBindings(s));
        QCOMPARE(s.SENDFILE_PATH, QStringLiteral("/data/Files/Sent"));
        QCOMPARE(s.AUDFILE_PATH, QStringLiteral(" /snd/ding.wav")); // untrimmed text is taken
    }

    void parlovaColourIsSigned() {
        // The chat program stores its colour signed; the same layer carries it.
        TempFolder dir;
        quint32 colour = 0xFF00FFFF;
        const QVector<OptionBinding> bindings{
            {QStringLiteral("FontColor"), [&] { return QVariant(qint64(qint32(colour))); },
             [&](const QVariant& v) { colour = quint32(v.toLongLong()); }, OptionBinding::Always}};
        OptionsFile options;
        options.open(dir.file(kParlovaOptionsFile), ParlovaOptionsLayout());
        options.save(bindings);
        QCOMPARE(storedValue(dir.file(kParlovaOptionsFile), "Options", "FontColor").toLongLong(),
                 -16711681LL);
        colour = 0;
        options.load(bindings);
        QCOMPARE(colour, 0xFF00FFFFu);
    }

    void windowBoundsOnlyWhenFileExists() {
        TempFolder dir;
        const QString path = dir.file(kFerroxOptionsFile);
        FerroxState s;
        OptionsFile options;
        options.open(path, FerroxOptionsLayout());
        QVERIFY(!options.saveWindowBounds(1, 2, 3, 4)); // no record: nothing stored
        options.save(FerroxOptionBindings(s));
        QVERIFY(options.saveWindowBounds(11, 22, 333, 444));
        QCOMPARE(storedValue(path, "Options2", "Width").toInt(), 444);
        QFile::remove(path);
        QVERIFY(!options.saveWindowBounds(5, 6, 7, 8));
        QVERIFY(!QFile::exists(path));
    }

    void sameUserSavedTwiceIsOneEntry() {
        TempFolder dir;
        TestClock clock;
        UserList users;
        users.OpenDataFile(dir.path(), QStringLiteral("/"));
        QVERIFY(users.SaveUserEntry(QStringLiteral("Bob"), false));
        const QString first = users.entries().value(0).dateCreated;
        clock.now = clock.now.addSecs(3600);
        QVERIFY(!users.SaveUserEntry(QStringLiteral("Bob"), true));
        const auto list = users.entries();
        QCOMPARE(list.size(), 1);
        QVERIFY(list[0].blocked);
        QVERIFY(list[0].dateCreated != first);
        QVERIFY(users.SaveUserEntry(QStringLiteral("Bobby"), false)); // no rename: a new entry
        QCOMPARE(users.count(), 2);
    }

    void blockingIsExact_data() {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("same") << "Mary-Ann" << true;
        QTest::newRow("other case") << "mary-ann" << false;
        QTest::newRow("trailing blank") << "Mary-Ann " << false;
        QTest::newRow("part") << "Ann" << false;
        QTest::newRow("unblocked entry") << "Carl" << false;
        QTest::newRow("unknown") << "Zed" << false;
    }
    void blockingIsExact() {
        QFETCH(QString, asked);
        QFETCH(bool, blocked);
        TempFolder dir;
        UserList users;
        users.OpenDataFile(dir.path(), QStringLiteral("/"));
        users.SaveUserEntry(QStringLiteral("Mary-Ann"), true);
        users.SaveUserEntry(QStringLiteral("Carl"), false);
        QCOMPARE(users.IsUserBlocked(asked), blocked);
    }

    void orderAndDeleteSurviveRestart() {
        TempFolder dir;
        qint64 bobId = 0;
        {
            UserList users;
            users.OpenDataFile(dir.path(), QStringLiteral("/"));
            for (const char* n : {"Zoe", "Bob", "Ann"})
                users.SaveUserEntry(QString::fromLatin1(n), false);
            for (const auto& e : users.entries())
                if (e.userName == QLatin1String("Bob"))
                    bobId = e.id;
            users.DeleteUserEntry(bobId);
            users.DeleteUserEntry(9999); // unknown id: nothing happens
        }
        UserList users;
        users.OpenDataFile(dir.path(), QStringLiteral("/"));
        QStringList names;
        for (const auto& e : users.entries())
            names << e.userName;
        QCOMPARE(names, (QStringList{"Ann", "Zoe"}));
        // A new entry never reuses the id of a deleted one.
        users.SaveUserEntry(QStringLiteral("Cy"), false);
        for (const auto& e : users.entries())
            QVERIFY(e.id != bobId);
    }

    void longTextIsCut() {
        TempFolder dir;
        const QString longName(60, QLatin1Char('n'));
        {
            UserList users;
            users.OpenDataFile(dir.path(), QStringLiteral("/"));
            users.SaveUserEntry(longName, true);
            QCOMPARE(users.entries().value(0).userName.size(), 50);
        }
        UserList users;
        users.OpenDataFile(dir.path(), QStringLiteral("/"));
        QCOMPARE(users.entries().value(0).userName, longName.left(50));
    }

    void brokenFileIsKeptAside_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("garbage") << 0;
        QTest::newRow("truncated") << 1;
        QTest::newRow("other layout") << 2;
        QTest::newRow("same table, other fields") << 3;
    }
    void brokenFileIsKeptAside() {
        QFETCH(int, damage);
        TempFolder dir;
        const QString path = dir.file(kUserListFile);
        if (damage == 0) {
            dir.write(kUserListFile, QByteArray("this is not a data file at all\n").repeated(100));
        } else if (damage == 1 || damage == 2) {
            {
                DataFile f;
                f.open(path, damage == 1 ? UserListLayout() : FerroxOptionsLayout());
                for (int i = 0; i < 300; ++i) {
                    f.append();
                    f.setValue(QString::fromLatin1(damage == 1 ? "UserName" : "LocalUser"),
                               QStringLiteral("user %1 with a long enough name").arg(i));
                    f.post();
                }
            }
            if (damage == 1) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.resize(file.size() / 2 + 100));
            }
        } else {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "mk");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery(db).exec(
                QStringLiteral("CREATE TABLE ConfigUsers (ID INTEGER, UserName TEXT)"));
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase("mk");
        }
        QFile original(path);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll();
        original.close();

        ScriptedDialogs dialogs;
        UserList users;
        const OpenReport r = users.OpenDataFile(dir.path(), QStringLiteral("/"));
        QVERIFY(!r.keptAsidePath.isEmpty());
        QVERIFY(r.created);
        QFile aside(r.keptAsidePath);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), before);
        QCOMPARE(users.count(), 0);
        users.SaveUserEntry(QStringLiteral("Ann"), true); // the new file works
        QVERIFY(users.IsUserBlocked(QStringLiteral("Ann")));

        ReportKeptAside(nullptr, path, r);
        const QStringList shown = ShownTexts(QStringLiteral("notice"));
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains(path));
        QVERIFY(shown[0].contains(r.keptAsidePath));
    }

    void killedWriterLosesNothingPosted() {
        TempFolder dir;
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--post-forever"), dir.path()});
        child.start();
        QVERIFY(child.waitForStarted());
        QByteArray out;
        int reported = 0;
        QElapsedTimer t;
        t.start();
        while (reported < 150 && t.elapsed() < 60000) {
            child.waitForReadyRead(1000);
            out += child.readAllStandardOutput();
            reported = int(out.count('\n'));
        }
        QVERIFY2(reported >= 150, "the writer did not post in time");
        child.kill(); // SIGKILL, mid-stream
        QVERIFY(child.waitForFinished());
        out += child.readAllStandardOutput();
        const QList<QByteArray> lines = out.trimmed().split('\n');
        const int last = lines.last().toInt();

        UserList users;
        const OpenReport r = users.OpenDataFile(dir.path(), QStringLiteral("/"));
        QVERIFY(r.keptAsidePath.isEmpty());
        QVERIFY(users.count() >= last);
        for (int i = 0; i < last; ++i)
            QVERIFY2(users.data().locate(QStringLiteral("UserName"), QStringLiteral("u%1").arg(i)),
                     qPrintable(QString::number(i)));
    }
};

static int postForever(const QString& folder) {
    UserList users;
    users.OpenDataFile(folder, QStringLiteral("/"));
    for (int i = 0;; ++i) {
        users.SaveUserEntry(QStringLiteral("u%1").arg(i), i % 2);
        // Reported only after the post returned: every reported row must survive the kill.
        std::printf("%d\n", i + 1);
        std::fflush(stdout);
    }
}

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--post-forever") {
        QCoreApplication app(argc, argv);
        return postForever(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestDataFiles t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_datafiles.moc"
