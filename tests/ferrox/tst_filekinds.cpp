#include "FerroxM.h"
#include "Helpers.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QtTest>

// File kinds, their icons, the filter tables and the path helper the trees rely on.
class TestFileKinds : public QObject {
    Q_OBJECT
    TempFolder m_folder;
    std::unique_ptr<TFerroxM1> m_main;

    QString Flags() const {
        const TFerroxM1& w = *m_main;
        QStringList out;
        const QList<QPair<bool, const char*>> flags = {
            {w.IMAGEFILE_FLG, "image"},   {w.MEDIAFILE_FLG, "media"}, {w.VIDEOFILE_FLG, "video"},
            {w.MUSICFILE_FLG, "music"},   {w.SOUNDFILE_FLG, "sound"}, {w.TEXTFILE_FLG, "text"},
            {w.DOCUMENT_FLG, "document"}, {w.HTMLFILE_FLG, "web"},    {w.DATABASE_FLG, "data"},
            {w.ZIPFILE_FLG, "zip"},       {w.EXEFILE_FLG, "program"}};
        for (const auto& [on, name] : flags)
            if (on)
                out << QLatin1String(name);
        return out.join(QLatin1Char(' '));
    }

private Q_SLOTS:
    void init() {
        m_main = std::make_unique<TFerroxM1>(m_folder.path());
        m_main->LoadFileTypeTable();
    }
    void cleanup() { m_main.reset(); }

    // One table: the kind flags an upper-case extension sets, and the tree icon they give.
    void matchFileKind_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("icon");
        QTest::newRow("wave") << ".WAV"
                              << "media music sound" << int(TreeIcons::Sound);
        QTest::newRow("wma") << ".WMA"
                             << "media music" << int(TreeIcons::Music);
        QTest::newRow("mp3") << ".MP3"
                             << "media music" << int(TreeIcons::Music);
        QTest::newRow("avi") << ".AVI"
                             << "media video" << int(TreeIcons::Video);
        QTest::newRow("m4v, last media") << ".M4V"
                                         << "media video" << int(TreeIcons::Video);
        QTest::newRow("txt") << ".TXT"
                             << "text" << int(TreeIcons::Text);
        QTest::newRow("wps, before documents") << ".WPS"
                                               << "text" << int(TreeIcons::Text);
        QTest::newRow("doc") << ".DOC"
                             << "text document" << int(TreeIcons::Text);
        QTest::newRow("wdb") << ".WDB"
                             << "text document" << int(TreeIcons::Text);
        QTest::newRow("htm") << ".HTM"
                             << "text document web" << int(TreeIcons::Text);
        QTest::newRow("xml, last web") << ".XML"
                                       << "text document web" << int(TreeIcons::Text);
        QTest::newRow("eml, last document") << ".EML"
                                            << "text document" << int(TreeIcons::Text);
        QTest::newRow("dat") << ".DAT"
                             << "text" << int(TreeIcons::Text);
        QTest::newRow("docx") << ".DOCX"
                              << "text" << int(TreeIcons::Text);
        QTest::newRow("jpg") << ".JPG"
                             << "image" << int(TreeIcons::Image);
        QTest::newRow("icns, last picture") << ".ICNS"
                                            << "image" << int(TreeIcons::Image);
        QTest::newRow("cds") << ".CDS"
                             << "data" << int(TreeIcons::DataBase);
        QTest::newRow("gdb, last data") << ".GDB"
                                        << "data" << int(TreeIcons::DataBase);
        QTest::newRow("zip") << ".ZIP"
                             << "zip" << int(TreeIcons::ZipFile);
        QTest::newRow("exe") << ".EXE"
                             << "program" << int(TreeIcons::RunTime);
        QTest::newRow("jpg and a blank") << ".JPG "
                                         << "" << int(TreeIcons::Unknown);
        QTest::newRow("lower case") << ".jpg"
                                    << "" << int(TreeIcons::Unknown);
        QTest::newRow("without dot") << "JPG"
                                     << "" << int(TreeIcons::Unknown);
        QTest::newRow("empty") << ""
                               << "" << int(TreeIcons::Unknown);
        QTest::newRow("unknown") << ".XYZ"
                                 << "" << int(TreeIcons::Unknown);
    }
    void matchFileKind() {
        QFETCH(QString, ext);
        QFETCH(QString, flags);
        QFETCH(int, icon);
        // Flags of an earlier call must not survive into this one.
        m_main->MatchFileKind(QStringLiteral(".WAV"));
        m_main->MatchFileKind(ext);
        QCOMPARE(Flags(), flags);
        QCOMPARE(m_main->FileIcon(), icon);
    }

    void inStrRev_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<int>("pos");
        QTest::newRow("backslash path") << "C:\\Users\\a.txt" << QChar('\\') << 9;
        QTest::newRow("slash path") << "/home/ann/a.txt" << QChar('/') << 10;
        QTest::newRow("last hyphen") << "Photo12#a-b-Ann" << QChar('-') << 12;
        QTest::newRow("first character") << "-abc" << QChar('-') << 1;
        QTest::newRow("absent") << "abc" << QChar('\\') << -1;
        QTest::newRow("empty") << "" << QChar('\\') << -1;
    }
    void inStrRev() {
        QFETCH(QString, text);
        QFETCH(QChar, ch);
        QFETCH(int, pos);
        QCOMPARE(InStrRev(text, ch), pos);
    }

    void tablesAndFilterBox() {
        const TFerroxM1& w = *m_main;
        QCOMPARE(w.EXT_PICT_ARR.size() - 1, w.LASTPICTURE);
        QCOMPARE(w.EXT_MULT_ARR.size() - 1, w.LASTMEDIA);
        QCOMPARE(w.EXT_TEXT_ARR.size() - 1, w.LASTTEXT);
        QCOMPARE(w.EXT_DATA_ARR.size() - 1, w.LASTDATA);
        QCOMPARE(w.LASTPICTURE, 17);
        QCOMPARE(w.LASTTEXT, 27);
        QCOMPARE(w.TOTAL_FILTERS, 17);
        QCOMPARE(w.FILELABEL_ARR.size(), 18);
        QCOMPARE(w.FILEFILTR_ARR.size(), 18);
        QCOMPARE(w.FILELABEL_ARR.at(17), QStringLiteral("All Files"));
        QCOMPARE(w.FILEFILTR_ARR.at(17), QStringLiteral("*.*"));

        // Every filter is a list of at most 26 "*.EXT" patterns.
        for (const QString& f : w.FILEFILTR_ARR) {
            const QStringList patterns = f.split(QLatin1Char(';'));
            QVERIFY2(patterns.size() <= 26, qPrintable(f));
            for (const QString& p : patterns)
                QVERIFY2(p.startsWith(QLatin1String("*.")) && p.size() > 2, qPrintable(p));
        }
        QCOMPARE(w.FILEFILTR_ARR.at(15), w.FILEFILTR_ARR.at(13) + ";" + w.FILEFILTR_ARR.at(14));
        QCOMPARE(w.FILEFILTR_ARR.at(15).split(QLatin1Char(';')).size(), 26);
        // Kinds that no filter offers.
        for (const char* ext : {"*.HDP", "*.JXR", "*.WDP", "*.DOCX"})
            for (int i = 0; i < 17; ++i)
                QVERIFY(
                    !w.FILEFILTR_ARR.at(i).split(QLatin1Char(';')).contains(QLatin1String(ext)));

        // The box shows the labels in order with "All Files" chosen, also after a second fill.
        m_main->LoadFileTypeTable();
        QCOMPARE(w.CMBFILTER->count(), 18);
        for (int i = 0; i < 18; ++i)
            QCOMPARE(w.CMBFILTER->itemText(i), w.FILELABEL_ARR.at(i));
        QCOMPARE(w.CMBFILTER->currentIndex(), 17);
    }

    void iconsAreDrawnAndNamed() {
        const TreeIcons& icons = *m_main->ImageList1;
        const QStringList names = {"Closed", "Open",   "Text",   "DataBase", "Image",
                                   "Video",  "Music",  "Sound",  "ZipFile",  "Unknown",
                                   "Delete", "Delall", "RunTime"};
        QCOMPARE(icons.count(), names.size());
        QSet<QByteArray> pictures;
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(icons.name(i), names[i]);
            const QImage img = icons.icon(i).pixmap(16, 16).toImage();
            QVERIFY2(!img.isNull(), qPrintable(names[i]));
            pictures.insert(
                QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
        }
        QCOMPARE(pictures.size(), names.size()); // thirteen different pictures
        QVERIFY(icons.icon(13).isNull());
    }
};

QTEST_MAIN(TestFileKinds)
#include "tst_filekinds.moc"
