#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

namespace tessaro {

namespace {

bool Confermato(const char* testo, const char* titolo) {
    return MsgBox(GetMessage(QString::fromLatin1(testo)), MsgStyle::YesNo + MsgStyle::Question,
                  GetMessage(QString::fromLatin1(titolo))) != MsgAnswer::No;
}

} // namespace

void clsADONavigator::Addnew() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_AddNew "), TitoloTQ03(), [&] {
        if (!AddnewEnabled)
            return;
        if (!MessaggioConfermaNuovoDisabilitato && !Confermato("TQ08", "TQ09"))
            return;
        if (!VerificaConnessione())
            return;
        mState = StatoNavigatore::NuovoRecord;
        FillComboOfForm();
        AbilitaInserimento(mContenitoreCaselle);
        PulisciControlli(mContenitoreCaselle);
        // Handlers get a copy: the container of the navigator is not theirs to replace.
        Solleva([&](NavigatorEvents& ev) {
            HostObject* c = mContenitoreCaselle;
            ev.Addnew(c);
        });
        // Again: the mode holds whatever the host's handler did to the state.
        mState = StatoNavigatore::NuovoRecord;
    });
}

void clsADONavigator::Clone() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Clone "), TitoloTQ03(), [&] {
        if (!CloneEnabled)
            return;
        if (!MessaggioConfermaClonaDisabilitato && !Confermato("TQ10", "TQ11"))
            return;
        if (!VerificaConnessione())
            return;
        FillComboOfForm();
        ShowCurrentRecord();
        mState = StatoNavigatore::NuovoRecord;
        // The copy is numbered by the database: its key box starts empty.
        for (const ColonnaLegata& l : ColonneLegate())
            if (l.colonna->ChiavePrimaria() && !Scrivibile(*l.colonna, *l.controllo, true))
                SvuotaControllo(*l.controllo);
        VerificaComboConOfForm();
        AbilitaInserimento(mContenitoreCaselle);
        Solleva([&](NavigatorEvents& ev) {
            HostObject* c = mContenitoreCaselle;
            ev.Clone(c);
        });
        // Again: the mode holds whatever the host's handler did to the state.
        mState = StatoNavigatore::NuovoRecord;
    });
}

void clsADONavigator::Edit() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Edit "), TitoloTQ03(), [&] {
        if (!UpdateEnabled)
            return;
        if (!VerificaConnessione())
            return;
        // Editing starts from the record as it is now, not as it was read.
        if (mState != StatoNavigatore::NessunRecord && !mChiaveCaricata.isNull() &&
            !LeggiRecord(mChiaveCaricata)) {
            AvvisaEliminato();
            return;
        }
        FillComboOfForm();
        ShowCurrentRecord();
        AbilitaInserimento(mContenitoreCaselle);
        Solleva([](NavigatorEvents& ev) { ev.BeforeUpdate(); });
        mState = StatoNavigatore::ModificaRecord;
    });
}

void clsADONavigator::Annulla() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Annulla "), TitoloTQ03(), [&] {
        // Going back to the record reads the lookups again: with the database
        // gone the check says so, and the typing stays until it is back.
        if (!VerificaConnessione())
            return;
        DisabilitaInserimento(mContenitoreCaselle);
        Solleva([](NavigatorEvents& ev) { ev.AfterAnnulla(); });
        // With no record to go back to (a table empty from the start or emptied
        // by deletes) the record last loaded is gone: show nothing.
        const bool nessuno = !mSorgente || mSorgente->Vuota();
        // Back to browsing where the record stands: first, last, only or between.
        const StatoNavigatore scorrimento =
            nessuno ? StatoNavigatore::NessunRecord : StatoDelRecord();
        mState = scorrimento;
        FillComboConOfForm();
        if (nessuno) {
            SvuotaControlli();
            return;
        }
        ShowCurrentRecord();
        // Again: the host's OnCurrent and AfterCurrent handlers run in between.
        mState = scorrimento;
    });
}

} // namespace tessaro
