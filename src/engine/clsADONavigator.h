#pragma once

// The data-source engine: one navigator per registered container of bound
// controls and per primary table. Its member functions live in the folder of
// their concern: engine/ (set-up, key list, navigation, connection check),
// binding/ (showing, control states, lookup combos, printing) and editing/
// (edit modes, saving, deleting, literals).

#include "data/Database.h"
#include "editing/Salvataggio.h"
#include "engine/Legame.h"
#include "engine/NavigatorEvents.h"
#include "engine/SorgenteRecord.h"
#include "engine/StatoNavigatore.h"
#include "engine/TabelleCollegate.h"
#include "engine/collTabellaPrincipale.h"
#include "host/HostForm.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace tessaro {

struct Dialetto;
class Titolo;
struct TestiSalvataggio;
enum class ModoSalvataggio;

// One linked table.
struct LinkTabella {
    QString TabellaCollegata;       // the linked (referenced) table
    QString CampoTabellaPrincipale; // the primary table's column holding the reference
    QString CampoTabellaCollegata;  // the key column of the linked table
    // The names are the database's own (a foreign key it declares), not a host's.
    bool DalloSchema = false;
};

// The key list of one lookup combo.
struct ChiaviCombo {
    QString Name;                // the combo's Name
    std::vector<QString> Chiavi; // keys in item order, one per item
    QString Ordinamento;         // ORDER BY text of the first fill
    // The record's key when no item has it (no lookup row): no item shows, and
    // a save keeps this key unless the user picks an item.
    std::optional<QString> ChiaveFuoriElenco;
    // The lookup table's column that holds the keys: the one the link refers
    // to; the first column when empty.
    QString CampoChiave;
};

class clsADONavigator {
public:
    clsADONavigator();
    ~clsADONavigator();
    clsADONavigator(const clsADONavigator&) = delete;
    clsADONavigator& operator=(const clsADONavigator&) = delete;

    // Public fields, in declaration order.
    bool AddnewEnabled = true;
    bool UpdateEnabled = true;
    bool DeleteEnabled = true;
    bool CloneEnabled = true;
    int TipoDatabase = 0;
    short ScorrimentoDisabilitato = 0;
    bool MessaggioConfermaNuovoDisabilitato = false;
    bool MessaggioConfermaClonaDisabilitato = false;
    bool MessaggioConfermaEliminaDisabilitato = false;
    QString mCondizione;

    // The current record with all its columns. The records themselves are
    // reached through the record source, a step at a time.
    std::shared_ptr<Recordset> TheFullData;

    // Where events go; set by the control on the active navigator only.
    void SetEventSink(NavigatorEvents* sink) { mEventi = sink; }
    NavigatorEvents* EventSink() const { return mEventi; }

    // --- set-up (engine) ---------------------------------------------------
    // ArrayOfLink is read from index 1 in triples; its upper bound is size()-1.
    // ArrayLink() then holds the caller's links, then the schema's, from 0.
    bool Init_Class(Connection* TheConnection, const QString& TableName, HostObject* Container,
                    const QString& OrderField, const std::vector<QString>& ArrayOfLink,
                    const QString& InitCharOfTag, const QString& Condizione);
    void Unload();

    short ConnState() const;
    // The state as the number hosts read (0 before Init_Class has set one).
    short State() const { return static_cast<short>(mState); }
    StatoNavigatore Stato() const { return mState; }
    // Where the record shown stands among the source's records, as the move
    // that showed it found: first, last, the only one or in between.
    StatoNavigatore StatoDelRecord() const;
    void SetState(StatoNavigatore state) { mState = state; }
    QString PrimaryTableName() const { return mPrimaryTableName; }
    HostObject* ContenitoreCaselle() const;
    // -1 while unknown (the count is on its way).
    QVariant RecordCount() const;
    QVariant AbsolutePosition() const;
    // RecordCount and AbsolutePosition are not final yet: a count is under way.
    bool ConteggioInAttesa() const;
    // Waits, handling events, until the count is final; false after the time.
    bool AttendiConteggio(int millisecondi = 30000);
    const SorgenteRecord* Sorgente() const { return mSorgente.get(); }
    void InitCharTag(const QString& prefix) { mInitCharTag = prefix; }

    // --- record source and navigation (engine) -----------------------------
    // After the condition or the scrolling setting changed: the last record.
    void AggiornaTheData();
    // Checks the connection and what others changed; empties the form when
    // no record is left.
    void AggiornaArrayID();
    void MoveNext();
    void MovePrevious();
    void MoveFirst();
    void MoveLast();
    void MoveTo(const QString& PrimaryKey);
    void Move(long NumRecords);

    // --- showing and control states (binding) -------------------------------
    void ShowCurrentRecord();
    void SvuotaControlli();

    // --- lookup combos (binding) --------------------------------------------
    void FillCombo(ComboBox& ctl);
    void FillComboOfForm();
    void FillComboConOfForm();
    void VerificaComboConOfForm();
    void RimuoviDisabilitatiDaCombo(ComboBox& ctl);
    void AggiornaChiaviPrimarieCombo(ComboBox& Combo, const QString& Nometabella);
    void SincronizzaTabelleComboItem(ComboBox& Combo);

    // --- printing (binding) -------------------------------------------------
    void PrintForm();

    // --- edit modes, saving, deleting (editing) -----------------------------
    void Addnew();
    void Clone();
    void Edit();
    void Annulla();
    void Update();
    void Delete();
    QString FormatDateForMySql(const QDateTime& dData) const;

    // --- read access for the layers above and for tests ---------------------
    const collTabellaPrincipale* TabellaPrincipale() const { return mTabellaPrincipale.get(); }
    const std::vector<LinkTabella>& ArrayLink() const { return mArrayLink; }
    long NumeroLink() const { return static_cast<long>(mArrayLink.size()); }
    const std::vector<ChiaviCombo>& ArrayChiaviPrimarieCombo() const { return mChiaviCombo; }
    QString CampoChiave() const { return mCampoChiave; }
    // Every column of the primary key, in key order (one for most tables).
    QStringList CampiChiave() const { return mCampiChiave; }
    int TipoChiave() const { return mTipoChiave; }
    QString TabelleJoin() const { return mTabelleJoin; }
    // The primary table as statements write it: the name the database keeps,
    // quoted where the kind needs it.
    QString TabellaSql() const { return mTabellaSql; }
    // The last statement the record source read keys with.
    QString SqlElencoChiavi() const;
    QString SqlRecordCorrente() const {
        return mSqlRecordCorrente.isEmpty() && !mChiaveCaricata.isNull()
                   ? StatementRecord(mChiaveCaricata)
                   : mSqlRecordCorrente;
    }
    // The statement that reads one record with its linked tables.
    QString StatementRecord(const QVariant& chiave) const;
    // A key written as one text (TestoChiave): nothing when it names no key of the table.
    std::optional<QVariant> ChiaveDaTesto(const QString& testo) const;
    bool Inizializzato() const { return mInizializzato; }
    bool ElencoValido() const { return mElencoValido; }
    QString InitCharTagValue() const { return mInitCharTag; }
    Connection* Connessione() const { return mConnessione; }

    // --- shared helpers -----------------------------------------------------
    const Dialetto& Dialect() const;
    // What a control's Tag binds it to, parsed the first time a Tag is met
    // (and again only when the Tag or the prefix changes).
    const Legame& LegameDi(const Control& c) const;
    // The same for a Tag already read from the control.
    const Legame& LegameDi(const Control& c, const QString& tag) const;

    // The controls a walk covers: every control of a form, or the direct
    // children of a non-form container. In the container case a control that
    // fails with 438 is skipped, both in the selection and inside fn.
    void PercorriControlli(HostObject* contenitore, const std::function<void(Control&)>& fn) const;
    // Several passes over one enumeration of the same controls, in order.
    void PercorriControlli(HostObject* contenitore,
                           std::initializer_list<std::function<void(Control&)>> passate) const;

private:
    friend class NavigatorTestAccess;

    // engine
    // Init_Class without its failure box.
    bool Inizializza(Connection* TheConnection, const QString& TableName, HostObject* Container,
                     const QString& OrderField, const std::vector<QString>& ArrayOfLink,
                     const QString& InitCharOfTag, const QString& Condizione);
    // Shows why the table cannot be set up (a message key naming [[Tabella]]); false.
    bool ImpostazioneFallita(const char* causa) const;
    // A binding of a text box or check box as read against the table's columns.
    Legame SuColonna(Legame legame) const;
    // One warning in the log for every tag that names no column of the table.
    void AvvisaLegamiRifiutati() const;
    // A table name of the catalogue names the primary table.
    bool StessaTabella(const QString& nome) const;
    // The key and the columns of the primary table; false, with the message,
    // when there is no connection, no such table or no primary key.
    bool LeggiSchemaTabella();
    bool VerificaConnessione();
    void Riconnetti();
    // The record source, told what the records are now: the condition, the
    // kind and the scrolling setting are fields a host may change at any time.
    SorgenteRecord& SorgenteAggiornata();
    // The kind whose statements the source reads with: the connection's.
    int TipoDelleLetture() const;
    // A name the database keeps (a column, a table of a foreign key), as the
    // connection's kind writes it in statements.
    QString NomeSql(const QString& memorizzato) const;
    // A primary table's column a host names, as statements write it.
    QString CampoSql(const QString& nome) const;
    // The table of a catalogue row, with its schema where the host gave one.
    QString TabellaDellaRiga(const Fields& f) const;
    // A linked table and its key column as statements write them: the
    // database's names quoted where needed, a host's as given.
    QString TabellaSql(const LinkTabella& link) const;
    QString CampoCollegatoSql(const LinkTabella& link) const;
    // A column of a linked table that a host names (a combo's shown columns),
    // as statements write it: found among the table's columns where names are
    // quoted, else as the kind writes a host's name.
    QString ColonnaCollegataSql(const LinkTabella& link, const QString& nome);
    // The primary table's column of that name (as stored first, else ignoring
    // case); nullptr when it has none.
    std::shared_ptr<clsTabellaPrincipale> ColonnaDi(const QString& nome) const;
    // The record shown, as a step starts from it.
    Ancora AncoraCorrente() const;
    // Reads one record into TheFullData; false, leaving TheFullData as it was,
    // when the statement finds no row.
    bool LeggiRecord(const QVariant& chiave);
    // Takes the record a step has read already; false when it read none.
    bool MostraRecordLetto(const SorgenteRecord::Passo& passo);
    // The record of a key with its statement; nullptr when it finds no row.
    std::unique_ptr<Recordset> ApriRecord(const QVariant& chiave, QString& sql);
    // The key with the names and types of its columns.
    ChiaveRecord ChiaveDi(const QVariant& chiave) const;
    // Finds a record with the source and shows it, then the state it gives;
    // a record gone between the two reads is looked for again.
    using Trova = std::function<SorgenteRecord::Passo()>;
    using StatoDopo = std::function<StatoNavigatore(const SorgenteRecord::Passo&)>;
    void VaiEMostra(const Trova& trova, const StatoDopo& stato);
    void RecordNonTrovato() const;
    // Moves to and shows the record of a key; false, leaving the record shown
    // as it was, when the source has no such key. stessoPosto: the record shown,
    // saved without a change to its place in the order.
    bool VaiAllaChiave(const QString& chiave, bool stessoPosto = false);
    bool InizializzatoOAvvisa() const;
    void RicordaRecordCaricato(const QVariant& chiave, bool primo, bool ultimo);
    // Set up, and the connection answers.
    bool PrimaDiMuovere();
    void Muovi(const QString& etichetta, const Titolo& titolo, const Trova& trova,
               const StatoDopo& stato);
    bool LinkDelChiamante(const std::vector<QString>& ArrayOfLink);
    void LinkDelloSchema(Recordset& chiaviEsterne);
    // Reads the primary table's columns into colonne (and the key's type).
    void ColonneDelloSchema(collTabellaPrincipale& colonne);
    // Reads the columns again after a statement missed one; when some are gone
    // (another user renamed or dropped them) the form works on the columns now
    // there and says which are gone, followed by `seguito` when given. False
    // when none is gone or the schema cannot be read.
    bool AvvisaColonneSparite(const QString& seguito = QString());
    void CalcolaJoin();
    void PreparaStatementRecord();

    // binding
    QVariant ValoreDelLegame(const Legame& legame) const;
    void MostraCombo(ComboBox& cb, const Legame& legame);
    // The condition a combo's list is filled with: its DataField for a new record.
    QString CondizioneCombo(const ComboBox& ctl) const;
    static void SvuotaControllo(Control& c);
    void AbilitaInserimento(HostObject* Contenitore);
    void DisabilitaInserimento(HostObject* Contenitore);
    // Opens (aperto) the controls whose value a save writes, locks every other
    // bound one; closes them all otherwise.
    void ImpostaInserimento(HostObject* Contenitore, bool aperto, const QString& etichetta);
    void PulisciControlli(HostObject* Contenitore);
    void RiempiComboConRecordset(ComboBox& Combo, Recordset& rs, const QStringList& Separatori);
    void FillComboWhitRecordset(ComboBox& Combo, Recordset& rs, const QString& Campo, long Indice);
    void RiempiArrayChiaviPrimarieCombo(ComboBox& Combo, const QString& Tabella,
                                        const QString& Ordinamento, const QString& Filtro);
    ChiaviCombo* TrovaChiaviCombo(const QString& name);
    const LinkTabella* LinkDelCampo(const QString& campo) const;
    // FillCombo with a given condition; false when the combo was left as it was.
    bool RiempiComboCondizionata(ComboBox& ctl, const QString& condizione);

    // editing
    QString FormatDateForSql(const QDateTime& dData) const;
    QString FormatDateForSqlServer(const QDateTime& dData) const;
    QString FormatTextForSql(const QString& Testo) const;
    // A transaction of the navigator's own (a savepoint inside the host's),
    // rolled back unless confirmed.
    class Transazione {
    public:
        explicit Transazione(Connection& connessione);
        ~Transazione();
        Transazione(const Transazione&) = delete;
        Transazione& operator=(const Transazione&) = delete;
        void Conferma();
        void Annulla() noexcept;

    private:
        Connection& mConnessione;
        bool mAperta = false;
        // Inside the host's transaction: a savepoint of it.
        bool mDentroAltra = false;
    };
    enum class Verifica { Invariato, Cambiato, Eliminato };
    enum class EsitoModifica { Salvato, Scartato, InModifica, ComeNuovo };
    // The read of the loaded row that checks it before a write, locking it where
    // the kind can.
    QString StatementRilettura() const;
    QVariant ValoreCaricato(const QString& colonna) const;
    // Whether the row still holds what was loaded, in the columns the form shows.
    Verifica VerificaRecord() const;
    // The host's answer through WriteConflict, or the user's through the box.
    int ChiediConflitto(bool eliminato);
    // Runs a write of this navigator and returns the rows it wrote.
    qint64 EseguiScrittura(const QString& statement);
    // Runs an UPDATE or a DELETE that must write exactly one row.
    void EseguiUnaRiga(const QString& statement);
    // The checked UPDATE of an edited record (empty: nothing changed).
    EsitoModifica ScriviModifica(const QString& statement);
    // The primary table's columns that a bound control serves.
    QStringList ColonneServite() const;
    // A column of the primary table and the control a save reads it from.
    struct ColonnaLegata {
        std::shared_ptr<clsTabellaPrincipale> colonna;
        Control* controllo;
    };
    // The columns that a control serves, in the order of the column metadata:
    // the first combo of a column, else its first text box or check box.
    std::vector<ColonnaLegata> ColonneLegate() const;
    // Whether a save writes this column from its control: a key the user types
    // in a new record, never one the database numbers; any key when the control
    // carries the property ChiaveModificabile (the host's choice).
    static bool Scrivibile(const clsTabellaPrincipale& colonna, const Control& controllo,
                           bool nuovo);
    // Saves the record (the body of Update).
    void Salva(TestiSalvataggio& testi);
    // Tells, in the user's words, why the database refused the save; false for
    // a failure it cannot explain.
    bool SpiegaRifiuto(const TessaroError& e, const TestiSalvataggio& testi);
    // The checked DELETE of the loaded record; false when it was not deleted
    // (gone already, or changed and the user kept it).
    bool EliminaVerificato();
    // Says that another user deleted the record, and shows the nearest one.
    void AvvisaEliminato();
    // Shows the loaded record as it is now, or a record of the list when it left it.
    void RicaricaRecord();
    // Shows the record next to the one shown (gone, or left out by the
    // condition), or the last one.
    void MostraRecordDellElenco();
    // The save statement from the bound controls, or the message that stops the save.
    TestiSalvataggio ComponiTestiSalvataggio(ModoSalvataggio modo);
    // What the save reads from a control, as text: compared with what the
    // control showed of the record loaded, it tells what the user changed.
    QString LetturaControllo(Control& c) const;
    // Builds the save statement; false, having shown why, when it cannot be saved.
    bool ComponiOAvvisa(ModoSalvataggio modo, TestiSalvataggio& testi);
    // The source holds the record of a key written as text.
    bool Selezionato(const QString& chiave);
    // Shows the record just saved, or says that the condition leaves it out.
    // spostato: the save may have moved it in the order.
    void MostraSalvato(const QString& chiave, bool spostato);
    // The DELETE statement of the current record.
    QString StatementDelete() const;

    // Raise an event on the sink, when there is one.
    template <typename F> void Solleva(F&& f) {
        if (mEventi)
            f(*mEventi);
    }

    NavigatorEvents* mEventi = nullptr;

    QString mInitCharTag;
    // Parsed Tags of other controls and of combos, by Tag text, for one prefix.
    mutable std::array<QHash<QString, Legame>, 2> mLegami;
    mutable QString mPrefissoLegami;
    // Parsed again at their next use (the prefix or the columns changed).
    void DimenticaLegami() const;
    // What each bound control read right after the record was shown.
    QHash<const Control*, QString> mMostrati;
    // The key's columns and types; the first of them alone as well.
    QStringList mCampiChiave;
    QList<short> mTipiChiave;
    QString mCampoChiave;
    int mTipoChiave = 0;
    Connection* mConnessione = nullptr;
    // The statement that reads a whole record, up to its WHERE.
    QString mSqlRecordTesta;
    QString mSqlRecordCorrente;
    bool mElencoValido = false;
    std::unique_ptr<SorgenteRecord> mSorgente;
    // What the source's order was last made of.
    struct ImpostazioneSorgente {
        QString ordine, condizione, da;
        int tipo = 0;
        bool unaRiga = false;
        bool operator==(const ImpostazioneSorgente&) const = default;
    };
    std::optional<ImpostazioneSorgente> mImpostata;
    std::unique_ptr<collTabellaPrincipale> mTabellaPrincipale;
    std::vector<ChiaviCombo> mChiaviCombo;
    std::vector<LinkTabella> mArrayLink;
    // The columns of linked tables, read from the catalogue once each.
    QHash<QString, QStringList> mColonneCollegate;
    bool mInizializzato = false;
    QString mPrimaryTableName;
    QString mTabellaSql;
    QString mTabelleJoin;
    // The links the record is read with and the linked columns it selects.
    TabelleCollegate mCollegate;
    HostObject* mContenitoreCaselle = nullptr;
    // Value-initialised (0, not a state) until Init_Class reads the key list.
    StatoNavigatore mState{};
    QString mOrderField;
    // The key of the record loaded into TheFullData, as it was loaded, and
    // whether the move that found it saw nothing before or after it.
    QVariant mChiaveCaricata;
    bool mPrimoMostrato = false;
    bool mUltimoMostrato = false;
    // Scrolling disabled when the source was last read: it holds one record
    // (set-up reads every record, and shows the last).
    bool mUnaRiga = false;

public:
    QVariant ChiaveCaricata() const { return mChiaveCaricata; }
};

} // namespace tessaro
