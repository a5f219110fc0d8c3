#pragma once
#include "Types.h"
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace tether {

class Profile;
class Link;
struct ManagerPrivate;

// Finds the other managers on the local network, pairs with them by a shared password and
// carries the streams of its profiles. Lives on one thread (the program's window thread); all
// signals are raised there, one at a time: while a handler runs, or while a send is in
// progress, later events wait in order. The password request is the one exception: it is
// raised when a pairing needs it and the handler must answer it at once.
//
// Isolation (tests, several copies): the environment variables TETHER_DISCOVERY_PORT,
// TETHER_BIND_ADDRESS, TETHER_BROADCAST and TETHER_SPOOL_DIR set the defaults read at
// construction; the setters below override them and take effect at the next setEnabled(true)
// (ports, addresses) or at once (the rest).
class Manager : public QObject {
    Q_OBJECT
public:
    // How long a search waits for answers before it reports what it found.
    static constexpr int kDiscoveryTimeoutMs = 800;
    static constexpr quint16 kDefaultDiscoveryPort = 47321;

    explicit Manager(QObject* parent = nullptr);
    ~Manager() override;

    QString text() const;
    void setText(const QString& text); // later searches by others see the new text
    bool isEnabled() const;
    // Enabling binds the discovery and pairing sockets (throws Error when they cannot be
    // bound); disabling says goodbye to every paired manager and closes them.
    void setEnabled(bool on);
    QString identifier() const; // new in every run

    // Returns at once; after kDiscoveryTimeoutMs raises endManagersDiscovery once with every
    // enabled manager that answered, each once, never this one.
    void discoverManagers();
    // Starts pairing; on success both sides raise endProfilesDiscovery. A wrong password or
    // an unreachable manager leaves nothing behind and raises nothing.
    void pairManager(const ManagerInfo& manager);
    void unpairManager(const ManagerInfo& manager);
    QList<ManagerInfo> pairedManagers() const;
    // The profiles of all paired managers, in pairing order and then in each manager's order.
    QList<ProfileInfo> remoteProfiles() const;

    void setDiscoveryPort(quint16 port);
    quint16 discoveryPort() const;
    void setBindAddress(const QHostAddress& address);                 // pairing port listens here
    void setBroadcastAddresses(const QList<QHostAddress>& addresses); // empty: every interface
    QList<QHostAddress> broadcastAddresses() const;                   // where a search is sent now
    void setSpoolDirectory(const QString& dir); // for payloads that go to a file
    // Payloads above this many bytes are written to a file as they arrive.
    void setSpoolThreshold(qint64 bytes);
    quint16 pairingPort() const; // 0 while disabled

signals:
    void endManagersDiscovery(const QList<tether::ManagerInfo>& managers);
    // Connect directly (the default): the handler sets `password` in place.
    void requestManagerPassword(const QString& remoteIdentifier, QString& password);
    void endProfilesDiscovery(const QList<tether::ProfileInfo>& profiles);
    // A paired manager closed, died or became unreachable; its profiles are gone.
    void remoteManagerShutdown(const QString& identifier);
    // A paired manager dropped the pairing (its program started a new search).
    void remoteManagerUnpaired(const QString& identifier);

private:
    friend class Profile;
    friend class Link;
    friend struct ManagerPrivate;
    std::unique_ptr<ManagerPrivate> d;
};

} // namespace tether
