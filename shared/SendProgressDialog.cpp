#include "SendProgressDialog.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

SendProgressDialog::SendProgressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SendProgressDialog"));
    setWindowTitle(tr("Sending"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    m_what = new QLabel(this);
    m_what->setObjectName(QStringLiteral("SendWhat"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("SendBar"));
    m_bytes = new QLabel(this);
    m_bytes->setObjectName(QStringLiteral("SendBytes"));
    m_rate = new QLabel(this);
    m_rate->setObjectName(QStringLiteral("SendRate"));
    m_left = new QLabel(this);
    m_left->setObjectName(QStringLiteral("SendLeft"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("SendCancelBtn"));
    for (QWidget* w : {static_cast<QWidget*>(m_what), static_cast<QWidget*>(m_bar),
                       static_cast<QWidget*>(m_bytes), static_cast<QWidget*>(m_rate),
                       static_cast<QWidget*>(m_left), static_cast<QWidget*>(m_cancel)})
        layout->addWidget(w);
    m_showTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, &SendProgressDialog::showNow);
    connect(m_cancel, &QPushButton::clicked, this, &SendProgressDialog::reject);
}

void SendProgressDialog::start(const QString& description, qint64 total) {
    m_running = true;
    m_done = 0;
    m_total = total;
    m_clock.start();
    m_what->setText(description);
    m_cancel->setEnabled(true);
    m_cancel->setText(tr("Cancel"));
    refresh();
    m_showTimer.start(kShowAfterMs);
}

void SendProgressDialog::progress(qint64 done, qint64 total) {
    m_done = done;
    m_total = total;
    if (m_running && !isVisible() && m_clock.elapsed() >= kShowAfterMs)
        showNow();
    refresh();
}

void SendProgressDialog::finish(bool) {
    m_running = false;
    m_showTimer.stop();
    if (isVisible()) {
        hide();
        emit inputNeeded(false);
    }
}

void SendProgressDialog::reject() {
    if (!m_running)
        return;
    m_cancel->setEnabled(false);
    m_cancel->setText(tr("Cancelling..."));
    emit cancelRequested();
}

void SendProgressDialog::showNow() {
    if (!m_running || isVisible())
        return;
    show();
    emit inputNeeded(true);
}

QString SendProgressDialog::bytesText() const {
    const QLocale l;
    if (m_total < 0)
        return l.formattedDataSize(m_done);
    return tr("%1 of %2").arg(l.formattedDataSize(m_done), l.formattedDataSize(m_total));
}

QString SendProgressDialog::rateText() const {
    const qint64 ms = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (ms <= 0 || m_done <= 0)
        return QString();
    return tr("%1/s").arg(QLocale().formattedDataSize(m_done * 1000 / ms));
}

QString SendProgressDialog::timeLeftText() const {
    const qint64 ms = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (m_total < 0 || ms <= 0 || m_done <= 0)
        return QString();
    const qint64 seconds = (m_total - m_done) * ms / m_done / 1000;
    if (seconds >= 60)
        return tr("about %1 min %2 s left").arg(seconds / 60).arg(seconds % 60);
    return tr("about %1 s left").arg(seconds);
}

void SendProgressDialog::refresh() {
    if (m_total > 0) {
        m_bar->setRange(0, 1000);
        m_bar->setValue(int(m_done * 1000 / m_total));
    } else {
        m_bar->setRange(0, 0); // unknown length: busy
    }
    m_bytes->setText(bytesText());
    m_rate->setText(rateText());
    m_left->setText(timeLeftText());
}
