#pragma once
#include <QString>
#include <QVariant>
#include <QVector>

// A data file is one SQLite database holding one table. Its columns are the layout's fields
// in their given order; the storage layer keeps an in-memory copy of the rows with a cursor
// and commits every post and delete at once, so a killed program loses nothing it posted.

enum class FieldType { AutoInc, Text, Bool, Int, Int64 };

struct FieldDef {
    QString name;
    FieldType type;
    int size = 0; // characters, for Text
};

struct TableLayout {
    QString table;
    QVector<FieldDef> fields;
    int indexOf(const QString& field) const;
};

// What opening found: a missing file is created, an unreadable one is kept aside.
struct OpenReport {
    bool created = false;  // the file did not exist (or was replaced after being kept aside)
    QString keptAsidePath; // non-empty when an existing file was unreadable and renamed
    QString reason;        // why it was kept aside
};

class DataFile {
public:
    DataFile();
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // Opens the file, or creates an empty one with the layout. Throws Failure when the
    // file can neither be opened nor created.
    OpenReport open(const QString& path, const TableLayout& layout);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
    const TableLayout& layout() const { return m_layout; }

    // Keeps the rows ordered ascending by one field (text compared exactly).
    void setOrder(const QString& field);

    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool first();     // false when empty
    bool next();      // false past the last
    bool eof() const; // cursor past the last row (or no rows)
    // Moves to the first row, in the current order, whose field equals value exactly.
    bool locate(const QString& field, const QVariant& value);

    QVariant value(const QString& field) const;
    QVariant value(int position) const;

    void append(); // begins a new row (values null, ID assigned at post)
    void edit();   // begins editing the current row
    void setValue(const QString& field, const QVariant& v);
    void post();          // commits the pending row; text is cut to its limit
    void deleteCurrent(); // removes the current row from the file at once

private:
    struct Row {
        QVector<QVariant> values;
    };
    void createTable();
    bool schemaMatches(QString* reason);
    void load();
    void sortRows();
    QVariant normalise(const FieldDef& f, const QVariant& v) const;
    int fieldIndex(const QString& field) const;

    QString m_path;
    QString m_connection;
    TableLayout m_layout;
    QVector<Row> m_rows;
    int m_orderField = 0;
    int m_cursor = -1;
    enum class Mode { Browse, Insert, Edit } m_mode = Mode::Browse;
    Row m_pending;
};
