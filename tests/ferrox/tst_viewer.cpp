#include "Dialogs.h"
#include "DspFile.h"
#include "Failure.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "HelpTopics.h"
#include "HelpWin.h"
#include "Helpers.h"
#include "PictureView.h"
#include "SelFoldr.h"
#include "TestSupport.h"
#include "TreeRules.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>
#include <QtTest>

// The file viewer and the select-folder dialog.
class TestViewer : public QObject {
    Q_OBJECT
    TempFolder m_data;
    TempFolder m_files;
    std::unique_ptr<FerroxWindows> m_windows;
    TFerroxM1* w = nullptr;
    TDspFile1* v = nullptr;
    QStringList m_opened;

    QString Picture(const QString& name, QSize size = {40, 30}) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        const QString path = m_files.file(name);
        img.save(path, "PNG");
        return path;
    }

    // A double-click on the file in the local tree, as the user does it.
    void DoubleClickLocal(const QString& name) {
        w->CMBDRIVE->addItem(m_files.path());
        w->CMBDRIVE->setCurrentIndex(w->CMBDRIVE->count() - 1);
        const auto found =
            w->DIR1->findItems(QStringLiteral("   ") + name, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY(!found.isEmpty());
        w->DIR1->setCurrentItem(found.first());
        w->DIR1DblClick();
    }

private Q_SLOTS:
    void init() {
        Dialogs::Reset();
        Dialogs::SetScripted(true);
        m_windows = std::make_unique<FerroxWindows>(m_data.path());
        w = m_windows->FerroxM1.get();
        v = m_windows->DspFile1.get();
        w->CONNECTSTRT_FLG = false;
        m_opened.clear();
        w->OpenWithSystem = [this](const QString& path) { m_opened << path; };
        w->show();
    }
    void cleanup() {
        m_windows.reset();
        w = nullptr;
        v = nullptr;
    }

    void controls() {
        QCOMPARE(v->windowTitle(), QStringLiteral("View Files"));
        QCOMPARE(v->TabControl1->tabText(0), QStringLiteral("Photos"));
        QCOMPARE(v->TabControl1->tabText(1), QStringLiteral("Text"));
        QCOMPARE(v->TabControl1->tabPosition(), QTabWidget::South);
        QVERIFY(v->Memo1->isReadOnly());
        QCOMPARE(v->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
        const QFontMetrics fixed(v->Memo1->font());
        QCOMPARE(fixed.horizontalAdvance(QLatin1Char('i')),
                 fixed.horizontalAdvance(QLatin1Char('W')));
        QVERIFY(v->TSelBtn->isHidden());
        QCOMPARE(v->THelpBtn->text(), QStringLiteral("Help"));
        QCOMPARE(v->TCloseBtn->text(), QStringLiteral("Close"));
    }

    // A local text opens on the "Text" page, a picture on the "Photos" page with its path and
    // size, anything else goes to the system.
    void localViews() {
        const QString text = m_files.write("notes.txt", "first\nsecond\n");
        const QString pic = Picture("photo.png");
        const QString zip = m_files.write("pack.zip", "PK");

        DoubleClickLocal("notes.txt");
        QVERIFY(v->isVisible());
        QCOMPARE(v->windowTitle(), QStringLiteral("View Files"));
        QCOMPARE(v->TabControl1->currentWidget(), v->TabItem2);
        QCOMPARE(v->Memo1->toPlainText(), QStringLiteral("first\nsecond"));
        QCOMPARE(v->Label1->text(), text);

        DoubleClickLocal("photo.png");
        QCOMPARE(v->TabControl1->currentWidget(), v->TabItem1);
        QCOMPARE(v->Image1->Bitmap().size(), QSize(40, 30));
        const QString status = pic + " - " + SizeText(QFileInfo(pic).size()) + " Bytes";
        QCOMPARE(v->Image1->TagString, QStringLiteral("     ") + status);
        QCOMPARE(v->Label1->text(), QStringLiteral("     ") + status);
        // The status of each page comes back with its page.
        v->TabControl1->setCurrentWidget(v->TabItem2);
        QCOMPARE(v->Label1->text(), text);
        v->TabControl1->setCurrentWidget(v->TabItem1);
        QCOMPARE(v->Label1->text(), QStringLiteral("     ") + status);

        v->hide();
        DoubleClickLocal("pack.zip");
        QCOMPARE(m_opened, QStringList{zip});
        QVERIFY(!v->isVisible());
    }

    // Pictures this system cannot decode give an error, never an empty viewer.
    void undecodablePicture_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("photoshop") << "layers.psd" << QByteArray("8BPS\0\1\0\0\0\0\0\0", 12);
        QTest::newRow("metafile") << "drawing.wmf" << QByteArray("\xd7\xcd\xc6\x9a\0\0", 6);
        QTest::newRow("broken png") << "broken.png" << QByteArray("\x89PNG\r\n\x1a\nrest");
    }
    void undecodablePicture() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = m_files.write(name, bytes);
        w->Label2->setText(path);
        try {
            w->ViewLocalFile(path);
            QFAIL("no error");
        } catch (const Failure& e) {
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
        QVERIFY(!v->isVisible());
    }

    // A picture from the peer: caption with REMOTE_USER (also when empty) and a status line
    // with the path, also a path with "-" in it.
    void remotePicture_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("status");
        QTest::newRow("plain") << "Bob"
                               << "D:\\a.png"
                               << "Photo1000000#D:\\a.png-Bob"
                               << "D:\\a.png - " + SizeText(1000000) + " Bytes";
        QTest::newRow("no remote user") << ""
                                        << "D:\\a.png"
                                        << "Photo5#D:\\a.png-Bob"
                                        << "D:\\a.png - 5 Bytes";
        QTest::newRow("dash in the path") << "Bob"
                                          << "D:\\my-pics\\a.png"
                                          << "Photo5#D:\\my-pics\\a.png-Mary-Ann"
                                          << "D:\\my-pics\\a.png - 5 Bytes";
        QTest::newRow("dash, path not known") << "Bob"
                                              << "D:\\other\\"
                                              << "Photo5#D:\\my-pics\\a.png-Ann"
                                              << "D:\\my-pics\\a.png - 5 Bytes";
        QTest::newRow("size 0") << "Bob"
                                << "D:\\a-b.png"
                                << "Photo0#D:\\a-b.png-Bob"
                                << "D:\\a-b.png -  Bytes";
    }
    void remotePicture() {
        QFETCH(QString, user);
        QFETCH(QString, requested);
        QFETCH(QString, description);
        QFETCH(QString, status);
        w->REMOTE_USER = user;
        w->SETFOLDER2 = requested;
        QImage img(20, 10, QImage::Format_RGB32);
        img.fill(Qt::red);
        w->ShowRemotePhoto(img, description);
        QVERIFY(v->isVisible());
        QCOMPARE(v->windowTitle(), QStringLiteral("View Files from - ") + user);
        QCOMPARE(v->TabControl1->currentWidget(), v->TabItem1);
        QCOMPARE(v->Image1->TagString, description);
        QCOMPARE(v->Label1->text(), status);
    }

    // The text from the peer: "TEXT2" first, the size line last, as they came.
    void remoteText() {
        w->REMOTE_USER = QStringLiteral("Bob");
        w->Label2->setText(QStringLiteral("D:\\notes.txt\\"));
        w->Memo1->Lines = {"TEXT2", "<p class=\"x\">hi</p>", "second", "1.234 Bytes"};
        v->TabControl1->setCurrentWidget(v->TabItem1);
        w->ShowRemoteText();
        QCOMPARE(v->windowTitle(), QStringLiteral("View Files from - Bob"));
        QCOMPARE(v->TabControl1->currentWidget(), v->TabItem2);
        const QStringList shown = v->Memo1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(shown, w->Memo1->Lines);
        QCOMPARE(v->Label1->text(), QStringLiteral("D:\\notes.txt\\"));

        // Markup is coloured: the tag of the second line carries formats, plain text none.
        QVERIFY(v->ColoursText());
        QTRY_VERIFY(!v->Memo1->document()->findBlockByNumber(1).layout()->formats().isEmpty());
        QVERIFY(v->Memo1->document()->findBlockByNumber(2).layout()->formats().isEmpty());

        // A text too long to colour quickly is shown plain.
        w->Memo1->Lines = {"TEXT2", QString(TDspFile1::kColourLimit + 10, QLatin1Char('x')), "1"};
        w->ShowRemoteText();
        QVERIFY(!v->ColoursText());
    }

    // A local text longer than the limit shows its head and says it was cut.
    void localTextIsCut() {
        QByteArray bytes;
        const QByteArray line = QByteArray(1023, 'y') + '\n';
        while (bytes.size() <= trees::kTextLimit)
            bytes += line;
        const QString path = m_files.write("huge.log", bytes);
        w->Label2->setText(path);
        w->ViewLocalFile(path);
        QCOMPARE(v->Memo1->document()->blockCount(), int(trees::kTextLimit / 1024) + 1);
        QCOMPARE(v->Memo1->document()->lastBlock().text(), trees::CutNotice(trees::kTextLimit));
    }

    // The picture fills the page; a double-click shows it at its pixel size, another one
    // stretches it again.
    void pictureDoubleClick() {
        const QString pic = Picture("wide.png", {900, 700});
        w->Label2->setText(pic);
        w->ViewLocalFile(pic);
        QVERIFY(QTest::qWaitForWindowExposed(v));
        PictureView* view = v->Image1;
        QVERIFY(view->IsStretched());
        QVERIFY(view->width() < 900); // the page of a 439-wide window
        QVERIFY(view->PictureRect().width() <= view->width());
        QVERIFY(view->PictureRect().height() <= view->height());

        QTest::mouseDClick(view, Qt::LeftButton, {}, view->rect().center());
        QVERIFY(!view->IsStretched());
        QCOMPARE(view->size(), QSize(900, 700));
        QCOMPARE(view->PictureRect(), QRect(0, 0, 900, 700));
        QVERIFY(!v->ScrollBox1->widgetResizable());

        QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(view->IsStretched());
        QVERIFY(v->ScrollBox1->widgetResizable());
        QTRY_VERIFY(view->width() < 900);

        // A new picture always starts stretched.
        QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(5, 5));
        w->ViewLocalFile(pic);
        QVERIFY(view->IsStretched());
    }

    void helpAndClose() {
        w->Memo1->Lines = {"TEXT2", "x"};
        w->ShowRemoteText();
        QTest::mouseClick(v->THelpBtn, Qt::LeftButton);
        QVERIFY(w->HelpWin1->isVisible());
        // The help window opens on the viewer's topic (and takes the request back).
        QCOMPARE(w->HelpWin1->CurrentTopic(), FerroxStartTopic(false, true));
        QVERIFY(FerroxStartTopic(false, true) != FerroxStartTopic(false, false));
        // Asked again while it is open, it turns to that topic again.
        w->HelpWin1->ShowHelpTopic(1);
        QTest::mouseClick(v->THelpBtn, Qt::LeftButton);
        QCOMPARE(w->HelpWin1->CurrentTopic(), FerroxStartTopic(false, true));
        w->FRMDISPLAY_FLG = true;
        QTest::mouseClick(v->TCloseBtn, Qt::LeftButton);
        QVERIFY(!w->FRMDISPLAY_FLG);
        QVERIFY(!v->isVisible());
    }

    // ---- the select-folder dialog ----

    void selectFolder() {
        TSelFldr1* d = m_windows->SelFldr1.get();
        QCOMPARE(d->windowTitle(), QStringLiteral("Select Folder"));
        QCOMPARE(d->Label1->text(), QStringLiteral("Select Folder to Contain Files."));
        QCOMPARE(d->DirectoryEdit1->toolTip(), QStringLiteral("Select Folder to Copy Files"));
        const QString before = w->ALTER_PATH;

        // Cancel: CANCEL_FLG, the folder stays.
        d->DirectoryEdit1->setText(QStringLiteral("/somewhere"));
        QTimer::singleShot(0, d, [d] { QTest::mouseClick(d->TCloseBtn, Qt::LeftButton); });
        QCOMPARE(d->exec(), int(QDialog::Rejected));
        QVERIFY(w->CANCEL_FLG);
        QCOMPARE(w->ALTER_PATH, before);

        // The picker fills the field; OK takes it.
        Dialogs::SetNextFileName(m_files.path());
        QTest::mouseClick(d->BrowseBtn, Qt::LeftButton);
        QCOMPARE(ShownTexts(QStringLiteral("folder")).size(), 1);
        QCOMPARE(d->DirectoryEdit1->text(), m_files.path());
        QTimer::singleShot(0, d, [d] { QTest::mouseClick(d->OKBtn, Qt::LeftButton); });
        QCOMPARE(d->exec(), int(QDialog::Accepted));
        QVERIFY(!w->CANCEL_FLG);
        QCOMPARE(w->ALTER_PATH, m_files.path());

        // A cancelled picker leaves the field; Escape leaves both fields as they were.
        QTest::mouseClick(d->BrowseBtn, Qt::LeftButton);
        QCOMPARE(d->DirectoryEdit1->text(), m_files.path());
        w->CANCEL_FLG = true;
        d->DirectoryEdit1->setText(QStringLiteral("/elsewhere"));
        QTimer::singleShot(0, d, [d] { QTest::keyClick(d, Qt::Key_Escape); });
        QCOMPARE(d->exec(), int(QDialog::Rejected));
        QVERIFY(w->CANCEL_FLG);
        QCOMPARE(w->ALTER_PATH, m_files.path());
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
