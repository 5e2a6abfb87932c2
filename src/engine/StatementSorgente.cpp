#include "engine/StatementSorgente.h"

#include "data/Values.h"
#include "editing/Salvataggio.h"

#include <utility>

namespace tessaro {

namespace {

QString Confronto(Verso verso) {
    return verso == Verso::Avanti ? QStringLiteral(" > ") : QStringLiteral(" < ");
}

QString Discendente(Verso verso) {
    return verso == Verso::Indietro ? QStringLiteral(" DESC") : QString();
}

// Stand-ins no value of a table can be, for the anchor's values in the texts
// built once: the key's parts by position, and the sort value.
QVariant SegnapostoChiave(int i) {
    return QVariant(QStringLiteral("\x01chiave%1").arg(i));
}
const QVariant& SegnapostoOrdine() {
    static const QVariant segnaposto(QStringLiteral("\x01ordine"));
    return segnaposto;
}

} // namespace

QVariantList PartiChiave(const QVariant& chiave) {
    if (chiave.typeId() == QMetaType::QVariantList)
        return chiave.toList();
    return {chiave};
}

QVariant ChiaveDaParti(const QVariantList& parti) {
    return parti.size() == 1 ? parti.front() : QVariant(parti);
}

QString TestoChiave(const QVariant& chiave) {
    QStringList parti;
    for (const QVariant& p : PartiChiave(chiave))
        parti << ValueToText(p);
    return parti.join(kSeparatoreChiave);
}

StatementSorgente::StatementSorgente(OrdineSorgente ordine, const Dialetto& dialetto)
    : mOrdine(std::move(ordine)), mDialetto(dialetto) {}

QString StatementSorgente::Valore(Interrogazione& q, const QVariant& valore, short tipo) const {
    if (mDialetto.ChiaveLegata) {
        q.valori << valore;
        return QStringLiteral("?");
    }
    return LetteraleChiave(tipo, ValueToText(valore), mDialetto);
}

QString StatementSorgente::ParteChiave(Interrogazione& q, const QVariant& chiave, int i) const {
    return Valore(q, PartiChiave(chiave).value(i), mOrdine.tipiChiave.value(i));
}

QString StatementSorgente::ColonnaO() const {
    return mOrdine.tabella + QLatin1Char('.') + mOrdine.ordine;
}

QString StatementSorgente::ColonnaK(int i) const {
    return mOrdine.tabella + QLatin1Char('.') + mOrdine.chiavi.value(i);
}

QString StatementSorgente::ColonneK(bool qualificate) const {
    QStringList colonne;
    for (int i = 0; i < mOrdine.chiavi.size(); ++i)
        colonne << (qualificate ? ColonnaK(i) : mOrdine.chiavi[i]);
    return colonne.join(QStringLiteral(", "));
}

QString StatementSorgente::ColonneKRiga() const {
    return mOrdine.chiavi.size() == 1 ? ColonnaK(0) : QLatin1Char('(') + ColonneK() + u')';
}

QString StatementSorgente::UgualeChiave(Interrogazione& q, const QString& tabella,
                                        const QVariant& chiave) const {
    QStringList uguali;
    for (int i = 0; i < mOrdine.chiavi.size(); ++i)
        uguali << tabella + QLatin1Char('.') + mOrdine.chiavi[i] + QStringLiteral(" = ") +
                      ParteChiave(q, chiave, i);
    return uguali.join(QStringLiteral(" AND "));
}

bool StatementSorgente::OrdinePerChiave() const {
    return mOrdine.chiavi.contains(mOrdine.ordine, Qt::CaseInsensitive);
}

QStringList StatementSorgente::ColonneOrdine() const {
    QStringList colonne{mOrdine.ordine};
    for (const QString& k : mOrdine.chiavi)
        if (k.compare(mOrdine.ordine, Qt::CaseInsensitive) != 0)
            colonne << k;
    return colonne;
}

QString StatementSorgente::Ordinamento(Verso verso) const {
    QStringList parti;
    for (const QString& c : ColonneOrdine())
        parti << mOrdine.tabella + QLatin1Char('.') + c + Discendente(verso);
    return parti.join(QStringLiteral(", "));
}

QString StatementSorgente::OrdinamentoChiave(Verso verso) const {
    QStringList parti;
    for (int i = 0; i < mOrdine.chiavi.size(); ++i)
        parti << ColonnaK(i) + Discendente(verso);
    return parti.join(QStringLiteral(", "));
}

QString StatementSorgente::Dopo(const QStringList& colonne, Verso verso,
                                const std::function<QString(int)>& valore) const {
    const QString segno = Confronto(verso);
    if (colonne.size() == 1)
        return colonne.front() + segno + valore(0);
    if (mDialetto.ConfrontoRiga) {
        QStringList valori;
        for (int i = 0; i < colonne.size(); ++i)
            valori << valore(i);
        return QLatin1Char('(') + colonne.join(QStringLiteral(", ")) + u')' + segno +
               QLatin1Char('(') + valori.join(QStringLiteral(", ")) + u')';
    }
    // "a > x OR (a = x AND (b > y OR (b = y AND c > z)))", written from the
    // front so that each value's mark comes where the text has it.
    QString testo;
    QString chiusure;
    for (int i = 0; i < colonne.size(); ++i) {
        if (i + 1 == colonne.size()) {
            testo += colonne[i] + segno + valore(i);
            break;
        }
        const QString maggiore = valore(i);
        const QString uguale = valore(i);
        testo += QLatin1Char('(') + colonne[i] + segno + maggiore + QStringLiteral(" OR (") +
                 colonne[i] + QStringLiteral(" = ") + uguale + QStringLiteral(" AND ");
        chiusure += QStringLiteral("))");
    }
    return testo + chiusure;
}

QString StatementSorgente::Oltre(Interrogazione& q, Verso verso, const Ancora& ancora) const {
    const QStringList ordine = ColonneOrdine();
    QStringList colonne;
    for (const QString& c : ordine)
        colonne << mOrdine.tabella + QLatin1Char('.') + c;
    const auto valore = [&](int i) -> QString {
        if (i > 0 || OrdinePerChiave()) {
            int k = 0;
            while (k + 1 < mOrdine.chiavi.size() &&
                   mOrdine.chiavi[k].compare(ordine[i], Qt::CaseInsensitive) != 0)
                ++k;
            return ParteChiave(q, ancora.chiave, k);
        }
        if (ancora.forma == Ancora::Forma::Scomparsa)
            return Valore(q, ancora.ordine, mOrdine.tipoOrdine);
        QString valoreInTabella = QStringLiteral("(Select ancora.") + mOrdine.ordine +
                                  QStringLiteral(" from ") + mOrdine.tabella +
                                  QStringLiteral(" AS ancora Where ");
        valoreInTabella += UgualeChiave(q, QStringLiteral("ancora"), ancora.chiave);
        return valoreInTabella + QLatin1Char(')');
    };
    return Dopo(colonne, verso, valore);
}

QString StatementSorgente::OltreTraNulli(Interrogazione& q, Verso verso,
                                         const QVariant& chiave) const {
    QStringList colonne;
    for (int i = 0; i < mOrdine.chiavi.size(); ++i)
        colonne << ColonnaK(i);
    return ColonnaO() + QStringLiteral(" IS NULL AND ") +
           Dopo(colonne, verso, [&](int i) { return ParteChiave(q, chiave, i); });
}

QString StatementSorgente::Dove(const QString& restrizione) const {
    if (mOrdine.condizione.isEmpty())
        return restrizione;
    if (restrizione.isEmpty())
        return QLatin1Char('(') + mOrdine.condizione + QLatin1Char(')');
    return QLatin1Char('(') + mOrdine.condizione + QStringLiteral(") AND ") + restrizione;
}

Interrogazione StatementSorgente::Pagina(const QString& restrizione, const QString& ordine,
                                         int righe, qint64 salta, Interrogazione q,
                                         Lettura lettura) const {
    const bool record = lettura == Lettura::Record;
    const PartiPagina parti{.colonne = record ? mOrdine.colonneRecord : ColonneK(false),
                            .tabella = record ? mOrdine.daRecord : mOrdine.tabella,
                            .condizione = Dove(restrizione),
                            .ordine = ordine,
                            .chiave = ColonneKRiga()};
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
    return Parti(verso, ancora, righe, Lettura::Chiave);
}

std::vector<Interrogazione> StatementSorgente::Parti(Verso verso, const Ancora& ancora, int righe,
                                                     Lettura lettura) const {
    if (!mDialetto.ChiaveLegata)
        return Componi(verso, ancora, righe, lettura);
    const auto modello = std::make_tuple(verso, ancora.forma, righe, lettura);
    auto trovato = mModelli.find(modello);
    if (trovato == mModelli.end()) {
        QVariantList segnaposto;
        for (int i = 0; i < mOrdine.chiavi.size(); ++i)
            segnaposto << SegnapostoChiave(i);
        trovato =
            mModelli
                .emplace(modello,
                         Componi(verso,
                                 {ChiaveDaParti(segnaposto), SegnapostoOrdine(), ancora.forma},
                                 righe, lettura))
                .first;
    }
    std::vector<Interrogazione> parti = trovato->second;
    const QVariantList chiave = PartiChiave(ancora.chiave);
    for (Interrogazione& q : parti)
        for (QVariant& v : q.valori) {
            if (v == SegnapostoOrdine()) {
                v = ancora.ordine;
                continue;
            }
            for (int i = 0; i < chiave.size(); ++i)
                if (v == SegnapostoChiave(i)) {
                    v = chiave[i];
                    break;
                }
        }
    return parti;
}

Interrogazione StatementSorgente::Finestra(Verso verso, const Ancora& ancora, int righe) const {
    // Without joins the page reads the records itself. With them the page of
    // keys runs on the table alone, where the host's condition names its
    // columns without a table: a joined table may have a column of that name.
    if (mOrdine.daRecord == mOrdine.tabella)
        return Parti(verso, ancora, righe, Lettura::Record).front();
    Interrogazione q = RecordDelleChiavi(Vicini(verso, ancora, righe).front());
    q.testo += QStringLiteral(" Order by ") + Ordinamento(verso);
    return q;
}

Interrogazione StatementSorgente::RecordDelleChiavi(Interrogazione chiavi) const {
    chiavi.testo = TestaRecord() + QStringLiteral(" WHERE ") + ColonneKRiga() +
                   QStringLiteral(" IN (") + chiavi.testo + QLatin1Char(')');
    return chiavi;
}

QString StatementSorgente::TestaRecord() const {
    return QStringLiteral("SELECT ") + mOrdine.colonneRecord + QStringLiteral(" FROM ") +
           mOrdine.daRecord;
}

bool StatementSorgente::UnaSolaParte(Verso verso, const Ancora& ancora) const {
    if (OrdinePerChiave())
        return true;
    // The NULLs come after the values, or the values after the NULLs, in this direction.
    const bool nulliDopo = (verso == Verso::Avanti) != mDialetto.NullPrimi;
    return ancora.forma == Ancora::Forma::Nulla ? nulliDopo : !nulliDopo;
}

std::vector<Interrogazione> StatementSorgente::Componi(Verso verso, const Ancora& ancora, int righe,
                                                       Lettura lettura) const {
    const QString nulli = ColonnaO() + QStringLiteral(" IS NULL");
    const QString valori = ColonnaO() + QStringLiteral(" IS NOT NULL");
    // The NULLs and the values are two runs of the order; which comes first is
    // the engine's choice, and a step may cross from one to the other.
    const bool nulliDopo = (verso == Verso::Avanti) != mDialetto.NullPrimi;
    std::vector<Interrogazione> parti;
    Interrogazione q;
    if (OrdinePerChiave()) {
        const QString oltre = Oltre(q, verso, ancora);
        parti.push_back(Pagina(oltre, Ordinamento(verso), righe, 0, std::move(q), lettura));
        return parti;
    }
    if (ancora.forma == Ancora::Forma::Nulla) {
        const QString oltre = OltreTraNulli(q, verso, ancora.chiave);
        parti.push_back(Pagina(oltre, OrdinamentoChiave(verso), righe, 0, std::move(q), lettura));
        if (!nulliDopo)
            parti.push_back(Pagina(valori, Ordinamento(verso), righe, 0, {}, lettura));
        return parti;
    }
    const QString oltre = Oltre(q, verso, ancora);
    parti.push_back(Pagina(oltre, Ordinamento(verso), righe, 0, std::move(q), lettura));
    if (nulliDopo)
        parti.push_back(Pagina(nulli, OrdinamentoChiave(verso), righe, 0, {}, lettura));
    return parti;
}

Interrogazione StatementSorgente::Ennesimo(qint64 posizione) const {
    return Pagina(QString(), Ordinamento(Verso::Avanti), 2, std::max<qint64>(posizione, 1) - 1, {});
}

Interrogazione StatementSorgente::Chiave(const QVariant& chiave) const {
    Interrogazione q;
    const QString dove = Dove(UgualeChiave(q, mOrdine.tabella, chiave));
    q.testo = QStringLiteral("Select ") + ColonneK(false) + QStringLiteral(" from ") +
              mOrdine.tabella + QStringLiteral(" WHERE ") + dove;
    return q;
}

Interrogazione StatementSorgente::Record(const QVariant& chiave) const {
    // A condition names its columns without a table: with joins it runs on the
    // table alone, as for a window.
    if (!mOrdine.condizione.isEmpty() && mOrdine.daRecord != mOrdine.tabella)
        return RecordDelleChiavi(Chiave(chiave));
    Interrogazione q;
    const QString dove = Dove(UgualeChiave(q, mOrdine.tabella, chiave));
    q.testo = TestaRecord() + QStringLiteral(" WHERE ") + dove;
    return q;
}

Interrogazione StatementSorgente::Capi() const {
    const auto capo = [&](Verso verso, QChar numero) {
        return QStringLiteral("SELECT ") + numero + QStringLiteral(" AS capo, c.* FROM (") +
               Pagina(QString(), Ordinamento(verso), 1, 0, {}).testo + QStringLiteral(") AS c");
    };
    return {capo(Verso::Avanti, u'0') + QStringLiteral(" UNION ALL ") + capo(Verso::Indietro, u'1'),
            {}};
}

Interrogazione StatementSorgente::Sonda(const QVariant& chiave) const {
    Interrogazione q;
    const QString dove = UgualeChiave(q, mOrdine.tabella, chiave);
    q.testo = QStringLiteral("Select Count(") + ColonnaO() + QStringLiteral("), Count(*) from ") +
              mOrdine.tabella + QStringLiteral(" WHERE ") + dove;
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
        const QString tra = OltreTraNulli(q, Verso::Indietro, chiave);
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
    return {mDialetto.ElencoChiaviUnaRiga(ColonneK(false), mOrdine.tabella, mOrdine.ordine), {}};
}

} // namespace tessaro
