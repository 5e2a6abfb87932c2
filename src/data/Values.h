#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

namespace tessaro {

// The one conversion of a column value to text, used for text boxes, combo
// items, combo keys and key values in statements, so the same value always
// gives the same text. Null gives "". Whole numbers are plain digits, other
// numbers use "." without grouping, dates are yyyy-MM-dd (with " hh:mm:ss"
// when the time is not midnight).
QString ValueToText(const QVariant& value);

// A value read as a Boolean (check boxes): non-zero numbers, true, "true",
// "-1" and the like are true; Null and zero are false.
bool ValueToBool(const QVariant& value);

// Strict recognition used before a text goes into a statement.
// Number: optional sign, digits with at most one "," or "." and an optional exponent.
bool IsNumeric(const QString& text);
// Whole number: optional sign and digits.
bool IsWholeNumber(const QString& text);
// The number a numeric text stands for (decimal comma accepted).
std::optional<double> NumericValue(const QString& text);
// ISO yyyy-mm-dd [hh:mm[:ss]] or the short date (and time) of the application's QLocale.
std::optional<QDateTime> ParseDate(const QString& text);
bool IsDate(const QString& text);

} // namespace tessaro
