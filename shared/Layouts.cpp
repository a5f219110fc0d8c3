#include "Layouts.h"

const TableLayout& UserListLayout() {
    static const TableLayout layout{QStringLiteral("ConfigUsers"),
                                    {
                                        {QStringLiteral("ID"), FieldType::AutoInc},
                                        {QStringLiteral("UserName"), FieldType::Text, 50},
                                        {QStringLiteral("UserActive"), FieldType::Bool},
                                        {QStringLiteral("DateCreated"), FieldType::Text, 25},
                                    }};
    return layout;
}

namespace {
// Both settings layouts share every field but UseStyleFont, which only Ferrox has.
TableLayout optionsLayout(const QString& table, bool withStyleFont) {
    TableLayout l{table,
                  {
                      {QStringLiteral("ID"), FieldType::AutoInc},
                      {QStringLiteral("LocalUser"), FieldType::Text, 50},
                      {QStringLiteral("StrRemoteUser"), FieldType::Text, 50},
                      {QStringLiteral("StyleIndx"), FieldType::Int},
                      {QStringLiteral("SaveFileFldr"), FieldType::Text, 200},
                      {QStringLiteral("SavAudioFile"), FieldType::Text, 200},
                      {QStringLiteral("Font"), FieldType::Text, 50},
                      {QStringLiteral("FontSize"), FieldType::Int},
                      {QStringLiteral("FontBold"), FieldType::Bool},
                      {QStringLiteral("FontItalic"), FieldType::Bool},
                      {QStringLiteral("FontColor"), FieldType::Int64},
                      {QStringLiteral("ByPassList"), FieldType::Bool},
                  }};
    if (withStyleFont)
        l.fields.push_back({QStringLiteral("UseStyleFont"), FieldType::Bool});
    l.fields.push_back({QStringLiteral("Left"), FieldType::Int});
    l.fields.push_back({QStringLiteral("Top"), FieldType::Int});
    l.fields.push_back({QStringLiteral("Height"), FieldType::Int});
    l.fields.push_back({QStringLiteral("Width"), FieldType::Int});
    l.fields.push_back({QStringLiteral("LastUpdated"), FieldType::Text, 26});
    return l;
}
} // namespace

const TableLayout& FerroxOptionsLayout() {
    static const TableLayout layout = optionsLayout(QStringLiteral("Options2"), true);
    return layout;
}

const TableLayout& ParlovaOptionsLayout() {
    static const TableLayout layout = optionsLayout(QStringLiteral("Options"), false);
    return layout;
}
