// The demo's sample database, script splitting and filter texts, on real
// SQLite files.

#include "SampleDatabase.h"
#include "Filtro.h"

#include "data/Database.h"
#include "data/TessaroError.h"
#include "support/Fixtures.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using tessaro::Connection;
using tessaro::test::SqliteFile;

qint64 Count(Connection& c, const QString& sql) {
    QSqlQuery q(c.Database());
    EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
    return q.value(0).toLongLong();
}

// Every row of the four tables as text, in key order.
QStringList Dump(Connection& c) {
    QStringList out;
    for (const char* sql :
         {"SELECT * FROM Comuni ORDER BY IdComune", "SELECT * FROM Agenti ORDER BY IdAgente",
          "SELECT * FROM Clienti ORDER BY IdCliente", "SELECT * FROM Ordini ORDER BY IdOrdine"}) {
        QSqlQuery q(c.Database());
        EXPECT_TRUE(q.exec(QString::fromLatin1(sql)));
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i).toString();
            out << row.join(u'|');
        }
    }
    return out;
}

// The foreign keys that the schema rowset reports for a table, as "col->table".
QStringList Links(Connection& c, const QString& table) {
    auto rs = c.OpenSchema(tessaro::adSchemaForeignKeys,
                           {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), table});
    QStringList out;
    if (rs->Bof() && rs->Eof())
        return out;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        out << rs->Fields().Item(QStringLiteral("FK_COLUMN_NAME")).Value().toString() +
                   QStringLiteral("->") +
                   rs->Fields().Item(QStringLiteral("PK_TABLE_NAME")).Value().toString();
    out.sort();
    return out;
}

TEST(SplitSqlScript, EndsStatementsOnlyAtSemicolonsOutsideQuotesAndComments) {
    const QString script =
        QStringLiteral("-- a comment; not a statement\n"
                       "CREATE TABLE T (a TEXT);\n"
                       "INSERT INTO T VALUES ('x;y'), ('D''Amico; sr');  /* a; block */\n"
                       ";;\n"
                       "INSERT INTO T VALUES ('last') -- no semicolon at the end");
    const QStringList s = demo::SplitSqlScript(script);
    ASSERT_EQ(s.size(), 3) << s.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(s[0], QStringLiteral("CREATE TABLE T (a TEXT)"));
    EXPECT_EQ(s[1], QStringLiteral("INSERT INTO T VALUES ('x;y'), ('D''Amico; sr')"));
    EXPECT_EQ(s[2], QStringLiteral("INSERT INTO T VALUES ('last')"));
}

TEST(SplitSqlScript, ShippedScriptsRunOnAFreshSqliteFile) {
    SqliteFile file;
    auto c = file.Open();
    EXPECT_TRUE(demo::PrepareSampleDatabase(*c));
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Comuni")), 68);
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Agenti")), 10);
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Agenti WHERE Attivo <> 0")), 7);
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Clienti")), 220);
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Ordini")), 420);
    // Every reference points at a row that exists.
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Clienti WHERE IdComune NOT IN "
                                       "(SELECT IdComune FROM Comuni)")),
              0);
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Ordini WHERE IdCliente NOT IN "
                                       "(SELECT IdCliente FROM Clienti) OR IdAgente NOT IN "
                                       "(SELECT IdAgente FROM Agenti)")),
              0);
    // Apostrophes survive the script.
    EXPECT_GE(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Comuni WHERE Comune = 'L''Aquila'")),
              1);
}

TEST(SampleDatabase, DeclaresTheForeignKeysTheNavigatorFollows) {
    SqliteFile file;
    auto c = file.Open();
    demo::PrepareSampleDatabase(*c);
    EXPECT_EQ(Links(*c, QStringLiteral("Clienti")),
              QStringList{QStringLiteral("IdComune->Comuni")});
    EXPECT_EQ(
        Links(*c, QStringLiteral("Ordini")),
        (QStringList{QStringLiteral("IdAgente->Agenti"), QStringLiteral("IdCliente->Clienti")}));
    EXPECT_TRUE(Links(*c, QStringLiteral("Comuni")).isEmpty());
}

TEST(SampleDatabase, IsTheSameEveryTimeAndIsNotFilledTwice) {
    SqliteFile a;
    SqliteFile b;
    auto ca = a.Open();
    auto cb = b.Open();
    ASSERT_TRUE(demo::PrepareSampleDatabase(*ca));
    ASSERT_TRUE(demo::PrepareSampleDatabase(*cb));
    EXPECT_EQ(Dump(*ca), Dump(*cb));

    // A database that already has the tables keeps its rows.
    ca->Execute(QStringLiteral("DELETE FROM Ordini WHERE IdOrdine = 1"));
    EXPECT_FALSE(demo::PrepareSampleDatabase(*ca));
    EXPECT_EQ(Count(*ca, QStringLiteral("SELECT COUNT(*) FROM Ordini")), 419);
}

TEST(SampleDatabase, AFolderWithOtherTablesStillGetsTheDemoTables) {
    SqliteFile file(QStringLiteral("CREATE TABLE Clienti (x INTEGER)"));
    auto c = file.Open();
    EXPECT_FALSE(demo::HasSampleTables(*c));
    // The script does not overwrite a foreign table of the same name: it fails.
    EXPECT_THROW(demo::PrepareSampleDatabase(*c), tessaro::TessaroError);
}

TEST(GrowCustomers, FillsUpToTheCountWithTheSameCustomersEveryTime) {
    SqliteFile a;
    SqliteFile b;
    auto ca = a.Open();
    auto cb = b.Open();
    demo::PrepareSampleDatabase(*ca);
    demo::PrepareSampleDatabase(*cb);
    EXPECT_EQ(demo::GrowCustomers(*ca, 1500), 1280);
    EXPECT_EQ(demo::GrowCustomers(*ca, 1500), 0);
    EXPECT_EQ(demo::GrowCustomers(*ca, 100), 0);
    EXPECT_EQ(Count(*ca, QStringLiteral("SELECT COUNT(*) FROM Clienti")), 1500);
    demo::GrowCustomers(*cb, 1500);
    EXPECT_EQ(Dump(*ca), Dump(*cb));
    // Generated customers live in towns that exist, and some are inactive.
    EXPECT_EQ(Count(*ca, QStringLiteral("SELECT COUNT(*) FROM Clienti WHERE IdComune NOT IN "
                                        "(SELECT IdComune FROM Comuni)")),
              0);
    const qint64 inattivi =
        Count(*ca, QStringLiteral("SELECT COUNT(*) FROM Clienti WHERE Attivo = 0"));
    EXPECT_GT(inattivi, 0);
    EXPECT_LT(inattivi, 1500 / 4);
}

TEST(GrowCustomers, GeneratorDependsOnlyOnTheIndex) {
    const demo::GeneratedCustomer x = demo::GenerateCustomer(12345, 68);
    const demo::GeneratedCustomer y = demo::GenerateCustomer(12345, 68);
    EXPECT_EQ(x.Cognome, y.Cognome);
    EXPECT_EQ(x.Telefono, y.Telefono);
    EXPECT_EQ(x.IdComune, y.IdComune);
    QStringList diversi;
    for (quint64 n = 0; n < 50; ++n) {
        const demo::GeneratedCustomer c = demo::GenerateCustomer(n, 3);
        EXPECT_GE(c.IdComune, 1);
        EXPECT_LE(c.IdComune, 3);
        diversi << c.Cognome + c.Nome;
    }
    diversi.removeDuplicates();
    EXPECT_GT(diversi.size(), 40);
}

TEST(Filtro, TurnsASurnameIntoAConditionAndKeepsSqlAsItIs) {
    EXPECT_EQ(demo::CondizioneDaFiltro(QStringLiteral("  "), QStringLiteral("Clienti")), QString());
    EXPECT_EQ(demo::CondizioneDaFiltro(QStringLiteral(" Ros "), QStringLiteral("Clienti")),
              QStringLiteral("Cognome LIKE 'Ros%'"));
    EXPECT_EQ(demo::CondizioneDaFiltro(QStringLiteral("D'Amico"), QStringLiteral("Clienti")),
              QStringLiteral("Cognome LIKE 'D''Amico%'"));
    EXPECT_EQ(demo::CondizioneDaFiltro(QStringLiteral("Rossi"), QStringLiteral("Ordini")),
              QStringLiteral("IdCliente IN (SELECT IdCliente FROM Clienti WHERE Cognome LIKE "
                             "'Rossi%')"));
    EXPECT_EQ(demo::CondizioneDaFiltro(QStringLiteral("Attivo = 0"), QStringLiteral("Clienti")),
              QStringLiteral("Attivo = 0"));
    EXPECT_EQ(
        demo::CondizioneDaFiltro(QStringLiteral("Note like '%urgente%'"), QStringLiteral("Ordini")),
        QStringLiteral("Note like '%urgente%'"));
    // Surnames that merely contain a keyword are names, not SQL.
    for (const char* nome : {"Martini", "Isola", "Benedetti", "Marino", "Lombardi"})
        EXPECT_FALSE(demo::SembraCondizioneSql(QString::fromLatin1(nome))) << nome;
    EXPECT_TRUE(demo::SembraCondizioneSql(QStringLiteral("IdComune IN (1, 2)")));
    EXPECT_TRUE(demo::SembraCondizioneSql(QStringLiteral("Note IS NULL")));
    EXPECT_TRUE(demo::SembraCondizioneSql(QStringLiteral("Importo BETWEEN 10 AND 20")));
    EXPECT_TRUE(demo::SembraCondizioneSql(QStringLiteral("Importo>100")));
}

TEST(Filtro, ASurnameConditionSelectsTheRightRows) {
    SqliteFile file;
    auto c = file.Open();
    demo::PrepareSampleDatabase(*c);
    const QString cond =
        demo::CondizioneDaFiltro(QStringLiteral("Rossi"), QStringLiteral("Ordini"));
    EXPECT_EQ(Count(*c, QStringLiteral("SELECT COUNT(*) FROM Ordini WHERE ") + cond),
              Count(*c, QStringLiteral("SELECT COUNT(*) FROM Ordini o JOIN Clienti k ON "
                                       "k.IdCliente = o.IdCliente WHERE k.Cognome LIKE 'Rossi%'")));
}

} // namespace
