#pragma once
#include "OptionsHost.h"
#include <QDialog>
#include <QSize>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

// Where the two programs' options dialogs differ. Ferrox's is the fuller one: it also
// restarts the peer search, connects to a discovered copy and clears old transfer folders.
struct OptionsVariant {
    QString caption;
    QSize clientSize;
    bool modal = false;
    // Alternating rows, style font and connect on start-up on the General tab; Connect, the
    // list of discovered copies and Clear Files on the Users tab.
    bool transferControls = true;
    // The font boxes write their field as soon as they change (Ferrox); otherwise Save takes them.
    bool fontChangeActions = true;
    // Save on the Users tab goes on to save the general settings too.
    bool usersSaveAlsoGeneral = true;
    // A style click also sets the style index (Parlova leaves that to Save).
    bool styleClickSetsIndex = true;
    // The Users tab opens with Add on every show while the user list was new at start-up.
    bool firstTimeOpensUsers = false;
    int profilePrefixLength = 11; // "FerroxApp1:"
    QString rduser2Hint;
    QString label4Text;
    QString chkUserHint;
};

const OptionsVariant& FerroxOptions();
const OptionsVariant& ParlovaOptions();

// A combo box of named colours that also holds one colour without a name when it is given one.
class ColorCombo;

// The options dialog of both programs. It keeps no settings of its own: the controls show and
// change the main window's fields through the host, and only Save writes them to disk.
class TSetOptn1 : public QDialog {
    Q_OBJECT
public:
    TSetOptn1(const OptionsVariant& variant, QWidget* parent = nullptr);
    // caption: "Ferrox Options" or "Parlova"; picks that program's variant.
    explicit TSetOptn1(const QString& caption, QWidget* parent = nullptr);
    ~TSetOptn1() override;

    // The main window this dialog works on; the dialog owns the host object.
    void SetHost(std::unique_ptr<OptionsHost> host);
    OptionsHost* Host() const { return m_host.get(); }
    const OptionsVariant& Variant() const { return m_variant; }

    // ---- tool bar and tabs ----
    QPushButton* SaveBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QTabWidget* TabControl1 = nullptr;
    QWidget* TabGeneral = nullptr;
    QWidget* TabUsers = nullptr;
    QWidget* TabStyles = nullptr;

    // ---- General tab ----
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr; // the send-list folder
    QLabel* Label8 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Edit2 = nullptr; // the notification sound
    QLabel* Label15 = nullptr;  // Parlova: "Chat Message"
    QLabel* Label11 = nullptr;
    QComboBox* CMBFONT = nullptr;
    QLabel* Label12 = nullptr;
    QComboBox* CMBSIZE = nullptr;
    QLabel* Label13 = nullptr;
    ColorCombo* CMBCOLOR = nullptr;
    QCheckBox* CHKBOLD = nullptr;   // Parlova
    QCheckBox* CHKITALIC = nullptr; // Parlova
    QCheckBox* CHKALTROW = nullptr;
    QCheckBox* CHKUSESTYLE = nullptr;
    QLabel* Label6 = nullptr;
    QListWidget* ListBox3 = nullptr; // the user list, for the startup remote user
    QLabel* Label5 = nullptr;
    QLineEdit* Edit4 = nullptr; // REMOTE_USER
    QLabel* Label9 = nullptr;
    QLineEdit* Edit6 = nullptr; // LOCAL_USER
    QGroupBox* GRPPERM = nullptr;
    QRadioButton* RDUSER1 = nullptr;
    QRadioButton* RDUSER2 = nullptr;
    QCheckBox* CHKSTRLNK = nullptr;

    // ---- Users tab ----
    QListWidget* ListBox2 = nullptr; // the user list with each entry's ID
    QLabel* Label4 = nullptr;
    QListWidget* ListBox5 = nullptr; // profile texts of the copies found on the network
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr; // name of the entry being edited
    QCheckBox* CHKUSER = nullptr;
    QPushButton* ConnectBtn = nullptr;
    QComboBox* CMBUSERS = nullptr; // the discovered copies, in the main window's list order
    QPushButton* ClrFileSBtn = nullptr;
    QPlainTextEdit* Memo1 = nullptr; // what "Clear Files" looked at last

    // ---- Styles tab ----
    QListWidget* ListBox1 = nullptr; // the style list, in settings order

    // The font sizes offered, and the size box's text before the first choice.
    static const QStringList& FontSizes();
    static const QStringList& FontNames();

    // ---- operations and handlers (public so the programs and tests can drive them) ----
    void FormShow();
    void FillUserLists();
    bool ValidateUserEntry();
    void ClearTransferFiles();

    void SaveBtnClick(); // throws Failure for a size that is not a whole number
    void HelpBtnClick();
    void AddBtnClick();
    void DeleteBtnClick();
    void TabControl1Change();
    void CHKALTROWChange();
    void CHKSTRLNKChange();
    void CHKUSESTYLEChange();
    void CMBFONTChange();
    void CMBSIZEChange();
    void CMBCOLORChange();
    void RDUSER1Click();
    void RDUSER2Click();
    void Edit1DblClick();
    void Edit2DblClick();
    void ListBox1Click();
    void ListBox2Click();
    void ListBox3Click();
    void ListBox5Click();
    void ListBox2KeyDown(int key);
    void ListBox3KeyDown(int key);
    void ConnectBtnClick();
    void CMBUSERSClick();
    void ClrFileSBtnClick();

signals:
    // A style line was clicked while the Styles tab shows: its position in the style list.
    void StyleClicked(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolBar(QWidget* bar);
    void BuildGeneralTab();
    void BuildUsersTab();
    void BuildStylesTab();
    void PlaceToolBar();
    void SaveGeneral();
    void FillUserLines();
    int FontSizeFromBox() const; // throws Failure
    // Asks about a user-list line and removes its entry unless the answer is No.
    void DeleteUserLine(QListWidget* list);
    template <class F> void Handle(F&& f);

    OptionsVariant m_variant;
    std::unique_ptr<OptionsHost> m_host;
    QWidget* m_bar = nullptr;
    bool m_filling = false; // controls are being set from the fields: no change actions
};
