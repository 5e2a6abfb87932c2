#include "engine/StatementSorgente.h"

#include "data/Values.h"
#include "editing/Salvataggio.h"

#include <utility>

namespace tessaro {

namespace {

QString Confronto(Verso verso) {
    return verso == Verso::Avanti ? QStringLiteral(" > ") : QStringLiteral(" < ");
}

} // namespace

StatementSorgente::StatementSorgente(OrdineSorgente ordine, const Dialetto& dialetto)
    : mOrdine(std::move(ordine)), mDialetto(dialetto) {}

QString StatementSorgente::Valore(Interrogazione& q, const QVariant& valore, short tipo) const {
    if (mDialetto.ChiaveLegata) {
        q.valori << valore;
        return QStringLiteral("?");
    }
    return LetteraleChiave(tipo, ValueToText(valore), mDialetto);
}

QString StatementSorgente::ColonnaO() const {
    return mOrdine.tabella + QLatin1Char('.') + mOrdine.ordine;
}

QString StatementSorgente::ColonnaK() const {
    return mOrdine.tabella + QLatin1Char('.') + mOrdine.chiave;
}

bool StatementSorgente::OrdinePerChiave() const {
    return mOrdine.ordine.compare(mOrdine.chiave, Qt::CaseInsensitive) == 0;
}

QString StatementSorgente::Ordinamento(Verso verso) const {
    const QString discendente = verso == Verso::Indietro ? QStringLiteral(" DESC") : QString();
    if (OrdinePerChiave())
        return ColonnaK() + discendente;
    return ColonnaO() + discendente + QStringLiteral(", ") + ColonnaK() + discendente;
}

QString StatementSorgente::Oltre(Interrogazione& q, Verso verso, const Ancora& ancora) const {
    const QString segno = Confronto(verso);
    if (OrdinePerChiave())
        return ColonnaK() + segno + Valore(q, ancora.chiave, mOrdine.tipoChiave);
    // Each value is added where its mark stands in the text.
    const auto valoreO = [&] {
        if (ancora.forma == Ancora::Forma::Scomparsa)
            return Valore(q, ancora.ordine, mOrdine.tipoOrdine);
        return QStringLiteral("(Select ancora.") + mOrdine.ordine + QStringLiteral(" from ") +
               mOrdine.tabella + QStringLiteral(" AS ancora Where ancora.") + mOrdine.chiave +
               QStringLiteral(" = ") + Valore(q, ancora.chiave, mOrdine.tipoChiave) +
               QLatin1Char(')');
    };
    if (mDialetto.ConfrontoRiga) {
        const QString o = valoreO();
        return QLatin1Char('(') + ColonnaO() + QStringLiteral(", ") + ColonnaK() +
               QStringLiteral(")") + segno + QLatin1Char('(') + o + QStringLiteral(", ") +
               Valore(q, ancora.chiave, mOrdine.tipoChiave) + QStringLiteral(")");
    }
    const QString prima = valoreO();
    const QString uguale = valoreO();
    return QLatin1Char('(') + ColonnaO() + segno + prima + QStringLiteral(" OR (") + ColonnaO() +
           QStringLiteral(" = ") + uguale + QStringLiteral(" AND ") + ColonnaK() + segno +
           Valore(q, ancora.chiave, mOrdine.tipoChiave) + QStringLiteral("))");
}

QString StatementSorgente::Dove(const QString& restrizione) const {
    if (mOrdine.condizione.isEmpty())
        return restrizione;
    if (restrizione.isEmpty())
        return QLatin1Char('(') + mOrdine.condizione + QLatin1Char(')');
    return QLatin1Char('(') + mOrdine.condizione + QStringLiteral(") AND ") + restrizione;
}

Interrogazione StatementSorgente::Pagina(const QString& restrizione, const QString& ordine,
                                         int righe, qint64 salta, Interrogazione q) const {
    const PartiPagina parti{.colonne = mOrdine.chiave,
                            .tabella = mOrdine.tabella,
                            .condizione = Dove(restrizione),
                            .ordine = ordine,
                            .chiave = ColonnaK()};
    q.testo = mDialetto.Pagina(parti, righe, salta);
    return q;
}

Interrogazione StatementSorgente::Conteggio(const QString& restrizione, Interrogazione q) const {
    const QString dove = Dove(restrizione);
    q.testo = QStringLiteral("Select Count(*) from ") + mOrdine.tabella +
              (dove.isEmpty() ? QString() : QStringLiteral(" WHERE ") + dove);
    return q;
}

Interrogazione StatementSorgente::Estremo(Verso verso) const {
    return Pagina(QString(), Ordinamento(verso), 2, 0, {});
}

std::vector<Interrogazione> StatementSorgente::Vicini(Verso verso, const Ancora& ancora,
                                                      int righe) const {
    if (!mDialetto.ChiaveLegata)
        return Componi(verso, ancora, righe);
    // Stand-ins no value of a table can be: the anchor's key and sort value.
    static const QVariant kChiave(QStringLiteral("\x01chiave"));
    static const QVariant kOrdine(QStringLiteral("\x01ordine"));
    const auto chiave = std::make_tuple(verso, ancora.forma, righe);
    auto modello = mModelli.find(chiave);
    if (modello == mModelli.end())
        modello =
            mModelli.emplace(chiave, Componi(verso, {kChiave, kOrdine, ancora.forma}, righe)).first;
    std::vector<Interrogazione> parti = modello->second;
    for (Interrogazione& q : parti)
        for (QVariant& v : q.valori)
            v = v == kChiave ? ancora.chiave : ancora.ordine;
    return parti;
}

Interrogazione StatementSorgente::Finestra(Verso verso, const Ancora& ancora, int righe,
                                           const QString& testaRecord) const {
    Interrogazione q = Vicini(verso, ancora, righe).front();
    q.testo = testaRecord + QStringLiteral(" WHERE ") + ColonnaK() + QStringLiteral(" IN (") +
              q.testo + QStringLiteral(") Order by ") + Ordinamento(verso);
    return q;
}

bool StatementSorgente::UnaSolaParte(Verso verso, const Ancora& ancora) const {
    if (OrdinePerChiave())
        return true;
    // The NULLs come after the values, or the values after the NULLs, in this direction.
    const bool nulliDopo = (verso == Verso::Avanti) != mDialetto.NullPrimi;
    return ancora.forma == Ancora::Forma::Nulla ? nulliDopo : !nulliDopo;
}

std::vector<Interrogazione> StatementSorgente::Componi(Verso verso, const Ancora& ancora,
                                                       int righe) const {
    const bool avanti = verso == Verso::Avanti;
    const QString nulli = ColonnaO() + QStringLiteral(" IS NULL");
    const QString valori = ColonnaO() + QStringLiteral(" IS NOT NULL");
    const QString perChiave = ColonnaK() + (avanti ? QString() : QStringLiteral(" DESC"));
    // The NULLs and the values are two runs of the order; which comes first is
    // the engine's choice, and a step may cross from one to the other.
    const bool nulliDopo = avanti != mDialetto.NullPrimi;
    std::vector<Interrogazione> parti;
    if (OrdinePerChiave()) {
        Interrogazione q;
        const QString oltre = Oltre(q, verso, ancora);
        parti.push_back(Pagina(oltre, Ordinamento(verso), righe, 0, std::move(q)));
        return parti;
    }
    if (ancora.forma == Ancora::Forma::Nulla) {
        Interrogazione q;
        const QString oltre = nulli + QStringLiteral(" AND ") + ColonnaK() + Confronto(verso) +
                              Valore(q, ancora.chiave, mOrdine.tipoChiave);
        parti.push_back(Pagina(oltre, perChiave, righe, 0, std::move(q)));
        if (!nulliDopo)
            parti.push_back(Pagina(valori, Ordinamento(verso), righe, 0, {}));
        return parti;
    }
    Interrogazione q;
    const QString oltre = Oltre(q, verso, ancora);
    parti.push_back(Pagina(oltre, Ordinamento(verso), righe, 0, std::move(q)));
    if (nulliDopo)
        parti.push_back(Pagina(nulli, perChiave, righe, 0, {}));
    return parti;
}

Interrogazione StatementSorgente::Ennesimo(qint64 posizione) const {
    return Pagina(QString(), Ordinamento(Verso::Avanti), 2, std::max<qint64>(posizione, 1) - 1, {});
}

Interrogazione StatementSorgente::Chiave(const QVariant& chiave) const {
    Interrogazione q;
    const QString dove =
        Dove(ColonnaK() + QStringLiteral(" = ") + Valore(q, chiave, mOrdine.tipoChiave));
    q.testo = QStringLiteral("Select ") + mOrdine.chiave + QStringLiteral(" from ") +
              mOrdine.tabella + QStringLiteral(" WHERE ") + dove;
    return q;
}

Interrogazione StatementSorgente::Sonda(const QVariant& chiave) const {
    Interrogazione q;
    q.testo = QStringLiteral("Select Count(") + ColonnaO() + QStringLiteral("), Count(*) from ") +
              mOrdine.tabella + QStringLiteral(" WHERE ") + ColonnaK() + QStringLiteral(" = ");
    q.testo += Valore(q, chiave, mOrdine.tipoChiave);
    return q;
}

Interrogazione StatementSorgente::Totale() const {
    return Conteggio(QString(), {});
}

Interrogazione StatementSorgente::Precedenti(const QVariant& chiave, bool ordineNullo) const {
    Interrogazione q;
    const QString nulli = ColonnaO() + QStringLiteral(" IS NULL");
    if (OrdinePerChiave()) {
        const QString prima = Oltre(q, Verso::Indietro, {chiave, {}, Ancora::Forma::InTabella});
        return Conteggio(prima, std::move(q));
    }
    if (ordineNullo) {
        const QString tra = nulli + QStringLiteral(" AND ") + ColonnaK() + QStringLiteral(" < ") +
                            Valore(q, chiave, mOrdine.tipoChiave);
        if (mDialetto.NullPrimi)
            return Conteggio(tra, std::move(q));
        return Conteggio(QLatin1Char('(') + ColonnaO() + QStringLiteral(" IS NOT NULL OR (") + tra +
                             QStringLiteral("))"),
                         std::move(q));
    }
    const QString prima = Oltre(q, Verso::Indietro, {chiave, {}, Ancora::Forma::InTabella});
    if (!mDialetto.NullPrimi)
        return Conteggio(prima, std::move(q));
    return Conteggio(QLatin1Char('(') + nulli + QStringLiteral(" OR ") + prima + QLatin1Char(')'),
                     std::move(q));
}

Interrogazione StatementSorgente::UnaRiga() const {
    return {mDialetto.ElencoChiaviUnaRiga(mOrdine.chiave, mOrdine.tabella, mOrdine.ordine), {}};
}

} // namespace tessaro
