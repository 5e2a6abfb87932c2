#pragma once

#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"
#include "support/Fixtures.h"
#include "support/FormFixtures.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace tessaro::test {

// A customers table with a linked city table and a form that shows both.
class NavigatorTest : public SqliteTest, public TaggedForm {
protected:
    void CreateSchema(int customers) {
        QString script = QStringLiteral(
            "CREATE TABLE Comuni (IdComune INTEGER PRIMARY KEY, Nome TEXT, Provincia VARCHAR(2));"
            "INSERT INTO Comuni VALUES (1, 'Torino', 'TO');"
            "INSERT INTO Comuni VALUES (2, 'Milano', 'MI');"
            "CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY, Cognome VARCHAR(30) NOT NULL,"
            " Nome TEXT, IdComune INTEGER REFERENCES Comuni(IdComune), Attivo BOOLEAN,"
            " upsize_ts BLOB);");
        for (int i = 1; i <= customers; ++i)
            script += QStringLiteral(
                          "INSERT INTO Clienti VALUES (%1, 'Cognome%2', 'Nome%1', %3, %4, NULL);")
                          .arg(i * 10)
                          .arg(QChar('A' + (i - 1) % 26))
                          .arg(1 + i % 2)
                          .arg(i % 2);
        UseScript(script);
    }

    void StandardForm() {
        txtId = AddText("txtId", "#IdCliente");
        txtCognome = AddText("txtCognome", "#Cognome");
        txtProvincia = AddText("txtProvincia", "#IdComune" + kSep + "Provincia");
        chkAttivo = AddCheck("chkAttivo", "#Attivo");
    }

    bool Init(const QString& condizione = QString(), std::vector<QString> links = {}) {
        nav.TipoDatabase = 4;
        return nav.Init_Class(conn.get(), "Clienti", FormOf(form.get()), "Cognome", links, "#",
                              condizione);
    }

    QString Current() const { return txtId->text(); }

    clsADONavigator nav;
    QLineEdit* txtId = nullptr;
    QLineEdit* txtCognome = nullptr;
    QLineEdit* txtProvincia = nullptr;
    QCheckBox* chkAttivo = nullptr;
};

} // namespace tessaro::test
