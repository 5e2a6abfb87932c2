#include "data/Values.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace tessaro::test {
namespace {

// Runs a test under a given application locale and puts the previous one back.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : mPrevious(QLocale()) {
        QLocale::setDefault(locale);
    }
    ~LocaleScope() { QLocale::setDefault(mPrevious); }

private:
    QLocale mPrevious;
};

QString Text(const std::optional<QDateTime>& dt) {
    return dt ? dt->toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QStringLiteral("none");
}

TEST(ValueToTextTest, NumbersArePlainDigitsWithAPoint) {
    EXPECT_EQ(ValueToText(QVariant(42)), "42");
    EXPECT_EQ(ValueToText(QVariant(qint64(-9000000000LL))), "-9000000000");
    EXPECT_EQ(ValueToText(QVariant(quint64(18000000000000000000ULL))), "18000000000000000000");
    EXPECT_EQ(ValueToText(QVariant(3.5)), "3.5");
    EXPECT_EQ(ValueToText(QVariant(0.1)), "0.1");
    EXPECT_EQ(ValueToText(QVariant(-0.25)), "-0.25");
    EXPECT_EQ(ValueToText(QVariant(2.0)), "2");
    EXPECT_EQ(ValueToText(QVariant(true)), "1");
    EXPECT_EQ(ValueToText(QVariant(false)), "0");
    // Neither the locale's decimal comma nor grouping gets in.
    LocaleScope italian(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(ValueToText(QVariant(1234567.25)), "1234567.25");
    EXPECT_EQ(ValueToText(QVariant(1234567)), "1234567");
}

TEST(ValueToTextTest, DatesDropAMidnightTime) {
    EXPECT_EQ(ValueToText(QVariant(QDate(2024, 3, 5))), "2024-03-05");
    EXPECT_EQ(ValueToText(QVariant(QDateTime(QDate(2024, 3, 5), QTime(0, 0)))), "2024-03-05");
    EXPECT_EQ(ValueToText(QVariant(QDateTime(QDate(2024, 3, 5), QTime(10, 30, 15)))),
              "2024-03-05 10:30:15");
    EXPECT_EQ(ValueToText(QVariant(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1)))),
              "2024-03-05 00:00:01");
    EXPECT_EQ(ValueToText(QVariant(QTime(8, 5))), "08:05:00");
}

TEST(ValueToTextTest, NullIsEmptyAndTextPassesThrough) {
    EXPECT_EQ(ValueToText(QVariant()), "");
    EXPECT_EQ(ValueToText(QVariant(QMetaType::fromType<int>())), "");
    EXPECT_EQ(ValueToText(QVariant(QMetaType::fromType<QString>())), "");
    EXPECT_EQ(ValueToText(QVariant(QStringLiteral(" O'Brien "))), " O'Brien ");
    EXPECT_EQ(ValueToText(QVariant(QByteArray("caff\xc3\xa8"))), QString::fromUtf8("caff\xc3\xa8"));
}

TEST(ValueToBoolTest, NonZeroAndTrueAreTrue) {
    EXPECT_TRUE(ValueToBool(QVariant(-1)));
    EXPECT_TRUE(ValueToBool(QVariant(QStringLiteral("True"))));
    EXPECT_TRUE(ValueToBool(QVariant(QStringLiteral("-1"))));
    EXPECT_TRUE(ValueToBool(QVariant(0.5)));
    EXPECT_FALSE(ValueToBool(QVariant(0)));
    EXPECT_FALSE(ValueToBool(QVariant()));
    EXPECT_FALSE(ValueToBool(QVariant(QStringLiteral("0"))));
    EXPECT_FALSE(ValueToBool(QVariant(QStringLiteral("no"))));
}

TEST(NumericRecognitionTest, AcceptsOnlySignDigitsOneSeparatorAndExponent) {
    for (const char* yes : {"3,5", "3.5", "-2", "+7", "1e5", "1.5E-3", " 42 ", ".5", "5."})
        EXPECT_TRUE(IsNumeric(QLatin1String(yes))) << yes;
    for (const char* no : {"1.000,50", "1,000.50", "$5", "5 EUR", "0x1F", "3,5,6", "", " ", "1 2",
                           "e5", "--2", "1e", "NaN", "inf", "1;DROP TABLE T"})
        EXPECT_FALSE(IsNumeric(QLatin1String(no))) << no;

    for (const char* yes : {"-2", "+7", "0", " 123 "})
        EXPECT_TRUE(IsWholeNumber(QLatin1String(yes))) << yes;
    for (const char* no : {"3,5", "3.0", "1e5", "", "1 2", "0x1F", "-"})
        EXPECT_FALSE(IsWholeNumber(QLatin1String(no))) << no;

    EXPECT_EQ(NumericValue(QStringLiteral("3,5")), 3.5);
    EXPECT_EQ(NumericValue(QStringLiteral(" -1e3 ")), -1000.0);
    EXPECT_FALSE(NumericValue(QStringLiteral("1.000,50")).has_value());
}

TEST(ParseDateTest, IsoWithAndWithoutTime) {
    EXPECT_EQ(Text(ParseDate(QStringLiteral("2024-03-05"))), "2024-03-05 00:00:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral(" 2024-3-5 "))), "2024-03-05 00:00:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("2024-03-05 10:30"))), "2024-03-05 10:30:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("2024-03-05T10:30:15"))), "2024-03-05 10:30:15");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("2024-02-29"))), "2024-02-29 00:00:00");
    EXPECT_TRUE(IsDate(QStringLiteral("2024-03-05")));
}

TEST(ParseDateTest, ImpossibleDatesAndOtherTextAreNotDates) {
    for (const char* no :
         {"2024-02-30", "2023-02-29", "2024-13-01", "2024-00-10", "2024-03-05 25:00",
          "2024-03-05 10:61", "", "oggi", "2024", "2024-03-05 10"})
        EXPECT_EQ(Text(ParseDate(QLatin1String(no))), "none") << no;
    EXPECT_FALSE(IsDate(QStringLiteral("2024-02-30")));
}

TEST(ParseDateTest, TheShortDateOfTheApplicationLocale) {
    LocaleScope italian(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(Text(ParseDate(QStringLiteral("05/01/2024"))), "2024-01-05 00:00:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("5/1/2024"))), "2024-01-05 00:00:00");
    // A two-digit year is this century's, not 1924.
    EXPECT_EQ(Text(ParseDate(QStringLiteral("05/01/24"))), "2024-01-05 00:00:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("05/01/95"))), "1995-01-05 00:00:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("05/01/2024 10:30"))), "2024-01-05 10:30:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("05/01/2024 9:05:30"))), "2024-01-05 09:05:30");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("30/02/2024"))), "none");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("01/05"))), "none");

    LocaleScope american(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(Text(ParseDate(QStringLiteral("1/5/2024"))), "2024-01-05 00:00:00");
    EXPECT_EQ(Text(ParseDate(QStringLiteral("12/31/99"))), "1999-12-31 00:00:00");
}

} // namespace
} // namespace tessaro::test
