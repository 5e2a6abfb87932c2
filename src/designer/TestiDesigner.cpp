#include "designer/TestiDesigner.h"

#include <QLocale>
#include <array>

namespace tessaro::designer {

namespace {

struct Voce {
    Testo chiave;
    const char* italiano;
    const char* inglese;
};

// In the order of Testo, so that a text is found by its index.
constexpr std::array kVoci{
    Voce{Testo::VoceMenu, "Collega al campo…", "Bind to column…"},
    Voce{Testo::TitoloDialogo, "Collega %1 a un campo", "Bind %1 to a column"},
    Voce{Testo::Prefisso, "Prefisso del Tag:", "Tag prefix:"},
    Voce{Testo::PrefissoDalControllo, "dal navigatore %1", "from the navigator %1"},
    Voce{Testo::PrefissoLibero, "nessun navigatore sul form: il prefisso che AddFonteDati riceverà",
         "no navigator on the form: the prefix AddFonteDati will be given"},
    Voce{Testo::Colonna, "Colonna:", "Column:"},
    Voce{Testo::ColonnaChiave, "Colonna della chiave:", "Key column:"},
    Voce{Testo::ColonnaCollegata,
         "Colonna della tabella collegata:", "Column of the linked table:"},
    Voce{Testo::ColonnaCollegataAiuto,
         "vuota per mostrare la colonna stessa; altrimenti la colonna della tabella a cui la "
         "colonna rimanda, letta con una join",
         "empty to show the column itself; otherwise a column of the table the column refers "
         "to, read through a join"},
    Voce{Testo::TabellaRicerca, "Tabella di ricerca:", "Lookup table:"},
    Voce{Testo::TabellaRicercaAiuto,
         "senza colonne mostrate l'elenco mostra la seconda colonna della tabella a cui la "
         "chiave rimanda",
         "without shown columns the list shows the second column of the table the key "
         "refers to"},
    Voce{Testo::ColonneMostrate, "Colonne mostrate:", "Shown columns:"},
    Voce{Testo::IntestazioneColonna, "Colonna", "Column"},
    Voce{Testo::IntestazioneTestoDopo, "Testo dopo", "Text after"},
    Voce{Testo::Aggiungi, "Aggiungi", "Add"},
    Voce{Testo::Rimuovi, "Rimuovi", "Remove"},
    Voce{Testo::TagRisultante, "Tag:", "Tag:"},
    Voce{Testo::Significato, "Significato:", "Meaning:"},
    Voce{Testo::NonCollegato, "Non collegato.", "Not bound."},
    Voce{Testo::SenzaPrefisso, "Non collegato: il Tag non contiene il prefisso «%1».",
         "Not bound: the Tag does not hold the prefix «%1»."},
    Voce{Testo::MostraColonna, "Mostra la colonna «%1» della tabella.",
         "Shows the column «%1» of the table."},
    Voce{Testo::MostraColonnaCollegata,
         "Mostra la colonna «%2» della tabella a cui rimanda «%1», letta con una join.",
         "Shows the column «%2» of the table that «%1» refers to, read through a join."},
    Voce{Testo::RicercaSemplice,
         "Elenco di ricerca: salva la chiave in «%1» e mostra la seconda colonna della "
         "tabella a cui rimanda.",
         "Lookup list: saves the key in «%1» and shows the second column of the table it "
         "refers to."},
    Voce{Testo::RicercaConColonne,
         "Elenco di ricerca: salva la chiave in «%1» e mostra %2 della tabella «%3».",
         "Lookup list: saves the key in «%1» and shows %2 of the table «%3»."},
    Voce{Testo::RicercaTabellaCollegata,
         "Elenco di ricerca: salva la chiave in «%1» e mostra %2 della tabella a cui rimanda.",
         "Lookup list: saves the key in «%1» and shows %2 of the table it refers to."},
    Voce{Testo::RicercaNonValida,
         "Non valido: una tabella di ricerca vuole almeno una colonna mostrata.",
         "Not valid: a lookup table needs at least one shown column."},
    Voce{Testo::TagNonRiletto,
         "Il Tag non si rilegge nelle stesse parti: un nome vuoto, o con il carattere ¸, o "
         "un prefisso che il Tag non mostra tale e quale.",
         "The Tag does not read back into the same parts: an empty name, a name holding the "
         "character ¸, or a prefix the Tag does not show as it is."},
    Voce{Testo::ToolTip, "Barra di navigazione dei record", "Record navigator toolbar"},
    Voce{Testo::WhatsThis,
         "Tessaro14_ML: la barra che scorre, crea, modifica, salva ed elimina i record dei "
         "contenitori registrati con AddFonteDati. I widget del contenitore si collegano "
         "alle colonne con la proprietà Tag (menu \"Collega al campo…\").",
         "Tessaro14_ML: the toolbar that browses, creates, edits, saves and deletes the "
         "records of the containers registered with AddFonteDati. The container's widgets "
         "are bound to columns by their Tag property (menu \"Bind to column…\")."},
};

constexpr bool InOrdine() {
    for (std::size_t i = 0; i < kVoci.size(); ++i)
        if (static_cast<int>(kVoci[i].chiave) != static_cast<int>(i))
            return false;
    return true;
}
static_assert(InOrdine());

} // namespace

bool InItaliano() {
    return QLocale().language() == QLocale::Italian;
}

QString TestoDesigner(Testo chiave) {
    const Voce& v = kVoci[static_cast<std::size_t>(chiave)];
    return QString::fromUtf8(InItaliano() ? v.italiano : v.inglese);
}

} // namespace tessaro::designer
