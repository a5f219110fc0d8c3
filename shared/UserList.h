#pragma once
#include "DataFile.h"

// The user list, ConfigUsers.cds: who is known and who is blocked.
class UserList {
public:
    struct Entry {
        qint64 id = 0;
        QString userName;
        bool blocked = false; // the UserActive field: true means blocked
        QString dateCreated;
    };

    // Opens or creates ROOTPATH + delim + "ConfigUsers.cds" and orders it by UserName.
    OpenReport OpenDataFile(const QString& rootPath, const QString& delim);
    void close() { m_data.close(); }

    // Adds or updates the entry of that exact name; true when an entry was added.
    bool SaveUserEntry(const QString& name, bool blocked);
    void DeleteUserEntry(qint64 id);
    // Exact, case-sensitive look-up; an unknown name is not blocked.
    bool IsUserBlocked(const QString& name);

    QVector<Entry> entries(); // ordered by UserName
    int count() const { return m_data.recordCount(); }
    DataFile& data() { return m_data; }

private:
    DataFile m_data;
};
