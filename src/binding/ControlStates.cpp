#include "data/TessaroError.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"

namespace tessaro {

namespace {

// Opens or closes the bound controls: text boxes and combos through Locked (so
// they stay enabled), check boxes through Enabled. Linked columns never open.
void ImpostaInserimento(const clsADONavigator& nav, HostObject* Contenitore, bool aperto,
                        const QString& etichetta) {
    Riporta(
        etichetta, TitoloTQ03(),
        [&] {
            nav.PercorriControlli(Contenitore, [&](Control& c) {
                if (!c.IsTextBox() && !c.IsComboBox() && !c.IsCheckBox())
                    return;
                if (c.Tag().isEmpty())
                    return;
                if (c.IsComboBox()) {
                    AsComboBox(c).SetLocked(!aperto);
                    return;
                }
                if (nav.LegameDi(c).tipo != TipoLegame::Colonna)
                    return;
                if (c.IsTextBox())
                    AsTextBox(c).SetLocked(!aperto);
                else
                    AsCheckBox(c).SetEnabled(aperto);
            });
        },
        Impaginazione::ACapo);
}

} // namespace

void clsADONavigator::AbilitaInserimento(HostObject* Contenitore) {
    ImpostaInserimento(*this, Contenitore, true,
                       QStringLiteral("ClsAdoNavigator_AbilitaInserimento "));
}

void clsADONavigator::DisabilitaInserimento(HostObject* Contenitore) {
    ImpostaInserimento(*this, Contenitore, false,
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
