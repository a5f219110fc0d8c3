#pragma once
#include "Types.h"
#include <QString>
#include <memory>

class QIODevice;

namespace tether {

struct Incoming;

// One stream received from a remote profile, as handed to Profile::resourceReceived. It is
// complete and its length and digest are verified. It is valid only while the handler runs:
// afterwards the library closes the stream and removes its temporary file, unless the
// handler took the file over with saveAs.
class Resource {
public:
    Resource() = default;
    explicit Resource(std::shared_ptr<Incoming> d) : d(std::move(d)) {}

    QString hint() const;       // the description the sender gave
    ProfileInfo sender() const; // the remote profile it came from
    qint64 size() const;
    // The bytes, open for reading at position 0. Large payloads are read from a temporary
    // file, small ones from memory.
    QIODevice* stream() const;
    // The temporary file holding the bytes, empty when they are held in memory.
    QString filePath() const;
    // Puts the bytes at `path` (replacing nothing: an existing file there is an error):
    // renames the temporary file when there is one (no copy when on the same file system),
    // otherwise writes the bytes. stream() is closed afterwards. Throws Error on failure.
    void saveAs(const QString& path) const;

private:
    std::shared_ptr<Incoming> d;
};

} // namespace tether
