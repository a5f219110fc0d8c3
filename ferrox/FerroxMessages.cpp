// The messages two copies exchange, and the dispatch of what arrives.
//
// A message is one stream with a description: "Text" + user (a text list whose first line
// says what it is), "File"/"List" + name + " - " + user, "Error" + user, "Photo" + size +
// "#" + tag. Text lists are UTF-8, every line ended by CR LF (shared/WireText.h).
#include "Application.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "Helpers.h"
#include "SetOptions.h"
#include "WireText.h"

#include <QBuffer>
#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>

#include "Manager.h"
#include "Profile.h"
#include "Resource.h"

namespace {

QString TextOf(const QStringList& lines, int i) {
    return i < lines.size() ? lines[i] : QString();
}

} // namespace

void TFerroxM1::SendStreamToPeer(const QString& description, QIODevice* stream) {
    tether::ProfileInfo peer;
    if (!CurrentPeer(&peer))
        return;
    TetheringAppProfile1->sendStream(peer, description, stream);
}

void TFerroxM1::SendWorkList() {
    QComboBox* users = PeerBox();
    if (!users || users->count() == 0)
        return;
    ConnectCurrentPeer();
    QBuffer buffer;
    buffer.setData(wire::EncodeTextList(Memo1->Lines));
    buffer.open(QIODevice::ReadOnly);
    SendStreamToPeer(QStringLiteral("Text") + LOCAL_USER, &buffer);
}

void TFerroxM1::SendErrorNotice(const QString& text) {
    QComboBox* users = PeerBox();
    if (!users || users->count() == 0)
        return;
    Memo1->Lines = {text};
    ConnectCurrentPeer();
    QBuffer buffer;
    buffer.setData(wire::EncodeTextList(Memo1->Lines));
    buffer.open(QIODevice::ReadOnly);
    SendStreamToPeer(QStringLiteral("Error") + LOCAL_USER, &buffer);
}

void TFerroxM1::SendPhotoReply() {
    QComboBox* users = PeerBox();
    if (!users || users->count() == 0 || users->currentIndex() < 0)
        return;
    if (Image1->Bitmap.isNull()) {
        Dialogs::Message(this, QStringLiteral("Please, take a photo before sending"));
        return;
    }
    // The tag is path + "-" + our name; the path itself may hold "-".
    const QString path = wire::PathOfPictureTag(Image1->Tag, LOCAL_USER);
    const qint64 size = GetFileSize(path);
    ConnectCurrentPeer();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!Image1->Bitmap.save(&buffer, "PNG"))
        throw Failure(QStringLiteral("The picture %1 could not be encoded.").arg(path));
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    SendStreamToPeer(
        QStringLiteral("Photo") + QString::number(size) + QLatin1Char('#') + Image1->Tag, &buffer);
}

void TFerroxM1::TetheringAppProfile1ResourceReceived(const tether::Resource& resource) {
    if (FIRST_TIME_FLG)
        return;
    const QString hint = resource.hint();
    if (hint.startsWith(QLatin1String("Error"))) {
        // A refused get is over: what the peer sends later is a send, not an answer.
        GET_FLG = false;
        const QStringList said = wire::DecodeTextList(resource.stream()->read(64 * 1024));
        Dialogs::Notice(this,
                        QStringLiteral("This Location does not have enough Free Disk Space "
                                       "to Receive these Files."),
                        said.join(QLatin1Char('\n')));
        return;
    }
    if (hint.startsWith(QLatin1String("File"))) {
        if (GET_FLG)
            ReceiveTakenFile(resource);
        else
            ReceiveSentFile(resource);
        return;
    }
    if (hint.startsWith(QLatin1String("List"))) {
        ServeGetRequest(resource);
        return;
    }
    if (hint.startsWith(QLatin1String("Photo"))) {
        // A picture, not a text list: decoded as such, never split into lines.
        QImageReader reader(resource.stream());
        const QImage picture = reader.read();
        if (picture.isNull())
            throw Failure(QStringLiteral("The picture from %1 could not be shown: %2")
                              .arg(REMOTE_USER, reader.errorString()));
        ShowRemotePhoto(picture, hint);
        return;
    }

    Memo1->Lines = wire::DecodeTextList(resource.stream()->readAll());
    if (Memo1->Lines.isEmpty())
        return;
    const QString first = Memo1->Lines.first();
    if (first == QLatin1String("DRIVES")) {
        // Only the drive-list exchange is cut short by the counter; every other message is
        // always handled.
        if (SKIP_COUNT >= 2) {
            SKIP_COUNT = 0;
            return;
        }
        ReceiveDriveList();
        return;
    }
    const bool request = first == QLatin1String("START") || first == QLatin1String("PHOTO") ||
                         first == QLatin1String("TEXTD");
    if (request && !BYPASSLIST_FLG) {
        // A blocked user may not look at our folders or files either.
        const QString sender =
            hint.startsWith(QLatin1String("Text")) ? hint.mid(4).trimmed() : QString();
        if (IsUserBlocked(sender))
            return;
    }
    if (first == QLatin1String("START")) {
        const QString folder = TextOf(Memo1->Lines, 1);
        Memo1->Lines.clear();
        DIR1ORDIR2_FLG = true;
        try {
            DoDir1(folder);
        } catch (...) {
            DIR1ORDIR2_FLG = false;
            throw;
        }
        SendWorkList();
        DIR1ORDIR2_FLG = false;
    } else if (first == QLatin1String("PHOTO")) {
        const QString path = TextOf(Memo1->Lines, 1);
        QImageReader reader(path);
        QImage picture = reader.read();
        if (picture.isNull())
            throw Failure(QStringLiteral("The picture %1 could not be read: %2")
                              .arg(path, reader.errorString()));
        Image1->Bitmap = std::move(picture);
        Image1->Tag = path + WKDELIM + LOCAL_USER;
        Memo1->Lines = {QStringLiteral("PHOTO2")};
        ++SKIP_COUNT;
        SendPhotoReply();
    } else if (first == QLatin1String("TEXTD")) {
        Memo1->Lines = BuildTextAnswer(TextOf(Memo1->Lines, 1));
        ++SKIP_COUNT;
        SendWorkList();
    } else if (first == QLatin1String("TEXT2")) {
        ShowRemoteText();
    } else {
        ShowRemoteListing();
    }
}

void TFerroxM1::ReceiveDriveList() {
    SKIP_FLG = true;
    CMBDRIVE2->clear();
    REMDISK_FREE.fill(0);
    for (int i = 1; i < Memo1->Lines.size(); ++i) {
        const wire::DriveLine d = wire::ParseDriveLine(Memo1->Lines[i]);
        CMBDRIVE2->addItem(d.root);
        if (i < int(REMDISK_FREE.size()))
            REMDISK_FREE[size_t(i)] = d.freeBytes;
    }
    ++SKIP_COUNT;
    Memo1->Lines = DriveListLines();
    if (CMBDRIVE2->count() > 0) {
        CMBDRIVE2->setCurrentIndex(0);
        RMDISK_FREE = REMDISK_FREE[1];
    }
    SendWorkList();
    SKIP_FLG = false;
}

void TFerroxM1::TetheringAppProfile1ResourceAbandoned(const tether::ProfileInfo&,
                                                      const QString& hint, const QString& reason) {
    if (hint.startsWith(QLatin1String("File")))
        AbandonTransfer(reason);
}

void TFerroxM1::AbandonTransfer(const QString& reason) {
    // A transfer whose files can no longer all come is ended here, so the next one starts
    // clean; the files stored so far stay in their transfer folder.
    const bool receiving = !TRANSFER_PATH.isEmpty() || FILE_COUNTER > 0;
    if (!receiving && !GET_FLG)
        return;
    const QString folder = TRANSFER_PATH.isEmpty() ? RECVFILE_PATH : TRANSFER_PATH;
    if (GET_FLG || TRANSFER_IS_GET)
        ListBox1->clear(); // the paths of the get; a send list of the user's own stays
    Memo2->Lines.clear();
    EndTransfer();
    TRANSFER_IS_GET = false;
    GET_FLG = false;
    Label2->setText(QStringLiteral("The transfer was abandoned: %1 Files received so far are "
                                   "kept in %2.")
                        .arg(reason, folder));
}
