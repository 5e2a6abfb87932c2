#include "DemoTesti.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>

namespace demo {

namespace {

struct Voce {
    const char* chiave;
    const char* italiano;
    const char* inglese;
};

// Object names of the window, then the keys of the demo's messages.
constexpr Voce kVoci[] = {
    {"ClientiOrdiniWindow", "Tessaro", "Tessaro"},
    {"grpClienti", "Clienti", "Customers"},
    {"grpOrdini", "Ordini", "Orders"},
    {"lblIdCliente", "Codice", "Code"},
    {"lblCognome", "Cognome *", "Surname *"},
    {"lblNome", "Nome", "First name"},
    {"lblIndirizzo", "Indirizzo", "Address"},
    {"lblComune", "Comune", "Town"},
    {"lblProvincia", "Provincia", "Province"},
    {"lblTelefono", "Telefono", "Phone"},
    {"chkAttivo", "Cliente attivo", "Active customer"},
    {"lblIdOrdine", "Numero", "Number"},
    {"lblDataOrdine", "Data", "Date"},
    {"lblCliente", "Cliente", "Customer"},
    {"lblAgente", "Agente", "Agent"},
    {"lblImporto", "Importo €", "Amount €"},
    {"lblNote", "Note", "Notes"},
    {"lblFiltro", "Fil&tro", "Fil&ter"},
    {"btnFiltra", "Filtra", "Apply"},
    {"btnTutti", "Tutti", "All"},
    {"menuFile", "&File", "&File"},
    {"menuLingua", "&Lingua", "&Language"},
    {"actionEsci", "&Esci", "&Quit"},
    {"txtFiltro", "Cognome", "Surname"},
    {"txtFiltro.toolTip",
     "L'inizio di un cognome (Clienti) o del cognome del cliente (Ordini). Vuoto: tutti i record.",
     "The start of a surname (Customers) or of the customer's surname (Orders). Empty: every "
     "record."},
    {"txtIdCliente.toolTip", "Assegnato dal database al salvataggio",
     "Given by the database when the record is saved"},
    {"txtIdOrdine.toolTip", "Assegnato dal database al salvataggio",
     "Given by the database when the record is saved"},
    {"txtProvincia.toolTip", "La provincia del comune scelto, letta dalla tabella Comuni",
     "The province of the chosen town, read from the Comuni table"},
    {"txtDataOrdine", "data", "date"},
    // Messages.
    {"titolo", "Clienti e Ordini", "Customers and Orders"},
    {"cognomeObbligatorio", "Il cognome del cliente è obbligatorio.",
     "The customer's surname is required."},
    {"clienteObbligatorio", "Scegliere il cliente dell'ordine.",
     "Choose the customer of the order."},
    {"agenteObbligatorio", "Scegliere l'agente dell'ordine.", "Choose the agent of the order."},
    {"fonteAttiva", "Fonte dati attiva: %1", "Active data source: %1"},
    {"filtroClienti", "cognome che inizia con «%1»", "surname starting with “%1”"},
    {"filtroOrdini", "clienti con il cognome che inizia con «%1»",
     "customers whose surname starts with “%1”"},
    {"salvaStampa", "Salva la stampa", "Save the printout"},
    {"stampato", "Stampa salvata in %1", "Printout saved as %1"},
    {"salvato", "Record salvato.", "Record saved."},
    {"eliminato", "Record eliminato.", "Record deleted."},
    {"lingueMancanti", "File delle lingue non trovati: la lingua non si può cambiare.",
     "Language files not found: the language cannot be switched."},
};

const QHash<QString, const Voce*>& Indice() {
    static const QHash<QString, const Voce*> indice = [] {
        QHash<QString, const Voce*> h;
        for (const Voce& v : kVoci)
            h.insert(QString::fromUtf8(v.chiave), &v);
        return h;
    }();
    return indice;
}

bool Inglese(const QString& lingua) {
    return lingua.compare(QLatin1String("English"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString Testo(const QString& lingua, const QString& chiave) {
    const Voce* v = Indice().value(chiave);
    if (!v)
        return chiave;
    return QString::fromUtf8(Inglese(lingua) ? v->inglese : v->italiano);
}

void TraduciFinestra(QWidget* finestra, const QString& lingua) {
    const auto testo = [&](const QString& chiave, auto&& applica) {
        if (Indice().contains(chiave))
            applica(Testo(lingua, chiave));
    };
    testo(finestra->objectName(), [&](const QString& t) { finestra->setWindowTitle(t); });
    for (QWidget* w : finestra->findChildren<QWidget*>()) {
        const QString nome = w->objectName();
        testo(nome + QStringLiteral(".toolTip"), [&](const QString& t) { w->setToolTip(t); });
        if (auto* l = qobject_cast<QLabel*>(w))
            testo(nome, [&](const QString& t) { l->setText(t); });
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            testo(nome, [&](const QString& t) { b->setText(t); });
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            testo(nome, [&](const QString& t) { g->setTitle(t); });
        else if (auto* m = qobject_cast<QMenu*>(w))
            testo(nome, [&](const QString& t) { m->setTitle(t); });
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            testo(nome, [&](const QString& t) { e->setPlaceholderText(t); });
    }
    for (QAction* a : finestra->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
        testo(a->objectName(), [&](const QString& t) { a->setText(t); });
}

} // namespace demo
