#include "engine/Legame.h"

namespace tessaro {

QString TestoDiLegame(const QString& tag, const QString& prefisso) {
    if (prefisso.isEmpty())
        return tag;
    const qsizetype p = tag.indexOf(prefisso);
    return p < 0 ? QString() : tag.mid(p + prefisso.size());
}

Legame LeggiLegame(const QString& tag, const QString& prefisso, bool combo) {
    Legame l;
    const QString testo = TestoDiLegame(tag, prefisso);
    if (testo.isEmpty())
        return l;
    const QStringList parti = testo.split(kSeparatoreTag);
    l.colonna = parti.at(0);
    if (!combo) {
        l.tipo = parti.size() > 1 ? TipoLegame::ColonnaCollegata : TipoLegame::Colonna;
        l.colonnaCollegata = parti.value(1);
        return l;
    }
    l.tipo = TipoLegame::Ricerca;
    l.nonValido = parti.size() == 2 && !parti.at(1).isEmpty();
    if (parti.size() < 3)
        return l;
    l.tabellaRicerca = parti.at(1);
    for (qsizetype i = 2; i < parti.size(); i += 2) {
        l.colonneVoce << parti.at(i);
        if (i + 1 < parti.size())
            l.separatori << parti.at(i + 1);
    }
    return l;
}

} // namespace tessaro
