#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"

namespace tessaro {

namespace {

// A control that can serve a column of the primary table, with that column.
struct ControlloLegato {
    QString colonna;
    Control* controllo;
};

struct ControlliLegati {
    std::vector<ControlloLegato> combo;
    std::vector<ControlloLegato> altri; // text boxes and check boxes

    Control* Primo(const std::vector<ControlloLegato>& elenco, const QString& colonna) const {
        for (const auto& l : elenco)
            if (l.colonna == colonna)
                return l.controllo;
        return nullptr;
    }
};

// The controls of the container that can serve a column, matched by the first
// part of their binding text. A text box or check box of two parts or more shows
// a column of a linked table and serves nothing; other kinds serve nothing.
ControlliLegati RaccogliControlli(const clsADONavigator& nav, HostObject* contenitore) {
    ControlliLegati r;
    nav.PercorriControlli(contenitore, [&](Control& c) {
        if (!c.IsComboBox() && !c.IsTextBox() && !c.IsCheckBox())
            return;
        const Legame& legame = nav.LegameDi(c);
        if (c.IsComboBox() && legame.Legato())
            r.combo.push_back({legame.colonna, &c});
        else if (legame.tipo == TipoLegame::Colonna)
            r.altri.push_back({legame.colonna, &c});
    });
    return r;
}

const ChiaviCombo& ChiaviDelCombo(const clsADONavigator& nav, const QString& nome) {
    for (const auto& k : nav.ArrayChiaviPrimarieCombo())
        if (k.Name == nome)
            return k;
    TessaroError::Raise(Err::SubscriptOutOfRange);
}

// A combo typed into rather than picked from: select the item it names.
void SelezionaVoceScritta(ComboBox& combo) {
    if (combo.ListIndex() >= 0)
        return;
    const QString testo = combo.Text().trimmed();
    for (int k = 0; k < combo.ListCount(); ++k) {
        if (combo.List(k).trimmed() == testo) {
            combo.SetListIndex(k);
            return;
        }
    }
}

// False when the combo gives nothing its column can hold: the column is then
// left as it is.
bool DaCombo(const clsADONavigator& nav, ComboBox& combo, ColonnaServita& c) {
    const ChiaviCombo& chiavi = ChiaviDelCombo(nav, combo.Name());
    const GruppoColonna gruppo = GruppoDi(c.tipo);
    if (gruppo != GruppoColonna::Intero && gruppo != GruppoColonna::Carattere)
        return false;
    c.tag = combo.Tag();
    if (combo.Text().trimmed().isEmpty()) {
        // A stored key that no item has is kept until the user picks an item.
        c.fonte = chiavi.ChiaveFuoriElenco ? FonteValore::ChiaveCombo : FonteValore::Nullo;
        c.testo = chiavi.ChiaveFuoriElenco.value_or(QString());
        return true;
    }
    SelezionaVoceScritta(combo);
    const int indice = combo.ListIndex();
    if (indice < 0) {
        c.fonte = FonteValore::VoceSconosciuta;
        return true;
    }
    if (static_cast<std::size_t>(indice) >= chiavi.Chiavi.size())
        TessaroError::Raise(Err::SubscriptOutOfRange);
    c.fonte = FonteValore::ChiaveCombo;
    c.testo = chiavi.Chiavi[static_cast<std::size_t>(indice)];
    return true;
}

void DaAltroControllo(Control& ctl, ColonnaServita& c) {
    c.tag = ctl.Tag();
    if (ctl.IsCheckBox()) {
        c.fonte = FonteValore::Spunta;
        c.spuntata = AsCheckBox(ctl).Value() != 0; // checked or grayed
        return;
    }
    c.fonte = FonteValore::Testo;
    c.testo = AsTextBox(ctl).Text();
}

} // namespace

TestiSalvataggio clsADONavigator::ComponiTestiSalvataggio() {
    const ControlliLegati legati = RaccogliControlli(*this, mContenitoreCaselle);
    std::vector<ColonnaServita> colonne;
    ChiaveRecord chiave;
    for (long i = 1; i <= mTabellaPrincipale->Count(); ++i) {
        const auto colonna = mTabellaPrincipale->Item(i);
        ColonnaServita c;
        c.nome = colonna->NomeCampo();
        c.tipo = colonna->TipoDati();
        c.lunghezzaMassima = colonna->LunghezzaMassima();
        c.chiavePrimaria = colonna->ChiavePrimaria();
        if (c.chiavePrimaria && chiave.nome.isEmpty())
            chiave = {c.nome, c.tipo, mChiaveCaricata};
        // A combo comes before any other control of the same column.
        if (Control* combo = legati.Primo(legati.combo, c.nome)) {
            if (DaCombo(*this, AsComboBox(*combo), c))
                colonne.push_back(c);
        } else if (Control* altro = legati.Primo(legati.altri, c.nome)) {
            DaAltroControllo(*altro, c);
            colonne.push_back(c);
        }
    }
    return ComponiSalvataggio(mPrimaryTableName, colonne, chiave, Dialect());
}

void clsADONavigator::Update() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Update "), TitoloTQ03(), [&] {
        const TestiSalvataggio testi = ComponiTestiSalvataggio();
        if (testi.messaggio) {
            MsgBox(testi.messaggio->testo, testi.messaggio->stile, testi.messaggio->titolo);
            return;
        }
        if (!VerificaConnessione())
            return;
        if (mState == StatoNavigatore::ModificaRecord) {
            mConnessione->Execute(testi.update, nullptr, -1);
            const QString chiave =
                testi.testoChiave.isEmpty() ? ValueToText(mChiaveCaricata) : testi.testoChiave;
            Solleva([](NavigatorEvents& ev) { ev.AfterUpdate(); });
            MoveTo(chiave);
        } else if (mState == StatoNavigatore::NuovoRecord) {
            mConnessione->Execute(testi.insert, nullptr, -1);
            // A key left to the database: the one it generated for this statement.
            QString chiave = testi.testoChiave;
            if (chiave.isEmpty() && GruppoDi(mTipoChiave) == GruppoColonna::Intero)
                chiave = ValueToText(mConnessione->LastInsertId());
            Solleva([](NavigatorEvents& ev) { ev.AfterInsert(); });
            mState = StatoNavigatore::UltimoRecord;
            FillComboConOfForm();
            if (chiave.isEmpty())
                MoveLast();
            else
                MoveTo(chiave);
        }
        DisabilitaInserimento(mContenitoreCaselle);
    });
}

} // namespace tessaro
