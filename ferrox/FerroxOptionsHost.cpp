#include "FerroxOptionsHost.h"
#include "FerroxM.h"
#include "HelpWin.h"
#include "Manager.h"
#include "Profile.h"

#include "SetOptions.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

QWidget* FerroxOptionsHost::HostWindow() {
    return &m;
}

OptionFields FerroxOptionsHost::Fields() {
    OptionFields f;
    f.LOCAL_USER = &m.LOCAL_USER;
    f.REMOTE_USER = &m.REMOTE_USER;
    f.SENDFILE_PATH = &m.SENDFILE_PATH;
    f.AUDFILE_PATH = &m.AUDFILE_PATH;
    f.FONT_NAME = &m.FONT_NAME;
    f.FONT_SIZE = &m.FONT_SIZE;
    f.FONT_COLOR = &m.FONT_COLOR;
    f.STYLE_INDEX = &m.STYLE_INDEX;
    f.BYPASSLIST_FLG = &m.BYPASSLIST_FLG;
    f.FRMOPTIONS_FLG = &m.FRMOPTIONS_FLG;
    f.ALTERROW_FLG = &m.ALTERROW_FLG;
    f.CONNECTSTRT_FLG = &m.CONNECTSTRT_FLG;
    f.USESTYLEFONT_FLG = &m.USESTYLEFONT_FLG;
    f.CONNECTED_FLG = &m.CONNECTED_FLG;
    f.SKIP_FLG = &m.SKIP_FLG;
    f.SKIP_COUNT = &m.SKIP_COUNT;
    f.ROOTPATH = m.ROOTPATH;
    f.FILES_PATH = m.FILES_PATH;
    f.RECVFILE_PATH = m.RECVFILE_PATH;
    f.FILE_DELIM = m.FILE_DELIM;
    return f;
}

void FerroxOptionsHost::SaveOptions() {
    m.SaveOptions();
}

bool FerroxOptionsHost::SaveUserEntry(const QString& name, bool blocked) {
    return m.SaveUserEntry(name, blocked);
}

void FerroxOptionsHost::DeleteUserEntry(qint64 id) {
    m.DeleteUserEntry(id);
}

QVector<UserList::Entry> FerroxOptionsHost::UserEntries() {
    return m.ClientDataSet1.entries();
}

bool FerroxOptionsHost::SetStyle(int index) {
    return m.SetStyle(index);
}

QFont FerroxOptionsHost::StyleFont() {
    return m.TSendBtn->font();
}

QColor FerroxOptionsHost::StyleTextColor() {
    return m.TSendBtn->palette().color(QPalette::ButtonText);
}

void FerroxOptionsHost::ShowHelp() {
    if (m.HelpWin1)
        m.HelpWin1->Present();
}

void FerroxOptionsHost::FindList() {
    m.FindList();
}

QString FerroxOptionsHost::ManagerText() {
    return m.TethMangr1 ? m.TethMangr1->text() : QString();
}

void FerroxOptionsHost::SetManagerText(const QString& text) {
    if (m.TethMangr1)
        m.TethMangr1->setText(text);
}

// The dialog asks for the entry selected in CMBUSERS, which is the main window's current peer;
// a new choice connects even while another peer is connected.
bool FerroxOptionsHost::ConnectToPeer(int position) {
    tether::ProfileInfo peer;
    if (!m.TetheringAppProfile1 || !m.SetOptn1 ||
        m.SetOptn1->CMBUSERS->currentIndex() != position || !m.CurrentPeer(&peer))
        return false;
    return m.TetheringAppProfile1->connectTo(peer);
}

void FerroxOptionsHost::EnableStartBtn() {
    m.StartBtn->setEnabled(true);
}

void FerroxOptionsHost::ClearWorkList() {
    m.Memo1->Lines.clear();
}

void FerroxOptionsHost::ShowStatus(const QString& text) {
    m.Label2->setText(text);
    m.Label2->repaint();
}
