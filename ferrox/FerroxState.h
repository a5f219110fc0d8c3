#pragma once
#include "OptionsFile.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

// The working state of the transfer program's main window, as plain members with the names
// the other windows use. Kept apart from the widget so the settings can be loaded and saved
// on a plain object too.
struct FerroxState {
    QString ROOTPATH;
    QString FILE_DELIM = QStringLiteral("/");
    QChar FILE_DELIM2 = QLatin1Char('/');
    QString STYLE_PATH;
    QString STYLE_NAME;
    QString FILES_PATH;
    QString SENDFILE_PATH;
    QString RECVFILE_PATH;
    QString ALTER_PATH;
    QString CURRRECVD_PATH;
    QString CURRSEND_LIST;
    QString CURRRECV_LIST;
    QString SETFOLDER = QStringLiteral("/");
    QString SETFOLDER2 = QStringLiteral("/");
    QString WKDELIM = QStringLiteral("-");

    QString LOCAL_USER;
    QString REMOTE_USER;
    QString COMPUTER_NAME;
    QString USER_NAME;
    QString AUDFILE_PATH;
    QString FONT_NAME = QStringLiteral("Arial");
    double FONT_SIZE = 13;
    quint32 FONT_COLOR = 0xFFFFE4C4; // bisque
    int STYLE_INDEX = 0;
    int WINLEFT = 40;
    int WINTOP = 40;
    int WINHEIGHT = 640;
    int WINWIDTH = 990;

    bool ALTERROW_FLG = false;
    bool CONNECTSTRT_FLG = true;
    bool BYPASSLIST_FLG = false;
    bool USESTYLEFONT_FLG = true;
    bool FIRST_TIME_FLG = true;
    bool CONNECTED_FLG = false;
    bool SKIP_FLG = false;
    int SKIP_COUNT = 0;
    bool GET_FLG = false;
    bool DIR1ORDIR2_FLG = false;
    bool CANCEL_FLG = false;
    bool FRMOPTIONS_FLG = false;
    bool FRMDISPLAY_FLG = false;
    int CURRENT_DIR = 1;
    int FILE_COUNTER = 0;
    int LINE_COUNTER = 0;
    qint64 RMDISK_FREE = 0;
    std::array<qint64, 21> REMDISK_FREE{};  // slot k+1 belongs to entry k of CMBDRIVE2
    std::array<QString, 27> DRIVE_LETTER{}; // positions 1 to 26: "A" to "Z"

    // Kind flags, overwritten by each MatchFileKind.
    bool IMAGEFILE_FLG = false;
    bool MEDIAFILE_FLG = false;
    bool VIDEOFILE_FLG = false;
    bool MUSICFILE_FLG = false;
    bool SOUNDFILE_FLG = false;
    bool TEXTFILE_FLG = false;
    bool DOCUMENT_FLG = false;
    bool HTMLFILE_FLG = false;
    bool DATABASE_FLG = false;
    bool ZIPFILE_FLG = false;
    bool EXEFILE_FLG = false;

    // The process's current directory is read once, into ROOTPATH; where the program would
    // change it, this folder is changed instead.
    QString CURRENT_FOLDER;
    // The text this copy announces to peers: "FerroxApp1:" + user + " " + number.
    QString PROFILE_TEXT;
    int PROFILE_NUMBER = 0;

    // File-kind tables (upper case, without dot) and their last indices, filled at first show.
    QStringList EXT_PICT_ARR;
    QStringList EXT_MULT_ARR;
    QStringList EXT_TEXT_ARR;
    QStringList EXT_DATA_ARR;
    int LASTPICTURE = 0;
    int LASTMEDIA = 0;
    int LASTTEXT = 0;
    int LASTDATA = 0;
    // File filters: labels of the filter box and their ";"-separated patterns.
    QStringList FILELABEL_ARR;
    QStringList FILEFILTR_ARR;
    int TOTAL_FILTERS = 0; // index of "All Files"
};

// How the fields of Options2.cds map onto the state (FontBold carries the alternating-row
// flag and FontItalic connect-on-start-up; the colour is stored unsigned).
QVector<OptionBinding> FerroxOptionBindings(FerroxState& s);
