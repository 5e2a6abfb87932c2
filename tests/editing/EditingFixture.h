#pragma once

#include "editing/Salvataggio.h"
#include "engine/clsADONavigator.h"
#include "platform/QtHostForm.h"
#include "platform/TessaroError.h"
#include "platform/Values.h"
#include "support/Fixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaro {

// Reaches the navigator's private literal and statement builders.
class NavigatorTestAccess {
public:
    static QString DataSql(const clsADONavigator& n, const QDateTime& d) {
        return n.FormatDateForSql(d);
    }
    static QString DataSqlServer(const clsADONavigator& n, const QDateTime& d) {
        return n.FormatDateForSqlServer(d);
    }
    static QString TestoSql(const clsADONavigator& n, const QString& t) {
        return n.FormatTextForSql(t);
    }
    static TestiSalvataggio Testi(clsADONavigator& n) { return n.ComponiTestiSalvataggio(); }
    static QString Delete(const clsADONavigator& n) { return n.StatementDelete(); }
    // What a provider that knows the exact integer types (smallint, bigint) reports.
    static void TipoChiave(clsADONavigator& n, short tipo) {
        n.mTipoChiave = tipo;
        n.mTabellaPrincipale->Item(n.mCampoChiave)->TipoDati(tipo);
    }
};

namespace test {

inline const QString kSep = QString(QChar(0x00B8));

inline QString Tag(const QStringList& parti, const QString& prefisso = QStringLiteral("#")) {
    return prefisso + parti.join(kSep);
}

// Records every event with the navigator's State at the moment it is raised,
// and can veto the delete.
class EventLog : public NavigatorEvents {
public:
    explicit EventLog(const clsADONavigator& nav) : mNav(nav) {}
    void OnCurrent() override { Add("OnCurrent"); }
    void AfterCurrent() override { Add("AfterCurrent"); }
    void Addnew(HostObject*& c) override {
        Add("Addnew");
        contenitore = c;
        if (onAddnew)
            onAddnew();
    }
    void AfterInsert() override { Add("AfterInsert"); }
    void BeforeUpdate() override { Add("BeforeUpdate"); }
    void AfterUpdate() override { Add("AfterUpdate"); }
    void Delete() override { Add("Delete"); }
    void BeforeDelConfirm(bool& Cancel) override {
        Add("BeforeDelConfirm");
        Cancel = annullaEliminazione;
    }
    void AfterDelConfirm() override { Add("AfterDelConfirm"); }
    void AfterDelete() override { Add("AfterDelete"); }
    void Clone(HostObject*& c) override {
        Add("Clone");
        contenitore = c;
    }
    void AfterAnnulla() override { Add("AfterAnnulla"); }

    // The names without the OnCurrent / AfterCurrent pairs of showing a record.
    QStringList Steps() const {
        QStringList out;
        for (const QString& n : names)
            if (n != QLatin1String("OnCurrent") && n != QLatin1String("AfterCurrent"))
                out << n;
        return out;
    }
    int StateAt(const QString& name) const {
        const qsizetype i = names.indexOf(name);
        return i < 0 ? -1 : states[static_cast<std::size_t>(i)];
    }
    void Clear() {
        names.clear();
        states.clear();
    }

    QStringList names;
    std::vector<int> states;
    HostObject* contenitore = nullptr;
    bool annullaEliminazione = false;
    std::function<void()> onAddnew;

private:
    void Add(const char* name) {
        names << QString::fromLatin1(name);
        states.push_back(mNav.State());
    }
    const clsADONavigator& mNav;
};

// A customers table with a lookup table of towns, and a form on it.
class EditingTest : public SqliteTest {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        form = std::make_unique<QWidget>();
        form->setObjectName(QStringLiteral("frmClienti"));
        nav.SetEventSink(&log);
    }
    void TearDown() override {
        nav.SetEventSink(nullptr);
        SqliteTest::TearDown();
    }

    QLineEdit* AddText(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        auto* e = new QLineEdit(parent ? parent : form.get());
        e->setObjectName(name);
        e->setProperty("Tag", tag);
        return e;
    }
    QPlainTextEdit* AddPlain(const QString& name, const QString& tag) {
        auto* e = new QPlainTextEdit(form.get());
        e->setObjectName(name);
        e->setProperty("Tag", tag);
        return e;
    }
    QCheckBox* AddCheck(const QString& name, const QString& tag) {
        auto* c = new QCheckBox(form.get());
        c->setObjectName(name);
        c->setProperty("Tag", tag);
        return c;
    }
    QComboBox* AddCombo(const QString& name, const QString& tag, bool editable = true) {
        auto* c = new QComboBox(form.get());
        c->setObjectName(name);
        c->setEditable(editable);
        c->setProperty("Tag", tag);
        return c;
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
    void StandardForm() {
        txtId = AddText("txtId", "#IdCliente");
        txtCognome = AddText("txtCognome", "#Cognome");
        txtNote = AddPlain("txtNote", "#Note");
        txtEta = AddText("txtEta", "#Eta");
        txtSaldo = AddText("txtSaldo", "#Saldo");
        txtNascita = AddText("txtNascita", "#Nascita");
        chkAttivo = AddCheck("chkAttivo", "#Attivo");
        cboComune = AddCombo("cboComune", Tag({"IdComune", "", "Nome"}));
    }

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
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM ") + table +
                    (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) +
                    QStringLiteral(" ORDER BY 1"),
                conn.get(), adOpenStatic, adLockReadOnly, adCmdText);
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList row;
            for (int i = 0; i < rs.Fields().Count(); ++i) {
                const QVariant v = rs.Fields().Item(i).Value();
                row << (v.isNull() ? QStringLiteral("<null>") : ValueToText(v));
            }
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }

    std::unique_ptr<QWidget> form;
    clsADONavigator nav;
    EventLog log{nav};
    QLineEdit* txtId = nullptr;
    QLineEdit* txtCognome = nullptr;
    QPlainTextEdit* txtNote = nullptr;
    QLineEdit* txtEta = nullptr;
    QLineEdit* txtSaldo = nullptr;
    QLineEdit* txtNascita = nullptr;
    QCheckBox* chkAttivo = nullptr;
    QComboBox* cboComune = nullptr;
};

} // namespace test
} // namespace tessaro
