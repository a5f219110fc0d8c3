#pragma once
#include "FerroxState.h"
#include "OptionsFile.h"
#include "TreeIcons.h"
#include "UserList.h"
#include "WorkObjects.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

namespace tether {
class Manager;
class Profile;
class Resource;
struct ManagerInfo;
struct ProfileInfo;
} // namespace tether

class QAction;
class QIODevice;
class QListWidgetItem;
class QComboBox;
class QLabel;
class QListWidget;
class QMediaPlayer;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TDspFile1;
class THelpWin1;
class TSelFldr1;
class TSetOptn1;
class SendProgressDialog;

// The transfer program's main window: this computer's folders on the left, the peer's on the
// right, the send and receive lists below them. Its state lives in the FerroxState fields,
// which the program's other windows read and write directly.
//
// The implementation is split by concern: FerroxM.cpp (creation, layout, first show, close),
// FerroxSettings.cpp (data files and styles), FerroxFileKinds.cpp (file kinds and filters),
// FerroxTrees.cpp (folder listings), FerroxPeers.cpp (finding and pairing with peers).
class TFerroxM1 : public QMainWindow, public FerroxState {
    Q_OBJECT
public:
    // rootPath is the data folder; empty means the process's current directory. It is read
    // here once and never changed by the program.
    explicit TFerroxM1(const QString& rootPath = {}, QWidget* parent = nullptr);
    ~TFerroxM1() override;

    // The program's other windows, set by whoever creates them (see FerroxWindows).
    TSetOptn1* SetOptn1 = nullptr;
    TDspFile1* DspFile1 = nullptr;
    TSelFldr1* SelFldr1 = nullptr;
    THelpWin1* HelpWin1 = nullptr;

    // ---- controls, named as the other windows and the tests know them ----
    QComboBox* CMBDRIVE = nullptr;
    QComboBox* CMBFILTER = nullptr;
    QPushButton* TSendBtn = nullptr;
    QPushButton* TRecvBtn = nullptr;
    QPushButton* StartBtn = nullptr;
    QListWidget* ListBox3 = nullptr;
    QComboBox* CMBDRIVE2 = nullptr;
    QPushButton* TOptnBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* TCloseBtn = nullptr;
    QTreeWidget* DIR1 = nullptr;
    QTreeWidget* DIR2 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QListWidget* ListBox2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* mnuDelete1 = nullptr;
    QAction* mnuClrAll = nullptr;
    QAction* mnuDelete2 = nullptr;
    QAction* mnuClrAll2 = nullptr;
    QLabel* Label1 = nullptr;       // status bar, right: the clock
    QLabel* Label2 = nullptr;       // status bar, left: paths, computer name, results
    QSplitter* Splitter1 = nullptr; // trees above, lists below
    QSplitter* Splitter2 = nullptr; // DIR1 | DIR2
    QSplitter* Splitter3 = nullptr; // ListBox1 | ListBox2
    TextList* Memo1 = nullptr;      // the work list
    TextList* Memo2 = nullptr;      // the path list
    PictureHolder* Image1 = nullptr;
    QTimer* Timer1 = nullptr;
    QMediaPlayer* MediaPlayer1 = nullptr;
    TreeIcons* ImageList1 = nullptr;

    // The user list and the settings record; open from the first show to the end of the run.
    UserList ClientDataSet1;
    OptionsFile ClientDataSet2;

    // Where the number 0..149 of the profile text comes from; tests make it fixed.
    std::function<int()> RandomNumber;
    // The account name when USERNAME, USER and LOGNAME are all unset (the system's user
    // database); tests empty it to see a start without any name.
    std::function<QString()> AccountFallback;

    // Data roles of tree items: the tag text (a folder path), the tag number (index of the
    // node a listing was added under) and the icon index.
    enum ItemRole { TagTextRole = Qt::UserRole + 1, TagNumberRole, IconIndexRole };

    // ---- window events ----
    void FormShow();
    bool FormCloseQuery();
    void FormResize();
    void Timer1Timer();
    void TCloseBtnClick();
    void TOptnBtnClick();
    void HelpBtnClick();

    // ---- settings and users ----
    void OpenDataFile();
    void LoadOptions();
    void SaveOptions();
    void SaveWindowBounds();
    bool SaveUserEntry(const QString& name, bool blocked);
    void DeleteUserEntry(qint64 id);
    bool IsUserBlocked(const QString& name);
    // Applies entry WrkIndex of the style list to the whole program, and the tree rules.
    // False when the style could not be loaded; the current look then stays.
    bool SetStyle(int WrkIndex);
    // Font and colour of one tree item: the style's (those of TSendBtn) or the chosen ones.
    void ApplyTreeItemFont(QTreeWidgetItem* item, bool local);

    // ---- file kinds ----
    void LoadFileTypeTable();
    void MatchFileKind(const QString& ext);
    // Icon index of a file from the kind flags that MatchFileKind left.
    int FileIcon() const;

    // ---- folder trees (FerroxTrees.cpp) ----
    int DIR1_CNT = 0; // items added by the last listing of each tree
    int DIR2_CNT = 0;
    // Lists one folder: into DIR1, or into the work list when DIR1ORDIR2_FLG is set.
    void DoDir1(const QString& WrkDIR);
    void AddTreeItem(const QString& WrkItem, const QString& WrkParent, int WrkIndex,
                     int WrkIconIndex, bool WrkFlag);
    void AddTreeItem2(const QString& WrkItem, const QString& WrkParent, int WrkIndex,
                      int WrkIconIndex, bool WrkFlag);
    bool MatchesFileFilter(const QString& path, int filterIndex);
    int GetDriveLetterIndex(const QString& WrkDrive);
    // The delimiter of the peer's paths, told by its drive roots (see trees::DelimiterOf).
    QChar RemoteDelimiter() const;
    void DIR1Click();
    void DIR2Click();
    void DIR1DblClick();
    void DIR2DblClick();
    void DIR1ChangeCheck(QTreeWidgetItem* item);
    void DIR2ChangeCheck(QTreeWidgetItem* item);
    void CMBDRIVEChange();
    void CMBDRIVE2Change();
    void CMBFILTERChange();
    // Shows a local picture or text in the viewer, or hands another file to the system.
    void ViewLocalFile(const QString& path);
    // How a local file that is neither picture nor text is opened; tests replace it.
    std::function<void(const QString& path)> OpenWithSystem;
    // For scripts/shot: fills the trees or opens a file as FP_SHOT_DIR1, FP_SHOT_LISTING and
    // FP_SHOT_OPEN say.
    void PrepareShot();

    // ---- peers (FerroxPeers.cpp) ----
    tether::Manager* TethMangr1 = nullptr;
    tether::Profile* TetheringAppProfile1 = nullptr;
    void EnableTethering();
    void FindList();
    void TethMangr1EndManagersDiscovery(const QList<tether::ManagerInfo>& managers);
    void TethMangr1RequestManagerPassword(const QString& remoteIdentifier, QString& password);
    void TethMangr1EndProfilesDiscovery();
    void TethMangr1RemoteManagerShutdown(const QString& identifier);
    void RefreshList();
    void AddUserItem(const QString& text, const QString& managerId,
                     const tether::ProfileInfo& profile);
    bool IsUserAllowed(const QString& profileText);
    void SendDriveList();
    void ListBox3Change();
    void StartBtnClick();
    void PlayNotifySound();
    // The options dialog's CMBUSERS: the current peer is its selected entry.
    QComboBox* PeerBox() const;
    // The current peer's profile; selects the first entry when none is. False without peers.
    bool CurrentPeer(tether::ProfileInfo* peer);
    // Connects to the current peer when not connected yet; the result is CONNECTED_FLG.
    bool ConnectCurrentPeer();
    // The ListBox3 entry of the current peer: the highlighted one, else the one at CMBUSERS's
    // selection.
    QListWidgetItem* CurrentPeerItem() const;
    // "DRIVES" and one "root|free bytes" line per entry of CMBDRIVE.
    QStringList DriveListLines();

    // ---- messages (FerroxMessages.cpp) ----
    void SendWorkList();
    void SendErrorNotice(const QString& text);
    void SendPhotoReply();
    void SendStreamToPeer(const QString& description, QIODevice* stream);
    void TetheringAppProfile1ResourceReceived(const tether::Resource& resource);
    void TetheringAppProfile1ResourceAbandoned(const tether::ProfileInfo& from, const QString& hint,
                                               const QString& reason);
    void ReceiveDriveList();
    // Ends an unfinished transfer whose remaining files cannot come; files stored so far stay.
    void AbandonTransfer(const QString& reason);

    // ---- trees and viewer, called by the dispatch (FerroxTrees.cpp, DspFile.cpp) ----
    qint64 GetFileSize(const QString& WrkFilePath);
    void ShowRemoteListing();                                                // listing in Memo1
    void ShowRemotePhoto(const QImage& picture, const QString& description); // "Photo"
    void ShowRemoteText();                                                   // "TEXT2" in Memo1
    QStringList BuildTextAnswer(const QString& path);                        // answer to "TEXTD"

    // ---- send, receive, get (FerroxSend.cpp, FerroxReceive.cpp, FerroxGet.cpp) ----
    // Where the 0..9999 of list names comes from; tests make it fixed.
    std::function<int()> ListNumber;
    // The transfer folder of the transfer being received; empty when none is running.
    QString TRANSFER_PATH;
    // True while the running transfer is the answer to this copy's get.
    bool TRANSFER_IS_GET = false;
    // How many ListBox2 entries carry each file name; kept with ListBox2 so that a transfer of
    // many files does not count them over and over.
    QHash<QString, int> RECEIVED_NAMES;
    SendProgressDialog* SendProgress1 = nullptr;
    // While files arrive, their ListBox2 entries and the status are brought up to date a few
    // times a second rather than once for every file: a list view lays out all its rows again
    // on every insertion, which made a transfer of many small files quadratic.
    QTimer* ReceiveRefresh = nullptr;
    struct PendingEntry {
        QString text;
        bool refused = false;
    };
    QList<PendingEntry> RECEIVED_PENDING;
    void ShowReceiveProgress();
    void AddReceivedEntry(const QString& text, bool refused);
    // Puts the waiting entries into ListBox2; everything that reads ListBox2 during a
    // transfer calls it first.
    void FlushReceivedEntries();
    // Wires the buttons, lists and menus of sending and getting; called once at creation.
    void ConnectTransfers();
    void TSendBtnClick();
    // True (and the user told) when the peer's drive cannot take `total` bytes.
    bool CheckRemoteSpace(qint64 total);
    void WriteSendList();
    void SendListedFiles();
    void ListBox1ItemClick(QListWidgetItem* item);
    void mnuDelete1Click();
    void mnuClrAllClick();
    void ReceiveSentFile(const tether::Resource& resource);
    void ReadSentList();
    int CountSameNameFiles(const QString& name);
    // Puts a received file at target; false (with the reason) when it could not.
    bool CopyToSourcePath(const QString& source, const QString& target, QString* why = nullptr);
    void TRecvBtnClick();
    void WriteGetList();
    void SendGetRequest();
    void ServeGetRequest(const tether::Resource& resource);
    bool LoadRequestList();
    void ReceiveTakenFile(const tether::Resource& resource);
    void RewriteTakenList();
    void mnuDelete2Click();
    void mnuClrAll2Click();
    // The select-folder dialog, modal; false after Cancel (CANCEL_FLG). Scripted runs take
    // the folder from the dialog seam's next file name, empty meaning Cancel.
    bool AskTargetFolder();
    // Full paths of the checked items of a tree, depth-first, twelve levels deep.
    QStringList CheckedTreePaths(QTreeWidget* tree);
    // The listed files that are missing or cannot be read; `total` gets the size of the others,
    // taken in the same pass, since a second look at every file costs as much as the first.
    QStringList UnreadableListedFiles(qint64* total = nullptr);
    // Places every source at its target; the ones that failed, as lines for the user.
    QStringList PlaceReceivedFiles(const QStringList& sources, const QStringList& targets);
    // Tells the user which files stayed in the transfer folder.
    void ReportUnplacedFiles(const QStringList& failures, const QString& folder);
    // A fresh folder below RECVFILE_PATH for a transfer named name.
    QString MakeTransferFolder(const QString& name);
    // Ends the transfer state (lists of received files, counters, transfer folder).
    void EndTransfer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate(const QString& rootPath);
    void BuildControls();
    void CreateTethering();
    void ApplyWindowBounds();
    void ConnectTrees();
};

// Helpers of sending and getting (FerroxSend.cpp).
// A send or a served get is refused when the receiving drive would keep less than this free.
inline constexpr qint64 kFreeSpaceMargin = 100000;
// A path as the peer is to see it: a network path (two delimiters, computer name, share)
// goes on the peer's drive; with singleDelimiterToo, so does a path below the root "\".
QString PathOnPeerDrive(const QString& path, const QString& drive, bool singleDelimiterToo);
// The number of the next list file name, 0..9999.
int NextListNumber(const TFerroxM1& w);
// Writes a list file: UTF-8 lines, each ended by CR LF. Throws Failure when it cannot.
void WriteListFile(const QString& path, const QStringList& lines);
