#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <algorithm>
#include <utility>

namespace tessaro {

QString clsADONavigator::StatementElencoIniziale() const {
    const QString& T = mPrimaryTableName;
    if (mCondizione.isEmpty())
        return QStringLiteral("Select ") + mCampoChiave + QStringLiteral(" from ") + T +
               QStringLiteral(" Order by ") + T + QLatin1Char('.') + mOrderField;
    return QStringLiteral("Select ") + mCampoChiave + QStringLiteral(" from ") + T +
           QStringLiteral(" WHERE (") + mCondizione + QStringLiteral(") Order by ") + T +
           QLatin1Char('.') + mOrderField;
}

QString clsADONavigator::StatementElencoChiavi(bool scorrimentoConsiderato) const {
    const QString& K = mCampoChiave;
    const QString& T = mPrimaryTableName;
    const QString& O = mOrderField;
    if (scorrimentoConsiderato && ScorrimentoDisabilitato)
        return Dialect().ElencoChiaviUnaRiga(K, T, O);
    if (!mCondizione.isEmpty())
        return QStringLiteral("Select ") + K + QStringLiteral(" from ") + T +
               QStringLiteral(" WHERE (") + mCondizione + QStringLiteral(") Order by ") + T +
               QLatin1Char('.') + O;
    return QStringLiteral("Select ") + K + QStringLiteral(" From ") + T +
           QStringLiteral(" Order by ") + T + QLatin1Char('.') + O + QLatin1Char(';');
}

QString clsADONavigator::StatementRecord(const QString& chiave) const {
    return mSqlRecordPrefisso + LetteraleChiave(static_cast<short>(mTipoChiave), chiave, Dialect());
}

QVariant clsADONavigator::ValoreChiaveCorrente() const {
    return TheData->Fields().Item(mCampoChiave).Value();
}

void clsADONavigator::ApriElencoChiavi(const QString& sql, int cursore, int blocco) {
    // Taken before the list is read: a change that lands in between makes the
    // next comparison fail, never pass.
    const auto versione = mConnessione->DataVersion();
    // Read apart: a read that fails (a busy database) leaves the form on the
    // list and the record it had.
    auto elenco = std::make_unique<Recordset>();
    elenco->Open(sql, mConnessione, cursore, blocco, adCmdUnspecified);
    TheData = std::move(elenco);
    mSqlElencoChiavi = sql;
    mVersioneElenco = versione;
}

bool clsADONavigator::StessoElenco(const QString& sql) const {
    // The list read by Init_Class in its own form is the same query as the
    // requery's (same key, table, order and condition).
    return sql == mSqlElencoChiavi ||
           (sql == StatementElencoChiavi(false) && mSqlElencoChiavi == StatementElencoIniziale());
}

bool clsADONavigator::ElencoAncoraValido(const QString& sql) const {
    // Nothing anybody could change has changed since the list was read with
    // that statement: reading it again would give the same rows.
    return StessoElenco(sql) && mVersioneElenco && TheData->State() == adStateOpen &&
           TheData->Source() == mSqlElencoChiavi && mConnessione->DataVersion() == mVersioneElenco;
}

bool clsADONavigator::ApriElencoSeCambiato(const QString& sql) {
    if (ElencoAncoraValido(sql))
        return false;
    ApriElencoChiavi(sql);
    return true;
}

bool clsADONavigator::LeggiRecord(const QString& chiave) {
    QString sql;
    auto record = ApriRecord(chiave, sql, nullptr);
    if (!record)
        return false;
    TheFullData = std::move(record);
    mSqlRecordCorrente = sql;
    return true;
}

std::unique_ptr<Recordset> clsADONavigator::ApriRecord(const QString& chiave, QString& sql,
                                                       std::optional<QString>* versione) {
    sql = StatementRecord(chiave);
    auto record = std::make_unique<Recordset>();
    const auto legato = Dialect().ChiaveLegata
                            ? ValoreChiaveLegato(static_cast<short>(mTipoChiave), chiave, Dialect())
                            : std::nullopt;
    if (legato)
        record->Open(mSqlRecordPrefisso + QLatin1Char('?'), QVariantList{*legato}, mConnessione,
                     versione);
    else
        record->Open(sql, mConnessione, adOpenStatic, adLockReadOnly, adCmdText);
    if (record->RecordCount() < 1)
        return nullptr;
    return record;
}

bool clsADONavigator::CaricaRecordCorrente() {
    // A record gone since the list was read (deleted or re-keyed by another
    // user) must not leave the previous record on screen: the list is read
    // again and the record now at that position, or the last, is shown.
    constexpr int kLetture = 3;
    for (int lettura = 0; lettura < kLetture; ++lettura) {
        if (TheData->RecordCount() < 1) {
            mState = StatoNavigatore::NessunRecord;
            SvuotaControlli();
            return false;
        }
        const QVariant chiave = ValoreChiaveCorrente();
        if (LeggiRecord(ValueToText(chiave))) {
            RicordaRecordCaricato(chiave);
            ShowCurrentRecord();
            return true;
        }
        const long posizione = TheData->AbsolutePosition();
        ApriElencoChiavi(StatementElencoChiavi(true));
        RiportaCursore(std::min<long>(posizione, static_cast<long>(TheData->RecordCount())));
    }
    // Records vanishing as fast as they are read: show none rather than a wrong one.
    SvuotaControlli();
    TessaroError::Raise(Err::NoCurrentRecord);
}

void clsADONavigator::RiportaCursore(long posizione) {
    if (posizione >= 1 && posizione <= TheData->RecordCount())
        TheData->Move(posizione - 1, adBookmarkFirst);
}

void clsADONavigator::RicordaRecordCaricato(const QVariant& chiave) {
    mChiaveCaricata = chiave;
    // A reconnection puts the list back on the record shown, not on the one
    // that was current at the last requery.
    mCriterioRecordCorrente = CriterioChiave(ValueToText(chiave));
}

void clsADONavigator::AggiornaTheData() {
    Riporta(QStringLiteral("ClsAdoNavigator_AggiornaTheData "),
            Titolo::Testo(QStringLiteral("Errore interno!")), [this] {
                ApriElencoChiavi(StatementElencoChiavi(true));
                if (TheData->RecordCount() < 1) {
                    mState = StatoNavigatore::NessunRecord;
                    SvuotaControlli();
                    return;
                }
                TheData->MoveLast();
                if (CaricaRecordCorrente())
                    mState = StatoNavigatore::UltimoRecord;
            });
}

QString clsADONavigator::ChiaveDaRitrovare() const {
    // Off the list (the record was deleted by someone else, or a MoveTo missed):
    // the record still shown is the one to find again.
    if (TheData->Bof() || TheData->Eof())
        return mChiaveCaricata.isNull() ? QString() : ValueToText(mChiaveCaricata);
    return ValueToText(ValoreChiaveCorrente());
}

void clsADONavigator::AggiornaArrayID() {
    mElencoValido = false;
    // A move that has just checked the connection spares this call a second probe.
    const bool verificata = std::exchange(mConnessioneAppenaVerificata, false);
    try {
        if (!verificata && !VerificaConnessione())
            return;
        if (!ScorrimentoDisabilitato) {
            mCriterioRecordCorrente.clear();
            // Requeried also with one record or none, so that rows other users
            // added meanwhile are seen at this step.
            const QString chiave = ChiaveDaRitrovare();
            const bool riletto = ApriElencoSeCambiato(StatementElencoChiavi(false));
            if (!chiave.isEmpty()) {
                const QString criterio = CriterioChiave(chiave);
                // A list kept as it was still has its cursor on the key, unless
                // the cursor was off the list.
                if (riletto || TheData->Bof() || TheData->Eof())
                    TheData->Find(criterio, 0, adSearchForward, adBookmarkFirst);
                mCriterioRecordCorrente = criterio;
            }
            if (TheData->RecordCount() < 1) {
                mState = StatoNavigatore::NessunRecord;
                SvuotaControlli();
            }
        }
        mElencoValido = true;
    } catch (const TessaroError& e) {
        if (e.Number() == Err::LostConnection)
            MsgBox(GetMessage(QStringLiteral("TQ04")) + QStringLiteral("\r\n") +
                       GetMessage(QStringLiteral("TQ05")),
                   MsgStyle::Critical, GetMessage(QStringLiteral("TQ02")));
        else
            SegnalaFallimento(QStringLiteral("ClsAdoNavigator_AggiornaArrayID "), e,
                              Titolo::Testo(QStringLiteral("Errore interno!")));
    }
}

} // namespace tessaro
