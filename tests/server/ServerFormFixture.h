#pragma once

// A customers form on MariaDB: one navigator of kind 2 per user, each on a
// connection of its own.

#include "data/Values.h"
#include "engine/NavigatorEvents.h"
#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"
#include "server/ServerFixture.h"
#include "support/FormFixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace tessaro::test {

// Towns 1 Torino, 2 Milano, 3 Roma (not enabled); customers 10 Rossi,
// 20 Bianchi, 30 Verdi. The foreign key is declared, so set-up finds the link.
inline const QStringList kClientiSchema = {
    "CREATE TABLE Comuni (IdComune INT PRIMARY KEY, Nome VARCHAR(30) NOT NULL, "
    "Abilitato TINYINT(1) NOT NULL DEFAULT 1) ENGINE=InnoDB",
    "INSERT INTO Comuni VALUES (1, 'Torino', 1), (2, 'Milano', 1), (3, 'Roma', 0)",
    "CREATE TABLE Clienti (IdCliente INT AUTO_INCREMENT PRIMARY KEY, "
    "Cognome VARCHAR(40) NOT NULL, Note TEXT, Eta INT, Saldo DOUBLE, Nascita DATETIME, "
    "Attivo TINYINT(1), IdComune INT, "
    "CONSTRAINT fkComune FOREIGN KEY (IdComune) REFERENCES Comuni (IdComune)) ENGINE=InnoDB",
    "INSERT INTO Clienti VALUES (10, 'Rossi', 'n10', 40, 1.5, '1984-02-01 00:00:00', 1, 1), "
    "(20, 'Bianchi', 'n20', 50, 2.5, '1974-03-02 10:20:30', 0, 2), "
    "(30, 'Verdi', 'n30', 60, 3.5, NULL, 1, 1)"};

// The after-events of saving and deleting, in order.
class SaveLog : public NavigatorEvents {
public:
    void AfterInsert() override { names << QStringLiteral("AfterInsert"); }
    void AfterUpdate() override { names << QStringLiteral("AfterUpdate"); }
    void AfterDelete() override { names << QStringLiteral("AfterDelete"); }
    QStringList names;
};

// One user's form on the customers table.
class ClientiForm : public TaggedForm, public ClientiWidgets {
public:
    explicit ClientiForm(Connection* connection) : mConnection(connection) {
        AddClientiWidgets(*this);
        cboComune->setProperty("DataField", "Abilitato = 1");
        // The town's name through the schema's link: set-up joins Comuni.
        txtComune = AddText("txtComune", Tag({"IdComune", "Nome"}));
        nav.SetEventSink(&log);
    }
    ~ClientiForm() { nav.SetEventSink(nullptr); }

    bool Init(const QString& condizione = QString()) {
        nav.TipoDatabase = 2;
        nav.MessaggioConfermaNuovoDisabilitato = true;
        nav.MessaggioConfermaClonaDisabilitato = true;
        nav.MessaggioConfermaEliminaDisabilitato = true;
        return nav.Init_Class(mConnection, "Clienti", FormOf(form.get()), "IdCliente", {}, "#",
                              condizione);
    }

    QString Id() const { return txtId->text(); }
    int Count() const { return nav.RecordCount().toInt(); }
    int Position() const { return nav.AbsolutePosition().toInt(); }
    QStringList ComboItems() const {
        QStringList out;
        for (int i = 0; i < cboComune->count(); ++i)
            out << cboComune->itemText(i);
        return out;
    }
    void PickTown(const QString& name) const {
        cboComune->setCurrentIndex(cboComune->findText(name));
    }

    clsADONavigator nav;
    SaveLog log;
    QLineEdit* txtComune = nullptr;

private:
    Connection* mConnection;
};

// A database of its own with the customers schema, and scripted boxes.
class ServerFormTest : public BoxesTest {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        if (!ServerAvailable())
            GTEST_SKIP() << "TESSARO_MARIADB is not set: run through scripts/test.sh";
    }
    void TearDown() override {
        forms.clear();
        BoxesTest::TearDown();
    }

    void Prepare(const QStringList& schema = kClientiSchema,
                 const QString& server = SharedConnectionString()) {
        db = std::make_unique<ServerDatabase>(server);
        db->Exec(schema);
        conn = db->Open();
    }
    // A user with a connection of their own (or the test's connection).
    ClientiForm& NewUser(bool ownConnection = false) {
        Connection* c = conn.get();
        if (ownConnection) {
            others.push_back(db->Open());
            c = others.back().get();
        }
        forms.push_back(std::make_unique<ClientiForm>(c));
        return *forms.back();
    }
    // One row of Clienti as text, Null as "<null>".
    QString Row(const QString& id) const {
        const QStringList r = db->Column(
            "SELECT CONCAT_WS('|', IdCliente, Cognome, IFNULL(Note, '<null>'), IFNULL(Eta, "
            "'<null>'), IFNULL(Saldo, '<null>'), IFNULL(Nascita, '<null>'), IFNULL(Attivo, "
            "'<null>'), IFNULL(IdComune, '<null>')) FROM Clienti WHERE IdCliente = " +
            id);
        return r.isEmpty() ? QStringLiteral("<no row>") : r.front();
    }
    QStringList Keys() const { return db->Column("SELECT IdCliente FROM Clienti ORDER BY 1"); }

    std::unique_ptr<ServerDatabase> db;
    std::unique_ptr<Connection> conn;
    std::vector<std::unique_ptr<Connection>> others;
    std::vector<std::unique_ptr<ClientiForm>> forms;
};

} // namespace tessaro::test
