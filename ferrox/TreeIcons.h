#pragma once
#include <QIcon>
#include <QObject>
#include <QString>
#include <QVector>

// The pictures of the folder trees and of the two list menus, drawn in code so that they suit
// light and dark styles alike. An index of 0 or 1 marks a folder, 2 and above a file.
class TreeIcons : public QObject {
    Q_OBJECT
public:
    enum Index {
        Closed = 0,
        Open = 1,
        Text = 2,
        DataBase = 3,
        Image = 4,
        Video = 5,
        Music = 6,
        Sound = 7,
        ZipFile = 8,
        Unknown = 9,
        Delete = 10,
        Delall = 11,
        RunTime = 12,
        Count = 13
    };

    explicit TreeIcons(QObject* parent = nullptr);
    int count() const { return static_cast<int>(m_icons.size()); }
    // An empty icon for an index out of range.
    QIcon icon(int index) const;
    QString name(int index) const;

private:
    QVector<QIcon> m_icons;
};
