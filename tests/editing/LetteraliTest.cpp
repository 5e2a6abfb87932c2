#include "EditingFixture.h"

#include <gtest/gtest.h>

namespace tessaro::test {

namespace {

const QDateTime kMattino(QDate(2024, 3, 5), QTime(9, 7, 3));
const QDateTime kMezzanotte(QDate(2024, 3, 5), QTime(0, 0, 0));
const QDateTime kUnSecondo(QDate(2024, 3, 5), QTime(0, 0, 1));
const QDateTime kFineAnno(QDate(2023, 12, 31), QTime(23, 59, 58));
const QDateTime kGennaio(QDate(2025, 1, 9), QTime(1, 2, 3));

QString Data(int kind, const QDateTime& d) {
    clsADONavigator nav;
    nav.TipoDatabase = kind;
    return NavigatorTestAccess::DataSql(nav, d);
}

QString Testo(int kind, const QString& t) {
    clsADONavigator nav;
    nav.TipoDatabase = kind;
    return NavigatorTestAccess::TestoSql(nav, t);
}

} // namespace

// Access: hashes, month first, dots, a midnight time dropped; SQL Server:
// compact with milliseconds and always a time; MySQL: no leading zeros; SQLite:
// ISO with the time only when there is one; unknown kinds: no literal.
TEST(LetteraliData, EachKindWritesItsOwnDateLiteral) {
    const struct {
        int kind;
        QDateTime data;
        const char* atteso;
    } casi[] = {{0, kMattino, "#03/05/2024 09.07.03#"},
                {0, kMezzanotte, "#03/05/2024#"},
                {0, kUnSecondo, "#03/05/2024 00.00.01#"},
                {0, kFineAnno, "#12/31/2023 23.59.58#"},
                {0, kGennaio, "#01/09/2025 01.02.03#"},
                {1, kMattino, "'20240305 09:07:03:000'"},
                {1, kMezzanotte, "'20240305 00:00:00:000'"},
                {1, kFineAnno, "'20231231 23:59:58:000'"},
                {1, kGennaio, "'20250109 01:02:03:000'"},
                {2, kMattino, "'2024-3-5 9:7:3'"},
                {2, kMezzanotte, "'2024-3-5 0:0:0'"},
                {2, kFineAnno, "'2023-12-31 23:59:58'"},
                {2, kGennaio, "'2025-1-9 1:2:3'"},
                {4, kMattino, "'2024-03-05 09:07:03'"},
                {4, kMezzanotte, "'2024-03-05'"},
                {4, kUnSecondo, "'2024-03-05 00:00:01'"},
                {4, kGennaio, "'2025-01-09 01:02:03'"},
                {3, kMattino, ""},
                {-1, kMattino, ""},
                {5, kMezzanotte, ""}};
    for (const auto& c : casi)
        EXPECT_EQ(Data(c.kind, c.data), c.atteso)
            << c.kind << " " << c.data.toString().toStdString();
}

TEST(LetteraliData, TheTwoServerFormsDoNotDependOnTheKind) {
    for (int kind : {0, 1, 2, 3, 4}) {
        clsADONavigator nav;
        nav.TipoDatabase = kind;
        EXPECT_EQ(NavigatorTestAccess::DataSqlServer(nav, kGennaio), "'20250109 01:02:03:000'");
        EXPECT_EQ(nav.FormatDateForMySql(kGennaio), "'2025-1-9 1:2:3'");
    }
}

TEST(LetteraliTesto, ApostrophesAreDoubledForEveryKind) {
    for (int kind : {0, 1, 2, 3, 4}) {
        EXPECT_EQ(Testo(kind, "O'Brien"), "O''Brien") << kind;
        EXPECT_EQ(Testo(kind, "''"), "''''") << kind;
        EXPECT_EQ(Testo(kind, "plain text"), "plain text") << kind;
        EXPECT_EQ(Testo(kind, ""), "") << kind;
    }
}

TEST(LetteraliTesto, BackslashesAreDoubledForMySqlOnly) {
    EXPECT_EQ(Testo(2, "C:\\dati"), "C:\\\\dati");
    for (int kind : {0, 1, 3, 4})
        EXPECT_EQ(Testo(kind, "C:\\dati"), "C:\\dati") << kind;
    // Apostrophes first, then backslashes.
    EXPECT_EQ(Testo(2, "a\\'b"), "a\\\\''b");
    EXPECT_EQ(Testo(4, "a\\'b"), "a\\''b");
}

TEST(LetteraliTesto, EscapingTwiceDoublesAgain) {
    EXPECT_EQ(Testo(0, Testo(0, "O'Brien")), "O''''Brien");
    EXPECT_EQ(Testo(2, Testo(2, "\\")), "\\\\\\\\");
}

TEST(GruppiColonna, EveryExactIntegerTypeIsInTheIntegerGroup) {
    for (int t : {2, 3, 16, 17, 18, 19, 20, 21})
        EXPECT_EQ(GruppoDi(t), GruppoColonna::Intero) << t;
    for (int t : {129, 130, 200, 201, 202, 203})
        EXPECT_EQ(GruppoDi(t), GruppoColonna::Carattere) << t;
    for (int t : {7, 135})
        EXPECT_EQ(GruppoDi(t), GruppoColonna::Data) << t;
    for (int t : {4, 5, 6, 11, 131, 134, 72})
        EXPECT_EQ(GruppoDi(t), GruppoColonna::AltroNumero) << t;
}

TEST(GruppiColonna, LengthsCountCharactersNotCodeUnits) {
    EXPECT_EQ(LunghezzaInCaratteri(""), 0);
    EXPECT_EQ(LunghezzaInCaratteri("abc"), 3);
    EXPECT_EQ(LunghezzaInCaratteri(QString::fromUtf8("città")), 5);
    // One character outside the basic plane is two UTF-16 units.
    EXPECT_EQ(LunghezzaInCaratteri(QString::fromUtf8("a\xF0\x9D\x84\x9E")), 2);
}

} // namespace tessaro::test
