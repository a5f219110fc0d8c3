#pragma once
// Internal: one stream on its way in, from BEGIN to its delivery or abandonment.
#include "Types.h"
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QUuid>
#include <memory>

struct XXH3_state_s;

namespace tether {

struct Incoming {
    enum class State { Receiving, Complete, Abandoned };
    Incoming();
    ~Incoming();
    Incoming(const Incoming&) = delete;
    Incoming& operator=(const Incoming&) = delete;

    // Appends payload bytes; moves to a file once they pass `threshold`. False when the file
    // cannot be written.
    bool append(QByteArrayView bytes, qint64 threshold, const QString& spoolDir);
    quint64 digest() const;
    void finish();  // closes the file so a queue of many finished streams holds no descriptors
    void release(); // removes the file unless taken over, frees memory
    qint64 memoryHeld() const { return file ? 0 : memory.size(); }

    quint32 id = 0;
    QUuid from, to;
    ProfileInfo sender;
    QString hint;
    quint64 declared = 0;
    quint64 received = 0;
    State state = State::Receiving;
    QString reason;
    QByteArray memory;
    std::unique_ptr<QFile> file;
    QString path;
    bool taken = false;
    bool silent = false; // abandoned without telling anyone (no such profile here)
    std::unique_ptr<QIODevice> reader;
    XXH3_state_s* hash = nullptr;
};

} // namespace tether
