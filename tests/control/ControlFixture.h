#pragma once

#include "control/Tessaro14_ML.h"
#include "data/TessaroError.h"
#include "engine/clsADONavigator.h"
#include "host/QtHostForm.h"
#include "language/modLanguageSupport.h"
#include "support/Fixtures.h"
#include "support/FormFixtures.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <QToolBar>
#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>

namespace tessaro::test {

// The keys of the eleven buttons and of the scrolling and command groups.
inline const QStringList kScorrimento = {"Primo", "Precedente", "Successivo", "Ultimo"};
inline const QStringList kComandi = {"Nuovo",   "Modifica", "Salva", "Elimina",
                                     "Annulla", "Duplica",  "Stampa"};

// The names of the control's events in the order they reach the host.
class EventRecorder {
public:
    explicit EventRecorder(Tessaro14_ML& c) {
        auto* e = c.Events();
        Track(e, &Tessaro14_MLEvents::OnCurrent, "OnCurrent");
        Track(e, &Tessaro14_MLEvents::AfterCurrent, "AfterCurrent");
        QObject::connect(e, &Tessaro14_MLEvents::Addnew, e, [this](QWidget* w) {
            names << "Addnew";
            containers << w;
        });
        QObject::connect(e, &Tessaro14_MLEvents::BeforeInsert, e,
                         [this](bool&) { names << "BeforeInsert"; });
        Track(e, &Tessaro14_MLEvents::AfterInsert, "AfterInsert");
        Track(e, &Tessaro14_MLEvents::BeforeUpdate, "BeforeUpdate");
        Track(e, &Tessaro14_MLEvents::AfterUpdate, "AfterUpdate");
        Track(e, &Tessaro14_MLEvents::Delete, "Delete");
        QObject::connect(e, &Tessaro14_MLEvents::BeforeDelConfirm, e,
                         [this](bool&) { names << "BeforeDelConfirm"; });
        Track(e, &Tessaro14_MLEvents::AfterDelConfirm, "AfterDelConfirm");
        Track(e, &Tessaro14_MLEvents::AfterDelete, "AfterDelete");
        QObject::connect(e, &Tessaro14_MLEvents::ValidateBeforeSave, e,
                         [this](bool&) { names << "ValidateBeforeSave"; });
        QObject::connect(e, &Tessaro14_MLEvents::Clone, e, [this](QWidget* w) {
            names << "Clone";
            containers << w;
        });
        Track(e, &Tessaro14_MLEvents::AfterAnnulla, "AfterAnnulla");
        QObject::connect(e, &Tessaro14_MLEvents::ClickPrint, e,
                         [this](bool&) { names << "ClickPrint"; });
    }

    QStringList names;
    QList<QWidget*> containers;

private:
    template <typename S> void Track(Tessaro14_MLEvents* e, S signal, const char* name) {
        QObject::connect(e, signal, e, [this, name] { names << QString::fromLatin1(name); });
    }
};

// A customers form with the control on it, over a real SQLite file.
class ControlTest : public SqliteTest, public TaggedForm {
protected:
    void SetUp() override {
        SqliteTest::SetUp();
        ResetLanguageModule();
        form->resize(600, 200);
        ctl = new Tessaro14_ML(form.get());
        ctl->setObjectName("navigatore");
        txtId = AddText("txtIdCliente", "#IdCliente");
        txtNome = AddText("txtNome", "#Nome");
        txtCitta = AddText("txtCitta", "#Citta");
    }

    void TearDown() override {
        form.reset();
        ResetLanguageModule();
        SqliteTest::TearDown();
    }

    // Customers 1..n named C1..Cn; Nome holds at most ten characters.
    void Clienti(int n) {
        QString script = "CREATE TABLE Clienti (IdCliente INTEGER PRIMARY KEY,"
                         " Nome VARCHAR(10), Citta TEXT);";
        for (int i = 1; i <= n; ++i)
            script += QStringLiteral("INSERT INTO Clienti VALUES (%1, 'C%1', 'Citta%1');").arg(i);
        UseScript(script);
    }

    // The database kind has to be set before the first source exists, which
    // the control answers with object-not-set after storing the value.
    void SqliteKind() {
        try {
            ctl->TipoDatabase(4);
        } catch (const TessaroError&) {
        }
    }

    // Registers the form for the customers and makes it active.
    bool RegistraClienti() {
        SqliteKind();
        const bool ok =
            ctl->AddFonteDati(conn.get(), "Clienti", form.get(), "IdCliente", {}, QString(), "#");
        ctl->SetFonteDatiAttiva("frmClienti");
        return ok;
    }

    // The names of the enabled buttons, in toolbar order.
    QStringList Accesi() const {
        QStringList out;
        for (const QString& k : kScorrimento + kComandi)
            if (ctl->Button(k)->isEnabled())
                out << k;
        return out;
    }

    QString Box() const { return ctl->txtNumRec()->text(); }
    bool BoxLocked() const { return ctl->txtNumRec()->isReadOnly(); }

    void Click(const QString& key) { ctl->Button(key)->trigger(); }

    // Types a text into the record-number box and presses Enter.
    void Digita(const QString& testo) {
        ctl->txtNumRec()->setText(testo);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QCoreApplication::sendEvent(ctl->txtNumRec(), &press);
    }

    QString Scalar(const QString& sql) const {
        auto rs = std::make_unique<Recordset>();
        rs->Open(sql, conn.get(), adOpenStatic, adLockReadOnly, adCmdText);
        return rs->Eof() ? QString() : rs->Fields().Item(0).Value().toString();
    }

    static QString Failure(const char* label, int number) {
        return QString::fromLatin1(label) + QString::number(number) + QLatin1Char(' ') +
               TessaroError::StandardDescription(number);
    }

    Tessaro14_ML* ctl = nullptr;
    QLineEdit* txtId = nullptr;
    QLineEdit* txtNome = nullptr;
    QLineEdit* txtCitta = nullptr;
};

// Expects a call to fail with the given number.
#define EXPECT_TESSARO_ERROR(statement, number)                                                    \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
            ADD_FAILURE() << #statement " did not fail";                                           \
        } catch (const ::tessaro::TessaroError& e) {                                               \
            EXPECT_EQ(e.Number(), number) << #statement;                                           \
        }                                                                                          \
    } while (0)

} // namespace tessaro::test
