#pragma once
// Internal: one TCP connection to another manager, from the greeting through the proof of
// the password to the paired state that carries profile lists and streams.
#include "Codec.h"
#include "Incoming.h"
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <memory>

namespace tether {

struct ManagerPrivate;

class Link : public QObject {
    Q_OBJECT
public:
    enum class State { Greeting, Proving, Paired, Closed };
    // A connection that has not proved the password by then is closed.
    static constexpr int kHandshakeTimeoutMs = 5000;
    // Streams that may be open (begun, not ended) at once on one link.
    static constexpr int kMaxOpenStreams = 16;
    // Bytes taken from the socket per notification.
    static constexpr qint64 kReadBuffer = 1024 * 1024;

    Link(ManagerPrivate* manager, QTcpSocket* socket, bool initiator);
    ~Link() override;

    State state() const { return m_state; }
    bool initiator() const { return m_initiator; }
    QUuid remoteId() const { return m_remoteId; }
    QString remoteText() const { return m_remoteText; }
    QHostAddress peerAddress() const;
    QTcpSocket* socket() const { return m_socket; }

    void send(const QByteArray& bytes);
    void send(const char* data, qint64 size);
    qint64 pending() const;
    // Hands the kernel what it takes now, without waiting for the event loop.
    void flush();
    quint32 nextStreamId() { return ++m_lastStreamId; }
    // Closes without saying goodbye and without events: a duplicate or a failed handshake.
    void dropSilently();
    // Says goodbye, then closes; the manager raises nothing for it.
    void closeWithBye(ByeReason reason);
    void expect(const QUuid& id) { m_expectedId = id; }
    // Stopped reading because the program has enough waiting; resume() goes on.
    bool heldBack() const { return m_heldBack; }
    void resume();
    QUuid expected() const { return m_expectedId; }

signals:
    void wroteBytes();

private:
    void onConnected();
    void onReadyRead();
    void readAndDecode();
    // Handles the whole frames in m_in; false once the link is closed or held back.
    bool decodeBuffered();
    void onDisconnected();
    bool handle(const Frame& f);
    bool handleStreamFrame(const Frame& f);
    QByteArray mac(bool fromInitiator, const QString& password) const;
    void fail(const char* why);
    void finishClose(const char* why);
    void flushDeliveries();

    ManagerPrivate* m_mgr;
    QTcpSocket* m_socket;
    bool m_initiator;
    State m_state = State::Greeting;
    QTimer m_handshakeTimer;
    QByteArray m_in;
    QUuid m_remoteId;
    QUuid m_expectedId; // initiator: the manager it meant to reach
    QString m_remoteText;
    QByteArray m_localNonce, m_remoteNonce;
    bool m_closing = false; // the peer said goodbye
    bool m_silent = false;  // closed by us: no event for the program
    bool m_heldBack = false;
    bool m_draining = false; // the peer is gone: everything it sent is read, held or not
    quint32 m_lastStreamId = 0;
    QHash<quint32, std::shared_ptr<Incoming>> m_open;
    std::deque<std::shared_ptr<Incoming>> m_order; // by BEGIN, until handed to the manager

    friend struct ManagerPrivate;
};

} // namespace tether
