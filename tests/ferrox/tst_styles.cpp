#include "FerroxM.h"
#include "Styles.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

Styles::Style BuiltIn(const QString& name) {
    Styles::Style s;
    QString error;
    if (!Styles::Parse(Styles::BuiltInText(name).toUtf8(), &s, &error))
        qWarning() << name << error;
    return s;
}

QColor AppColour(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

} // namespace

class TestStyles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesInSettingsOrder() {
        const QStringList& names = Styles::Names();
        QCOMPARE(names.size(), 36);
        QCOMPARE(names.first(), QStringLiteral("Air"));
        QCOMPARE(names.at(4), QStringLiteral("Dark"));
        QCOMPARE(names.at(5), QStringLiteral("BlackLarge"));
        QCOMPARE(names.at(13), QStringLiteral("MaterialOxfordBlueSE"));
        QCOMPARE(names.at(26), QStringLiteral("Transparent"));
        QCOMPARE(names.last(), QStringLiteral("WedgewoodLight"));
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 36);
        QCOMPARE(Styles::IndexOf(QStringLiteral("Vapor")), 25);
        QCOMPARE(Styles::IndexOf(QStringLiteral("air")), -1); // exact
    }

    // Every built-in look parses and keeps text readable on what it is drawn on.
    void builtInLooksAreReadable_data() {
        QTest::addColumn<QString>("name");
        for (const QString& n : Styles::Names())
            QTest::newRow(qPrintable(n)) << n;
    }
    void builtInLooksAreReadable() {
        QFETCH(QString, name);
        Styles::Style s;
        QString error;
        QVERIFY2(Styles::Parse(Styles::BuiltInText(name).toUtf8(), &s, &error), qPrintable(error));
        const QPalette& p = s.palette;
        auto contrast = [&p](QPalette::ColorRole fg, QPalette::ColorRole bg) {
            return Styles::Contrast(p.color(QPalette::Active, fg), p.color(QPalette::Active, bg));
        };
        QVERIFY2(contrast(QPalette::Text, QPalette::Base) >= 4.5, "text on lists");
        QVERIFY2(contrast(QPalette::Text, QPalette::AlternateBase) >= 4.5, "text on other rows");
        QVERIFY2(contrast(QPalette::WindowText, QPalette::Window) >= 4.5, "text on windows");
        QVERIFY2(contrast(QPalette::ButtonText, QPalette::Button) >= 4.5, "text on buttons");
        QVERIFY2(contrast(QPalette::HighlightedText, QPalette::Highlight) >= 3.0, "selection");
        QVERIFY(!s.sheet.isEmpty());
        QCOMPARE(s.pointSize >= 13, name.endsWith(QLatin1String("Large")));
    }

    void builtInLooksDiffer() {
        QSet<QString> looks;
        int dark = 0;
        for (const QString& n : Styles::Names()) {
            const Styles::Style s = BuiltIn(n);
            const QPalette& p = s.palette;
            looks.insert(p.color(QPalette::Window).name() + p.color(QPalette::Highlight).name() +
                         p.color(QPalette::Button).name() + QString::number(s.pointSize));
            dark += p.color(QPalette::Window).lightnessF() < 0.5;
        }
        QCOMPARE(looks.size(), 36);
        QVERIFY(dark >= 8);
        QVERIFY(36 - dark >= 8);
        QVERIFY(Styles::BuiltInText(QStringLiteral("Nope")).isEmpty());
    }

    void customFileParses() {
        const QByteArray text = R"(/* mine */
@palette {
    window: #102030;   /* comments are fine here */
    text: rgb(250, 240, 230);
    highlight: rgba(1, 2, 3, 128);
    disabled-text: gray;
}
@font { size: 15pt; family: "DejaVu Serif"; }
QPushButton { color: red; }  /* { not a block } */
QLabel { font-family: "A @ B"; }
)";
        Styles::Style s;
        QString error;
        QVERIFY2(Styles::Parse(text, &s, &error), qPrintable(error));
        QCOMPARE(s.palette.color(QPalette::Window), QColor(0x10, 0x20, 0x30));
        QCOMPARE(s.palette.color(QPalette::Text), QColor(250, 240, 230));
        QCOMPARE(s.palette.color(QPalette::Highlight), QColor(1, 2, 3, 128));
        QCOMPARE(s.palette.color(QPalette::Disabled, QPalette::Text), QColor("gray"));
        QCOMPARE(s.palette.color(QPalette::Button), QColor(0x10, 0x20, 0x30)); // from window
        QCOMPARE(s.pointSize, 15.0);
        QCOMPARE(s.fontFamily, QStringLiteral("DejaVu Serif"));
        QVERIFY(s.sheet.startsWith(QLatin1String("QPushButton { color: red; }")));
        QVERIFY(s.sheet.contains(QLatin1String("\"A @ B\"")));
        QVERIFY(!s.sheet.contains(QLatin1String("@palette")));
        QVERIFY(!s.sheet.contains(QLatin1String("mine")));
    }

    void brokenFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("why");
        QTest::newRow("bad colour") << QByteArray("@palette { window: #12345; }") << "colour";
        QTest::newRow("rgb out of range")
            << QByteArray("@palette { text: rgb(1,2,300); }") << "colour";
        QTest::newRow("unknown role") << QByteArray("@palette { wallpaper: red; }") << "role";
        QTest::newRow("no colon") << QByteArray("@palette { window red; }") << "form";
        QTest::newRow("unknown block") << QByteArray("@import url(x);") << "unknown block";
        QTest::newRow("block not closed") << QByteArray("@palette { window: red;") << "closed";
        QTest::newRow("nested block") << QByteArray("@palette { a { } }") << "nested";
        QTest::newRow("twice") << QByteArray("@font{size:9}@font{size:9}") << "twice";
        QTest::newRow("font too big") << QByteArray("@font { size: 200pt; }") << "between";
        QTest::newRow("font setting") << QByteArray("@font { weight: bold; }") << "unknown";
        QTest::newRow("comment not closed") << QByteArray("QLabel {} /* ...") << "comment";
        QTest::newRow("rule not closed") << QByteArray("QLabel { color: red;") << "not closed";
        QTest::newRow("stray brace") << QByteArray("QLabel { } }") << "has no";
        QTest::newRow("quote not closed") << QByteArray("QLabel { font-family: \"A; }") << "quoted";
        QTest::newRow("not UTF-8") << QByteArray("QLabel { color: \xff\xfe; }") << "UTF-8";
        QTest::newRow("binary") << QByteArray("QLabel\0{}", 9) << "not text";
        QTest::newRow("too large") << QByteArray(Styles::kMaxStyleFileBytes + 1, ' ') << "larger";
    }
    void brokenFilesAreRefused() {
        QFETCH(QByteArray, text);
        QFETCH(QString, why);
        Styles::Style s;
        s.sheet = QStringLiteral("untouched");
        QString error;
        QVERIFY(!Styles::Parse(text, &s, &error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QCOMPARE(s.sheet, QStringLiteral("untouched"));
    }

    // SetStyle: the file in the styles folder first, the built-in look otherwise; a file that
    // cannot be used leaves the current look.
    void setStyleTakesFileThenBuiltIn() {
        TempFolder t;
        TFerroxM1 w(t.path());
        t.write(QStringLiteral("Styles/Air.Style"),
                "@palette { window: #123456; window-text: white; }\n"
                "QPushButton#TSendBtn { padding: 9px; }");
        QVERIFY(w.SetStyle(0));
        QCOMPARE(w.STYLE_NAME, QStringLiteral("Air.Style"));
        QCOMPARE(AppColour(QPalette::Window), QColor(0x12, 0x34, 0x56));
        QVERIFY(qApp->styleSheet().contains(QLatin1String("#TSendBtn")));

        QVERIFY(w.SetStyle(4)); // no Dark.Style file: the built-in Dark
        QCOMPARE(w.STYLE_NAME, QStringLiteral("Dark.Style"));
        QCOMPARE(AppColour(QPalette::Window), BuiltIn("Dark").palette.color(QPalette::Window));
        QVERIFY(!qApp->styleSheet().contains(QLatin1String("#TSendBtn")));
    }

    void unusableStyleKeepsTheLook_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("file"); // written as Styles/<name>.Style; null: none
        QTest::addColumn<bool>("asFolder");
        QTest::newRow("bad palette") << 4 << QByteArray("@palette { window: nope; }") << false;
        QTest::newRow("binary") << 4 << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << false;
        QTest::newRow("a folder of that name") << 4 << QByteArray() << true;
        QTest::newRow("index past the list") << 36 << QByteArray() << false;
    }
    void unusableStyleKeepsTheLook() {
        QFETCH(int, index);
        QFETCH(QByteArray, file);
        QFETCH(bool, asFolder);
        TempFolder t;
        TFerroxM1 w(t.path());
        QVERIFY(w.SetStyle(1)); // Amakrits
        const QColor before = AppColour(QPalette::Window);
        const QString sheet = qApp->styleSheet();
        const QString target =
            index < 36 ? t.file("Styles/" + Styles::Names().at(index) + ".Style") : QString();
        if (!file.isNull())
            t.write("Styles/" + Styles::Names().at(index) + ".Style", file);
        if (asFolder)
            QVERIFY(QDir().mkpath(target));

        QVERIFY(!w.SetStyle(index));
        QCOMPARE(AppColour(QPalette::Window), before);
        QCOMPARE(qApp->styleSheet(), sheet);
        QCOMPARE(w.STYLE_NAME, QStringLiteral("Amakrits.Style"));
        if (!target.isEmpty())
            QVERIFY2(w.Label2->text().contains(target), qPrintable(w.Label2->text()));
        QVERIFY(w.SetStyle(-1)); // no style asked for: nothing changes
        QCOMPARE(w.STYLE_NAME, QStringLiteral("Amakrits.Style"));
    }

    void alternatingRows_data() {
        QTest::addColumn<bool>("useStyleFont");
        QTest::addColumn<bool>("alterRow");
        QTest::addColumn<bool>("alternate");
        QTest::newRow("style font wins") << true << true << false;
        QTest::newRow("own font, rows on") << false << true << true;
        QTest::newRow("own font, rows off") << false << false << false;
        QTest::newRow("style font, rows off") << true << false << false;
    }
    void alternatingRows() {
        QFETCH(bool, useStyleFont);
        QFETCH(bool, alterRow);
        QFETCH(bool, alternate);
        TempFolder t;
        TFerroxM1 w(t.path());
        w.DIR1->setAlternatingRowColors(!alternate);
        w.DIR2->setAlternatingRowColors(!alternate);
        w.USESTYLEFONT_FLG = useStyleFont;
        w.ALTERROW_FLG = alterRow;
        w.SetStyle(-1);
        QCOMPARE(w.DIR1->alternatingRowColors(), alternate);
        QCOMPARE(w.DIR2->alternatingRowColors(), alternate);
    }

    void treeItemsFollowTheStyleFontFlag() {
        TempFolder t;
        TFerroxM1 w(t.path());
        auto* local = new QTreeWidgetItem(w.DIR1, {QStringLiteral("   a.txt")});
        auto* remote = new QTreeWidgetItem(w.DIR2, {QStringLiteral("   b.txt")});

        w.USESTYLEFONT_FLG = false;
        w.FONT_NAME = QStringLiteral("DejaVu Serif");
        w.FONT_SIZE = 17;
        w.FONT_COLOR = 0xFF112233;
        QVERIFY(w.SetStyle(0));
        for (QTreeWidgetItem* item : {local, remote}) {
            QCOMPARE(item->font(0).family(), QStringLiteral("DejaVu Serif"));
            QCOMPARE(item->font(0).pointSizeF(), 17.0);
            QCOMPARE(item->foreground(0).color(), QColor(0x11, 0x22, 0x33));
        }

        w.USESTYLEFONT_FLG = true;
        QVERIFY(w.SetStyle(Styles::IndexOf(QStringLiteral("GreenLarge"))));
        QCOMPARE(QApplication::font().pointSizeF(), 14.0); // the whole program grows
        for (QTreeWidgetItem* item : {local, remote}) {
            QCOMPARE(item->font(0).family(), w.TSendBtn->font().family());
            QCOMPARE(item->font(0).pointSizeF(), w.TSendBtn->font().pointSizeF());
            QVERIFY(!item->data(0, Qt::ForegroundRole).isValid()); // the tree's own colour
        }
        QVERIFY(w.SetStyle(0));
        QCOMPARE(QApplication::font().pointSizeF(), 10.0);
    }
};

QTEST_MAIN(TestStyles)
#include "tst_styles.moc"
