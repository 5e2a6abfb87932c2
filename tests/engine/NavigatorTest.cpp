// The navigator's set-up, key list, moves and change signal, on both engines.

#include "data/Values.h"
#include "engine/collTabellaPrincipale.h"
#include "language/modLanguageSupport.h"
#include "support/FormFixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

namespace tessaro::test {
namespace {

using Navigatore = SuEntrambi<>;

TEST_P(Navigatore, SetUpReadsTheSchemaAndShowsTheLastRecord) {
    Clienti();
    ASSERT_TRUE(Init());
    EXPECT_EQ(std::make_tuple(nav.CampoChiave(), nav.TipoChiave()),
              std::make_tuple(banco->Memorizzato("IdCliente"), 3));
    const collTabellaPrincipale& cols = *nav.TabellaPrincipale();
    ASSERT_EQ(cols.Count(), 9) << "the primary table's columns only";
    EXPECT_EQ(std::make_tuple(cols.Item(1)->ChiavePrimaria(), cols.Item("COGNOME")->IsNullable()),
              std::make_tuple(true, false));
    EXPECT_EQ(cols.Item(cols.Count())->NomeCampo(), banco->Memorizzato("Codice"));
    const auto N = [&](const char* nome) { return banco->Memorizzato(nome); };
    EXPECT_EQ(nav.SqlRecordCorrente(),
              QString("SELECT %1.*, %2_1.%5 FROM (%1 LEFT JOIN %2 AS %2_1 ON (%2_1.%3) = (%1.%3)) "
                      "Where %1.%4 = 30")
                  .arg(N("Clienti"), N("Comuni"), N("IdComune"), N("IdCliente"), N("Provincia")));
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(std::make_tuple(txtCognome->text(), txtNote->toPlainText(), txtNascita->text(),
                              txtProvincia->text(), cboComune->currentText()),
              Expected("Verdi", "n30", "1964-04-03", "TO", "Torino"));
    EXPECT_EQ(
        std::make_tuple(chkAttivo->isChecked(), txtCognome->isReadOnly(), chkAttivo->isEnabled()),
        std::make_tuple(true, true, false));
}

TEST_P(Navigatore, MovesSetStatesAndPositionsAndNeverWrap) {
    Clienti();
    ASSERT_TRUE(Init());
    struct Step {
        std::function<void()> move;
        const char* id;
        int state;
    };
    const Step steps[] = {
        {[&] { nav.MoveFirst(); }, "10", 2},  {[&] { nav.MovePrevious(); }, "10", 2},
        {[&] { nav.MoveNext(); }, "20", 7},   {[&] { nav.MoveNext(); }, "30", 3},
        {[&] { nav.MoveNext(); }, "30", 3},   {[&] { nav.MovePrevious(); }, "20", 7},
        {[&] { nav.Move(0); }, "10", 2},      {[&] { nav.Move(-3); }, "10", 2},
        {[&] { nav.Move(2); }, "20", 7},      {[&] { nav.Move(99); }, "30", 3},
        {[&] { nav.MoveTo("20"); }, "20", 7}, {[&] { nav.MoveTo("30"); }, "30", 3},
        {[&] { nav.MoveTo("10"); }, "10", 2}, {[&] { nav.MoveLast(); }, "30", 3}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].move();
        EXPECT_EQ(Id(), steps[i].id) << "step " << i;
        EXPECT_EQ(nav.State(), steps[i].state) << "step " << i;
        EXPECT_EQ(Position(), Id().toInt() / 10) << "step " << i;
    }
    // Bianchi's own Attivo, not the one of the town joined in.
    nav.MovePrevious();
    EXPECT_FALSE(chkAttivo->isChecked());
    EXPECT_EQ(txtProvincia->text(), "MI");
    EXPECT_EQ(cboComune->currentText(), "Milano");

    // A key that is missing, or not a number for a numeric key, finds no record.
    for (const char* key : {"999", "1 OR 1=1"}) {
        ExpectOneBox([&] { nav.MoveTo(QLatin1String(key)); }, "TQ44", 48, "TQ02");
        EXPECT_EQ(std::make_tuple(Id(), Position()), Expected("20", 2)) << "the record stays shown";
    }
    nav.MovePrevious(); // the next move starts again from the record shown
    EXPECT_EQ(Id(), "10");
}

TEST_P(Navigatore, EveryStepSeesWhatOthersChanged) {
    Clienti({"INSERT INTO Clienti VALUES (40, 'Neri', NULL, NULL, NULL, NULL, TRUE, 2, 'C40')",
             "INSERT INTO Clienti VALUES (50, 'Zeta', NULL, NULL, NULL, NULL, FALSE, 2, 'C50')"});
    ASSERT_TRUE(Init("Clienti", "Cognome")); // Bianchi 20, Neri 40, Rossi 10, Verdi 30, Zeta 50
    const auto other = banco->Open();
    struct Step {
        const char* change; // by another connection, "own:" on the navigator's own
        std::function<void()> move;
        const char* id;
        int position;
        int count;
    };
    const Step steps[] = {
        {"", [&] { nav.MoveTo("10"); }, "10", 3, 5},
        {"", [&] { nav.MoveNext(); }, "30", 4, 5},
        {"", [&] { nav.MovePrevious(); }, "10", 3, 5},
        {"INSERT INTO Clienti (IdCliente, Cognome, IdComune) VALUES (5, 'Alfa', 1)",
         [&] { nav.MoveNext(); }, "30", 5, 6},
        {"DELETE FROM Clienti WHERE IdCliente = 50", [&] { nav.MovePrevious(); }, "10", 4, 5},
        {"UPDATE Clienti SET Cognome = 'Zorro' WHERE IdCliente = 10", [&] { nav.MoveNext(); }, "10",
         5, 5},
        {"own:DELETE FROM Clienti WHERE IdCliente = 30", [&] { nav.MovePrevious(); }, "40", 3, 4},
        {"own:INSERT INTO Clienti (IdCliente, Cognome, IdComune) VALUES (45, 'Nero', 2)",
         [&] { nav.MoveNext(); }, "45", 4, 5},
        {"INSERT INTO Clienti (IdCliente, Cognome, IdComune) VALUES (25, 'Bruni', 1)",
         [&] { nav.MoveTo("25"); }, "25", 3, 6},
        // The record shown is deleted: the step lands on its neighbour.
        {"DELETE FROM Clienti WHERE IdCliente = 25", [&] { nav.MoveNext(); }, "40", 3, 5},
        {"", [&] { nav.MovePrevious(); }, "20", 2, 5}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const QString change = QLatin1String(steps[i].change);
        if (change.startsWith(QLatin1String("own:")))
            conn->Execute(change.mid(4));
        else if (!change.isEmpty())
            other->Execute(change);
        steps[i].move();
        EXPECT_EQ(Id(), steps[i].id) << "step " << i;
        EXPECT_EQ(Position(), steps[i].position) << "step " << i;
        EXPECT_EQ(Count(), steps[i].count) << "step " << i;
    }
    // A change made while the host had the connection closed is seen too.
    conn->Close();
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 40");
    nav.MovePrevious();
    EXPECT_EQ(std::make_tuple(conn->State(), Id(), Count()), std::make_tuple(1, QString("5"), 4))
        << "the step reconnected";
    // An insert and a delete in the first milliseconds of a second, around a step.
    for (int i = 60; i < 61; ++i) {
        other->Execute(QString("INSERT INTO Clienti (IdCliente, Cognome) VALUES (%1, 'Z')").arg(i));
        QThread::msleep(1000 - QTime::currentTime().msec());
        nav.MoveFirst();
        other->Execute(QString("DELETE FROM Clienti WHERE IdCliente = %1").arg(i));
        nav.MoveLast();
        EXPECT_EQ(Count(), 4) << i;
    }
}

TEST_P(Navigatore, StatesForNoRecordOneRecordAndAConditionThatSelectsNothing) {
    Clienti({"DELETE FROM Clienti"});
    txtCognome->setText("stale");
    ASSERT_TRUE(Init());
    nav.Move(3);
    EXPECT_EQ(std::make_tuple(txtCognome->text(), nav.State()), Expected("", 1))
        << "controls cleared";
    // Rows another user adds are seen at the next move, with one record too.
    const auto other = banco->Open();
    other->Execute("INSERT INTO Clienti (IdCliente, Cognome, IdComune) VALUES (5, 'Primo', 1)");
    nav.MoveFirst();
    EXPECT_EQ(std::make_tuple(Id(), nav.State()), Expected("5", 2))
        << "first, even when the only one";
    other->Execute("INSERT INTO Clienti (IdCliente, Cognome, IdComune) VALUES (7, 'Secondo', 1)");
    nav.mCondizione = "Cognome = 'Primo'";
    nav.AggiornaTheData();
    EXPECT_EQ(std::make_tuple(Id(), nav.State(), Count()), Expected("5", 3, 1));
    nav.mCondizione = "Cognome = 'nessuno'";
    nav.AggiornaTheData();
    EXPECT_EQ(std::make_tuple(Id(), nav.State()), Expected("", 1))
        << "emptied when nothing is selected";
    nav.mCondizione.clear(); // the requery of a step uses the condition of the moment
    nav.MoveLast();
    EXPECT_EQ(std::make_tuple(Id(), Count()), Expected("7", 2));
}

TEST_P(Navigatore, TheFormNeverShowsAnotherRecordsValues) {
    Clienti(
        {"INSERT INTO Clienti VALUES (40, 'Orfano', NULL, NULL, NULL, NULL, TRUE, NULL, 'C40')"});
    ASSERT_TRUE(Init());
    // A record without a town is found, with the town's columns empty; its save
    // goes to its own row.
    EXPECT_EQ(
        std::make_tuple(Id(), txtCognome->text(), txtProvincia->text(), cboComune->currentText()),
        Expected("40", "Orfano", "", ""));
    EditRecord("40");
    txtCognome->setText("Orfanello");
    nav.Update();
    EXPECT_EQ(std::make_tuple(Riga("40").section('|', 0, 0), Riga("30").section('|', 0, 0)),
              Expected("Orfanello", "Verdi"));

    // A record deleted or re-keyed by another user gives way to the one now at
    // its place; with none left the form is emptied.
    const auto other = banco->Open();
    other->Execute("DELETE FROM Clienti WHERE IdCliente = 10");
    nav.Move(1);
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), Position(), Count()),
              Expected("20", "Bianchi", 1, 3));
    other->Execute("UPDATE Clienti SET IdCliente = 35 WHERE IdCliente = 30");
    nav.Move(2);
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), nav.State()), Expected("35", "Verdi", 7));
    other->Execute("DELETE FROM Clienti");
    nav.AggiornaArrayID();
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), txtProvincia->text(), int(nav.State())),
              std::make_tuple(QString(), QString(), QString(), 1));
}

// Keys of the types that are neither integers nor plain text, per engine.
TEST_P(Navigatore, KeysOfEveryTypeOpenBrowseSaveAndDelete) {
    const bool sqlite = Engine() == Motore::Sqlite;
    const std::pair<const char*, QStringList> tipi[] = {
        {"DATE", {"2024-01-05", "2024-02-29", "2024-12-31"}},
        {"DATETIME", {"2024-01-05 08:00:00", "2024-01-05 09:30:15", "2024-02-01 10:00:00"}},
        {"DECIMAL(10,2)", {"1.25", "2.5", "10"}},
        {"UUID",
         {"0b6e3f1c-0000-4000-8000-000000000001", "0b6e3f1c-0000-4000-8000-000000000002",
          "0b6e3f1c-0000-4000-8000-000000000003"}},
        {sqlite ? "STRING" : "VARCHAR(20)", {"A-1", "B'2", "C 3"}},
        {"CHAR(36)", {"x1", "x2", "x3"}}};
    int n = 0;
    for (const auto& [tipo, chiavi] : tipi) {
        const QString tabella = QStringLiteral("K%1").arg(++n);
        Schema({"CREATE TABLE " + tabella + " (k " + tipo + " PRIMARY KEY, n VARCHAR(10))",
                QString("INSERT INTO %1 VALUES ('%2', 'n1'), ('%3', 'n2'), ('%4', 'n3')")
                    .arg(tabella, chiavi[0], QString(chiavi[1]).replace("'", "''"), chiavi[2])});
        TaggedForm f("frm" + tabella);
        auto* txtN = f.AddText("txtN", "#n");
        f.AddText("txtK", "#k");
        clsADONavigator k;
        k.TipoDatabase = banco->Kind();
        k.MessaggioConfermaEliminaDisabilitato = true;
        ASSERT_TRUE(k.Init_Class(conn.get(), tabella, FormOf(f.form.get()), "k", {}, "#", ""))
            << tipo;
        EXPECT_EQ(txtN->text(), "n3") << tipo;
        k.MoveFirst();
        k.MoveNext();
        EXPECT_EQ(txtN->text(), "n2") << tipo;
        k.MoveTo(chiavi[0]);
        EXPECT_EQ(txtN->text(), "n1") << tipo;
        k.Edit();
        txtN->setText("nuovo");
        k.Update();
        k.Delete();
        EXPECT_EQ(banco->Rows("SELECT n FROM " + tabella + " ORDER BY n"),
                  QStringList({"n2", "n3"}))
            << tipo << ": the edit and the delete reached the first row";
    }
}

// A table linked to itself through two columns: each linked box shows the row
// of its own link. A lookup row without a surname is an empty item, and the
// list goes on.
TEST_P(Navigatore, EachLinkedBoxShowsTheRowOfItsOwnLink) {
    Schema({"CREATE TABLE Impiegati (Id INT PRIMARY KEY, Cognome VARCHAR(20), Capo INT, Vice INT, "
            "FOREIGN KEY (Capo) REFERENCES Impiegati (Id), "
            "FOREIGN KEY (Vice) REFERENCES Impiegati (Id))",
            "INSERT INTO Impiegati VALUES (1, 'Rossi', NULL, NULL), (2, NULL, 1, NULL), "
            "(3, 'Verdi', 2, 1), (4, 'Neri', 3, 2)"});
    auto* capo = AddText("txtCapo", Tag({"Capo", "Cognome"}));
    auto* vice = AddText("txtVice", Tag({"Vice", "Impiegati.Cognome"}));
    auto* cboCapo = AddCombo("cboCapo", "#Capo");
    ASSERT_TRUE(Init("Impiegati", "Id"));
    EXPECT_EQ(Items(cboCapo), QStringList({"Rossi", "", "Verdi", "Neri"}));
    const std::tuple<QString, QString, int> attese[] = {
        {"", "", -1}, {"Rossi", "", 0}, {"", "Rossi", 1}, {"Verdi", "", 2}};
    for (int i = 0; i < 4; ++i) {
        nav.Move(i + 1);
        EXPECT_EQ(std::make_tuple(capo->text(), vice->text(), cboCapo->currentIndex()), attese[i]);
    }
}

// A key of two columns is one key everywhere: steps break ties on both, a key
// is written as its parts joined by the tag separator, and a save, a delete
// and the check for another user's change reach exactly one row.
TEST_P(Navigatore, AKeyOfTwoColumnsBrowsesSavesAndDeletesOneRow) {
    Schema({"CREATE TABLE Righe (IdOrdine INTEGER NOT NULL, Riga INTEGER NOT NULL, "
            "Articolo VARCHAR(20), Qta INTEGER, PRIMARY KEY (IdOrdine, Riga))",
            "INSERT INTO Righe VALUES (1, 1, 'Vite', 5), (1, 2, 'Dado', 3), (2, 1, 'Vite', 1), "
            "(2, 2, 'Bullone', 4)"});
    auto* txtOrdine = AddText("txtOrdine", "#IdOrdine");
    auto* txtRiga = AddText("txtRiga", "#Riga");
    auto* txtArticolo = AddText("txtArticolo", "#Articolo");
    auto* txtQta = AddText("txtQta", "#Qta");
    ASSERT_TRUE(Init("Righe", "Articolo"));
    EXPECT_EQ(nav.CampiChiave(),
              QStringList({banco->Memorizzato("IdOrdine"), banco->Memorizzato("Riga")}));
    const auto shown = [&] {
        return std::make_tuple(txtOrdine->text(), txtRiga->text(), Position(), Count(),
                               int(nav.State()));
    };
    using S = std::tuple<QString, QString, int, int, int>;
    // Bullone 2-2, Dado 1-2, Vite 1-1, Vite 2-1.
    EXPECT_EQ(shown(), S("2", "1", 4, 4, 3));
    nav.MoveFirst();
    nav.MoveNext();
    nav.MoveNext();
    EXPECT_EQ(shown(), S("1", "1", 3, 4, 7));
    nav.MoveTo("2" + kSep + "2");
    EXPECT_EQ(shown(), S("2", "2", 1, 4, 2));
    ExpectOneBox([&] { nav.MoveTo("2"); }, "TQ44", 48, "TQ02"); // half a key names none

    // Another user changes the row being edited: kept as typed, that row only.
    nav.MoveTo("1" + kSep + "1");
    nav.Edit();
    txtQta->setText("50");
    banco->Exec({"UPDATE Righe SET Qta = 6 WHERE IdOrdine = 1 AND Riga = 1"});
    log.rispostaConflitto = MsgAnswer::Yes;
    log.Clear();
    nav.Update();
    EXPECT_EQ(log.Steps(), QStringList({"WriteConflict", "AfterUpdate"}));
    EXPECT_EQ(banco->Rows("SELECT Qta FROM Righe ORDER BY IdOrdine, Riga"),
              QStringList({"50", "3", "1", "4"}));
    nav.MessaggioConfermaEliminaDisabilitato = true;
    nav.Delete();
    EXPECT_EQ(shown(), S("1", "2", 2, 3, 7)) << "the record before the one deleted";
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.Addnew();
    txtOrdine->setText("3");
    txtRiga->setText("1");
    txtArticolo->setText("Chiodo");
    nav.Update();
    EXPECT_EQ(shown(), S("3", "1", 2, 4, 7));
    EXPECT_EQ(banco->Rows("SELECT IdOrdine, Riga FROM Righe ORDER BY IdOrdine, Riga"),
              QStringList({"1|2", "2|1", "2|2", "3|1"}));
}

// Every statement a move reads with is served by the index on the sort column
// (with the key after it, as secondary indexes hold it): no scan of the
// table, no sort of its rows, on each engine's own plan.
TEST_P(Navigatore, EveryMoveIsServedByTheIndexOfTheSortColumn) {
    const bool sqlite = Engine() == Motore::Sqlite;
    const bool mariadb = Engine() == Motore::MariaDb;
    // PostgreSQL's secondary indexes do not hold the key: it is named.
    Clienti({!mariadb ? "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE "
                        "i < 3000) INSERT INTO Clienti (IdCliente, Cognome, Eta) SELECT i, 'C' || "
                        "i, CASE WHEN i % 10 = 0 THEN NULL ELSE i % 97 END FROM n"
                      : "INSERT INTO Clienti (IdCliente, Cognome, Eta) SELECT seq, CONCAT('C', "
                        "seq), IF(seq % 10 = 0, NULL, seq % 97) FROM seq_100_to_3000",
             sqlite || mariadb ? "CREATE INDEX ix_Eta ON Clienti (Eta)"
                               : "CREATE INDEX ix_Eta ON Clienti (Eta, IdCliente)",
             !mariadb ? "ANALYZE" : "ANALYZE TABLE Clienti"});
    const StatementSorgente s({.tabella = banco->Memorizzato("Clienti"),
                               .ordine = banco->Memorizzato("Eta"),
                               .chiavi = {banco->Memorizzato("IdCliente")},
                               .tipoOrdine = DbType::Integer,
                               .tipiChiave = {DbType::Integer}},
                              Dialetto::Per(banco->Kind()));
    // The ends read the index from one end; every other move searches it.
    std::vector<std::pair<Interrogazione, bool>> letture = {{s.Estremo(Verso::Avanti), true},
                                                            {s.Estremo(Verso::Indietro), true}};
    for (const Verso v : {Verso::Avanti, Verso::Indietro})
        for (const Ancora& a :
             {Ancora{501, {}, Ancora::Forma::InTabella}, Ancora{501, 43, Ancora::Forma::Scomparsa},
              Ancora{510, {}, Ancora::Forma::Nulla}})
            for (const Interrogazione& q : s.Vicini(v, a))
                letture.emplace_back(q, false);
    letture.emplace_back(s.Capi(), true);
    // SQLite: no scan without an index, no sort. MariaDB: the table's own row
    // reads a range of an index (or one end of it), and sorts nothing.
    // PostgreSQL: no sequential scan, no sort of any kind.
    const QRegularExpression malePerSqlite("TEMP B-TREE|SCAN Clienti(?! USING)");
    const QRegularExpression malePerPostgres("Seq Scan|Sort");
    for (const auto& [q, daUnCapo] : letture) {
        Recordset piano;
        piano.Open((sqlite ? "EXPLAIN QUERY PLAN " : "EXPLAIN ") + q.testo, q.valori, conn.get());
        QStringList righe;
        for (; !piano.Eof(); piano.MoveNext()) {
            const auto campo = [&](const char* c) {
                return ValueToText(piano.Fields().Item(c).Value());
            };
            if (sqlite)
                righe << campo("detail");
            else if (!mariadb)
                righe << campo("QUERY PLAN");
            else if (campo("table") == "Clienti" && campo("select_type") != "SUBQUERY")
                righe << campo("type") + " " + campo("key") + " " + campo("Extra");
        }
        const QString testo = righe.join(" | ");
        const std::string mostra = testo.toStdString() + "\n" + q.testo.toStdString();
        if (!mariadb) {
            EXPECT_FALSE(testo.contains(sqlite ? malePerSqlite : malePerPostgres)) << mostra;
            continue;
        }
        for (const QString& riga : righe)
            EXPECT_TRUE(QRegularExpression(daUnCapo ? "^(range|ref|index) (ix_Eta|PRIMARY)"
                                                    : "^(range|ref) (ix_Eta|PRIMARY)")
                            .match(riga)
                            .hasMatch())
                << mostra;
        EXPECT_FALSE(testo.contains("filesort")) << mostra;
    }
}

INSTANTIATE_FOR_ENGINES(Navigatore);

using NavigatoreSqlite = FormaTest;

// The seeks of kinds 0 and 1 (no server here) as text, and of the kinds that
// run, with what they bind: literals where the kind writes them, marks to bind
// on SQLite; row values only where the index serves them; TOP, OFFSET or the
// skipped keys of Jet.
TEST(StatementSorgenteTesto, EveryKindWritesItsSeeks) {
    const QString anc = "(Select ancora.Cognome from Clienti AS ancora Where ancora.IdCliente = ";
    const QString dove = "Select %1IdCliente from Clienti WHERE (Attivo = 1) AND ";
    const QString ordine = " Order by Clienti.Cognome, Clienti.IdCliente";
    struct Caso {
        int kind;
        QString successivo, precedenteDiUnoScomparso, quinto;
        int legati;
    };
    const QString espanso = "(Clienti.Cognome > " + anc + "%1) OR (Clienti.Cognome = " + anc +
                            "%1) AND Clienti.IdCliente > %1))";
    const QString scomparso = "(Clienti.Cognome < 'Ro''ssi' OR (Clienti.Cognome = 'Ro''ssi' AND "
                              "Clienti.IdCliente < 20))";
    const QString desc = " Order by Clienti.Cognome DESC, Clienti.IdCliente DESC";
    const Caso casi[] = {
        {0, dove.arg("TOP 2 ") + espanso.arg(20) + ordine, dove.arg("TOP 2 ") + scomparso + desc,
         dove.arg("TOP 2 ") +
             "Clienti.IdCliente NOT IN (Select TOP 4 Clienti.IdCliente from "
             "Clienti WHERE (Attivo = 1)" +
             ordine + ")" + ordine,
         0},
        {1, dove.arg("TOP 2 ") + espanso.arg(20) + ordine, dove.arg("TOP 2 ") + scomparso + desc,
         "Select IdCliente from Clienti WHERE (Attivo = 1)" + ordine +
             " OFFSET 4 ROWS FETCH NEXT 2 ROWS ONLY",
         0},
        {2, dove.arg("") + espanso.arg(20) + ordine + " LIMIT 2",
         dove.arg("") + scomparso + desc + " LIMIT 2",
         "Select IdCliente from Clienti WHERE (Attivo = 1)" + ordine + " LIMIT 2 OFFSET 4", 0},
        {4,
         dove.arg("") + "(Clienti.Cognome, Clienti.IdCliente) > (" + anc + "?), ?)" + ordine +
             " LIMIT 2",
         dove.arg("") + "(Clienti.Cognome, Clienti.IdCliente) < (?, ?)" + desc + " LIMIT 2",
         "Select IdCliente from Clienti WHERE (Attivo = 1)" + ordine + " LIMIT 2 OFFSET 4", 2}};
    for (const Caso& c : casi) {
        const StatementSorgente s({.tabella = "Clienti",
                                   .ordine = "Cognome",
                                   .chiavi = {"IdCliente"},
                                   .tipoOrdine = DbType::WChar,
                                   .tipiChiave = {DbType::Integer},
                                   .condizione = "Attivo = 1"},
                                  Dialetto::Per(c.kind));
        const auto dopo = s.Vicini(Verso::Avanti, {20, "Rossi", Ancora::Forma::InTabella});
        const auto prima = s.Vicini(Verso::Indietro, {20, "Ro'ssi", Ancora::Forma::Scomparsa});
        ASSERT_EQ(dopo.size(), 1u) << c.kind << ": NULLs come first, not after a value";
        ASSERT_EQ(prima.size(), 2u) << c.kind << ": then the NULLs, last first";
        EXPECT_EQ(dopo[0].testo, c.successivo) << c.kind;
        EXPECT_EQ(prima[0].testo, c.precedenteDiUnoScomparso) << c.kind;
        EXPECT_EQ(s.Ennesimo(5).testo, c.quinto) << c.kind;
        EXPECT_EQ(dopo[0].valori.size(), c.legati) << c.kind;
        EXPECT_EQ(prima[0].valori, c.legati ? QVariantList({"Ro'ssi", 20}) : QVariantList())
            << c.kind;
    }
    // A key of two columns, from a NULL sort value: the rest of the NULLs by
    // key, then the values.
    const StatementSorgente s(
        {"R", "O", {"A", "B"}, DbType::WChar, {DbType::Integer, DbType::Integer}, "", {}, {}},
        Dialetto::Per(2));
    const QVariantList chiave{7, 2};
    const auto nulli = s.Vicini(Verso::Avanti, {chiave, QVariant(), Ancora::Forma::Nulla});
    ASSERT_EQ(nulli.size(), 2u);
    EXPECT_EQ(nulli[0].testo, "Select A, B from R WHERE R.O IS NULL AND (R.A > 7 OR (R.A = 7 AND "
                              "R.B > 2)) Order by R.A, R.B LIMIT 2");
    EXPECT_EQ(nulli[1].testo,
              "Select A, B from R WHERE R.O IS NOT NULL Order by R.O, R.A, R.B LIMIT 2");
    EXPECT_EQ(s.Precedenti(chiave, true).testo,
              "Select Count(*) from R WHERE R.O IS NULL AND (R.A < 7 OR (R.A = 7 AND R.B < 2))");
}

TEST_F(NavigatoreSqlite, ScrollingDisabledHoldsTheFirstRecordAndLoadsAnyKey) {
    Clienti();
    ASSERT_TRUE(Init("Clienti", "Cognome"));
    nav.mCondizione = "Attivo = 1";
    nav.ScorrimentoDisabilitato = -1;
    nav.AggiornaTheData();
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Id(), "20") << "the first row of the sort order";
    nav.MoveNext();
    EXPECT_EQ(std::make_tuple(Id(), Position(), nav.State()), std::make_tuple(QString("20"), 1, 3));
    nav.MovePrevious();
    EXPECT_EQ(nav.State(), 2) << "the one record is also the first";
    nav.MoveTo("10"); // loaded directly, whatever the source holds
    EXPECT_EQ(txtCognome->text(), "Rossi");
    nav.Edit();
    nav.Annulla(); // back from an edit, it is the form's only record
    EXPECT_EQ(nav.State(), 4);
}

TEST_F(NavigatoreSqlite, AClosedConnectionIsReopenedAndALostDatabaseToldOnce) {
    Clienti();
    ASSERT_TRUE(Init());
    nav.MoveTo("20");
    conn->Close();
    nav.MoveNext();
    EXPECT_EQ(conn->State(), 1);
    EXPECT_EQ(Id(), "30");

    conn->Close();
    const QString path = conn->Settings().dataSource;
    ASSERT_TRUE(QFile::rename(path, path + ".away"));
    ExpectOneBox([&] { nav.MovePrevious(); },
                 "Si è verificato un errore di rete nell'accesso al database", 48, "Attenzione!");
    EXPECT_EQ(Id(), "30");
    EXPECT_FALSE(QFile::exists(path)) << "no connection may create the database anew";
    ASSERT_TRUE(QFile::rename(path + ".away", path));
    nav.MovePrevious();
    EXPECT_EQ(Id(), "20");
}

TEST_F(NavigatoreSqlite, ARolledBackRowIsNotBrowsedAndABusyDatabaseKeepsTheRecord) {
    Clienti();
    conn = std::make_unique<Connection>();
    conn->Open(banco->ConnectionString() + ";Busy Timeout=50");
    ASSERT_TRUE(Init());
    conn->Execute("BEGIN");
    conn->Execute("INSERT INTO Clienti (IdCliente, Cognome) VALUES (99, 'Fantasma')");
    nav.MoveLast();
    EXPECT_EQ(Id(), "99");
    conn->Execute("ROLLBACK");
    nav.MoveFirst();
    nav.MoveLast();
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), Count()), Expected("30", "Verdi", 3));

    // Another user's lock: one message after the wait, the record and the counter stay.
    nav.MoveTo("20");
    EXPECT_EQ(Position(), 2);
    const auto other = banco->Open();
    other->Execute("BEGIN EXCLUSIVE");
    other->Execute("UPDATE Clienti SET Cognome = 'Blu' WHERE IdCliente = 30");
    ExpectOneBox([&] { nav.MoveNext(); }, "TQ43", 48, "TQ02");
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), Position()), Expected("20", "Bianchi", 2));
    other->Execute("COMMIT");
    nav.MoveNext();
    EXPECT_EQ(std::make_tuple(Id(), txtCognome->text(), Position()), Expected("30", "Blu", 3));

    // A save that meets the lock says so, and what was typed stays to be saved.
    nav.Edit();
    txtCognome->setText("Grigi");
    other->Execute("BEGIN EXCLUSIVE");
    ExpectOneBox([&] { nav.Update(); }, "TQ43", 48, "TQ02");
    EXPECT_EQ(std::make_tuple(txtCognome->text(), int(nav.State())),
              std::make_tuple(QString("Grigi"), int(StatoNavigatore::ModificaRecord)));
    other->Execute("COMMIT");
    nav.Update();
    EXPECT_EQ(Riga("30").section('|', 0, 0), "Grigi");
}

// While nothing changes, steps that keep one direction read the records ahead
// in one go, each window twice the last; a turn, a jump or another
// connection's commit goes back to the database for one step.
TEST_F(NavigatoreSqlite, StepsInOneDirectionReadAheadWhileNothingChanges) {
    Clienti({"WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 160) "
             "INSERT INTO Clienti (IdCliente, Cognome, IdComune) SELECT i, 'C' || i, 1 FROM n"});
    ASSERT_TRUE(Init("Clienti", "Cognome"));
    const auto other = banco->Open();
    const QRegularExpression limite("LIMIT (\\d+)");
    const auto letture = [&](const std::function<void()>& passo, int volte) {
        QStringList lette; // the rows of the statement each step read last
        for (int i = 0; i < volte; ++i) {
            passo();
            lette << limite.match(nav.Sorgente()->UltimoStatement()).captured(1);
        }
        lette.removeDuplicates();
        return lette;
    };
    nav.MoveFirst();
    EXPECT_EQ(letture([&] { nav.MoveNext(); }, 20), QStringList({"2", "17", "33"}));
    EXPECT_EQ(letture([&] { nav.MovePrevious(); }, 3), QStringList({"2", "17"})) << "a turn";
    nav.MoveTo("150");
    EXPECT_EQ(letture([&] { nav.MovePrevious(); }, 2), QStringList({"2", "17"})) << "a jump";
    other->Execute("UPDATE Clienti SET Note = 'x' WHERE IdCliente = 101");
    EXPECT_EQ(letture([&] { nav.MovePrevious(); }, 1), QStringList({"33"})) << "a commit";
    EXPECT_EQ(std::make_tuple(Id(), Position()), std::make_tuple(QString("147"), 49));
}

TEST_F(NavigatoreSqlite, SetUpFailuresLinksAndContainers) {
    Clienti();
    // Links given by the caller come first; each table is joined once.
    AddText("txtComune", Tag({"IdComune", "Comuni.Nome"}));
    ASSERT_TRUE(Init("Clienti", "IdCliente", nullptr, {"", "IdComune", "Comuni", "IdComune"}));
    EXPECT_EQ(nav.NumeroLink(), 2);
    EXPECT_EQ(nav.TabelleJoin().count("LEFT JOIN"), 1);
    EXPECT_EQ(form->findChild<QLineEdit*>("txtComune")->text(), "Torino");
    ASSERT_TRUE(Init("Clienti", "IdCliente")); // set up again: nothing of the first stays
    EXPECT_EQ(std::make_tuple(nav.CampiChiave(), nav.NumeroLink()),
              std::make_tuple(QStringList{"IdCliente"}, 1));

    // A table that cannot be browsed is refused by name and cause, and stays unusable.
    CambiaLinguaModulo(SourceDir() + "/lang");
    banco->Exec({"CREATE TABLE SenzaChiave (a INTEGER)"});
    const std::tuple<Connection*, const char*, const char*> rifiutate[] = {
        {conn.get(), "Fantasma", "la tabella non esiste"},
        {conn.get(), "SenzaChiave", "la tabella non ha una chiave primaria"},
        {nullptr, "Clienti", "manca la connessione al database"}};
    for (const auto& [connessione, tabella, causa] : rifiutate) {
        clsADONavigator n;
        boxes.Expect();
        EXPECT_FALSE(n.Init_Class(connessione, tabella, FormOf(form.get()), "a", {}, "#", ""));
        EXPECT_EQ(boxes.Shown().back().text,
                  QString("Impossibile usare la tabella %1: %2.").arg(tabella, causa));
        EXPECT_FALSE(n.Inizializzato());
    }
    clsADONavigator spaiati; // links come in threes
    boxes.Expect();
    EXPECT_FALSE(spaiati.Init_Class(conn.get(), "Clienti", FormOf(form.get()), "IdCliente",
                                    {"", "IdComune", "Comuni"}, "#", ""));
    EXPECT_EQ(boxes.Shown().back().text,
              "I collegamenti tra tabelle vanno indicati a gruppi di tre valori.");
    ResetLanguageModule();
    boxes.Expect(); // a failed set-up keeps nothing of the last one either
    EXPECT_FALSE(nav.Init_Class(nullptr, "Clienti", FormOf(form.get()), "IdCliente", {}, "#", ""));
    EXPECT_EQ(std::make_tuple(nav.CampoChiave(), nav.CampiChiave(), nav.NumeroLink()),
              std::make_tuple(QString(), QStringList(), 0));

    nav.Unload();
    EXPECT_EQ(nav.ConnState(), 0);
    EXPECT_EQ(nav.Sorgente(), nullptr);
    EXPECT_EQ(conn->State(), 1) << "the connection is the host's";
    nav.MoveFirst(); // does nothing after Unload
}

TEST(NavigatorBeforeSetUp, PropertiesWarnAndMovesDoNothing) {
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxService scope(&boxes);
    clsADONavigator fresh;
    EXPECT_EQ(fresh.ConnState(), 0);
    for (int i = 0; i < 2; ++i) // the third box comes unasked
        boxes.Expect();
    EXPECT_EQ(fresh.ContenitoreCaselle(), nullptr);
    EXPECT_FALSE(fresh.RecordCount().isValid());
    EXPECT_FALSE(fresh.AbsolutePosition().isValid());
    fresh.MoveNext();
    fresh.MoveTo("1");
    fresh.Move(1);
    fresh.ShowCurrentRecord(); // warns, and goes no further
    ASSERT_EQ(std::make_tuple(boxes.Shown().size(), boxes.Unexpected().size()),
              std::make_tuple(4u, 2u));
    for (const auto& b : boxes.Shown())
        EXPECT_EQ(std::make_tuple(b.text, b.title, b.style), Expected("TQ01", "TQ02", 48));
}

// Every step lands on the true neighbour right after another connection
// changed the rows around the current one: inserts, deletes, sort values
// (NULLs and ties among them) and the condition. The counter is marked from
// the step that meets such a change until the count is back, exact then, and
// nothing is counted while nothing changed; the navigator's own writes leave
// it exact at once.

// PostgreSQL's change signal is the server's: a server of its own, so that
// other tests' writes do not count as changes here.
class Contatore : public SuEntrambi<> {
protected:
    void SetUp() override {
        if (Engine() != Motore::Postgres)
            return SuEntrambi<>::SetUp();
        BoxesTest::SetUp();
        if (!ServerAvailable(Motore::Postgres))
            GTEST_SKIP() << "no PostgreSQL server in this run";
        server = std::make_unique<PrivateServer>(Motore::Postgres);
        ASSERT_TRUE(server->Started()) << server->Error().toStdString();
        banco = Banco::Crea(Motore::Postgres, server->ConnectionString());
        nav.SetEventSink(&log);
    }
    void TearDown() override {
        SuEntrambi<>::TearDown();
        nav.Unload();
        conn.reset();
        banco.reset();
        server.reset();
    }
    std::unique_ptr<PrivateServer> server;
};

TEST_P(Contatore, StepsFindTheTrueNeighbourAndTheCounterIsMarkedUntilExact) {
    Clienti({"INSERT INTO Clienti (IdCliente, Cognome, Eta, Codice) VALUES (40, 'Neri', NULL, "
             "'C40'), (50, 'Zeta', 50, 'C50'), (60, 'Gialli', NULL, 'C60')"});
    // By age: 10 (40), 20 and 50 (50), 30 (60); 40 and 60 have none.
    ASSERT_TRUE(Init("Clienti", "Eta", nullptr, {}, "Codice <> 'X'"));
    const auto other = banco->Open();
    // A server's stamps tell a change apart from the next one only once its
    // second is over: until then a check finds the counter pending.
    const auto assesta = [&] {
        QElapsedTimer t;
        t.start();
        for (nav.AggiornaArrayID(); nav.ConteggioInAttesa() && t.elapsed() < 5000;
             nav.AggiornaArrayID()) {
            nav.AttendiConteggio();
            QThread::msleep(50);
        }
    };
    struct Esito {
        bool segnato; // the counter is marked right after the step
        const char* id;
        int position, count, state;
    };
    struct Passo {
        const char* cambio; // by another connection, before the step
        std::function<void()> move;
        Esito nulliPrimi;  // SQLite, MariaDB: by age 40 and 60 (no age), 10, 20 and 50, 30
        Esito nulliUltimi; // PostgreSQL: 10, 20 and 50, 30, then 40 and 60
    };
    const auto avanti = [&] { nav.MoveNext(); };
    const auto indietro = [&] { nav.MovePrevious(); };
    const Passo passi[] = {
        {"", [&] { nav.MoveFirst(); }, {false, "40", 1, 6, 2}, {false, "10", 1, 6, 2}},
        {"", avanti, {false, "60", 2, 6, 7}, {false, "20", 2, 6, 7}},
        // From the NULLs to the values; a tie, broken by the key.
        {"", avanti, {false, "10", 3, 6, 7}, {false, "50", 3, 6, 7}},
        {"", avanti, {false, "20", 4, 6, 7}, {false, "30", 4, 6, 7}},
        // A tie, broken by the key; from the values to the NULLs.
        {"", avanti, {false, "50", 5, 6, 7}, {false, "40", 5, 6, 7}},
        {"INSERT INTO Clienti (IdCliente, Cognome, Eta, Codice) VALUES (55, 'Pari', 50, 'C55')",
         indietro,
         {true, "20", 4, 7, 7},
         {true, "30", 5, 7, 7}},
        {"UPDATE Clienti SET Eta = 45 WHERE IdCliente = 30",
         avanti,
         {true, "50", 6, 7, 7},
         {true, "20", 3, 7, 7}},
        {"DELETE FROM Clienti WHERE IdCliente = 50",
         avanti,
         {true, "55", 6, 6, 3},
         {true, "55", 4, 6, 7}},
        {"UPDATE Clienti SET Codice = 'X' WHERE IdCliente = 20",
         indietro,
         {true, "30", 4, 5, 7},
         {true, "30", 2, 5, 7}},
        {"UPDATE Clienti SET Eta = NULL WHERE IdCliente = 10",
         indietro,
         {true, "60", 3, 5, 7},
         {true, "30", 1, 5, 2}},
        {"", [&] { nav.MoveFirst(); }, {false, "10", 1, 5, 2}, {false, "30", 1, 5, 2}},
        {"", indietro, {false, "10", 1, 5, 2}, {false, "30", 1, 5, 2}},
        {"", [&] { nav.Move(4); }, {false, "30", 4, 5, 7}, {false, "40", 4, 5, 7}},
        // A jump by key leaves the position to a count, unless it lands on an end.
        {"", [&] { nav.MoveTo("60"); }, {true, "60", 3, 5, 7}, {false, "60", 5, 5, 3}},
        {"", [&] { nav.MoveTo("55"); }, {false, "55", 5, 5, 3}, {true, "55", 2, 5, 7}},
        {"", [&] { nav.MoveLast(); }, {false, "55", 5, 5, 3}, {false, "60", 5, 5, 3}}};
    const bool nulliPrimi = Engine() != Motore::Postgres;
    for (std::size_t i = 0; i < std::size(passi); ++i) {
        const Esito& e = nulliPrimi ? passi[i].nulliPrimi : passi[i].nulliUltimi;
        if (*passi[i].cambio)
            other->Execute(QLatin1String(passi[i].cambio));
        else
            assesta();
        const quint64 prima = nav.Sorgente()->ConteggiChiesti();
        passi[i].move();
        EXPECT_EQ(nav.ConteggioInAttesa(), e.segnato) << "step " << i;
        if (!e.segnato) {
            EXPECT_EQ(nav.Sorgente()->ConteggiChiesti(), prima) << "step " << i << ": no count";
        }
        EXPECT_EQ(std::make_tuple(Id(), Position(), Count(), int(nav.State())),
                  std::make_tuple(QString(e.id), e.position, e.count, e.state))
            << "step " << i;
    }

    // Its own insert and delete, without a condition: exact at once, counted by nobody.
    nav.mCondizione.clear();
    nav.AggiornaTheData();
    assesta();
    const quint64 prima = nav.Sorgente()->ConteggiChiesti();
    nav.MessaggioConfermaNuovoDisabilitato = true;
    nav.MessaggioConfermaEliminaDisabilitato = true;
    nav.Addnew();
    txtCognome->setText("Nuovo");
    txtEta->setText("45"); // after 30, its equal with a lower key
    nav.Update();
    const QString nuovo = Id();
    EXPECT_EQ(std::make_tuple(nav.ConteggioInAttesa(), nav.AbsolutePosition().toInt(),
                              nav.RecordCount().toInt()),
              std::make_tuple(false, nulliPrimi ? 5 : 2, 7));
    nav.Edit(); // a change of a column the order does not use moves nothing
    txtCognome->setText("Rinominato");
    nav.Update();
    EXPECT_EQ(std::make_tuple(nav.ConteggioInAttesa(), Id(), nav.AbsolutePosition().toInt(),
                              nav.RecordCount().toInt()),
              std::make_tuple(false, nuovo, nulliPrimi ? 5 : 2, 7));
    nav.Delete();
    EXPECT_EQ(std::make_tuple(nav.ConteggioInAttesa(), Id(), nav.AbsolutePosition().toInt(),
                              nav.RecordCount().toInt()),
              std::make_tuple(false, QString("30"), nulliPrimi ? 4 : 1, 6));
    EXPECT_EQ(Riga(nuovo), "<no row>");
    EXPECT_EQ(nav.Sorgente()->ConteggiChiesti(), prima + 1) << "the position after the insert";
}

INSTANTIATE_FOR_ENGINES(Contatore);

// Counts of a small table follow changes a few times a second; a long count
// waits thirty times its own length, up to two and a half seconds; a failed
// one, two.
TEST(PausaDopoConteggio, GrowsWithTheCountsLengthWithinBounds) {
    const std::tuple<qint64, bool, int> casi[] = {
        {3, true, 200},   {6, true, 200},     {7, true, 210},   {55, true, 1650},
        {84, true, 2500}, {5000, true, 2500}, {3, false, 2000}, {5000, false, 2000}};
    for (const auto& [durata, riuscito, pausa] : casi)
        EXPECT_EQ(PausaDopoConteggio(durata, riuscito), pausa) << durata << " " << riuscito;
}

} // namespace
} // namespace tessaro::test
