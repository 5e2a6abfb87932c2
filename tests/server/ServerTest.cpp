// What only the servers do: their column types, connecting to them, names and
// schemas on PostgreSQL, and the server going away under an open connection
// and an open form.

#include "data/MySqlProvider.h"
#include "data/Values.h"
#include "support/FormFixtures.h"

namespace tessaro::test {
namespace {

#define REQUIRE_SERVER()                                                                           \
    if (!ServerAvailable())                                                                        \
    GTEST_SKIP() << "no MariaDB server in this run"

TEST(MySql, EveryColumnTypeIsReadWithItsCodeSizeAndValue) {
    REQUIRE_SERVER();
    const auto banco = Banco::Crea(Motore::MariaDb);
    banco->Exec(
        {"CREATE TABLE AllTypes (Id INT AUTO_INCREMENT PRIMARY KEY, Piccolo TINYINT, "
         "Flag TINYINT(1) NOT NULL DEFAULT 0, Bit1 BIT(1), Corto SMALLINT, Grande BIGINT, "
         "Fisso CHAR(10) DEFAULT 'a''b', Nome VARCHAR(30) NOT NULL, Lungo LONGTEXT, Momento "
         "DATETIME, "
         "Stampa TIMESTAMP NULL, Ora TIME, Importo DECIMAL(10,2), Singolo FLOAT, "
         "Latino VARCHAR(12) CHARACTER SET latin1)",
         "INSERT INTO AllTypes (Piccolo, Flag, Bit1, Corto, Grande, Fisso, Nome, Momento, Stampa, "
         "Ora, Importo, Singolo, Latino) VALUES (-5, 1, b'1', 300, 9000000000, 'ab', 'Città €😀', "
         "'2024-3-5 9:7:3', '2024-3-5 0:0:0', '9:7:3', 12.5, 2.5, 'Jöß')",
         "INSERT INTO AllTypes (Nome) VALUES ('vuoto')"});
    const auto conn = banco->Open();
    auto schema = conn->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), "AllTypes"});
    QStringList described;
    for (schema->MoveFirst(); !schema->Eof(); schema->MoveNext())
        described << QStringLiteral("%1|%2|%3|%4")
                         .arg(schema->Fields()["COLUMN_NAME"].Value().toString())
                         .arg(schema->Fields()["DATA_TYPE"].Value().toInt())
                         .arg(ValueToText(schema->Fields()["CHARACTER_MAXIMUM_LENGTH"].Value()),
                              ValueToText(schema->Fields()["COLUMN_DEFAULT"].Value()));
    EXPECT_EQ(described,
              QStringList({"Id|3||", "Piccolo|16||", "Flag|11||0", "Bit1|11||", "Corto|2||",
                           "Grande|20||", "Fisso|130|10|a'b", "Nome|130|30|", "Lungo|130|0|",
                           "Momento|135||", "Stampa|135||", "Ora|134||", "Importo|131||",
                           "Singolo|4||", "Latino|130|12|"}));
    Recordset rs;
    rs.Open("SELECT * FROM AllTypes ORDER BY Id", conn.get());
    const Fields f = rs.Fields();
    for (const QString& d : described) // a result column's code agrees with the schema's
        EXPECT_EQ(f[d.section('|', 0, 0)].Type(), d.section('|', 1, 1).toInt()) << d.toStdString();
    EXPECT_EQ(std::make_tuple(f["Nome"].DefinedSize(), f["Latino"].DefinedSize()),
              std::make_tuple(30, 12));
    QStringList values;
    for (const char* c : {"Flag", "Bit1", "Grande", "Nome", "Latino", "Momento", "Ora", "Importo"})
        values << ValueToText(f[c].Value());
    EXPECT_EQ(values, QStringList({"1", "1", "9000000000", "Città €😀", "Jöß", "2024-03-05 09:07:03",
                                   "09:07:03", "12.50"}));
    rs.MoveNext();
    EXPECT_EQ(std::make_tuple(f["Bit1"].Value().isNull(), f["Ora"].Value().isNull()),
              std::make_tuple(true, true));
}

class SoloServer : public FormaTest {
protected:
    Motore Engine() const override { return Motore::MariaDb; }
};

TEST_F(SoloServer, ScrollingDisabledShowsTheLastRecord) {
    Clienti({"DELETE FROM Clienti WHERE IdCliente > 10"});
    nav.ScorrimentoDisabilitato = -1;
    ASSERT_TRUE(Init());
    EXPECT_EQ(std::make_tuple(Id(), Count()), Expected("10", 1));
    banco->Exec({"INSERT INTO Clienti (IdCliente, Cognome) VALUES (20, 'B'), (30, 'C')"});
    nav.AggiornaTheData();
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text()), Expected("30", "C"));
}

// Table names told apart by case, keys compared without it, another user's lock.
TEST_F(SoloServer, NamesKeysAndLocksAsTheServerTreatsThem) {
    Schema({"CREATE TABLE K (k VARCHAR(10) PRIMARY KEY, n VARCHAR(10))",
            "INSERT INTO K VALUES ('abc', 'a'), ('def', 'd')"});
    txtId = AddText("txtK", "#k");
    ExpectOneBox([&] { EXPECT_FALSE(Init("k", "k")); }, "TQ46", 16, "TQ03");
    conn->Open(banco->ConnectionString() + ";Busy Timeout=1000");
    ASSERT_TRUE(Init("K", "k"));
    const auto other = banco->Open();
    EditRecord("abc");
    other->Execute("UPDATE K SET k = 'ABC' WHERE k = 'abc'");
    ExpectOneBox([&] { nav.Update(); }, "TQ52\rTQ53", 51, "TQ54", MsgAnswer::Yes);
    EXPECT_EQ(Id(), "ABC") << "the record saved is found as the server compares keys";
    EditRecord("def");
    other->Execute("START TRANSACTION");
    other->Execute("UPDATE K SET n = 'suo' WHERE k = 'def'");
    ExpectOneBox([&] { nav.Update(); }, "TQ43", 48, "TQ02"); // not a lost connection
}

// A form whose server is killed and restarted on the same port and data.
class Recupero : public FormaTest, public ::testing::WithParamInterface<Motore> {
protected:
    Motore Engine() const override { return GetParam(); }
    void SetUp() override {
        BoxesTest::SetUp();
        if (!ServerAvailable(Engine()))
            GTEST_SKIP() << "no server of this engine in this run";
        server = std::make_unique<PrivateServer>(Engine());
        ASSERT_TRUE(server->Started()) << server->Error().toStdString();
        banco = Banco::Crea(Engine(), server->ConnectionString());
        nav.SetEventSink(&log);
        Clienti();
        ASSERT_TRUE(Init());
        nav.MessaggioConfermaNuovoDisabilitato = true;
    }
    void TearDown() override {
        FormaTest::TearDown();
        conn.reset();
        banco.reset();
        server.reset();
    }
    void ExpectNetworkMessage(const std::function<void()>& operation) {
        ExpectOneBox(operation, "Si è verificato un errore di rete nell'accesso al database", 48,
                     "Attenzione!");
    }
    std::unique_ptr<PrivateServer> server;
};

using RecuperoMariaDb = Recupero;

TEST_P(RecuperoMariaDb, ASessionIsStrictAndReadsBackslashesAsEscapesWhateverTheServersMode) {
    banco->Exec({"SET GLOBAL sql_mode = 'NO_BACKSLASH_ESCAPES'",
                 "CREATE TABLE Testi (Id INT PRIMARY KEY, Lungo TEXT, Corto TINYTEXT, "
                 "Latino VARCHAR(10) CHARACTER SET latin1, Momento DATETIME)",
                 "INSERT INTO Testi VALUES (1, 'l', 'c', 'x', '2024-03-05 10:00:00')"});
    conn->Open(banco->ConnectionString()); // a session of the server's mode
    const QString emoji = QString::fromUtf8("\U0001F600");
    const std::pair<QString, QString> troppo[] = {
        {"Lungo", emoji.repeated(16384)}, {"Latino", emoji}, {"Momento", "2024-03-05 10:00:00.5"}};
    TaggedForm f("frmTesti");
    for (const auto& [colonna, testo] : troppo)
        f.AddTagged<QPlainTextEdit>(colonna, "#" + colonna);
    clsADONavigator testi;
    testi.TipoDatabase = 2;
    ASSERT_TRUE(testi.Init_Class(conn.get(), "Testi", FormOf(f.form.get()), "Id", {}, "#", ""));
    for (const auto& [colonna, testo] : troppo) {
        testi.Edit();
        f.form->findChild<QPlainTextEdit*>(colonna)->setPlainText(testo);
        boxes.Expect();
        testi.Update();
        EXPECT_TRUE(boxes.Shown().back().text.contains("TQ76")) << colonna.toStdString();
        testi.Annulla();
    }
    testi.Edit(); // and reads backslashes as escapes, as kind 2 writes them
    f.form->findChild<QPlainTextEdit*>("Lungo")->setPlainText("C:\\d'x\\");
    testi.Update();
    EXPECT_EQ(banco->Rows("SELECT Lungo, Corto, Latino, Momento FROM Testi"),
              QStringList{"C:\\d'x\\|c|x|2024-03-05 10:00:00"});
}

INSTANTIATE_TEST_SUITE_P(Server, RecuperoMariaDb, ::testing::Values(Motore::MariaDb), NomeMotore);

TEST_P(Recupero, WhatIsTypedWhileTheServerIsDownIsKeptAndSavedOnceAfter) {
    EditRecord("20");
    txtCognome->setText("d'Este \\");
    txtNote->setPlainText("scritta mentre\nil server era giù");
    server->Kill();
    ExpectNetworkMessage([&] { nav.Update(); });
    ExpectNetworkMessage([&] { nav.Annulla(); }); // nor is it dropped by a cancel
    EXPECT_EQ(conn->State(), adStateClosed);
    EXPECT_EQ(nav.State(), 6);
    EXPECT_EQ(txtCognome->text(), "d'Este \\");
    EXPECT_FALSE(txtCognome->isReadOnly());
    EXPECT_TRUE(log.names.isEmpty());
    server->Restart();
    EXPECT_EQ(Riga("20"), "Bianchi|n20|50|2.5|1974-03-02|0|2|C20") << "nothing was written";
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList{"AfterUpdate"});
    EXPECT_EQ(Riga("20"), "d'Este \\|scritta mentre\nil server era giù|50|2.5|1974-03-02|0|2|C20");

    nav.Addnew();
    txtCognome->setText("Gialli");
    txtSaldo->setText("1,25");
    cboComune->setEditText("Milano");
    server->Kill();
    ExpectNetworkMessage([&] { nav.Update(); });
    ExpectNetworkMessage([&] { nav.Update(); });
    EXPECT_EQ(txtSaldo->text(), "1,25");
    server->Restart();
    nav.Update();
    EXPECT_EQ(Keys(), QStringList({"10", "20", "30", "31"}));
    EXPECT_EQ(Riga("31"), "Gialli|<null>|<null>|1.25|<null>|0|2|nuovo");
    EXPECT_EQ(Id(), "31");
}

INSTANTIATE_TEST_SUITE_P(Servers, Recupero, ::testing::Values(Motore::MariaDb, Motore::Postgres),
                         NomeMotore);

} // namespace
} // namespace tessaro::test
