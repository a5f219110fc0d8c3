// Finding, pairing with and listing peers over the LAN facility.
//
// One peer at a time: CMBUSERS (in the options dialog) holds the current peer, ListBox3 shows
// the same entries to the user, and CONNECTED_FLG says whether our profile is connected to
// the current peer's profile.
#include "Application.h"
#include "Drives.h"
#include "FerroxM.h"
#include "LanIdentity.h"
#include "SetOptions.h"

#include <QAudioOutput>
#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QMediaPlayer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeWidget>
#include <QUrl>

#include "Manager.h"
#include "Profile.h"

namespace {

const QString kManagerText = QStringLiteral("FerroxManager1");
const QString kProfilePrefix = QStringLiteral("FerroxApp1:");

enum PeerRole { ManagerIdRole = Qt::UserRole + 1, ProfileRole };

} // namespace

void TFerroxM1::CreateTethering() {
    TethMangr1 = new tether::Manager(this);
    TethMangr1->setObjectName(QStringLiteral("TethMangr1"));
    TethMangr1->setText(kManagerText);
    TetheringAppProfile1 = new tether::Profile(TethMangr1, this);
    TetheringAppProfile1->setObjectName(QStringLiteral("TetheringAppProfile1"));

    // The facility's events come from inside its socket handling: a handler that fails is
    // reported here and never unwinds through the facility.
    connect(TethMangr1, &tether::Manager::endManagersDiscovery, this,
            [this](const QList<tether::ManagerInfo>& managers) {
                Guarded(this, [&] { TethMangr1EndManagersDiscovery(managers); });
            });
    connect(
        TethMangr1, &tether::Manager::requestManagerPassword, this,
        [this](const QString& id, QString& password) {
            TethMangr1RequestManagerPassword(id, password);
        },
        Qt::DirectConnection);
    connect(TethMangr1, &tether::Manager::endProfilesDiscovery, this,
            [this] { Guarded(this, [&] { TethMangr1EndProfilesDiscovery(); }); });
    connect(TethMangr1, &tether::Manager::remoteManagerShutdown, this, [this](const QString& id) {
        Guarded(this, [&] { TethMangr1RemoteManagerShutdown(id); });
    });
    connect(TetheringAppProfile1, &tether::Profile::resourceReceived, this,
            [this](const tether::Resource& r) {
                Guarded(this, [&] { TetheringAppProfile1ResourceReceived(r); });
            });
    connect(TetheringAppProfile1, &tether::Profile::resourceAbandoned, this,
            [this](const tether::ProfileInfo& from, const QString& hint, const QString& reason) {
                Guarded(this, [&] { TetheringAppProfile1ResourceAbandoned(from, hint, reason); });
            });

    connect(ListBox3, &QListWidget::itemSelectionChanged, this,
            [this] { Guarded(this, [this] { ListBox3Change(); }); });
    connect(StartBtn, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { StartBtnClick(); }); });
}

void TFerroxM1::EnableTethering() {
    TetheringAppProfile1->setText(PROFILE_TEXT);
    TetheringAppProfile1->setEnabled(true);
    TethMangr1->setEnabled(true);
}

QComboBox* TFerroxM1::PeerBox() const {
    return SetOptn1 ? SetOptn1->CMBUSERS : nullptr;
}

bool TFerroxM1::CurrentPeer(tether::ProfileInfo* peer) {
    QComboBox* users = PeerBox();
    if (!users || users->count() == 0)
        return false;
    if (users->currentIndex() < 0)
        users->setCurrentIndex(0);
    *peer = users->currentData(ProfileRole).value<tether::ProfileInfo>();
    return true;
}

bool TFerroxM1::ConnectCurrentPeer() {
    tether::ProfileInfo peer;
    if (!CurrentPeer(&peer))
        return false;
    if (!CONNECTED_FLG)
        CONNECTED_FLG = TetheringAppProfile1->connectTo(peer);
    return CONNECTED_FLG;
}

QListWidgetItem* TFerroxM1::CurrentPeerItem() const {
    if (QListWidgetItem* highlighted = ListBox3->currentItem();
        highlighted && highlighted->isSelected())
        return highlighted;
    // Nobody clicked an entry yet: the current peer is the one the sends go to.
    const QComboBox* users = PeerBox();
    return users ? ListBox3->item(users->currentIndex()) : nullptr;
}

void TFerroxM1::FindList() {
    ListBox1->clear();
    ListBox2->clear();
    {
        const QSignalBlocker quiet(ListBox3);
        ListBox3->clear();
    }
    Memo1->Lines.clear();
    Memo2->Lines.clear();
    if (QComboBox* users = PeerBox())
        users->clear();
    if (SetOptn1 && SetOptn1->ListBox5)
        SetOptn1->ListBox5->clear();
    if (SKIP_FLG)
        CMBDRIVE2->clear();
    SKIP_FLG = false;

    // A failing unpair must not keep the search from starting.
    const QList<tether::ManagerInfo> paired = TethMangr1->pairedManagers();
    try {
        for (auto it = paired.crbegin(); it != paired.crend(); ++it)
            TethMangr1->unpairManager(*it);
    } catch (const std::exception&) {
    }
    CONNECTED_FLG = false;
    TethMangr1->discoverManagers();
}

void TFerroxM1::TethMangr1EndManagersDiscovery(const QList<tether::ManagerInfo>& managers) {
    // Only unmarked Ferrox managers: a "*" marks a copy that already has its user list.
    for (const tether::ManagerInfo& m : managers)
        if (m.text == kManagerText)
            TethMangr1->pairManager(m);
}

void TFerroxM1::TethMangr1RequestManagerPassword(const QString&, QString& password) {
    password = QString::fromLatin1(kPairingPassword);
}

void TFerroxM1::TethMangr1EndProfilesDiscovery() {
    RefreshList();
    SendDriveList();
}

bool TFerroxM1::IsUserAllowed(const QString& profileText) {
    QString name = profileText;
    const qsizetype blank = name.lastIndexOf(QLatin1Char(' '));
    if (blank >= 0)
        name = name.left(blank + 1);
    name = name.mid(kProfilePrefix.size()).trimmed();
    return !ClientDataSet1.IsUserBlocked(name);
}

void TFerroxM1::AddUserItem(const QString& text, const QString& managerId,
                            const tether::ProfileInfo& profile) {
    auto* item = new QListWidgetItem(text);
    item->setData(ManagerIdRole, managerId);
    item->setData(ProfileRole, QVariant::fromValue(profile));
    ListBox3->addItem(item);
}

void TFerroxM1::RefreshList() {
    QComboBox* users = PeerBox();
    // The current peer stays current when the list is rebuilt around it.
    tether::ProfileInfo current;
    const bool hadCurrent = users && users->currentIndex() >= 0 && CurrentPeer(&current);
    const bool wasHighlighted = ListBox3->currentItem() && ListBox3->currentItem()->isSelected();

    const QSignalBlocker quietList(ListBox3);
    if (users)
        users->clear();
    ListBox3->clear();
    if (SKIP_FLG)
        CMBDRIVE2->clear();
    SKIP_FLG = false;

    const QList<tether::ProfileInfo> profiles = TethMangr1->remoteProfiles();
    for (const tether::ProfileInfo& p : profiles) {
        if (!p.text.startsWith(kProfilePrefix) || !IsUserAllowed(p.text))
            continue;
        if (users) {
            users->addItem(p.text);
            users->setItemData(users->count() - 1, QVariant::fromValue(p), ProfileRole);
        }
        AddUserItem(p.text, p.managerIdentifier, p);
        if (SetOptn1 && SetOptn1->ListBox5)
            SetOptn1->ListBox5->addItem(p.text);
    }
    if (hadCurrent && users) {
        int at = -1;
        for (int i = 0; i < users->count() && at < 0; ++i)
            if (users->itemData(i, ProfileRole).value<tether::ProfileInfo>().profileIdentifier ==
                current.profileIdentifier)
                at = i;
        if (at >= 0) {
            users->setCurrentIndex(at);
            if (wasHighlighted)
                ListBox3->setCurrentRow(at);
        } else {
            CONNECTED_FLG = false; // the peer we were connected to is gone
        }
    }

    if (!TethMangr1->text().endsWith(QLatin1Char('*')))
        TethMangr1->setText(TethMangr1->text() + QLatin1Char('*'));
    TRecvBtn->setEnabled(true);
    TSendBtn->setEnabled(true);
    PlayNotifySound();
}

QStringList TFerroxM1::DriveListLines() {
    QStringList lines{QStringLiteral("DRIVES")};
    for (int i = 0; i < CMBDRIVE->count(); ++i) {
        const QString root = CMBDRIVE->itemText(i);
        const QStorageInfo info(root);
        const qint64 free = info.isValid() && info.isReady() ? info.bytesAvailable() : -1;
        lines << root + QLatin1Char('|') + QString::number(free);
    }
    return lines;
}

void TFerroxM1::SendDriveList() {
    SKIP_COUNT = 0;
    QComboBox* users = PeerBox();
    if (users && users->count() > 0) {
        if (users->currentIndex() < 0)
            users->setCurrentIndex(0);
        if (SKIP_FLG && ListBox3->count() > 0 && !ListBox3->currentItem())
            ListBox3->setCurrentRow(0);
        SKIP_FLG = false;
        if (ConnectCurrentPeer()) {
            Memo1->Lines = DriveListLines();
            SendWorkList();
            StartBtn->setEnabled(true);
        }
    }
    SKIP_FLG = false;
}

void TFerroxM1::ListBox3Change() {
    QListWidgetItem* item = ListBox3->currentItem();
    if (ListBox3->count() == 0 || !item || !item->isSelected() || SKIP_FLG)
        return;
    tether::ProfileInfo old;
    if (CONNECTED_FLG && CurrentPeer(&old))
        TetheringAppProfile1->disconnectFrom(old);
    CONNECTED_FLG = false;
    CONNECTED_FLG =
        TetheringAppProfile1->connectTo(item->data(ProfileRole).value<tether::ProfileInfo>());
    if (!CONNECTED_FLG)
        return;
    StartBtn->setEnabled(true);
    // The highlighted user becomes the current peer.
    if (QComboBox* users = PeerBox())
        users->setCurrentIndex(ListBox3->row(item));
    SKIP_FLG = false;
    SendDriveList();
}

void TFerroxM1::StartBtnClick() {
    if (CONNECTED_FLG && CMBDRIVE2->count() == 0)
        SendDriveList();
    if (QTreeWidgetItem* sel = DIR2->currentItem(); sel && sel->childCount() > 0)
        return;
    if (CMBDRIVE2->count() == 0)
        SETFOLDER2 = FILE_DELIM;
    Memo1->Lines = {QStringLiteral("START")};
    if (CMBDRIVE2->currentIndex() >= 0 &&
        (SETFOLDER2 == FILE_DELIM || SETFOLDER2 == CMBDRIVE2->currentText()))
        DIR2->clear();
    Memo1->Lines << SETFOLDER2;
    SendWorkList();
    SKIP_COUNT = 0;
}

void TFerroxM1::TethMangr1RemoteManagerShutdown(const QString& identifier) {
    QListWidgetItem* item = CurrentPeerItem();
    if (!item)
        return;
    if (identifier != item->data(ManagerIdRole).toString()) {
        RefreshList();
        return;
    }
    AbandonTransfer(QStringLiteral("The other computer closed its program."));
    item->setData(ManagerIdRole, QString());
    DIR2->clear();
    if (TethMangr1->text().endsWith(QLatin1Char('*')))
        TethMangr1->setText(TethMangr1->text().chopped(1));
    CONNECTED_FLG = false;
    const int row = ListBox3->row(item);
    if (QComboBox* users = PeerBox(); users && row < users->count())
        users->removeItem(row);
    {
        const QSignalBlocker quiet(ListBox3);
        delete ListBox3->takeItem(row);
    }
    TRecvBtn->setEnabled(false);
    TSendBtn->setEnabled(false);
}

void TFerroxM1::PlayNotifySound() {
    if (AUDFILE_PATH.trimmed().isEmpty() || !QFileInfo(AUDFILE_PATH).isFile())
        return;
    // The output is attached at the first sound, so a start without a sound server never
    // tries to reach one.
    if (!MediaPlayer1->audioOutput())
        MediaPlayer1->setAudioOutput(new QAudioOutput(MediaPlayer1));
    MediaPlayer1->stop();
    MediaPlayer1->setSource(QUrl::fromLocalFile(AUDFILE_PATH));
    MediaPlayer1->play();
}
