#pragma once

#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"
#include "support/Fixtures.h"
#include "support/FormFixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <ostream>

namespace tessaro::test {

// A customers table with a lookup table of towns, and a form on it.
class EditingTest : public SqliteTest, public TaggedForm, public ClientiWidgets {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        nav.SetEventSink(&log);
    }
    void TearDown() override {
        nav.SetEventSink(nullptr);
        SqliteTest::TearDown();
    }

    // Three customers (10 Rossi, 20 Bianchi, 30 Verdi) and three towns.
    void CreateSchema(const QString& extraRows = QString()) {
        UseScript(
            QStringLiteral(
                "CREATE TABLE Comuni (IdComune INTEGER PRIMARY KEY, Nome VARCHAR(30),"
                " Attivo INTEGER);"
                "INSERT INTO Comuni VALUES (1, 'Torino', 1);"
                "INSERT INTO Comuni VALUES (2, 'Milano', 1);"
                "INSERT INTO Comuni VALUES (3, 'Roma', 0);"
                "CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY AUTOINCREMENT,"
                " Cognome VARCHAR(10) NOT NULL, Note TEXT, Eta INTEGER, Saldo REAL,"
                " Nascita DATE, Attivo BOOLEAN,"
                " IdComune INTEGER REFERENCES Comuni(IdComune), Codice VARCHAR(8) DEFAULT 'nuovo');"
                "INSERT INTO Clienti VALUES (10, 'Rossi', 'n10', 40, 1.5, '1984-02-01', 1,"
                " 1, 'C10');"
                "INSERT INTO Clienti VALUES (20, 'Bianchi', 'n20', 50, 2.5, '1974-03-02',"
                " 0, 2, 'C20');"
                "INSERT INTO Clienti VALUES (30, 'Verdi', 'n30', 60, 3.5, '1964-04-03', 1,"
                " 1, 'C30');") +
            extraRows);
    }

    // Every column but Codice, which the form does not show.
    void StandardForm() { AddClientiWidgets(*this); }

    bool Init(const QString& table = QStringLiteral("Clienti"),
              const QString& order = QStringLiteral("IdCliente"),
              const QString& prefix = QStringLiteral("#"), int kind = 4) {
        nav.TipoDatabase = kind;
        const bool ok =
            nav.Init_Class(conn.get(), table, FormOf(form.get()), order, {}, prefix, QString());
        log.Clear();
        return ok;
    }

    // One value read straight from the database, as text ("<null>" for Null).
    QString Cell(const QString& sql) const {
        Recordset rs;
        rs.Open(sql, conn.get(), adOpenStatic, adLockReadOnly, adCmdText);
        if (rs.Eof())
            return QStringLiteral("<no row>");
        const QVariant v = rs.Fields().Item(0).Value();
        return v.isNull() ? QStringLiteral("<null>") : ValueToText(v);
    }
    qint64 Count(const QString& table = QStringLiteral("Clienti")) const {
        return Cell(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong();
    }
    // Every row of a table as text, in key order, for before/after comparisons.
    QStringList Rows(const QString& table = QStringLiteral("Clienti"),
                     const QString& where = QString()) const {
        return RowsAsText(conn.get(),
                          QStringLiteral("SELECT * FROM ") + table +
                              (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) +
                              QStringLiteral(" ORDER BY 1"));
    }

    clsADONavigator nav;
    EventLog log{nav};
};

} // namespace tessaro::test
