#pragma once
// Managers on loopback for tests: each test process takes a discovery port of its own, asks
// only 127.255.255.255 and listens only on 127.0.0.1, so parallel tests and a real copy on
// this computer never hear each other.
#include "Manager.h"
#include "Profile.h"

#include <QHostAddress>
#include <QList>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <memory>

inline quint16 freeDiscoveryPort() {
    static quint16 port = [] {
        QUdpSocket probe;
        probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
        return probe.localPort();
    }();
    return port;
}

struct Node {
    explicit Node(const QString& managerText,
                  const QString& profileText = QStringLiteral("App:Ann 1"),
                  const QString& password = QStringLiteral("4711"))
        : password(password) {
        manager.setDiscoveryPort(freeDiscoveryPort());
        manager.setBroadcastAddresses({QHostAddress(QStringLiteral("127.255.255.255"))});
        manager.setBindAddress(QHostAddress::LocalHost);
        manager.setText(managerText);
        profile.setText(profileText);
        profile.setEnabled(true);
        QObject::connect(&manager, &tether::Manager::requestManagerPassword,
                         [this](const QString&, QString& pw) {
                             ++passwordRequests;
                             pw = this->password;
                         });
        manager.setEnabled(true);
    }

    tether::ManagerInfo findOne(const QString& identifier) {
        QSignalSpy ended(&manager, &tether::Manager::endManagersDiscovery);
        manager.discoverManagers();
        if (!ended.wait(3000))
            return {};
        const auto found = ended.first().first().value<QList<tether::ManagerInfo>>();
        for (const tether::ManagerInfo& m : found)
            if (m.identifier == identifier)
                return m;
        return {};
    }

    tether::ProfileInfo remoteProfile(const Node& other) const {
        const auto all = manager.remoteProfiles();
        for (const tether::ProfileInfo& p : all)
            if (p.profileIdentifier == other.profile.identifier())
                return p;
        return {};
    }

    tether::Manager manager;
    tether::Profile profile{&manager};
    QString password;
    int passwordRequests = 0;
};

// Pairs a with b as the programs do (search, then pair), waits until both sides listed each
// other, and connects a's profile to b's.
inline bool pairNodes(Node& a, Node& b) {
    QSignalSpy aListed(&a.manager, &tether::Manager::endProfilesDiscovery);
    QSignalSpy bListed(&b.manager, &tether::Manager::endProfilesDiscovery);
    const tether::ManagerInfo info = a.findOne(b.manager.identifier());
    if (info.identifier.isEmpty())
        return false;
    a.manager.pairManager(info);
    if (!aListed.wait(3000) || (bListed.isEmpty() && !bListed.wait(3000)))
        return false;
    return a.profile.connectTo(a.remoteProfile(b)) && b.profile.connectTo(b.remoteProfile(a));
}
