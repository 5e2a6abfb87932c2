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

} // namespace tessaro
