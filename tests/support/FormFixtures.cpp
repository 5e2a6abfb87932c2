#include "support/FormFixtures.h"

namespace tessaro::test {

QStringList SchemaClienti() {
    return {
        "CREATE TABLE Comuni (IdComune INTEGER PRIMARY KEY, Nome VARCHAR(30) NOT NULL, "
        "Provincia VARCHAR(2), Attivo INTEGER)",
        "INSERT INTO Comuni VALUES (1, 'Torino', 'TO', 1), (2, 'Milano', 'MI', 1), "
        "(3, 'Roma', 'RM', 0)",
        "CREATE TABLE Clienti (IdCliente {AUTO}, Cognome VARCHAR(10) NOT NULL, Note TEXT, "
        "Eta INTEGER, Saldo DOUBLE, Nascita DATE, Attivo BOOLEAN, IdComune INTEGER, "
        "Codice VARCHAR(8) DEFAULT 'nuovo', FOREIGN KEY (IdComune) REFERENCES Comuni (IdComune))",
        "INSERT INTO Clienti VALUES (10, 'Rossi', 'n10', 40, 1.5, '1984-02-01', TRUE, 1, 'C10'), "
        "(20, 'Bianchi', 'n20', 50, 2.5, '1974-03-02', FALSE, 2, 'C20'), "
        "(30, 'Verdi', 'n30', 60, 3.5, '1964-04-03', TRUE, 1, 'C30')"};
}

void FormaTest::SetUp() {
    BoxesTest::SetUp();
    banco = Banco::Crea(Engine());
    if (!banco)
        GTEST_SKIP() << "TESSARO_MARIADB is not set: run through scripts/test.sh";
    nav.SetEventSink(&log);
}

void FormaTest::TearDown() {
    nav.SetEventSink(nullptr);
    BoxesTest::TearDown();
}

void FormaTest::Schema(const QStringList& statements) {
    banco->Exec(statements);
    conn = banco->Open();
}

void FormaTest::Clienti(const QStringList& extra) {
    Schema(SchemaClienti() + extra);
    txtId = AddText("txtId", "#IdCliente");
    txtCognome = AddText("txtCognome", "#Cognome");
    txtNote = AddTagged<QPlainTextEdit>("txtNote", "#Note");
    txtEta = AddText("txtEta", "#Eta");
    txtSaldo = AddText("txtSaldo", "#Saldo");
    txtNascita = AddText("txtNascita", "#Nascita");
    chkAttivo = AddCheck("chkAttivo", "#Attivo");
    cboComune = AddCombo("cboComune", Tag({"IdComune", "", "Nome"}));
    cboComune->setEditable(true);
    cboComune->setProperty("DataField", "Attivo = 1");
    txtProvincia = AddText("txtProvincia", Tag({"IdComune", "Provincia"}));
}

bool FormaTest::Init(const QString& table, const QString& order, HostObject* container,
                     const std::vector<QString>& links, const QString& condition,
                     const QString& prefix) {
    nav.TipoDatabase = banco->Kind();
    const bool ok = nav.Init_Class(conn.get(), table, container ? container : FormOf(form.get()),
                                   order, links, prefix, condition);
    log.Clear();
    return ok;
}

QString FormaTest::Riga(const QString& id) const {
    const QStringList rows = banco->Rows(
        "SELECT Cognome, Note, Eta, Saldo, Nascita, CASE WHEN Attivo THEN 1 ELSE 0 END, "
        "IdComune, Codice FROM Clienti WHERE IdCliente = " +
        id);
    return rows.isEmpty() ? "<no row>" : rows.front();
}

QStringList FormaTest::Keys(const QString& table) const {
    QStringList out;
    for (const QString& r : banco->Rows("SELECT * FROM " + table + " ORDER BY 1"))
        out << r.section(QLatin1Char('|'), 0, 0);
    return out;
}

void FormaTest::EditRecord(const QString& key) {
    nav.MoveTo(key);
    ASSERT_EQ(Id(), key);
    nav.Edit();
    ASSERT_EQ(nav.State(), 6);
    log.Clear();
}

} // namespace tessaro::test
