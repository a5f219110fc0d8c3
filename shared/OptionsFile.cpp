#include "OptionsFile.h"
#include "Helpers.h"

#include <QFileInfo>

OpenReport OptionsFile::open(const QString& path, const TableLayout& layout) {
    OpenReport r = m_data.open(path, layout);
    m_data.setOrder(QStringLiteral("LocalUser"));
    return r;
}

bool OptionsFile::load(const QVector<OptionBinding>& bindings) {
    m_data.setOrder(QStringLiteral("LocalUser"));
    if (!m_data.first())
        return false;
    for (const OptionBinding& b : bindings) {
        const QVariant v = m_data.value(b.field);
        switch (b.rule) {
        case OptionBinding::Always:
            b.set(v);
            break;
        case OptionBinding::NotNull:
            if (!v.isNull())
                b.set(v);
            break;
        case OptionBinding::NotBlank:
            if (!v.isNull() && !v.toString().trimmed().isEmpty())
                b.set(v);
            break;
        }
    }
    return true;
}

void OptionsFile::save(const QVector<OptionBinding>& bindings) {
    if (m_data.first())
        m_data.edit();
    else
        m_data.append();
    for (const OptionBinding& b : bindings)
        m_data.setValue(b.field, b.get());
    m_data.setValue(QStringLiteral("LastUpdated"), DateTimeText());
    m_data.post();
}

bool OptionsFile::saveWindowBounds(int left, int top, int height, int width) {
    if (!m_data.isOpen() || !QFileInfo::exists(m_data.path()))
        return false;
    m_data.setOrder(QStringLiteral("ID"));
    if (!m_data.first())
        return false;
    m_data.edit();
    m_data.setValue(QStringLiteral("Left"), left);
    m_data.setValue(QStringLiteral("Top"), top);
    m_data.setValue(QStringLiteral("Height"), height);
    m_data.setValue(QStringLiteral("Width"), width);
    m_data.post();
    return true;
}
