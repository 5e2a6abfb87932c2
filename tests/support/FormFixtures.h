#pragma once

// What the form-based test folders share: tagged widgets on a form, the
// binding separator, and a recorder of the navigator's events.

#include "engine/NavigatorEvents.h"
#include "engine/clsADONavigator.h"
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
inline QString Tag(const QStringList& parti, const QString& prefisso = QStringLiteral("#")) {
    return prefisso + parti.join(kSep);
}

// A form of real widgets whose Tag property binds them to fields.
class TaggedForm {
public:
    explicit TaggedForm(const QString& formName = QStringLiteral("frmClienti"))
        : form(std::make_unique<QWidget>()) {
        form->setObjectName(formName);
    }

    // A widget with its name and Tag, on the form unless a parent is given.
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
    QPlainTextEdit* AddPlain(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        return AddTagged<QPlainTextEdit>(name, tag, parent);
    }
    QCheckBox* AddCheck(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        return AddTagged<QCheckBox>(name, tag, parent);
    }
    QComboBox* AddCombo(const QString& name, const QString& tag, QWidget* parent = nullptr) {
        return AddTagged<QComboBox>(name, tag, parent);
    }
    QGroupBox* AddFrame(const QString& name, QWidget* parent = nullptr) {
        auto* g = new QGroupBox(parent ? parent : form.get());
        g->setObjectName(name);
        return g;
    }

    std::unique_ptr<QWidget> form;
};

// The customers form of the editing and server tests: every column of
// Clienti (IdCliente, Cognome, Note, Eta, Saldo, Nascita, Attivo, IdComune)
// but those a test adds itself; the town is an editable lookup combo.
class ClientiWidgets {
public:
    void AddClientiWidgets(TaggedForm& f) {
        txtId = f.AddText("txtId", "#IdCliente");
        txtCognome = f.AddText("txtCognome", "#Cognome");
        txtNote = f.AddPlain("txtNote", "#Note");
        txtEta = f.AddText("txtEta", "#Eta");
        txtSaldo = f.AddText("txtSaldo", "#Saldo");
        txtNascita = f.AddText("txtNascita", "#Nascita");
        chkAttivo = f.AddCheck("chkAttivo", "#Attivo");
        cboComune = f.AddCombo("cboComune", Tag({"IdComune", "", "Nome"}));
        cboComune->setEditable(true);
    }

    QLineEdit* txtId = nullptr;
    QLineEdit* txtCognome = nullptr;
    QPlainTextEdit* txtNote = nullptr;
    QLineEdit* txtEta = nullptr;
    QLineEdit* txtSaldo = nullptr;
    QLineEdit* txtNascita = nullptr;
    QCheckBox* chkAttivo = nullptr;
    QComboBox* cboComune = nullptr;
};

// Records every event with the navigator's State at the moment it is raised
// (-1 without a navigator), and can veto the delete.
class EventLog : public NavigatorEvents {
public:
    EventLog() = default;
    explicit EventLog(const clsADONavigator& nav) : mNav(&nav) {}
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
        states.push_back(mNav ? mNav->State() : -1);
    }
    const clsADONavigator* mNav = nullptr;
};

} // namespace tessaro::test
