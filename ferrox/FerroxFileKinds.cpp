// File kinds, their tree icons and the file filters of the local tree.
#include "FerroxM.h"

#include <QComboBox>

void TFerroxM1::LoadFileTypeTable() {
    EXT_PICT_ARR = {QStringLiteral("JPG"), QStringLiteral("JPE"),  QStringLiteral("JPEG"),
                    QStringLiteral("JP2"), QStringLiteral("TIFF"), QStringLiteral("TIF"),
                    QStringLiteral("J2K"), QStringLiteral("BMP"),  QStringLiteral("ICO"),
                    QStringLiteral("TGA"), QStringLiteral("PNG"),  QStringLiteral("PSD"),
                    QStringLiteral("GIF"), QStringLiteral("WMF"),  QStringLiteral("HDP"),
                    QStringLiteral("JXR"), QStringLiteral("WDP"),  QStringLiteral("ICNS")};
    EXT_MULT_ARR = {QStringLiteral("WAV"), QStringLiteral("WMA"), QStringLiteral("MP3"),
                    QStringLiteral("AVI"), QStringLiteral("WMV"), QStringLiteral("MP4"),
                    QStringLiteral("MOV"), QStringLiteral("M4V")};
    EXT_TEXT_ARR = {QStringLiteral("TXT"),   QStringLiteral("RTF"),  QStringLiteral("INI"),
                    QStringLiteral("LOG"),   QStringLiteral("BAT"),  QStringLiteral("BAK"),
                    QStringLiteral("DOS"),   QStringLiteral("SYS"),  QStringLiteral("WRI"),
                    QStringLiteral("LST"),   QStringLiteral("URL"),  QStringLiteral("MSG"),
                    QStringLiteral("WPS"),   QStringLiteral("DOC"),  QStringLiteral("WDB"),
                    QStringLiteral("HTM"),   QStringLiteral("HTML"), QStringLiteral("SHTM"),
                    QStringLiteral("SHTML"), QStringLiteral("ASP"),  QStringLiteral("PHP"),
                    QStringLiteral("PDF"),   QStringLiteral("XML"),  QStringLiteral("EML"),
                    QStringLiteral("DAT"),   QStringLiteral("CDA"),  QStringLiteral("CSV"),
                    QStringLiteral("DOCX")};
    EXT_DATA_ARR = {QStringLiteral("CDS"), QStringLiteral("SDB"), QStringLiteral("MDB"),
                    QStringLiteral("DB"),  QStringLiteral("XLS"), QStringLiteral("XLSX"),
                    QStringLiteral("FDB"), QStringLiteral("GDB")};
    LASTPICTURE = 17;
    LASTMEDIA = 7;
    LASTTEXT = 27;
    LASTDATA = 7;

    const QString text =
        QStringLiteral("*.TXT;*.RTF;*.INI;*.LOG;*.BAT;*.BAK;*.DOS;*.SYS;*.WRI;*.LST;*.URL;*.MSG");
    const QString documents = QStringLiteral(
        "*.DOC;*.WDB;*.HTM;*.HTML;*.SHTM;*.SHTML;*.ASP;*.PHP;*.PDF;*.XML;*.EML;*.DAT;*.CSV;*.CDA");
    const QList<QPair<QString, QString>> filters = {
        {QStringLiteral("JPEG and JPEG2000 (JPG, JP2 and J2K)"),
         QStringLiteral("*.JPG;*.JPE;*.JPEG;*.J2K;*.JP2")},
        {QStringLiteral("TIFF Formats"), QStringLiteral("*.TIFF;*.TIF")},
        {QStringLiteral("BMP Formats"), QStringLiteral("*.BMP")},
        {QStringLiteral("Icons and Cursors"), QStringLiteral("*.ICO;*.ICNS")},
        {QStringLiteral("Portable Network Graphics Format"), QStringLiteral("*.PNG")},
        {QStringLiteral("PhotoShop Format (PSD) and TGA"), QStringLiteral("*.PSD;*.TGA")},
        {QStringLiteral("Microsoft Media Format (WMF)"), QStringLiteral("*.WMF")},
        {QStringLiteral("Graphic Interchange Format (GIF)"), QStringLiteral("*.GIF")},
        {QStringLiteral("All Picture Files"),
         QStringLiteral("*.JPG;*.JPE;*.JPEG;*.J2K;*.JP2;*.TIFF;*.TIF;*.BMP;*.ICO;*.ICNS;*.PNG;"
                        "*.PSD;*.WMF;*.GIF;*.TGA")},
        {QStringLiteral("Wave Files"), QStringLiteral("*.WAV")},
        {QStringLiteral("Music Files"), QStringLiteral("*.WMA;*.MP3")},
        {QStringLiteral("Video Files"), QStringLiteral("*.AVI;*.WMV;*.MP4;*.MOV;*.M4V")},
        {QStringLiteral("Multimedia Files"),
         QStringLiteral("*.WAV;*.WMA;*.MP3;*.AVI;*.WMV;*.MP4;*.MOV;*.M4V")},
        {QStringLiteral("Text Files"), text},
        {QStringLiteral("Document Files"), documents},
        {QStringLiteral("Document and Text Files"), text + QLatin1Char(';') + documents},
        {QStringLiteral("DataSnap Database File"),
         QStringLiteral("*.CDS;*.MDB;*.SDB;*.GDB;*.FDB;*.XLS;*.XLSX")},
        {QStringLiteral("All Files"), QStringLiteral("*.*")},
    };
    FILELABEL_ARR.clear();
    FILEFILTR_ARR.clear();
    for (const auto& [label, patterns] : filters) {
        FILELABEL_ARR << label;
        FILEFILTR_ARR << patterns;
    }
    TOTAL_FILTERS = 17;

    // Filled afresh, so a second call does not repeat the entries.
    const bool skip = SKIP_FLG;
    SKIP_FLG = true;
    CMBFILTER->clear();
    CMBFILTER->addItems(FILELABEL_ARR);
    CMBFILTER->setCurrentIndex(TOTAL_FILTERS);
    SKIP_FLG = skip;

    IMAGEFILE_FLG = false;
    MEDIAFILE_FLG = false;
    TEXTFILE_FLG = false;
    ZIPFILE_FLG = false;
    EXEFILE_FLG = false;
}

void TFerroxM1::MatchFileKind(const QString& ext) {
    IMAGEFILE_FLG = MEDIAFILE_FLG = VIDEOFILE_FLG = MUSICFILE_FLG = SOUNDFILE_FLG = false;
    TEXTFILE_FLG = DOCUMENT_FLG = HTMLFILE_FLG = DATABASE_FLG = ZIPFILE_FLG = EXEFILE_FLG = false;

    auto find = [&ext](const QStringList& list, int last) {
        for (int i = 0; i <= last && i < list.size(); ++i)
            if (ext == QLatin1Char('.') + list[i])
                return i;
        return -1;
    };
    if (ext == QLatin1String(".ZIP")) {
        ZIPFILE_FLG = true;
        return;
    }
    if (find(EXT_PICT_ARR, LASTPICTURE) >= 0) {
        IMAGEFILE_FLG = true;
        return;
    }
    if (const int i = find(EXT_MULT_ARR, LASTMEDIA); i >= 0) {
        MEDIAFILE_FLG = true;
        VIDEOFILE_FLG = i > 2;
        MUSICFILE_FLG = i <= 2;
        SOUNDFILE_FLG = i == 0;
        return;
    }
    if (const int i = find(EXT_TEXT_ARR, LASTTEXT); i >= 0) {
        TEXTFILE_FLG = true;
        DOCUMENT_FLG = i >= 13 && i <= 23;
        HTMLFILE_FLG = i >= 15 && i <= 22;
        return;
    }
    if (find(EXT_DATA_ARR, LASTDATA) >= 0) {
        DATABASE_FLG = true;
        return;
    }
    if (ext == QLatin1String(".EXE"))
        EXEFILE_FLG = true;
}

int TFerroxM1::FileIcon() const {
    // Tested in this order; a later match wins.
    int icon = TreeIcons::Unknown;
    if (TEXTFILE_FLG)
        icon = TreeIcons::Text;
    if (DATABASE_FLG)
        icon = TreeIcons::DataBase;
    if (IMAGEFILE_FLG)
        icon = TreeIcons::Image;
    if (VIDEOFILE_FLG)
        icon = TreeIcons::Video;
    if (MUSICFILE_FLG)
        icon = TreeIcons::Music;
    if (SOUNDFILE_FLG)
        icon = TreeIcons::Sound;
    if (ZIPFILE_FLG)
        icon = TreeIcons::ZipFile;
    if (EXEFILE_FLG)
        icon = TreeIcons::RunTime;
    return icon;
}
