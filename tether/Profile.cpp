#include "Profile.h"
#include "Link.h"
#include "ManagerPrivate.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <xxhash.h>

namespace tether {
namespace {

// Read and sent in pieces of this size; a file is never held whole in memory.
constexpr qint64 kSendPiece = 256 * 1024;
// The send waits for the socket while more than this is queued in it.
constexpr qint64 kSendQueueLimit = 2 * 1024 * 1024;
constexpr qint64 kProgressEveryMs = 100;

} // namespace

Profile::Profile(Manager* manager, QObject* parent) : QObject(parent), m_manager(manager) {
    Q_ASSERT(manager);
    manager->d->profiles.append(this);
}

Profile::~Profile() {
    if (m_manager) {
        m_manager->d->profiles.removeAll(this);
        if (m_enabled)
            m_manager->d->sendProfilesToAll();
    }
}

void Profile::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    if (m_enabled && m_manager)
        m_manager->d->sendProfilesToAll();
}

void Profile::setGroup(const QString& group) {
    if (group == m_group)
        return;
    m_group = group;
    if (m_enabled && m_manager)
        m_manager->d->sendProfilesToAll();
}

void Profile::setEnabled(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (m_manager)
        m_manager->d->sendProfilesToAll();
}

bool Profile::connectTo(const ProfileInfo& remote) {
    if (!m_manager)
        return false;
    const Peer* p = m_manager->d->peerFor(remote);
    if (!p)
        return false;
    const QUuid pid(remote.profileIdentifier);
    const bool listed = std::any_of(p->profiles.cbegin(), p->profiles.cend(),
                                    [&pid](const ProfileRecord& r) { return r.id == pid; });
    if (!listed)
        return false;
    m_connected.insert(remote.profileIdentifier);
    return true;
}

void Profile::disconnectFrom(const ProfileInfo& remote) {
    m_connected.remove(remote.profileIdentifier);
}

bool Profile::isConnectedTo(const ProfileInfo& remote) const {
    if (!m_manager || !m_connected.contains(remote.profileIdentifier))
        return false;
    const Peer* p = m_manager->d->peerFor(remote);
    const QUuid pid(remote.profileIdentifier);
    return p && std::any_of(p->profiles.cbegin(), p->profiles.cend(),
                            [&pid](const ProfileRecord& r) { return r.id == pid; });
}

void Profile::cancelSend() {
    if (m_sending > 0)
        m_cancel = true;
}

void Profile::setSendInputAllowed(bool on) {
    m_inputAllowed = on;
}

void Profile::waitWhileSending(const std::function<bool()>& done) {
    m_manager->d->waitFor(done, m_inputAllowed);
}

void Profile::sendStream(const ProfileInfo& remote, const QString& description, QIODevice* device) {
    if (!isConnectedTo(remote))
        throw Error(QStringLiteral("Not connected to %1.").arg(remote.text));
    if (!device || !device->isOpen() || !device->isReadable())
        throw Error(QStringLiteral("Nothing readable to send to %1.").arg(remote.text));
    ManagerPrivate* d = m_manager->d.get();
    QPointer<Link> link = d->peerFor(remote)->link;

    const bool sequential = device->isSequential();
    const qint64 total = sequential ? -1 : device->size();
    if (!sequential && !device->seek(0))
        throw Error(
            QStringLiteral("Cannot read what is to be sent: %1").arg(device->errorString()));

    Busy busy(d, d->sendDepth); // events wait until the send is over
    ++m_sending;
    m_cancel = false;
    struct SendingScope {
        Profile* p;
        ~SendingScope() {
            if (--p->m_sending == 0)
                p->m_cancel = false;
        }
    } scope{this};

    const auto linkGone = [&] { return !link || link->state() != Link::State::Paired; };
    const QString lost = QStringLiteral("The connection to %1 was lost.").arg(remote.text);
    d->turnIfDue(m_inputAllowed);
    if (m_cancel)
        throw Cancelled();
    if (linkGone())
        throw Error(lost);
    const quint32 streamId = link->nextStreamId();
    link->send(encodeBegin(streamId, m_uuid, QUuid(remote.profileIdentifier),
                           total < 0 ? kUnknownLength : quint64(total), description));
    emit sendStarted(description, total);

    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> hash(XXH3_createState(),
                                                                  &XXH3_freeState);
    XXH3_64bits_reset(hash.get());
    // A small file needs no buffer of the full piece size, and there are often thousands.
    QByteArray piece(total < 0 ? kSendPiece : std::clamp<qint64>(total, 1, kSendPiece),
                     Qt::Uninitialized);
    qint64 done = 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();

    const auto abandon = [&](const QString& why) {
        if (link && link->state() == Link::State::Paired)
            link->send(encodeAbort(streamId));
        emit sendFinished(false);
        if (why.isEmpty())
            throw Cancelled();
        throw Error(why);
    };

    while (total < 0 || done < total) {
        d->turnIfDue(m_inputAllowed);
        if (link && link->pending() > kSendQueueLimit)
            waitWhileSending(
                [&] { return m_cancel || linkGone() || link->pending() <= kSendQueueLimit / 2; });
        if (m_cancel)
            abandon(QString());
        if (linkGone())
            abandon(lost);
        const qint64 want = total < 0 ? kSendPiece : std::min(kSendPiece, total - done);
        const qint64 n = device->read(piece.data(), want);
        if (n < 0)
            abandon(
                QStringLiteral("Cannot read what is to be sent: %1").arg(device->errorString()));
        if (n == 0) {
            if (total < 0)
                break;
            // The file got shorter while it was being sent: what arrives would not be it.
            abandon(QStringLiteral("What was being sent changed its size."));
        }
        XXH3_64bits_update(hash.get(), piece.constData(), std::size_t(n));
        link->send(encodeDataHeader(streamId, std::size_t(n)));
        link->send(piece.constData(), n);
        // Straight to the kernel: a slow source's pieces go out as they come, not once the
        // queue is full, and a fast one needs no turn of the loop for every piece.
        link->flush();
        done += n;
        if (sinceProgress.elapsed() >= kProgressEveryMs) {
            sinceProgress.restart();
            emit sendProgress(done, total);
        }
    }
    link->send(encodeEnd(streamId, quint64(done), XXH3_64bits_digest(hash.get())));
    link->flush();
    waitWhileSending([&] { return linkGone() || link->pending() == 0; });
    if (linkGone()) {
        emit sendFinished(false);
        throw Error(lost);
    }
    emit sendProgress(done, total);
    emit sendFinished(true);
}

} // namespace tether
