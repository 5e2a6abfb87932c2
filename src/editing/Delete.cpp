#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

namespace tessaro {

QString clsADONavigator::StatementDelete() const {
    // The record loaded, whatever the key box says now: a host may have
    // changed its text.
    if (mChiaveCaricata.isNull())
        TessaroError::Raise(Err::NoCurrentRecord);
    return Dialect().TestaDelete(mTabellaSql) +
           CondizioneSuChiave(ChiaveDi(mChiaveCaricata), Dialect());
}

bool clsADONavigator::EliminaVerificato() {
    bool confermato = false;
    for (;;) {
        Transazione transazione(*mConnessione);
        const Verifica verifica = VerificaRecord();
        if (verifica == Verifica::Invariato || confermato) {
            if (verifica != Verifica::Eliminato) {
                EseguiUnaRiga(StatementDelete());
                transazione.Conferma();
                return true;
            }
        }
        transazione.Annulla();
        if (verifica == Verifica::Eliminato) {
            AvvisaEliminato();
            return false;
        }
        // Changed since it was loaded: the user sees that and decides again.
        if (MsgBox(GetMessage(QStringLiteral("TQ52")) + QLatin1Char('\r') +
                       GetMessage(QStringLiteral("TQ57")),
                   MsgStyle::YesNo + MsgStyle::Exclamation,
                   GetMessage(QStringLiteral("TQ54"))) != MsgAnswer::Yes) {
            RicaricaRecord();
            return false;
        }
        confermato = true;
    }
}

void clsADONavigator::AvvisaEliminato() {
    MsgBox(GetMessage(QStringLiteral("TQ55")), MsgStyle::Exclamation,
           GetMessage(QStringLiteral("TQ02")));
    if (PrimaDiMuovere())
        MostraRecordDellElenco();
}

void clsADONavigator::RicaricaRecord() {
    if (PrimaDiMuovere() && !VaiAllaChiave(TestoChiave(mChiaveCaricata)))
        MostraRecordDellElenco();
}

void clsADONavigator::Delete() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Delete "), TitoloTQ03(), [&] {
        Solleva([](NavigatorEvents& ev) { ev.Delete(); });
        if (!DeleteEnabled)
            return;
        if (!MessaggioConfermaEliminaDisabilitato &&
            MsgBox(GetMessage(QStringLiteral("TQ12")), MsgStyle::YesNo + MsgStyle::Question,
                   GetMessage(QStringLiteral("TQ13"))) == MsgAnswer::No)
            return;
        if (!VerificaConnessione())
            return;
        bool Cancel = false;
        Solleva([&](NavigatorEvents& ev) { ev.BeforeDelConfirm(Cancel); });
        if (Cancel)
            return;
        {
            SorgenteRecord::Scrittura scrittura(SorgenteAggiornata());
            if (!EliminaVerificato())
                return;
            scrittura.Fatta(-1);
        }
        Solleva([](NavigatorEvents& ev) { ev.AfterDelConfirm(); });
        // The record before the deleted one; the first one when it was first,
        // and none when it was the only one.
        MovePrevious();
        Solleva([](NavigatorEvents& ev) { ev.AfterDelete(); });
    });
}

} // namespace tessaro
