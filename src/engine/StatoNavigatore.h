#pragma once

namespace tessaro {

// The state of a navigator. The values are the numbers State() gives hosts.
enum class StatoNavigatore : short {
    NessunRecord = 1,
    PrimoRecord = 2,
    UltimoRecord = 3,
    UnicoRecord = 4,
    NuovoRecord = 5,
    ModificaRecord = 6,
    RecordInMezzo = 7,
};

// A record is being typed: a new one or an edited one.
constexpr bool InInserimentoOModifica(StatoNavigatore stato) {
    return stato == StatoNavigatore::NuovoRecord || stato == StatoNavigatore::ModificaRecord;
}

// The browsing state of a record at a 1-based position among `totale`.
constexpr StatoNavigatore StatoDiScorrimento(long posizione, long totale) {
    if (totale < 1)
        return StatoNavigatore::NessunRecord;
    if (totale == 1)
        return StatoNavigatore::UnicoRecord;
    if (posizione <= 1)
        return StatoNavigatore::PrimoRecord;
    return posizione >= totale ? StatoNavigatore::UltimoRecord : StatoNavigatore::RecordInMezzo;
}

} // namespace tessaro
