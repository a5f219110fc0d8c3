#include "Manager.h"
#include "Link.h"
#include "ManagerPrivate.h"
#include "Profile.h"

#include <QDir>
#include <QNetworkDatagram>
#include <QNetworkInterface>

Q_LOGGING_CATEGORY(lcTether, "tether", QtWarningMsg)

namespace tether {
namespace {

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

} // namespace

ManagerPrivate::ManagerPrivate(Manager* q) : q(q), spoolDir(QDir::tempPath()) {
    bool ok = false;
    const uint port = qEnvironmentVariable("TETHER_DISCOVERY_PORT").toUInt(&ok);
    if (ok && port > 0 && port < 65536)
        discoveryPort = quint16(port);
    const QHostAddress bind(qEnvironmentVariable("TETHER_BIND_ADDRESS"));
    if (!bind.isNull())
        bindAddress = bind;
    const QStringList targets =
        qEnvironmentVariable("TETHER_BROADCAST").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& t : targets) {
        const QHostAddress a(t.trimmed());
        if (!a.isNull())
            broadcast.append(a);
    }
    if (qEnvironmentVariableIsSet("TETHER_SPOOL_DIR"))
        spoolDir = qEnvironmentVariable("TETHER_SPOOL_DIR");
}

ManagerPrivate::~ManagerPrivate() = default;

void ManagerPrivate::enable() {
    auto* udp = new QUdpSocket(q);
    // Shared so that every copy on this computer hears the same broadcast.
    if (!udp->bind(QHostAddress(QHostAddress::AnyIPv4), discoveryPort,
                   QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        const QString why = udp->errorString();
        delete udp;
        throw Error(QStringLiteral("Cannot listen for other computers on port %1: %2")
                        .arg(discoveryPort)
                        .arg(why));
    }
    auto* tcp = new QTcpServer(q);
    if (!tcp->listen(bindAddress, 0)) {
        const QString why = tcp->errorString();
        delete udp;
        delete tcp;
        throw Error(QStringLiteral("Cannot accept connections from other computers: %1").arg(why));
    }
    responder = udp;
    server = tcp;
    QObject::connect(responder, &QUdpSocket::readyRead, q, [this] { onQuery(); });
    QObject::connect(server, &QTcpServer::newConnection, q, [this] { onNewConnection(); });
    enabled = true;
}

void ManagerPrivate::disable() {
    enabled = false;
    const auto all = links;
    for (const QPointer<Link>& l : all) {
        if (!l)
            continue;
        if (l->state() == Link::State::Paired)
            l->closeWithBye(ByeReason::Closing);
        else
            l->dropSilently();
    }
    delete responder;
    responder = nullptr;
    delete server;
    server = nullptr;
}

void ManagerPrivate::onQuery() {
    while (responder && responder->hasPendingDatagrams()) {
        const qint64 size = responder->pendingDatagramSize();
        const QNetworkDatagram dg = responder->receiveDatagram(qint64(kMaxDatagram) + 1);
        if (size < 0 || std::size_t(size) > kMaxDatagram || !enabled || !server)
            continue;
        const DecodedDatagram in = decodeDatagram(dg.data());
        if (!in.ok || in.datagram.kind != DatagramKind::Query || in.datagram.id == id)
            continue;
        Datagram answer;
        answer.kind = DatagramKind::Announce;
        answer.id = id;
        answer.serial = in.datagram.serial;
        answer.tcpPort = server->serverPort();
        answer.text = text; // read now, so a changed text shows in the next search
        responder->writeDatagram(encodeDatagram(answer), dg.senderAddress(),
                                 quint16(dg.senderPort()));
    }
}

QList<QHostAddress> ManagerPrivate::queryTargets() const {
    if (!broadcast.isEmpty())
        return broadcast;
    QList<QHostAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto f = i.flags();
        if (!(f & QNetworkInterface::IsUp) || !(f & QNetworkInterface::IsRunning) ||
            !(f & QNetworkInterface::CanBroadcast) || (f & QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = i.addressEntries();
        for (const QNetworkAddressEntry& e : entries) {
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.broadcast().isNull() &&
                !out.contains(e.broadcast()))
                out.append(e.broadcast());
        }
    }
    out.append(QHostAddress(QStringLiteral("127.255.255.255")));
    return out;
}

void ManagerPrivate::finishSearch(Search* s) {
    const QList<ManagerInfo> found = s->found;
    post([this, found] { emit q->endManagersDiscovery(found); });
    // The search's own timer is firing: let it return before it goes.
    QMetaObject::invokeMethod(
        q,
        [this, s] {
            std::erase_if(searches, [s](const std::unique_ptr<Search>& p) { return p.get() == s; });
        },
        Qt::QueuedConnection);
}

void ManagerPrivate::onNewConnection() {
    while (server && server->hasPendingConnections()) {
        QTcpSocket* s = server->nextPendingConnection();
        int unpaired = 0;
        for (const QPointer<Link>& l : std::as_const(links)) {
            if (l && l->state() != Link::State::Paired && !l->initiator() &&
                l->peerAddress() == s->peerAddress())
                ++unpaired;
        }
        if (!enabled || unpaired >= kMaxUnpairedPerAddress) {
            qCInfo(lcTether) << "refusing connection from" << s->peerAddress();
            s->abort();
            s->deleteLater();
            continue;
        }
        addLink(s, false);
    }
}

Link* ManagerPrivate::addLink(QTcpSocket* socket, bool initiator) {
    auto* l = new Link(this, socket, initiator);
    links.append(l);
    return l;
}

Peer* ManagerPrivate::peer(const QUuid& pid) {
    for (Peer& p : peers)
        if (p.id == pid)
            return &p;
    return nullptr;
}

Peer* ManagerPrivate::peerFor(const ProfileInfo& info) {
    Peer* p = peer(QUuid(info.managerIdentifier));
    return p && p->link && p->link->state() == Link::State::Paired ? p : nullptr;
}

ProfileInfo ManagerPrivate::infoFor(const Peer& p, const ProfileRecord& r) const {
    return ProfileInfo{r.text, r.group, idText(p.id), idText(r.id)};
}

QList<ProfileInfo> ManagerPrivate::remoteProfiles() const {
    QList<ProfileInfo> out;
    for (const Peer& p : peers)
        for (const ProfileRecord& r : p.profiles)
            out.append(infoFor(p, r));
    return out;
}

QList<ProfileRecord> ManagerPrivate::localProfiles() const {
    QList<ProfileRecord> out;
    for (const Profile* p : profiles)
        if (p->isEnabled())
            out.append(ProfileRecord{p->m_uuid, p->text(), p->group()});
    return out;
}

Profile* ManagerPrivate::localProfile(const QUuid& pid) const {
    for (Profile* p : profiles)
        if (p->m_uuid == pid && p->isEnabled())
            return p;
    return nullptr;
}

void ManagerPrivate::sendProfilesToAll() {
    const QByteArray frame = encodeProfiles(localProfiles());
    for (const Peer& p : peers)
        if (p.link && p.link->state() == Link::State::Paired)
            p.link->send(frame);
}

QString ManagerPrivate::passwordFor(const QUuid& remote) {
    QString password;
    emit q->requestManagerPassword(idText(remote), password);
    return password;
}

void ManagerPrivate::linkPaired(Link* link) {
    Peer* p = peer(link->remoteId());
    if (p && p->link && p->link != link && p->link->state() == Link::State::Paired) {
        // Both sides paired at the same time. Both keep the link that the smaller identifier
        // opened, so they agree without a word; the other closes quietly.
        const auto opener = [this](Link* l) { return l->initiator() ? id : l->remoteId(); };
        Link* old = p->link;
        const bool keepNew = opener(link) != opener(old) && opener(link) < opener(old);
        Link* drop = keepNew ? old : link;
        p->link = keepNew ? link : old;
        drop->dropSilently();
        if (!keepNew)
            return;
    }
    if (!p) {
        peers.push_back(Peer{});
        p = &peers.back();
        p->id = link->remoteId();
    }
    p->link = link;
    p->info =
        ManagerInfo{link->remoteText(), idText(link->remoteId()), link->peerAddress().toString(),
                    link->initiator() ? link->socket()->peerPort() : quint16(0), kProtocolVersion};
    link->send(encodeProfiles(localProfiles()));
}

void ManagerPrivate::linkProfiles(Link* link, const QList<ProfileRecord>& list) {
    Peer* p = peer(link->remoteId());
    if (!p || p->link != link)
        return;
    p->profiles = list;
    if (!p->announced) {
        p->announced = true;
        post([this] { emit q->endProfilesDiscovery(remoteProfiles()); });
    }
}

void ManagerPrivate::linkClosed(Link* link, bool silent, bool unpaired) {
    links.removeAll(link);
    const auto it =
        std::find_if(peers.begin(), peers.end(), [link](const Peer& p) { return p.link == link; });
    if (it == peers.end())
        return;
    const QString who = idText(it->id);
    for (Profile* local : std::as_const(profiles))
        for (const ProfileRecord& r : std::as_const(it->profiles))
            local->m_connected.remove(idText(r.id));
    peers.erase(it);
    if (silent)
        return;
    if (unpaired)
        post([this, who] { emit q->remoteManagerUnpaired(who); });
    else
        post([this, who] { emit q->remoteManagerShutdown(who); });
}

qint64 ManagerPrivate::thresholdNow() const {
    return heldInMemory >= kMaxHeldInMemory ? 0 : spoolThreshold;
}

void ManagerPrivate::deliver(const std::shared_ptr<Incoming>& in) {
    if (in->silent) {
        in->release();
        return;
    }
    post([this, in] {
        struct Cleanup {
            ManagerPrivate* d;
            const std::shared_ptr<Incoming>& in;
            ~Cleanup() {
                d->heldInMemory -= in->memoryHeld();
                in->release();
            }
        } cleanup{this, in};
        Profile* target = localProfile(in->to);
        if (!target)
            return;
        if (in->state == Incoming::State::Complete)
            emit target->resourceReceived(Resource(in));
        else
            emit target->resourceAbandoned(in->sender, in->hint, in->reason);
    });
}

void ManagerPrivate::post(std::function<void()> event) {
    events.push_back(std::move(event));
    schedulePump();
}

void ManagerPrivate::schedulePump() {
    if (pumpScheduled || events.empty())
        return;
    pumpScheduled = true;
    QTimer::singleShot(0, q, [this] { pump(); });
}

void ManagerPrivate::pump() {
    pumpScheduled = false;
    // Back to back while the handlers are quick: a turn of the loop for every one of many
    // small streams would cost more than the streams.
    QElapsedTimer slice;
    slice.start();
    while (handlerDepth == 0 && sendDepth == 0 && !events.empty()) {
        std::function<void()> event = std::move(events.front());
        events.pop_front();
        // Reopens the queue (and schedules the next pump) when the handler returns or throws;
        // entering it lets held-back links read again once the loop turns.
        Busy busy(this, handlerDepth);
        event();
        if (slice.elapsed() >= kPumpSliceMs)
            break;
    }
}

void ManagerPrivate::scheduleResume() {
    if (resumeScheduled || std::none_of(links.cbegin(), links.cend(),
                                        [](const QPointer<Link>& l) { return l && l->heldBack(); }))
        return;
    resumeScheduled = true;
    QMetaObject::invokeMethod(
        q,
        [this] {
            resumeScheduled = false;
            const auto all = links;
            for (const QPointer<Link>& l : all)
                if (l && l->heldBack())
                    l->resume();
        },
        Qt::QueuedConnection);
}

void ManagerPrivate::waitFor(const std::function<bool()>& done, bool input) {
    QEventLoop loop;
    while (!done()) {
        loop.processEvents((input ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents) |
                           QEventLoop::WaitForMoreEvents);
        lastTurn.restart();
    }
}

void ManagerPrivate::turnIfDue(bool input) {
    if (lastTurn.isValid() && lastTurn.elapsed() < kTurnEveryMs)
        return;
    QEventLoop loop;
    loop.processEvents(input ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    lastTurn.restart();
}

// ---- Manager ----

Manager::Manager(QObject* parent) : QObject(parent), d(std::make_unique<ManagerPrivate>(this)) {
    qRegisterMetaType<tether::ManagerInfo>();
    qRegisterMetaType<tether::ProfileInfo>();
}

Manager::~Manager() {
    if (d->enabled)
        d->disable();
    const auto all = d->links;
    for (const QPointer<Link>& l : all)
        delete l.data();
    d->searches.clear();
}

QString Manager::text() const {
    return d->text;
}
void Manager::setText(const QString& text) {
    d->text = text;
}
bool Manager::isEnabled() const {
    return d->enabled;
}
QString Manager::identifier() const {
    return idText(d->id);
}

void Manager::setEnabled(bool on) {
    if (on == d->enabled)
        return;
    if (on)
        d->enable();
    else
        d->disable();
}

void Manager::discoverManagers() {
    auto s = std::make_unique<Search>();
    Search* raw = s.get();
    raw->serial = ++d->lastSerial;
    // A socket of its own on an ephemeral port: answers come back by unicast to it alone.
    if (!raw->socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        qCWarning(lcTether) << "cannot open a discovery socket:" << raw->socket.errorString();
    QObject::connect(&raw->socket, &QUdpSocket::readyRead, this, [this, raw] {
        while (raw->socket.hasPendingDatagrams()) {
            const qint64 size = raw->socket.pendingDatagramSize();
            const QNetworkDatagram dg = raw->socket.receiveDatagram(qint64(kMaxDatagram) + 1);
            if (size < 0 || std::size_t(size) > kMaxDatagram)
                continue;
            const DecodedDatagram in = decodeDatagram(dg.data());
            const Datagram& a = in.datagram;
            if (!in.ok || a.kind != DatagramKind::Announce || a.serial != raw->serial ||
                a.id == d->id)
                continue;
            const QString who = idText(a.id);
            const bool known =
                std::any_of(raw->found.cbegin(), raw->found.cend(),
                            [&who](const ManagerInfo& m) { return m.identifier == who; });
            if (known)
                continue;
            QHostAddress from = dg.senderAddress();
            bool isV4 = false;
            const quint32 v4 = from.toIPv4Address(&isV4);
            if (isV4)
                from = QHostAddress(v4);
            raw->found.append(
                ManagerInfo{a.text, who, from.toString(), a.tcpPort, kProtocolVersion});
        }
    });
    const auto sendQuery = [this, raw] {
        Datagram q;
        q.kind = DatagramKind::Query;
        q.id = d->id;
        q.serial = raw->serial;
        const QByteArray bytes = encodeDatagram(q);
        const auto targets = d->queryTargets();
        for (const QHostAddress& t : targets)
            raw->socket.writeDatagram(bytes, t, d->discoveryPort);
    };
    QObject::connect(&raw->resend, &QTimer::timeout, this, sendQuery);
    raw->end.setSingleShot(true);
    QObject::connect(&raw->end, &QTimer::timeout, this, [this, raw] {
        raw->resend.stop();
        d->finishSearch(raw);
    });
    d->searches.push_back(std::move(s));
    sendQuery();
    raw->resend.start(ManagerPrivate::kQueryRepeatMs);
    raw->end.start(kDiscoveryTimeoutMs);
}

void Manager::pairManager(const ManagerInfo& info) {
    if (!d->enabled)
        return;
    const QUuid target(info.identifier);
    if (target.isNull() || target == d->id || info.port == 0)
        return;
    if (Peer* p = d->peer(target); p && p->link)
        return;
    for (const QPointer<Link>& l : std::as_const(d->links))
        if (l && l->initiator() && l->expected() == target)
            return; // already under way
    auto* socket = new QTcpSocket;
    if (d->bindAddress != QHostAddress(QHostAddress::AnyIPv4))
        socket->bind(d->bindAddress, 0);
    Link* link = d->addLink(socket, true);
    link->expect(target);
    socket->connectToHost(QHostAddress(info.address), info.port);
}

void Manager::unpairManager(const ManagerInfo& info) {
    Peer* p = d->peer(QUuid(info.identifier));
    if (!p)
        return;
    if (p->link)
        p->link->closeWithBye(ByeReason::Unpaired); // removes the peer
    else
        std::erase_if(d->peers, [p](const Peer& x) { return &x == p; });
}

QList<ManagerInfo> Manager::pairedManagers() const {
    QList<ManagerInfo> out;
    for (const Peer& p : d->peers)
        if (p.link && p.link->state() == Link::State::Paired)
            out.append(p.info);
    return out;
}

QList<ProfileInfo> Manager::remoteProfiles() const {
    return d->remoteProfiles();
}

void Manager::setDiscoveryPort(quint16 port) {
    d->discoveryPort = port;
}
quint16 Manager::discoveryPort() const {
    return d->discoveryPort;
}
void Manager::setBindAddress(const QHostAddress& address) {
    d->bindAddress = address;
}
void Manager::setBroadcastAddresses(const QList<QHostAddress>& addresses) {
    d->broadcast = addresses;
}
QList<QHostAddress> Manager::broadcastAddresses() const {
    return d->queryTargets();
}
void Manager::setSpoolDirectory(const QString& dir) {
    d->spoolDir = dir;
}
void Manager::setSpoolThreshold(qint64 bytes) {
    d->spoolThreshold = std::max<qint64>(0, bytes);
}
quint16 Manager::pairingPort() const {
    return d->server ? d->server->serverPort() : 0;
}

} // namespace tether
