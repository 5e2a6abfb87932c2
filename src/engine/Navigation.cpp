#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

namespace tessaro {

namespace {

using Passo = SorgenteRecord::Passo;

StatoNavigatore UltimoOMezzo(const Passo& p) {
    return p.ultimo ? StatoNavigatore::UltimoRecord : StatoNavigatore::RecordInMezzo;
}

// Where a record found by key or by number stands: an end, or in between.
StatoNavigatore StatoDelPosto(const Passo& p) {
    if (p.ultimo)
        return StatoNavigatore::UltimoRecord;
    return p.primo ? StatoNavigatore::PrimoRecord : StatoNavigatore::RecordInMezzo;
}

} // namespace

bool clsADONavigator::PrimaDiMuovere() {
    return mInizializzato && VerificaConnessione();
}

void clsADONavigator::Muovi(const QString& etichetta, const Titolo& titolo, const Trova& trova,
                            const StatoDopo& stato) {
    Riporta(etichetta, titolo, [&] {
        if (PrimaDiMuovere())
            VaiEMostra(trova, stato);
    });
}

void clsADONavigator::RecordNonTrovato() const {
    MsgBox(GetMessage(QStringLiteral("TQ44")), MsgStyle::Exclamation,
           GetMessage(QStringLiteral("TQ02")));
}

void clsADONavigator::MoveNext() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveNext "),
        Titolo::Testo(QStringLiteral("Errore interno!")),
        [this] { return SorgenteAggiornata().Vicino(Verso::Avanti, AncoraCorrente()); },
        UltimoOMezzo);
}

void clsADONavigator::MovePrevious() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MovePrevious "), TitoloTQ03(),
        [this] { return SorgenteAggiornata().Vicino(Verso::Indietro, AncoraCorrente()); },
        [](const Passo& p) {
            return p.primo ? StatoNavigatore::PrimoRecord : StatoNavigatore::RecordInMezzo;
        });
}

void clsADONavigator::MoveFirst() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveFirst "), TitoloTQ03(),
        [this] { return SorgenteAggiornata().Primo(); },
        [](const Passo&) { return StatoNavigatore::PrimoRecord; });
}

void clsADONavigator::MoveLast() {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_MoveLast "), TitoloTQ03(),
        [this] { return SorgenteAggiornata().Ultimo(); },
        [](const Passo&) { return StatoNavigatore::UltimoRecord; });
}

bool clsADONavigator::VaiAllaChiave(const QString& chiave, bool stessoPosto) {
    const std::optional<QVariant> valore = ChiaveDaTesto(chiave);
    if (!valore)
        return false;
    if (ScorrimentoDisabilitato) {
        // The one record the form holds gives way to any record asked by key.
        if (!LeggiRecord(*valore))
            return false;
        RicordaRecordCaricato(*valore, true, true);
        ShowCurrentRecord();
        mState = StatoNavigatore::UltimoRecord;
        return true;
    }
    const auto passo = SorgenteAggiornata().VaiAChiave(*valore, stessoPosto);
    // Gone between the two reads: not found either.
    if (!passo || !(MostraRecordLetto(*passo) || LeggiRecord(passo->chiave)))
        return false;
    RicordaRecordCaricato(passo->chiave, passo->primo, passo->ultimo);
    ShowCurrentRecord();
    mState = StatoDelPosto(*passo);
    mSorgente->Controlla();
    return true;
}

void clsADONavigator::MoveTo(const QString& PrimaryKey) {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_MoveTo "), TitoloTQ03(), [&] {
        if (PrimaDiMuovere() && !VaiAllaChiave(PrimaryKey))
            RecordNonTrovato();
    });
}

void clsADONavigator::Move(long NumRecords) {
    Muovi(
        QStringLiteral("ClsAdoNavigator_Metodo_Move "), TitoloTQ03(),
        [&] { return SorgenteAggiornata().VaiA(NumRecords); }, StatoDelPosto);
}

} // namespace tessaro
