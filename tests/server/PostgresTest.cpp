// What only PostgreSQL does: its types and catalogue, names kept in the case
// they were created in and reserved words, tables in another schema, columns
// only the database writes, the transaction a host holds, a killed backend,
// and its change signal.

#include "data/PostgreSqlProvider.h"
#include "data/Values.h"
#include "engine/ContatoreRecord.h"
#include "support/FormFixtures.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QTimeZone>

namespace tessaro::test {
namespace {

#define REQUIRE_POSTGRES()                                                                         \
    if (!ServerAvailable(Motore::Postgres))                                                        \
    GTEST_SKIP() << "no PostgreSQL server in this run"

// Each row as the given columns joined by "|"; Null reads as "~".
QStringList Righe(Recordset& rs, const QStringList& colonne) {
    QStringList out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        QStringList celle;
        for (const QString& c : colonne) {
            const QVariant v = rs.Fields().Item(c).Value();
            celle << (v.isNull() ? "~" : ValueToText(v));
        }
        out << celle.join('|');
    }
    return out;
}

TEST(PostgreSql, EveryColumnTypeIsReadWithItsCodeSizeAndValue) {
    REQUIRE_POSTGRES();
    const auto banco = Banco::Crea(Motore::Postgres);
    banco->Exec({"CREATE TABLE tipi (id INT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, s SERIAL, "
                 "flag BOOLEAN NOT NULL DEFAULT FALSE, corto SMALLINT, grande BIGINT, "
                 "fisso CHAR(4), nome VARCHAR(30) NOT NULL, lungo TEXT, momento TIMESTAMP(3), "
                 "zona TIMESTAMPTZ, ora TIME, importo NUMERIC(10,2), doppio DOUBLE PRECISION, "
                 "codice UUID, dati BYTEA, doppia INT GENERATED ALWAYS AS (corto * 2) STORED)",
                 "INSERT INTO tipi (flag, corto, grande, fisso, nome, momento, zona, ora, "
                 "importo, doppio, codice, dati) VALUES (TRUE, -5, 9000000000, 'ab', "
                 "'Città €😀', '2024-03-05 09:07:03.25', '2024-03-05 09:07:03+00', '09:07:03', "
                 "12.5, 0.1, 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', '\\x00ff')"});
    // Through its socket folder too.
    Connection conn;
    conn.Open(QString("Provider=Postgres;Socket=%1;Port=%2;User=postgres;Database=%3")
                  .arg(qEnvironmentVariable("TESSARO_POSTGRES_SOCKET_DIR"),
                       qEnvironmentVariable("TESSARO_POSTGRES_PORT"),
                       banco->ConnectionString().section("Database=", 1).section(';', 0, 0)));
    EXPECT_EQ(conn.TipoDatabase(), 5);
    auto schema = conn.OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "TIPI"});
    EXPECT_EQ(Righe(*schema, {"COLUMN_NAME", "DATA_TYPE", "CHARACTER_MAXIMUM_LENGTH",
                              "NUMERIC_PRECISION", "NUMERIC_SCALE", "IS_NULLABLE",
                              "IS_AUTOINCREMENT", "IS_GENERATED_ALWAYS", "DATETIME_PRECISION"}),
              QStringList(
                  {"id|3|~|~|~|0|1|1|~", "s|3|~|~|~|0|1|0|~", "flag|11|~|~|~|0|0|0|~",
                   "corto|2|~|~|~|1|0|0|~", "grande|20|~|~|~|1|0|0|~", "fisso|130|4|~|~|1|0|0|~",
                   "nome|130|30|~|~|0|0|0|~", "lungo|130|0|~|~|1|0|0|~",
                   "momento|135|~|~|~|1|0|0|3", "zona|135|~|~|~|1|0|0|6", "ora|134|~|~|~|1|0|0|6",
                   "importo|131|~|10|2|1|0|0|~", "doppio|5|~|~|~|1|0|0|~",
                   "codice|72|~|~|~|1|0|0|~", "dati|128|~|~|~|1|0|0|~", "doppia|3|~|~|~|1|0|1|~"}));
    Recordset rs;
    rs.Open("SELECT * FROM tipi", &conn);
    for (const QString& riga : Righe(*schema, {"COLUMN_NAME", "DATA_TYPE"}))
        EXPECT_EQ(rs.Fields()[riga.section('|', 0, 0)].Type(), riga.section('|', 1).toInt())
            << riga.toStdString() << ": a result column's code agrees with the schema's";
    EXPECT_EQ(
        std::make_tuple(rs.Fields()["nome"].DefinedSize(), rs.Fields()["fisso"].DefinedSize()),
        std::make_tuple(30L, 4L));
    const QDateTime zona = rs.Fields()["zona"].Value().toDateTime();
    EXPECT_EQ(zona.toUTC(), QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3), QTimeZone::utc()));
    EXPECT_EQ(zona.timeSpec(), Qt::LocalTime) << "shown in the user's time zone";
    QStringList valori;
    for (const char* c :
         {"flag", "grande", "fisso", "nome", "momento", "ora", "importo", "doppio", "codice"})
        valori << ValueToText(rs.Fields()[c].Value());
    EXPECT_EQ(valori, QString::fromUtf8("1|9000000000|ab  |Città €😀|2024-03-05 09:07:03.250|"
                                        "09:07:03|12.50|0.1|a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11")
                          .split('|'));
    EXPECT_EQ(rs.Fields()["dati"].Value().toByteArray(), QByteArray("\x00\xff", 2));
}

// A database whose defaults are not the client's: a moment typed without a
// zone is still the user's, and bytea sent in the escape form reads as its bytes.
TEST(PostgreSql, TheDatabasesOwnDefaultsChangeNothingWrittenOrRead) {
    REQUIRE_POSTGRES();
    const auto banco = Banco::Crea(Motore::Postgres);
    const QString db = banco->ConnectionString().section("Database=", 1).section(';', 0, 0);
    const QDateTime qui(QDate(2024, 3, 5), QTime(9, 7, 3));
    const QString altrove = qui.offsetFromUtc() == 19800 ? "UTC" : "Asia/Kolkata";
    banco->Exec({"CREATE TABLE t (id INT PRIMARY KEY, quando TIMESTAMPTZ, dati BYTEA)",
                 "INSERT INTO t VALUES (1, NULL, '\\x5c00ff41'), (2, NULL, '\\x'), "
                 "(3, NULL, '\\x415c')",
                 QString("ALTER DATABASE \"%1\" SET timezone = '%2'").arg(db, altrove),
                 QString("ALTER DATABASE \"%1\" SET bytea_output = 'escape'").arg(db)});
    const auto conn = banco->Open();
    conn->Execute("UPDATE t SET quando = '2024-03-05 09:07:03' WHERE id = 1");
    Recordset rs;
    rs.Open("SELECT quando, dati, DATE '2024-03-05' AS giorno FROM t ORDER BY id", conn.get());
    EXPECT_EQ(std::make_tuple(rs.Fields()["quando"].Value(), rs.Fields()["giorno"].Value()),
              std::make_tuple(QVariant(qui), QVariant(qui.date())));
    QList<QByteArray> dati;
    for (; !rs.Eof(); rs.MoveNext())
        dati << rs.Fields()["dati"].Value().toByteArray();
    EXPECT_EQ(dati, (QList<QByteArray>{QByteArray::fromHex("5c00ff41"), QByteArray(),
                                       QByteArray::fromHex("415c")}));
}

// The counter counts on a connection of its own, opened afresh after a count
// that failed, and closed when the counter goes.
TEST(PostgreSql, TheCountersOwnSessionIsRenewedAfterAFailureAndEndsWithIt) {
    REQUIRE_POSTGRES();
    const auto banco = Banco::Crea(Motore::Postgres);
    const auto conn = banco->Open();
    const auto sessioni = [&] {
        return banco
            ->Cell("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database()")
            .toInt();
    };
    const int prima = sessioni();
    {
        ContatoreRecord contatore(*conn);
        std::vector<std::pair<bool, qint64>> esiti; // each count: its session's server process
        QObject::connect(&contatore, &ContatoreRecord::Contato, [&](const EsitoConteggio& e) {
            esiti.emplace_back(e.riuscito, e.totale);
        });
        for (const char* testo :
             {"SELECT pg_backend_pid()", "SELECT * FROM manca", "SELECT pg_backend_pid()"}) {
            RichiestaConteggio conta;
            conta.totale.testo = testo;
            contatore.Chiedi(conta);
            ASSERT_TRUE(QSignalSpy(&contatore, &ContatoreRecord::Contato).wait(10000)) << testo;
        }
        // (The session given up may still be listed a moment: not counted here.)
        EXPECT_EQ(std::make_tuple(esiti[0].first, esiti[1].first, esiti[2].first),
                  std::make_tuple(true, false, true));
        EXPECT_NE(esiti[0].second, esiti[2].second) << "a new session after the failure";
    }
    QElapsedTimer t; // the server notices the end of a session a moment later
    for (t.start(); sessioni() != prima && t.elapsed() < 5000;)
        QThread::msleep(20);
    EXPECT_EQ(sessioni(), prima);
}

TEST(PostgreSql, ConnectionStringsNameTheServerTheirWay) {
    const ConnectionSettings s = ConnectionSettings::Parse(
        "Provider=QPSQL;Host=db.local;Port=5433;Database=d;User Id=u;Pwd=p;Search Path=a, b");
    EXPECT_EQ(std::make_tuple(s.provider, s.host, s.port, s.database, s.user, s.password),
              std::make_tuple(QString("PostgreSQL"), QString("db.local"), 5433, QString("d"),
                              QString("u"), QString("p")));
    EXPECT_TRUE(postgres::ConnectOptions(s.searchPath).endsWith(";options='-csearch_path=a,b'"));
    // A value between quotes loses them, an empty one too.
    const ConnectionSettings q =
        ConnectionSettings::Parse("Provider=PostgreSQL;Server='h';Password=\"\";User=\"");
    EXPECT_EQ(std::make_tuple(q.host, q.password, q.user),
              std::make_tuple(QString("h"), QString(), QString("\"")));
    EXPECT_EQ(postgres::RelationCondition("c.oid", "Vendite.\"O'Rdini\""),
              "c.oid = COALESCE(pg_catalog.to_regclass('\"Vendite\".\"O''Rdini\"'), "
              "pg_catalog.to_regclass('\"vendite\".\"O''Rdini\"'))");
}

// The change signal moves with every commit that wrote, whenever its
// transaction began; a read leaves it as it was. The signal is the whole
// server's: a server of its own keeps other tests' writes out.
TEST(PostgreSql, TheChangeSignalMovesWithEveryWriteOfAnyone) {
    REQUIRE_POSTGRES();
    PrivateServer server(Motore::Postgres);
    ASSERT_TRUE(server.Started()) << server.Error().toStdString();
    const auto banco = Banco::Crea(Motore::Postgres, server.ConnectionString());
    banco->Exec({"CREATE TABLE t (k INT PRIMARY KEY)"});
    const auto conn = banco->Open();
    const auto altro = banco->Open();
    const auto segnale = [&] { return conn->Signal().value_or(ChangeSignal{}).rows; };
    const QString prima = segnale();
    RowsAsText(conn.get(), "SELECT * FROM t");
    RowsAsText(altro.get(), "SELECT * FROM t");
    EXPECT_EQ(segnale(), prima) << "reads change nothing";
    altro->BeginTrans();
    altro->Execute("INSERT INTO t VALUES (1)");
    conn->Execute("INSERT INTO t VALUES (2)");
    const QString nostra = segnale();
    EXPECT_NE(nostra, prima);
    altro->CommitTrans(); // begun before, committed after ours
    EXPECT_NE(segnale(), nostra);
    EXPECT_FALSE(prima.isEmpty());
}

class SoloPostgres : public FormaTest {
protected:
    Motore Engine() const override { return Motore::Postgres; }
};

// Reparti and Ordini are created quoted, so stored as written; Ordini lives in
// a schema of its own, and some of its columns are named by reserved words.
TEST_F(SoloPostgres, NamesAsStoredTablesOfASchemaAndKeysTheDatabaseGives) {
    Schema({"CREATE SCHEMA vendite",
            "CREATE TABLE \"Reparti\" (\"IdReparto\" INT PRIMARY KEY, \"Nome\" VARCHAR(20), "
            "\"user\" VARCHAR(20))",
            "INSERT INTO \"Reparti\" VALUES (1, 'Acquisti', 'anna'), (2, 'Vendite', 'bruno')",
            "CREATE TABLE vendite.\"Ordini\" (\"Numero\" INT GENERATED ALWAYS AS IDENTITY "
            "PRIMARY KEY, \"order\" VARCHAR(10) NOT NULL, \"IdReparto\" INT REFERENCES "
            "\"Reparti\")",
            "INSERT INTO vendite.\"Ordini\" (\"order\", \"IdReparto\") VALUES ('primo', 1), "
            "('secondo', 2)"});
    QLineEdit* numero = txtId = AddText("txtNumero", "#Numero");
    auto* ordine = AddText("txtOrder", "#order");
    auto* reparto = AddCombo("cboReparto", Tag({"IdReparto", "", "Nome", " - ", "user"}));
    auto* utente = AddText("txtUtente", Tag({"IdReparto", "user"}));
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.MessaggioConfermaEliminaDisabilitato = true;
    ASSERT_TRUE(Init("vendite.Ordini", "order"));
    EXPECT_EQ(nav.TabellaSql(), "vendite.\"Ordini\"");
    EXPECT_EQ(
        std::make_tuple(numero->text(), ordine->text(), reparto->currentText(), utente->text()),
        std::make_tuple(QString("2"), QString("secondo"), QString("Vendite - bruno"),
                        QString("bruno")));
    nav.MoveFirst();
    EXPECT_EQ(ordine->text(), "primo");

    nav.Addnew();
    ordine->setText("terzo");
    reparto->setCurrentIndex(reparto->findText("Acquisti - anna"));
    nav.Update();
    EXPECT_EQ(std::make_tuple(numero->text(), ordine->text(), Count()),
              std::make_tuple(QString("3"), QString("terzo"), 3))
        << "the key the database gave, read back with RETURNING";
    nav.Addnew(); // a key box the host opens for typing: the database refuses it
    numero->setProperty("ChiaveModificabile", true);
    ordine->setText("quarto");
    numero->setText("9");
    ExpectOneBox([&] { nav.Update(); }, "TQ78 #Numero", 48, "TQ02");
    nav.Annulla();
    EditRecord("3");
    ordine->setText("ultimo");
    nav.Update();
    nav.Delete();
    EXPECT_EQ(banco->Rows("SELECT \"Numero\", \"order\" FROM vendite.\"Ordini\" ORDER BY 1"),
              QStringList({"1|primo", "2|secondo"}));

    // Without the schema, through the connection's search path.
    Connection percorso;
    percorso.Open(banco->ConnectionString() + ";Search Path=vendite, public");
    clsADONavigator altro;
    altro.TipoDatabase = 5;
    EXPECT_TRUE(altro.Init_Class(&percorso, "Ordini", FormOf(form.get()), "order", {}, "#", ""));
    EXPECT_EQ(ordine->text(), "secondo");
}

// A host's transaction is the host's: a write that fails inside it is undone
// alone, and never leaves it aborted; one that succeeds is the host's to keep.
TEST_F(SoloPostgres, AWriteInsideTheHostsTransactionNeverAbortsIt) {
    Clienti({"ALTER TABLE Clienti ADD CHECK (Eta < 150)"});
    ASSERT_TRUE(Init());
    EditRecord("20");
    conn->BeginTrans();
    conn->Execute("UPDATE Comuni SET Nome = 'Torino!' WHERE IdComune = 1");
    txtEta->setText("200");
    boxes.Expect(MsgAnswer::Ok);
    nav.Update();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown().front().text.startsWith("ClsAdoNavigator_Metodo_Update -2147217900"));
    EXPECT_EQ(nav.State(), 6) << "the typing stays";
    txtEta->setText("51");
    nav.Update();
    conn->Execute("UPDATE Comuni SET Provincia = 'T0' WHERE IdComune = 1"); // still usable
    conn->CommitTrans();
    EXPECT_EQ(banco->Cell("SELECT Nome, Provincia FROM Comuni WHERE IdComune = 1"), "Torino!|T0");
    EXPECT_EQ(Riga("20").section('|', 2, 2), "51");
}

TEST_F(SoloPostgres, ABackendKilledByAnotherSessionIsReplacedAtTheNextStep) {
    Clienti();
    ASSERT_TRUE(Init());
    const QString pid = RowsAsText(conn.get(), "SELECT pg_backend_pid()").value(0);
    banco->Exec({"SELECT pg_terminate_backend(" + pid + ")"});
    nav.MoveFirst();
    EXPECT_EQ(std::make_tuple(Id(), conn->State()), std::make_tuple(QString("10"), 1));
    EXPECT_NE(RowsAsText(conn.get(), "SELECT pg_backend_pid()").value(0), pid);
}

} // namespace
} // namespace tessaro::test
