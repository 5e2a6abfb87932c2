#pragma once

// What the form-based tests share: tagged widgets on a form, a recorder of a
// navigator's events, and a customers form over either database engine.

#include "engine/NavigatorEvents.h"
#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"
#include "support/Fixtures.h"
#include "support/NavigatorAccess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace tessaro::test {

inline const QString kSep = QString(QChar(0x00B8));

// The binding text parts joined with the separator, after the prefix.
inline QString Tag(const QStringList& parti, const QString& prefisso = "#") {
    return prefisso + parti.join(kSep);
}

// A form of real widgets whose Tag property binds them to columns.
class TaggedForm {
public:
    explicit TaggedForm(const QString& formName = "frmClienti")
        : form(std::make_unique<QWidget>()) {
        form->setObjectName(formName);
    }
    template <typename W>
    W* AddTagged(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        auto* w = new W(parent ? parent : form.get());
        w->setObjectName(name);
        w->setProperty("Tag", tag);
        return w;
    }
    QLineEdit* AddText(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        return AddTagged<QLineEdit>(name, tag, parent);
    }
    QComboBox* AddCombo(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        return AddTagged<QComboBox>(name, tag, parent);
    }
    QCheckBox* AddCheck(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        return AddTagged<QCheckBox>(name, tag, parent);
    }
    QGroupBox* AddFrame(const QString& name, QWidget* parent = nullptr) {
        return AddTagged<QGroupBox>(name, QString(), parent);
    }
    static QStringList Items(const QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }

    std::unique_ptr<QWidget> form;
};

// Records every event with the navigator's State when it is raised, and can
// veto the delete.
class EventLog : public NavigatorEvents {
public:
    explicit EventLog(const clsADONavigator* nav = nullptr) : mNav(nav) {}
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
    void WriteConflict(bool RecordEliminato, int& Risposta) override {
        Add(RecordEliminato ? "WriteConflict(deleted)" : "WriteConflict");
        Risposta = rispostaConflitto;
        if (onConflitto)
            onConflitto();
    }

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
    int rispostaConflitto = 0; // 0: the box asks
    std::function<void()> onAddnew, onConflitto;

private:
    void Add(const char* name) {
        names << QString::fromLatin1(name);
        states.push_back(mNav ? mNav->State() : -1);
    }
    const clsADONavigator* mNav;
};

// Towns 1 Torino (TO), 2 Milano (MI), 3 Roma (RM, not active); customers
// 10 Rossi, 20 Bianchi, 30 Verdi. The foreign key is declared.
QStringList SchemaClienti();

// A navigator on a form over one engine's database. SQLite unless a test is
// parameterised over the engines (see SuEntrambi).
class FormaTest : public BoxesTest, public TaggedForm {
protected:
    virtual Motore Engine() const { return Motore::Sqlite; }
    void SetUp() override;
    void TearDown() override;

    // The database with its tables, and the navigator's connection on it.
    void Schema(const QStringList& statements);
    // The customers schema and a form with a widget for every column shown:
    // IdCliente, Cognome, Note (plain text), Eta, Saldo, Nascita, Attivo, the
    // town as an editable lookup combo (DataField "Attivo = 1") and its province.
    void Clienti(const QStringList& extra = {});
    bool Init(const QString& table = "Clienti", const QString& order = "IdCliente",
              HostObject* container = nullptr, const std::vector<QString>& links = {},
              const QString& condition = QString(), const QString& prefix = "#");
    // One customer as "Cognome|Note|Eta|Saldo|Nascita|Attivo (0/1)|IdComune|Codice".
    QString Riga(const QString& id) const;
    QStringList Keys(const QString& table = "Clienti") const;
    // Moves to a record and starts editing it.
    void EditRecord(const QString& key);
    QString Id() const { return txtId->text(); }
    // The count and the position once the count in flight, if any, is back.
    int Count() { return nav.AttendiConteggio() ? nav.RecordCount().toInt() : -2; }
    int Position() { return nav.AttendiConteggio() ? nav.AbsolutePosition().toInt() : -2; }

    std::unique_ptr<Banco> banco;
    std::unique_ptr<Connection> conn;
    clsADONavigator nav;
    EventLog log{&nav};
    QLineEdit *txtId = nullptr, *txtCognome = nullptr, *txtEta = nullptr, *txtSaldo = nullptr;
    QLineEdit *txtNascita = nullptr, *txtProvincia = nullptr;
    QPlainTextEdit* txtNote = nullptr;
    QCheckBox* chkAttivo = nullptr;
    QComboBox* cboComune = nullptr;
};

// The same tests on every engine.
template <class Base = FormaTest>
class SuEntrambi : public Base, public ::testing::WithParamInterface<Motore> {
protected:
    Motore Engine() const override { return this->GetParam(); }
};

} // namespace tessaro::test
