#include "engine/clsADONavigator.h"

#include "data/TessaroError.h"
#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "engine/Dialetto.h"
#include "engine/Riporta.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

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
    const bool combo = c.IsComboBox();
    const QString tag = c.Tag();
    const QString chiave =
        (combo ? QStringLiteral("C") : QStringLiteral("T")) + mInitCharTag + QChar(0) + tag;
    auto it = mLegami.constFind(chiave);
    if (it == mLegami.constEnd())
        it = mLegami.insert(chiave, LeggiLegame(tag, mInitCharTag, combo));
    return it.value();
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

bool clsADONavigator::LeggiSchemaTabella() {
    try {
        auto chiavePrimaria = mConnessione->OpenSchema(adSchemaPrimaryKeys,
                                                       {QVariant(), QVariant(), mPrimaryTableName});
        if (!(chiavePrimaria->Bof() && chiavePrimaria->Eof())) {
            chiavePrimaria->MoveFirst();
            const Fields f = chiavePrimaria->Fields();
            mCampoChiave = ValueToText(f.Item(QStringLiteral("COLUMN_NAME")).Value());
            // The table as the database keeps it: a host's "Clienti" may be
            // PostgreSQL's clienti, and a name stored in mixed case is quoted.
            QString tabella = ValueToText(f.Item(QStringLiteral("TABLE_NAME")).Value());
            if (mPrimaryTableName.contains(QLatin1Char('.')))
                tabella = ValueToText(f.Item(QStringLiteral("TABLE_SCHEMA")).Value()) +
                          QLatin1Char('.') + tabella;
            mTabellaSql = Dialetto::Per(TipoDelleLetture()).NomeTabella(tabella);
        }
        ColonneDelloSchema();
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
    mColonneCollegate.clear();
    if (!mConnessione)
        return ImpostazioneFallita("TQ45");
    if (!LinkDelChiamante(ArrayOfLink))
        return false;
    // A table that cannot be browsed is refused here, by name and cause, rather
    // than by a statement that fails later.
    if (!LeggiSchemaTabella())
        return false;
    mInizializzato = true;

    auto chiaviEsterne =
        mConnessione->OpenSchema(adSchemaForeignKeys, {QVariant(), QVariant(), QVariant(),
                                                       QVariant(), QVariant(), TableName});
    LinkDelloSchema(*chiaviEsterne);
    mTabelleJoin = mTabellaSql;
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
        LeggiRecord(ValueToText(ultimo.chiave));
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
    mArrayLink.clear();
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

void clsADONavigator::ColonneDelloSchema() {
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
        const short tipo = static_cast<short>(f.Item(QStringLiteral("DATA_TYPE")).Value().toInt());
        const bool chiave = nome.compare(mCampoChiave, Qt::CaseInsensitive) == 0;
        if (chiave)
            mTipoChiave = tipo;
        const long lunghezza = static_cast<long>(
            ValoreODefault(f.Item(QStringLiteral("CHARACTER_MAXIMUM_LENGTH")).Value(), 0)
                .toLongLong());
        const auto colonna = mTabellaPrincipale->Add(
            nome, tipo, ValueToBool(f.Item(QStringLiteral("IS_NULLABLE")).Value()), lunghezza,
            chiave);
        colonna->PrecisioneScala(f.Item(QStringLiteral("NUMERIC_PRECISION")).Value().toInt(),
                                 f.Item(QStringLiteral("NUMERIC_SCALE")).Value().toInt());
        colonna->AutoIncremento(ValueToBool(f.Item(QStringLiteral("IS_AUTOINCREMENT")).Value()));
        colonna->SempreGenerata(generata >= 0 && ValueToBool(f.Item(generata).Value()));
    }
    colonne->Close();
}

QString clsADONavigator::NomeSql(const QString& memorizzato) const {
    return Dialetto::Per(TipoDelleLetture()).Nome(memorizzato);
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
        const QString L = TabellaSql(*link);
        const QString join = QStringLiteral(" LEFT JOIN ") + L + QStringLiteral(" ON ");
        if (mTabelleJoin.contains(join))
            return;
        const auto colonna = ColonnaDi(link->CampoTabellaPrincipale);
        mTabelleJoin = QLatin1Char('(') + mTabelleJoin + join + QLatin1Char('(') + L +
                       QLatin1Char('.') + CampoCollegatoSql(*link) + QStringLiteral(") = (") +
                       mTabellaSql + QLatin1Char('.') +
                       (colonna ? NomeSql(colonna->NomeCampo()) : link->CampoTabellaPrincipale) +
                       QStringLiteral("))");
    });
}

void clsADONavigator::PreparaStatementRecord() {
    // The key is named through its table: a linked table may have a column of
    // the same name.
    mSqlRecordPrefisso = QStringLiteral("SELECT * FROM ") + mTabelleJoin +
                         QStringLiteral(" Where ") + mTabellaSql + QLatin1Char('.') +
                         NomeSql(mCampoChiave) + QStringLiteral(" = ");
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
