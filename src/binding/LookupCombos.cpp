#include "binding/ComboSql.h"
#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

namespace tessaro {

namespace {

// Keys in row order, one per row, from the key column (the first one when none
// is known); a Null key (a row no record can refer to) is a null text.
void CaricaChiavi(ChiaviCombo& voce, Recordset& rs) {
    voce.Chiavi.assign(static_cast<std::size_t>(rs.RecordCount()), QString());
    if (rs.Bof() && rs.Eof())
        return;
    const Fields f = rs.Fields();
    const int colonna = voce.CampoChiave.isEmpty() ? 0 : rs.ColumnIndex(voce.CampoChiave);
    if (colonna < 0)
        TessaroError::Raise(Err::ItemNotFound, voce.CampoChiave);
    std::size_t i = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext(), ++i)
        voce.Chiavi[i] = ValueToText(f.Item(colonna).Value());
}

void ApriInLettura(Recordset& rs, const QString& sql, Connection* conn, int opzioni) {
    if (!conn)
        TessaroError::Raise(Err::ObjectNotSet);
    rs.Open(sql, conn, adOpenStatic, adLockReadOnly, opzioni);
}

} // namespace

ChiaviCombo* clsADONavigator::TrovaChiaviCombo(const QString& name) {
    for (auto& voce : mChiaviCombo)
        if (voce.Name == name)
            return &voce;
    return nullptr;
}

QString clsADONavigator::CondizioneCombo(const ComboBox& ctl) const {
    // Only a new record is restricted by the condition; browsing lists every row.
    return mState == StatoNavigatore::NuovoRecord ? ctl.DataField() : QString();
}

void clsADONavigator::FillCombo(ComboBox& ctl) {
    RiempiComboCondizionata(ctl, CondizioneCombo(ctl));
}

bool clsADONavigator::RiempiComboCondizionata(ComboBox& ctl, const QString& condizione) {
    const Legame& legame = LegameDi(ctl);
    if (!legame.Legato()) // a Tag without the prefix names no column
        TessaroError::Raise(Err::SubscriptOutOfRange);
    if (legame.colonna.trimmed().isEmpty())
        return false;
    if (legame.nonValido) {
        MsgBox(GetMessage(QStringLiteral("TQ26")) + QLatin1Char(' ') + ctl.Name() +
                   QLatin1Char(' ') + GetMessage(QStringLiteral("TQ27")),
               MsgStyle::Exclamation, GetMessage(QStringLiteral("TQ02")));
        return false;
    }
    const LinkTabella* link = LinkDelCampo(legame.colonna);
    // Without a link the statement has no table and the database refuses it.
    const QString tabella = link ? TabellaSql(*link) : QString();
    Legame scritto = legame;
    if (link)
        for (QString& colonna : scritto.colonneVoce)
            colonna = ColonnaCollegataSql(*link, colonna);
    const ElencoCombo elenco = StatementElencoCombo(scritto, tabella, condizione);
    Recordset rs;
    ApriInLettura(rs, elenco.Sql, mConnessione, adCmdUnspecified);
    if (elenco.MultiColonna)
        RiempiComboConRecordset(ctl, rs, legame.separatori);
    else
        FillComboWhitRecordset(ctl, rs, QString(), 2);
    rs.Close();
    // The key is the column the link refers to, not whichever comes first.
    ChiaviCombo* voce = TrovaChiaviCombo(ctl.Name());
    if (!voce) {
        mChiaviCombo.push_back(ChiaviCombo{ctl.Name(), {}, elenco.Ordinamento, std::nullopt, {}});
        voce = &mChiaviCombo.back();
    }
    voce->CampoChiave = link ? link->CampoTabellaCollegata : QString();
    RiempiArrayChiaviPrimarieCombo(ctl, tabella, elenco.Ordinamento, condizione);
    return true;
}

void clsADONavigator::FillComboOfForm() {
    Riporta(QStringLiteral("ClsAdoNavigator_FillComboOfForm "), TitoloTQ03(), [&] {
        PercorriControlli(mContenitoreCaselle, [this](Control& c) {
            if (c.IsComboBox() && !c.Tag().isEmpty())
                FillCombo(AsComboBox(c));
        });
    });
}

void clsADONavigator::FillComboConOfForm() {
    Riporta(QStringLiteral("ClsAdoNavigator_FillComboConOfForm "), TitoloTQ03(), [&] {
        PercorriControlli(mContenitoreCaselle, [this](Control& c) {
            if (c.IsComboBox() && !AsComboBox(c).DataField().isEmpty())
                FillCombo(AsComboBox(c));
        });
    });
}

void clsADONavigator::VerificaComboConOfForm() {
    Riporta(QStringLiteral("ClsAdoNavigator_VerificaComboConOfForm "), TitoloTQ03(), [&] {
        PercorriControlli(mContenitoreCaselle, [this](Control& c) {
            if (c.IsComboBox() && !AsComboBox(c).DataField().isEmpty())
                RimuoviDisabilitatiDaCombo(AsComboBox(c));
        });
    });
}

void clsADONavigator::RimuoviDisabilitatiDaCombo(ComboBox& ctl) {
    Riporta(
        QStringLiteral("ClsAdoNavigator_RimuoviDisabilitatiDaCombo "), TitoloTQ03(),
        [&] {
            // The item is found again by its key: two lookup rows may share a text.
            const QString mostrato = LetturaControllo(ctl);
            if (!RiempiComboCondizionata(ctl, ctl.DataField()))
                return;
            const ChiaviCombo* voce = TrovaChiaviCombo(ctl.Name());
            for (std::size_t i = 0; i < voce->Chiavi.size(); ++i) {
                if (QLatin1Char('K') + voce->Chiavi[i] == mostrato) {
                    ctl.SetListIndex(static_cast<int>(i));
                    return;
                }
            }
            // A row the condition leaves out is not offered to a new record.
            if (mostrato.startsWith(QLatin1Char('K')) && !voce->ChiaveFuoriElenco)
                ctl.SetText(QString());
        },
        Impaginazione::DueSpazi);
}

void clsADONavigator::FillComboWhitRecordset(ComboBox& Combo, Recordset& rs, const QString& Campo,
                                             long Indice) {
    Riporta(QStringLiteral("ClsAdoNavigator_FillComboWhitRecordset "), TitoloTQ03(), [&] {
        Combo.ResetList();
        if (!Campo.isEmpty() && Indice != 0) {
            MsgBox(GetMessage(QStringLiteral("TQ25")), MsgStyle::OkOnly,
                   GetMessage(QStringLiteral("TQ03")));
            return;
        }
        if (rs.Bof() && rs.Eof())
            return;
        const Fields f = rs.Fields();
        const int colonna = Indice > 0 ? static_cast<int>(Indice - 1) : 1;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            const QVariant valore =
                Campo.isEmpty() ? f.Item(colonna).Value() : f.Item(Campo).Value();
            Combo.AddItem(ValueToText(valore)); // a Null is an empty item
        }
    });
}

void clsADONavigator::RiempiComboConRecordset(ComboBox& Combo, Recordset& rs,
                                              const QStringList& Separatori) {
    Riporta(QStringLiteral("ClsAdoNavigator_RiempiComboConRecordset "), TitoloTQ03(), [&] {
        Combo.ResetList();
        if (rs.Bof() && rs.Eof())
            return;
        const Fields f = rs.Fields();
        const int colonne = f.Count();
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            QString voce;
            // A Null column contributes an empty piece.
            for (int k = 0; k < colonne; ++k)
                voce += ValueToText(f.Item(k).Value()) + Separatori.value(k);
            Combo.AddItem(voce);
        }
    });
}

void clsADONavigator::RiempiArrayChiaviPrimarieCombo(ComboBox& Combo, const QString& Tabella,
                                                     const QString& Ordinamento,
                                                     const QString& Filtro) {
    Riporta(QStringLiteral("ClsAdoNavigator_RiempiArrayChiaviPrimarieCombo "), TitoloTQ03(), [&] {
        Recordset rs;
        ApriInLettura(rs, StatementChiaviCombo(Tabella, Ordinamento, Filtro), mConnessione,
                      adCmdText);
        ChiaviCombo* voce = TrovaChiaviCombo(Combo.Name());
        if (!voce) {
            mChiaviCombo.push_back(ChiaviCombo{Combo.Name(), {}, Ordinamento, std::nullopt, {}});
            voce = &mChiaviCombo.back();
        }
        CaricaChiavi(*voce, rs);
    });
}

void clsADONavigator::AggiornaChiaviPrimarieCombo(ComboBox& Combo, const QString& Nometabella) {
    ChiaviCombo* voce = TrovaChiaviCombo(Combo.Name());
    if (!voce)
        TessaroError::Raise(Err::SubscriptOutOfRange);
    // The same condition as the items, so that key j still describes item j.
    Recordset rs;
    ApriInLettura(rs, StatementChiaviCombo(Nometabella, voce->Ordinamento, CondizioneCombo(Combo)),
                  mConnessione, adCmdText);
    CaricaChiavi(*voce, rs);
}

void clsADONavigator::SincronizzaTabelleComboItem(ComboBox& Combo) {
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_SincronizzaTabelleComboItem "), TitoloTQ03(),
            [&] {
                const int indice = Combo.ListIndex();
                if (indice == -1)
                    return;
                const Legame& legame = LegameDi(Combo);
                if (!legame.Legato())
                    TessaroError::Raise(Err::SubscriptOutOfRange);
                const QString& campo = legame.colonna;
                const LinkTabella* link = LinkDelCampo(campo);
                const ChiaviCombo* voce = TrovaChiaviCombo(Combo.Name());
                if (!link || !voce || indice < 0 ||
                    static_cast<std::size_t>(indice) >= voce->Chiavi.size())
                    TessaroError::Raise(Err::SubscriptOutOfRange);
                const QString& chiave = voce->Chiavi[static_cast<std::size_t>(indice)];
                Recordset riga;
                ApriInLettura(riga,
                              StatementRigaCombo(TabellaSql(*link), CampoCollegatoSql(*link),
                                                 Dialect().EscapeTesto(chiave)),
                              mConnessione, adCmdText);
                const Fields f = riga.Fields();
                PercorriControlli(mContenitoreCaselle, [&](Control& c) {
                    if (!c.IsTextBox())
                        return;
                    const Legame& suo = LegameDi(c);
                    if (!suo.Legato() || suo.colonna != campo)
                        return;
                    AsTextBox(c).SetText(
                        ValueToText(f.Item(SenzaTabella(suo.ColonnaMostrata())).Value()));
                });
            });
}

} // namespace tessaro
