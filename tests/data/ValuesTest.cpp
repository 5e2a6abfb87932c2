#include "data/Values.h"
#include "support/Fixtures.h"

namespace tessaro::test {
namespace {

TEST(Values, OneTextForEveryValue) {
    const std::pair<QVariant, const char*> cases[] = {
        {qint64(-9000000000LL), "-9000000000"},
        {quint64(18000000000000000000ULL), "18000000000000000000"},
        {-0.25, "-0.25"},
        {2.0, "2"},
        {1234567.25, "1234567.25"},
        {true, "1"},
        {QDateTime(QDate(2024, 3, 5), QTime(0, 0)), "2024-03-05"},
        {QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1)), "2024-03-05 00:00:01"},
        {QTime(8, 5), "08:05:00"},
        {QVariant(QMetaType::fromType<int>()), ""},
        {QByteArray("caff\xc3\xa8"), "caffè"}};
    // Neither the locale's decimal comma nor its grouping gets in.
    LocaleScope italian(QLocale(QLocale::Italian, QLocale::Italy));
    for (const auto& [value, text] : cases)
        EXPECT_EQ(ValueToText(value), QString::fromUtf8(text)) << text;

    for (const QVariant& yes : {QVariant(-1), QVariant("True"), QVariant("-1"), QVariant(0.5)})
        EXPECT_TRUE(ValueToBool(yes)) << yes.toString().toStdString();
    for (const QVariant& no : {QVariant(0), QVariant(), QVariant("0"), QVariant("no")})
        EXPECT_FALSE(ValueToBool(no)) << no.toString().toStdString();
}

TEST(Values, NumbersAreSignDigitsOneSeparatorAndAnExponent) {
    for (const char* yes : {"3,5", "3.5", "-2", "+7", "1e5", "1.5E-3", " 42 ", ".5", "5."})
        EXPECT_TRUE(IsNumeric(QLatin1String(yes))) << yes;
    for (const char* no : {"1.000,50", "$5", "0x1F", "3,5,6", "", " ", "1 2", "e5", "--2", "1e",
                           "NaN", "inf", "1;DROP TABLE T"})
        EXPECT_FALSE(IsNumeric(QLatin1String(no))) << no;
    EXPECT_EQ(NumericValue("3,5"), 3.5);
    EXPECT_EQ(NumericValue(" -1e3 "), -1000.0);
    EXPECT_FALSE(NumericValue(QStringLiteral("1.000,50")).has_value());
}

TEST(Values, TypedNumbersAreReadAsTheLocaleWritesThemElseByTheStrictRule) {
    // it_IT, en_US, fr_FR; "-" where the text is no number there.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"1.500", "1500", "1.500", "1.500"},
        {"1.234,56", "1234.56", "-", "-"},
        {"1,500", "1.500", "1500", "1.500"},
        {"3,75", "3.75", "3.75", "3.75"},
        {"1.2.3", "-", "-", "-"},
        {"1,50,0", "-", "-", "-"},
        {" -1.234.567,8 ", "-1234567.8", "-", "-"},
        {"1,5e3", "1.5e3", "1.5e3", "1.5e3"},
        {"1\u202f234,5", "-", "-", "1234.5"},
        {"1e309", "-", "-", "-"},
        {"nan", "-", "-", "-"}};
    const QLocale locali[] = {QLocale(QLocale::Italian, QLocale::Italy),
                              QLocale(QLocale::English, QLocale::UnitedStates),
                              QLocale(QLocale::French, QLocale::France)};
    for (int l = 0; l < 3; ++l) {
        LocaleScope scope(locali[l]);
        for (const auto& c : cases) {
            const char* atteso = l == 0 ? std::get<1>(c) : l == 1 ? std::get<2>(c) : std::get<3>(c);
            EXPECT_EQ(TypedNumber(QString::fromUtf8(std::get<0>(c))).value_or("-"),
                      QLatin1String(atteso))
                << std::get<0>(c) << " in " << locali[l].name().toStdString();
        }
    }
    const std::tuple<const char*, int, int, bool> decimali[] = {
        {"999.99", 5, 2, true}, {"1000", 5, 2, false},  {"1.005", 5, 2, false},
        {"-0.50", 5, 2, true},  {"12.5e1", 5, 2, true}, {"1e3", 5, 2, false},
        {"1e-2", 5, 2, true},   {"1e-3", 5, 2, false},  {"0001.10", 3, 1, true}};
    for (const auto& [numero, p, s, entra] : decimali)
        EXPECT_EQ(FitsDecimal(QLatin1String(numero), p, s), entra) << numero;
    EXPECT_TRUE(Fits64Bits("-9223372036854775808", false));
    EXPECT_FALSE(Fits64Bits("9223372036854775808", false));
    EXPECT_TRUE(Fits64Bits("18446744073709551615", true));
    EXPECT_FALSE(Fits64Bits("-1", true));
}

TEST(Values, DatesAreIsoOrTheLocalesShortDate) {
    const auto text = [](const char* s) {
        const auto d = ParseDate(QString::fromUtf8(s));
        return d ? d->toString("yyyy-MM-dd hh:mm:ss") : "none";
    };
    const std::pair<const char*, const char*> iso[] = {
        {" 2024-3-5 ", "2024-03-05 00:00:00"},
        {"2024-03-05T10:30:15", "2024-03-05 10:30:15"},
        {"2024-02-29", "2024-02-29 00:00:00"},
        {"2023-02-29", "none"},
        {"2024-13-01", "none"},
        {"2024-03-05 25:00", "none"},
        {"2024-03-05 10", "none"},
        {"", "none"}};
    for (const auto& [typed, read] : iso)
        EXPECT_EQ(text(typed), QLatin1String(read)) << typed;
    EXPECT_FALSE(IsDate("2024-02-30"));

    LocaleScope italian(QLocale(QLocale::Italian, QLocale::Italy));
    // A two-digit year is this century's up to 29.
    const std::pair<const char*, const char*> italiano[] = {
        {"05/01/24", "2024-01-05 00:00:00"},
        {"05/01/95", "1995-01-05 00:00:00"},
        {"05/01/2024 9:05:30", "2024-01-05 09:05:30"},
        {"30/02/2024", "none"},
        {"01/05", "none"}};
    for (const auto& [typed, read] : italiano)
        EXPECT_EQ(text(typed), QLatin1String(read)) << typed;
    LocaleScope american(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(text("12/31/99"), "1999-12-31 00:00:00");
}

} // namespace
} // namespace tessaro::test
