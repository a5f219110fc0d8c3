#include "WireText.h"

#include <QtTest>

class TestWireText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textListRoundTrip() {
        const QStringList lines{"DRIVES", "/|4096", "/home/Grüße|-1", ""};
        const QByteArray bytes = wire::EncodeTextList(lines);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), 4);
        QCOMPARE(wire::DecodeTextList(bytes), lines);
    }

    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty payload") << QByteArray() << QStringList();
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("no final break")
            << QByteArray("START\r\n/home") << QStringList{"START", "/home"};
        QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBFTEXT2\r\nä\r\n")
                                   << QStringList{"TEXT2", QString::fromUtf8("ä")};
        QTest::newRow("utf-16le bom") << QByteArray("\xFF\xFE"
                                                    "A\0\r\0\n\0\xE4\0\r\0\n\0",
                                                    14)
                                      << QStringList{"A", QString::fromUtf8("ä")};
        QTest::newRow("utf-16be bom") << QByteArray("\xFE\xFF\0A\0\r\0\n", 8) << QStringList{"A"};
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(wire::DecodeTextList(bytes), lines);
    }

    void splitNamed_data() {
        QTest::addColumn<QString>("rest");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<bool>("hasSender");
        QTest::newRow("plain") << "TMP4711 - Ann"
                               << "TMP4711 "
                               << "Ann" << true;
        QTest::newRow("hyphenated user") << "a.txt - Mary-Ann"
                                         << "a.txt "
                                         << "Mary-Ann" << true;
        QTest::newRow("hyphenated file") << "my-file.txt - Bob"
                                         << "my-file.txt "
                                         << "Bob" << true;
        QTest::newRow("served list, two blanks") << "TMP12  - Bob"
                                                 << "TMP12  "
                                                 << "Bob" << true;
        QTest::newRow("no blanks falls back") << "a.txt-Bob"
                                              << "a.txt"
                                              << "Bob" << true;
        QTest::newRow("no separator") << "a.txt"
                                      << "a.txt"
                                      << "" << false;
    }
    void splitNamed() {
        QFETCH(QString, rest);
        const wire::NamedDescription d = wire::SplitNamedDescription(rest);
        QTEST(d.name, "name");
        QTEST(d.sender, "sender");
        QTEST(d.hasSender, "hasSender");
    }

    void safeName_data() {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("plain") << "a.txt"
                               << "a.txt";
        QTest::newRow("blanks trimmed") << " a.txt "
                                        << "a.txt";
        QTest::newRow("unix path") << "/etc/x"
                                   << "x";
        QTest::newRow("windows path") << "C:\\Users\\a.txt"
                                      << "a.txt";
        QTest::newRow("climb with backslash") << "..\\x"
                                              << "x";
        QTest::newRow("climb with slash") << "../../.ssh/authorized_keys"
                                          << "authorized_keys";
        QTest::newRow("dot dot") << ".."
                                 << "";
        QTest::newRow("dot") << "."
                             << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("trailing separator") << "dir/"
                                            << "";
        QTest::newRow("control char") << "a\nb"
                                      << "";
        QTest::newRow("nul") << QString(QChar(0)) + "x"
                             << "";
        QTest::newRow("dots in name") << "..hidden"
                                      << "..hidden";
        QTest::newRow("at suffix") << "a.txt@2"
                                   << "a.txt@2";
    }
    void safeName() {
        QFETCH(QString, received);
        QFETCH(QString, stored);
        const auto got = wire::SafeFileName(received);
        QCOMPARE(got.value_or(QString()), stored);
        QCOMPARE(got.has_value(), !stored.isEmpty());
    }

    void driveLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("root");
        QTest::addColumn<qint64>("freeBytes");
        QTest::newRow("windows") << "C:\\|4096"
                                 << "C:\\" << qint64(4096);
        QTest::newRow("unreadable") << "/media/x|-1"
                                    << "/media/x" << qint64(-1);
        QTest::newRow("no bar") << "D:\\"
                                << "D:\\" << qint64(0);
        QTest::newRow("partly a number") << "/|123abc"
                                         << "/" << qint64(123);
        QTest::newRow("not a number") << "/|abc"
                                      << "/" << qint64(0);
        QTest::newRow("big") << "/|5000000000000"
                             << "/" << qint64(5000000000000LL);
    }
    void driveLine() {
        QFETCH(QString, line);
        const wire::DriveLine d = wire::ParseDriveLine(line);
        QTEST(d.root, "root");
        QTEST(d.freeBytes, "freeBytes");
    }

    void pictureTag_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "/pics/a.png-Ann"
                               << "Ann"
                               << "/pics/a.png";
        QTest::newRow("hyphen in path") << "/pics/my-cat.png-Ann"
                                        << "Ann"
                                        << "/pics/my-cat.png";
        QTest::newRow("hyphen in user") << "/p/a.png-Mary-Ann"
                                        << "Mary-Ann"
                                        << "/p/a.png";
        QTest::newRow("no ending") << "/p/a.png"
                                   << "Ann"
                                   << "/p/a.png";
    }
    void pictureTag() {
        QFETCH(QString, tag);
        QFETCH(QString, user);
        QTEST(wire::PathOfPictureTag(tag, user), "path");
    }
};

QTEST_GUILESS_MAIN(TestWireText)
#include "tst_wiretext.moc"
