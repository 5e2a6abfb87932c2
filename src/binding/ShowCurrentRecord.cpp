#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"

#include <optional>

namespace tessaro {

namespace {

bool CiSonoRecord(const std::unique_ptr<Recordset>& rs) {
    if (!rs)
        TessaroError::Raise(Err::ObjectNotSet);
    return rs->RecordCount() > 0;
}

// Position of a record value in a combo's key list.
int PosizioneChiave(const ChiaviCombo& voce, const QString& chiave) {
    for (std::size_t j = 0; j < voce.Chiavi.size(); ++j)
        if (voce.Chiavi[j] == chiave)
            return static_cast<int>(j);
    TessaroError::Raise(Err::SubscriptOutOfRange);
}

} // namespace

void clsADONavigator::ShowCurrentRecord() {
    Solleva([](NavigatorEvents& ev) { ev.OnCurrent(); });
    if (!InizializzatoOAvvisa())
        return;
    const bool mostrato =
        Riporta(QStringLiteral("ClsAdoNavigator_Metodo_ShowCurrentRecord "), TitoloTQ03(), [&] {
            // A name without a table is read through its table (the primary one, or the
            // linked one of a linked binding), so that a joined table's column of the
            // same name is neither shown nor saved back in its place.
            const auto valore = [this](const Legame& legame) {
                const QString& colonna = legame.ColonnaMostrata();
                const LinkTabella* link = legame.tipo == TipoLegame::ColonnaCollegata
                                              ? LinkDelCampo(legame.colonna)
                                              : nullptr;
                const QString tabella = link ? link->TabellaCollegata : mPrimaryTableName;
                if (!colonna.contains(QLatin1Char('.'))) {
                    const int i = TheFullData->ColumnIndex(tabella + QLatin1Char('.') + colonna);
                    if (i >= 0)
                        return TheFullData->Fields().Item(i).Value();
                }
                return TheFullData->Fields().Item(colonna).Value();
            };
            // The value a text box or check box shows, or nothing to show.
            const auto valoreMostrato = [&](Control& c) -> std::optional<QVariant> {
                if (c.Tag().isEmpty())
                    return std::nullopt;
                const Legame& legame = LegameDi(c);
                if (!CiSonoRecord(TheFullData) || legame.ColonnaMostrata().trimmed().isEmpty())
                    return std::nullopt;
                return valore(legame);
            };
            const auto testo = [&](Control& c) {
                if (!c.IsTextBox())
                    return;
                if (const auto v = valoreMostrato(c))
                    AsTextBox(c).SetText(ValueToText(*v));
            };
            const auto spunta = [&](Control& c) {
                if (!c.IsCheckBox())
                    return;
                if (const auto v = valoreMostrato(c))
                    AsCheckBox(c).SetValue(ValueToBool(*v) ? 1 : 0);
            };
            const auto combo = [&](Control& c) {
                if (!c.IsComboBox() || c.Tag().isEmpty())
                    return;
                const Legame& legame = LegameDi(c);
                if (!legame.Legato() || !CiSonoRecord(TheFullData))
                    return;
                if (legame.colonna.trimmed().isEmpty())
                    return;
                ComboBox& cb = AsComboBox(c);
                const QVariant v = valore(legame);
                if (v.isNull()) {
                    cb.SetText(QString());
                    return;
                }
                const ChiaviCombo* voce = TrovaChiaviCombo(cb.Name());
                if (!voce)
                    TessaroError::Raise(Err::SubscriptOutOfRange);
                cb.SetListIndex(PosizioneChiave(*voce, ValueToText(v)));
            };
            // One enumeration of the controls, three passes: text boxes, check boxes, combos.
            PercorriControlli(mContenitoreCaselle, {testo, spunta, combo});
        });
    if (mostrato)
        Solleva([](NavigatorEvents& ev) { ev.AfterCurrent(); });
}

} // namespace tessaro
