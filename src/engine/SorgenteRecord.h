#pragma once

// The records of one navigator: position, count, neighbour, first and last,
// a key, a position. Every move reads the rows it needs from the database
// through the index, so the record found is the true neighbour at that moment
// whatever others wrote, at a cost that does not depend on the table's size.
// The count is taken apart, off the user-interface thread, and only when what
// the database tells of others' changes says it may have moved; until it comes
// back the counter is marked as pending.

#include "data/Database.h"
#include "engine/ContatoreRecord.h"
#include "engine/StatementSorgente.h"

#include <QElapsedTimer>
#include <QObject>
#include <QVariant>
#include <memory>
#include <optional>

namespace tessaro {

class SorgenteRecord : public QObject {
    Q_OBJECT

public:
    // What a move found.
    struct Passo {
        QVariant chiave;     // the record to show; null when the source holds none
        bool primo = false;  // nothing comes before it
        bool ultimo = false; // nothing comes after it
        // The whole record, when the step read it already; else it is read by key.
        std::shared_ptr<Recordset> record;
    };

    // A write of the navigator, told to the source for its whole length: its
    // own changes keep the count exact. Undone when not confirmed.
    class Scrittura {
    public:
        explicit Scrittura(SorgenteRecord& sorgente) : mSorgente(sorgente) {
            sorgente.PrimaDiScrivere();
        }
        ~Scrittura() {
            if (!mFatta)
                mSorgente.ScritturaMancata();
        }
        Scrittura(const Scrittura&) = delete;
        Scrittura& operator=(const Scrittura&) = delete;
        // righe: the records the write added to the source (1), removed (-1) or 0.
        void Fatta(qint64 righe) {
            mFatta = true;
            mSorgente.DopoLaScrittura(righe);
        }

    private:
        SorgenteRecord& mSorgente;
        bool mFatta = false;
    };

    explicit SorgenteRecord(Connection* connessione);
    ~SorgenteRecord() override;
    SorgenteRecord(const SorgenteRecord&) = delete;
    SorgenteRecord& operator=(const SorgenteRecord&) = delete;

    // What the records are. A change of table, order or condition makes the
    // count pending again; with scrolling disabled the source holds one record.
    void Imposta(const OrdineSorgente& ordine, int tipoDatabase, bool scorrimentoDisabilitato);

    Passo Primo();
    Passo Ultimo();
    // The neighbour of an anchor; at either end the anchor itself, unless it is
    // gone: then the record at that end.
    Passo Vicino(Verso verso, const Ancora& da);
    // Nothing when the source does not hold that key. stessoPosto: the record
    // is the one shown and its place in the order did not change.
    std::optional<Passo> VaiAChiave(const QVariant& chiave, bool stessoPosto = false);
    // The record at a 1-based position; the last one beyond the end.
    Passo VaiA(qint64 posizione);
    // Whether the condition selects the record of a key.
    bool Contiene(const QVariant& chiave);
    // Whether the source holds any record now; nothing moves.
    bool HaRecord();

    // -1 while unknown.
    qint64 Posizione() const;
    qint64 Totale() const;
    // The figures are not final: a count is on its way, or due.
    bool InAttesa() const;
    // The source holds no record (as of the last move).
    bool Vuota() const { return mTotale == 0; }

    // After every move: others' changes since the count was exact make it
    // pending and start a new one; an unknown position starts one too.
    void Controlla();
    // Counts the position now on the navigator's own connection, when it is
    // unknown.
    void ContaOra();
    // Waits, handling events, until the count is final; false after the time.
    bool AttendiConteggio(int millisecondi);

    // For diagnostics and tests: counts asked so far, the last statement read.
    quint64 ConteggiChiesti() const { return mConteggiChiesti; }
    QString UltimoStatement() const { return mUltimoStatement; }

signals:
    // The count or the position changed without a move: the counter shows it.
    void ConteggioAggiornato();

private:
    enum class Base { Ignota, Inizio, Fine };
    // Whole records ahead, read in one go while the steps keep one direction,
    // and shown while the database vouches that nothing changed since.
    struct Finestra {
        ChangeSignal segnale;
        std::unique_ptr<Recordset> righe;
        qint64 indice = 0;   // the row shown
        bool finale = false; // nothing beyond its last row
    };
    struct InVolo {
        quint64 id = 0;
        quint64 generazione = 0;
        std::optional<ChangeSignal> segnale;
        qint64 passi = 0;     // net steps since it was asked
        bool saltato = false; // a jump since: its position is of another record
    };

    // Reads the keys of a statement (at most two).
    std::vector<QVariant> Chiavi(const Interrogazione& q);
    // The keys after (before) an anchor, over the parts of the order.
    std::vector<QVariant> Oltre(Verso verso, const Ancora& da);
    // The same; when none is found, the anchor's form is checked in the
    // database and, if it changed, the keys read again. scomparsa: the anchor
    // is gone from the table.
    std::vector<QVariant> OltreVerificato(Verso verso, Ancora& da, bool& scomparsa);
    Ancora::Forma FormaNelDatabase(const QVariant& chiave);
    // Whether the record of a key is (the first, the last) of the order.
    std::pair<bool, bool> Capi(const QVariant& chiave);
    // Finds the key's columns among a record's; false when one is missing.
    bool TrovaColonneChiave(const Recordset& righe);
    Passo Estremo(Verso verso);
    Passo UnaRiga();
    void Passa(Verso verso, bool ancoraEliminata);
    void Salta(Base base, qint64 valore);
    // A move in that direction found the end.
    void Conosci(Verso verso);
    // The next record of the window, when it may be shown; else nothing.
    std::optional<Passo> DallaFinestra(Verso verso, const Ancora& da);
    // Reads a window after the anchor; nothing when it finds no record.
    std::optional<Passo> LeggiFinestra(Verso verso, const Ancora& da);
    Passo PassoDellaFinestra(Verso verso);
    // A move has shown how many records there are now.
    void Sappi(qint64 totale);
    std::optional<ChangeSignal> Segnale() const;
    // Whether what changed between two signals can change the figures.
    bool Conta(const std::optional<ChangeSignal>& prima,
               const std::optional<ChangeSignal>& dopo) const;
    RichiestaConteggio Richiesta(bool totale) const;
    void Chiedi(const std::optional<ChangeSignal>& segnale);
    void Ricevi(const EsitoConteggio& esito);
    void Applica(const EsitoConteggio& esito, const InVolo& volo);
    void PrimaDiScrivere();
    void DopoLaScrittura(qint64 righe);
    void ScritturaMancata();

    Connection* mConnessione;
    OrdineSorgente mOrdine;
    QStringList mTabelleSegnale; // the tables whose changes matter
    int mTipo = -1;
    bool mUnaRiga = false;
    std::unique_ptr<StatementSorgente> mStatement;
    std::unique_ptr<ContatoreRecord> mContatore;

    QVariant mCorrente; // the key of the record last found
    Base mBase = Base::Ignota;
    qint64 mValore = 0; // Inizio: 1-based position; Fine: 1 for the last
    std::optional<qint64> mTotale;
    bool mInAttesa = true;
    // The own delete just made: the next step starts from its place.
    bool mEliminata = false;
    // Not even the navigator's connection could count the record's position:
    // no count is asked for it until the next move.
    bool mIrraggiungibile = false;

    std::optional<ChangeSignal> mBaseSegnale; // what the figures are exact for
    std::optional<InVolo> mVolo;
    quint64 mGenerazione = 0;
    quint64 mProssimoId = 0;
    quint64 mConteggiChiesti = 0;
    bool mOccupato = false;
    std::optional<ChangeSignal> mPrimaDellaScrittura;
    // A write of the navigator's own has just been made: the record it goes to
    // next is shown with its position.
    bool mDopoScrittura = false;
    // Changes that touch neither the rows nor the condition are verified once
    // things are quiet, or now and then while they never are.
    QString mContenutoVisto;
    QElapsedTimer mDaContenuto;
    QElapsedTimer mDaConteggio;
    // The pause after the last count, during which none is asked.
    QElapsedTimer mDaRipresa;
    int mRipresaMs = 0;
    QString mUltimoStatement;
    std::optional<Finestra> mFinestra;
    // The direction of the last step, and the rows of the next window.
    std::optional<Verso> mUltimoVerso;
    int mAmpiezza = 0;
    // The signal read by this step, for the check that ends it.
    std::optional<std::optional<ChangeSignal>> mSegnaleDelPasso;
    // The key's columns in the window's records, and in the key statements.
    std::vector<int> mColonneChiave;
};

} // namespace tessaro
