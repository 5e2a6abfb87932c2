// Optimistic concurrency: a row is written or deleted only while it still holds
// what the navigator loaded, checked and written inside one transaction; when
// another user got there first, the user (or the host) chooses.

#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

namespace tessaro {

namespace {

const QString kPuntoDiRipristino = QStringLiteral("tessaro_scrittura");

} // namespace

clsADONavigator::Transazione::Transazione(Connection& connessione) : mConnessione(connessione) {
    try {
        mConnessione.BeginTrans();
        mAperta = true;
    } catch (const TessaroError& e) {
        if (e.Number() != Err::StatementRejected)
            throw;
        // The host has a transaction open on the connection: the check runs in
        // it, behind a savepoint, so that a failed write is undone without
        // undoing the host's work or leaving its transaction failed.
        mConnessione.Execute(QStringLiteral("SAVEPOINT ") + kPuntoDiRipristino);
        mAperta = true;
        mDentroAltra = true;
    }
}

clsADONavigator::Transazione::~Transazione() {
    Annulla();
}

void clsADONavigator::Transazione::Conferma() {
    if (!mAperta)
        return;
    mAperta = false;
    if (mDentroAltra)
        mConnessione.Execute(QStringLiteral("RELEASE SAVEPOINT ") + kPuntoDiRipristino);
    else
        mConnessione.CommitTrans();
}

void clsADONavigator::Transazione::Annulla() noexcept {
    if (!mAperta)
        return;
    mAperta = false;
    try {
        if (mDentroAltra) {
            mConnessione.Execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kPuntoDiRipristino);
            mConnessione.Execute(QStringLiteral("RELEASE SAVEPOINT ") + kPuntoDiRipristino);
        } else {
            mConnessione.RollbackTrans();
        }
    } catch (const TessaroError&) {
        // A connection that is gone has dropped the transaction already.
    }
}

QString clsADONavigator::StatementRilettura() const {
    return QStringLiteral("SELECT * FROM ") + mTabellaSql + QStringLiteral(" WHERE ") +
           CondizioneSuChiave(ChiaveDi(mChiaveCaricata), Dialect(), mTabellaSql) +
           QString::fromLatin1(Dialect().BloccoRiga);
}

QVariant clsADONavigator::ValoreCaricato(const QString& colonna) const {
    const int i = TheFullData->ColumnIndex(mPrimaryTableName, colonna);
    return TheFullData->Fields().Item(i >= 0 ? i : TheFullData->ColumnIndex(colonna)).Value();
}

clsADONavigator::Verifica clsADONavigator::VerificaRecord() const {
    Recordset riga;
    riga.Open(StatementRilettura(), mConnessione, adOpenStatic, adLockReadOnly, adCmdText);
    if (riga.RecordCount() < 1)
        return Verifica::Eliminato;
    // Both values come through the same reader, so each compares as its
    // column's kind stores it; Null equals only Null.
    for (const QString& colonna : ColonneServite()) {
        const QVariant prima = ValoreCaricato(colonna);
        const QVariant ora = riga.Fields().Item(colonna).Value();
        if (prima.isNull() != ora.isNull() || ValueToText(prima) != ValueToText(ora))
            return Verifica::Cambiato;
    }
    return Verifica::Invariato;
}

int clsADONavigator::ChiediConflitto(bool eliminato) {
    int risposta = 0;
    Solleva([&](NavigatorEvents& ev) { ev.WriteConflict(eliminato, risposta); });
    if (risposta != 0)
        return risposta;
    if (eliminato)
        return MsgBox(GetMessage(QStringLiteral("TQ55")) + QLatin1Char('\r') +
                          GetMessage(QStringLiteral("TQ56")),
                      MsgStyle::YesNo + MsgStyle::Exclamation, GetMessage(QStringLiteral("TQ54")));
    return MsgBox(
        GetMessage(QStringLiteral("TQ52")) + QLatin1Char('\r') + GetMessage(QStringLiteral("TQ53")),
        MsgStyle::YesNoCancel + MsgStyle::Exclamation, GetMessage(QStringLiteral("TQ54")));
}

qint64 clsADONavigator::EseguiScrittura(const QString& statement) {
    qint64 scritte = 0;
    mConnessione->Execute(statement, &scritte, -1);
    return scritte;
}

void clsADONavigator::EseguiUnaRiga(const QString& statement) {
    const qint64 scritte = EseguiScrittura(statement);
    // Zero rows written is never a success.
    if (scritte != 1)
        throw TessaroError(Err::StatementRejected,
                           QStringLiteral("%1 rows written instead of one").arg(scritte),
                           statement);
}

clsADONavigator::EsitoModifica clsADONavigator::ScriviModifica(const QString& statement) {
    bool sovrascrivi = false;
    for (;;) {
        Transazione transazione(*mConnessione);
        const Verifica verifica = VerificaRecord();
        if (verifica == Verifica::Invariato || (verifica == Verifica::Cambiato && sovrascrivi)) {
            if (!statement.isEmpty())
                EseguiUnaRiga(statement);
            transazione.Conferma();
            return EsitoModifica::Salvato;
        }
        // Nothing is held while the user chooses.
        transazione.Annulla();
        const int risposta = ChiediConflitto(verifica == Verifica::Eliminato);
        if (verifica == Verifica::Eliminato)
            return risposta == MsgAnswer::Yes ? EsitoModifica::ComeNuovo
                                              : EsitoModifica::InModifica;
        if (risposta == MsgAnswer::No)
            return EsitoModifica::Scartato;
        if (risposta != MsgAnswer::Yes)
            return EsitoModifica::InModifica;
        // Mine over theirs: checked again, in case the record went meanwhile.
        sovrascrivi = true;
    }
}

} // namespace tessaro
