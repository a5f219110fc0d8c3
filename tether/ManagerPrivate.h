#pragma once
// Internal state of a Manager, shared with its links and profiles.
#include "Codec.h"
#include "Incoming.h"
#include "Manager.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QPointer>
#include <QSet>
#include <QTcpServer>
#include <QTimer>
#include <QUdpSocket>
#include <deque>
#include <functional>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcTether)

namespace tether {

class Link;
class Profile;

struct Peer {
    QUuid id;
    ManagerInfo info;
    QPointer<Link> link;
    QList<ProfileRecord> profiles;
    bool announced = false; // endProfilesDiscovery raised for this pairing
};

struct Search {
    QUdpSocket socket;
    QTimer resend;
    QTimer end;
    quint32 serial = 0;
    QList<ManagerInfo> found;
};

struct ManagerPrivate {
    // Unpaired connections one address may hold open at once.
    static constexpr int kMaxUnpairedPerAddress = 4;
    // Payloads held in memory while waiting for delivery, over all links; beyond it every
    // further payload goes to a file, so a program that stalls in a handler costs disk, not RAM.
    static constexpr qint64 kMaxHeldInMemory = 32 * 1024 * 1024;
    static constexpr qint64 kDefaultSpoolThreshold = 4 * 1024 * 1024;
    // Events that may wait for the program before the links stop reading: the rest stays in
    // the sockets, and TCP slows the sender to the pace of the program. Links read on
    // regardless while the program is inside a handler or a send, because a handler that
    // waits for the peer, or two programs sending to each other, would otherwise wait forever.
    static constexpr std::size_t kMaxWaitingEvents = 64;
    // Events are raised back to back for at most this long before the loop turns again.
    static constexpr qint64 kPumpSliceMs = 10;
    // A run of sends that never has to wait still turns the event loop this often, so the
    // window repaints and a progress dialog can be cancelled.
    static constexpr qint64 kTurnEveryMs = 20;
    // Queries are repeated in case a datagram is lost; the search ends at the time-out.
    static constexpr int kQueryRepeatMs = 200;

    explicit ManagerPrivate(Manager* q);
    ~ManagerPrivate();

    Manager* q;
    QUuid id = QUuid::createUuid();
    QString text;
    bool enabled = false;
    quint16 discoveryPort = Manager::kDefaultDiscoveryPort;
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    QList<QHostAddress> broadcast; // empty: every up interface and 127.255.255.255
    QString spoolDir;
    qint64 spoolThreshold = kDefaultSpoolThreshold;
    qint64 heldInMemory = 0;

    QUdpSocket* responder = nullptr;
    QTcpServer* server = nullptr;
    QList<Profile*> profiles;
    std::vector<Peer> peers; // in pairing order
    QList<QPointer<Link>> links;
    std::vector<std::unique_ptr<Search>> searches;
    quint32 lastSerial = 0;

    // Events for the program, raised one at a time (see Manager).
    std::deque<std::function<void()>> events;
    int handlerDepth = 0;
    int sendDepth = 0;
    bool pumpScheduled = false;
    bool resumeScheduled = false;

    void enable();
    void disable();
    void onQuery();
    void onNewConnection();
    void finishSearch(Search* s);
    QList<QHostAddress> queryTargets() const;

    Link* addLink(QTcpSocket* socket, bool initiator);
    Peer* peer(const QUuid& id);
    Peer* peerFor(const ProfileInfo& p);
    ProfileInfo infoFor(const Peer& peer, const ProfileRecord& r) const;
    QList<ProfileInfo> remoteProfiles() const;
    QList<ProfileRecord> localProfiles() const;
    Profile* localProfile(const QUuid& id) const;
    void sendProfilesToAll();

    // From links.
    QString passwordFor(const QUuid& remote);
    void linkPaired(Link* link);
    void linkProfiles(Link* link, const QList<ProfileRecord>& profiles);
    void linkClosed(Link* link, bool silent, bool unpaired);
    void deliver(const std::shared_ptr<Incoming>& in);
    qint64 thresholdNow() const;

    void post(std::function<void()> event);
    void schedulePump();
    void pump();
    // True while links should leave further streams in their sockets.
    bool holdBack() const {
        return handlerDepth == 0 && sendDepth == 0 && events.size() >= kMaxWaitingEvents;
    }
    // Lets held-back links read again, from the event loop.
    void scheduleResume();
    // Turns the event loop until `done` holds; user input waits unless `input` is on.
    void waitFor(const std::function<bool()>& done, bool input);
    // Turns the event loop once when it has not turned for kTurnEveryMs.
    void turnIfDue(bool input);
    QElapsedTimer lastTurn;
};

// Keeps the event queue shut while a handler runs, also when it throws.
struct Busy {
    ManagerPrivate* d;
    int& counter;
    Busy(ManagerPrivate* d, int& counter) : d(d), counter(counter) {
        // Inside a handler or a send the queue cannot drain: held links must read again.
        if (counter++ == 0)
            d->scheduleResume();
    }
    ~Busy() {
        if (--counter == 0)
            d->schedulePump();
    }
};

} // namespace tether
