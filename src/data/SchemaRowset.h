#pragma once

// What both database providers share when they answer OpenSchema: reading
// catalogue rows, applying the restriction array, and the rowset shapes.

#include "data/Database.h"

#include <QSqlError>
#include <QString>
#include <QVariantList>
#include <utility>
#include <vector>

namespace tessaro::schema {

using Rows = std::vector<QVariantList>;
using Shape = std::vector<std::pair<QString, int>>;

// Runs a catalogue statement; false with the error when it fails. Null cells
// come back as null QVariants.
bool TryRows(const Connection& c, const QString& sql, Rows& out, QSqlError& error);
// As TryRows, raising the connection's error on failure.
Rows ReadRows(Connection& c, const QString& sql);

// The restriction at index as text, empty when the array is shorter.
QString RestrictionText(const QVariantList& criteria, int index);
// An empty restriction allows anything; otherwise a non-Null value equal to
// it, ignoring case, as both products compare names.
bool RestrictionAllows(const QString& wanted, const QVariant& value);

// The COLUMNS rowset.
Shape ColumnsShape();
// The PRIMARY_KEYS rowset, before any column a provider adds.
Shape PrimaryKeysShape();
// The FOREIGN_KEYS rowset, before any column a provider adds.
Shape ForeignKeysShape();

} // namespace tessaro::schema
