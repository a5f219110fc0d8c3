// Folder listings of the local tree.
//
// For now only the first listing exists: one level of the current drive's root at start-up.
// Browsing deeper, filters, drive changes and the remote tree replace this file.
#include "Drives.h"
#include "FerroxM.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

namespace {
// Paths this long are left out of listings; the receiving side could not store them.
constexpr int kMaxPathLength = 255;
} // namespace

void TFerroxM1::DoDir1(const QString& WrkDIR) {
    QString path;
    if (WrkDIR == FILE_DELIM) {
        QStringList drives;
        for (int i = 0; i < CMBDRIVE->count(); ++i)
            drives << CMBDRIVE->itemText(i);
        path = DriveRootOf(CURRENT_FOLDER, drives);
    } else if (WrkDIR == CMBDRIVE->currentText()) {
        path = WrkDIR;
    } else {
        return; // listings below a node come with tree browsing
    }
    CURRENT_FOLDER = path;
    const QString folder = path.endsWith(FILE_DELIM) ? path : path + FILE_DELIM;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    DIR1->setUpdatesEnabled(false);
    const QDir dir(path);
    const QDir::Filters all = QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const auto add = [&](const QFileInfo& info, int icon, const QString& tag) {
        const QString full = QDir::toNativeSeparators(info.absoluteFilePath());
        if (full.size() >= kMaxPathLength)
            return;
        auto* item = new QTreeWidgetItem(DIR1);
        item->setText(0, QStringLiteral("   ") + info.fileName());
        item->setIcon(0, ImageList1->icon(icon));
        item->setData(0, TagTextRole, tag.isEmpty() ? full : tag);
        item->setData(0, TagNumberRole, 0);
        item->setData(0, IconIndexRole, icon);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        ApplyTreeItemFont(item, true);
    };
    const auto folders = dir.entryInfoList(QDir::Dirs | all, QDir::NoSort);
    for (const QFileInfo& info : folders)
        add(info, TreeIcons::Closed, {});
    const auto files = dir.entryInfoList(QDir::Files | all, QDir::NoSort);
    for (const QFileInfo& info : files) {
        const QString suffix = info.suffix();
        // A file without an extension is not classified; it gets the "Unknown" picture.
        MatchFileKind(suffix.trimmed().isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper());
        add(info, FileIcon(), folder);
    }
    DIR1->expandAll();
    DIR1->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}
