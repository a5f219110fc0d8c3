// Getting the checked remote files: the request, its serving on the peer, and the answers.
//
// The requester writes a get list (one remote path per line, UTF-8, CR LF) and sends it as a
// "List" message. The server stores it in a folder of its own, checks the requester's free
// space, asks its user, and answers with the list itself and then every file, each a "File"
// message, or with "Error". The requester takes the echoed list as the start of the answer,
// decides where each answer is stored, and places the files once all have come.
#include "Application.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "WaitCursor.h"
#include "WireText.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QTreeWidget>

#include "Resource.h"

namespace {

QStringList ItemTexts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

void TFerroxM1::TRecvBtnClick() {
    SKIP_COUNT = 0;
    SKIP_FLG = true;
    GET_FLG = true;
    if (CURRENT_DIR == 2) {
        DIR2->expandAll();
        ListBox1->clear();
        ListBox2->clear();
        RECEIVED_NAMES.clear();
        FILE_COUNTER = 0;
        ListBox2->addItems(CheckedTreePaths(DIR2));
    }
    if (ListBox2->count() == 0) {
        // Nothing was asked for, so nothing that comes is an answer.
        GET_FLG = false;
        SKIP_FLG = false;
        Dialogs::Notice(this, QStringLiteral("No Items Selected to Take from Connected PC User. "
                                             "Select Items from Remote Directory on the Right."));
        return;
    }
    // A new get starts its answer afresh.
    TRANSFER_PATH.clear();
    TRANSFER_IS_GET = false;
    FILE_COUNTER = 0;
    try {
        WriteGetList();
        SendGetRequest();
    } catch (...) {
        GET_FLG = false;
        SKIP_FLG = false;
        throw;
    }
    SKIP_FLG = false;
    DIR1ORDIR2_FLG = false;
    FILE_COUNTER = 0;
}

void TFerroxM1::WriteGetList() {
    LINE_COUNTER = 0;
    // The answer's transfer folder takes the list's name; both must be free.
    const QString base = QStringLiteral("TMP") + QString::number(NextListNumber(*this));
    QString name = base;
    for (int k = 2; QFileInfo::exists(RECVFILE_PATH + FILE_DELIM + name); ++k)
        name = base + QLatin1Char('@') + QString::number(k);
    CURRRECV_LIST = name;
    const QString drive = CMBDRIVE2->currentText();
    QStringList lines;
    for (int i = 0; i < ListBox2->count(); ++i)
        lines << PathOnPeerDrive(ListBox2->item(i)->text(), drive, true);
    WriteListFile(RECVFILE_PATH + FILE_DELIM + name, lines);
}

void TFerroxM1::SendGetRequest() {
    if (ListBox2->count() == 0)
        return;
    const WaitCursor wait;
    if (!CONNECTED_FLG)
        ConnectCurrentPeer();
    const QString path = RECVFILE_PATH + FILE_DELIM + CURRRECV_LIST;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot open %1: %2").arg(path, f.errorString()));
    SendStreamToPeer(QStringLiteral("List") + CURRRECV_LIST + QStringLiteral(" - ") + LOCAL_USER,
                     &f);
}

void TFerroxM1::ServeGetRequest(const tether::Resource& resource) {
    const wire::NamedDescription d = wire::SplitNamedDescription(resource.hint().mid(4));
    const QString requester = d.sender;
    if (d.hasSender && !BYPASSLIST_FLG && IsUserBlocked(requester))
        return;
    const std::optional<QString> safe = wire::SafeFileName(d.name);
    if (!safe) {
        Label2->setText(QStringLiteral("A request from %1 with the unusable name \"%2\" was "
                                       "refused.")
                            .arg(requester, d.name.trimmed()));
        return;
    }
    // Every request is stored in a folder of its own, whatever was served before.
    const QString folder = MakeTransferFolder(*safe);
    const QString path = folder + FILE_DELIM + *safe;
    try {
        resource.saveAs(path);
    } catch (const std::exception& e) {
        throw Failure(
            QStringLiteral("Cannot store %1: %2").arg(path, QString::fromLocal8Bit(e.what())));
    }
    CURRRECVD_PATH = path;

    if (!LoadRequestList()) {
        SendErrorNotice(QStringLiteral("Not Enough Disk Space to Retrieve Files."));
        ListBox1->clear();
        return;
    }
    const QString first = ListBox1->count() > 0 ? ListBox1->item(0)->text() : QString();
    if (Dialogs::Question(this, QStringLiteral("User - ") + requester +
                                    QStringLiteral(" requests copy of - ") + first +
                                    QStringLiteral(". Will you allow access ? ")) ==
        Dialogs::Answer::No) {
        ListBox1->clear();
        return;
    }
    // The requester counts the files it asked for; one that cannot come would leave it waiting.
    const QStringList unreadable = UnreadableListedFiles();
    if (!unreadable.isEmpty()) {
        SendErrorNotice(QStringLiteral("These Files cannot be read: ") +
                        unreadable.join(QStringLiteral(", ")));
        Label2->setText(QStringLiteral("The request of %1 was refused: %2 Files cannot be read.")
                            .arg(requester)
                            .arg(unreadable.size()));
        ListBox1->clear();
        return;
    }
    // The stored list goes first, under the name it came with; later send lists of this copy
    // stay in their own folder.
    const QString sendFolder = SENDFILE_PATH;
    CURRSEND_LIST = d.name;
    SENDFILE_PATH = folder;
    try {
        SendListedFiles();
    } catch (...) {
        SENDFILE_PATH = sendFolder;
        throw;
    }
    SENDFILE_PATH = sendFolder;
}

bool TFerroxM1::LoadRequestList() {
    Memo2->Lines.clear();
    ListBox1->clear();
    LINE_COUNTER = 0;
    qint64 total = 0;
    const QStringList lines = wire::ReadListFile(CURRRECVD_PATH);
    for (const QString& line : lines) {
        Memo2->Lines << line;
        if (QFileInfo(line).isFile())
            total += GetFileSize(line);
        ++LINE_COUNTER;
    }
    ListBox1->addItems(lines);
    return !(RMDISK_FREE - kFreeSpaceMargin < total);
}

void TFerroxM1::ReceiveTakenFile(const tether::Resource& resource) {
    const wire::NamedDescription d = wire::SplitNamedDescription(resource.hint().mid(4).trimmed());
    const QString name = d.name.trimmed();
    const QString sender = d.sender;
    if (d.hasSender && !BYPASSLIST_FLG && IsUserBlocked(sender))
        return;
    const std::optional<QString> safe = wire::SafeFileName(name);

    if (TRANSFER_PATH.isEmpty()) {
        // The answer begins with our own get list; anything else is a send of the peer's.
        const QString ownList = RECVFILE_PATH + FILE_DELIM + CURRRECV_LIST;
        if (!safe || *safe != CURRRECV_LIST || !QFileInfo(ownList).isFile()) {
            ReceiveSentFile(resource);
            return;
        }
        CURRRECVD_PATH = ownList;
        LoadRequestList();
        QFile::remove(ownList);
        TRANSFER_PATH = MakeTransferFolder(*safe);
        TRANSFER_IS_GET = true;
        CURRRECVD_PATH = TRANSFER_PATH;
        // Where each answer is stored; same names are kept apart by the answer's number
        // (the echoed list counted as the first), as a send does.
        RECEIVED_NAMES.clear();
        QSet<QString> used{CURRRECV_LIST};
        for (int k = 0; k < Memo2->Lines.size(); ++k) {
            const std::optional<QString> own = wire::SafeFileName(ListBox1->item(k)->text());
            QString stored = own ? *own : QStringLiteral("file");
            while (used.contains(stored))
                stored += QLatin1Char('@') + QString::number(k + 1);
            used.insert(stored);
            Memo2->Lines[k] = TRANSFER_PATH + FILE_DELIM + stored;
        }
        FILE_COUNTER = 0;
        RewriteTakenList();
        return;
    }
    if (!TRANSFER_IS_GET) {
        ReceiveSentFile(resource);
        return;
    }

    if (!safe) {
        Label2->setText(QStringLiteral("A file from %1 with the unusable name \"%2\" was refused.")
                            .arg(sender, name));
    } else if (FILE_COUNTER < Memo2->Lines.size()) {
        const QString path = Memo2->Lines[FILE_COUNTER];
        try {
            if (QFileInfo::exists(path))
                QFile::remove(path);
            resource.saveAs(path);
        } catch (const std::exception& e) {
            // It still counts; the user learns at the end that it was not placed.
            Label2->setText(
                QStringLiteral("Cannot store %1: %2").arg(path, QString::fromLocal8Bit(e.what())));
        }
    }
    ++FILE_COUNTER;
    ShowReceiveProgress();
    if (FILE_COUNTER != LINE_COUNTER)
        return;

    const QStringList sources = Memo2->Lines.mid(0, FILE_COUNTER);
    QStringList targets = ItemTexts(ListBox1).mid(0, FILE_COUNTER);
    const Dialogs::Answer a = Dialogs::Question(
        this, QStringLiteral("Do you want to Copy These Files to Paths from Source ?"),
        targets.join(QLatin1Char('\n')));
    if (a == Dialogs::Answer::No && AskTargetFolder()) {
        for (int k = 0; k < targets.size(); ++k) {
            const std::optional<QString> own = wire::SafeFileName(targets[k]);
            targets[k] = ALTER_PATH + FILE_DELIM + (own ? *own : QFileInfo(sources[k]).fileName());
        }
    }
    const QStringList failures = PlaceReceivedFiles(sources, targets);
    const QString folder = TRANSFER_PATH;
    ListBox1->clear();
    EndTransfer();
    TRANSFER_IS_GET = false;
    GET_FLG = false;
    if (failures.isEmpty()) {
        DIR1->clear();
        DoDir1(FILE_DELIM);
        Label2->setText(QStringLiteral("You have taken files from ") + sender);
    } else {
        ReportUnplacedFiles(failures, folder);
    }
}

void TFerroxM1::RewriteTakenList() {
    WriteListFile(CURRRECVD_PATH + FILE_DELIM + CURRRECV_LIST, ItemTexts(ListBox2));
}

void TFerroxM1::mnuDelete2Click() {
    FlushReceivedEntries();
    if (ListBox2->count() == 0 || !ListBox2->currentItem())
        return;
    QListWidgetItem* item = ListBox2->takeItem(ListBox2->currentRow());
    const QString name = QFileInfo(item->text()).fileName();
    if (RECEIVED_NAMES.value(name) > 0)
        --RECEIVED_NAMES[name];
    delete item;
}

void TFerroxM1::mnuClrAll2Click() {
    FlushReceivedEntries();
    if (ListBox2->count() == 0)
        return;
    // Also the way out of a transfer whose remaining files will not come: the next list
    // starts a new one. Files stored so far stay in their transfer folder.
    EndTransfer();
    TRANSFER_IS_GET = false;
    Memo2->Lines.clear();
}
