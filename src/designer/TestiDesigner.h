#pragma once

// The texts of the Designer plugin, in Italian when Designer runs in Italian and
// in English otherwise: Designer follows the user's locale, and so do we.

#include <QString>

namespace tessaro::designer {

enum class Testo {
    VoceMenu,
    TitoloDialogo,
    Prefisso,
    PrefissoDalControllo,
    PrefissoLibero,
    Colonna,
    ColonnaChiave,
    ColonnaCollegata,
    ColonnaCollegataAiuto,
    TabellaRicerca,
    TabellaRicercaAiuto,
    ColonneMostrate,
    IntestazioneColonna,
    IntestazioneTestoDopo,
    Aggiungi,
    Rimuovi,
    TagRisultante,
    Significato,
    NonCollegato,
    SenzaPrefisso,
    MostraColonna,
    MostraColonnaCollegata,
    RicercaSemplice,
    RicercaConColonne,
    RicercaTabellaCollegata,
    RicercaNonValida,
    TagNonRiletto,
    ToolTip,
    WhatsThis,
};

// Italian when the default locale speaks it.
bool InItaliano();
QString TestoDesigner(Testo chiave);

} // namespace tessaro::designer
