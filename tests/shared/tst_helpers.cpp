#include "Helpers.h"

#include <QLocale>
#include <QtTest>

class TestHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inStrRev_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<int>("pos");
        QTest::newRow("path") << QStringLiteral("C:\\Users\\a.txt") << QChar('\\') << 9;
        QTest::newRow("unix path") << QStringLiteral("/home/ann/a.txt") << QChar('/') << 10;
        QTest::newRow("absent") << QStringLiteral("abc") << QChar('\\') << -1;
        QTest::newRow("empty") << QString() << QChar('\\') << -1;
        QTest::newRow("first char") << QStringLiteral("-abc") << QChar('-') << 1;
        QTest::newRow("last char") << QStringLiteral("abc-") << QChar('-') << 4;
    }
    void inStrRev() {
        QFETCH(QString, text);
        QFETCH(QChar, ch);
        QFETCH(int, pos);
        QCOMPARE(InStrRev(text, ch), pos);
    }

    void sizeText_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("million") << "en_US" << qint64(1000000) << "1,000,000";
        QTest::newRow("999") << "en_US" << qint64(999) << "999";
        QTest::newRow("zero is empty") << "en_US" << qint64(0) << "";
        QTest::newRow("over 2 GiB") << "en_US" << qint64(3221225472LL) << "3,221,225,472";
        QTest::newRow("german groups") << "de_DE" << qint64(1234567) << "1.234.567";
        QTest::newRow("C locale still groups") << "C" << qint64(4096) << "4,096";
    }
    void sizeText() {
        QFETCH(QString, locale);
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(SizeText(bytes), text);
        QLocale::setDefault(QLocale::c());
    }

    void dateTimeText() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QLocale loc;
        const QDateTime noon(QDate(2026, 1, 2), QTime(12, 0, 5));
        QCOMPARE(DateTimeText(noon), loc.toString(noon.date(), QLocale::ShortFormat) +
                                         QLatin1Char(' ') +
                                         loc.toString(noon.time(), QLocale::LongFormat));
        const QDateTime midnight(QDate(2026, 1, 2), QTime(0, 0));
        QCOMPARE(DateTimeText(midnight), loc.toString(midnight.date(), QLocale::ShortFormat));
        // The clock seam drives the default argument.
        SetClock([&] { return noon; });
        QCOMPARE(DateTimeText(), DateTimeText(noon));
        SetClock({});
        QVERIFY(qAbs(Now().secsTo(QDateTime::currentDateTime())) < 5);
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
