#include "DataFile.h"
#include "Failure.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <atomic>

Q_LOGGING_CATEGORY(lcData, "fp.data", QtWarningMsg)

namespace {

QString quoted(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The declared column type is what `.schema` shows; it is also how we recognise our files.
QString declaredType(const FieldDef& f) {
    switch (f.type) {
    case FieldType::AutoInc:
        return QStringLiteral("INTEGER");
    case FieldType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(f.size);
    case FieldType::Bool:
        return QStringLiteral("BOOLEAN");
    case FieldType::Int:
        return QStringLiteral("INTEGER");
    case FieldType::Int64:
        return QStringLiteral("BIGINT");
    }
    return {};
}

int compareValues(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) {
        const int c = a.toString().compare(b.toString(), Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const qint64 x = a.toLongLong(), y = b.toLongLong();
    return x < y ? -1 : (x > y ? 1 : 0);
}

QString keptAsideName(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = path + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate =
            path + QStringLiteral(".broken-") + stamp + QLatin1Char('-') + QString::number(n);
    return candidate;
}

} // namespace

int TableLayout::indexOf(const QString& field) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == field)
            return i;
    return -1;
}

DataFile::DataFile() {
    static std::atomic<int> counter{0};
    m_connection = QStringLiteral("datafile-%1").arg(++counter);
}

DataFile::~DataFile() {
    close();
}

bool DataFile::isOpen() const {
    return QSqlDatabase::contains(m_connection);
}

void DataFile::close() {
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_rows.clear();
    m_cursor = -1;
    m_mode = Mode::Browse;
}

OpenReport DataFile::open(const QString& path, const TableLayout& layout) {
    close();
    m_path = path;
    m_layout = layout;
    m_orderField = 0;
    OpenReport report;
    report.created = !QFileInfo::exists(path);

    auto connect = [&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            const QString err = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            throw Failure(QStringLiteral("Cannot open data file %1: %2").arg(path, err));
        }
    };

    connect();
    if (report.created) {
        createTable();
    } else {
        QString reason;
        if (!schemaMatches(&reason)) {
            close();
            const QString aside = keptAsideName(path);
            if (!QFile::rename(path, aside))
                throw Failure(QStringLiteral("The data file %1 cannot be read (%2) and could "
                                             "not be moved aside to %3.")
                                  .arg(path, reason, aside));
            QFile::rename(path + QStringLiteral("-journal"), aside + QStringLiteral("-journal"));
            qCWarning(lcData) << "kept aside" << path << "as" << aside << ":" << reason;
            report.created = true;
            report.keptAsidePath = aside;
            report.reason = reason;
            connect();
            createTable();
        }
    }
    load();
    return report;
}

void DataFile::createTable() {
    QStringList cols;
    for (const FieldDef& f : m_layout.fields) {
        QString col = quoted(f.name) + QLatin1Char(' ') + declaredType(f);
        if (f.type == FieldType::AutoInc)
            col += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        cols << col;
    }
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                    .arg(quoted(m_layout.table), cols.join(QStringLiteral(", ")))))
        throw Failure(
            QStringLiteral("Cannot create data file %1: %2").arg(m_path, q.lastError().text()));
}

bool DataFile::schemaMatches(QString* reason) {
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("PRAGMA quick_check"))) {
        *reason = q.lastError().text();
        return false;
    }
    if (!q.next() || q.value(0).toString() != QLatin1String("ok")) {
        *reason = QStringLiteral("damaged: %1").arg(q.value(0).toString());
        return false;
    }
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(m_layout.table)))) {
        *reason = q.lastError().text();
        return false;
    }
    int i = 0;
    while (q.next()) {
        if (i >= m_layout.fields.size()) {
            *reason = QStringLiteral("more fields than expected");
            return false;
        }
        const FieldDef& f = m_layout.fields[i];
        const QString name = q.value(1).toString();
        const QString type = q.value(2).toString();
        if (name != f.name || type.compare(declaredType(f), Qt::CaseInsensitive) != 0) {
            *reason = QStringLiteral("field %1 is %2 %3, expected %4 %5")
                          .arg(i)
                          .arg(name, type, f.name, declaredType(f));
            return false;
        }
        ++i;
    }
    if (i != m_layout.fields.size()) {
        *reason = i == 0 ? QStringLiteral("no table %1").arg(m_layout.table)
                         : QStringLiteral("fewer fields than expected");
        return false;
    }
    QSqlQuery rows(QSqlDatabase::database(m_connection));
    if (!rows.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(m_layout.table)))) {
        *reason = rows.lastError().text();
        return false;
    }
    return true;
}

void DataFile::load() {
    m_rows.clear();
    QStringList cols;
    for (const FieldDef& f : m_layout.fields)
        cols << quoted(f.name);
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2")
                    .arg(cols.join(QStringLiteral(", ")), quoted(m_layout.table))))
        throw Failure(
            QStringLiteral("Cannot read data file %1: %2").arg(m_path, q.lastError().text()));
    while (q.next()) {
        Row r;
        r.values.resize(m_layout.fields.size());
        for (int i = 0; i < m_layout.fields.size(); ++i)
            r.values[i] = normalise(m_layout.fields[i], q.value(i));
        m_rows.push_back(std::move(r));
    }
    sortRows();
    m_cursor = m_rows.isEmpty() ? -1 : 0;
}

QVariant DataFile::normalise(const FieldDef& f, const QVariant& v) const {
    if (v.isNull() || !v.isValid())
        return QVariant();
    switch (f.type) {
    case FieldType::Text:
        return v.toString().left(f.size);
    case FieldType::Bool:
        return QVariant(v.toBool());
    case FieldType::Int:
        return QVariant(v.toInt());
    case FieldType::AutoInc:
    case FieldType::Int64:
        return QVariant(v.toLongLong());
    }
    return v;
}

int DataFile::fieldIndex(const QString& field) const {
    const int i = m_layout.indexOf(field);
    if (i < 0)
        throw Failure(QStringLiteral("Data file %1 has no field %2").arg(m_path, field));
    return i;
}

void DataFile::sortRows() {
    const int f = m_orderField;
    std::stable_sort(m_rows.begin(), m_rows.end(), [f](const Row& a, const Row& b) {
        return compareValues(a.values[f], b.values[f]) < 0;
    });
}

void DataFile::setOrder(const QString& field) {
    const int f = fieldIndex(field);
    const QVariant id =
        (m_cursor >= 0 && m_cursor < m_rows.size()) ? m_rows[m_cursor].values[0] : QVariant();
    m_orderField = f;
    sortRows();
    m_cursor = m_rows.isEmpty() ? -1 : 0;
    if (id.isValid())
        for (int i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].values[0] == id)
                m_cursor = i;
}

bool DataFile::first() {
    m_cursor = m_rows.isEmpty() ? -1 : 0;
    return m_cursor == 0;
}

bool DataFile::next() {
    if (m_cursor < 0 || m_cursor >= m_rows.size())
        return false;
    ++m_cursor;
    return m_cursor < m_rows.size();
}

bool DataFile::eof() const {
    return m_cursor < 0 || m_cursor >= m_rows.size();
}

bool DataFile::locate(const QString& field, const QVariant& value) {
    const int f = fieldIndex(field);
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant& v = m_rows[i].values[f];
        if (!v.isNull() && compareValues(v, value) == 0 &&
            (v.typeId() != QMetaType::QString || v.toString() == value.toString())) {
            m_cursor = i;
            return true;
        }
    }
    return false;
}

QVariant DataFile::value(const QString& field) const {
    return value(fieldIndex(field));
}

QVariant DataFile::value(int position) const {
    if (m_mode != Mode::Browse)
        return m_pending.values.value(position);
    if (eof() || position < 0 || position >= m_layout.fields.size())
        return QVariant();
    return m_rows[m_cursor].values[position];
}

void DataFile::append() {
    m_pending = Row();
    m_pending.values.resize(m_layout.fields.size());
    m_mode = Mode::Insert;
}

void DataFile::edit() {
    if (eof())
        throw Failure(QStringLiteral("Data file %1: no current record to edit").arg(m_path));
    m_pending = m_rows[m_cursor];
    m_mode = Mode::Edit;
}

void DataFile::setValue(const QString& field, const QVariant& v) {
    if (m_mode == Mode::Browse)
        throw Failure(QStringLiteral("Data file %1: not editing").arg(m_path));
    const int i = fieldIndex(field);
    m_pending.values[i] = normalise(m_layout.fields[i], v);
}

void DataFile::post() {
    if (m_mode == Mode::Browse)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    QSqlQuery q(db);
    QStringList cols, marks;
    QVariantList vals;
    for (int i = 1; i < m_layout.fields.size(); ++i) {
        cols << quoted(m_layout.fields[i].name);
        marks << QStringLiteral("?");
        const QVariant& v = m_pending.values[i];
        vals << (m_layout.fields[i].type == FieldType::Bool && !v.isNull() ? QVariant(v.toInt())
                                                                           : v);
    }
    const QString table = quoted(m_layout.table);
    if (m_mode == Mode::Insert) {
        q.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    } else {
        QStringList sets;
        for (const QString& c : std::as_const(cols))
            sets << c + QStringLiteral(" = ?");
        q.prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                .arg(table, sets.join(QStringLiteral(", ")), quoted(m_layout.fields[0].name)));
        vals << m_pending.values[0];
    }
    for (const QVariant& v : std::as_const(vals))
        q.addBindValue(v);
    if (!q.exec())
        throw Failure(
            QStringLiteral("Cannot write data file %1: %2").arg(m_path, q.lastError().text()));
    if (m_mode == Mode::Insert) {
        m_pending.values[0] = q.lastInsertId().toLongLong();
        m_rows.push_back(m_pending);
    } else {
        m_rows[m_cursor] = m_pending;
    }
    const QVariant id = m_pending.values[0];
    m_mode = Mode::Browse;
    sortRows();
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].values[0] == id)
            m_cursor = i;
}

void DataFile::deleteCurrent() {
    if (eof())
        return;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                  .arg(quoted(m_layout.table), quoted(m_layout.fields[0].name)));
    q.addBindValue(m_rows[m_cursor].values[0]);
    if (!q.exec())
        throw Failure(
            QStringLiteral("Cannot write data file %1: %2").arg(m_path, q.lastError().text()));
    m_rows.removeAt(m_cursor);
    if (m_cursor >= m_rows.size())
        m_cursor = m_rows.isEmpty() ? -1 : int(m_rows.size()) - 1;
}
