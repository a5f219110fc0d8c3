#pragma once
#include <QMetaType>
#include <QString>
#include <stdexcept>

namespace tether {

// What discovery tells about another manager; handed back to pairManager/unpairManager.
struct ManagerInfo {
    QString text;       // what that manager's program set as its text when it answered
    QString identifier; // new in every run of that program
    QString address;    // where it answered from (IPv4, dotted)
    quint16 port = 0;   // its pairing port (TCP)
    int version = 0;    // protocol version
    bool operator==(const ManagerInfo&) const = default;
};

// A profile of a paired manager; handed back to connectTo, disconnectFrom and sendStream.
struct ProfileInfo {
    QString text;
    QString group;
    QString managerIdentifier;
    QString profileIdentifier;
    bool operator==(const ProfileInfo&) const = default;
};

// A failed tethering operation (not connected, link lost, device unreadable). The message is
// meant for the user; handlers let it propagate to the program's error report.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The user (or the program) cancelled a send; the receiver was told to discard the stream.
class Cancelled : public Error {
public:
    Cancelled() : Error(QStringLiteral("Sending was cancelled.")) {}
};

} // namespace tether

Q_DECLARE_METATYPE(tether::ManagerInfo)
Q_DECLARE_METATYPE(tether::ProfileInfo)
