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
    QString nome;
    short tipo = 0;
    for (long i = 1; i <= mTabellaPrincipale->Count(); ++i) {
        const auto colonna = mTabellaPrincipale->Item(i);
        if (colonna->ChiavePrimaria()) {
            nome = colonna->NomeCampo();
            tipo = colonna->TipoDati();
            break;
        }
    }
    // The key box shows the key of the record browsed; the first one counts. A
    // form that does not show the key deletes the record loaded.
    std::optional<QString> valore;
    if (!nome.isEmpty())
        PercorriControlli(mContenitoreCaselle, [&](Control& c) {
            if (valore || !c.IsTextBox())
                return;
            const Legame& legame = LegameDi(c);
            if (legame.tipo == TipoLegame::Colonna && legame.colonna == nome)
                valore = AsTextBox(c).Text();
        });
    if (!valore && !mChiaveCaricata.isNull())
        valore = ValueToText(mChiaveCaricata);
    QString condizione;
    if (valore)
        condizione = CondizioneSuChiave(nome, tipo, *valore, Dialect());
    return Dialect().TestaDelete(mPrimaryTableName) + condizione;
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
