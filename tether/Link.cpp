#include "Link.h"
#include "ManagerPrivate.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace tether {
namespace {

// The kernel's keep-alive, not ours: it answers for a program that is busy in a long handler,
// so only a dead program or a dropped network ends the link. Idle 2 s, then 3 probes 1 s
// apart; unacknowledged data gives up after 6 s. Hence "gone" is noticed within about 6 s.
void tuneSocket(QTcpSocket* s) {
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const int fd = int(s->socketDescriptor());
    if (fd < 0)
        return;
    int on = 1, idle = 2, interval = 1, count = 3;
    unsigned timeoutMs = 6000;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &timeoutMs, sizeof timeoutMs);
}

QByteArray randomNonce() {
    QByteArray n(qsizetype(kNonceSize), Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(n.data()),
                                          qsizetype(kNonceSize / 4));
    return n;
}

bool sameMac(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

} // namespace

Link::Link(ManagerPrivate* manager, QTcpSocket* socket, bool initiator)
    : QObject(manager->q), m_mgr(manager), m_socket(socket), m_initiator(initiator),
      m_localNonce(randomNonce()) {
    m_socket->setParent(this);
    // Qt would otherwise copy all the kernel holds (up to tcp_rmem, tens of MiB) into its own
    // buffer on every notification; this bounds what a link keeps in memory.
    m_socket->setReadBufferSize(kReadBuffer);
    m_handshakeTimer.setSingleShot(true);
    connect(&m_handshakeTimer, &QTimer::timeout, this, [this] { fail("no proof in time"); });
    m_handshakeTimer.start(kHandshakeTimeoutMs);
    connect(m_socket, &QTcpSocket::readyRead, this, &Link::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &Link::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            onDisconnected();
    });
    connect(m_socket, &QTcpSocket::bytesWritten, this, &Link::wroteBytes);
    if (m_initiator)
        connect(m_socket, &QTcpSocket::connected, this, &Link::onConnected);
    else
        tuneSocket(m_socket);
}

Link::~Link() = default;

QHostAddress Link::peerAddress() const {
    return m_socket->peerAddress();
}

void Link::send(const QByteArray& bytes) {
    if (m_state != State::Closed)
        m_socket->write(bytes);
}

void Link::send(const char* data, qint64 size) {
    if (m_state != State::Closed)
        m_socket->write(data, size);
}

void Link::flush() {
    if (m_state != State::Closed)
        m_socket->flush();
}

qint64 Link::pending() const {
    return m_state == State::Closed ? 0 : m_socket->bytesToWrite();
}

void Link::onConnected() {
    tuneSocket(m_socket);
    send(encodeHello(m_mgr->id, m_localNonce, m_mgr->text));
}

QByteArray Link::mac(bool fromInitiator, const QString& password) const {
    const QUuid initiatorId = m_initiator ? m_mgr->id : m_remoteId;
    const QUuid acceptorId = m_initiator ? m_remoteId : m_mgr->id;
    const QByteArray& initiatorNonce = m_initiator ? m_localNonce : m_remoteNonce;
    const QByteArray& acceptorNonce = m_initiator ? m_remoteNonce : m_localNonce;
    QMessageAuthenticationCode code(QCryptographicHash::Sha256, password.toUtf8());
    code.addData("tether-v1 proof ", 16);
    code.addData(fromInitiator ? "I" : "A", 1);
    code.addData(initiatorNonce);
    code.addData(acceptorNonce);
    code.addData(initiatorId.toRfc4122());
    code.addData(acceptorId.toRfc4122());
    return code.result();
}

void Link::onReadyRead() {
    if (m_state != State::Closed && !m_heldBack)
        readAndDecode();
}

void Link::resume() {
    m_heldBack = false;
    onReadyRead();
}

void Link::readAndDecode() {
    while (decodeBuffered()) {
        const qint64 avail = m_socket->bytesAvailable();
        if (avail <= 0)
            return;
        const qsizetype old = m_in.size();
        m_in.resize(old + avail);
        const qint64 got = m_socket->read(m_in.data() + old, avail);
        m_in.resize(old + std::max<qint64>(got, 0));
        if (got <= 0)
            return;
    }
}

bool Link::decodeBuffered() {
    std::size_t offset = 0;
    while (m_state != State::Closed) {
        if (m_state == State::Paired && !m_draining && m_mgr->holdBack()) {
            m_heldBack = true;
            break;
        }
        // Until the peer has proved the password, every frame is small.
        const std::size_t maxFrame = m_state == State::Paired ? SIZE_MAX : kMaxHandshakeFrame;
        const Decoded d = decodeFrame(QByteArrayView(m_in).sliced(qsizetype(offset)), maxFrame);
        if (d.status == Status::NeedMore)
            break;
        if (d.status != Status::Ok) {
            qCInfo(lcTether) << "closing link from" << m_socket->peerAddress()
                             << statusName(d.status);
            fail("bad frame");
            return false;
        }
        offset += d.consumed;
        if (!handle(d.frame))
            return false;
    }
    if (m_state == State::Closed)
        return false;
    m_in.remove(0, qsizetype(offset));
    return !m_heldBack;
}

bool Link::handle(const Frame& f) {
    switch (m_state) {
    case State::Greeting: {
        if (f.type != FrameType::Hello) {
            fail("expected greeting");
            return false;
        }
        if (f.version != kProtocolVersion || f.id.isNull() || f.id == m_mgr->id ||
            (!m_expectedId.isNull() && f.id != m_expectedId)) {
            fail("unusable greeting");
            return false;
        }
        m_remoteId = f.id;
        m_remoteText = f.text;
        m_remoteNonce = f.nonce;
        m_state = State::Proving;
        if (m_initiator) {
            send(encodeProof(mac(true, m_mgr->passwordFor(m_remoteId))));
        } else {
            send(encodeHello(m_mgr->id, m_localNonce, m_mgr->text));
        }
        return m_state != State::Closed;
    }
    case State::Proving: {
        if (f.type != FrameType::Proof) {
            fail("expected proof");
            return false;
        }
        const QString password = m_mgr->passwordFor(m_remoteId);
        if (m_state == State::Closed)
            return false;
        if (!sameMac(f.mac, mac(!m_initiator, password))) {
            qCInfo(lcTether) << "wrong password from" << m_socket->peerAddress();
            fail("wrong password");
            return false;
        }
        // The acceptor proves itself only to a peer that has proved itself first, so a
        // stranger learns nothing to guess the password from.
        if (!m_initiator)
            send(encodeProof(mac(false, password)));
        m_state = State::Paired;
        m_handshakeTimer.stop();
        m_mgr->linkPaired(this);
        return m_state != State::Closed;
    }
    case State::Paired:
        break;
    case State::Closed:
        return false;
    }

    switch (f.type) {
    case FrameType::Profiles:
        m_mgr->linkProfiles(this, f.profiles);
        return m_state != State::Closed;
    case FrameType::Bye:
        m_closing = true; // the peer is leaving: the manager tells the program why
        finishClose(f.reason == quint8(ByeReason::Unpaired) ? "unpaired" : "closing");
        return false;
    case FrameType::Begin:
    case FrameType::Data:
    case FrameType::End:
    case FrameType::Abort:
        return handleStreamFrame(f);
    case FrameType::Hello:
    case FrameType::Proof:
        break;
    }
    fail("unexpected frame");
    return false;
}

bool Link::handleStreamFrame(const Frame& f) {
    switch (f.type) {
    case FrameType::Begin: {
        if (m_open.size() >= kMaxOpenStreams || m_open.contains(f.streamId)) {
            fail("stream refused");
            return false;
        }
        auto in = std::make_shared<Incoming>();
        in->id = f.streamId;
        in->from = f.fromProfile;
        in->to = f.toProfile;
        in->hint = f.hint;
        in->declared = f.total;
        if (Peer* p = m_mgr->peer(m_remoteId)) {
            for (const ProfileRecord& r : p->profiles)
                if (r.id == f.fromProfile)
                    in->sender = m_mgr->infoFor(*p, r);
        }
        if (in->sender.profileIdentifier.isEmpty()) {
            in->sender.managerIdentifier = m_remoteId.toString(QUuid::WithoutBraces);
            in->sender.profileIdentifier = f.fromProfile.toString(QUuid::WithoutBraces);
        }
        // Nobody here to receive it: its bytes are read and dropped, and no one is told.
        if (!m_mgr->localProfile(f.toProfile)) {
            in->state = Incoming::State::Abandoned;
            in->silent = true;
        }
        m_open.insert(f.streamId, in);
        m_order.push_back(in);
        return true;
    }
    case FrameType::Data: {
        const auto it = m_open.find(f.streamId);
        if (it == m_open.end()) {
            fail("data for no stream");
            return false;
        }
        Incoming& in = **it;
        const quint64 n = quint64(f.data.size());
        const quint64 limit = in.declared == kUnknownLength ? kMaxPayload : in.declared;
        if (n > limit - std::min(limit, in.received) || in.received + n > limit) {
            fail("more data than announced");
            return false;
        }
        if (in.state != Incoming::State::Receiving) {
            in.received += n;
            return true;
        }
        const qint64 before = in.memoryHeld();
        const bool ok = in.append(f.data, m_mgr->thresholdNow(), m_mgr->spoolDir);
        m_mgr->heldInMemory += in.memoryHeld() - before;
        if (!ok) {
            qCWarning(lcTether) << "cannot store incoming stream" << in.hint;
            m_mgr->heldInMemory -= in.memoryHeld();
            in.state = Incoming::State::Abandoned;
            in.reason = QStringLiteral("The received data could not be stored.");
            in.release();
        }
        return true;
    }
    case FrameType::End: {
        const auto in = m_open.take(f.streamId);
        if (!in || f.total != in->received ||
            (in->declared != kUnknownLength && in->declared != in->received)) {
            fail("stream end does not match");
            return false;
        }
        if (in->state == Incoming::State::Receiving) {
            if (in->digest() == f.digest) {
                in->state = Incoming::State::Complete;
                in->finish();
            } else {
                m_mgr->heldInMemory -= in->memoryHeld();
                in->state = Incoming::State::Abandoned;
                in->reason = QStringLiteral("The received data failed verification.");
                in->release();
            }
        }
        flushDeliveries();
        return m_state != State::Closed;
    }
    case FrameType::Abort: {
        const auto in = m_open.take(f.streamId);
        if (!in) {
            fail("abort for no stream");
            return false;
        }
        if (in->state == Incoming::State::Receiving) {
            m_mgr->heldInMemory -= in->memoryHeld();
            in->state = Incoming::State::Abandoned;
            in->reason = QStringLiteral("The sender cancelled it.");
            in->release();
        }
        flushDeliveries();
        return m_state != State::Closed;
    }
    default:
        break;
    }
    return false;
}

void Link::flushDeliveries() {
    while (!m_order.empty() && m_order.front()->state != Incoming::State::Receiving) {
        std::shared_ptr<Incoming> in = std::move(m_order.front());
        m_order.pop_front();
        m_mgr->deliver(in);
    }
}

void Link::onDisconnected() {
    // What the peer sent before it went is still delivered, held back or not.
    if (m_state != State::Closed) {
        m_draining = true;
        m_heldBack = false;
        readAndDecode();
    }
    finishClose("lost");
}

void Link::fail(const char* why) {
    qCInfo(lcTether) << "link" << m_remoteId << "closed:" << why;
    finishClose(why);
}

void Link::dropSilently() {
    m_silent = true;
    finishClose("dropped");
}

void Link::closeWithBye(ByeReason reason) {
    if (m_state == State::Paired) {
        send(encodeBye(reason));
        m_socket->flush();
    }
    m_silent = true;
    finishClose("closed here");
}

void Link::finishClose(const char* why) {
    if (m_state == State::Closed)
        return;
    const bool wasPaired = m_state == State::Paired;
    m_state = State::Closed;
    m_handshakeTimer.stop();
    const QString reason = m_silent || m_closing
                               ? QStringLiteral("The sending program closed.")
                               : QStringLiteral("The connection to the sender was lost.");
    for (const auto& in : std::as_const(m_open)) {
        if (in->state == Incoming::State::Receiving) {
            m_mgr->heldInMemory -= in->memoryHeld();
            in->state = Incoming::State::Abandoned;
            in->reason = reason;
            in->release();
        }
    }
    m_open.clear();
    flushDeliveries();
    m_in = QByteArray();
    // Graceful for what is still queued (a goodbye), abrupt for a peer we refuse.
    if (m_silent && wasPaired)
        m_socket->disconnectFromHost();
    else
        m_socket->abort();
    m_mgr->linkClosed(this, m_silent || !wasPaired, qstrcmp(why, "unpaired") == 0);
    deleteLater();
}

} // namespace tether
