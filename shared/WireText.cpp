#include "WireText.h"

#include "Failure.h"

#include <QFile>
#include <QStringDecoder>

namespace wire {

QByteArray EncodeTextList(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    return out;
}

QStringList DecodeTextList(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {};
    QString text;
    const auto bom = QStringConverter::encodingForData(bytes);
    if (bom && *bom != QStringConverter::Utf8) {
        QStringDecoder decoder(*bom);
        text = decoder.decode(bytes);
    } else {
        text = QString::fromUtf8(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList ReadListFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot read the list %1: %2").arg(path, f.errorString()));
    QStringList lines;
    bool firstLine = true;
    while (!f.atEnd()) {
        QByteArray raw = f.readLine(64 * 1024);
        if (firstLine && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        firstLine = false;
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        if (raw.isEmpty())
            break;
        lines << QString::fromUtf8(raw);
    }
    return lines;
}

NamedDescription SplitNamedDescription(const QString& rest) {
    NamedDescription d;
    qsizetype p = rest.lastIndexOf(QLatin1String(" - "));
    qsizetype skip = 3;
    if (p < 0) {
        p = rest.lastIndexOf(QLatin1Char('-'));
        skip = 1;
    }
    if (p < 0) {
        d.name = rest;
        return d;
    }
    d.name = rest.left(p + (skip == 3 ? 1 : 0)); // keeps the blank before "-", as sent
    d.sender = rest.mid(p + skip).trimmed();
    d.hasSender = true;
    return d;
}

QString LastPathComponent(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? path : path.mid(cut + 1);
}

std::optional<QString> SafeFileName(const QString& received) {
    const QString name = LastPathComponent(received).trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    for (const QChar c : std::as_const(name))
        if (c.category() == QChar::Other_Control || c == QChar(0x7F))
            return std::nullopt;
    return name;
}

DriveLine ParseDriveLine(const QString& line) {
    DriveLine d;
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        d.root = line;
        return d;
    }
    d.root = line.left(bar);
    const QString num = line.mid(bar + 1).trimmed();
    qsizetype end = 0;
    if (end < num.size() && (num[end] == QLatin1Char('-') || num[end] == QLatin1Char('+')))
        ++end;
    while (end < num.size() && num[end].isDigit() && end < 20)
        ++end;
    bool ok = false;
    const qint64 v = num.left(end).toLongLong(&ok);
    d.freeBytes = ok ? v : 0;
    return d;
}

QString PathOfPictureTag(const QString& tag, const QString& user) {
    const QString ending = QLatin1Char('-') + user;
    if (tag.endsWith(ending))
        return tag.left(tag.size() - ending.size());
    return tag;
}

} // namespace wire
