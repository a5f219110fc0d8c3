#include "UserList.h"
#include "Helpers.h"
#include "Layouts.h"

OpenReport UserList::OpenDataFile(const QString& rootPath, const QString& delim) {
    OpenReport r = m_data.open(rootPath + delim + QLatin1String(kUserListFile), UserListLayout());
    m_data.setOrder(QStringLiteral("UserName"));
    m_data.first();
    return r;
}

bool UserList::SaveUserEntry(const QString& name, bool blocked) {
    m_data.setOrder(QStringLiteral("UserName"));
    const bool added = !m_data.locate(QStringLiteral("UserName"), name);
    if (added)
        m_data.append();
    else
        m_data.edit();
    m_data.setValue(QStringLiteral("UserName"), name);
    m_data.setValue(QStringLiteral("UserActive"), blocked);
    m_data.setValue(QStringLiteral("DateCreated"), DateTimeText());
    m_data.post();
    return added;
}

void UserList::DeleteUserEntry(qint64 id) {
    if (m_data.locate(QStringLiteral("ID"), id))
        m_data.deleteCurrent();
}

bool UserList::IsUserBlocked(const QString& name) {
    return m_data.locate(QStringLiteral("UserName"), name) &&
           m_data.value(QStringLiteral("UserActive")).toBool();
}

QVector<UserList::Entry> UserList::entries() {
    QVector<Entry> out;
    m_data.setOrder(QStringLiteral("UserName"));
    for (bool ok = m_data.first(); ok; ok = m_data.next())
        out.push_back({m_data.value(0).toLongLong(), m_data.value(1).toString(),
                       m_data.value(2).toBool(), m_data.value(3).toString()});
    m_data.first();
    return out;
}
