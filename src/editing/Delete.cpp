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
    return Dialect().TestaDelete(mPrimaryTableName) +
           CondizioneSuChiave(mCampoChiave, static_cast<short>(mTipoChiave),
                              ValueToText(mChiaveCaricata), Dialect());
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
        const qint64 quantiPrima = TheData->RecordCount();
        mConnessione->Execute(StatementDelete(), nullptr, -1);
        Solleva([](NavigatorEvents& ev) { ev.AfterDelConfirm(); });
        // The requery finds the current key again and steps back from it; the
        // deleted key is gone, so stand on the record after it first.
        if (!ScorrimentoDisabilitato && !TheData->Bof() && !TheData->Eof())
            TheData->MoveNext();
        MovePrevious();
        if (quantiPrima == 1) {
            SvuotaControlli();
            mState = StatoNavigatore::NessunRecord;
        }
        Solleva([](NavigatorEvents& ev) { ev.AfterDelete(); });
    });
}

} // namespace tessaro
