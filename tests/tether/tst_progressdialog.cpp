#include "SendProgressDialog.h"
#include "TetherFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QThread>

namespace {

// Zeros without end, slowly, so that a send lasts long enough to be shown.
class Slow : public QIODevice {
public:
    Slow() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        QThread::msleep(5);
        const qint64 n = std::min<qint64>(max, 64 * 1024);
        std::memset(data, 0, size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

class TestSendProgressDialog : public QObject {
    Q_OBJECT
private slots:
    void showsOnlySendsThatLast();
    void cancelEndsTheSend();
};

void TestSendProgressDialog::showsOnlySendsThatLast() {
    SendProgressDialog dialog;
    dialog.start("FileA", 100);
    dialog.finish(true);
    QTest::qWait(SendProgressDialog::kShowAfterMs + 200);
    QVERIFY(!dialog.isVisible()); // a quick send shows nothing

    QSignalSpy input(&dialog, &SendProgressDialog::inputNeeded);
    const qint64 total = 100LL * 1024 * 1024;
    dialog.start("FileB", total);
    QVERIFY(!dialog.isVisible());
    QTRY_VERIFY(dialog.isVisible());
    QCOMPARE(input.size(), 1);
    QVERIFY(input.first().first().toBool());
    QVERIFY(dialog.isModal());
    dialog.progress(total / 4, total);
    QVERIFY(dialog.bytesText().contains(QLocale().formattedDataSize(total / 4)));
    QVERIFY(dialog.bytesText().contains(QLocale().formattedDataSize(total)));
    QVERIFY(dialog.rateText().endsWith("/s"));
    QVERIFY(dialog.timeLeftText().contains("left"));
    dialog.finish(true);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(input.size(), 2);
    QVERIFY(!input.last().first().toBool());
}

void TestSendProgressDialog::cancelEndsTheSend() {
    Node a("Mgr"), b("Mgr", "App:Bob 2");
    QVERIFY(pairNodes(a, b));
    SendProgressDialog dialog;
    dialog.follow(&a.profile);
    QSignalSpy abandoned(&b.profile, &tether::Profile::resourceAbandoned);
    bool wasShown = false;
    // The user looks at the dialog for a moment and presses Cancel.
    QTimer::singleShot(SendProgressDialog::kShowAfterMs + 400, &dialog, [&] {
        wasShown = dialog.isVisible();
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    });
    Slow slow;
    QVERIFY_THROWS_EXCEPTION(tether::Cancelled,
                             a.profile.sendStream(a.remoteProfile(b), "FileSlow", &slow));
    QVERIFY(wasShown);
    QVERIFY(!dialog.isVisible());
    QVERIFY(abandoned.wait(3000));
}

QTEST_MAIN(TestSendProgressDialog)
#include "tst_progressdialog.moc"
