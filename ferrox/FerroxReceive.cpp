// Receiving the files that the peer sends, and putting them where they belong.
//
// A transfer is the peer's list file, then its files, each a "File" message. Everything of
// one transfer is stored in a transfer folder of its own below RECVFILE_PATH, named after the
// list; nothing of it leaves that folder before the user has answered where the files go.
// Names from the network are reduced to their last component and refused when unusable.
#include "Application.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "SelFoldr.h"
#include "WireText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <system_error>

#include "Resource.h"

namespace {

// Marks a ListBox2 entry of a file that was refused: it counts for the transfer but was
// never stored.
constexpr int kRefusedRole = Qt::UserRole + 1;

std::filesystem::path Fs(const QString& p) {
    return std::filesystem::path(p.toStdU16String());
}

} // namespace

QString TFerroxM1::MakeTransferFolder(const QString& name) {
    // List numbers repeat, so an older transfer of the same name may still be there.
    QString path = RECVFILE_PATH + FILE_DELIM + name;
    for (int k = 2; QFileInfo::exists(path); ++k)
        path = RECVFILE_PATH + FILE_DELIM + name + QLatin1Char('@') + QString::number(k);
    if (!QDir().mkpath(path))
        throw Failure(QStringLiteral("Cannot create the folder %1.").arg(path));
    return path;
}

void TFerroxM1::ShowReceiveProgress() {
    if (!ReceiveRefresh->isActive())
        ReceiveRefresh->start();
}

void TFerroxM1::AddReceivedEntry(const QString& text, bool refused) {
    RECEIVED_PENDING.append({text, refused});
}

void TFerroxM1::FlushReceivedEntries() {
    if (RECEIVED_PENDING.isEmpty())
        return;
    QStringList texts;
    texts.reserve(RECEIVED_PENDING.size());
    for (const PendingEntry& e : std::as_const(RECEIVED_PENDING))
        texts << e.text;
    const int first = ListBox2->count();
    ListBox2->addItems(texts);
    for (int k = 0; k < RECEIVED_PENDING.size(); ++k)
        if (RECEIVED_PENDING[k].refused)
            ListBox2->item(first + k)->setData(kRefusedRole, true);
    RECEIVED_PENDING.clear();
}

void TFerroxM1::EndTransfer() {
    ReceiveRefresh->stop();
    RECEIVED_PENDING.clear();
    ListBox2->clear();
    RECEIVED_NAMES.clear();
    FILE_COUNTER = 0;
    LINE_COUNTER = 0;
    TRANSFER_PATH.clear();
}

void TFerroxM1::ReceiveSentFile(const tether::Resource& resource) {
    const wire::NamedDescription d = wire::SplitNamedDescription(resource.hint().mid(4));
    const QString sender = d.sender;
    if (d.hasSender && !BYPASSLIST_FLG && IsUserBlocked(sender))
        return;

    const std::optional<QString> safe = wire::SafeFileName(d.name);
    if (!safe) {
        Label2->setText(QStringLiteral("A file from %1 with the unusable name \"%2\" was refused.")
                            .arg(sender, d.name.trimmed()));
        if (TRANSFER_PATH.isEmpty())
            return; // no transfer starts with it
        // It still belongs to the transfer: the count goes on, and the user is told at the end.
        AddReceivedEntry(d.name.trimmed(), true);
        ++FILE_COUNTER;
    } else {
        const bool first = TRANSFER_PATH.isEmpty();
        if (first) {
            EndTransfer();
            TRANSFER_PATH = MakeTransferFolder(*safe);
        }
        QString fileName = *safe;
        if (CountSameNameFiles(fileName) > 0)
            fileName += QLatin1Char('@') + QString::number(FILE_COUNTER);
        const QString path = TRANSFER_PATH + FILE_DELIM + fileName;
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw Failure(QStringLiteral("Cannot replace %1.").arg(path));
        try {
            resource.saveAs(path);
        } catch (const std::exception& e) {
            if (first)
                EndTransfer();
            throw Failure(
                QStringLiteral("Cannot store %1: %2").arg(path, QString::fromLocal8Bit(e.what())));
        }
        if (first) {
            CURRRECVD_PATH = path;
            ReadSentList();
        }
        AddReceivedEntry(path, false);
        ++RECEIVED_NAMES[fileName];
        ++FILE_COUNTER;
    }
    ShowReceiveProgress();
    if (FILE_COUNTER != LINE_COUNTER)
        return;

    // Complete: the stored files are entries 1.., their targets the path list's lines 0...
    FlushReceivedEntries();
    QStringList sources, targets;
    for (int k = 1; k < FILE_COUNTER && k < ListBox2->count() && k - 1 < Memo2->Lines.size(); ++k) {
        QListWidgetItem* item = ListBox2->item(k);
        sources << (item->data(kRefusedRole).toBool() ? QString() : item->text());
        targets << Memo2->Lines[k - 1];
    }
    const Dialogs::Answer a = Dialogs::Question(
        this,
        QStringLiteral("Files Sent from ") + sender +
            QStringLiteral(" Do you want to Copy These Files to Paths from Source ?"),
        targets.join(QLatin1Char('\n')));
    if (a != Dialogs::Answer::No) {
        const QStringList failures = PlaceReceivedFiles(sources, targets);
        if (failures.isEmpty()) {
            DIR1->clear();
            DoDir1(FILE_DELIM);
        }
        const QString folder = TRANSFER_PATH;
        EndTransfer();
        if (failures.isEmpty())
            Label2->setText(QStringLiteral("You have received files from ") + sender);
        else
            ReportUnplacedFiles(failures, folder);
        return;
    }
    if (AskTargetFolder()) {
        for (int k = 0; k < targets.size(); ++k) {
            // The chosen folder gets the file's own name; a name that would lead out of it
            // is replaced by the name it was stored under.
            const std::optional<QString> name = wire::SafeFileName(targets[k]);
            targets[k] =
                ALTER_PATH + FILE_DELIM + (name ? *name : wire::LastPathComponent(sources[k]));
        }
    }
    const QStringList failures = PlaceReceivedFiles(sources, targets);
    const QString folder = TRANSFER_PATH;
    EndTransfer();
    if (!failures.isEmpty())
        ReportUnplacedFiles(failures, folder);
}

void TFerroxM1::ReadSentList() {
    Memo2->Lines.clear();
    LINE_COUNTER = 0;
    Memo2->Lines = wire::ReadListFile(CURRRECVD_PATH);
    LINE_COUNTER = int(Memo2->Lines.size());
}

int TFerroxM1::CountSameNameFiles(const QString& name) {
    return RECEIVED_NAMES.value(name);
}

bool TFerroxM1::CopyToSourcePath(const QString& source, const QString& target, QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (source.isEmpty())
        return fail(QStringLiteral("it was not received"));
    if (!QDir::isAbsolutePath(target))
        return fail(QStringLiteral("the target is not a full path on this computer"));
    // Mostly the folder is there: one rename does it, and the checks below run only when it
    // failed, to say why or to take another way. A rename never puts a file over a folder.
    std::error_code ec;
    std::filesystem::rename(Fs(source), Fs(target), ec);
    if (!ec)
        return true;
    if (!QFileInfo(source).isFile())
        return fail(QStringLiteral("it was not received"));
    if (QFileInfo(target).isDir())
        return fail(QStringLiteral("a folder of that name is there"));
    const QString folder = QFileInfo(target).absolutePath();
    if (QFileInfo(folder).isDir()) {
        // The rename above would have moved it over the old file in one step, so it is never
        // lost half-way; across file systems it is copied and then removed from the transfer
        // folder.
        if (ec != std::errc::cross_device_link)
            return fail(QString::fromLocal8Bit(ec.message().c_str()));
        ec.clear();
        std::filesystem::copy_file(Fs(source), Fs(target),
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec)
            return fail(QString::fromLocal8Bit(ec.message().c_str()));
        QFile::remove(source);
        return true;
    }
    // A new folder: every missing level is made; the received copy stays where it is.
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be made").arg(folder));
    std::filesystem::copy_file(Fs(source), Fs(target),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec)
        return fail(QString::fromLocal8Bit(ec.message().c_str()));
    return true;
}

QStringList TFerroxM1::PlaceReceivedFiles(const QStringList& sources, const QStringList& targets) {
    QStringList failures;
    for (int k = 0; k < sources.size() && k < targets.size(); ++k) {
        QString why;
        if (!CopyToSourcePath(sources[k], targets[k], &why))
            failures << QStringLiteral("%1 -> %2: %3")
                            .arg(sources[k].isEmpty() ? QStringLiteral("(refused)") : sources[k],
                                 targets[k], why);
    }
    return failures;
}

void TFerroxM1::ReportUnplacedFiles(const QStringList& failures, const QString& folder) {
    const QString text = QStringLiteral("%1 Files could not be placed. They are still in %2.")
                             .arg(failures.size())
                             .arg(folder);
    Label2->setText(text);
    Dialogs::Notice(this, text, failures.join(QLatin1Char('\n')));
}

bool TFerroxM1::AskTargetFolder() {
    // Closing the dialog without an answer counts as Cancel.
    CANCEL_FLG = true;
    if (Dialogs::IsScripted()) {
        const QString folder =
            Dialogs::ChooseFolder(this, QStringLiteral("Select Folder"), ALTER_PATH);
        if (!folder.isEmpty()) {
            CANCEL_FLG = false;
            ALTER_PATH = folder;
        }
    } else if (SelFldr1) {
        SelFldr1->exec();
    }
    return !CANCEL_FLG;
}
