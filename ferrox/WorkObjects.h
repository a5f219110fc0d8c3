#pragma once
#include <QImage>
#include <QObject>
#include <QStringList>

// Hidden helpers of the main window that hold data rather than show it. They are QObjects
// only so that they carry their names like the visible controls do.

// A list of text lines: the work list and the path list of a transfer.
class TextList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QStringList Lines;
};

// A picture held in memory, e.g. the one being sent to a peer.
class PictureHolder : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QImage Bitmap;
    QString Tag; // the picture's path + "-" + the user who holds it
};
