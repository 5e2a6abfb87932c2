#include "data/Values.h"

#include "data/Database.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>

namespace tessaro {

namespace {

QString TimeText(const QTime& t) {
    return t.toString(t.msec() != 0 ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
}

QString DateTimeText(const QDateTime& dt) {
    const QTime t = dt.time();
    const QString date = dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0 && t.msec() == 0)
        return date;
    return date + QLatin1Char(' ') + TimeText(t);
}

// Qt reads a two-digit year as 19yy; a form typed today means 1930-2029.
QDate WithCentury(const QDate& d, bool twoDigitYear) {
    if (!twoDigitYear || !d.isValid())
        return d;
    const int yy = d.year() % 100;
    return QDate(yy < 30 ? 2000 + yy : 1900 + yy, d.month(), d.day());
}

const QRegularExpression& TwoDigitYear() {
    static const QRegularExpression re(QStringLiteral("(?<!y)yy(?!y)"));
    return re;
}

// The short date with a four-digit year: a date shown must name its century.
QString ShownDateFormat(const QLocale& locale) {
    return locale.dateFormat(QLocale::ShortFormat).replace(TwoDigitYear(), QStringLiteral("yyyy"));
}

// The short time, with the seconds (and their fraction) after the minutes
// when a time has them, in the separator the locale puts before the minutes.
QString ShownTimeFormat(const QLocale& locale, bool seconds, bool fraction) {
    QString f = locale.timeFormat(QLocale::ShortFormat);
    static const QRegularExpression minutes(QStringLiteral("(\\W?)mm"));
    static const QRegularExpression withSeconds(QStringLiteral("ss(?!\\W?z)"));
    if (!seconds && !fraction)
        return f;
    // A short time with seconds already lacks only the fraction.
    if (const auto s = withSeconds.match(f); s.hasMatch())
        return fraction ? f.insert(s.capturedEnd(), locale.decimalPoint() + QStringLiteral("zzz"))
                        : f;
    const auto m = minutes.match(f);
    if (!m.hasMatch())
        return QStringLiteral("HH:mm:ss") + (fraction ? QStringLiteral(".zzz") : QString());
    const QString separator = m.captured(1).isEmpty() ? QStringLiteral(":") : m.captured(1);
    const QString added = separator + QStringLiteral("ss") +
                          (fraction ? locale.decimalPoint() + QStringLiteral("zzz") : QString());
    return f.insert(m.capturedEnd(), added);
}

QStringList TimeFormatsRead(const QLocale& locale) {
    return {ShownTimeFormat(locale, false, false), ShownTimeFormat(locale, true, false),
            ShownTimeFormat(locale, true, true)};
}

// A C-form number in the locale's digits and signs, without grouping.
QString LocaleNumber(const QString& c, const QLocale& locale) {
    QString out;
    for (const QChar ch : c) {
        if (ch.isDigit())
            out += locale.toString(ch.digitValue());
        else if (ch == QLatin1Char('.'))
            out += locale.decimalPoint();
        else if (ch == QLatin1Char('-'))
            out += locale.negativeSign();
        else if (ch == QLatin1Char('+'))
            out += locale.positiveSign();
        else if (ch == QLatin1Char('e') || ch == QLatin1Char('E'))
            out += locale.exponential();
        else
            out += ch;
    }
    return out;
}

QString LocaleTime(const QTime& t, const QLocale& locale) {
    return locale.toString(
        t, ShownTimeFormat(locale, t.second() != 0 || t.msec() != 0, t.msec() != 0));
}

QString LocaleDateTime(const QDateTime& dt, bool withTime, const QLocale& locale) {
    const QString date = locale.toString(dt.date(), ShownDateFormat(locale));
    const QTime t = dt.time();
    if (!withTime || t == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + LocaleTime(t, locale);
}

bool IsNumberType(int tipo) {
    switch (tipo) {
    case DbType::Single:
    case DbType::Double:
    case DbType::Currency:
    case DbType::Numeric:
        return true;
    default:
        return false;
    }
}

// The locale's short date as typed: with a two- or four-digit year, with or
// without leading zeros, optionally followed by a time.
std::optional<QDateTime> LocaleDateTime(const QString& s) {
    const QLocale locale;
    static const QRegularExpression twoDigitDay(QStringLiteral("(?<!d)dd(?!d)"));
    static const QRegularExpression twoDigitMonth(QStringLiteral("(?<!M)MM(?!M)"));
    const QRegularExpression& twoDigitYear = TwoDigitYear();
    QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    shortDate.replace(twoDigitDay, QStringLiteral("d"));
    shortDate.replace(twoDigitMonth, QStringLiteral("M"));
    QStringList dateFormats{shortDate};
    if (shortDate.contains(twoDigitYear))
        dateFormats << QString(shortDate).replace(twoDigitYear, QStringLiteral("yyyy"));
    const QStringList timeFormats =
        TimeFormatsRead(locale) + QStringList{QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};
    for (const QString& df : dateFormats) {
        const bool shortYear = df.contains(twoDigitYear);
        for (const QString& tf : timeFormats) {
            const QDateTime dt = locale.toDateTime(s, df + QLatin1Char(' ') + tf);
            if (dt.isValid())
                return QDateTime(WithCentury(dt.date(), shortYear), dt.time(), QTimeZone::utc());
        }
        const QDate d = locale.toDate(s, df);
        if (d.isValid())
            return QDateTime(WithCentury(d, shortYear), QTime(0, 0, 0), QTimeZone::utc());
    }
    return std::nullopt;
}

QString DoubleText(double d) {
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qint64>(d));
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString ValueToText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return DoubleText(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return DateTimeText(value.toDateTime());
    case QMetaType::QTime:
        return TimeText(value.toTime());
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

QString ValueToLocaleText(const QVariant& value, int tipo) {
    if (!value.isValid() || value.isNull())
        return QString();
    const QLocale locale;
    // Without a locale of its own, the program shows the fixed forms.
    if (locale.language() == QLocale::C)
        return ValueToText(value);
    const int tipoValore = value.typeId();
    const bool data =
        tipo == DbType::Date || tipo == DbType::DbTimeStamp ||
        (tipo == 0 && (tipoValore == QMetaType::QDate || tipoValore == QMetaType::QDateTime));
    if (data) {
        const auto dt = tipoValore == QMetaType::QDate ? QDateTime(value.toDate(), QTime(0, 0))
                        : tipoValore == QMetaType::QDateTime ? std::optional(value.toDateTime())
                                                             : ParseDate(ValueToText(value));
        if (dt && dt->isValid())
            return LocaleDateTime(*dt, tipoValore != QMetaType::QDate, locale);
        return ValueToText(value);
    }
    if (tipo == DbType::DbTime || (tipo == 0 && tipoValore == QMetaType::QTime)) {
        const auto t = ParseTime(ValueToText(value));
        return t ? LocaleTime(*t, locale) : ValueToText(value);
    }
    const bool numero =
        tipoValore == QMetaType::Double || tipoValore == QMetaType::Float || IsNumberType(tipo);
    const QString c = ValueToText(value);
    if (numero && IsNumeric(c) && !c.contains(QLatin1Char(',')))
        return LocaleNumber(c.trimmed(), locale);
    return c;
}

bool ValueToBool(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString: {
        const QString s = value.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (auto n = NumericValue(s))
            return *n != 0.0;
        return false;
    }
    default:
        return value.toDouble() != 0.0;
    }
}

namespace {

// Reads ASCII digits from position i on; returns how many there were.
qsizetype Cifre(QStringView t, qsizetype& i) {
    const qsizetype inizio = i;
    while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
        ++i;
    return i - inizio;
}

void Segno(QStringView t, qsizetype& i) {
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
}

} // namespace

// Hand-written rather than a regular expression: the navigator checks key
// texts at every step.
bool IsNumeric(const QString& text) {
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    Segno(t, i);
    qsizetype cifre = Cifre(t, i);
    if (i < t.size() && (t[i] == QLatin1Char('.') || t[i] == QLatin1Char(','))) {
        ++i;
        cifre += Cifre(t, i);
    }
    if (cifre == 0)
        return false;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        Segno(t, i);
        if (Cifre(t, i) == 0)
            return false;
    }
    return i == t.size();
}

bool IsWholeNumber(const QString& text) {
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    Segno(t, i);
    return Cifre(t, i) > 0 && i == t.size();
}

std::optional<double> NumericValue(const QString& text) {
    if (!IsNumeric(text))
        return std::nullopt;
    QString s = text.trimmed();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = s.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return d;
}

std::optional<QString> TypedNumber(const QString& text) {
    const QString t = text.trimmed();
    const QLocale locale;
    bool ok = false;
    const double d = locale.toDouble(t, &ok);
    if (ok && std::isfinite(d)) {
        // The locale's reading, rewritten character by character: no digit is
        // lost to a double.
        const bool spaceGroups = locale.groupSeparator().trimmed().isEmpty();
        QString c;
        for (const QChar ch : t) {
            if (ch.isDigit())
                c += QChar(u'0' + ch.digitValue());
            else if (QString(ch) == locale.groupSeparator() || (spaceGroups && ch.isSpace()))
                continue;
            else if (QString(ch) == locale.decimalPoint())
                c += QLatin1Char('.');
            else if (QString(ch) == locale.negativeSign())
                c += QLatin1Char('-');
            else if (QString(ch) == locale.positiveSign())
                c += QLatin1Char('+');
            else if (QString(ch).compare(locale.exponential(), Qt::CaseInsensitive) == 0)
                c += QLatin1Char('e');
            else
                return std::nullopt;
        }
        return IsNumeric(c) ? std::optional<QString>(c) : std::nullopt;
    }
    if (!IsNumeric(t))
        return std::nullopt;
    const QString c = QString(t).replace(QLatin1Char(','), QLatin1Char('.'));
    if (!std::isfinite(c.toDouble()))
        return std::nullopt;
    return c;
}

bool FitsDecimal(const QString& number, int precision, int scale) {
    static const QRegularExpression parts(
        QStringLiteral("^[+-]?(\\d*)(?:\\.(\\d*))?(?:[eE]([+-]?\\d+))?$"));
    const auto m = parts.match(number.trimmed());
    if (!m.hasMatch())
        return false;
    bool ok = false;
    const qint64 exponent = m.captured(3).isEmpty() ? 0 : m.captured(3).toLongLong(&ok);
    if (!m.captured(3).isEmpty() && (!ok || exponent > 1000 || exponent < -1000))
        return false;
    // The digits with the point moved by the exponent.
    QString digits = m.captured(1) + m.captured(2);
    qint64 point = m.captured(1).size() + exponent;
    if (point < 0) {
        digits.prepend(QString(static_cast<qsizetype>(-point), QLatin1Char('0')));
        point = 0;
    }
    if (point > digits.size())
        digits.append(QString(static_cast<qsizetype>(point - digits.size()), QLatin1Char('0')));
    QString whole = digits.left(static_cast<qsizetype>(point));
    QString fraction = digits.mid(static_cast<qsizetype>(point));
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return whole.size() <= precision - scale && fraction.size() <= scale;
}

bool Fits64Bits(const QString& number, bool isUnsigned) {
    const QString t = number.trimmed();
    if (!IsWholeNumber(t))
        return false;
    bool ok = false;
    if (!isUnsigned)
        return (void)t.toLongLong(&ok), ok;
    // "-0" is the only negative an unsigned column holds.
    if (t.startsWith(QLatin1Char('-')))
        return QStringView(t).mid(1).toULongLong(&ok) == 0 && ok;
    return (void)t.toULongLong(&ok), ok;
}

std::optional<QTime> ParseTime(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,3}))?)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch()) {
        const QLocale locale;
        for (const QString& f : TimeFormatsRead(locale))
            if (const QTime t = locale.toTime(text.trimmed(), f); t.isValid())
                return t;
        return std::nullopt;
    }
    const QString ms = m.captured(4).leftJustified(3, QLatin1Char('0'));
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), ms.toInt());
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

std::optional<QDateTime> ParseDate(const QString& text) {
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](.+))?$"));
    const auto m = iso.match(s);
    if (m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        std::optional<QTime> t = QTime(0, 0, 0);
        if (!m.captured(4).isEmpty())
            t = ParseTime(m.captured(4));
        if (d.isValid() && t)
            return QDateTime(d, *t, QTimeZone::utc());
        return std::nullopt;
    }
    return LocaleDateTime(s);
}

bool IsDate(const QString& text) {
    return ParseDate(text).has_value();
}

} // namespace tessaro
