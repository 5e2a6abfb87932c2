#include "designer/PartiLegame.h"

#include "designer/TestiDesigner.h"

#include <QStringList>

namespace tessaro::designer {

namespace {

// The parts as the kind of widget keeps them: a text box has no lookup, a
// combo no linked column, and the text after the last column is never written.
PartiLegame Normalizzate(PartiLegame parti, bool combo) {
    if (combo) {
        parti.colonnaCollegata.clear();
        if (!parti.voci.isEmpty())
            parti.voci.last().dopo.clear();
    } else {
        parti.tabellaRicerca.clear();
        parti.voci.clear();
    }
    return parti;
}

QString Voci(const Legame& l) {
    QStringList pezzi;
    for (qsizetype i = 0; i < l.colonneVoce.size(); ++i) {
        pezzi << QStringLiteral("«%1»").arg(l.colonneVoce.at(i));
        if (i < l.separatori.size() && !l.separatori.at(i).isEmpty())
            pezzi << QStringLiteral("\"%1\"").arg(l.separatori.at(i));
    }
    return pezzi.join(QStringLiteral(" + "));
}

} // namespace

QString TestoDiParti(const PartiLegame& parti, bool combo) {
    QStringList pezzi{parti.colonna};
    if (!combo) {
        if (!parti.colonnaCollegata.isEmpty())
            pezzi << parti.colonnaCollegata;
    } else if (!parti.voci.isEmpty()) {
        pezzi << parti.tabellaRicerca;
        for (qsizetype i = 0; i < parti.voci.size(); ++i) {
            pezzi << parti.voci.at(i).colonna;
            if (i + 1 < parti.voci.size())
                pezzi << parti.voci.at(i).dopo;
        }
    }
    return pezzi.join(kSeparatoreTag);
}

QString ComponiTag(const PartiLegame& parti, bool combo, const QString& prefisso,
                   const QString& tagPrecedente) {
    // What the old Tag held before its binding stays (another use of the Tag).
    QString prima;
    if (!prefisso.isEmpty())
        prima = tagPrecedente.left(qMax<qsizetype>(0, tagPrecedente.indexOf(prefisso)));
    if (parti.colonna.isEmpty())
        return prima;
    return prima + prefisso + TestoDiParti(parti, combo);
}

PartiLegame PartiDiLegame(const Legame& legame) {
    PartiLegame parti;
    if (!legame.Legato())
        return parti;
    parti.colonna = legame.colonna;
    parti.colonnaCollegata = legame.colonnaCollegata;
    parti.tabellaRicerca = legame.tabellaRicerca;
    for (qsizetype i = 0; i < legame.colonneVoce.size(); ++i)
        parti.voci.append({legame.colonneVoce.at(i), legame.separatori.value(i)});
    return parti;
}

PartiLegame LeggiParti(const QString& tag, const QString& prefisso, bool combo) {
    return PartiDiLegame(LeggiLegame(tag, prefisso, combo));
}

QString DescriviTag(const QString& tag, const QString& prefisso, bool combo) {
    const Legame l = LeggiLegame(tag, prefisso, combo);
    switch (l.tipo) {
    case TipoLegame::Rifiutato: // only a navigator refuses, knowing the table
    case TipoLegame::Nessuno:
        if (!tag.isEmpty() && !prefisso.isEmpty() && !tag.contains(prefisso))
            return TestoDesigner(Testo::SenzaPrefisso).arg(prefisso);
        return TestoDesigner(Testo::NonCollegato);
    case TipoLegame::Colonna:
        return TestoDesigner(Testo::MostraColonna).arg(l.colonna);
    case TipoLegame::ColonnaCollegata:
        return TestoDesigner(Testo::MostraColonnaCollegata).arg(l.colonna, l.colonnaCollegata);
    case TipoLegame::Ricerca:
        break;
    }
    if (l.nonValido)
        return TestoDesigner(Testo::RicercaNonValida);
    if (l.colonneVoce.isEmpty())
        return TestoDesigner(Testo::RicercaSemplice).arg(l.colonna);
    if (l.tabellaRicerca.isEmpty())
        return TestoDesigner(Testo::RicercaTabellaCollegata).arg(l.colonna, Voci(l));
    return TestoDesigner(Testo::RicercaConColonne).arg(l.colonna, Voci(l), l.tabellaRicerca);
}

bool NonRileggibile(const PartiLegame& parti, bool combo, const QString& prefisso) {
    if (combo)
        for (const ColonnaVoce& v : parti.voci)
            if (v.colonna.isEmpty())
                return true;
    const PartiLegame attese = Normalizzate(parti, combo);
    const PartiLegame lette =
        Normalizzate(LeggiParti(ComponiTag(parti, combo, prefisso), prefisso, combo), combo);
    return lette != attese;
}

QString PrefissoIndovinato(const QString& tag) {
    if (tag.isEmpty() || tag.front().isLetterOrNumber() || tag.front() == u'_' ||
        tag.front() == kSeparatoreTag)
        return QString();
    return tag.left(1);
}

} // namespace tessaro::designer
