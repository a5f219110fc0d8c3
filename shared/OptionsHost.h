#pragma once
#include "UserList.h"
#include <QColor>
#include <QFont>
#include <QString>
#include <QVector>

class QWidget;

// The main-window fields the options dialog reads and writes in place. Each program points
// these at its own members; a field the program does not have stays null and its controls
// have no effect on it.
struct OptionFields {
    QString* LOCAL_USER = nullptr;
    QString* REMOTE_USER = nullptr;
    QString* SENDFILE_PATH = nullptr;
    QString* AUDFILE_PATH = nullptr;
    QString* FONT_NAME = nullptr;
    double* FONT_SIZE = nullptr; // whole numbers in Parlova
    quint32* FONT_COLOR = nullptr;
    int* STYLE_INDEX = nullptr;
    bool* BYPASSLIST_FLG = nullptr;
    bool* FRMOPTIONS_FLG = nullptr;
    // Ferrox only
    bool* ALTERROW_FLG = nullptr;
    bool* CONNECTSTRT_FLG = nullptr;
    bool* USESTYLEFONT_FLG = nullptr;
    bool* CONNECTED_FLG = nullptr;
    bool* SKIP_FLG = nullptr;
    int* SKIP_COUNT = nullptr;
    // Parlova only
    bool* FONTBOLD_FLG = nullptr;
    bool* FONTITALIC_FLG = nullptr;
    bool* FIRSTTIME_FLG = nullptr;
    // Folders of the program, read only.
    QString ROOTPATH;
    QString FILES_PATH;
    QString RECVFILE_PATH;
    QString FILE_DELIM = QStringLiteral("/");
};

// What the options dialog needs from the program's main window. The dialog keeps no settings
// of its own: everything it changes lives in the main window and reaches disk through the
// main window's data files.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    virtual QWidget* HostWindow() = 0;
    virtual OptionFields Fields() = 0;

    // ---- data files ----
    virtual void SaveOptions() = 0;
    virtual bool SaveUserEntry(const QString& name, bool blocked) = 0;
    virtual void DeleteUserEntry(qint64 id) = 0;
    virtual QVector<UserList::Entry> UserEntries() = 0; // in UserName order
    // Applies entry index of the style list to every window; false leaves the current look.
    virtual bool SetStyle(int index) = 0;

    // The font and text colour the style gives buttons, for "Use Style Settings for Fonts".
    virtual QFont StyleFont() = 0;
    virtual QColor StyleTextColor() = 0;

    // Opens the help window on the options topic (FRMOPTIONS_FLG is already set).
    virtual void ShowHelp() = 0;

    // ---- peers, Ferrox only ----
    // Restarts the search for other copies.
    virtual void FindList() {}
    // The text of this copy's LAN manager; a trailing "*" marks a copy whose user list is built.
    virtual QString ManagerText() { return {}; }
    virtual void SetManagerText(const QString&) {}
    // Connects to the discovered copy at that position of the peer list; true when connected.
    virtual bool ConnectToPeer(int) { return false; }
    virtual void EnableStartBtn() {}
    // The main window's work list and status line, which "Clear Files" uses.
    virtual void ClearWorkList() {}
    virtual void ShowStatus(const QString&) {}
};

// Drops exactly one trailing "*" from a manager text; other texts come back unchanged.
inline QString RemovePeerMark(const QString& managerText) {
    return managerText.endsWith(QLatin1Char('*')) ? managerText.chopped(1) : managerText;
}
