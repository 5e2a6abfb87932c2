#pragma once

#include "control/Tessaro14_ML.h"
#include "language/modLanguageSupport.h"
#include "support/FormFixtures.h"

#include <QTest>
#include <QtWidgets>

namespace tessaro::test {

inline const QStringList kScorrimento = {"Primo", "Precedente", "Successivo", "Ultimo"};
inline const QStringList kComandi = {"Nuovo",   "Modifica", "Salva", "Elimina",
                                     "Annulla", "Duplica",  "Stampa"};

// The names of the control's events in the order they reach the host, and the
// container of Addnew and Clone. Vetoes the events named in `veto`.
class EventRecorder {
public:
    explicit EventRecorder(Tessaro14_ML& c) {
        using E = Tessaro14_MLEvents;
        auto* e = c.Events();
        const auto on = [&](auto signal, const char* name) {
            QObject::connect(e, signal, e, [this, name] { names << name; });
        };
        const auto cancel = [&](auto signal, const char* name) {
            QObject::connect(e, signal, e, [this, name](bool& Cancel) {
                names << name;
                Cancel = veto.contains(name);
            });
        };
        for (auto [signal, name] : {std::pair{&E::OnCurrent, "OnCurrent"},
                                    {&E::AfterCurrent, "AfterCurrent"},
                                    {&E::AfterInsert, "AfterInsert"},
                                    {&E::BeforeUpdate, "BeforeUpdate"},
                                    {&E::AfterUpdate, "AfterUpdate"},
                                    {&E::Delete, "Delete"},
                                    {&E::AfterDelConfirm, "AfterDelConfirm"},
                                    {&E::AfterDelete, "AfterDelete"},
                                    {&E::AfterAnnulla, "AfterAnnulla"}})
            on(signal, name);
        for (auto [signal, name] : {std::pair{&E::BeforeInsert, "BeforeInsert"},
                                    {&E::BeforeDelConfirm, "BeforeDelConfirm"},
                                    {&E::ValidateBeforeSave, "ValidateBeforeSave"},
                                    {&E::ClickPrint, "ClickPrint"}})
            cancel(signal, name);
        for (auto [signal, name] : {std::pair{&E::Addnew, "Addnew"}, {&E::Clone, "Clone"}})
            QObject::connect(e, signal, e, [this, name](QWidget* w) {
                names << name;
                containers << w;
            });
    }
    QStringList names;
    QStringList veto;
    QList<QWidget*> containers;
};

// The control on a form of customers 1..n named C1..Cn (Nome holds ten characters).
class ControlTest : public BoxesTest, public TaggedForm {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        ResetLanguageModule();
        form->resize(600, 200);
        ctl = new Tessaro14_ML(form.get());
        ctl->setObjectName("navigatore");
        txtId = AddText("txtIdCliente", "#IdCliente");
        txtNome = AddText("txtNome", "#Nome");
    }
    void TearDown() override {
        form.reset();
        ResetLanguageModule();
        BoxesTest::TearDown();
    }
    void Clienti(int n, const QString& extra = QString()) {
        QString script = "CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY, Nome VARCHAR(10));";
        for (int i = 1; i <= n; ++i)
            script += QStringLiteral("INSERT INTO Clienti VALUES (%1, 'C%1');").arg(i);
        file.Exec(script + extra);
        conn = file.Open();
    }
    // The kind is stored before the first source exists, which the control
    // answers with object-not-set.
    void SqliteKind() {
        EXPECT_EQ(RaisedBy([&] { ctl->TipoDatabase(4); }).number, Err::ObjectNotSet);
    }
    bool Registra(QWidget* container, const QString& table, const QString& order) {
        if (!ctl->FonteDati())
            SqliteKind();
        return ctl->AddFonteDati(conn.get(), table, container, order, {}, QString(), "#");
    }
    bool RegistraClienti() {
        const bool ok = Registra(form.get(), "Clienti", "IdCliente");
        ctl->SetFonteDatiAttiva("frmClienti");
        return ok;
    }
    // The enabled buttons, in toolbar order.
    QStringList Accesi() const {
        QStringList out;
        for (const QString& k : kScorrimento + kComandi)
            if (ctl->Button(k)->isEnabled())
                out << k;
        return out;
    }
    // The widget at a toolbar position.
    QWidget* Posto(int i) const {
        return ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(i));
    }
    QString Box() const { return ctl->txtNumRec()->text(); }
    bool BoxLocked() const { return ctl->txtNumRec()->isReadOnly(); }
    void Click(const QString& key) { ctl->Button(key)->trigger(); }
    // Types into the record-number box and presses Enter.
    void Digita(const QString& testo) {
        ctl->txtNumRec()->setText(testo);
        QTest::keyClick(ctl->txtNumRec(), Qt::Key_Return);
    }
    // The form shown and active, the focus in a field: where shortcuts work.
    void Attiva() {
        form->show();
        QApplication::setActiveWindow(form.get());
        txtNome->setFocus();
    }
    QString Nome(int id) const {
        return RowsAsText(conn.get(),
                          QStringLiteral("SELECT Nome FROM Clienti WHERE IdCliente = %1").arg(id))
            .value(0, "<no row>");
    }
    int Righe() const { return RowsAsText(conn.get(), "SELECT COUNT(*) FROM Clienti")[0].toInt(); }
    static QString Failure(const char* label, int number) {
        return QString::fromLatin1(label) + QString::number(number) + QLatin1Char(' ') +
               TessaroError::StandardDescription(number);
    }

    SqliteFile file;
    std::unique_ptr<Connection> conn;
    Tessaro14_ML* ctl = nullptr;
    QLineEdit* txtId = nullptr;
    QLineEdit* txtNome = nullptr;
};

} // namespace tessaro::test
