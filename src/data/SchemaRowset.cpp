#include "data/SchemaRowset.h"

#include "data/Values.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace tessaro::schema {

bool TryRows(const Connection& c, const QString& sql, Rows& out, QSqlError& error) {
    QSqlQuery q(c.Database());
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        error = q.lastError();
        return false;
    }
    const int n = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row << (q.isNull(i) ? QVariant() : q.value(i));
        out.push_back(std::move(row));
    }
    error = q.lastError();
    return !error.isValid();
}

Rows ReadRows(Connection& c, const QString& sql) {
    Rows rows;
    QSqlError error;
    if (!TryRows(c, sql, rows, error))
        c.RaiseFromError(error, sql);
    return rows;
}

QString RestrictionText(const QVariantList& criteria, int index) {
    return index < criteria.size() ? ValueToText(criteria[index]) : QString();
}

bool RestrictionAllows(const QString& wanted, const QVariant& value) {
    if (wanted.isEmpty())
        return true;
    return !value.isNull() && wanted.compare(ValueToText(value), Qt::CaseInsensitive) == 0;
}

Shape ColumnsShape() {
    using namespace DbType;
    return {{QStringLiteral("TABLE_CATALOG"), WChar},
            {QStringLiteral("TABLE_SCHEMA"), WChar},
            {QStringLiteral("TABLE_NAME"), WChar},
            {QStringLiteral("COLUMN_NAME"), WChar},
            {QStringLiteral("ORDINAL_POSITION"), Integer},
            {QStringLiteral("COLUMN_HASDEFAULT"), Boolean},
            {QStringLiteral("COLUMN_DEFAULT"), WChar},
            {QStringLiteral("IS_NULLABLE"), Boolean},
            {QStringLiteral("DATA_TYPE"), Integer},
            {QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), Integer},
            {QStringLiteral("NUMERIC_PRECISION"), Integer},
            {QStringLiteral("NUMERIC_SCALE"), Integer},
            {QStringLiteral("IS_AUTOINCREMENT"), Boolean},
            {QStringLiteral("DATETIME_PRECISION"), Integer}};
}

Shape PrimaryKeysShape() {
    using namespace DbType;
    return {{QStringLiteral("TABLE_CATALOG"), WChar},
            {QStringLiteral("TABLE_SCHEMA"), WChar},
            {QStringLiteral("TABLE_NAME"), WChar},
            {QStringLiteral("COLUMN_NAME"), WChar},
            {QStringLiteral("ORDINAL"), Integer}};
}

Shape ForeignKeysShape() {
    using namespace DbType;
    return {{QStringLiteral("PK_TABLE_CATALOG"), WChar}, {QStringLiteral("PK_TABLE_SCHEMA"), WChar},
            {QStringLiteral("PK_TABLE_NAME"), WChar},    {QStringLiteral("PK_COLUMN_NAME"), WChar},
            {QStringLiteral("FK_TABLE_CATALOG"), WChar}, {QStringLiteral("FK_TABLE_SCHEMA"), WChar},
            {QStringLiteral("FK_TABLE_NAME"), WChar},    {QStringLiteral("FK_COLUMN_NAME"), WChar},
            {QStringLiteral("ORDINAL"), Integer},        {QStringLiteral("UPDATE_RULE"), WChar},
            {QStringLiteral("DELETE_RULE"), WChar}};
}

} // namespace tessaro::schema
