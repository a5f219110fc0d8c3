// Creation, layout, first show, clock and close of the main window.
#include "FerroxM.h"
#include "Application.h"
#include "Drives.h"
#include "Failure.h"
#include "HelpWin.h"
#include "Helpers.h"
#include "SetOptions.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMediaPlayer>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QSysInfo>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

const char* const kProfilePrefix = "FerroxApp1:";

// The environment names the platform uses for the computer and the account; where they are
// unset (as on Linux) the host name and USER stand in.
QString ComputerName() {
    const QString v = qEnvironmentVariable("COMPUTERNAME");
    return v.isEmpty() ? QSysInfo::machineHostName() : v;
}

QString AccountName() {
    for (const char* name : {"USERNAME", "USER", "LOGNAME"}) {
        const QString v = qEnvironmentVariable(name);
        if (!v.isEmpty())
            return v;
    }
    return {};
}

// The name of the account this process runs under, from the system's user database; for a
// session that sets none of the variables above (a service, a container).
QString SystemAccountName() {
#ifdef Q_OS_UNIX
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    return {};
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text,
                        const QString& hint) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    // Never narrower than the text: larger styles widen the window instead of cutting words.
    b->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    b->setAutoDefault(false);
    return b;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QString& hint) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setToolTip(hint);
    return c;
}

} // namespace

TFerroxM1::TFerroxM1(const QString& rootPath, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TFerroxM1"));
    RandomNumber = [] { return static_cast<int>(QRandomGenerator::global()->bounded(150)); };
    AccountFallback = SystemAccountName;
    FormCreate(rootPath);
}

TFerroxM1::~TFerroxM1() = default;

void TFerroxM1::FormCreate(const QString& rootPath) {
    FILE_DELIM2 = QDir::separator();
    FILE_DELIM = QString(FILE_DELIM2);
    const QString root = rootPath.isEmpty() ? QDir::currentPath() : rootPath;
    ROOTPATH = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(root).absoluteFilePath()));
    CURRENT_FOLDER = ROOTPATH;
    STYLE_PATH = ROOTPATH + FILE_DELIM + QStringLiteral("Styles") + FILE_DELIM;

    // One level each, parents first; a folder that cannot be made stops the start.
    const QStringList folders = {QStringLiteral("Styles"),
                                 QStringLiteral("Files"),
                                 QStringLiteral("Files") + FILE_DELIM + QStringLiteral("Sent"),
                                 QStringLiteral("Files") + FILE_DELIM + QStringLiteral("Recv"),
                                 QStringLiteral("Bmps"),
                                 QStringLiteral("Help")};
    for (const QString& f : folders) {
        const QString path = ROOTPATH + FILE_DELIM + f;
        if (QFileInfo(path).isDir())
            continue;
        if (!QDir().mkdir(path))
            throw Failure(QStringLiteral("Cannot create the folder %1.").arg(path));
    }
    FILES_PATH = ROOTPATH + FILE_DELIM + QStringLiteral("Files");
    SENDFILE_PATH = FILES_PATH + FILE_DELIM + QStringLiteral("Sent");
    RECVFILE_PATH = FILES_PATH + FILE_DELIM + QStringLiteral("Recv");
    ALTER_PATH = RECVFILE_PATH;
    CURRRECVD_PATH = RECVFILE_PATH;
    SETFOLDER = FILE_DELIM;
    SETFOLDER2 = FILE_DELIM;

    BuildControls();
    CreateTethering();
    ConnectTrees();
    ConnectTransfers();
    StartBtn->setEnabled(false);
    TSendBtn->setEnabled(false);
    TRecvBtn->setEnabled(false);
    setWindowTitle(QStringLiteral("Ferrox 1"));
    resize(1000, 644);
    Timer1->start();
    Timer1Timer(); // no blank clock during the first second
}

void TFerroxM1::BuildControls() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* bar = new QFrame(central);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 5, 6, 5);
    row->setSpacing(5);

    CMBDRIVE =
        MakeCombo(bar, "CMBDRIVE", QStringLiteral("List of Logical Drives on this Computer"));
    CMBDRIVE->setMinimumWidth(70);
    CMBFILTER =
        MakeCombo(bar, "CMBFILTER", QStringLiteral("Select File Type Filter for This computer."));
    CMBFILTER->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CMBFILTER->setMinimumContentsLength(14);
    TSendBtn =
        MakeButton(bar, "TSendBtn", QStringLiteral("Send"),
                   QStringLiteral("Copy Selected Files on List below to Computer on Right."));
    TRecvBtn = MakeButton(
        bar, "TRecvBtn", QStringLiteral("Get"),
        QStringLiteral("Get Selected Files on Right List below from Computer on Right."));
    StartBtn = MakeButton(bar, "StartBtn", QStringLiteral("Start"),
                          QStringLiteral("View Computer Folders/Files on Device List"));
    ListBox3 = new QListWidget(bar);
    ListBox3->setObjectName(QStringLiteral("ListBox3"));
    ListBox3->setToolTip(
        QStringLiteral("List of Computers/Users to Connect. Highlighted User Connected."));
    // The tool bar's height comes from its buttons; the user list scrolls within it. Its
    // width follows the window (FormResize) but yields where larger text needs the room.
    ListBox3->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    ListBox3->setMinimumSize(40, 10);
    CMBDRIVE2 = MakeCombo(bar, "CMBDRIVE2",
                          QStringLiteral("List of Logical Drives on Active Tethered Computer."));
    CMBDRIVE2->setMinimumWidth(70);
    TOptnBtn =
        MakeButton(bar, "TOptnBtn", QStringLiteral("Options"), QStringLiteral("Select Options"));
    HelpBtn =
        MakeButton(bar, "HelpBtn", QStringLiteral("Help"), QStringLiteral("Help with Ferrox"));
    TCloseBtn =
        MakeButton(bar, "TCloseBtn", QStringLiteral("Quit"), QStringLiteral("Close Ferrox"));

    row->addWidget(CMBDRIVE);
    row->addWidget(CMBFILTER);
    row->addWidget(TSendBtn);
    row->addWidget(TRecvBtn);
    row->addWidget(StartBtn);
    row->addWidget(ListBox3, 100);
    row->addWidget(CMBDRIVE2);
    row->addStretch(1);
    row->addWidget(TOptnBtn);
    row->addWidget(HelpBtn);
    row->addWidget(TCloseBtn);
    column->addWidget(bar);

    ImageList1 = new TreeIcons(this);
    ImageList1->setObjectName(QStringLiteral("ImageList1"));

    auto makeTree = [&](const char* name) {
        auto* t = new QTreeWidget(central);
        t->setObjectName(QLatin1String(name));
        t->setToolTip(QStringLiteral("Double Click Folder to Expand"));
        t->setHeaderHidden(true);
        t->setColumnCount(1);
        t->setUniformRowHeights(true);
        t->setMinimumSize(20, 20);
        return t;
    };
    auto makeList = [&](const char* name, const QString& hint) {
        auto* l = new QListWidget(central);
        l->setObjectName(QLatin1String(name));
        l->setToolTip(hint);
        l->setMinimumSize(20, 20);
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        return l;
    };
    auto makeSplitter = [&](const char* name, Qt::Orientation o) {
        auto* s = new QSplitter(o, central);
        s->setObjectName(QLatin1String(name));
        s->setChildrenCollapsible(false);
        s->setHandleWidth(5);
        return s;
    };

    DIR1 = makeTree("DIR1");
    DIR2 = makeTree("DIR2");
    ListBox1 =
        makeList("ListBox1", QStringLiteral("List of Files to be Sent to Computer on Right."));
    ListBox2 =
        makeList("ListBox2", QStringLiteral("List of Files to be Added to this Computer on Left."));

    Splitter1 = makeSplitter("Splitter1", Qt::Vertical);
    Splitter2 = makeSplitter("Splitter2", Qt::Horizontal);
    Splitter3 = makeSplitter("Splitter3", Qt::Horizontal);
    Splitter2->addWidget(DIR1);
    Splitter2->addWidget(DIR2);
    Splitter3->addWidget(ListBox1);
    Splitter3->addWidget(ListBox2);
    Splitter2->setMinimumSize(20, 20);
    Splitter3->setMinimumSize(20, 20);
    Splitter1->addWidget(Splitter2);
    Splitter1->addWidget(Splitter3);
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({430, 140});
    Splitter2->setSizes({500, 500});
    Splitter3->setSizes({500, 500});
    auto* body = new QWidget(central);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(5, 5, 5, 5);
    bodyLayout->addWidget(Splitter1);
    column->addWidget(body, 1);
    setCentralWidget(central);

    auto makeMenu = [&](QListWidget* list, const char* name, QAction** del, const char* delName,
                        QAction** clear, const char* clearName) {
        auto* m = new QMenu(this);
        m->setObjectName(QLatin1String(name));
        *del = m->addAction(ImageList1->icon(TreeIcons::Delete), QStringLiteral("Delete"));
        (*del)->setObjectName(QLatin1String(delName));
        *clear = m->addAction(ImageList1->icon(TreeIcons::Delall), QStringLiteral("Clear All"));
        (*clear)->setObjectName(QLatin1String(clearName));
        connect(list, &QWidget::customContextMenuRequested, m,
                [list, m](const QPoint& pos) { m->popup(list->viewport()->mapToGlobal(pos)); });
        return m;
    };
    PopupMenu1 =
        makeMenu(ListBox1, "PopupMenu1", &mnuDelete1, "mnuDelete1", &mnuClrAll, "mnuClrAll");
    PopupMenu2 =
        makeMenu(ListBox2, "PopupMenu2", &mnuDelete2, "mnuDelete2", &mnuClrAll2, "mnuClrAll2");

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    Label2 = new QLabel(status);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setMinimumWidth(50);
    Label1 = new QLabel(status);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status->addWidget(Label2, 1);
    status->addPermanentWidget(Label1);

    Memo1 = new TextList(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo2 = new TextList(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Image1 = new PictureHolder(this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFerroxM1::Timer1Timer);

    MediaPlayer1 = new QMediaPlayer(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    // The sound output is attached when a sound is first played, so that a start without a
    // sound server (a service, a test) does not try to reach one.

    connect(TCloseBtn, &QPushButton::clicked, this, &TFerroxM1::TCloseBtnClick);
    connect(TOptnBtn, &QPushButton::clicked, this, &TFerroxM1::TOptnBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TFerroxM1::HelpBtnClick);
}

void TFerroxM1::FormShow() {
    // 1-3: no peer yet; drive tables; this computer's drives.
    TRecvBtn->setEnabled(false);
    TSendBtn->setEnabled(false);
    REMDISK_FREE.fill(0);
    for (int i = 1; i <= 26; ++i)
        DRIVE_LETTER[i] = QString(QChar(u'A' + i - 1));
    CMBDRIVE->clear();
    CMBDRIVE->addItems(LogicalDrives());

    // 4: data files; the settings end by applying the style.
    OpenDataFile();
    LoadOptions();

    // 5-9: who this copy is to its peers.
    PROFILE_NUMBER = RandomNumber();
    COMPUTER_NAME = ComputerName();
    USER_NAME = AccountName();
    if (USER_NAME.isEmpty() && AccountFallback)
        USER_NAME = AccountFallback();
    if (LOCAL_USER.trimmed().isEmpty())
        LOCAL_USER = USER_NAME;
    const QString number = QString::number(PROFILE_NUMBER);
    PROFILE_TEXT = QLatin1String(kProfilePrefix) + LOCAL_USER + QLatin1Char(' ') + number;
    if (LOCAL_USER.isEmpty())
        LOCAL_USER = PROFILE_TEXT.mid(static_cast<int>(qstrlen(kProfilePrefix)));
    setWindowTitle(QStringLiteral("Ferrox Intranet - User: ") + LOCAL_USER + QLatin1Char(' ') +
                   number);

    // 10-12: be found, say where we are, look for peers.
    EnableTethering();
    Label2->setText(COMPUTER_NAME);
    if (CONNECTSTRT_FLG)
        FindList();

    // 13-15: filters, drive, first listing. FIRST_TIME_FLG keeps the selections from listing.
    LoadFileTypeTable();
    CMBFILTER->setCurrentIndex(TOTAL_FILTERS);
    if (CMBDRIVE->count() > 0)
        CMBDRIVE->setCurrentIndex(0);
    DoDir1(FILE_DELIM);

    // 16-17
    StartBtn->setEnabled(true);
    ApplyWindowBounds();
    FIRST_TIME_FLG = false;
}

void TFerroxM1::ApplyWindowBounds() {
    // Stored bounds can come from another screen set-up or a damaged record: a window that
    // would be too small to use or lie wholly off every screen is put back where a first
    // start puts it.
    const FerroxState defaults;
    int width = WINWIDTH, height = WINHEIGHT, left = WINLEFT, top = WINTOP;
    if (width < 200 || height < 150 || width > 20000 || height > 20000) {
        width = defaults.WINWIDTH;
        height = defaults.WINHEIGHT;
    }
    const QRect grip(left, top, qMin(width, 120), 40);
    bool onScreen = false;
    const auto screens = QGuiApplication::screens();
    for (const QScreen* s : screens)
        onScreen = onScreen || s->availableGeometry().intersects(grip);
    if (!onScreen && !screens.isEmpty()) {
        left = defaults.WINLEFT;
        top = defaults.WINTOP;
    }
    move(left, top);
    resize(width, height);
}

void TFerroxM1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (FIRST_TIME_FLG && !event->spontaneous())
        FormShow();
}

bool TFerroxM1::FormCloseQuery() {
    // Closing is always allowed, also when storing the bounds fails.
    Guarded(this, [this] { SaveWindowBounds(); });
    return true;
}

void TFerroxM1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TFerroxM1::FormResize() {
    ListBox3->setMaximumWidth(qMax(ListBox3->minimumWidth(), width() - 835));
}

void TFerroxM1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFerroxM1::Timer1Timer() {
    Label1->setText(DateTimeText(Now()));
}

void TFerroxM1::TCloseBtnClick() {
    close();
}

void TFerroxM1::TOptnBtnClick() {
    if (!SetOptn1)
        return;
    SetOptn1->show();
    SetOptn1->raise();
    SetOptn1->activateWindow();
}

void TFerroxM1::HelpBtnClick() {
    if (!HelpWin1)
        return;
    // Also when it is already open: it turns to the topic for the main window.
    HelpWin1->Present();
}
