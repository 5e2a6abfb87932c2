#pragma once

#include "engine/clsADONavigator.h"
#include "platform/QtHostForm.h"
#include "support/Fixtures.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace tessaro {

// Reaches the navigator's private statement builders so they can be checked as text.
class NavigatorTestAccess {
public:
    static QString ElencoChiavi(const clsADONavigator& n, bool scorrimento) {
        return n.StatementElencoChiavi(scorrimento);
    }
    static QString Record(const clsADONavigator& n, const QString& chiave) {
        return n.StatementRecord(chiave);
    }
};

namespace test {

// Records event names with the navigator's State at the moment they are raised.
class EventLog : public NavigatorEvents {
public:
    explicit EventLog(const clsADONavigator& nav) : mNav(nav) {}
    void OnCurrent() override { Add("OnCurrent"); }
    void AfterCurrent() override { Add("AfterCurrent"); }
    QStringList names;
    std::vector<int> states;
    void Clear() {
        names.clear();
        states.clear();
    }

private:
    void Add(const char* name) {
        names << QString::fromLatin1(name);
        states.push_back(mNav.State());
    }
    const clsADONavigator& mNav;
};

inline const QString kSep = QString(QChar(0x00B8));

// A customers table with a linked city table and a form that shows both.
class NavigatorTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        form = std::make_unique<QWidget>();
        form->setObjectName("frmClienti");
    }

    QLineEdit* AddText(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        auto* e = new QLineEdit(parent ? parent : form.get());
        e->setObjectName(name);
        e->setProperty("Tag", tag);
        return e;
    }
    QCheckBox* AddCheck(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        auto* c = new QCheckBox(parent ? parent : form.get());
        c->setObjectName(name);
        c->setProperty("Tag", tag);
        return c;
    }

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

    std::unique_ptr<QWidget> form;
    clsADONavigator nav;
    QLineEdit* txtId = nullptr;
    QLineEdit* txtCognome = nullptr;
    QLineEdit* txtProvincia = nullptr;
    QCheckBox* chkAttivo = nullptr;
};

} // namespace test
} // namespace tessaro
