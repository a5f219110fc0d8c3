#pragma once
#include "DataFile.h"
#include <functional>

// Ties one field of the settings record to one field of a main window (or a plain state
// object). The programs describe their settings as a table of these.
struct OptionBinding {
    enum Rule {
        Always,  // read unconditionally
        NotNull, // read only when the stored value is not null
        NotBlank // read only when the stored text, trimmed, is not empty (untrimmed text taken)
    };
    QString field;
    std::function<QVariant()> get;
    std::function<void(const QVariant&)> set;
    Rule rule = Always;
};

// The settings record, Options2.cds (Ferrox) or Options.cds (Parlova): at most one record.
class OptionsFile {
public:
    // Opens or creates the file and orders it by LocalUser.
    OpenReport open(const QString& path, const TableLayout& layout);
    void close() { m_data.close(); }

    // Reads the first record into the bindings; false (defaults untouched) when there is none.
    bool load(const QVector<OptionBinding>& bindings);
    // Writes every binding into the first record (added when there is none), with
    // LastUpdated = now, and commits it.
    void save(const QVector<OptionBinding>& bindings);
    // Stores the bounds only when the file exists on disk and holds a record; true when stored.
    bool saveWindowBounds(int left, int top, int height, int width);

    DataFile& data() { return m_data; }

private:
    DataFile m_data;
};
