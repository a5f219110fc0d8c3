// Sending the checked local files to the current peer, and the sending step that a served get
// uses too.
//
// A send is a list file, then every listed file, each one "File" message. The list file names,
// line by line, the path where the peer is to put each file, and ends with one closing line:
// the peer's profile text + "|" + the local date and time. Lines are UTF-8, each ended by
// CR LF.
#include "Application.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "SendProgressDialog.h"
#include "WaitCursor.h"
#include "WireText.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "Manager.h"
#include "Profile.h"

namespace {

// Only the top level and eleven levels below it are collected.
constexpr int kTreeDepth = 12;

void Collect(QTreeWidgetItem* item, int level, QStringList* out) {
    if (item->checkState(0) == Qt::Checked)
        *out << item->data(0, TFerroxM1::TagTextRole).toString().trimmed() +
                    item->text(0).trimmed();
    if (level + 1 >= kTreeDepth)
        return;
    for (int i = 0; i < item->childCount(); ++i)
        Collect(item->child(i), level + 1, out);
}

} // namespace

QString PathOnPeerDrive(const QString& path, const QString& drive, bool singleDelimiterToo) {
    // Only the backslash forms exist as such: on a system with "/" paths every path starts
    // with "/" and names its own place already.
    const QChar back = QLatin1Char('\\');
    const auto delim = [](QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); };
    if (path.startsWith(QStringLiteral("\\\\"))) {
        // A network path: the computer name is dropped, the share goes on the peer's drive.
        qsizetype i = 2;
        while (i < path.size() && !delim(path[i]))
            ++i;
        return drive + path.mid(i + 1);
    }
    if (singleDelimiterToo && path.startsWith(back) && !drive.isEmpty())
        return drive + path.mid(1);
    return path;
}

int NextListNumber(const TFerroxM1& w) {
    return w.ListNumber ? w.ListNumber() : int(QRandomGenerator::global()->bounded(10000));
}

void WriteListFile(const QString& path, const QStringList& lines) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(wire::EncodeTextList(lines)) < 0 || !f.flush())
        throw Failure(
            QStringLiteral("Cannot write the list file %1: %2").arg(path, f.errorString()));
}

void TFerroxM1::ConnectTransfers() {
    SendProgress1 = new SendProgressDialog(this);
    SendProgress1->follow(TetheringAppProfile1);
    // The spooled payloads are taken over by renaming: keep them on the file system of the
    // transfer folders unless the environment chose a place.
    if (!qEnvironmentVariableIsSet("TETHER_SPOOL_DIR"))
        TethMangr1->setSpoolDirectory(FILES_PATH);

    // A transfer adds its files one by one while the window repaints: the lists must not
    // measure every entry again each time.
    for (QListWidget* list : {ListBox1, ListBox2})
        list->setUniformItemSizes(true);
    ReceiveRefresh = new QTimer(this);
    ReceiveRefresh->setObjectName(QStringLiteral("ReceiveRefresh"));
    ReceiveRefresh->setSingleShot(true);
    ReceiveRefresh->setInterval(250);
    connect(ReceiveRefresh, &QTimer::timeout, this, [this] {
        FlushReceivedEntries();
        if (!TRANSFER_PATH.isEmpty() && LINE_COUNTER > 0)
            Label2->setText(
                QStringLiteral("Receiving Files: %1 of %2").arg(FILE_COUNTER).arg(LINE_COUNTER));
    });

    const auto guarded = [this](void (TFerroxM1::*f)()) {
        return [this, f] { Guarded(this, [&] { (this->*f)(); }); };
    };
    connect(TSendBtn, &QPushButton::clicked, this, guarded(&TFerroxM1::TSendBtnClick));
    connect(TRecvBtn, &QPushButton::clicked, this, guarded(&TFerroxM1::TRecvBtnClick));
    connect(mnuDelete1, &QAction::triggered, this, guarded(&TFerroxM1::mnuDelete1Click));
    connect(mnuClrAll, &QAction::triggered, this, guarded(&TFerroxM1::mnuClrAllClick));
    connect(mnuDelete2, &QAction::triggered, this, guarded(&TFerroxM1::mnuDelete2Click));
    connect(mnuClrAll2, &QAction::triggered, this, guarded(&TFerroxM1::mnuClrAll2Click));
    connect(ListBox1, &QListWidget::itemClicked, this, &TFerroxM1::ListBox1ItemClick);
}

QStringList TFerroxM1::CheckedTreePaths(QTreeWidget* tree) {
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        Collect(tree->topLevelItem(i), 0, &out);
    return out;
}

void TFerroxM1::TSendBtnClick() {
    GET_FLG = false;
    SKIP_FLG = true;
    struct Done {
        TFerroxM1* w;
        ~Done() {
            w->SKIP_FLG = false;
            w->DIR1ORDIR2_FLG = false;
            if (w->TRANSFER_PATH.isEmpty())
                w->FILE_COUNTER = 0;
        }
    } done{this};

    if (CURRENT_DIR == 1) {
        DIR1->expandAll();
        ListBox1->clear();
        if (TRANSFER_PATH.isEmpty())
            FILE_COUNTER = 0;
        ListBox1->addItems(CheckedTreePaths(DIR1));
    }
    if (ListBox1->count() == 0) {
        Dialogs::Notice(this, QStringLiteral("No Items Selected to Send. Select Items from Local "
                                             "Directory on the Left."));
        return;
    }
    // The peer counts the files it is told of; one that cannot come would leave it waiting.
    qint64 total = 0;
    const QStringList unreadable = UnreadableListedFiles(&total);
    if (!unreadable.isEmpty()) {
        Dialogs::Notice(this, QStringLiteral("These Files cannot be read. Nothing was sent."),
                        unreadable.join(QLatin1Char('\n')));
        return;
    }
    if (CheckRemoteSpace(total))
        return;
    WriteSendList();
    try {
        SendListedFiles();
    } catch (const tether::Cancelled&) {
        Label2->setText(QStringLiteral("Sending was cancelled."));
    }
}

QStringList TFerroxM1::UnreadableListedFiles(qint64* total) {
    QStringList out;
    qint64 sum = 0;
    for (int i = 0; i < ListBox1->count(); ++i) {
        const QString path = ListBox1->item(i)->text();
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable())
            out << path;
        else
            sum += info.size();
    }
    if (total)
        *total = sum;
    return out;
}

bool TFerroxM1::CheckRemoteSpace(qint64 total) {
    if (RMDISK_FREE - kFreeSpaceMargin < total) {
        Dialogs::Notice(this, QStringLiteral("The Remote Location does not have enough Free Disk "
                                             "Space for these Files."));
        ListBox1->clear();
        return true;
    }
    return false;
}

void TFerroxM1::WriteSendList() {
    const QString name = QStringLiteral("TMP") + QString::number(NextListNumber(*this));
    LINE_COUNTER = 0;
    CURRSEND_LIST = name;
    QListWidgetItem* peer = CurrentPeerItem();
    if (!peer)
        throw Failure(QStringLiteral("No user is selected to send the files to."));
    QStringList lines;
    const QString drive = CMBDRIVE2->currentText();
    for (int i = 0; i < ListBox1->count(); ++i)
        lines << PathOnPeerDrive(ListBox1->item(i)->text(), drive, false);
    lines << peer->text() + QLatin1Char('|') +
                 QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    WriteListFile(SENDFILE_PATH + FILE_DELIM + name, lines);
}

void TFerroxM1::SendListedFiles() {
    if (ListBox1->count() == 0)
        return;
    const WaitCursor wait;
    const auto send = [&](const QString& path, const QString& name) {
        if (!CONNECTED_FLG)
            ConnectCurrentPeer();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            throw Failure(QStringLiteral("Cannot open %1: %2").arg(path, f.errorString()));
        SendStreamToPeer(QStringLiteral("File") + name + QStringLiteral(" - ") + LOCAL_USER, &f);
    };
    send(SENDFILE_PATH + FILE_DELIM + CURRSEND_LIST.trimmed(), CURRSEND_LIST);
    const int n = ListBox1->count();
    QElapsedTimer shown;
    for (int i = 0; i < n && i < ListBox1->count(); ++i) {
        const QString path = ListBox1->item(i)->text();
        const QString name = wire::LastPathComponent(path);
        // The event loop turns while a file goes out, so this shows how far the send is; a
        // few times a second is enough for the eye.
        if (!shown.isValid() || shown.elapsed() >= 200) {
            shown.start();
            Label2->setText(QStringLiteral("Sending %1 of %2: %3").arg(i + 1).arg(n).arg(name));
        }
        send(path, name);
    }
    Label2->setText(QStringLiteral("Sent %1 Files.").arg(n));
}

void TFerroxM1::ListBox1ItemClick(QListWidgetItem* item) {
    if (item)
        QDesktopServices::openUrl(QUrl::fromLocalFile(item->text()));
}

void TFerroxM1::mnuDelete1Click() {
    if (ListBox1->count() > 0 && ListBox1->currentItem())
        delete ListBox1->takeItem(ListBox1->currentRow());
}

void TFerroxM1::mnuClrAllClick() {
    if (ListBox1->count() == 0)
        return;
    ListBox1->clear();
    // The counters belong to a transfer being received as well; that one keeps them.
    if (TRANSFER_PATH.isEmpty()) {
        FILE_COUNTER = 0;
        LINE_COUNTER = 0;
    }
}
