#include "data/TessaroError.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"

#include <QSet>

namespace tessaro {

void clsADONavigator::ImpostaInserimento(HostObject* Contenitore, bool aperto,
                                         const QString& etichetta) {
    Riporta(
        etichetta, TitoloTQ03(),
        [&] {
            // Only what a save writes opens: typing elsewhere would be dropped.
            QSet<const Control*> scritti;
            if (aperto) {
                const bool nuovo = mState == StatoNavigatore::NuovoRecord;
                for (const ColonnaLegata& l : ColonneLegate())
                    if (Scrivibile(*l.colonna, *l.controllo, nuovo))
                        scritti.insert(l.controllo);
            }
            // Text boxes and combos through Locked (so they stay enabled), check
            // boxes through Enabled.
            PercorriControlli(Contenitore, [&](Control& c) {
                if (!c.IsTextBox() && !c.IsComboBox() && !c.IsCheckBox())
                    return;
                if (c.Tag().isEmpty())
                    return;
                const Legame& legame = LegameDi(c);
                // A combo whose Tag lacks the prefix follows the mode, as it always did.
                const bool apri =
                    aperto && (scritti.contains(&c) || (c.IsComboBox() && !legame.Legato()));
                if (c.IsComboBox()) {
                    AsComboBox(c).SetLocked(!apri);
                    return;
                }
                if (!legame.Legato() && legame.tipo != TipoLegame::Rifiutato)
                    return;
                if (c.IsTextBox())
                    AsTextBox(c).SetLocked(!apri);
                else
                    AsCheckBox(c).SetEnabled(apri);
            });
        },
        Impaginazione::ACapo);
}

void clsADONavigator::AbilitaInserimento(HostObject* Contenitore) {
    ImpostaInserimento(Contenitore, true, QStringLiteral("ClsAdoNavigator_AbilitaInserimento "));
}

void clsADONavigator::DisabilitaInserimento(HostObject* Contenitore) {
    ImpostaInserimento(Contenitore, false,
                       QStringLiteral("ClsAdoNavigator_DisabilitaInserimento "));
}

void clsADONavigator::PulisciControlli(HostObject* Contenitore) {
    Riporta(
        QStringLiteral("ClsAdoNavigator_PulisciControlli "), TitoloTQ03(),
        [&] {
            for (ChiaviCombo& voce : mChiaviCombo)
                voce.ChiaveFuoriElenco.reset();
            // Every control with a Tag is emptied, bound or not.
            PercorriControlli(Contenitore, [](Control& c) {
                if (!c.Tag().isEmpty())
                    SvuotaControllo(c);
            });
        },
        Impaginazione::ACapo);
}

void clsADONavigator::SvuotaControllo(Control& c) {
    if (c.IsComboBox())
        AsComboBox(c).SetText(QString());
    else if (c.IsTextBox())
        AsTextBox(c).SetText(QString());
    else if (c.IsCheckBox())
        AsCheckBox(c).SetValue(0);
}

void clsADONavigator::SvuotaControlli() {
    try {
        PulisciControlli(mContenitoreCaselle);
    } catch (...) {
        // Whatever escapes the walk's own report is ignored.
    }
}

} // namespace tessaro
