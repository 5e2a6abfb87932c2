#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"

namespace tessaro {

bool clsADONavigator::PrimaDiMuovere(bool aggiornaElenco) {
    if (!mInizializzato)
        return false;
    if (!VerificaConnessione())
        return false;
    if (aggiornaElenco) {
        mConnessioneAppenaVerificata = true;
        AggiornaArrayID();
        if (!mElencoValido)
            return false;
    }
    // An empty list has no record to show: nothing to move to.
    return TheData->RecordCount() > 0;
}

void clsADONavigator::Muovi(const QString& etichetta, const Titolo& titolo,
                            const std::function<void()>& sposta,
                            const std::function<StatoNavigatore()>& statoDopo) {
    Riporta(etichetta, titolo, [&] {
        if (!PrimaDiMuovere(true))
            return;
        sposta();
        CaricaRecordCorrente();
        mState = statoDopo();
    });
}

StatoNavigatore clsADONavigator::StatoUltimoOMezzo() const {
    return TheData->AbsolutePosition() == TheData->RecordCount() ? StatoNavigatore::UltimoRecord
                                                                 : StatoNavigatore::RecordInMezzo;
}

void clsADONavigator::MoveNext() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveNext "),
        Titolo::Testo(QStringLiteral("Errore interno!")),
        [this] {
            TheData->MoveNext();
            if (TheData->Eof())
                TheData->MoveLast();
        },
        [this] { return StatoUltimoOMezzo(); });
}

void clsADONavigator::MovePrevious() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MovePrevious "), TitoloTQ03(),
        [this] {
            TheData->MovePrevious();
            if (TheData->Bof())
                TheData->MoveFirst();
        },
        [this] {
            return TheData->AbsolutePosition() == 1 ? StatoNavigatore::PrimoRecord
                                                    : StatoNavigatore::RecordInMezzo;
        });
}

void clsADONavigator::MoveFirst() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveFirst "), TitoloTQ03(),
        [this] { TheData->MoveFirst(); }, [] { return StatoNavigatore::PrimoRecord; });
}

void clsADONavigator::MoveLast() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveLast "), TitoloTQ03(),
        [this] { TheData->MoveLast(); }, [] { return StatoNavigatore::UltimoRecord; });
}

void clsADONavigator::MoveTo(const QString& PrimaryKey) {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_MoveTo "), TitoloTQ03(), [&] {
        if (!PrimaDiMuovere(true))
            return;
        QString sql;
        if (ScorrimentoDisabilitato) {
            sql = StatementRecord(PrimaryKey);
        } else {
            // Checked before the list is rebuilt, so a bad key leaves the cursor where it was.
            const QString criterio = CriterioChiave(PrimaryKey);
            ApriElencoSeCambiato(StatementElencoChiavi(false));
            TheData->Find(criterio, 0, adSearchForward, adBookmarkFirst);
            sql = StatementRecord(ValueToText(ValoreChiaveCorrente()));
        }
        TheFullData = std::make_unique<Recordset>();
        TheFullData->Open(sql, mConnessione, adOpenStatic, adLockReadOnly, adCmdText);
        mSqlRecordCorrente = sql;
        RicordaRecordCaricato(ScorrimentoDisabilitato ? QVariant(PrimaryKey)
                                                      : ValoreChiaveCorrente());
        ShowCurrentRecord();
        mState = StatoUltimoOMezzo();
    });
}

void clsADONavigator::Move(long NumRecords) {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Move "), TitoloTQ03(), [&] {
        if (!PrimaDiMuovere(false))
            return;
        TheData->MoveFirst();
        TheData->Move(NumRecords - 1, adBookmarkCurrent);
        if (TheData->Bof())
            TheData->MoveFirst();
        if (TheData->Eof())
            TheData->MoveLast();
        const long posizione = TheData->AbsolutePosition();
        if (posizione == 1)
            mState = StatoNavigatore::PrimoRecord;
        else if (posizione == TheData->RecordCount())
            mState = StatoNavigatore::UltimoRecord;
        else
            mState = StatoNavigatore::RecordInMezzo;
        CaricaRecordCorrente();
    });
}

} // namespace tessaro
