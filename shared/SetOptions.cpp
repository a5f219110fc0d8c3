#include "SetOptions.h"
#include "Application.h"
#include "ColorCombo.h"
#include "Dialogs.h"
#include "Styles.h"
#include "TransferCleanup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kLabel4Ferrox = QStringLiteral(
    "Click Add to add a new User to your List. Select the Name of the User from the List below. "
    "Check Block User from Sending Files, Taking Files, and viewing Directory. Click the Save "
    "button above to Finalize.");
const QString kLabel4Parlova = QStringLiteral(
    "Click Add to add a new User to your List. Select the Name of the User from the List below. "
    "Check Block User from Sending Files if only Text allowed. Click the Save button above to "
    "Finalize.");

constexpr int kIdRole = Qt::UserRole + 1; // the user-list entry a line stands for
constexpr int kToolBarHeight = 40;
constexpr int kBarButtonWidth = 50;

QString BlockText(bool blocked) {
    return blocked ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

const OptionsVariant& FerroxOptions() {
    static const OptionsVariant v{
        QStringLiteral("Ferrox Options"),
        QSize(357, 637),
        false,
        true,
        true,
        true,
        true,
        false,
        11,
        QStringLiteral("ByPasses all Blocking allowing all users to send files"),
        kLabel4Ferrox,
        QString(),
    };
    return v;
}

const OptionsVariant& ParlovaOptions() {
    static const OptionsVariant v{
        QStringLiteral("Parlova"),
        QSize(357, 591),
        true,
        false,
        false,
        false,
        false,
        true,
        10,
        QStringLiteral(
            "ByPasses all Blocking allowing all users to send messages, photos, and files"),
        kLabel4Parlova,
        QStringLiteral("Block User from Sending Files to Local User"),
    };
    return v;
}

const QStringList& TSetOptn1::FontSizes() {
    static const QStringList s{"8",  "9",  "10", "11", "12", "14", "16",
                               "18", "20", "22", "28", "36", "48", "72"};
    return s;
}

const QStringList& TSetOptn1::FontNames() {
    static const QStringList s{"Arial",       "Arial Black",     "Botang",   "Book Antiqua",
                               "Calibri",     "Comic Sans MS",   "Courier",  "Courier New",
                               "Impact",      "Modern",          "MS Serif", "MS San Serif",
                               "Papyrus",     "Times New Roman", "Script",   "Segove UI",
                               "Small Fonts", "System",          "Tahoma",   "Verdana"};
    return s;
}

TSetOptn1::TSetOptn1(const QString& caption, QWidget* parent)
    : TSetOptn1(caption == ParlovaOptions().caption ? ParlovaOptions() : FerroxOptions(), parent) {
    setWindowTitle(caption);
}

TSetOptn1::TSetOptn1(const OptionsVariant& variant, QWidget* parent)
    : QDialog(parent), m_variant(variant) {
    setObjectName(QStringLiteral("TSetOptn1"));
    setWindowTitle(m_variant.caption);
    setModal(m_variant.modal);
    resize(m_variant.clientSize);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_bar = new QFrame(this);
    m_bar->setObjectName(QStringLiteral("ToolBar1"));
    m_bar->setFixedHeight(kToolBarHeight);
    BuildToolBar(m_bar);
    column->addWidget(m_bar);

    TabControl1 = new QTabWidget(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setTabPosition(QTabWidget::South);
    TabGeneral = new QWidget(TabControl1);
    TabGeneral->setObjectName(QStringLiteral("TabGeneral"));
    TabUsers = new QWidget(TabControl1);
    TabUsers->setObjectName(QStringLiteral("TabUsers"));
    TabStyles = new QWidget(TabControl1);
    TabStyles->setObjectName(QStringLiteral("TabStyles"));
    TabControl1->addTab(TabGeneral, QStringLiteral("General"));
    TabControl1->addTab(TabUsers, QStringLiteral("Users"));
    TabControl1->addTab(TabStyles, QStringLiteral("Styles"));
    column->addWidget(TabControl1, 1);
    BuildGeneralTab();
    BuildUsersTab();
    BuildStylesTab();

    connect(TabControl1, &QTabWidget::currentChanged, this,
            [this] { Handle([this] { TabControl1Change(); }); });
    TabControl1Change();
}

TSetOptn1::~TSetOptn1() = default;

void TSetOptn1::SetHost(std::unique_ptr<OptionsHost> host) {
    m_host = std::move(host);
}

// Handlers run from signals, outside the event dispatch that reports failures; a failure is
// reported here and the handler stops where it was.
template <class F> void TSetOptn1::Handle(F&& f) {
    Guarded(this, std::forward<F>(f));
}

// ---------------------------------------------------------------------------------------------
// Building

void TSetOptn1::BuildToolBar(QWidget* bar) {
    auto button = [bar](const char* name, const QString& text, const QString& hint) {
        auto* b = new QPushButton(text, bar);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    SaveBtn = button("SaveBtn", QStringLiteral("Save"), QStringLiteral("Save Options"));
    AddBtn = button("AddBtn", QStringLiteral("Add"), QString());
    DeleteBtn = button("DeleteBtn", QStringLiteral("Delete"), QString());
    HelpBtn = button("HelpBtn", QStringLiteral("Help"), QStringLiteral("Help with Options"));
    connect(SaveBtn, &QPushButton::clicked, this, [this] { Handle([this] { SaveBtnClick(); }); });
    connect(HelpBtn, &QPushButton::clicked, this, [this] { Handle([this] { HelpBtnClick(); }); });
    connect(AddBtn, &QPushButton::clicked, this, [this] { Handle([this] { AddBtnClick(); }); });
    connect(DeleteBtn, &QPushButton::clicked, this,
            [this] { Handle([this] { DeleteBtnClick(); }); });
}

void TSetOptn1::BuildGeneralTab() {
    QWidget* tab = TabGeneral;
    auto* col = new QVBoxLayout(tab);
    col->setContentsMargins(8, 6, 8, 6);
    col->setSpacing(3);
    auto label = [tab](const char* name, const QString& text) {
        auto* l = new QLabel(text, tab);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto edit = [tab](const char* name, const QString& hint) {
        auto* e = new QLineEdit(tab);
        e->setObjectName(QLatin1String(name));
        e->setToolTip(hint);
        return e;
    };
    auto check = [tab](const char* name, const QString& text, const QString& hint) {
        auto* c = new QCheckBox(text, tab);
        c->setObjectName(QLatin1String(name));
        c->setToolTip(hint);
        return c;
    };

    Label1 = label("Label1", QStringLiteral("Save Received  Files in Folder: "));
    Edit1 = edit("Edit1", QStringLiteral("Folder to Receive Files"));
    Label8 = label("Label8", QStringLiteral("Double Click on Fields to Locate."));
    Label10 = label("Label10", QStringLiteral("Use This Audio File to Notify:"));
    Edit2 = edit("Edit2", QStringLiteral("Wav file to play sound on connection."));
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
    col->addWidget(Label1);
    col->addWidget(Edit1);
    col->addWidget(Label8);
    col->addWidget(Label10);
    col->addWidget(Edit2);

    if (!m_variant.transferControls) {
        Label15 = label("Label15", QStringLiteral("Chat Message"));
        col->addWidget(Label15);
    }
    auto* fonts = new QGridLayout;
    fonts->setHorizontalSpacing(6);
    Label11 = label("Label11", QStringLiteral("Select Font:"));
    CMBFONT = new QComboBox(tab);
    CMBFONT->setObjectName(QStringLiteral("CMBFONT"));
    CMBFONT->setEditable(true);
    CMBFONT->addItems(FontNames());
    Label12 = label("Label12", QStringLiteral("Font Size:"));
    CMBSIZE = new QComboBox(tab);
    CMBSIZE->setObjectName(QStringLiteral("CMBSIZE"));
    CMBSIZE->setEditable(true);
    CMBSIZE->addItems(FontSizes());
    CMBSIZE->setCurrentIndex(int(FontSizes().indexOf(QStringLiteral("12"))));
    Label13 = label("Label13", QStringLiteral("Font Color:"));
    CMBCOLOR = new ColorCombo(tab);
    CMBCOLOR->setObjectName(QStringLiteral("CMBCOLOR"));
    fonts->addWidget(Label11, 0, 0);
    fonts->addWidget(CMBFONT, 0, 1);
    fonts->addWidget(Label12, 1, 0);
    fonts->addWidget(CMBSIZE, 1, 1);
    fonts->addWidget(Label13, 2, 0);
    fonts->addWidget(CMBCOLOR, 2, 1);
    fonts->setColumnStretch(1, 1);
    col->addLayout(fonts);

    if (m_variant.transferControls) {
        CHKALTROW = check("CHKALTROW", QStringLiteral("Alternating Rows"),
                          QStringLiteral("Use Alternating Rows on Folder Display"));
        CHKUSESTYLE =
            check("CHKUSESTYLE", QStringLiteral("Use Style Settings for Fonts"),
                  QStringLiteral("Use Style Settings for Fonts Instead of above Font Settings"));
        col->addWidget(CHKALTROW);
        col->addWidget(CHKUSESTYLE);
    } else {
        // Shown as in the other program's design; nothing reads them yet.
        CHKBOLD = check("CHKBOLD", QStringLiteral("Bold"), QString());
        CHKITALIC = check("CHKITALIC", QStringLiteral("Italic"), QString());
        auto* row = new QHBoxLayout;
        row->addWidget(CHKBOLD);
        row->addWidget(CHKITALIC);
        row->addStretch(1);
        col->addLayout(row);
    }

    Label6 = label("Label6", QStringLiteral("Click on IP/User for Program StartUp"));
    ListBox3 = new QListWidget(tab);
    ListBox3->setObjectName(QStringLiteral("ListBox3"));
    ListBox3->setToolTip(
        QStringLiteral("List of Active Parlova Users to choose for blocking options."));
    ListBox3->installEventFilter(this);
    col->addWidget(Label6);
    col->addWidget(ListBox3, 1);
    Label5 = label("Label5", QStringLiteral("Select Startup Remote User"));
    Edit4 = edit("Edit4", QStringLiteral("Select User to Start up connection."));
    Label9 = label("Label9", QStringLiteral("Local User"));
    Edit6 = edit("Edit6", QStringLiteral("Use this name to display to other users."));
    col->addWidget(Label5);
    col->addWidget(Edit4);
    col->addWidget(Label9);
    col->addWidget(Edit6);

    GRPPERM = new QGroupBox(QStringLiteral(" Select Receive Permissions "), tab);
    GRPPERM->setObjectName(QStringLiteral("GRPPERM"));
    auto* perm = new QVBoxLayout(GRPPERM);
    perm->setContentsMargins(8, 2, 8, 2);
    RDUSER1 = new QRadioButton(QStringLiteral("Receive from Users Above  "), GRPPERM);
    RDUSER1->setObjectName(QStringLiteral("RDUSER1"));
    RDUSER1->setToolTip(QStringLiteral("Uses the List to restrict sending of Files."));
    RDUSER2 = new QRadioButton(QStringLiteral("Allow All Users"), GRPPERM);
    RDUSER2->setObjectName(QStringLiteral("RDUSER2"));
    RDUSER2->setToolTip(m_variant.rduser2Hint);
    auto* group = new QButtonGroup(GRPPERM);
    group->addButton(RDUSER1);
    group->addButton(RDUSER2);
    perm->addWidget(RDUSER1);
    perm->addWidget(RDUSER2);
    col->addWidget(GRPPERM);

    if (m_variant.transferControls) {
        CHKSTRLNK = check("CHKSTRLNK", QStringLiteral("Connect to User on Startup"),
                          QStringLiteral("Connect to available User on Startup and allow "
                                         "Connectivity from other Users."));
        col->addWidget(CHKSTRLNK);
        connect(CHKALTROW, &QCheckBox::toggled, this,
                [this] { Handle([this] { CHKALTROWChange(); }); });
        connect(CHKUSESTYLE, &QCheckBox::toggled, this,
                [this] { Handle([this] { CHKUSESTYLEChange(); }); });
        connect(CHKSTRLNK, &QCheckBox::toggled, this,
                [this] { Handle([this] { CHKSTRLNKChange(); }); });
    }
    if (m_variant.fontChangeActions) {
        connect(CMBFONT, &QComboBox::currentIndexChanged, this,
                [this] { Handle([this] { CMBFONTChange(); }); });
        connect(CMBSIZE, &QComboBox::currentIndexChanged, this,
                [this] { Handle([this] { CMBSIZEChange(); }); });
    }
    connect(CMBCOLOR, &QComboBox::currentIndexChanged, this,
            [this] { Handle([this] { CMBCOLORChange(); }); });
    connect(RDUSER1, &QRadioButton::clicked, this, [this] { Handle([this] { RDUSER1Click(); }); });
    connect(RDUSER2, &QRadioButton::clicked, this, [this] { Handle([this] { RDUSER2Click(); }); });
    connect(ListBox3, &QListWidget::itemClicked, this,
            [this] { Handle([this] { ListBox3Click(); }); });
}

void TSetOptn1::BuildUsersTab() {
    QWidget* tab = TabUsers;
    auto* col = new QVBoxLayout(tab);
    col->setContentsMargins(8, 6, 8, 6);
    col->setSpacing(4);
    ListBox2 = new QListWidget(tab);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->installEventFilter(this);
    col->addWidget(ListBox2, 3);
    Label4 = new QLabel(m_variant.label4Text, tab);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    col->addWidget(Label4);
    ListBox5 = new QListWidget(tab);
    ListBox5->setObjectName(QStringLiteral("ListBox5"));
    col->addWidget(ListBox5, 2);
    Label3 = new QLabel(QStringLiteral("Enter User Name:"), tab);
    Label3->setObjectName(QStringLiteral("Label3"));
    Edit3 = new QLineEdit(tab);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setToolTip(QStringLiteral("User Name to Edit on List."));
    col->addWidget(Label3);
    col->addWidget(Edit3);
    CHKUSER = new QCheckBox(QStringLiteral("Block User from Sending Files to Local User"), tab);
    CHKUSER->setObjectName(QStringLiteral("CHKUSER"));
    CHKUSER->setToolTip(m_variant.chkUserHint);
    col->addWidget(CHKUSER);

    if (m_variant.transferControls) {
        auto* row = new QHBoxLayout;
        ConnectBtn = new QPushButton(QStringLiteral("Connect"), tab);
        ConnectBtn->setObjectName(QStringLiteral("ConnectBtn"));
        ConnectBtn->setToolTip(QStringLiteral(
            "Connect to Computer selected from List. Clicking Here will allow other Users to "
            "view your availablity for Connection."));
        ConnectBtn->setAutoDefault(false);
        CMBUSERS = new QComboBox(tab);
        CMBUSERS->setObjectName(QStringLiteral("CMBUSERS"));
        CMBUSERS->setToolTip(QStringLiteral("Select Computer running Ferrox to Communicate"));
        row->addWidget(ConnectBtn);
        row->addWidget(CMBUSERS, 1);
        col->addLayout(row);
        ClrFileSBtn = new QPushButton(QStringLiteral("Clear Files"), tab);
        ClrFileSBtn->setObjectName(QStringLiteral("ClrFileSBtn"));
        ClrFileSBtn->setToolTip(
            QStringLiteral("Clear all File Copy History and Lists of Previous Transfers"));
        ClrFileSBtn->setAutoDefault(false);
        col->addWidget(ClrFileSBtn, 0, Qt::AlignLeft);
        Memo1 = new QPlainTextEdit(tab);
        Memo1->setObjectName(QStringLiteral("Memo1"));
        Memo1->setReadOnly(true);
        Memo1->hide();
        connect(ConnectBtn, &QPushButton::clicked, this,
                [this] { Handle([this] { ConnectBtnClick(); }); });
        connect(CMBUSERS, &QComboBox::activated, this,
                [this] { Handle([this] { CMBUSERSClick(); }); });
        connect(ClrFileSBtn, &QPushButton::clicked, this,
                [this] { Handle([this] { ClrFileSBtnClick(); }); });
    }
    connect(ListBox2, &QListWidget::itemClicked, this,
            [this] { Handle([this] { ListBox2Click(); }); });
    connect(ListBox5, &QListWidget::itemClicked, this,
            [this] { Handle([this] { ListBox5Click(); }); });
    ListBox5->installEventFilter(this);
}

void TSetOptn1::BuildStylesTab() {
    auto* col = new QVBoxLayout(TabStyles);
    col->setContentsMargins(6, 6, 6, 6);
    ListBox1 = new QListWidget(TabStyles);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems(Styles::Names());
    col->addWidget(ListBox1);
    connect(ListBox1, &QListWidget::itemClicked, this,
            [this] { Handle([this] { ListBox1Click(); }); });
}

// The tool bar keeps the fixed places of its design: Save at the left edge, or after Add on
// the Users tab, and Help at the right edge.
void TSetOptn1::PlaceToolBar() {
    const int h = std::max(AddBtn->sizeHint().height(), 26);
    const int y = (kToolBarHeight - h) / 2;
    // At least the design's width, and never so narrow that the style clips the text.
    auto width = [](QPushButton* b) { return std::max(kBarButtonWidth, b->sizeHint().width()); };
    AddBtn->setGeometry(6, y, width(AddBtn), h);
    const bool users = TabControl1->currentWidget() == TabUsers;
    const int saveX = users ? std::max(62, AddBtn->geometry().right() + 7) : 6;
    SaveBtn->setGeometry(saveX, y, width(SaveBtn), h);
    DeleteBtn->setGeometry(SaveBtn->geometry().right() + 7, y, width(DeleteBtn), h);
    HelpBtn->setGeometry(m_bar->width() - width(HelpBtn) - 6, y, width(HelpBtn), h);
}

void TSetOptn1::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceToolBar();
}

void TSetOptn1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Handle([this] { FormShow(); });
    // scripts/shot pictures one tab at a time: FP_SHOT_TAB names it ("General", "Users", ...).
    const QString shotTab = qEnvironmentVariable("FP_SHOT_TAB");
    if (!shotTab.isEmpty() && !qEnvironmentVariable("FP_SHOT").isEmpty()) {
        for (int i = 0; i < TabControl1->count(); ++i)
            if (TabControl1->tabText(i) == shotTab)
                TabControl1->setCurrentIndex(i);
    }
}

bool TSetOptn1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Edit1) {
            Handle([this] { Edit1DblClick(); });
            return true;
        }
        if (watched == Edit2) {
            Handle([this] { Edit2DblClick(); });
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == ListBox2 && key == Qt::Key_Delete) {
            Handle([this, key] { ListBox2KeyDown(key); });
            return true;
        }
        if (watched == ListBox3 && key == Qt::Key_Delete) {
            Handle([this, key] { ListBox3KeyDown(key); });
            return true;
        }
        // ListBox5 lists copies found on the network, not entries of the user list: its
        // Delete key has nothing to remove.
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Showing and filling

void TSetOptn1::FormShow() {
    if (!m_host)
        return;
    const OptionFields f = m_host->Fields();
    m_filling = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_filling};

    FillUserLists();
    TabControl1->setCurrentWidget(TabGeneral);
    TabControl1Change();
    if (f.FONT_COLOR)
        CMBCOLOR->setRgba(*f.FONT_COLOR);
    RDUSER1->setChecked(true);
    if (f.BYPASSLIST_FLG && *f.BYPASSLIST_FLG)
        RDUSER2->setChecked(true);
    if (m_variant.fontChangeActions) {
        if (f.FONT_NAME) {
            const int i =
                CMBFONT->findText(*f.FONT_NAME, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (i >= 0)
                CMBFONT->setCurrentIndex(i);
        }
        // No size of the list matches (the default 13 does not): the box keeps its text.
        if (f.FONT_SIZE) {
            for (int i = 0; i < CMBSIZE->count(); ++i) {
                if (CMBSIZE->itemText(i).toDouble() == *f.FONT_SIZE) {
                    CMBSIZE->setCurrentIndex(i);
                    break;
                }
            }
        }
    } else {
        if (f.FONT_SIZE)
            CMBSIZE->setEditText(QString::number(*f.FONT_SIZE));
        if (f.FONT_NAME)
            CMBFONT->setEditText(*f.FONT_NAME);
    }
    if (CHKALTROW && f.ALTERROW_FLG)
        CHKALTROW->setChecked(*f.ALTERROW_FLG);
    if (CHKSTRLNK && f.CONNECTSTRT_FLG)
        CHKSTRLNK->setChecked(*f.CONNECTSTRT_FLG);
    if (CHKUSESTYLE && f.USESTYLEFONT_FLG)
        CHKUSESTYLE->setChecked(*f.USESTYLEFONT_FLG);
    if (m_variant.firstTimeOpensUsers && f.FIRSTTIME_FLG && *f.FIRSTTIME_FLG) {
        TabControl1->setCurrentWidget(TabUsers);
        TabControl1Change();
        AddBtnClick();
    }
}

void TSetOptn1::FillUserLists() {
    if (!m_host)
        return;
    const bool wasFilling = m_filling;
    m_filling = true;
    FillUserLines();
    const OptionFields f = m_host->Fields();
    if (f.SENDFILE_PATH)
        Edit1->setText(*f.SENDFILE_PATH);
    if (f.REMOTE_USER)
        Edit4->setText(*f.REMOTE_USER);
    if (f.LOCAL_USER)
        Edit6->setText(*f.LOCAL_USER);
    if (f.AUDFILE_PATH)
        Edit2->setText(*f.AUDFILE_PATH);
    if (f.FONT_NAME)
        CMBFONT->setEditText(*f.FONT_NAME);
    if (f.FONT_COLOR)
        CMBCOLOR->setRgba(*f.FONT_COLOR);
    m_filling = wasFilling;
}

void TSetOptn1::FillUserLines() {
    ListBox2->clear();
    ListBox3->clear();
    const QVector<UserList::Entry> entries = m_host->UserEntries();
    for (const UserList::Entry& e : entries) {
        const QString head = e.userName + QStringLiteral(" - ") + BlockText(e.blocked);
        auto* a = new QListWidgetItem(head + QStringLiteral(" - ") + QString::number(e.id));
        a->setData(kIdRole, e.id);
        ListBox2->addItem(a);
        auto* b = new QListWidgetItem(head + QStringLiteral(" - ") + e.dateCreated);
        b->setData(kIdRole, e.id);
        ListBox3->addItem(b);
    }
}

// ---------------------------------------------------------------------------------------------
// Control actions: each changes the main window's field at once; only Save writes.

void TSetOptn1::CHKALTROWChange() {
    if (m_filling || !m_host)
        return;
    if (bool* p = m_host->Fields().ALTERROW_FLG)
        *p = CHKALTROW->isChecked();
}

void TSetOptn1::CHKSTRLNKChange() {
    if (m_filling || !m_host)
        return;
    if (bool* p = m_host->Fields().CONNECTSTRT_FLG)
        *p = CHKSTRLNK->isChecked();
}

void TSetOptn1::CMBFONTChange() {
    if (m_filling || !m_host || CMBFONT->currentIndex() < 0)
        return;
    if (QString* p = m_host->Fields().FONT_NAME)
        *p = CMBFONT->itemText(CMBFONT->currentIndex());
}

void TSetOptn1::CMBSIZEChange() {
    if (m_filling || !m_host || CMBSIZE->currentIndex() < 0)
        return;
    if (double* p = m_host->Fields().FONT_SIZE)
        *p = CMBSIZE->itemText(CMBSIZE->currentIndex()).toDouble();
}

void TSetOptn1::CMBCOLORChange() {
    if (m_filling || !m_host)
        return;
    if (quint32* p = m_host->Fields().FONT_COLOR)
        *p = CMBCOLOR->rgba();
}

void TSetOptn1::CHKUSESTYLEChange() {
    if (m_filling || !m_host)
        return;
    const OptionFields f = m_host->Fields();
    const bool on = CHKUSESTYLE->isChecked();
    if (f.USESTYLEFONT_FLG)
        *f.USESTYLEFONT_FLG = on;
    if (on) {
        // The style's font is the one it gives the main window's buttons.
        const QFont font = m_host->StyleFont();
        if (f.FONT_COLOR)
            *f.FONT_COLOR = m_host->StyleTextColor().rgba();
        if (f.FONT_NAME)
            *f.FONT_NAME = font.family();
        if (f.FONT_SIZE)
            *f.FONT_SIZE = font.pointSizeF();
        if (f.ALTERROW_FLG)
            *f.ALTERROW_FLG = false;
    } else {
        if (f.FONT_COLOR)
            *f.FONT_COLOR = CMBCOLOR->rgba();
        if (f.FONT_NAME && CMBFONT->currentIndex() >= 0)
            *f.FONT_NAME = CMBFONT->itemText(CMBFONT->currentIndex());
        if (f.FONT_SIZE && CMBSIZE->currentIndex() >= 0)
            *f.FONT_SIZE = CMBSIZE->itemText(CMBSIZE->currentIndex()).toDouble();
        if (f.ALTERROW_FLG && CHKALTROW->isChecked())
            *f.ALTERROW_FLG = true;
    }
}

void TSetOptn1::RDUSER1Click() {
    if (m_host && m_host->Fields().BYPASSLIST_FLG)
        *m_host->Fields().BYPASSLIST_FLG = false;
}

void TSetOptn1::RDUSER2Click() {
    if (m_host && m_host->Fields().BYPASSLIST_FLG)
        *m_host->Fields().BYPASSLIST_FLG = true;
}

void TSetOptn1::Edit1DblClick() {
    if (!m_host)
        return;
    const OptionFields f = m_host->Fields();
    const QString start = QDir(f.SENDFILE_PATH ? *f.SENDFILE_PATH : QString()).filePath("a.a");
    const QString picked =
        Dialogs::OpenFileName(this, QStringLiteral("Folder to Receive Files"), start);
    if (picked.isEmpty())
        return;
    // The folder of the picked file; a file in the root gives the root itself.
    Edit1->setText(QFileInfo(picked).absolutePath());
}

void TSetOptn1::Edit2DblClick() {
    if (!m_host)
        return;
    const OptionFields f = m_host->Fields();
    const QString picked =
        Dialogs::OpenFileName(this, QStringLiteral("Use This Audio File to Notify"),
                              f.AUDFILE_PATH ? *f.AUDFILE_PATH : QString(),
                              QStringLiteral("Audio Files (*.wav *.mp3 *.mp4 *.wma)"));
    if (!picked.isEmpty())
        Edit2->setText(picked);
}

void TSetOptn1::TabControl1Change() {
    const bool users = TabControl1->currentWidget() == TabUsers;
    AddBtn->setVisible(users);
    DeleteBtn->setVisible(users);
    PlaceToolBar();
}

void TSetOptn1::ListBox3Click() {
    const QListWidgetItem* item = ListBox3->currentItem();
    if (!item)
        return;
    const QString line = item->text();
    const qsizetype p = line.indexOf(QStringLiteral(" - "));
    if (p >= 0)
        Edit4->setText(line.left(p));
}

void TSetOptn1::ListBox5Click() {
    const QListWidgetItem* item = ListBox5->currentItem();
    if (!item)
        return;
    // A profile text is the program's prefix, the user name, a blank and a number.
    QString name = item->text().mid(m_variant.profilePrefixLength);
    const qsizetype space = name.lastIndexOf(QLatin1Char(' '));
    if (space >= 0)
        name = name.left(space);
    Edit3->setText(name);
}

void TSetOptn1::ListBox2Click() {
    const QListWidgetItem* item = ListBox2->currentItem();
    if (!item || !m_host)
        return;
    const qint64 id = item->data(kIdRole).toLongLong();
    const QVector<UserList::Entry> entries = m_host->UserEntries();
    for (const UserList::Entry& e : entries) {
        if (e.id == id) {
            Edit3->setText(e.userName);
            CHKUSER->setChecked(e.blocked);
            return;
        }
    }
}

void TSetOptn1::AddBtnClick() {
    Edit3->setFocus();
    CHKUSER->setChecked(false);
}

void TSetOptn1::DeleteUserLine(QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !m_host)
        return;
    const QString line = item->text();
    const qint64 id = item->data(kIdRole).toLongLong();
    if (Dialogs::Question(this, QStringLiteral("Do You Want to Delete - ") + line +
                                    QStringLiteral(" ?")) == Dialogs::Answer::No)
        return;
    const QVector<UserList::Entry> entries = m_host->UserEntries();
    const bool existed = std::any_of(entries.begin(), entries.end(),
                                     [id](const UserList::Entry& e) { return e.id == id; });
    m_host->DeleteUserEntry(id);
    if (existed)
        FillUserLists();
}

void TSetOptn1::DeleteBtnClick() {
    DeleteUserLine(ListBox2);
}

void TSetOptn1::ListBox2KeyDown(int key) {
    if (key == Qt::Key_Delete)
        DeleteUserLine(ListBox2);
}

void TSetOptn1::ListBox3KeyDown(int key) {
    if (key == Qt::Key_Delete)
        DeleteUserLine(ListBox3);
}

void TSetOptn1::ConnectBtnClick() {
    if (!m_host)
        return;
    const OptionFields f = m_host->Fields();
    if (f.SKIP_COUNT)
        *f.SKIP_COUNT = 0;
    if (f.CONNECTED_FLG)
        *f.CONNECTED_FLG = false;
    const QString text = m_host->ManagerText();
    const QString unmarked = RemovePeerMark(text);
    if (unmarked != text)
        m_host->SetManagerText(unmarked);
    m_host->FindList();
}

void TSetOptn1::CMBUSERSClick() {
    if (!m_host || CMBUSERS->count() == 0 || CMBUSERS->currentIndex() < 0)
        return;
    const OptionFields f = m_host->Fields();
    if (f.SKIP_FLG)
        *f.SKIP_FLG = true;
    const bool connected = m_host->ConnectToPeer(CMBUSERS->currentIndex());
    if (f.CONNECTED_FLG)
        *f.CONNECTED_FLG = connected;
    if (connected)
        m_host->EnableStartBtn();
    if (f.SKIP_FLG)
        *f.SKIP_FLG = false;
}

void TSetOptn1::ClrFileSBtnClick() {
    ClearTransferFiles();
}

void TSetOptn1::ListBox1Click() {
    if (!m_host || TabControl1->currentWidget() != TabStyles || ListBox1->currentRow() < 0)
        return;
    const int index = ListBox1->currentRow();
    if (m_variant.styleClickSetsIndex) {
        if (int* p = m_host->Fields().STYLE_INDEX)
            *p = index;
    }
    // A style that cannot be loaded leaves the current look; nothing more to say here.
    m_host->SetStyle(index);
    emit StyleClicked(index);
}

void TSetOptn1::HelpBtnClick() {
    if (!m_host)
        return;
    if (bool* p = m_host->Fields().FRMOPTIONS_FLG)
        *p = true;
    m_host->ShowHelp();
}

// ---------------------------------------------------------------------------------------------
// Save

bool TSetOptn1::ValidateUserEntry() {
    if (!Edit3->text().trimmed().isEmpty())
        return true;
    Dialogs::Notice(this, QStringLiteral("User Name Cannot be Blank. Please Enter a User Name or "
                                         "Device Name."));
    Edit3->setFocus();
    return false;
}

int TSetOptn1::FontSizeFromBox() const {
    bool ok = false;
    const QString text = CMBSIZE->currentText().trimmed();
    const int size = text.toInt(&ok);
    if (!ok || size < 1 || size > 999)
        throw Failure(QStringLiteral("'%1' is not a valid font size: enter a whole number from "
                                     "1 to 999. Nothing was saved.")
                          .arg(CMBSIZE->currentText()));
    return size;
}

void TSetOptn1::SaveBtnClick() {
    if (!m_host)
        return;
    QWidget* tab = TabControl1->currentWidget();
    if (tab == TabStyles) {
        if (ListBox1->currentRow() >= 0) {
            if (int* p = m_host->Fields().STYLE_INDEX)
                *p = ListBox1->currentRow();
        }
        m_host->SaveOptions();
        return;
    }
    const bool general = tab == TabGeneral || m_variant.usersSaveAlsoGeneral;
    // A size that is no number stops the save before anything is taken or written.
    if (general)
        FontSizeFromBox();
    if (tab == TabUsers) {
        if (!ValidateUserEntry())
            return;
        m_host->SaveUserEntry(Edit3->text(), CHKUSER->isChecked());
        if (!m_variant.usersSaveAlsoGeneral) {
            FillUserLists();
            return;
        }
        // The general settings are saved next from what the General tab shows, so only the
        // lists are refilled: what the user typed there must not be replaced first.
        FillUserLines();
    }
    SaveGeneral();
}

void TSetOptn1::SaveGeneral() {
    const OptionFields f = m_host->Fields();
    const int size = FontSizeFromBox();

    QString folder = Edit1->text();
    if (!folder.endsWith(f.FILE_DELIM))
        folder += f.FILE_DELIM;
    Edit1->setText(folder);
    // The entered folder is taken only when it is there; a send list could not be written
    // into one that is not.
    if (f.SENDFILE_PATH)
        *f.SENDFILE_PATH = QFileInfo(folder).isDir() ? folder : f.FILES_PATH;
    if (f.AUDFILE_PATH)
        *f.AUDFILE_PATH = QFileInfo(Edit2->text().trimmed()).isFile() ? Edit2->text() : f.ROOTPATH;
    if (f.FONT_NAME)
        *f.FONT_NAME = CMBFONT->currentText();
    if (f.FONT_SIZE)
        *f.FONT_SIZE = size;
    if (f.FONT_COLOR)
        *f.FONT_COLOR = CMBCOLOR->rgba();
    if (f.LOCAL_USER)
        *f.LOCAL_USER = Edit6->text();
    if (f.REMOTE_USER)
        *f.REMOTE_USER = Edit4->text();
    if (CHKALTROW && f.ALTERROW_FLG)
        *f.ALTERROW_FLG = CHKALTROW->isChecked();
    if (CHKSTRLNK && f.CONNECTSTRT_FLG)
        *f.CONNECTSTRT_FLG = CHKSTRLNK->isChecked();
    m_host->SaveOptions();
}

// ---------------------------------------------------------------------------------------------
// Clear Files

void TSetOptn1::ClearTransferFiles() {
    if (!m_host)
        return;
    if (Dialogs::Question(this, QStringLiteral("Do You Want to Delete File Transfer History Lists "
                                               "and Temporary Files Used in Transfers ?")) ==
        Dialogs::Answer::No)
        return;
    const OptionFields f = m_host->Fields();
    const QString send = f.SENDFILE_PATH ? *f.SENDFILE_PATH : QString();
    // The program's own folders stay whatever the send-list folder was set to.
    const QStringList keep{f.FILES_PATH, f.RECVFILE_PATH,
                           f.FILES_PATH + f.FILE_DELIM + QStringLiteral("Sent"), send};
    const TransferCleanup r = ClearTransferFolders({f.RECVFILE_PATH, send}, f.FILES_PATH, keep);
    Memo1->setPlainText(r.listed.join(QLatin1Char('\n')));
    m_host->ClearWorkList();

    QStringList problems;
    if (!r.failed.isEmpty())
        problems << QStringLiteral("These could not be removed:") << r.failed;
    if (!r.outside.isEmpty())
        problems << QStringLiteral("Not cleared, because it is not inside %1:").arg(f.FILES_PATH)
                 << r.outside;
    if (problems.isEmpty()) {
        m_host->ShowStatus(QStringLiteral("File Transfer History Deleted."));
        return;
    }
    m_host->ShowStatus(QStringLiteral("File Transfer History partly deleted."));
    Dialogs::Notice(this,
                    QStringLiteral("Some transfer folders were left; the others were "
                                   "deleted."),
                    problems.join(QLatin1Char('\n')));
}
