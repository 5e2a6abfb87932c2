#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <utility>

namespace tessaro {

SorgenteRecord& clsADONavigator::SorgenteAggiornata() {
    if (!mSorgente) {
        mSorgente = std::make_unique<SorgenteRecord>(mConnessione);
        mImpostata.reset();
        QObject::connect(
            mSorgente.get(), &SorgenteRecord::ConteggioAggiornato, mSorgente.get(),
            [this] { Solleva([](NavigatorEvents& ev) { ev.ConteggioAggiornato(); }); });
    }
    // A step rebuilds the order only when what it is made of changed.
    ImpostazioneSorgente ora{mOrderField, mCondizione, mTabelleJoin, TipoDelleLetture(),
                             ScorrimentoDisabilitato != 0 && mUnaRiga};
    if (mImpostata == ora)
        return *mSorgente;
    const std::shared_ptr<clsTabellaPrincipale> ordine = ColonnaDi(mOrderField);
    QStringList chiavi;
    for (const QString& k : mCampiChiave)
        chiavi << NomeSql(k);
    mSorgente->Imposta({.tabella = mTabellaSql,
                        .ordine = ordine ? NomeSql(ordine->NomeCampo()) : mOrderField,
                        .chiavi = chiavi,
                        .tipoOrdine = ordine ? ordine->TipoDati() : short(0),
                        .tipiChiave = mTipiChiave,
                        .condizione = mCondizione,
                        .colonneRecord = mCollegate.Colonne(),
                        .daRecord = mTabelleJoin,
                        .tabellaLetta = mPrimaryTableName,
                        .chiaviLette = mCampiChiave},
                       ora.tipo, ora.unaRiga);
    mImpostata = std::move(ora);
    return *mSorgente;
}

int clsADONavigator::TipoDelleLetture() const {
    // The source's statements run on the connection, whatever kind the host
    // has set so far (it may set it only after the first source).
    try {
        return mConnessione->TipoDatabase();
    } catch (const TessaroError&) {
        return TipoDatabase;
    }
}

QString clsADONavigator::SqlElencoChiavi() const {
    return mSorgente ? mSorgente->UltimoStatement() : QString();
}

Ancora clsADONavigator::AncoraCorrente() const {
    Ancora a;
    a.chiave = mChiaveCaricata;
    a.ordine = ValoreCaricato(mOrderField);
    a.forma = a.ordine.isNull() ? Ancora::Forma::Nulla : Ancora::Forma::InTabella;
    return a;
}

QString clsADONavigator::StatementRecord(const QVariant& chiave) const {
    return mSqlRecordTesta + QStringLiteral(" Where ") +
           CondizioneSuChiave(ChiaveDi(chiave), Dialect(), mTabellaSql);
}

ChiaveRecord clsADONavigator::ChiaveDi(const QVariant& chiave) const {
    const QVariantList valori = PartiChiave(chiave);
    ChiaveRecord parti;
    for (int i = 0; i < mCampiChiave.size(); ++i)
        parti.push_back({mCampiChiave[i], mTipiChiave.value(i), valori.value(i)});
    return parti;
}

std::optional<QVariant> clsADONavigator::ChiaveDaTesto(const QString& testo) const {
    const QStringList parti =
        mCampiChiave.size() > 1 ? testo.split(kSeparatoreChiave) : QStringList{testo};
    if (parti.size() != mCampiChiave.size())
        return std::nullopt;
    QVariantList valori;
    try {
        for (int i = 0; i < parti.size(); ++i) {
            // A key its column cannot hold names no record either.
            (void)LetteraleChiave(mTipiChiave.value(i), parti[i], Dialect());
            valori << ValoreChiaveLegato(mTipiChiave.value(i), parti[i], Dialect())
                          .value_or(QVariant(parti[i]));
        }
    } catch (const TessaroError& e) {
        if (e.Number() != Err::InvalidCall)
            throw;
        return std::nullopt;
    }
    return ChiaveDaParti(valori);
}

bool clsADONavigator::LeggiRecord(const QVariant& chiave) {
    QString sql;
    auto record = ApriRecord(chiave, sql);
    if (!record)
        return false;
    TheFullData = std::move(record);
    mSqlRecordCorrente = sql;
    return true;
}

std::unique_ptr<Recordset> clsADONavigator::ApriRecord(const QVariant& chiave, QString& sql) {
    sql = StatementRecord(chiave);
    auto record = std::make_unique<Recordset>();
    // Bound where the kind binds and every part has a value that compares the
    // same as its literal; else the literal.
    QVariantList legati;
    QStringList uguali;
    for (const ParteChiave& p : ChiaveDi(chiave)) {
        const auto legato = Dialect().ChiaveLegata
                                ? ValoreChiaveLegato(p.tipo, ValueToText(p.valore), Dialect())
                                : std::nullopt;
        if (!legato)
            break;
        legati << *legato;
        uguali << mTabellaSql + QLatin1Char('.') + NomeSql(p.nome) + QStringLiteral(" = ?");
    }
    if (legati.size() == mCampiChiave.size())
        record->Open(mSqlRecordTesta + QStringLiteral(" Where ") +
                         uguali.join(QStringLiteral(" AND ")),
                     legati, mConnessione);
    else
        record->Open(sql, mConnessione, adOpenStatic, adLockReadOnly, adCmdText);
    if (record->RecordCount() < 1)
        return nullptr;
    return record;
}

void clsADONavigator::VaiEMostra(const Trova& trova, const StatoDopo& stato) {
    // A record gone between the step and the read is stepped over: the
    // step is taken again from the record shown.
    constexpr int kLetture = 3;
    for (int lettura = 0; lettura < kLetture; ++lettura) {
        const SorgenteRecord::Passo passo = trova();
        if (passo.chiave.isNull()) {
            mState = StatoNavigatore::NessunRecord;
            SvuotaControlli();
            mSorgente->Controlla();
            return;
        }
        if (MostraRecordLetto(passo) || LeggiRecord(passo.chiave)) {
            RicordaRecordCaricato(passo.chiave, passo.primo, passo.ultimo);
            ShowCurrentRecord();
            mState = stato(passo);
            mSorgente->Controlla();
            return;
        }
    }
    // Records vanishing as fast as they are read: show none rather than a wrong one.
    SvuotaControlli();
    TessaroError::Raise(Err::NoCurrentRecord);
}

bool clsADONavigator::MostraRecordLetto(const SorgenteRecord::Passo& passo) {
    if (!passo.record)
        return false;
    TheFullData = passo.record;
    // What a reconnection reads the record again with: built from the key
    // when asked, not at every step.
    mSqlRecordCorrente.clear();
    return true;
}

void clsADONavigator::RicordaRecordCaricato(const QVariant& chiave, bool primo, bool ultimo) {
    mChiaveCaricata = chiave;
    mPrimoMostrato = primo;
    mUltimoMostrato = ultimo;
}

StatoNavigatore clsADONavigator::StatoDelRecord() const {
    if (mState == StatoNavigatore::NessunRecord)
        return mState;
    if (mPrimoMostrato && mUltimoMostrato)
        return StatoNavigatore::UnicoRecord;
    if (mPrimoMostrato)
        return StatoNavigatore::PrimoRecord;
    return mUltimoMostrato ? StatoNavigatore::UltimoRecord : StatoNavigatore::RecordInMezzo;
}

void clsADONavigator::AggiornaTheData() {
    // With scrolling disabled the source holds one record from now on.
    mUnaRiga = ScorrimentoDisabilitato != 0;
    Riporta(QStringLiteral("ClsAdoNavigator_AggiornaTheData "),
            Titolo::Testo(QStringLiteral("Errore interno!")), [this] {
                VaiEMostra(
                    [this] { return SorgenteAggiornata().Ultimo(); },
                    [](const SorgenteRecord::Passo&) { return StatoNavigatore::UltimoRecord; });
            });
}

void clsADONavigator::AggiornaArrayID() {
    mElencoValido = false;
    try {
        if (!VerificaConnessione())
            return;
        SorgenteRecord& sorgente = SorgenteAggiornata();
        sorgente.Controlla();
        if (!sorgente.HaRecord()) {
            mState = StatoNavigatore::NessunRecord;
            SvuotaControlli();
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
