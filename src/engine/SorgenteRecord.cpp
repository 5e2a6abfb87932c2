#include "engine/SorgenteRecord.h"

#include "data/Values.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <numeric>
#include <utility>

namespace tessaro {

namespace {

// Changes that move no row are verified once the stamps have been still this
// long, and at least this often while they never are.
constexpr qint64 kQuieteMs = 5000;
constexpr qint64 kVerificaMs = 60000;
// A window of records starts this wide and doubles, up to the last, while the
// steps keep one direction.
constexpr int kFinestraMin = 16;
constexpr int kFinestraMax = 64;

bool StessaChiave(const QVariant& a, const QVariant& b) {
    return !a.isNull() && !b.isNull() && TestoChiave(a) == TestoChiave(b);
}

// The key in those columns of a row.
QVariant ChiaveDellaRiga(const Recordset& rs, qint64 riga, const std::vector<int>& colonne) {
    QVariantList parti;
    for (const int c : colonne)
        parti << rs.ValueAt(riga, c);
    return ChiaveDaParti(parti);
}

// A column of the source's table in a record. Its own columns come first, and
// a table of a schema names its columns by its bare name.
int ColonnaDellaTabella(const Recordset& rs, const QString& tabella, const QString& nome) {
    const int i = rs.ColumnIndex(tabella, nome);
    return i >= 0 ? i : rs.ColumnIndex(nome);
}

// The columns [primo, conta) of a row.
std::vector<int> Colonne(int primo, int conta) {
    std::vector<int> colonne(static_cast<std::size_t>(std::max(conta - primo, 0)));
    std::iota(colonne.begin(), colonne.end(), primo);
    return colonne;
}

Verso Opposto(Verso verso) {
    return verso == Verso::Avanti ? Verso::Indietro : Verso::Avanti;
}

} // namespace

SorgenteRecord::SorgenteRecord(Connection* connessione) : mConnessione(connessione) {}

SorgenteRecord::~SorgenteRecord() = default;

void SorgenteRecord::Imposta(const OrdineSorgente& ordine, int tipoDatabase,
                             bool scorrimentoDisabilitato) {
    if (mStatement && ordine == mOrdine && tipoDatabase == mTipo &&
        scorrimentoDisabilitato == mUnaRiga)
        return;
    mOrdine = ordine;
    mTipo = tipoDatabase;
    mUnaRiga = scorrimentoDisabilitato;
    mStatement = std::make_unique<StatementSorgente>(ordine, Dialetto::Per(tipoDatabase));
    // A condition may read other tables: then every table's changes count.
    mTabelleSegnale = ordine.condizione.isEmpty() ? QStringList{ordine.tabella} : QStringList();
    // Figures of other records: nothing known, and a count in flight answers
    // for the records as they were.
    ++mGenerazione;
    mDaRipresa.invalidate(); // another order is counted at once
    mBase = Base::Ignota;
    mTotale.reset();
    mInAttesa = true;
    mBaseSegnale.reset();
    mEliminata = false;
    mIrraggiungibile = false;
    mFinestra.reset();
    mUltimoVerso.reset();
    mAmpiezza = 0;
}

std::vector<QVariant> SorgenteRecord::Chiavi(const Interrogazione& q) {
    mUltimoStatement = q.testo;
    Recordset rs;
    rs.Open(q.testo, q.valori, mConnessione);
    // The key statements select the key's columns, and only them.
    const std::vector<int> colonne = Colonne(0, rs.ColumnCount());
    std::vector<QVariant> chiavi;
    for (qint64 r = 0; r < rs.RecordCount() && r < 2; ++r)
        chiavi.push_back(ChiaveDellaRiga(rs, r, colonne));
    return chiavi;
}

std::vector<QVariant> SorgenteRecord::Oltre(Verso verso, const Ancora& da) {
    std::vector<QVariant> chiavi;
    for (const Interrogazione& q : mStatement->Vicini(verso, da)) {
        for (QVariant& k : Chiavi(q))
            if (chiavi.size() < 2)
                chiavi.push_back(std::move(k));
        if (chiavi.size() >= 2)
            break;
    }
    return chiavi;
}

Ancora::Forma SorgenteRecord::FormaNelDatabase(const QVariant& chiave) {
    const Interrogazione q = mStatement->Sonda(chiave);
    mUltimoStatement = q.testo;
    Recordset rs;
    rs.Open(q.testo, q.valori, mConnessione);
    // (rows with a sort value, rows)
    if (rs.RecordCount() < 1 || rs.ValueAt(0, 1).toLongLong() == 0)
        return Ancora::Forma::Scomparsa;
    return rs.ValueAt(0, 0).toLongLong() == 0 ? Ancora::Forma::Nulla : Ancora::Forma::InTabella;
}

std::vector<QVariant> SorgenteRecord::OltreVerificato(Verso verso, Ancora& da, bool& scomparsa) {
    scomparsa = da.forma == Ancora::Forma::Scomparsa;
    std::vector<QVariant> chiavi = Oltre(verso, da);
    if (!chiavi.empty() || scomparsa)
        return chiavi;
    // Nothing beyond: the end, or the anchor changed or went meanwhile.
    const Ancora::Forma forma = FormaNelDatabase(da.chiave);
    scomparsa = forma == Ancora::Forma::Scomparsa;
    // A record gone with a NULL sort value still has its place among the NULLs.
    const Ancora::Forma usata = scomparsa && da.ordine.isNull() ? Ancora::Forma::Nulla : forma;
    if (usata == da.forma)
        return chiavi;
    da.forma = usata;
    return Oltre(verso, da);
}

SorgenteRecord::Passo SorgenteRecord::UnaRiga() {
    const std::vector<QVariant> chiavi = Chiavi(mStatement->UnaRiga());
    mTotale = chiavi.empty() ? 0 : 1;
    mBase = Base::Inizio;
    mValore = *mTotale;
    mCorrente = chiavi.empty() ? QVariant() : chiavi.front();
    if (chiavi.empty())
        return {};
    return {chiavi.front(), true, true, {}};
}

SorgenteRecord::Passo SorgenteRecord::Estremo(Verso verso) {
    mDopoScrittura = false;
    mSegnaleDelPasso.reset();
    if (mUnaRiga)
        return UnaRiga();
    const std::vector<QVariant> chiavi = Chiavi(mStatement->Estremo(verso));
    mEliminata = false;
    if (chiavi.empty()) {
        mCorrente = QVariant();
        Sappi(0);
        Salta(Base::Inizio, 0);
        return {};
    }
    mCorrente = chiavi.front();
    const bool solo = chiavi.size() < 2;
    if (solo)
        Sappi(1);
    if (verso == Verso::Avanti || solo)
        Salta(Base::Inizio, 1);
    else
        Salta(Base::Fine, 1);
    return {chiavi.front(), verso == Verso::Avanti || solo, verso == Verso::Indietro || solo, {}};
}

SorgenteRecord::Passo SorgenteRecord::Primo() {
    return Estremo(Verso::Avanti);
}

SorgenteRecord::Passo SorgenteRecord::Ultimo() {
    return Estremo(Verso::Indietro);
}

void SorgenteRecord::Salta(Base base, qint64 valore) {
    mBase = base;
    mValore = valore;
    mFinestra.reset();
    mUltimoVerso.reset();
    mAmpiezza = 0;
    mIrraggiungibile = false;
    if (mVolo)
        mVolo->saltato = true;
}

void SorgenteRecord::Passa(Verso verso, bool ancoraEliminata) {
    const bool avanti = verso == Verso::Avanti;
    mIrraggiungibile = false;
    // From the place of a record just deleted, the next record has taken that
    // place and the previous one keeps its own.
    const qint64 passo = ancoraEliminata ? (avanti ? 0 : -1) : (avanti ? 1 : -1);
    if (mBase == Base::Inizio)
        mValore += passo;
    else if (mBase == Base::Fine)
        mValore -= ancoraEliminata ? (avanti ? 1 : 0) : passo;
    if (mVolo && !ancoraEliminata)
        mVolo->passi += avanti ? 1 : -1;
}

void SorgenteRecord::Conosci(Verso verso) {
    // At an end the position from that end is 1, and the one from the other
    // end is the count. Figures that say otherwise missed a change: counted again.
    const Base daQui = verso == Verso::Avanti ? Base::Fine : Base::Inizio;
    const Base daLi = verso == Verso::Avanti ? Base::Inizio : Base::Fine;
    if (mBase == daLi)
        Sappi(mValore);
    else if (mBase != daQui || mValore != 1) {
        if (mBase != Base::Ignota)
            mInAttesa = true;
        Salta(daQui, 1);
    }
}

void SorgenteRecord::Sappi(qint64 totale) {
    if (mTotale && *mTotale != totale)
        mInAttesa = true;
    mTotale = totale;
}

std::optional<SorgenteRecord::Passo> SorgenteRecord::DallaFinestra(Verso verso, const Ancora& da) {
    // Only where the database vouches for what has not changed, and only once
    // the steps keep one direction.
    const auto segnale = Segnale();
    mSegnaleDelPasso = segnale;
    if (!segnale || !segnale->exact || mUltimoVerso != verso) {
        mAmpiezza = 0;
        return std::nullopt;
    }
    // A turn has dropped the window: it lies in this direction.
    if (mFinestra && mFinestra->segnale == *segnale &&
        mFinestra->indice + 1 < mFinestra->righe->RecordCount() &&
        StessaChiave(ChiaveDellaRiga(*mFinestra->righe, mFinestra->indice, mColonneChiave),
                     da.chiave)) {
        ++mFinestra->indice;
        return PassoDellaFinestra(verso);
    }
    return LeggiFinestra(verso, da);
}

bool SorgenteRecord::TrovaColonneChiave(const Recordset& righe) {
    mColonneChiave.clear();
    for (const QString& k : mOrdine.chiaviLette)
        mColonneChiave.push_back(ColonnaDellaTabella(righe, mOrdine.tabellaLetta, k));
    return !mColonneChiave.empty() &&
           std::find(mColonneChiave.begin(), mColonneChiave.end(), -1) == mColonneChiave.end();
}

std::optional<SorgenteRecord::Passo> SorgenteRecord::LeggiFinestra(Verso verso, const Ancora& da) {
    mAmpiezza = std::clamp(mAmpiezza * 2, kFinestraMin, kFinestraMax);
    // One row more than is kept tells whether the last one kept is the last.
    const Interrogazione q = mStatement->Finestra(verso, da, mAmpiezza + 1);
    mUltimoStatement = q.testo;
    auto righe = std::make_unique<Recordset>();
    righe->Open(q.testo, q.valori, mConnessione);
    if (righe->RecordCount() < 1 || !TrovaColonneChiave(*righe))
        return std::nullopt;
    const bool finale = righe->RecordCount() <= mAmpiezza && mStatement->UnaSolaParte(verso, da);
    mFinestra = Finestra{**mSegnaleDelPasso, std::move(righe), 0, finale};
    return PassoDellaFinestra(verso);
}

SorgenteRecord::Passo SorgenteRecord::PassoDellaFinestra(Verso verso) {
    const Finestra& f = *mFinestra;
    // The row beyond the kept ones only tells that there is one.
    const qint64 tenute = std::min<qint64>(f.righe->RecordCount(), mAmpiezza);
    const bool ultima = f.indice + 1 >= tenute;
    const bool finito = ultima && f.finale;
    Passo p{ChiaveDellaRiga(*f.righe, f.indice, mColonneChiave), false, false,
            f.righe->CopyRow(f.indice)};
    (verso == Verso::Avanti ? p.ultimo : p.primo) = finito;
    mCorrente = p.chiave;
    Passa(verso, false);
    if (finito)
        Conosci(verso);
    // At its last kept row a window is read again from there.
    if (ultima)
        mFinestra.reset();
    return p;
}

SorgenteRecord::Passo SorgenteRecord::Vicino(Verso verso, const Ancora& da) {
    mDopoScrittura = false;
    mSegnaleDelPasso.reset();
    if (mUnaRiga)
        return UnaRiga();
    if (!mEliminata && da.forma != Ancora::Forma::Scomparsa) {
        if (auto passo = DallaFinestra(verso, da))
            return *passo;
    }
    mFinestra.reset();
    const bool eliminata = std::exchange(mEliminata, false);
    Ancora ancora = da;
    if (eliminata)
        ancora.forma = da.ordine.isNull() ? Ancora::Forma::Nulla : Ancora::Forma::Scomparsa;
    bool scomparsa = false;
    const std::vector<QVariant> chiavi = OltreVerificato(verso, ancora, scomparsa);
    scomparsa = scomparsa || eliminata;
    if (chiavi.empty()) {
        // Gone, with nothing beyond it: the record at that end.
        if (scomparsa)
            return Estremo(Opposto(verso));
        mCorrente = ancora.chiave;
        Conosci(verso);
        return {ancora.chiave, verso == Verso::Indietro, verso == Verso::Avanti, {}};
    }
    mCorrente = chiavi.front();
    // Another user's delete leaves no known place to count from.
    if (scomparsa && !eliminata)
        Salta(Base::Ignota, 0);
    else
        Passa(verso, eliminata);
    mUltimoVerso = verso;
    const bool finito = chiavi.size() < 2;
    if (finito)
        Conosci(verso);
    Passo p{chiavi.front(), false, false, {}};
    (verso == Verso::Avanti ? p.ultimo : p.primo) = finito;
    // Moved from a record on the other side, unless that one had gone.
    if (scomparsa) {
        Ancora trovato{chiavi.front(), QVariant(), Ancora::Forma::InTabella};
        bool via = false;
        const bool altri = !OltreVerificato(Opposto(verso), trovato, via).empty();
        (verso == Verso::Avanti ? p.primo : p.ultimo) = !altri;
    }
    return p;
}

std::optional<SorgenteRecord::Passo> SorgenteRecord::VaiAChiave(const QVariant& chiave,
                                                                bool stessoPosto) {
    // The record itself, then the keys at both ends of the order: two reads,
    // and no search in the middle of the index.
    const Interrogazione q = mStatement->Record(chiave);
    mUltimoStatement = q.testo;
    auto record = std::make_shared<Recordset>();
    record->Open(q.testo, q.valori, mConnessione);
    if (record->RecordCount() < 1 || !TrovaColonneChiave(*record))
        return std::nullopt;
    const QVariant trovata = ChiaveDellaRiga(*record, 0, mColonneChiave);
    const auto [primo, ultimo] = Capi(trovata);
    const bool stesso = stessoPosto && StessaChiave(trovata, mCorrente);
    mCorrente = trovata;
    mEliminata = false;
    if (primo && ultimo)
        Sappi(1);
    if (primo)
        Salta(Base::Inizio, 1);
    else if (ultimo)
        Salta(Base::Fine, 1);
    else if (!stesso)
        Salta(Base::Ignota, 0);
    // The record a save of the navigator's own put there: shown with its place.
    if (std::exchange(mDopoScrittura, false))
        ContaOra();
    return Passo{trovata, primo, ultimo, std::move(record)};
}

std::pair<bool, bool> SorgenteRecord::Capi(const QVariant& chiave) {
    const Interrogazione q = mStatement->Capi();
    mUltimoStatement = q.testo;
    Recordset rs;
    rs.Open(q.testo, q.valori, mConnessione);
    // Each row: which end, then the key's columns.
    const std::vector<int> colonne = Colonne(1, rs.ColumnCount());
    std::pair<bool, bool> capi{false, false};
    for (qint64 r = 0; r < rs.RecordCount(); ++r)
        if (StessaChiave(ChiaveDellaRiga(rs, r, colonne), chiave))
            (rs.ValueAt(r, 0).toInt() == 1 ? capi.second : capi.first) = true;
    return capi;
}

SorgenteRecord::Passo SorgenteRecord::VaiA(qint64 posizione) {
    mDopoScrittura = false;
    mSegnaleDelPasso.reset();
    if (mUnaRiga)
        return UnaRiga();
    if (posizione <= 1)
        return Primo();
    const std::vector<QVariant> chiavi = Chiavi(mStatement->Ennesimo(posizione));
    if (chiavi.empty())
        return Ultimo();
    mCorrente = chiavi.front();
    mEliminata = false;
    Salta(Base::Inizio, posizione);
    const bool ultimo = chiavi.size() < 2;
    if (ultimo)
        Sappi(posizione);
    return {chiavi.front(), false, ultimo, {}};
}

bool SorgenteRecord::Contiene(const QVariant& chiave) {
    return !Chiavi(mStatement->Chiave(chiave)).empty();
}

bool SorgenteRecord::HaRecord() {
    const bool ha =
        !Chiavi(mUnaRiga ? mStatement->UnaRiga() : mStatement->Estremo(Verso::Avanti)).empty();
    if (!ha) {
        Sappi(0);
        mCorrente = QVariant();
        Salta(Base::Inizio, 0);
    }
    return ha;
}

qint64 SorgenteRecord::Posizione() const {
    switch (mBase) {
    case Base::Inizio:
        return mValore;
    case Base::Fine:
        return mTotale ? *mTotale - mValore + 1 : -1;
    case Base::Ignota:
        break;
    }
    return -1;
}

qint64 SorgenteRecord::Totale() const {
    return mTotale.value_or(-1);
}

bool SorgenteRecord::InAttesa() const {
    return mStatement && !mUnaRiga && (mInAttesa || !mTotale || Posizione() < 0);
}

std::optional<ChangeSignal> SorgenteRecord::Segnale() const {
    return mConnessione->Signal(mTabelleSegnale);
}

bool SorgenteRecord::Conta(const std::optional<ChangeSignal>& prima,
                           const std::optional<ChangeSignal>& dopo) const {
    // A change that may add or remove rows of the source, or (with a condition)
    // change which rows it selects.
    return !prima || !dopo || prima->rows != dopo->rows ||
           (!mOrdine.condizione.isEmpty() && prima->content != dopo->content);
}

void SorgenteRecord::Controlla() {
    if (!mStatement || mUnaRiga || mOccupato)
        return;
    const auto segnale =
        mSegnaleDelPasso ? *std::exchange(mSegnaleDelPasso, std::nullopt) : Segnale();
    if (Conta(mBaseSegnale, segnale))
        mInAttesa = true;
    if (mInAttesa || !mTotale || (Posizione() < 0 && !mIrraggiungibile)) {
        Chiedi(segnale);
        return;
    }
    if (segnale->content == mBaseSegnale->content)
        return;
    // Rows changed in place: only a change of the sort value moves a record,
    // and nothing tells which ones changed. Checked without holding anyone.
    if (segnale->content != mContenutoVisto) {
        mContenutoVisto = segnale->content;
        mDaContenuto.start();
    }
    if (mDaContenuto.elapsed() >= kQuieteMs || !mDaConteggio.isValid() ||
        mDaConteggio.elapsed() >= kVerificaMs)
        Chiedi(segnale);
}

RichiestaConteggio SorgenteRecord::Richiesta(bool totale) const {
    RichiestaConteggio r;
    if (totale)
        r.totale = mStatement->Totale();
    if (!mCorrente.isNull()) {
        r.sonda = mStatement->Sonda(mCorrente);
        r.primaValore = mStatement->Precedenti(mCorrente, false);
        r.primaNulla = mStatement->Precedenti(mCorrente, true);
    }
    return r;
}

void SorgenteRecord::Chiedi(const std::optional<ChangeSignal>& segnale) {
    // One count at a time, and none during the pause after one: a change seen
    // meanwhile is counted after it.
    if (mVolo || (mDaRipresa.isValid() && mDaRipresa.elapsed() < mRipresaMs))
        return;
    // While nothing at all changed since the count was exact, it stands: only
    // a position is counted (after a jump, say).
    const bool totale = mInAttesa || !mTotale || !segnale || !mBaseSegnale ||
                        segnale->content != mBaseSegnale->content;
    RichiestaConteggio richiesta = Richiesta(totale);
    richiesta.id = ++mProssimoId;
    ++mConteggiChiesti;
    mDaConteggio.start();
    mVolo = InVolo{richiesta.id, mGenerazione, segnale, 0, false};
    if (!mConnessione->Shareable()) {
        Ricevi(EseguiConteggio(*mConnessione, richiesta));
        return;
    }
    if (!mContatore) {
        mContatore = std::make_unique<ContatoreRecord>(*mConnessione);
        connect(mContatore.get(), &ContatoreRecord::Contato, this, &SorgenteRecord::Ricevi);
    }
    mContatore->Chiedi(richiesta);
}

void SorgenteRecord::Applica(const EsitoConteggio& esito, const InVolo& volo) {
    if (esito.totale >= 0)
        mTotale = esito.totale;
    if (!volo.saltato && esito.precedenti >= 0) {
        mBase = Base::Inizio;
        mValore = esito.precedenti + 1 + volo.passi;
    }
    mBaseSegnale = volo.segnale;
    mInAttesa = false;
}

void SorgenteRecord::Ricevi(const EsitoConteggio& esito) {
    if (!mVolo || esito.id != mVolo->id)
        return;
    const InVolo volo = *std::exchange(mVolo, std::nullopt);
    // Neither a write under way nor one made since the count was asked is
    // sure to be in it: only a later count is.
    const bool valido = esito.riuscito && !mOccupato && volo.generazione == mGenerazione;
    if (valido) {
        Applica(esito, volo);
        // A change since the count was asked: marked now, counted after the pause.
        if (Conta(mBaseSegnale, Segnale()))
            mInAttesa = true;
        // The thread's connection does not see the record shown (not committed
        // yet, say): this connection does.
        if (Posizione() < 0 && !mCorrente.isNull())
            ContaOra();
        emit ConteggioAggiornato();
    }
    // What changed meanwhile is counted again after a pause, whatever the steps
    // do: changes that never stop are not counted without end.
    mRipresaMs = PausaDopoConteggio(mDaConteggio.elapsed(), esito.riuscito);
    mDaRipresa.start();
    QTimer::singleShot(mRipresaMs, this, [this] {
        mDaRipresa.invalidate(); // over, even where the timer fires a little early
        if (!mVolo)
            Controlla();
    });
}

void SorgenteRecord::ContaOra() {
    if (mOccupato || mUnaRiga || !mStatement || mCorrente.isNull() || Posizione() >= 0)
        return;
    RichiestaConteggio richiesta = Richiesta(false);
    richiesta.id = ++mProssimoId;
    ++mConteggiChiesti;
    const EsitoConteggio esito = EseguiConteggio(*mConnessione, richiesta);
    if (!esito.riuscito)
        return;
    if (esito.precedenti < 0) {
        mIrraggiungibile = true;
        return;
    }
    mBase = Base::Inizio;
    mValore = esito.precedenti + 1;
    emit ConteggioAggiornato();
}

void SorgenteRecord::PrimaDiScrivere() {
    mOccupato = true;
    mPrimaDellaScrittura = Segnale();
}

void SorgenteRecord::DopoLaScrittura(qint64 righe) {
    const auto dopo = Segnale();
    mOccupato = false;
    // A count asked before the write may or may not hold it.
    ++mGenerazione;
    if (mTotale)
        *mTotale += righe;
    if (righe < 0)
        mEliminata = true;
    // Nobody else wrote since the figures were exact: they stay exact.
    const bool soloNostra = !Conta(mBaseSegnale, mPrimaDellaScrittura) && dopo &&
                            mPrimaDellaScrittura->others == dopo->others;
    if (soloNostra && !mInAttesa)
        mBaseSegnale = dopo;
    else
        mInAttesa = true;
    mPrimaDellaScrittura.reset();
    mDopoScrittura = true;
}

void SorgenteRecord::ScritturaMancata() {
    mOccupato = false;
    mPrimaDellaScrittura.reset();
}

bool SorgenteRecord::AttendiConteggio(int millisecondi) {
    QElapsedTimer attesa;
    attesa.start();
    if (!mVolo && InAttesa())
        Controlla();
    while (InAttesa() || mVolo) {
        if (attesa.elapsed() >= millisecondi)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return true;
}

} // namespace tessaro
