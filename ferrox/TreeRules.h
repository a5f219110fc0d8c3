#pragma once
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

// The rules behind the two folder trees that need no window: names and extensions of paths,
// the file filters, the lines of a listing from the peer, where such a listing goes, and the
// texts a viewed file is read into. Paths are split with a delimiter given by the caller:
// this computer's own for local paths, the peer's for remote ones.
namespace trees {

// Entries whose full path is this long or longer are left out of every listing; the receiving
// side could not store them.
constexpr int kMaxPathLength = 255;

// At most this many bytes of a text file are read for viewing or sent as a text answer, so a
// multi-gigabyte log exhausts nobody's memory.
constexpr qint64 kTextLimit = qint64(16) * 1024 * 1024;

// A filter entry holds at most this many patterns.
constexpr int kMaxFilterPatterns = 26;

// The part of path after its last delimiter; the whole text when it has none.
QString NameOf(const QString& path, QChar delim);

// The extension of the last component of path with its dot, upper-cased (".TXT"); empty when
// the name has no dot.
QString UpperExtension(const QString& path, QChar delim);

// The extensions with their dots (".JPG") named by a filter entry such as "*.JPG;*.PNG".
QStringList FilterExtensions(const QString& patterns);

// The delimiter of the peer's paths: "\" when one of its drive roots ends in "\" (a system with
// drive letters), "/" when its roots are "/"-paths; without drive roots, the first sample that
// holds either decides; fallback when nothing does.
QChar DelimiterOf(const QStringList& driveRoots, const QStringList& samples, QChar fallback);

// Whether the listing of folder goes below the selected node rather than at the top level:
// with c the position of ":" and b of the first delimiter (1-based, 0 when absent) and n the
// length, true when there is no ":", b > 0 and n - b > 0, or when c > 0, b > 0, b - c = 1 and
// n - (c + b) > 0. So "D:\ab\" (six characters) goes below, "D:\a\" (five) at the top.
bool ListingGoesBelow(const QString& folder, QChar delim);

// One line of a listing from the peer: full path + "|0" (folder) or "|1" (file).
struct ListingEntry {
    QString path; // after the computer-name and drive rules below
    bool folder = false;
};
// Trims the line; on a system with drive letters ("\" delimiter) drops a leading "\\computer"
// (keeping the "\" after it) and, when the listing is not going below, the drive letter and
// ":"; drops a leading ":". Nothing for a line that does not end in "|0" or "|1" or names no
// entry.
std::optional<ListingEntry> ParseListingLine(const QString& line, QChar delim, bool below);

// The lines of a text: a byte-order mark decides the encoding; without one UTF-8, or Latin-1
// when the bytes are not valid UTF-8. CR LF, LF and CR end lines; a break after the last line
// makes no extra empty line.
QStringList TextLines(const QByteArray& bytes);

// The head of a text file: its lines up to limit bytes (never a partial line unless the first
// line alone is longer), whether it was cut, and the file's whole size.
struct TextHead {
    QStringList lines;
    bool cut = false;
    qint64 size = 0;
};
// Throws Failure when the file cannot be opened or read.
TextHead ReadTextHead(const QString& path, qint64 limit = kTextLimit);

// The line that stands where a text was cut.
QString CutNotice(qint64 limit);

// The status line of a picture in the viewer. A local picture's tag is shown as it is. A
// picture from the peer has the tag "Photo" + size + "#" + path + "-" + user: it shows path +
// " - " + size text + " Bytes", the path being requestedPath when the tag names it, else the
// text before the last "-" (a path may itself contain "-").
QString PhotoStatus(const QString& tag, const QString& requestedPath);

} // namespace trees
