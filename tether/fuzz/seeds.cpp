// Writes one valid example of every frame and datagram into a folder: the fuzzer's seeds.
#include "Codec.h"
#include <QDir>
#include <QFile>

using namespace tether;

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid();
    Datagram q{DatagramKind::Query, a, 7, 0, {}};
    Datagram an{DatagramKind::Announce, b, 7, 4000, QStringLiteral("FerroxManager1*")};
    const QList<QByteArray> seeds = {
        encodeDatagram(q),
        encodeDatagram(an),
        encodeHello(a, QByteArray(32, 'n'), QStringLiteral("Manager")),
        encodeProof(QByteArray(32, 'm')),
        encodeProfiles(
            {{a, QStringLiteral("App:Ann 7"), QString()}, {b, QStringLiteral("x"), "a"}}),
        encodeBegin(1, a, b, 5, QStringLiteral("FileTMP1 - Ann")) + encodeData(1, "hello") +
            encodeEnd(1, 5, 42),
        encodeBegin(2, a, b, kUnknownLength, QStringLiteral("Text")) + encodeAbort(2),
        encodeBye(ByeReason::Unpaired),
    };
    for (int i = 0; i < seeds.size(); ++i) {
        QFile f(dir.filePath(QStringLiteral("seed-%1").arg(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(seeds[i]) != seeds[i].size())
            return 1;
    }
    return 0;
}
