#include "engine/clsADONavigator.h"

#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <QDebug>

namespace tessaro {

namespace {

QVariant ValoreODefault(const QVariant& valore, const QVariant& predefinito = QString()) {
    return valore.isNull() ? predefinito : valore;
}

} // namespace

clsADONavigator::clsADONavigator() = default;
clsADONavigator::~clsADONavigator() = default;

const Dialetto& clsADONavigator::Dialect() const {
    return Dialetto::Per(TipoDatabase);
}

const Legame& clsADONavigator::LegameDi(const Control& c) const {
    return LegameDi(c, c.Tag());
}

void clsADONavigator::DimenticaLegami() const {
    for (auto& legami : mLegami)
        legami.clear();
}

const Legame& clsADONavigator::LegameDi(const Control& c, const QString& tag) const {
    if (mPrefissoLegami != mInitCharTag) {
        DimenticaLegami();
        mPrefissoLegami = mInitCharTag;
    }
    const bool combo = c.IsComboBox();
    auto& legami = mLegami[combo ? 1 : 0];
    auto it = legami.constFind(tag);
    if (it == legami.constEnd())
        it = legami.insert(tag, SuColonna(LeggiLegame(tag, mInitCharTag, combo)));
    return it.value();
}

Legame clsADONavigator::SuColonna(Legame legame) const {
    if (legame.tipo != TipoLegame::Colonna || !mTabellaPrincipale)
        return legame;
    // "Clienti.Eta" on the table Clienti is the column Eta.
    const qsizetype punto = legame.colonna.indexOf(QLatin1Char('.'));
    if (punto > 0 && mConnessione && StessaTabella(legame.colonna.left(punto)))
        legame.colonna = legame.colonna.mid(punto + 1);
    if (!mTabellaPrincipale->Contiene(legame.colonna)) {
        legame.tipo = TipoLegame::Rifiutato;
        return legame;
    }
    legame.tipoColonna = mTabellaPrincipale->Item(legame.colonna)->TipoDati();
    return legame;
}

void clsADONavigator::AvvisaLegamiRifiutati() const {
    PercorriControlli(mContenitoreCaselle, [this](Control& c) {
        if ((c.IsTextBox() || c.IsCheckBox()) && LegameDi(c).tipo == TipoLegame::Rifiutato)
            qWarning().noquote() << "Tessaro:" << c.Name() << "is tagged" << c.Tag()
                                 << "but the table" << mPrimaryTableName
                                 << "has no such column: it stays empty and read-only";
    });
}

void clsADONavigator::PercorriControlli(HostObject* contenitore,
                                        const std::function<void(Control&)>& fn) const {
    PercorriControlli(contenitore, {fn});
}

void clsADONavigator::PercorriControlli(
    HostObject* contenitore, std::initializer_list<std::function<void(Control&)>> passate) const {
    if (!contenitore)
        TessaroError::Raise(Err::ObjectNotSet);
    if (contenitore->IsForm()) {
        const std::vector<Control*> controlli = static_cast<Form*>(contenitore)->Controls();
        for (const auto& fn : passate)
            for (Control* c : controlli)
                fn(*c);
        return;
    }
    Form* form = contenitore->ParentForm();
    if (!form)
        TessaroError::Raise(Err::ObjectNotSet);
    // A control that lacks a member (438) is skipped, in the selection and in each pass.
    const auto saltaSenzaMembro = [](const auto& passo) {
        try {
            passo();
        } catch (const TessaroError& e) {
            if (e.Number() != Err::NoSuchMember)
                throw;
        }
    };
    const QString nome = contenitore->Name();
    std::vector<Control*> figli;
    for (Control* c : form->Controls())
        saltaSenzaMembro([&] {
            if (c->Container()->Name() == nome)
                figli.push_back(c);
        });
    for (const auto& fn : passate)
        for (Control* c : figli)
            saltaSenzaMembro([&] { fn(*c); });
}

bool clsADONavigator::InizializzatoOAvvisa() const {
    if (mInizializzato)
        return true;
    MsgBox(GetMessage(QStringLiteral("TQ01")), MsgStyle::Exclamation,
           GetMessage(QStringLiteral("TQ02")));
    return false;
}

bool clsADONavigator::Init_Class(Connection* TheConnection, const QString& TableName,
                                 HostObject* Container, const QString& OrderField,
                                 const std::vector<QString>& ArrayOfLink,
                                 const QString& InitCharOfTag, const QString& Condizione) {
    bool riuscito = false;
    Riporta(QStringLiteral("ClsAdoNavigator_Metodo_Init_Class "),
            Titolo::Testo(QStringLiteral("Errore interno!")), [&] {
                riuscito = Inizializza(TheConnection, TableName, Container, OrderField, ArrayOfLink,
                                       InitCharOfTag, Condizione);
            });
    // A source that failed to set up does nothing, and says so when used.
    if (!riuscito)
        mInizializzato = false;
    return riuscito;
}

bool clsADONavigator::ImpostazioneFallita(const char* causa) const {
    QString testo = GetMessage(QString::fromLatin1(causa));
    testo.replace(QStringLiteral("[[Tabella]]"), mPrimaryTableName);
    MsgBox(testo, MsgStyle::Critical, GetMessage(QStringLiteral("TQ03")));
    return false;
}

bool clsADONavigator::StessaTabella(const QString& nome) const {
    // Where the database tells names apart by case, "clienti" is not Clienti.
    return nome.compare(mPrimaryTableName, mConnessione->TableNamesIgnoreCase()
                                               ? Qt::CaseInsensitive
                                               : Qt::CaseSensitive) == 0;
}

QString clsADONavigator::TabellaDellaRiga(const Fields& f) const {
    const QString tabella = ValueToText(f.Item(QStringLiteral("TABLE_NAME")).Value());
    // A host that names the schema (sales.orders) is answered with it.
    if (!mPrimaryTableName.contains(QLatin1Char('.')))
        return tabella;
    return ValueToText(f.Item(QStringLiteral("TABLE_SCHEMA")).Value()) + QLatin1Char('.') + tabella;
}

bool clsADONavigator::LeggiSchemaTabella() {
    try {
        auto chiavePrimaria = mConnessione->OpenSchema(adSchemaPrimaryKeys,
                                                       {QVariant(), QVariant(), mPrimaryTableName});
        // Every column of the key, in key order: no table is cut to its first.
        const Fields f = chiavePrimaria->Fields();
        for (; !chiavePrimaria->Eof(); chiavePrimaria->MoveNext()) {
            const QString tabella = TabellaDellaRiga(f);
            if (!StessaTabella(tabella))
                continue;
            // The table as the database keeps it: a host's "Clienti" may be
            // PostgreSQL's clienti, and a name stored in mixed case is quoted.
            if (mCampiChiave.isEmpty())
                mTabellaSql = Dialetto::Per(TipoDelleLetture()).NomeTabella(tabella);
            mCampiChiave << ValueToText(f.Item(QStringLiteral("COLUMN_NAME")).Value());
        }
        mCampoChiave = mCampiChiave.value(0);
        ColonneDelloSchema(*mTabellaPrincipale);
        for (const QString& k : mCampiChiave)
            mTipiChiave << (mTabellaPrincipale->Contiene(k)
                                ? mTabellaPrincipale->Item(k)->TipoDati()
                                : short(0));
    } catch (const TessaroError& e) {
        if (e.Number() != Err::LostConnection)
            throw;
        return ImpostazioneFallita("TQ45");
    }
    if (mTabellaPrincipale->Count() == 0)
        return ImpostazioneFallita("TQ46");
    if (mCampoChiave.isEmpty())
        return ImpostazioneFallita("TQ47");
    return true;
}

bool clsADONavigator::Inizializza(Connection* TheConnection, const QString& TableName,
                                  HostObject* Container, const QString& OrderField,
                                  const std::vector<QString>& ArrayOfLink,
                                  const QString& InitCharOfTag, const QString& Condizione) {
    mConnessione = TheConnection;
    mTabellaPrincipale = std::make_unique<collTabellaPrincipale>();
    mInizializzato = false;
    mPrimaryTableName = TableName;
    mTabellaSql = TableName;
    mOrderField = OrderField;
    mContenitoreCaselle = Container;
    mInitCharTag = InitCharOfTag;
    mCondizione = Condizione;
    mCampoChiave.clear();
    mCampiChiave.clear();
    mTipiChiave.clear();
    mColonneCollegate.clear();
    mArrayLink.clear(); // a navigator set up again keeps no link of its last table
    if (!mConnessione)
        return ImpostazioneFallita("TQ45");
    if (!LinkDelChiamante(ArrayOfLink))
        return false;
    // A table that cannot be browsed is refused here, by name and cause, rather
    // than by a statement that fails later.
    if (!LeggiSchemaTabella())
        return false;
    mInizializzato = true;
    // Tags are read against the columns just read.
    DimenticaLegami();
    AvvisaLegamiRifiutati();

    auto chiaviEsterne =
        mConnessione->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), TableName});
    LinkDelloSchema(*chiaviEsterne);
    // A key that refers to another table's row is chosen, never numbered.
    if (LinkDelCampo(mCampoChiave) && mTabellaPrincipale->Contiene(mCampoChiave))
        mTabellaPrincipale->Item(mCampoChiave)->AutoIncremento(false);
    CalcolaJoin();
    PreparaStatementRecord();

    // The last record, and whether it is the only one.
    mSorgente.reset();
    mUnaRiga = false;
    const SorgenteRecord::Passo ultimo = SorgenteAggiornata().Ultimo();
    if (ultimo.chiave.isNull())
        mState = StatoNavigatore::NessunRecord;
    else if (ultimo.primo)
        mState = StatoNavigatore::UnicoRecord;
    else
        mState = StatoNavigatore::PrimoRecord;
    TheFullData.reset();
    if (!ultimo.chiave.isNull())
        LeggiRecord(ultimo.chiave);
    if (!TheFullData) {
        // No record: the columns of an empty read, nothing to show.
        TheFullData = std::make_unique<Recordset>();
        mSqlRecordCorrente = mSorgente->UltimoStatement();
        TheFullData->Open(mSqlRecordCorrente, mConnessione, adOpenStatic, adLockReadOnly,
                          adCmdText);
    }

    FillComboOfForm();
    if (mState == StatoNavigatore::NessunRecord) {
        PulisciControlli(mContenitoreCaselle);
        DisabilitaInserimento(mContenitoreCaselle);
        mSorgente->Controlla();
    } else {
        // The record is browsed, not edited: lock the controls as Annulla and Update do.
        DisabilitaInserimento(mContenitoreCaselle);
        MoveLast();
    }
    return true;
}

bool clsADONavigator::LinkDelChiamante(const std::vector<QString>& ArrayOfLink) {
    // An empty array, or one of upper bound 1, means no links given by the caller.
    if (ArrayOfLink.empty() || ArrayOfLink.size() == 2)
        return true;
    const std::size_t U = ArrayOfLink.size() - 1;
    if (U % 3 != 0) {
        MsgBox(GetMessage(QStringLiteral("TQ29")), MsgStyle::Critical,
               GetMessage(QStringLiteral("TQ03")));
        return false;
    }
    // Triples from index 1: column of the table, linked table, its key column.
    for (std::size_t i = 1; i + 2 <= U; i += 3)
        mArrayLink.push_back({.TabellaCollegata = ArrayOfLink[i + 1],
                              .CampoTabellaPrincipale = ArrayOfLink[i],
                              .CampoTabellaCollegata = ArrayOfLink[i + 2]});
    return true;
}

void clsADONavigator::LinkDelloSchema(Recordset& chiaviEsterne) {
    // The schema's links follow the caller's.
    if (!(chiaviEsterne.Bof() && chiaviEsterne.Eof())) {
        const Fields f = chiaviEsterne.Fields();
        for (chiaviEsterne.MoveFirst(); !chiaviEsterne.Eof(); chiaviEsterne.MoveNext())
            mArrayLink.push_back(
                {.TabellaCollegata = ValueToText(f.Item(QStringLiteral("PK_TABLE_NAME")).Value()),
                 .CampoTabellaPrincipale =
                     ValueToText(f.Item(QStringLiteral("FK_COLUMN_NAME")).Value()),
                 .CampoTabellaCollegata =
                     ValueToText(f.Item(QStringLiteral("PK_COLUMN_NAME")).Value()),
                 .DalloSchema = true});
    }
    chiaviEsterne.Close();
}

bool clsADONavigator::AvvisaColonneSparite(const QString& seguito) {
    auto ora = std::make_unique<collTabellaPrincipale>();
    try {
        ColonneDelloSchema(*ora);
    } catch (const TessaroError&) {
        return false; // the failure met first is the one to report
    }
    QStringList sparite;
    for (long i = 1; i <= mTabellaPrincipale->Count(); ++i)
        if (!ora->Contiene(mTabellaPrincipale->Item(i)->NomeCampo()))
            sparite << mTabellaPrincipale->Item(i)->NomeCampo();
    if (sparite.isEmpty() || ora->Count() == 0)
        return false;
    mTabellaPrincipale = std::move(ora);
    DimenticaLegami(); // a control of a column gone binds nothing now
    QString testo = GetMessage(QStringLiteral("TQ75"));
    testo.replace(QStringLiteral("[[Colonna]]"), sparite.join(QStringLiteral(", ")));
    testo.replace(QStringLiteral("[[Tabella]]"), mPrimaryTableName);
    if (!seguito.isEmpty())
        testo += QLatin1Char('\r') + seguito;
    MsgBox(testo, MsgStyle::Exclamation, GetMessage(QStringLiteral("TQ02")));
    return true;
}

void clsADONavigator::ColonneDelloSchema(collTabellaPrincipale& tabella) {
    // The provider finds the table by its rules (the case of the name, the schema).
    auto colonne =
        mConnessione->OpenSchema(adSchemaColumns, {QVariant(), QVariant(), mPrimaryTableName});
    if (colonne->Bof() && colonne->Eof())
        return;
    const Fields f = colonne->Fields();
    // Columns that refuse any value written to them, where the provider tells.
    const int generata = colonne->ColumnIndex(QStringLiteral("IS_GENERATED_ALWAYS"));
    for (colonne->MoveFirst(); !colonne->Eof(); colonne->MoveNext()) {
        const QString nome = ValueToText(f.Item(QStringLiteral("COLUMN_NAME")).Value());
        if (nome == QLatin1String("upsize_ts"))
            continue;
        if (!StessaTabella(TabellaDellaRiga(f)))
            continue;
        const short tipo = static_cast<short>(f.Item(QStringLiteral("DATA_TYPE")).Value().toInt());
        const bool chiave = mCampiChiave.contains(nome, Qt::CaseInsensitive);
        if (chiave && nome.compare(mCampoChiave, Qt::CaseInsensitive) == 0)
            mTipoChiave = tipo;
        const long lunghezza = static_cast<long>(
            ValoreODefault(f.Item(QStringLiteral("CHARACTER_MAXIMUM_LENGTH")).Value(), 0)
                .toLongLong());
        const auto colonna =
            tabella.Add(nome, tipo, ValueToBool(f.Item(QStringLiteral("IS_NULLABLE")).Value()),
                        lunghezza, chiave);
        colonna->PrecisioneScala(f.Item(QStringLiteral("NUMERIC_PRECISION")).Value().toInt(),
                                 f.Item(QStringLiteral("NUMERIC_SCALE")).Value().toInt());
        colonna->AutoIncremento(ValueToBool(f.Item(QStringLiteral("IS_AUTOINCREMENT")).Value()));
        const QVariant cifre = f.Item(QStringLiteral("DATETIME_PRECISION")).Value();
        colonna->CifreSecondi(cifre.isNull() ? -1 : cifre.toInt());
        colonna->SempreGenerata(generata >= 0 && ValueToBool(f.Item(generata).Value()));
    }
    colonne->Close();
}

QString clsADONavigator::NomeSql(const QString& memorizzato) const {
    return Dialetto::Per(TipoDelleLetture()).Nome(memorizzato);
}

QString clsADONavigator::CampoSql(const QString& nome) const {
    const auto colonna = ColonnaDi(nome);
    return colonna ? NomeSql(colonna->NomeCampo()) : nome;
}

QString clsADONavigator::TabellaSql(const LinkTabella& link) const {
    return link.DalloSchema ? Dialetto::Per(TipoDelleLetture()).NomeTabella(link.TabellaCollegata)
                            : link.TabellaCollegata;
}

QString clsADONavigator::CampoCollegatoSql(const LinkTabella& link) const {
    return link.DalloSchema ? NomeSql(link.CampoTabellaCollegata) : link.CampoTabellaCollegata;
}

QString clsADONavigator::ColonnaCollegataSql(const LinkTabella& link, const QString& nome) {
    const Dialetto& d = Dialetto::Per(TipoDelleLetture());
    if (!d.NomiTraVirgolette() || !link.DalloSchema)
        return d.NomeDelHost(nome);
    auto it = mColonneCollegate.find(link.TabellaCollegata);
    if (it == mColonneCollegate.end()) {
        QStringList nomi;
        auto colonne = mConnessione->OpenSchema(adSchemaColumns,
                                                {QVariant(), QVariant(), link.TabellaCollegata});
        for (; !colonne->Eof(); colonne->MoveNext())
            nomi << ValueToText(colonne->Fields().Item(QStringLiteral("COLUMN_NAME")).Value());
        it = mColonneCollegate.insert(link.TabellaCollegata, nomi);
    }
    if (it->contains(nome))
        return d.Nome(nome);
    for (const QString& memorizzato : *it)
        if (memorizzato.compare(nome, Qt::CaseInsensitive) == 0)
            return d.Nome(memorizzato);
    return d.NomeDelHost(nome);
}

std::shared_ptr<clsTabellaPrincipale> clsADONavigator::ColonnaDi(const QString& nome) const {
    if (!mTabellaPrincipale)
        return nullptr;
    std::shared_ptr<clsTabellaPrincipale> simile;
    for (long i = 1; i <= mTabellaPrincipale->Count(); ++i) {
        const auto c = mTabellaPrincipale->Item(i);
        if (c->NomeCampo() == nome)
            return c;
        if (!simile && c->NomeCampo().compare(nome, Qt::CaseInsensitive) == 0)
            simile = c;
    }
    return simile;
}

const LinkTabella* clsADONavigator::LinkDelCampo(const QString& campo) const {
    for (const auto& l : mArrayLink)
        if (l.CampoTabellaPrincipale.compare(campo, Qt::CaseInsensitive) == 0)
            return &l;
    return nullptr;
}

void clsADONavigator::CalcolaJoin() {
    mCollegate = TabelleCollegate(mTabellaSql, Dialetto::Per(TipoDelleLetture()).Identificatore);
    PercorriControlli(mContenitoreCaselle, [this](Control& c) {
        if (!c.IsTextBox() && !c.IsCheckBox())
            return;
        if (c.Tag().trimmed().isEmpty())
            return;
        const Legame& legame = LegameDi(c);
        if (legame.tipo != TipoLegame::ColonnaCollegata)
            return;
        const LinkTabella* link = LinkDelCampo(legame.colonna);
        if (!link) // no link for that column
            TessaroError::Raise(Err::SubscriptOutOfRange);
        // An outer join: a record whose reference is Null (or dangling) is
        // still found, with the linked columns empty.
        mCollegate.Aggiungi({.campo = legame.colonna,
                             .tabellaCollegata = link->TabellaCollegata,
                             .campoSql = CampoSql(link->CampoTabellaPrincipale),
                             .tabellaSql = TabellaSql(*link),
                             .campoCollegatoSql = CampoCollegatoSql(*link)},
                            legame.colonnaCollegata,
                            ColonnaCollegataSql(*link, SenzaTabella(legame.colonnaCollegata)));
    });
    mTabelleJoin = mCollegate.From();
}

void clsADONavigator::PreparaStatementRecord() {
    // The key is named through its table: a linked table may have a column of
    // the same name.
    mSqlRecordTesta =
        QStringLiteral("SELECT ") + mCollegate.Colonne() + QStringLiteral(" FROM ") + mTabelleJoin;
}

void clsADONavigator::Unload() {
    mInizializzato = false;
    // Its counting thread ends with it.
    mSorgente.reset();
    try {
        if (TheFullData)
            TheFullData->Close();
    } catch (const TessaroError&) {
        // Dropped just below whatever the close says.
    }
    TheFullData.reset();
    mConnessione = nullptr;
}

short clsADONavigator::ConnState() const {
    if (!mConnessione)
        return 0;
    return static_cast<short>(mConnessione->State());
}

HostObject* clsADONavigator::ContenitoreCaselle() const {
    if (!InizializzatoOAvvisa())
        return nullptr;
    return mContenitoreCaselle;
}

QVariant clsADONavigator::RecordCount() const {
    if (!InizializzatoOAvvisa())
        return QVariant();
    return mSorgente ? QVariant(static_cast<qlonglong>(mSorgente->Totale())) : QVariant();
}

QVariant clsADONavigator::AbsolutePosition() const {
    if (!InizializzatoOAvvisa())
        return QVariant();
    return mSorgente ? QVariant(static_cast<qlonglong>(mSorgente->Posizione())) : QVariant();
}

bool clsADONavigator::ConteggioInAttesa() const {
    return mInizializzato && mSorgente && mSorgente->InAttesa();
}

bool clsADONavigator::AttendiConteggio(int millisecondi) {
    return !mInizializzato || !mSorgente || mSorgente->AttendiConteggio(millisecondi);
}

} // namespace tessaro
