#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"

#include <algorithm>
#include <optional>

namespace tessaro {

namespace {

// Position of a record value in a combo's key list, -1 when no item has it.
int PosizioneChiave(const ChiaviCombo& voce, const QString& chiave) {
    for (std::size_t j = 0; j < voce.Chiavi.size(); ++j)
        if (voce.Chiavi[j] == chiave)
            return static_cast<int>(j);
    return -1;
}

// Blank, without the copy trimmed() would make at every step.
bool SoloSpazi(const QString& testo) {
    return std::all_of(testo.begin(), testo.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

QVariant clsADONavigator::ValoreDelLegame(const Legame& legame) const {
    // A linked column is found where the record's statement selects it, after
    // the primary table's columns: each link's own, whatever its name.
    if (legame.tipo == TipoLegame::ColonnaCollegata) {
        const int dallaFine = mCollegate.DallaFine(legame.colonna, legame.colonnaCollegata);
        if (dallaFine == 0)
            TessaroError::Raise(Err::ItemNotFound, legame.colonnaCollegata);
        return TheFullData->Fields().Item(TheFullData->ColumnCount() - dallaFine).Value();
    }
    // A name without a table is read through the primary table, so that a
    // joined table's column of the same name is neither shown nor saved back.
    const QString& colonna = legame.colonna;
    const int i = TheFullData->ColumnIndex(mPrimaryTableName, colonna);
    return i >= 0 ? TheFullData->Fields().Item(i).Value()
                  : TheFullData->Fields().Item(colonna).Value();
}

void clsADONavigator::MostraCombo(ComboBox& cb, const Legame& legame) {
    const QVariant v = ValoreDelLegame(legame);
    ChiaviCombo* voce = TrovaChiaviCombo(cb.Name());
    if (!voce)
        TessaroError::Raise(Err::SubscriptOutOfRange);
    voce->ChiaveFuoriElenco.reset();
    if (v.isNull()) {
        cb.SetText(QString());
        return;
    }
    const QString chiave = ValueToText(v);
    int posizione = PosizioneChiave(*voce, chiave);
    // A lookup row added by another user since the fill: the list is read again, once.
    if (posizione < 0 && RiempiComboCondizionata(cb, CondizioneCombo(cb)))
        posizione = PosizioneChiave(*TrovaChiaviCombo(cb.Name()), chiave);
    if (posizione >= 0) {
        cb.SetListIndex(posizione);
        return;
    }
    // A key without a lookup row: no item shows, and a save keeps the key.
    cb.SetListIndex(-1);
    cb.SetText(QString());
    TrovaChiaviCombo(cb.Name())->ChiaveFuoriElenco = chiave;
}

void clsADONavigator::ShowCurrentRecord() {
    Solleva([](NavigatorEvents& ev) { ev.OnCurrent(); });
    if (!InizializzatoOAvvisa())
        return;
    const bool mostrato =
        Riporta(QStringLiteral("ClsAdoNavigator_Metodo_ShowCurrentRecord "), TitoloTQ03(), [&] {
            if (!TheFullData)
                TessaroError::Raise(Err::ObjectNotSet);
            // Without a record every bound control is emptied: nothing of another
            // record may stay on screen.
            const bool record = TheFullData->RecordCount() > 0;
            mMostrati.clear();
            // Read back from the control itself, which may have changed the text
            // (line breaks, length): what the user leaves alone reads the same
            // at the save.
            const auto Ricorda = [this](Control& c) { mMostrati.insert(&c, LetturaControllo(c)); };
            // The binding of a tagged control, if it shows a column. A tag that
            // names no column of the table empties a text or check box.
            const auto colonnaMostrata = [&](Control& c) -> const Legame* {
                const QString tag = c.Tag();
                if (tag.isEmpty())
                    return nullptr;
                const Legame& legame = LegameDi(c, tag);
                if (legame.tipo == TipoLegame::Rifiutato && !c.IsComboBox())
                    SvuotaControllo(c);
                if (!legame.Legato() || SoloSpazi(legame.ColonnaMostrata()))
                    return nullptr;
                return &legame;
            };
            const auto testo = [&](Control& c) {
                if (!c.IsTextBox())
                    return;
                if (const Legame* legame = colonnaMostrata(c)) {
                    if (record)
                        AsTextBox(c).ShowValue(ValoreDelLegame(*legame), legame->tipoColonna);
                    else
                        AsTextBox(c).SetText(QString());
                    Ricorda(c);
                }
            };
            const auto spunta = [&](Control& c) {
                if (!c.IsCheckBox())
                    return;
                if (const Legame* legame = colonnaMostrata(c)) {
                    AsCheckBox(c).SetValue(record && ValueToBool(ValoreDelLegame(*legame)) ? 1 : 0);
                    Ricorda(c);
                }
            };
            const auto combo = [&](Control& c) {
                if (!c.IsComboBox())
                    return;
                const Legame* legame = colonnaMostrata(c);
                if (!legame)
                    return;
                if (record)
                    MostraCombo(AsComboBox(c), *legame);
                else
                    AsComboBox(c).SetText(QString());
                Ricorda(c);
            };
            // One control that fails is emptied and the walk goes on; the first
            // failure is reported once the others show the record.
            std::optional<TessaroError> primoErrore;
            const auto ciascuno = [&](const std::function<void(Control&)>& mostra) {
                return [&, mostra](Control& c) {
                    try {
                        mostra(c);
                    } catch (const TessaroError& e) {
                        if (e.Number() == Err::NoSuchMember)
                            throw; // not a control of this kind: the walk skips it
                        SvuotaControllo(c);
                        Ricorda(c);
                        if (!primoErrore)
                            primoErrore = e;
                    }
                };
            };
            // One enumeration of the controls, three passes: text boxes, check boxes, combos.
            PercorriControlli(mContenitoreCaselle,
                              {ciascuno(testo), ciascuno(spunta), ciascuno(combo)});
            // A column another user renamed or dropped is named, and no longer shown.
            if (primoErrore &&
                !(primoErrore->Number() == Err::ItemNotFound && AvvisaColonneSparite()))
                throw *primoErrore;
        });
    if (mostrato)
        Solleva([](NavigatorEvents& ev) { ev.AfterCurrent(); });
}

} // namespace tessaro
