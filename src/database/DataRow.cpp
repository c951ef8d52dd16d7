#include "database/DataRow.h"

int TDataRow::IndexOf(QStringView name) const
{
    if (!m_names)
        return -1;
    for (int i = 0; i < m_names->size(); ++i)
        if (QStringView(m_names->at(i)).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant TDataRow::Value(QStringView name) const
{
    return At(IndexOf(name));
}

const QStringList &TDataRow::Names() const
{
    static const QStringList none;
    return m_names ? *m_names : none;
}

QVariant GetFieldValue(const TDataRow &row, QStringView name, const QVariant &defaultValue, QMetaType::Type type)
{
    QVariant value = row.Value(name);
    if (value.isNull())
        return defaultValue;
    if (type == QMetaType::Int || type == QMetaType::LongLong) {
        bool ok = false;
        const qint64 n = value.typeId() == QMetaType::Double ? qint64(value.toDouble()) : value.toLongLong(&ok);
        if (value.typeId() != QMetaType::Double && !ok)
            return defaultValue;
        return type == QMetaType::Int ? QVariant(int(n)) : QVariant(n);
    }
    if (type == QMetaType::Bool) {
        const QString text = value.toString().trimmed().toLower();
        if (text == u"true")
            return true;
        if (text == u"false")
            return false;
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        return ok ? QVariant(n != 0) : defaultValue;
    }
    if (type == QMetaType::Double) {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? QVariant(d) : defaultValue;
    }
    if (type == QMetaType::QString)
        return value.toString();
    if (!value.convert(QMetaType(type)))
        return defaultValue;
    return value;
}

int FieldInt(const TDataRow &row, QStringView name, int defaultValue)
{
    return GetFieldValue(row, name, defaultValue, QMetaType::Int).toInt();
}

qint64 FieldInt64(const TDataRow &row, QStringView name, qint64 defaultValue)
{
    return GetFieldValue(row, name, defaultValue, QMetaType::LongLong).toLongLong();
}

bool FieldBool(const TDataRow &row, QStringView name, bool defaultValue)
{
    return GetFieldValue(row, name, defaultValue, QMetaType::Bool).toBool();
}

QString FieldText(const TDataRow &row, QStringView name)
{
    return row.Value(name).toString();
}
