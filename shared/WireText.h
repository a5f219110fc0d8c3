#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Texts that cross the wire between two copies of a program: the text lists carried by
// "Text" and "Error" messages, the descriptions of "File" and "List" messages, and the names
// of received files.
namespace wire {

// A text list: every line followed by CR LF (the last one too), in UTF-8.
QByteArray EncodeTextList(const QStringList& lines);
// Decodes a text list. A byte-order mark (UTF-8, UTF-16 LE/BE) decides the encoding; without
// one the bytes are UTF-8. LF alone also ends a line; the line break after the last line
// does not make an extra empty line.
QStringList DecodeTextList(const QByteArray& bytes);

// The lines of a list file (a send or get list) up to its first empty line; a UTF-8 byte-order
// mark is skipped. Read line by line: a list is small, but what a peer sends need not be.
// Throws Failure when the file cannot be read.
QStringList ReadListFile(const QString& path);

// "File" and "List" descriptions: kind word + name + " - " + sender. Split at the last
// " - " so that a sender called Mary-Ann stays whole; only when there is no " - " at all, at
// the last "-". Without any "-" there is no sender and the name is the whole rest.
struct NamedDescription {
    QString name;   // untrimmed, as it stood before the separator
    QString sender; // trimmed
    bool hasSender = false;
};
NamedDescription SplitNamedDescription(const QString& rest);

// The last component of a path, with "/" and "\\" both separating.
QString LastPathComponent(const QString& path);

// The file name a received name may be stored under: only its last path component ("/" and
// "\" both separate), trimmed of blanks. Empty names, ".", ".." and names with control
// characters are refused.
std::optional<QString> SafeFileName(const QString& received);

// One line of a drive list: root + "|" + free bytes. Without "|" the whole line is the root
// and the free bytes are 0; a number that is not an integer is read as far as it goes.
struct DriveLine {
    QString root;
    qint64 freeBytes = 0;
};
DriveLine ParseDriveLine(const QString& line);

// A picture tag is path + "-" + user: the path is the tag without that known ending (a path
// may contain "-" itself). A tag without the ending is taken whole.
QString PathOfPictureTag(const QString& tag, const QString& user);

} // namespace wire
