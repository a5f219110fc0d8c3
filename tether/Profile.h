#pragma once
#include "Resource.h"
#include "Types.h"
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUuid>
#include <functional>

class QIODevice;

namespace tether {

class Manager;

// An application profile registered with a manager: the end point that connects to remote
// profiles and sends and receives streams. Same thread rules as Manager.
class Profile : public QObject {
    Q_OBJECT
public:
    explicit Profile(Manager* manager, QObject* parent = nullptr);
    ~Profile() override;

    Manager* manager() const { return m_manager; }
    QString identifier() const { return m_uuid.toString(QUuid::WithoutBraces); }
    QString text() const { return m_text; }
    void setText(const QString& text);
    QString group() const { return m_group; }
    void setGroup(const QString& group);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);

    // True when the connection to that remote profile is up (its manager is paired and it
    // still lists the profile).
    bool connectTo(const ProfileInfo& remote);
    void disconnectFrom(const ProfileInfo& remote);
    bool isConnectedTo(const ProfileInfo& remote) const;

    // Sends the whole content of `stream` (from its start when it is not sequential) with the
    // description. Returns when everything is written; meanwhile the event loop turns with
    // user input held back, and sendProgress reports. Throws Error when the profile is not
    // connected, the device cannot be read or the link drops; Cancelled after cancelSend.
    void sendStream(const ProfileInfo& remote, const QString& description, QIODevice* stream);
    bool isSending() const { return m_sending > 0; }

public slots:
    // Ends the running send; the receiver discards that stream.
    void cancelSend();
    // While a send runs, user input is held back unless this is on; a modal progress dialog
    // turns it on so that its Cancel button can be pressed.
    void setSendInputAllowed(bool on);

signals:
    void resourceReceived(const tether::Resource& resource);
    // A stream from `from` began to arrive but will not be delivered: the sender cancelled,
    // its program died, the link dropped or the bytes failed verification.
    void resourceAbandoned(const tether::ProfileInfo& from, const QString& hint,
                           const QString& reason);
    void sendStarted(const QString& description, qint64 total); // total -1 when unknown
    void sendProgress(qint64 done, qint64 total);
    void sendFinished(bool completed);

private:
    friend class Manager;
    friend struct ManagerPrivate;
    QPointer<Manager> m_manager;
    QUuid m_uuid = QUuid::createUuid();
    QString m_text;
    QString m_group;
    bool m_enabled = false;
    QSet<QString> m_connected; // remote profile identifiers
    void waitWhileSending(const std::function<bool()>& done);
    int m_sending = 0;
    bool m_cancel = false;
    bool m_inputAllowed = false;
};

} // namespace tether
