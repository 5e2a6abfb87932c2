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
// when the time is not midnight), times hh:mm:ss; milliseconds follow as
// ".zzz" when there are any.
QString ValueToText(const QVariant& value);

// What a text box shows of a column value, in the application's QLocale:
// numbers with its digits, signs and decimal separator, without grouping, all
// their digits (a double its shortest exact form); dates in its short date
// with a four-digit year, times in its short time with the seconds and the
// fraction when the value has them. `tipo` is the column's type code (0: by
// the value's own type), so that dates, times and decimals that a driver gives
// as text show the same way. TypedNumber, ParseDate and ParseTime read it back
// to the same value.
QString ValueToLocaleText(const QVariant& value, int tipo = 0);

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
// A number as a user types it: as the application's QLocale writes numbers
// (its group separators in their places), or else by the strict rule above.
// Gives the number in C form ("-1234.5", "1.5e3"), digit for digit, or nothing
// for a text that is no finite number.
std::optional<QString> TypedNumber(const QString& text);
// Whether a C-form number fits DECIMAL(precision, scale) without rounding.
bool FitsDecimal(const QString& number, int precision, int scale);
// Whether a C-form whole number fits 64 bits (unsigned ones when asked).
bool Fits64Bits(const QString& number, bool isUnsigned);
// ISO yyyy-mm-dd [hh:mm[:ss[.fff]]] or the short date (and time) of the
// application's QLocale. The result is in UTC so that no clock change moves it.
std::optional<QDateTime> ParseDate(const QString& text);
// A time of day: hh:mm[:ss[.fff]], or as ValueToLocaleText writes one.
std::optional<QTime> ParseTime(const QString& text);
bool IsDate(const QString& text);

} // namespace tessaro
