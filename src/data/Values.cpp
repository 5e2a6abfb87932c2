#include "data/Values.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace tessaro {

namespace {

QString DateTimeText(const QDateTime& dt) {
    const QTime t = dt.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0 && t.msec() == 0)
        return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Qt reads a two-digit year as 19yy; a form typed today means 1930-2029.
QDate WithCentury(const QDate& d, bool twoDigitYear) {
    if (!twoDigitYear || !d.isValid())
        return d;
    const int yy = d.year() % 100;
    return QDate(yy < 30 ? 2000 + yy : 1900 + yy, d.month(), d.day());
}

// The locale's short date as typed: with a two- or four-digit year, with or
// without leading zeros, optionally followed by a time.
std::optional<QDateTime> LocaleDateTime(const QString& s) {
    const QLocale locale;
    static const QRegularExpression twoDigitDay(QStringLiteral("(?<!d)dd(?!d)"));
    static const QRegularExpression twoDigitMonth(QStringLiteral("(?<!M)MM(?!M)"));
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    shortDate.replace(twoDigitDay, QStringLiteral("d"));
    shortDate.replace(twoDigitMonth, QStringLiteral("M"));
    QStringList dateFormats{shortDate};
    if (shortDate.contains(twoDigitYear))
        dateFormats << QString(shortDate).replace(twoDigitYear, QStringLiteral("yyyy"));
    const QStringList timeFormats{locale.timeFormat(QLocale::ShortFormat),
                                  QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};
    for (const QString& df : dateFormats) {
        const bool shortYear = df.contains(twoDigitYear);
        for (const QString& tf : timeFormats) {
            const QDateTime dt = locale.toDateTime(s, df + QLatin1Char(' ') + tf);
            if (dt.isValid())
                return QDateTime(WithCentury(dt.date(), shortYear), dt.time());
        }
        const QDate d = locale.toDate(s, df);
        if (d.isValid())
            return QDateTime(WithCentury(d, shortYear), QTime(0, 0, 0));
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
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
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

std::optional<QDateTime> ParseDate(const QString& text) {
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const auto m = iso.match(s);
    if (m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        QTime t(0, 0, 0);
        if (m.hasCaptured(4) && !m.captured(4).isEmpty())
            t = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                      m.hasCaptured(6) && !m.captured(6).isEmpty() ? m.captured(6).toInt() : 0);
        if (d.isValid() && t.isValid())
            return QDateTime(d, t);
        return std::nullopt;
    }
    return LocaleDateTime(s);
}

bool IsDate(const QString& text) {
    return ParseDate(text).has_value();
}

} // namespace tessaro
