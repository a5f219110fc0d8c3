#include "TreeRules.h"
#include "Failure.h"
#include "Helpers.h"

#include <QFile>
#include <QStringDecoder>

namespace trees {

namespace {

// Decodes bytes as TextLines describes. With complete false the bytes are the head of a longer
// text: a character cut in two at its end is left out rather than taken for an error.
QString Decode(const QByteArray& bytes, bool complete) {
    const QStringConverter::Flags flags =
        complete ? QStringConverter::Flag::Stateless : QStringConverter::Flag::Default;
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom, flags);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, flags);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QStringList SplitLines(const QString& text, bool* endsWithBreak) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (endsWithBreak)
        *endsWithBreak = start == n;
    if (start < n)
        lines << text.mid(start);
    return lines;
}

} // namespace

QString NameOf(const QString& path, QChar delim) {
    const qsizetype k = path.lastIndexOf(delim);
    return k < 0 ? path : path.mid(k + 1);
}

QString UpperExtension(const QString& path, QChar delim) {
    const QString name = NameOf(path, delim);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

QStringList FilterExtensions(const QString& patterns) {
    QStringList out;
    const QStringList parts = patterns.split(QLatin1Char(';'));
    for (const QString& p : parts) {
        if (out.size() == kMaxFilterPatterns)
            break;
        out << p.mid(1); // "*.JPG" -> ".JPG"
    }
    return out;
}

QChar DelimiterOf(const QStringList& driveRoots, const QStringList& samples, QChar fallback) {
    const QChar back = QLatin1Char('\\');
    const QChar slash = QLatin1Char('/');
    for (const QString& root : driveRoots) {
        if (root.endsWith(back))
            return back;
        if (root.startsWith(slash))
            return slash;
    }
    for (const QString& s : samples) {
        if (s.contains(slash))
            return slash;
        if (s.contains(back))
            return back;
    }
    return fallback;
}

bool ListingGoesBelow(const QString& folder, QChar delim) {
    const qsizetype c = folder.indexOf(QLatin1Char(':')) + 1;
    const qsizetype b = folder.indexOf(delim) + 1;
    const qsizetype n = folder.size();
    if (c == 0)
        return b > 0 && n - b > 0;
    return b > 0 && b - c == 1 && n - (c + b) > 0;
}

std::optional<ListingEntry> ParseListingLine(const QString& line, QChar delim, bool below) {
    const bool driveLetters = delim == QLatin1Char('\\');
    QString s = line.trimmed();
    if (driveLetters && s.startsWith(QLatin1String("\\\\"))) {
        // "\\computer\share\..." names a share of another computer: keep "\share\...".
        const qsizetype next = s.indexOf(delim, 2);
        s = next < 0 ? QString() : s.mid(next);
    }
    if (s.startsWith(QLatin1Char(':')))
        s.remove(0, 1);
    if (!s.endsWith(QLatin1String("|0")) && !s.endsWith(QLatin1String("|1")))
        return std::nullopt;
    ListingEntry entry;
    entry.folder = s.endsWith(QLatin1Char('0'));
    s.chop(2);
    if (driveLetters && !below && s.size() >= 2 && s.at(1) == QLatin1Char(':'))
        s.remove(0, 2);
    if (NameOf(s, delim).trimmed().isEmpty())
        return std::nullopt;
    entry.path = s;
    return entry;
}

QStringList TextLines(const QByteArray& bytes) {
    return SplitLines(Decode(bytes, true), nullptr);
}

TextHead ReadTextHead(const QString& path, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString()));
    TextHead head;
    head.size = file.size();
    const QByteArray bytes = file.read(limit);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        throw Failure(
            QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString()));
    // A device or a file that grew since its size was taken may hold more than it said.
    head.cut = head.size > limit || (bytes.size() == limit && !file.atEnd());
    bool endsWithBreak = false;
    head.lines = SplitLines(Decode(bytes, !head.cut), &endsWithBreak);
    if (head.cut && !endsWithBreak && head.lines.size() > 1)
        head.lines.removeLast(); // only whole lines, unless one line is all there is
    return head;
}

QString CutNotice(qint64 limit) {
    return QStringLiteral("[The text was cut here: only its first %1 MiB are shown.]")
        .arg(limit / (1024 * 1024));
}

QString PhotoStatus(const QString& tag, const QString& requestedPath) {
    const QLatin1String kind("Photo");
    const qsizetype hash = tag.indexOf(QLatin1Char('#'));
    if (!tag.startsWith(kind) || hash < 0)
        return tag;
    bool ok = false;
    const qint64 size = tag.mid(kind.size(), hash - kind.size()).toLongLong(&ok);
    if (!ok)
        return tag;
    const QString rest = tag.mid(hash + 1);
    QString path;
    if (!requestedPath.isEmpty() && rest.startsWith(requestedPath + QLatin1Char('-'))) {
        path = requestedPath;
    } else {
        const qsizetype dash = rest.lastIndexOf(QLatin1Char('-'));
        path = dash < 0 ? rest : rest.left(dash);
    }
    return path + QStringLiteral(" - ") + SizeText(size) + QStringLiteral(" Bytes");
}

} // namespace trees
