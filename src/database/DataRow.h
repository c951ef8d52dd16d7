#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// One result row: column names (shared by the rows of a query) and values; null stays a null
// variant. Names are found case-insensitively, the first column of a name wins (joins).
class TDataRow
{
public:
    TDataRow() = default;
    TDataRow(std::shared_ptr<const QStringList> names, std::vector<QVariant> values)
        : m_names(std::move(names)), m_values(std::move(values))
    {
    }

    int IndexOf(QStringView name) const;
    bool Has(QStringView name) const { return IndexOf(name) >= 0; }
    // Null when absent or null.
    QVariant Value(QStringView name) const;
    QVariant At(int index) const { return index >= 0 && index < int(m_values.size()) ? m_values[size_t(index)] : QVariant(); }
    int Count() const { return int(m_values.size()); }
    const QStringList &Names() const;

private:
    std::shared_ptr<const QStringList> m_names;
    std::vector<QVariant> m_values;
};

using TDataRows = std::vector<TDataRow>;

// The field as the asked type; the default when the field is null, absent or not convertible.
QVariant GetFieldValue(const TDataRow &row, QStringView name, const QVariant &defaultValue, QMetaType::Type type);
int FieldInt(const TDataRow &row, QStringView name, int defaultValue);
qint64 FieldInt64(const TDataRow &row, QStringView name, qint64 defaultValue);
bool FieldBool(const TDataRow &row, QStringView name, bool defaultValue = false);
QString FieldText(const TDataRow &row, QStringView name);
