#pragma once

// Counting a source's records off the user-interface thread. A count of a
// large table takes long on a server; the form shows its record at once and
// the count arrives later, through a queued call, from a thread with a
// connection of its own.

#include "engine/StatementSorgente.h"

#include <QObject>
#include <QString>
#include <memory>

class QThread;

namespace tessaro {

class Connection;

struct RichiestaConteggio {
    quint64 id = 0;
    Interrogazione totale; // one row, the count; empty when not asked
    // The anchor, when its position is asked: the probe of its key and the two
    // forms of the count before it, for a sort value and for NULL.
    Interrogazione sonda;
    Interrogazione primaValore;
    Interrogazione primaNulla;
};

struct EsitoConteggio {
    quint64 id = 0;
    bool riuscito = false;
    qint64 totale = -1;     // -1 when not asked
    qint64 precedenti = -1; // -1 when not asked, or when the anchor is gone
};

// Runs a count on a connection, on whatever thread owns it; a failure gives
// an unsuccessful result rather than an exception.
EsitoConteggio EseguiConteggio(Connection& connessione, const RichiestaConteggio& richiesta);

// How long to wait before counting again what changed while a count ran,
// after one that took `durataMs` (or failed): a count that takes long is
// repeated less often, so that each user's counts keep a small share of the
// server however much the others write, and the count is still exact within
// a few seconds of the last change.
int PausaDopoConteggio(qint64 durataMs, bool riuscito);

class ContatoreRecord : public QObject {
    Q_OBJECT

public:
    // The thread opens its own connection with the settings of this one.
    explicit ContatoreRecord(const Connection& modello);
    ~ContatoreRecord() override;
    ContatoreRecord(const ContatoreRecord&) = delete;
    ContatoreRecord& operator=(const ContatoreRecord&) = delete;

    // Queued to the thread; the result comes back as Contato on this object's thread.
    void Chiedi(const RichiestaConteggio& richiesta);

signals:
    void Contato(const tessaro::EsitoConteggio& esito);

private:
    class Lavoratore;
    std::unique_ptr<QThread> mThread;
    Lavoratore* mLavoratore = nullptr;
};

} // namespace tessaro
