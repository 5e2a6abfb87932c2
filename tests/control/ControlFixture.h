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
// container of Addnew and Clone; a Cancel flag is set for the events in `veto`.
// Like QSignalSpy it takes every signal through qt_metacall, so no event is
// left out and the reference arguments can be answered.
class EventRecorder : public QObject {
public:
    explicit EventRecorder(Tessaro14_ML& c) : mEventi(c.Events()) {
        const QMetaObject* m = mEventi->metaObject();
        for (int i = m->methodOffset(); i < m->methodCount(); ++i)
            QMetaObject::connect(mEventi, i, this, QObject::staticMetaObject.methodCount() + i,
                                 Qt::DirectConnection);
    }
    int qt_metacall(QMetaObject::Call call, int id, void** argv) override {
        id = QObject::qt_metacall(call, id, argv);
        if (id < 0 || call != QMetaObject::InvokeMetaMethod)
            return id;
        const QMetaMethod evento = mEventi->metaObject()->method(id);
        names << QString::fromLatin1(evento.name());
        if (evento.parameterTypeName(0) == "bool&")
            *static_cast<bool*>(argv[1]) = veto.contains(names.last());
        else if (evento.parameterTypeName(0) == "QWidget*")
            containers << *static_cast<QWidget**>(argv[1]);
        return -1;
    }
    QStringList names;
    QStringList veto;
    QList<QWidget*> containers;

private:
    QObject* mEventi;
};

// The control on a form of customers 1..n named C1..Cn (Nome holds ten characters).
class ControlTest : public BoxesTest, public TaggedForm {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        ResetLanguageModule();
        form->resize(600, 200);
        ctl = new Tessaro14_ML(form.get());
        txtIdCliente = AddText("txtIdCliente", "#IdCliente");
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
    bool Registra(QWidget* container, const QString& table, const QString& order) {
        // The kind is stored before the first source exists, which the control
        // answers with object-not-set.
        if (!ctl->FonteDati()) {
            EXPECT_EQ(RaisedBy([&] { ctl->TipoDatabase(4); }).number, Err::ObjectNotSet);
        }
        return ctl->AddFonteDati(conn.get(), table, container, order, {}, QString(), "#");
    }
    bool RegistraClienti() {
        const bool ok = Registra(form.get(), "Clienti", "IdCliente");
        ctl->SetFonteDatiAttiva("frmClienti");
        return ok;
    }
    // The enabled buttons, in toolbar order.
    QStringList Accesi(const QStringList& keys = kScorrimento + kComandi) const {
        QStringList out;
        for (const QString& k : keys)
            if (ctl->Button(k)->isEnabled())
                out << k;
        return out;
    }
    // The scrolling buttons that the position in the box calls for.
    QStringList Scorrimento() const {
        const int posizione = Box().section(' ', 0, 0).toInt();
        return (posizione > 1 ? kScorrimento.mid(0, 2) : QStringList()) +
               (posizione < ctl->FonteDati()->RecordCount().toInt() ? kScorrimento.mid(2)
                                                                    : QStringList());
    }
    // The widget at a toolbar position.
    QWidget* Posto(int i) const {
        return ctl->ToolbarMoveRecord()->widgetForAction(ctl->Button(i));
    }
    // The record-number box once the count in flight, if any, is back.
    QString Box() const {
        if (clsADONavigator* nav = ctl->FonteDati())
            nav->AttendiConteggio();
        return ctl->txtNumRec()->text();
    }
    // What the control last said to screen readers.
    QString Annuncio() const {
        return QAccessible::queryAccessibleInterface(ctl->findChild<QWidget*>("tessaroAnnuncio"))
            ->text(QAccessible::Name);
    }
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
    static QString Failure(const char* label, int number) {
        return QString::fromLatin1(label) + QString::number(number) + QLatin1Char(' ') +
               TessaroError::StandardDescription(number);
    }

    SqliteFile file;
    std::unique_ptr<Connection> conn;
    Tessaro14_ML* ctl = nullptr;
    QLineEdit* txtIdCliente = nullptr;
    QLineEdit* txtNome = nullptr;
};

} // namespace tessaro::test
