#include "engine/ContatoreRecord.h"

#include "data/Database.h"
#include "data/TessaroError.h"

#include <QThread>
#include <algorithm>

namespace tessaro {

namespace {

std::unique_ptr<Recordset> Apri(Connection& c, const Interrogazione& q) {
    auto rs = std::make_unique<Recordset>();
    rs->Open(q.testo, q.valori, &c);
    return rs;
}

// A statement that gave no row (or none at all) raises here: the count failed.
qint64 Numero(const Recordset& rs, int colonna) {
    return rs.ValueAt(0, colonna).toLongLong();
}

} // namespace

EsitoConteggio EseguiConteggio(Connection& connessione, const RichiestaConteggio& richiesta) {
    EsitoConteggio esito;
    esito.id = richiesta.id;
    try {
        if (!richiesta.totale.testo.isEmpty())
            esito.totale = Numero(*Apri(connessione, richiesta.totale), 0);
        if (!richiesta.sonda.testo.isEmpty()) {
            const auto sonda = Apri(connessione, richiesta.sonda);
            // (rows with a sort value, rows) of the anchor's key.
            if (Numero(*sonda, 1) > 0) {
                const bool valore = Numero(*sonda, 0) > 0;
                esito.precedenti = Numero(
                    *Apri(connessione, valore ? richiesta.primaValore : richiesta.primaNulla), 0);
            }
        }
        esito.riuscito = true;
    } catch (const TessaroError&) {
        // Counted again at a later step: a count never stops the form.
        esito.riuscito = false;
    }
    return esito;
}

// Lives in the counting thread and owns the connection there.
class ContatoreRecord::Lavoratore : public QObject {
public:
    Lavoratore(QString connessione, QString utente, QString password)
        : mStringa(std::move(connessione)), mUtente(std::move(utente)),
          mPassword(std::move(password)) {}

    EsitoConteggio Esegui(const RichiestaConteggio& richiesta) {
        if (!Pronta())
            return EsitoConteggio{.id = richiesta.id};
        EsitoConteggio esito = EseguiConteggio(*mConnessione, richiesta);
        // A connection that failed is opened afresh for the next count.
        if (!esito.riuscito)
            mConnessione.reset();
        return esito;
    }

private:
    bool Pronta() {
        if (mConnessione && mConnessione->State() == adStateOpen)
            return true;
        try {
            mConnessione = std::make_unique<Connection>();
            mConnessione->OpenExisting(mStringa, mUtente, mPassword);
            for (const QString& s : mConnessione->Provider().CountingSession())
                mConnessione->Execute(s);
            return true;
        } catch (const TessaroError&) {
            mConnessione.reset();
            return false;
        }
    }

    QString mStringa, mUtente, mPassword;
    std::unique_ptr<Connection> mConnessione;
};

ContatoreRecord::ContatoreRecord(const Connection& modello)
    : mThread(std::make_unique<QThread>()),
      mLavoratore(new Lavoratore(modello.ConnectionString(), modello.Settings().user,
                                 modello.Settings().password)) {
    mThread->setObjectName(QStringLiteral("tessaro-conteggio"));
    mLavoratore->moveToThread(mThread.get());
    // Its connection is closed where it was opened, as the thread ends.
    connect(mThread.get(), &QThread::finished, mLavoratore, &QObject::deleteLater);
    mThread->start(QThread::LowPriority);
}

ContatoreRecord::~ContatoreRecord() {
    mThread->quit();
    mThread->wait();
}

void ContatoreRecord::Chiedi(const RichiestaConteggio& richiesta) {
    // The destructor waits for the thread, so this object outlives every call
    // the thread makes back to it; one not delivered yet dies with it.
    ContatoreRecord* destinatario = this;
    Lavoratore* lavoratore = mLavoratore;
    QMetaObject::invokeMethod(
        lavoratore,
        [lavoratore, richiesta, destinatario] {
            const EsitoConteggio esito = lavoratore->Esegui(richiesta);
            QMetaObject::invokeMethod(
                destinatario, [destinatario, esito] { emit destinatario->Contato(esito); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

int PausaDopoConteggio(qint64 durataMs, bool riuscito) {
    constexpr qint64 kMinMs = 200, kMaxMs = 2500, kPerDurata = 30, kRiprovaMs = 2000;
    if (!riuscito)
        return kRiprovaMs;
    return static_cast<int>(std::clamp(durataMs * kPerDurata, kMinMs, kMaxMs));
}

} // namespace tessaro
