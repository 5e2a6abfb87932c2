#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

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

void clsADONavigator::Muovi(const QString& etichetta, const Titolo& titolo, bool aggiornaElenco,
                            const std::function<void()>& sposta,
                            const std::function<StatoNavigatore()>& statoDopo) {
    Riporta(etichetta, titolo, [&] {
        if (mInizializzato && aggiornaElenco && MossaSuElencoTenuto(sposta, statoDopo))
            return;
        if (!PrimaDiMuovere(aggiornaElenco))
            return;
        const long prima = TheData->AbsolutePosition();
        try {
            sposta();
            if (CaricaRecordCorrente())
                mState = statoDopo();
        } catch (const TessaroError&) {
            // The record shown stays; so does the counter.
            RiportaCursore(prima);
            throw;
        }
    });
}

bool clsADONavigator::MossaSuElencoTenuto(const std::function<void()>& sposta,
                                          const std::function<StatoNavigatore()>& statoDopo) {
    if (ScorrimentoDisabilitato || !Dialect().ChiaveLegata || !mElencoValido || !mConnessione ||
        !TheData || !TheFullData || mConnessione->State() == adStateClosed ||
        TheData->State() != adStateOpen || TheData->Bof() || TheData->Eof() || !mVersioneElenco ||
        !StessoElenco(StatementElencoChiavi(false)))
        return false;
    const long prima = TheData->AbsolutePosition();
    std::unique_ptr<Recordset> record;
    QString sql;
    QVariant chiave;
    try {
        sposta();
        chiave = ValoreChiaveCorrente();
        std::optional<QString> versione;
        record = ApriRecord(ValueToText(chiave), sql, &versione);
        // Read in the same transaction as the version: nothing changed since
        // the list was read, so the list and this record agree.
        if (record && versione != mVersioneElenco)
            record.reset();
    } catch (const TessaroError& e) {
        // Another user's lock: the full check would only wait for it again.
        if (e.Number() == Err::Timeout) {
            RiportaCursore(prima);
            throw;
        }
        // The full check meets the same failure and reports it.
        record.reset();
    }
    if (!record) {
        RiportaCursore(prima);
        return false;
    }
    mConnessioneAppenaVerificata = false;
    TheFullData = std::move(record);
    mSqlRecordCorrente = sql;
    RicordaRecordCaricato(chiave);
    ShowCurrentRecord();
    mState = statoDopo();
    return true;
}

StatoNavigatore clsADONavigator::StatoUltimoOMezzo() const {
    return TheData->AbsolutePosition() == TheData->RecordCount() ? StatoNavigatore::UltimoRecord
                                                                 : StatoNavigatore::RecordInMezzo;
}

StatoNavigatore clsADONavigator::StatoDiPosizione() const {
    return TheData->AbsolutePosition() == 1 ? StatoNavigatore::PrimoRecord : StatoUltimoOMezzo();
}

void clsADONavigator::RecordNonTrovato() const {
    MsgBox(GetMessage(QStringLiteral("TQ44")), MsgStyle::Exclamation,
           GetMessage(QStringLiteral("TQ02")));
}

void clsADONavigator::MoveNext() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveNext "),
        Titolo::Testo(QStringLiteral("Errore interno!")), true,
        [this] {
            TheData->MoveNext();
            if (TheData->Eof())
                TheData->MoveLast();
        },
        [this] { return StatoUltimoOMezzo(); });
}

void clsADONavigator::MovePrevious() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MovePrevious "), TitoloTQ03(), true,
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
        QStringLiteral("ClsAdoNavigator_Metodo_MoveFirst "), TitoloTQ03(), true,
        [this] { TheData->MoveFirst(); }, [] { return StatoNavigatore::PrimoRecord; });
}

void clsADONavigator::MoveLast() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveLast "), TitoloTQ03(), true,
        [this] { TheData->MoveLast(); }, [] { return StatoNavigatore::UltimoRecord; });
}

bool clsADONavigator::VaiAllaChiave(const QString& chiave) {
    // A key its column cannot hold names no record either.
    QString criterio;
    try {
        criterio = CriterioChiave(chiave);
    } catch (const TessaroError& e) {
        if (e.Number() != Err::InvalidCall)
            throw;
        return false;
    }
    if (ScorrimentoDisabilitato) {
        if (!LeggiRecord(chiave))
            return false;
        RicordaRecordCaricato(chiave);
        ShowCurrentRecord();
        mState = StatoUltimoOMezzo();
        return true;
    }
    // The list was brought up to date by the check before the move.
    const long prima = TheData->AbsolutePosition();
    TheData->Find(criterio, 0, adSearchForward, adBookmarkFirst);
    // The database may hold the key written otherwise ("ABC" for "abc" where
    // its collation ignores case): looked for again as it is stored.
    const QString salvata = TheData->Eof() ? ChiaveComeSalvata(chiave) : QString();
    if (!salvata.isNull() && salvata != chiave)
        TheData->Find(CriterioChiave(salvata), 0, adSearchForward, adBookmarkFirst);
    if (TheData->Eof()) {
        RiportaCursore(prima);
        return false;
    }
    // The first of several is 2; the last keeps 3, also when it is the only one.
    if (CaricaRecordCorrente())
        mState = TheData->AbsolutePosition() == 1 && TheData->RecordCount() > 1
                     ? StatoNavigatore::PrimoRecord
                     : StatoUltimoOMezzo();
    return true;
}

void clsADONavigator::MoveTo(const QString& PrimaryKey) {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_MoveTo "), TitoloTQ03(), [&] {
        if (PrimaDiMuovere(true) && !VaiAllaChiave(PrimaryKey))
            RecordNonTrovato();
    });
}

void clsADONavigator::Move(long NumRecords) {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_Move "), TitoloTQ03(), false,
        [&] {
            TheData->MoveFirst();
            TheData->Move(NumRecords - 1, adBookmarkCurrent);
            if (TheData->Bof())
                TheData->MoveFirst();
            if (TheData->Eof())
                TheData->MoveLast();
        },
        [this] { return StatoDiPosizione(); });
}

} // namespace tessaro
