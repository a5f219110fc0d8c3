#include "Incoming.h"
#include "Resource.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>
#include <xxhash.h>

namespace tether {

Incoming::Incoming() : hash(XXH3_createState()) {
    XXH3_64bits_reset(hash);
}

Incoming::~Incoming() {
    release();
    XXH3_freeState(hash);
}

bool Incoming::append(QByteArrayView bytes, qint64 threshold, const QString& spoolDir) {
    XXH3_64bits_update(hash, bytes.data(), std::size_t(bytes.size()));
    received += quint64(bytes.size());
    if (!file && path.isEmpty() && memory.size() + bytes.size() > threshold) {
        QTemporaryFile tmp(QDir(spoolDir).filePath(QStringLiteral("tether-XXXXXX.part")));
        tmp.setAutoRemove(false);
        if (!tmp.open())
            return false;
        path = tmp.fileName();
        tmp.close();
        file = std::make_unique<QFile>(path);
        // Unbuffered: the pieces are large, and a second copy through QFile's buffer only costs.
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            file->write(memory) != memory.size())
            return false;
        memory = QByteArray();
    }
    if (file)
        return file->write(bytes.data(), bytes.size()) == bytes.size();
    memory.append(bytes);
    return true;
}

quint64 Incoming::digest() const {
    return XXH3_64bits_digest(hash);
}

void Incoming::finish() {
    if (file) {
        file->close();
        file.reset();
    }
}

void Incoming::release() {
    reader.reset();
    file.reset();
    if (!path.isEmpty() && !taken)
        QFile::remove(path);
    path.clear();
    memory = QByteArray();
}

// ---- Resource ----

QString Resource::hint() const {
    return d ? d->hint : QString();
}
ProfileInfo Resource::sender() const {
    return d ? d->sender : ProfileInfo();
}
qint64 Resource::size() const {
    return d ? qint64(d->received) : 0;
}
QString Resource::filePath() const {
    return d && !d->taken ? d->path : QString();
}

QIODevice* Resource::stream() const {
    if (!d)
        return nullptr;
    if (!d->reader && !d->taken) {
        if (d->path.isEmpty()) {
            auto* b = new QBuffer(&d->memory);
            b->open(QIODevice::ReadOnly);
            d->reader.reset(b);
        } else {
            auto* f = new QFile(d->path);
            if (!f->open(QIODevice::ReadOnly)) {
                delete f;
                throw Error(QStringLiteral("Cannot read the received data: %1").arg(d->path));
            }
            d->reader.reset(f);
        }
    }
    return d->reader.get();
}

void Resource::saveAs(const QString& target) const {
    if (!d || d->taken)
        throw Error(QStringLiteral("The received data was already saved."));
    if (QFile::exists(target))
        throw Error(
            QStringLiteral("Cannot save the received data: %1 already exists.").arg(target));
    d->reader.reset();
    if (!d->path.isEmpty()) {
        if (QFile::rename(d->path, target)) {
            d->taken = true;
            return;
        }
        // Another file system: fall back to a copy; the temporary file goes after the handler.
        if (!QFile::copy(d->path, target))
            throw Error(QStringLiteral("Cannot save the received data as %1.").arg(target));
        d->taken = true;
        QFile::remove(d->path);
        return;
    }
    QFile f(target);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        f.write(d->memory) != d->memory.size() || !f.flush()) {
        const QString why = f.errorString();
        f.remove();
        throw Error(QStringLiteral("Cannot save the received data as %1: %2").arg(target, why));
    }
    d->taken = true;
}

} // namespace tether
