#include "data/TessaroError.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"

namespace tessaro {

namespace {

// Runs one step of the check; a failing step is skipped.
template <typename F> void Passo(F&& f) {
    try {
        f();
    } catch (const TessaroError&) {
        // The connection's state, tested after the steps, tells whether they worked.
    }
}

} // namespace

void clsADONavigator::Riconnetti() {
    Passo([this] { TheFullData->Close(); });
    Passo([this] { mConnessione->Close(); });
    Passo([this] { mConnessione->Open(); });
    Passo([this] {
        TheFullData->Open(SqlRecordCorrente(), mConnessione, adOpenKeyset, adLockReadOnly,
                          adCmdUnspecified);
    });
}

bool clsADONavigator::VerificaConnessione() {
    if (!mConnessione || !TheFullData)
        return false;
    if (mConnessione->State() == adStateClosed)
        Riconnetti();
    Recordset sonda;
    try {
        sonda.Open(QStringLiteral("SELECT 1;"), mConnessione, adOpenKeyset, adLockReadOnly,
                   adCmdUnspecified);
    } catch (const TessaroError& e) {
        // A busy database is there: reconnecting would only drop the record shown.
        if (e.Number() == Err::Timeout)
            throw;
    }
    if (sonda.State() == adStateClosed)
        Riconnetti();
    Passo([&] { sonda.Close(); });
    if (mConnessione->State() == adStateClosed) {
        MsgBox(QStringLiteral("Si è verificato un errore di rete nell'accesso al database"),
               MsgStyle::Exclamation, QStringLiteral("Attenzione!"));
        return false;
    }
    return true;
}

} // namespace tessaro
