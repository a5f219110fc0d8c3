#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// Shows a send that lasts longer than half a second: bytes done, rate, time left, and a
// Cancel button. It never blocks: it is shown modal (so the main window takes no input) while
// the sending profile turns the event loop. Knows nothing of the network: follow() wires it to
// a tether::Profile, or to anything with the same signals and slots.
class SendProgressDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kShowAfterMs = 500;

    explicit SendProgressDialog(QWidget* parent = nullptr);

    template <class Profile> void follow(Profile* profile) {
        connect(profile, &Profile::sendStarted, this, &SendProgressDialog::start);
        connect(profile, &Profile::sendProgress, this, &SendProgressDialog::progress);
        connect(profile, &Profile::sendFinished, this, &SendProgressDialog::finish);
        connect(this, &SendProgressDialog::cancelRequested, profile, &Profile::cancelSend);
        connect(this, &SendProgressDialog::inputNeeded, profile, &Profile::setSendInputAllowed);
    }

    QString bytesText() const;
    QString rateText() const;
    QString timeLeftText() const;
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void start(const QString& description, qint64 total);
    void progress(qint64 done, qint64 total);
    void finish(bool completed);
    void reject() override; // Esc and the window's close button cancel too

signals:
    void cancelRequested();
    // True while the dialog is up, so that the send lets input reach its Cancel button.
    void inputNeeded(bool on);

private:
    void showNow();
    void refresh();

    QLabel* m_what;
    QProgressBar* m_bar;
    QLabel* m_bytes;
    QLabel* m_rate;
    QLabel* m_left;
    QPushButton* m_cancel;
    QTimer m_showTimer;
    QElapsedTimer m_clock;
    qint64 m_done = 0;
    qint64 m_total = -1;
    bool m_running = false;
};
