// The two folder trees: this computer's (DIR1), filled from the file system one folder level at
// a time, and the peer's (DIR2), filled from the listings it sends on request. Checking a
// folder checks the files listed directly inside it; what stays checked is what Send and Get
// transfer. Double-clicking a file shows it in the viewer.
//
// A folder may hold a hundred thousand entries, so a listing builds its items detached from
// the tree and attaches them in one step: the view lays itself out once, not once per item.
#include "Application.h"
#include "Dialogs.h"
#include "Drives.h"
#include "DspFile.h"
#include "Failure.h"
#include "FerroxM.h"
#include "Helpers.h"
#include "TreeRules.h"
#include "WaitCursor.h"
#include "WireText.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

namespace {

const QString kBlanks = QStringLiteral("   ");

// Windows keeps "C:\Documents and Settings" only as a link for old programs; listing it fails.
// Other systems have no such folder.
bool IsLegacyJunction(const QString& path) {
#ifdef Q_OS_WIN
    return QDir::cleanPath(QDir::fromNativeSeparators(path))
               .compare(QStringLiteral("C:/Documents and Settings"), Qt::CaseInsensitive) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// The node the user selected: the current item when it is selected too (a view that gets the
// focus makes its first row current without selecting it).
QTreeWidgetItem* SelectedNode(QTreeWidget* tree) {
    QTreeWidgetItem* item = tree->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

bool IsFolderNode(const QTreeWidgetItem* item) {
    return item->data(0, TFerroxM1::IconIndexRole).toInt() <= TreeIcons::Open;
}

// The item behind a model index, found through the public tree API.
QTreeWidgetItem* ItemAt(QTreeWidget* tree, const QModelIndex& index) {
    QVector<int> rows;
    for (QModelIndex i = index; i.isValid(); i = i.parent())
        rows.prepend(i.row());
    if (rows.isEmpty())
        return nullptr;
    QTreeWidgetItem* item = tree->topLevelItem(rows.first());
    for (int k = 1; item && k < rows.size(); ++k)
        item = item->child(rows[k]);
    return item;
}

// Sets a flag for the lifetime of the object and puts the old value back, also when the
// handler ends by an error.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

// Paints a tree only once its new items are all in.
class FrozenTree {
public:
    explicit FrozenTree(QTreeWidget* tree) : m_tree(tree), m_was(tree->updatesEnabled()) {
        m_tree->setUpdatesEnabled(false);
    }
    ~FrozenTree() { m_tree->setUpdatesEnabled(m_was); }
    FrozenTree(const FrozenTree&) = delete;
    FrozenTree& operator=(const FrozenTree&) = delete;

private:
    QTreeWidget* m_tree;
    bool m_was;
};

// Rows are 25 pixels high, or higher where the style's text needs it. A delegate rather than
// a size per item, so that a hundred thousand items carry one value less each.
class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(size.height(), 25));
        return size;
    }
};

// Builds the items of one listing. Every item starts as a copy of a prototype that carries
// what all items share (check box, font), so the font rule runs once per listing.
class ItemBatch {
public:
    ItemBatch(TFerroxM1& main, QTreeWidget* tree, bool local) : m_main(main), m_tree(tree) {
        m_proto.setFlags(m_proto.flags() | Qt::ItemIsUserCheckable);
        m_proto.setCheckState(0, Qt::Unchecked);
        // The font rule looks at the tree the item is in; the prototype visits it briefly.
        auto* visitor = new QTreeWidgetItem;
        m_tree->insertTopLevelItem(0, visitor);
        main.ApplyTreeItemFont(visitor, local);
        m_proto.setFont(0, visitor->font(0));
        if (visitor->data(0, Qt::ForegroundRole).isValid())
            m_proto.setForeground(0, visitor->foreground(0));
        delete m_tree->takeTopLevelItem(0);
    }
    ~ItemBatch() { qDeleteAll(m_items); }
    ItemBatch(const ItemBatch&) = delete;
    ItemBatch& operator=(const ItemBatch&) = delete;

    void add(const QString& name, const QString& tag, int index, int icon) {
        QTreeWidgetItem* item = m_proto.clone();
        item->setText(0, kBlanks + name);
        item->setIcon(0, m_main.ImageList1->icon(icon));
        item->setData(0, TFerroxM1::TagTextRole, tag);
        item->setData(0, TFerroxM1::TagNumberRole, index);
        item->setData(0, TFerroxM1::IconIndexRole, icon);
        m_items << item;
    }
    int size() const { return int(m_items.size()); }

    // Puts the items below the selected node (below), else at the top level; the tree owns
    // them afterwards.
    void attach(bool below) {
        if (m_items.isEmpty())
            return;
        QTreeWidgetItem* parent = below ? SelectedNode(m_tree) : nullptr;
        if (parent)
            parent->addChildren(m_items);
        else
            m_tree->addTopLevelItems(m_items);
        m_items.clear();
    }

private:
    TFerroxM1& m_main;
    QTreeWidget* m_tree;
    QTreeWidgetItem m_proto;
    QList<QTreeWidgetItem*> m_items;
};

// The extension part of a full path, for the kind tables (MatchFileKind wants ".TXT").
QString KindExtension(const QString& path, QChar delim) {
    const QString ext = trees::UpperExtension(path, delim);
    return ext.trimmed().isEmpty() ? QString() : ext;
}

} // namespace

void TFerroxM1::ConnectTrees() {
    OpenWithSystem = [](const QString& path) {
        // Whatever the desktop makes of it, or fails to, is its own business.
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    for (QTreeWidget* tree : {DIR1, DIR2}) {
        // A double-click lists a folder itself; the view's own toggle would fold it right up.
        tree->setExpandsOnDoubleClick(false);
        tree->setItemDelegate(new RowDelegate(tree));
    }
    // Every handler runs guarded: an error is reported and the handler stops there.
    auto guarded = [this](void (TFerroxM1::*handler)()) {
        return [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(DIR1, &QTreeWidget::itemClicked, this, guarded(&TFerroxM1::DIR1Click));
    connect(DIR2, &QTreeWidget::itemClicked, this, guarded(&TFerroxM1::DIR2Click));
    connect(DIR1, &QTreeWidget::itemDoubleClicked, this, guarded(&TFerroxM1::DIR1DblClick));
    connect(DIR2, &QTreeWidget::itemDoubleClicked, this, guarded(&TFerroxM1::DIR2DblClick));
    connect(CMBDRIVE, &QComboBox::currentIndexChanged, this, guarded(&TFerroxM1::CMBDRIVEChange));
    connect(CMBDRIVE2, &QComboBox::currentIndexChanged, this, guarded(&TFerroxM1::CMBDRIVE2Change));
    connect(CMBFILTER, &QComboBox::currentIndexChanged, this, guarded(&TFerroxM1::CMBFILTERChange));
    // A tree item tells of every change of its data; only check boxes matter here.
    auto onCheck = [this](QTreeWidget* tree, void (TFerroxM1::*handler)(QTreeWidgetItem*)) {
        connect(tree->model(), &QAbstractItemModel::dataChanged, this,
                [this, tree, handler](const QModelIndex& from, const QModelIndex& to,
                                      const QList<int>& roles) {
                    if (from != to || !roles.contains(Qt::CheckStateRole) || SKIP_FLG)
                        return;
                    if (QTreeWidgetItem* item = ItemAt(tree, from))
                        Guarded(this, [this, handler, item] { (this->*handler)(item); });
                });
    };
    onCheck(DIR1, &TFerroxM1::DIR1ChangeCheck);
    onCheck(DIR2, &TFerroxM1::DIR2ChangeCheck);
}

// ---- listing ----

void TFerroxM1::DoDir1(const QString& WrkDIR) {
    DIR1_CNT = 0;
    const bool listing = DIR1ORDIR2_FLG;
    QStringList drives;
    for (int i = 0; i < CMBDRIVE->count(); ++i)
        drives << CMBDRIVE->itemText(i);
    const bool selectedDrive = CMBDRIVE->currentIndex() >= 0 && WrkDIR == CMBDRIVE->currentText();

    QString path = WrkDIR;
    bool below = false;
    int index = 0;
    if (listing && drives.contains(WrkDIR)) {
        // A peer asking for one of our drive roots gets that root, also where the root is
        // written like the bare delimiter ("/").
    } else if (WrkDIR == FILE_DELIM || selectedDrive ||
               (listing && (WrkDIR == QLatin1String("\\") || WrkDIR == QLatin1String("/")))) {
        // The bare delimiter is the root of the current drive; a peer with other paths sends
        // its own delimiter for it.
        path = selectedDrive ? WrkDIR : DriveRootOf(CURRENT_FOLDER, drives);
        // Only the user's own choices move the current drive; a peer browsing does not.
        if (!listing)
            CURRENT_FOLDER = path;
    } else {
        below = true;
        QTreeWidgetItem* node = SelectedNode(DIR1);
        if (node) {
            QTreeWidgetItem* parent = node->parent();
            index = parent ? parent->indexOfChild(node) : DIR1->indexOfTopLevelItem(node);
        }
        if (!listing && node) {
            SETFOLDER = node->data(0, TagTextRole).toString();
            path = SETFOLDER;
        }
    }
    if (IsLegacyJunction(path))
        return;
    if (!QFileInfo(path).isDir())
        throw Failure(QStringLiteral("The folder %1 does not exist.").arg(path));

    WaitCursor wait;
    const QString folder = path.endsWith(FILE_DELIM2) ? path : path + FILE_DELIM2;
    // One pass over the entries, in the order the file system gives them; folders are shown
    // first. Entries that cannot be read end the loop quietly: what was found stays.
    QStringList folders, files;
    QDirIterator it(path,
                    QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString full = folder + it.fileName();
        if (full.size() >= trees::kMaxPathLength)
            continue;
        (it.fileInfo().isDir() ? folders : files) << full;
    }

    if (listing) {
        for (const QString& f : std::as_const(folders))
            Memo1->Lines << f + QStringLiteral("|0");
        for (const QString& f : std::as_const(files))
            Memo1->Lines << f + QStringLiteral("|1");
        DIR1_CNT = int(folders.size() + files.size());
        return;
    }

    FrozenTree frozen(DIR1);
    ItemBatch batch(*this, DIR1, true);
    for (const QString& f : std::as_const(folders))
        batch.add(trees::NameOf(f, FILE_DELIM2), f, index, TreeIcons::Closed);

    const int filter = CMBFILTER->currentIndex();
    const bool all = filter < 0 || filter == TOTAL_FILTERS || filter >= FILEFILTR_ARR.size();
    const QStringList wanted = all ? QStringList() : trees::FilterExtensions(FILEFILTR_ARR[filter]);
    const QSet<QString> wantedSet(wanted.cbegin(), wanted.cend());
    QHash<QString, int> iconOf; // one kind lookup per extension, not per file
    for (const QString& f : std::as_const(files)) {
        const QString ext = KindExtension(f, FILE_DELIM2);
        if (!all && !wantedSet.contains(trees::UpperExtension(f, FILE_DELIM2)))
            continue;
        auto known = iconOf.constFind(ext);
        if (known == iconOf.constEnd()) {
            // A file without an extension is not classified: it gets the "Unknown" picture.
            MatchFileKind(ext);
            known = iconOf.insert(ext, FileIcon());
        }
        batch.add(trees::NameOf(f, FILE_DELIM2), folder, index, known.value());
    }
    DIR1_CNT = batch.size();
    batch.attach(below);
    DIR1->expandAll();
}

void TFerroxM1::AddTreeItem(const QString& WrkItem, const QString& WrkParent, int WrkIndex,
                            int WrkIconIndex, bool WrkFlag) {
    FrozenTree frozen(DIR1);
    ItemBatch batch(*this, DIR1, true);
    batch.add(trees::NameOf(WrkItem, FILE_DELIM2), WrkParent, WrkIndex, WrkIconIndex);
    batch.attach(WrkFlag);
    ++DIR1_CNT;
}

void TFerroxM1::AddTreeItem2(const QString& WrkItem, const QString& WrkParent, int WrkIndex,
                             int WrkIconIndex, bool WrkFlag) {
    ItemBatch batch(*this, DIR2, false);
    batch.add(trees::NameOf(WrkItem, RemoteDelimiter()), WrkParent, WrkIndex, WrkIconIndex);
    batch.attach(WrkFlag);
    ++DIR2_CNT;
}

bool TFerroxM1::MatchesFileFilter(const QString& path, int filterIndex) {
    if (filterIndex == TOTAL_FILTERS)
        return true;
    if (filterIndex < 0 || filterIndex >= FILEFILTR_ARR.size())
        return false;
    return trees::FilterExtensions(FILEFILTR_ARR[filterIndex])
        .contains(trees::UpperExtension(path, FILE_DELIM2));
}

int TFerroxM1::GetDriveLetterIndex(const QString& WrkDrive) {
    if (WrkDrive.size() != 1)
        return -1;
    const QChar c = WrkDrive.at(0);
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? c.unicode() - u'A' + 1 : -1;
}

qint64 TFerroxM1::GetFileSize(const QString& WrkFilePath) {
    const QFileInfo info(WrkFilePath);
    if (!info.exists() || info.isDir())
        return 0;
    QFile file(WrkFilePath);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The file %1 could not be opened: %2")
                          .arg(WrkFilePath, file.errorString()));
    return file.size();
}

QChar TFerroxM1::RemoteDelimiter() const {
    QStringList roots;
    for (int i = 0; i < CMBDRIVE2->count(); ++i)
        roots << CMBDRIVE2->itemText(i);
    QStringList samples;
    if (!Memo1->Lines.isEmpty())
        samples << Memo1->Lines.first();
    samples << SETFOLDER2;
    return trees::DelimiterOf(roots, samples, FILE_DELIM2);
}

void TFerroxM1::ShowRemoteListing() {
    WaitCursor wait;
    const QChar delim = RemoteDelimiter();
    const bool below = trees::ListingGoesBelow(SETFOLDER2, delim);
    // Entry paths are tag + name: a drive root written without its delimiter ("/data") still
    // needs one between them.
    const QString tag = SETFOLDER2.endsWith(delim) ? SETFOLDER2 : SETFOLDER2 + delim;
    DIR2_CNT = 0;
    int unreadable = 0;
    {
        FrozenTree frozen(DIR2);
        ItemBatch batch(*this, DIR2, false);
        QHash<QString, int> iconOf;
        for (const QString& line : std::as_const(Memo1->Lines)) {
            const auto entry = trees::ParseListingLine(line, delim, below);
            if (!entry) {
                unreadable += line.trimmed().isEmpty() ? 0 : 1;
                continue;
            }
            int icon = TreeIcons::Closed;
            if (!entry->folder) {
                // No extension, or one too long to be one, and the entry behaves as a folder.
                const QString ext = KindExtension(entry->path, delim);
                if (!ext.isEmpty() && ext.size() <= 5) {
                    auto known = iconOf.constFind(ext);
                    if (known == iconOf.constEnd()) {
                        MatchFileKind(ext);
                        known = iconOf.insert(ext, FileIcon());
                    }
                    icon = known.value();
                }
            }
            batch.add(trees::NameOf(entry->path, delim), tag, 0, icon);
        }
        DIR2_CNT = batch.size();
        batch.attach(below);
    }
    DIR1ORDIR2_FLG = false;
    if (QTreeWidgetItem* node = SelectedNode(DIR2))
        node->setExpanded(true);
    SKIP_COUNT = 0;
    if (unreadable > 0)
        Label2->setText(
            QStringLiteral("%1 lines of the listing from %2 were not understood.")
                .arg(unreadable)
                .arg(REMOTE_USER.isEmpty() ? QStringLiteral("the other computer") : REMOTE_USER));
}

// ---- clicks ----

void TFerroxM1::DIR1Click() {
    CURRENT_DIR = 1;
    QTreeWidgetItem* node = SelectedNode(DIR1);
    if (!node || SKIP_FLG)
        return;
    const QString tag = node->data(0, TagTextRole).toString().trimmed();
    Label2->setText(IsFolderNode(node) ? tag : tag + node->text(0).trimmed());
}

void TFerroxM1::DIR2Click() {
    QTreeWidgetItem* node = SelectedNode(DIR2);
    if (DIR2->topLevelItemCount() == 0 || !node)
        return;
    SETFOLDER2 = node->data(0, TagTextRole).toString().trimmed() + node->text(0).trimmed() +
                 RemoteDelimiter();
    Label2->setText(SETFOLDER2);
    CURRENT_DIR = 2;
}

namespace {

// Opens or closes a folder node, its picture following. A node without children counts as
// closed, whatever the view remembers of it: listing it opens it.
void ToggleFolder(QTreeWidgetItem* node, TreeIcons* icons) {
    const bool open = !(node->isExpanded() && node->childCount() > 0);
    const int icon = open ? TreeIcons::Open : TreeIcons::Closed;
    node->setIcon(0, icons->icon(icon));
    node->setData(0, TFerroxM1::IconIndexRole, icon);
    node->setExpanded(open);
}

} // namespace

void TFerroxM1::DIR1DblClick() {
    QTreeWidgetItem* node = SelectedNode(DIR1);
    if (!node)
        return;
    if (node->childCount() > 0) {
        // Listed already: the double-click only folds or unfolds it.
        if (IsFolderNode(node))
            ToggleFolder(node, ImageList1);
        return;
    }
    DIR1Click(); // the status line names what is opened, also without a click before
    if (IsFolderNode(node)) {
        DIR1ORDIR2_FLG = false;
        CURRENT_DIR = 1;
        ToggleFolder(node, ImageList1);
        DoDir1(node->text(0).trimmed());
        return;
    }
    ViewLocalFile(node->data(0, TagTextRole).toString().trimmed() + node->text(0).trimmed());
}

void TFerroxM1::DIR2DblClick() {
    QTreeWidgetItem* node = SelectedNode(DIR2);
    if (DIR2->topLevelItemCount() == 0 || !node)
        return;
    if (node->childCount() > 0) {
        if (IsFolderNode(node))
            ToggleFolder(node, ImageList1);
        return;
    }
    WaitCursor wait;
    const QChar delim = RemoteDelimiter();
    const QString name = node->text(0).trimmed();
    const QString tag = node->data(0, TagTextRole).toString().trimmed();
    const QString ext = trees::UpperExtension(name, delim);
    // Only an absolute path can name a folder here; a peer's "C:\..." is no path of ours.
    const QString here = tag + name;
    const bool folderHere = QDir::isAbsolutePath(here) && QFileInfo(here).isDir();
    if (folderHere || ext.isEmpty()) {
        ToggleFolder(node, ImageList1);
        SETFOLDER2 = tag + name + delim;
        Memo1->Lines = {QStringLiteral("START"), SETFOLDER2};
    } else {
        MatchFileKind(ext);
        QString request;
        if (IMAGEFILE_FLG)
            request = QStringLiteral("PHOTO");
        else if (TEXTFILE_FLG)
            request = QStringLiteral("TEXTD");
        if (request.isEmpty()) {
            // A bare path would reach the peer as a listing of one line; nothing is sent.
            CURRENT_DIR = 2;
            Dialogs::Notice(this, QStringLiteral("Only pictures and text files can be viewed. "
                                                 "To copy %1 to this computer, check it and "
                                                 "press Get.")
                                      .arg(name));
            return;
        }
        SETFOLDER2 = tag + name;
        Memo1->Lines = {request, SETFOLDER2};
    }
    SendWorkList();
    CURRENT_DIR = 2;
}

// ---- check boxes ----

namespace {

// A file keeps its new state. A folder is opened; checking it checks the files listed
// directly inside it (sub-folders stay unchecked), unchecking it unchecks them; the folder
// itself never stays checked.
void FollowCheck(QTreeWidgetItem* node) {
    if (!IsFolderNode(node))
        return;
    node->setExpanded(true);
    const bool checked = node->checkState(0) == Qt::Checked;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        const bool file = !IsFolderNode(child);
        if (checked)
            child->setCheckState(0, file ? Qt::Checked : Qt::Unchecked);
        else if (file)
            child->setCheckState(0, Qt::Unchecked);
    }
    node->setCheckState(0, Qt::Unchecked);
}

} // namespace

void TFerroxM1::DIR1ChangeCheck(QTreeWidgetItem* item) {
    if (SKIP_FLG || !item)
        return;
    FlagScope skip(SKIP_FLG);
    FollowCheck(item);
}

void TFerroxM1::DIR2ChangeCheck(QTreeWidgetItem* item) {
    if (SKIP_FLG || !item)
        return;
    FlagScope skip(SKIP_FLG);
    FollowCheck(item);
}

// ---- drives and filter ----

void TFerroxM1::CMBDRIVEChange() {
    if (FIRST_TIME_FLG || CMBDRIVE->currentIndex() < 0)
        return;
    DIR1->clear();
    CURRENT_FOLDER = CMBDRIVE->currentText();
    DoDir1(CMBDRIVE->currentText());
}

void TFerroxM1::CMBFILTERChange() {
    if (FIRST_TIME_FLG || SKIP_FLG)
        return;
    DIR1->clear();
    DoDir1(FILE_DELIM);
}

void TFerroxM1::CMBDRIVE2Change() {
    const int i = CMBDRIVE2->currentIndex();
    if (CMBDRIVE2->count() == 0 || i < 0 || SKIP_FLG)
        return;
    SETFOLDER2 = CMBDRIVE2->currentText();
    RMDISK_FREE = i + 1 < int(REMDISK_FREE.size()) ? REMDISK_FREE[size_t(i + 1)] : 0;
    DIR2->clear();
    StartBtn->setEnabled(true);
    StartBtnClick();
}

// ---- viewing ----

void TFerroxM1::ViewLocalFile(const QString& path) {
    MatchFileKind(KindExtension(path, FILE_DELIM2));
    if (IMAGEFILE_FLG) {
        if (!DspFile1)
            return;
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage picture = reader.read();
        if (picture.isNull())
            throw Failure(QStringLiteral("The picture %1 cannot be shown: %2")
                              .arg(path, reader.errorString()));
        const QString tag = QStringLiteral("     ") + Label2->text() + QStringLiteral(" - ") +
                            SizeText(GetFileSize(path)) + QStringLiteral(" Bytes");
        DspFile1->ShowPicture(picture, tag, QStringLiteral("View Files"));
    } else if (TEXTFILE_FLG || DOCUMENT_FLG || HTMLFILE_FLG) {
        if (!DspFile1)
            return;
        trees::TextHead head = trees::ReadTextHead(path);
        if (head.cut)
            head.lines << trees::CutNotice(trees::kTextLimit);
        DspFile1->ShowText(head.lines, QStringLiteral("View Files"), Label2->text());
    } else if (OpenWithSystem) {
        OpenWithSystem(path);
    }
}

void TFerroxM1::ShowRemotePhoto(const QImage& picture, const QString& description) {
    if (DspFile1)
        DspFile1->ShowPicture(picture, description,
                              QStringLiteral("View Files from - ") + REMOTE_USER, SETFOLDER2);
}

void TFerroxM1::ShowRemoteText() {
    if (DspFile1)
        DspFile1->ShowText(Memo1->Lines, QStringLiteral("View Files from - ") + REMOTE_USER,
                           Label2->text());
}

QStringList TFerroxM1::BuildTextAnswer(const QString& path) {
    trees::TextHead head = trees::ReadTextHead(path);
    QStringList lines;
    lines.reserve(head.lines.size() + 3);
    lines << QStringLiteral("TEXT2");
    lines << std::move(head.lines);
    if (head.cut)
        lines << trees::CutNotice(trees::kTextLimit);
    lines << SizeText(GetFileSize(path)) + QStringLiteral(" Bytes");
    return lines;
}

// ---- screenshots ----

void TFerroxM1::PrepareShot() {
    const QString dir1 = qEnvironmentVariable("FP_SHOT_DIR1");
    if (!dir1.isEmpty()) {
        // Listed as a drive of its own, as choosing it in CMBDRIVE would.
        CMBDRIVE->addItem(QDir::toNativeSeparators(dir1));
        CMBDRIVE->setCurrentIndex(CMBDRIVE->count() - 1);
    }
    const QString listing = qEnvironmentVariable("FP_SHOT_LISTING");
    if (!listing.isEmpty()) {
        // What a peer would see of this folder: our answer to its "START", shown on the right.
        const QString folder = QDir::toNativeSeparators(listing);
        {
            const FlagScope skip(SKIP_FLG);
            CMBDRIVE2->clear();
            CMBDRIVE2->addItem(folder);
        }
        Memo1->Lines.clear();
        DIR1ORDIR2_FLG = true;
        DoDir1(folder);
        DIR1ORDIR2_FLG = false;
        Memo1->Lines = wire::DecodeTextList(wire::EncodeTextList(Memo1->Lines));
        SETFOLDER2 = folder;
        DIR2->clear();
        ShowRemoteListing();
    }
    const QString open = qEnvironmentVariable("FP_SHOT_OPEN");
    if (!open.isEmpty()) {
        Label2->setText(QDir::toNativeSeparators(open));
        ViewLocalFile(QDir::toNativeSeparators(open));
        if (DspFile1 && qEnvironmentVariable("FP_SHOT_PIXELS") == QLatin1String("1"))
            DspFile1->Image1DblClick();
    }
}
