#include "data/TessaroError.h"

#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"
#include <algorithm>

#include <QDebug>
#include <algorithm>

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

    // The first control of that column; names compare without case, as
    // showing and locking them do.
    Control* Primo(const std::vector<ControlloLegato>& elenco, const QString& colonna) const {
        for (const auto& l : elenco)
            if (l.colonna.compare(colonna, Qt::CaseInsensitive) == 0)
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
    if (combo.ListIndex() != -1)
        return;
    const QString testo = combo.Text().trimmed();
    for (int k = 0; k < combo.ListCount(); ++k) {
        if (combo.List(k).trimmed() == testo) {
            combo.SetListIndex(k);
            return;
        }
    }
}

void DaCombo(const clsADONavigator& nav, ComboBox& combo, ColonnaServita& c) {
    const ChiaviCombo& chiavi = ChiaviDelCombo(nav, combo.Name());
    c.tag = combo.Tag();
    // Nothing shown and no item picked (the item of a lookup row without text is one).
    if (combo.ListIndex() < 0 && combo.Text().trimmed().isEmpty()) {
        // A stored key that no item has is kept until the user picks an item.
        c.fonte = chiavi.ChiaveFuoriElenco ? FonteValore::ChiaveCombo : FonteValore::Nullo;
        c.testo = chiavi.ChiaveFuoriElenco.value_or(QString());
        return;
    }
    SelezionaVoceScritta(combo);
    const int indice = combo.ListIndex();
    if (indice < 0) {
        c.fonte = FonteValore::VoceSconosciuta;
        return;
    }
    if (static_cast<std::size_t>(indice) >= chiavi.Chiavi.size())
        TessaroError::Raise(Err::SubscriptOutOfRange);
    c.testo = chiavi.Chiavi[static_cast<std::size_t>(indice)];
    // The item of a lookup row whose key is Null (a null text) stands for no row.
    c.fonte = c.testo.isNull() ? FonteValore::Nullo : FonteValore::ChiaveCombo;
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

QString clsADONavigator::LetturaControllo(Control& c) const {
    // A text box's own text, shared rather than copied: a control is only
    // ever compared with itself, so only a combo's states need telling apart.
    if (c.IsTextBox())
        return AsTextBox(c).Text();
    if (c.IsCheckBox())
        return AsCheckBox(c).Value() != 0 ? QStringLiteral("C1") : QStringLiteral("C0");
    if (!c.IsComboBox())
        return QString();
    ComboBox& combo = AsComboBox(c);
    const int indice = combo.ListIndex();
    for (const ChiaviCombo& voce : mChiaviCombo) {
        if (voce.Name != combo.Name())
            continue;
        if (indice >= 0 && static_cast<std::size_t>(indice) < voce.Chiavi.size())
            return QLatin1Char('K') + voce.Chiavi[static_cast<std::size_t>(indice)];
        if (combo.Text().trimmed().isEmpty())
            return voce.ChiaveFuoriElenco ? QLatin1Char('K') + *voce.ChiaveFuoriElenco
                                          : QStringLiteral("N");
    }
    return QLatin1Char('X') + combo.Text();
}

std::vector<clsADONavigator::ColonnaLegata> clsADONavigator::ColonneLegate() const {
    std::vector<ColonnaLegata> colonne;
    if (!mTabellaPrincipale)
        return colonne;
    const ControlliLegati legati = RaccogliControlli(*this, mContenitoreCaselle);
    for (long i = 1; i <= mTabellaPrincipale->Count(); ++i) {
        const auto colonna = mTabellaPrincipale->Item(i);
        // A combo comes before any other control of the same column.
        Control* controllo = legati.Primo(legati.combo, colonna->NomeCampo());
        if (!controllo)
            controllo = legati.Primo(legati.altri, colonna->NomeCampo());
        if (controllo)
            colonne.push_back({colonna, controllo});
    }
    return colonne;
}

bool clsADONavigator::Scrivibile(const clsTabellaPrincipale& colonna, const Control& controllo,
                                 bool nuovo) {
    if (!colonna.ChiavePrimaria())
        return true;
    // The host lets the user type this key, even one the database would number.
    if (controllo.Property("ChiaveModificabile").toBool())
        return true;
    return nuovo && !colonna.AutoIncremento();
}

QStringList clsADONavigator::ColonneServite() const {
    QStringList colonne;
    for (const ColonnaLegata& l : ColonneLegate())
        colonne << l.colonna->NomeCampo();
    return colonne;
}

TestiSalvataggio clsADONavigator::ComponiTestiSalvataggio(ModoSalvataggio modo) {
    std::vector<ColonnaServita> colonne;
    const ChiaveRecord chiave = ChiaveDi(mChiaveCaricata);
    for (const ColonnaLegata& l : ColonneLegate()) {
        // What the form keeps read-only is not written: the key stays as loaded.
        if (!Scrivibile(*l.colonna, *l.controllo, modo == ModoSalvataggio::Inserimento))
            continue;
        const auto& colonna = l.colonna;
        Control* controllo = l.controllo;
        ColonnaServita c;
        c.nome = colonna->NomeCampo();
        c.tipo = colonna->TipoDati();
        c.lunghezzaMassima = colonna->LunghezzaMassima();
        c.chiavePrimaria = colonna->ChiavePrimaria();
        c.precisione = colonna->Precisione();
        c.scala = colonna->Scala();
        c.autoIncremento = colonna->AutoIncremento();
        c.cifreSecondi = colonna->CifreSecondi();
        c.sempreGenerata = colonna->SempreGenerata();
        if (controllo->IsComboBox())
            DaCombo(*this, AsComboBox(*controllo), c);
        else
            DaAltroControllo(*controllo, c);
        const auto mostrato = mMostrati.constFind(controllo);
        c.cambiata =
            mostrato == mMostrati.constEnd() || LetturaControllo(*controllo) != mostrato.value();
        colonne.push_back(c);
    }
    return ComponiSalvataggio(mTabellaSql, colonne, chiave, Dialect(), modo);
}

void clsADONavigator::MostraRecordDellElenco() {
    VaiEMostra(
        [this] {
            SorgenteRecord& sorgente = SorgenteAggiornata();
            const SorgenteRecord::Passo passo = sorgente.Vicino(Verso::Avanti, AncoraCorrente());
            // Still the record shown: it is not one the source holds.
            if (!passo.chiave.isNull() && TestoChiave(passo.chiave) == TestoChiave(mChiaveCaricata))
                return sorgente.Ultimo();
            return passo;
        },
        [](const SorgenteRecord::Passo& p) {
            if (p.ultimo)
                return StatoNavigatore::UltimoRecord;
            return p.primo ? StatoNavigatore::PrimoRecord : StatoNavigatore::RecordInMezzo;
        });
}

void clsADONavigator::MostraSalvato(const QString& chiave, bool spostato) {
    if (chiave.isEmpty()) {
        MoveLast();
        return;
    }
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_MoveTo "), TitoloTQ03(), [&] {
        if (!PrimaDiMuovere())
            return; // the check has said why
        if (VaiAllaChiave(chiave, !spostato))
            return;
        // Saved, but the current condition leaves it out of the source: the
        // form says so and shows a record of the source, if any.
        MsgBox(GetMessage(QStringLiteral("TQ51")), MsgStyle::Exclamation,
               GetMessage(QStringLiteral("TQ02")));
        MostraRecordDellElenco();
    });
}

bool clsADONavigator::ComponiOAvvisa(ModoSalvataggio modo, TestiSalvataggio& testi) {
    testi = ComponiTestiSalvataggio(modo);
    if (testi.messaggio)
        MsgBox(testi.messaggio->testo, testi.messaggio->stile, testi.messaggio->titolo);
    return !testi.messaggio && VerificaConnessione();
}

namespace {

// Whether any of the names is among the columns.
bool Tra(const QStringList& colonne, const QStringList& nomi) {
    return std::any_of(nomi.begin(), nomi.end(),
                       [&](const QString& n) { return colonne.contains(n, Qt::CaseInsensitive); });
}

} // namespace

void clsADONavigator::Update() {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Update "), TitoloTQ03(), [&] {
        if (!InInserimentoOModifica(mState)) {
            DisabilitaInserimento(mContenitoreCaselle);
            return;
        }
        TestiSalvataggio testi;
        try {
            Salva(testi);
        } catch (const TessaroError& e) {
            // Told in the user's words, the typing stays for a correction.
            if (!SpiegaRifiuto(e, testi))
                throw;
        }
    });
}

bool clsADONavigator::SpiegaRifiuto(const TessaroError& e, const TestiSalvataggio& testi) {
    if (e.Number() != Err::StatementRejected && e.Number() != Err::ItemNotFound)
        return false;
    if (AvvisaColonneSparite(GetMessage(QStringLiteral("TQ77")))) {
        // A control of a column gone is read-only from now on.
        AbilitaInserimento(mContenitoreCaselle);
        return true;
    }
    if (e.Number() != Err::StatementRejected)
        return false;
    QString testo;
    switch (e.Reason()) {
    case Refusal::Duplicate:
        testo = GetMessage(QStringLiteral("TQ72"));
        break;
    case Refusal::Reference:
        // Changing a key that other rows refer to, or referring to a row that is not there.
        testo = GetMessage(QString::fromLatin1(testi.chiaveCambiata ? "TQ73" : "TQ74"));
        break;
    case Refusal::NotStored:
        testo = GetMessage(QStringLiteral("TQ76")) + QLatin1Char('\r') + e.Description();
        break;
    case Refusal::Other:
        return false;
    }
    qWarning().noquote() << "ClsAdoNavigator_Metodo_Update refused:" << e.Description();
    MsgBox(testo, MsgStyle::Exclamation, GetMessage(QStringLiteral("TQ02")));
    return true;
}

bool clsADONavigator::Selezionato(const QString& chiave) {
    const auto valore = ChiaveDaTesto(chiave);
    return !chiave.isEmpty() && valore && SorgenteAggiornata().Contiene(*valore);
}

void clsADONavigator::Salva(TestiSalvataggio& testi) {
    SorgenteRecord::Scrittura scrittura(SorgenteAggiornata());
    if (mState == StatoNavigatore::ModificaRecord) {
        if (!ComponiOAvvisa(ModoSalvataggio::Modifica, testi))
            return;
        switch (ScriviModifica(testi.statement)) {
        case EsitoModifica::InModifica:
            return; // the typing stays for the user to go on with
        case EsitoModifica::Salvato: {
            const QString chiave =
                testi.testoChiave.isEmpty() ? TestoChiave(mChiaveCaricata) : testi.testoChiave;
            // Nothing changed: nothing was written, and editing ends all the same.
            if (!testi.statement.isEmpty()) {
                // A record the condition no longer selects has left the source.
                scrittura.Fatta(Selezionato(chiave) ? 0 : -1);
                Solleva([](NavigatorEvents& ev) { ev.AfterUpdate(); });
            }
            MostraSalvato(chiave, Tra(testi.scritte, QStringList(mCampiChiave) << mOrderField));
            DisabilitaInserimento(mContenitoreCaselle);
            return;
        }
        case EsitoModifica::Scartato: // theirs: the record as it is now
            RicaricaRecord();
            DisabilitaInserimento(mContenitoreCaselle);
            return;
        case EsitoModifica::ComeNuovo: // gone: what was typed becomes a new record
            break;
        }
    }
    if (!ComponiOAvvisa(ModoSalvataggio::Inserimento, testi))
        return;
    const qint64 scritte = EseguiScrittura(testi.statement);
    // A key left to the database: the one it generated for this statement.
    QString chiave = testi.testoChiave;
    if (chiave.isEmpty() && mCampiChiave.size() == 1 &&
        (GruppoDi(mTipoChiave) == GruppoColonna::Intero || Dialect().ChiaveRestituita))
        chiave = ValueToText(mConnessione->LastInsertId());
    scrittura.Fatta(scritte == 1 && Selezionato(chiave) ? 1 : 0);
    if (scritte == 1)
        Solleva([](NavigatorEvents& ev) { ev.AfterInsert(); });
    mState = StatoNavigatore::UltimoRecord;
    FillComboConOfForm();
    MostraSalvato(chiave, true);
    DisabilitaInserimento(mContenitoreCaselle);
}

} // namespace tessaro
