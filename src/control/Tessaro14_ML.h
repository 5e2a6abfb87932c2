#pragma once

// The record-navigator control that a host form places once: a fixed-size strip
// with the toolbar ToolbarMoveRecord and the record-number box txtNumRec. The
// host registers each container of bound controls as a data source; the control
// keeps one clsADONavigator per source, drives the active one from the toolbar
// and its methods, and relays that navigator's events (see Events()).
//
// Toolbar positions 1-8 are the scrolling part ("Primo", "Precedente", the place
// of the record-number box, "Successivo", "Ultimo", three blank spacers), 9-15 the
// commands ("Nuovo", "Modifica", "Salva", "Elimina", "Annulla", "Duplica",
// "Stampa"). A button's key is its QAction's objectName; each command has a
// window-wide shortcut on its QAction (see Scorciatoia).
//
// Everything runs on the user-interface thread, and event handlers of the host
// run inside the operation that raises them.

#include "control/CollezioneChiavi.h"
#include "control/Tessaro14_MLEvents.h"
#include "engine/StatoNavigatore.h"

#include <QKeySequence>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QLineEdit;
class QToolBar;

namespace tessaro {

class Annunciatore;
class clsADONavigator;
class ComboBox;
class Connection;
class Control;
class BarraPulsanti;

// The lookup table named in a combo box's Tag: the text after the first
// character of the first occurrence of the prefix (the whole Tag when the prefix
// is empty or missing), split at U+00B8; the second of at least three fields.
// Empty when the combo takes no part in the refills.
std::optional<QString> TabellaDiRicercaDelCombo(const QString& Tag, const QString& InitCharTag);

// The text of a message box's button in the current language (Yes, No, Cancel
// and OK by their MsgAnswer), or empty where the language file has none, for
// Qt's own translated text. The control's message boxes take their buttons
// from here.
QString TestoPulsanteMessaggio(int risposta);

class Tessaro14_ML : public QWidget {
    Q_OBJECT
    // The design-time settings, for the property editor and .ui files. Set
    // through these properties (setX, as uic and QUiLoader do) they never raise:
    // before the first AddFonteDati the control keeps them, and every source
    // registered later receives them. The methods of the same names keep
    // their own rules. ConsultazioneEnabled comes before the three flags it
    // sets, so that a form may enable one of them again after it.
    Q_PROPERTY(TipoDb TipoDatabase READ TipoDatabaseProprieta WRITE setTipoDatabase NOTIFY
                   TipoDatabaseChanged)
    Q_PROPERTY(QString InitCharTag READ InitCharTag WRITE setInitCharTag NOTIFY InitCharTagChanged)
    Q_PROPERTY(bool ScorrimentoDisabilitato READ ScorrimentoDisabilitato WRITE
                   setScorrimentoDisabilitato NOTIFY ScorrimentoDisabilitatoChanged)
    Q_PROPERTY(bool ConsultazioneEnabled READ ConsultazioneEnabled WRITE setConsultazioneEnabled
                   NOTIFY ConsultazioneEnabledChanged)
    Q_PROPERTY(bool NuovoEnabled READ NuovoEnabled WRITE setNuovoEnabled NOTIFY NuovoEnabledChanged)
    Q_PROPERTY(bool ModificaEnabled READ ModificaEnabled WRITE setModificaEnabled NOTIFY
                   ModificaEnabledChanged)
    Q_PROPERTY(bool EliminaEnabled READ EliminaEnabled WRITE setEliminaEnabled NOTIFY
                   EliminaEnabledChanged)
    Q_PROPERTY(bool DuplicaEnabled READ DuplicaEnabled WRITE setDuplicaEnabled NOTIFY
                   DuplicaEnabledChanged)
    Q_PROPERTY(bool TastiScorrimentoEnabled READ TastiScorrimentoEnabled WRITE
                   setTastiScorrimentoEnabled NOTIFY TastiScorrimentoEnabledChanged)
    Q_PROPERTY(
        bool MessaggioConfermaNuovoDisabilitato READ MessaggioConfermaNuovoDisabilitato WRITE
            setMessaggioConfermaNuovoDisabilitato NOTIFY MessaggioConfermaNuovoDisabilitatoChanged)
    Q_PROPERTY(
        bool MessaggioConfermaClonaDisabilitato READ MessaggioConfermaClonaDisabilitato WRITE
            setMessaggioConfermaClonaDisabilitato NOTIFY MessaggioConfermaClonaDisabilitatoChanged)
    Q_PROPERTY(bool MessaggioConfermaEliminaDisabilitato READ MessaggioConfermaEliminaDisabilitato
                   WRITE setMessaggioConfermaEliminaDisabilitato NOTIFY
                       MessaggioConfermaEliminaDisabilitatoChanged)

public:
    // The database kinds, by the numbers TipoDatabase takes.
    enum TipoDb : int { Access = 0, SqlServer = 1, MySql = 2, Sqlite = 4, PostgreSql = 5 };
    Q_ENUM(TipoDb)

    using Registro = CollezioneChiavi<std::shared_ptr<clsADONavigator>>;
    using FormCaricate = CollezioneChiavi<QPointer<QWidget>>;

    // Number of toolbar positions and of the scrolling ones among them.
    static constexpr int kPosizioni = 15;
    static constexpr int kPosizioniScorrimento = 8;

    explicit Tessaro14_ML(QWidget* parent = nullptr);
    ~Tessaro14_ML() override;

    // --- the control's interface, in its order ------------------------------
    // Permission flags: stored for the button refresh and applied to the button.
    void NuovoEnabled(bool value);
    void ModificaEnabled(bool value);
    void EliminaEnabled(bool value);
    void DuplicaEnabled(bool value);
    void TastiScorrimentoEnabled(bool value);
    void ConsultazioneEnabled(bool value);
    QString ContenitoreName() const { return mContenitoreName; }
    // These reach into the active navigator: with none the value is stored and
    // TessaroError(ObjectNotSet) reaches the caller.
    void MessaggioConfermaNuovoDisabilitato(bool value);
    void MessaggioConfermaClonaDisabilitato(bool value);
    void MessaggioConfermaEliminaDisabilitato(bool value);
    void InitCharTag(const QString& value);
    short State() const;
    QString Condizione() const;
    int TipoDatabase() const { return mTipoDatabase; }
    void TipoDatabase(int value);
    short ScorrimentoDisabilitato() const { return mScorrimentoDisabilitato; }
    // Stores -1 for any non-zero value; hides positions 1-8 and narrows the control.
    void ScorrimentoDisabilitato(short value);
    void ClearLoadedFormsSet();
    void AddInLoadedFormsSet(QWidget* frm);
    bool AddFonteDati(Connection* TheConnection, const QString& TableName, QWidget* Container,
                      const QString& OrderField, const std::vector<QString>& ArrayOfLink,
                      const QString& SecondaParteDelNomeControllo = QString(),
                      const QString& InitCharOfTag = QString(),
                      const QString& Condizione = QString());
    void SetFonteDatiAttiva(const QString& ContainerName);
    // False only when the source stays: the user cancelled, or asked to save
    // and the record could not be saved.
    bool RemoveFonteDati(const QString& ContainerName);
    void SincronizzaTabelleCombo(QComboBox* mCombo);
    void UpdateCombo();
    void RefreshCombo(const QString& Contenitore, QComboBox* cmb);
    void Addnew();
    void Update();
    void Edit();
    void Delete();
    void MoveTo(const QString& PrimaryKey);
    void ImpostaCondizione(const QString& Condizione);
    void Enabled(bool abilitata);
    void Annulla();
    // Switches the language folder and relabels the tooltips and accessible
    // texts; a missing settings file reaches the caller as TessaroError(FileNotFound).
    void CambiaLingua(const QString& PercorsoFileLingua);
    // The keyboard shortcut of a button by key; an empty sequence clears it.
    // Tooltips and accessible descriptions follow.
    void Scorciatoia(const QString& key, const QKeySequence& tasti);
    QKeySequence Scorciatoia(const QString& key) const;

    // --- the properties' other halves -----------------------------------------
    bool NuovoEnabled() const { return mNuovoEnabled; }
    bool ModificaEnabled() const { return mModificaEnabled; }
    bool EliminaEnabled() const { return mEliminaEnabled; }
    bool DuplicaEnabled() const { return mDuplicaEnabled; }
    bool TastiScorrimentoEnabled() const { return mTastiScorrimentoEnabled; }
    bool ConsultazioneEnabled() const { return mConsultazioneEnabled; }
    bool MessaggioConfermaNuovoDisabilitato() const { return mMessaggioConfermaNuovoDisabilitato; }
    bool MessaggioConfermaClonaDisabilitato() const { return mMessaggioConfermaClonaDisabilitato; }
    bool MessaggioConfermaEliminaDisabilitato() const {
        return mMessaggioConfermaEliminaDisabilitato;
    }
    QString InitCharTag() const { return mInitCharTag; }
    TipoDb TipoDatabaseProprieta() const { return static_cast<TipoDb>(mTipoDatabase); }
    void setNuovoEnabled(bool value) { NuovoEnabled(value); }
    void setModificaEnabled(bool value) { ModificaEnabled(value); }
    void setEliminaEnabled(bool value) { EliminaEnabled(value); }
    void setDuplicaEnabled(bool value) { DuplicaEnabled(value); }
    void setTastiScorrimentoEnabled(bool value) { TastiScorrimentoEnabled(value); }
    void setConsultazioneEnabled(bool value) { ConsultazioneEnabled(value); }
    void setMessaggioConfermaNuovoDisabilitato(bool value);
    void setMessaggioConfermaClonaDisabilitato(bool value);
    void setMessaggioConfermaEliminaDisabilitato(bool value);
    void setInitCharTag(const QString& value);
    void setTipoDatabase(TipoDb value);
    void setScorrimentoDisabilitato(bool value);

    // --- events and read access ----------------------------------------------
    Tessaro14_MLEvents* Events() const { return mEvents; }
    // The active navigator, or nullptr.
    clsADONavigator* FonteDati() const { return mFonteDati.get(); }
    const Registro& FontiDati() const { return mFontiDati; }
    const FormCaricate& LoadedForms() const { return mLoadedForms; }

    // Toolbar button by position (1-15) or by key; anything else raises
    // SubscriptOutOfRange.
    QAction* Button(int position) const;
    QAction* Button(const QString& key) const;
    QToolBar* ToolbarMoveRecord() const;
    QLineEdit* txtNumRec() const { return mTxtNumRec; }

    // Recomputes the buttons and the record-number box from the active
    // navigator's state and the permission flags.
    void AggiornaStatoPulsanti();
    // Shows a count that came back after the move it belongs to.
    void AggiornaContatore();

signals:
    void TipoDatabaseChanged(tessaro::Tessaro14_ML::TipoDb value);
    void InitCharTagChanged(const QString& value);
    void ScorrimentoDisabilitatoChanged(bool value);
    void ConsultazioneEnabledChanged(bool value);
    void NuovoEnabledChanged(bool value);
    void ModificaEnabledChanged(bool value);
    void EliminaEnabledChanged(bool value);
    void DuplicaEnabledChanged(bool value);
    void TastiScorrimentoEnabledChanged(bool value);
    void MessaggioConfermaNuovoDisabilitatoChanged(bool value);
    void MessaggioConfermaClonaDisabilitatoChanged(bool value);
    void MessaggioConfermaEliminaDisabilitatoChanged(bool value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool CedeTasto(QObject* watched, QKeyEvent* e) const;
    class Relay;

    void CreaPulsanti();
    void AggiungiPulsante(const QString& key, const QString& icona, const QString& tooltip,
                          const QKeySequence& tasti, int larghezza);
    void AggiungiSpaziatore();
    void AggiungiCasella(int larghezza);
    void AggiornaTesti();
    void Annuncia(const QString& testo);
    void AnnunciaDopoComando(const QString& testo, bool eraAttiva);
    void PronunciaRimandato();
    void Inizializza();
    // A command from the toolbar or a shortcut: the toolbar is off while it
    // runs, and the focus ends where it started unless the command's handlers
    // placed it (see RimettiFuoco).
    template <typename F> void Comando(F&& f);
    void RimettiFuoco(QWidget* prima);
    // The first field of the active source's container that takes the focus.
    QWidget* PrimoCampo() const;
    void ApplicaScorrimento();
    void ApplicaLayout();

    // What the properties gave for every source (see the Q_PROPERTY block).
    enum DaProprieta : unsigned {
        kConfermaNuovo = 1,
        kConfermaClona = 2,
        kConfermaElimina = 4,
        kPrefisso = 8,
    };
    using Conferma = bool clsADONavigator::*;
    // Stores a confirmation flag and tells it; through the property it waits for
    // a source, else the active one takes it (ObjectNotSet without one).
    void ImpostaConferma(bool& mio, Conferma suo, void (Tessaro14_ML::*cambiato)(bool),
                         DaProprieta bit, bool value, bool daProprieta);
    void MemorizzaInitCharTag(const QString& value);
    void MemorizzaTipoDatabase(int value);
    void MemorizzaScorrimento(short value);
    void ApplicaProprieta(clsADONavigator& nav) const;

    void RendiAttiva(std::shared_ptr<clsADONavigator> nav);
    void Disattiva();
    // The active navigator; raises ObjectNotSet when there is none.
    std::shared_ptr<clsADONavigator> Attiva() const;
    void RimuoviFonte(const QString& ContainerName);

    void ToolbarMoveRecord_ButtonClick(QAction* Button);
    void EseguiComando(const QString& key);
    bool ChiediInserimento();
    bool ChiediSalvataggio();

    void StatoPulsanti(StatoNavigatore stato);
    void ImpostaTutti(bool value);
    void ImpostaScorrimento(bool primoPrecedente, bool successivoUltimo);
    void ImpostaCasella(const QString& testo, bool locked);
    // Locks the record-number box, with the look of a read-only field.
    void BloccaCasella(bool locked);
    void AnnunciaStato(StatoNavigatore stato);
    // A browsing state that its position and count contradict is put right.
    StatoNavigatore StatoVero(StatoNavigatore stato);
    // "n di N", marked while the count is pending: with "*", or in words
    // for a screen reader.
    QString Contatore(bool parlato = false) const;

    void txtNumRec_GotFocus();
    void txtNumRec_KeyPress(int KeyAscii);
    void VaiAlNumero(const QString& testo);

    void Ricarica(ComboBox& cmb, const QString& fonte, const QString& tabella);
    void RicaricaSeDellaTabella(Control& c, const QString& fonte, const QString& tabella);

    Tessaro14_MLEvents* mEvents;
    std::unique_ptr<Relay> mRelay;
    BarraPulsanti* mToolbar = nullptr;
    QLineEdit* mTxtNumRec = nullptr;
    std::array<QAction*, kPosizioni> mPulsanti{};
    // What the box showed last, so that Enter on it moves nowhere.
    QString mTestoCasella;
    // A click that gives the box the focus selects its whole text.
    bool mSelezionaAlRilascio = false;
    Annunciatore* mAnnunciatore = nullptr;
    // What was announced last, so that only changes are spoken.
    QString mUltimoAnnuncio;
    // Within a toolbar command: the announcement waits for the focus to settle,
    // and a focus given by the command's handlers stays where they put it.
    bool mInComando = false;
    bool mFuocoSpostato = false;
    std::optional<QString> mAnnuncioInAttesa;
    // Waiting for the window to be active again (see AnnunciaDopoComando).
    std::optional<QString> mDopoAttivazione;

    bool mNuovoEnabled = false;
    bool mModificaEnabled = false;
    bool mEliminaEnabled = false;
    bool mDuplicaEnabled = false;
    bool mTastiScorrimentoEnabled = false;
    bool mConsultazioneEnabled = false;
    QString mContenitoreName;
    bool mMessaggioConfermaNuovoDisabilitato = false;
    bool mMessaggioConfermaClonaDisabilitato = false;
    bool mMessaggioConfermaEliminaDisabilitato = false;
    int mTipoDatabase = 0;
    short mScorrimentoDisabilitato = 0;
    QString mInitCharTag;
    unsigned mDaProprieta = 0;

    // Shared so that a source that could not be registered stays alive while
    // it is active, and a command keeps its navigator alive to its end.
    std::shared_ptr<clsADONavigator> mFonteDati;
    Registro mFontiDati;
    FormCaricate mLoadedForms;
};

} // namespace tessaro
