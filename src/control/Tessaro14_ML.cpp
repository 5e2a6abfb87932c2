#include "control/Tessaro14_ML.h"

#include "control/Annunciatore.h"
#include "control/BarraPulsanti.h"
#include "data/TessaroError.h"
#include "data/Values.h"
#include "engine/Legame.h"
#include "engine/Riporta.h"
#include "engine/clsADONavigator.h"
#include "host/HostForm.h"
#include "host/MessageBox.h"
#include "host/QtHostForm.h"
#include "language/modLanguageSupport.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QWidgetAction>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

// Resources of a static library are registered by name, outside any namespace.
static void InizializzaIcone() {
    Q_INIT_RESOURCE(TessaroIcone);
}

namespace tessaro {

namespace {

// The design is in twips at 15 twips per pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int Pixel(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int kLarghezza = Pixel(7095);        // 473
constexpr int kLarghezzaRidotta = Pixel(2805); // 187, scrolling hidden
constexpr int kAltezza = Pixel(410);           // 27
constexpr int kSinistraCasella = Pixel(735);   // 49

// Widths of the toolbar items; the box starts right after "Primo" and "Precedente".
constexpr int kLarghezzaPrimo = 24;
constexpr int kLarghezzaPrecedente = kSinistraCasella - kLarghezzaPrimo;
constexpr int kLarghezzaSuccessivo = 25;
constexpr int kLarghezzaUltimo = 24;
constexpr int kLarghezzaSpaziatore = 6;
constexpr int kSpaziatori = 3;
constexpr int kLarghezzaComando = 26;
constexpr int kComandi = 7;
constexpr int kLarghezzaCasella = kLarghezza - kLarghezzaRidotta - kSinistraCasella -
                                  kLarghezzaSuccessivo - kLarghezzaUltimo -
                                  kSpaziatori * kLarghezzaSpaziatore;
constexpr int kAltezzaCasella = 21;
constexpr int kMargineCasella = 1; // above and below the box when the font grows it
static_assert(kComandi * kLarghezzaComando <= kLarghezzaRidotta);
static_assert(kLarghezzaCasella > 60);

constexpr int kOverflow = 6;
// How long an announcement waits for the window to be active again (ms).
constexpr int kAttesaAttivazione = 1000;
constexpr int kInvio = 13;

// Tooltips the tool was designed with, until CambiaLingua relabels them, and the
// default shortcuts: keys that a line edit or a combo does not need for itself.
struct Pulsante {
    const char* key;
    const char* icona;
    const char* tooltip;
    const char* messaggio;
    const char* tasti;
};

constexpr Pulsante kPrimo{"Primo", "primo", "Primo Record", "TQ37", "Ctrl+Home"};
constexpr Pulsante kPrecedente{"Precedente", "precedente", "Record Precedente", "TQ38", "PgUp"};
constexpr Pulsante kSuccessivo{"Successivo", "successivo", "Record Successivo", "TQ39", "PgDown"};
constexpr Pulsante kUltimo{"Ultimo", "ultimo", "Ultimo Record", "TQ40", "Ctrl+End"};
constexpr Pulsante kComandiProgettati[kComandi] = {
    {"Nuovo", "nuovo", "Nuovo Record", "TQ32", "Ctrl+N"},
    {"Modifica", "modifica", "Modifica Record", "TQ33", "F2"},
    {"Salva", "salva", "Salva", "TQ35", "Ctrl+S"},
    {"Elimina", "elimina", "Elimina Record", "TQ34", "Ctrl+Del"},
    {"Annulla", "annulla", "Annulla", "TQ41", "Esc"},
    {"Duplica", "duplica", "Clona il record corrente", "TQ36", "Ctrl+D"},
    {"Stampa", "stampa", "Stampa la schermata corrente", "TQ31", "Ctrl+P"},
};
// Where a button keeps its label in the current language, without the shortcut.
constexpr char kEtichetta[] = "tessaroEtichetta";
constexpr char kMessaggio[] = "tessaroMessaggio";

QString Testo(const char* s) {
    return QString::fromLatin1(s);
}

// A text of the language file, or the designed one while no file is loaded.
QString Messaggio(const char* chiave, const char* progettato) {
    const QString key = Testo(chiave);
    const QString m = GetMessage(key);
    return m == key ? QString::fromUtf8(progettato) : m;
}

// A count or a position as the counter shows it: "?" while unknown.
QString Numero(const QVariant& valore) {
    return valore.toLongLong() < 0 ? QStringLiteral("?") : ValueToText(valore);
}

// Runs one step whose failure is expected and harmless; each call says why.
template <typename F> void Salta(F&& passo) {
    try {
        passo();
    } catch (const TessaroError&) {
        // Harmless by the caller's word: nothing to show, nothing to log.
    }
}

// Runs one step that the control goes on without when it fails, with no box;
// the failure goes to the log so that a developer can see it.
template <typename F> void Annota(const char* passo, F&& f) {
    try {
        f();
    } catch (const TessaroError& e) {
        qWarning().noquote() << "Tessaro14_ML:" << passo << "skipped:" << e.Number()
                             << e.Description();
        if (!e.Statement().isEmpty())
            qWarning().noquote() << "Tessaro14_ML: the statement was:" << e.Statement();
    }
}

// Round to the nearest whole number, a half going to the even neighbour, as a
// 32-bit integer (Overflow outside that range).
long Intero32AlPari(double x) {
    const double sotto = std::floor(x);
    const double resto = x - sotto;
    double r = sotto;
    if (resto > 0.5 || (resto == 0.5 && std::fmod(sotto, 2.0) != 0.0))
        r = sotto + 1.0;
    if (!std::isfinite(r) || r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        TessaroError::Raise(kOverflow, QStringLiteral("Overflow"));
    return static_cast<long>(r);
}

QWidget* WidgetDi(HostObject* oggetto) {
    return oggetto ? static_cast<QWidget*>(oggetto->Native()) : nullptr;
}

ComboBox& ComboDi(QComboBox* cmb) {
    Control* c = ControlOf(cmb);
    if (!c)
        TessaroError::Raise(Err::ObjectNotSet);
    return AsComboBox(*c);
}

// The font of the record-number box, or the plain sans-serif face where the
// system would put another face in its place.
QFont CarattereCasella(const QFont& base) {
    QFont f = base;
    f.setFamily(QStringLiteral("Comic Sans MS"));
    if (QFontInfo(f).family().compare(QStringLiteral("Comic Sans MS"), Qt::CaseInsensitive) == 0)
        return f;
    QFont semplice = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    semplice.setPointSizeF(base.pointSizeF());
    return semplice;
}

// Controls are found by object name, and only text, combo and check boxes of
// every kind hold a value: any other tagged widget is never bound, which the
// host developer should hear about.
void AvvisaWidgetNonLegabili(const QWidget& contenitore) {
    for (QWidget* w : contenitore.findChildren<QWidget*>()) {
        const QString tag = w->property("Tag").toString();
        if (tag.isEmpty())
            continue;
        const char* classe = w->metaObject()->className();
        if (w->objectName().isEmpty()) {
            qWarning().noquote() << "Tessaro14_ML: a" << classe << "tagged" << tag
                                 << "has no object name and will not be bound";
            continue;
        }
        const Control* c = ControlOf(w);
        if (!c->IsTextBox() && !c->IsComboBox() && !c->IsCheckBox())
            qWarning().noquote() << "Tessaro14_ML:" << w->objectName() << "is a" << classe
                                 << "tagged" << tag << "that holds no value and will not be bound";
    }
}

} // namespace

QString TestoPulsanteMessaggio(int risposta) {
    const char* chiave = nullptr;
    switch (risposta) {
    case MsgAnswer::Yes:
        chiave = "TQ67";
        break;
    case MsgAnswer::No:
        chiave = "TQ68";
        break;
    case MsgAnswer::Cancel:
        chiave = "TQ69";
        break;
    case MsgAnswer::Ok:
        chiave = "TQ70";
        break;
    default:
        return QString();
    }
    const QString key = Testo(chiave);
    const QString m = GetMessage(key);
    return m == key ? QString() : m;
}

std::optional<QString> TabellaDiRicercaDelCombo(const QString& Tag, const QString& InitCharTag) {
    const Legame legame = LeggiLegame(Tag, InitCharTag, true);
    if (legame.colonneVoce.isEmpty())
        return std::nullopt;
    return legame.tabellaRicerca;
}

// Receives the events of the active navigator and raises them to the host.
class Tessaro14_ML::Relay : public NavigatorEvents {
public:
    Relay(Tessaro14_MLEvents* eventi, Tessaro14_ML* controllo)
        : mEventi(eventi), mControllo(controllo) {}

    void OnCurrent() override { emit mEventi->OnCurrent(); }
    void AfterCurrent() override { emit mEventi->AfterCurrent(); }
    void Addnew(HostObject*& ContenitoreControlli) override {
        emit mEventi->Addnew(WidgetDi(ContenitoreControlli));
    }
    void AfterInsert() override { emit mEventi->AfterInsert(); }
    void BeforeUpdate() override { emit mEventi->BeforeUpdate(); }
    void AfterUpdate() override { emit mEventi->AfterUpdate(); }
    void Delete() override { emit mEventi->Delete(); }
    void BeforeDelConfirm(bool& Cancel) override { emit mEventi->BeforeDelConfirm(Cancel); }
    void AfterDelConfirm() override { emit mEventi->AfterDelConfirm(); }
    void AfterDelete() override { emit mEventi->AfterDelete(); }
    void Clone(HostObject*& ContenitoreControlli) override {
        emit mEventi->Clone(WidgetDi(ContenitoreControlli));
    }
    void AfterAnnulla() override { emit mEventi->AfterAnnulla(); }
    void WriteConflict(bool RecordEliminato, int& Risposta) override {
        emit mEventi->WriteConflict(RecordEliminato, Risposta);
    }
    void ConteggioAggiornato() override { mControllo->AggiornaContatore(); }

private:
    Tessaro14_MLEvents* mEventi;
    Tessaro14_ML* mControllo;
};

// --- construction and layout -------------------------------------------------

Tessaro14_ML::Tessaro14_ML(QWidget* parent)
    : QWidget(parent), mEvents(new Tessaro14_MLEvents(this)),
      mRelay(std::make_unique<Relay>(mEvents, this)) {
    InizializzaIcone();
    if (!CurrentMessageBoxService()) {
        static QtMessageBoxService servizio(TestoPulsanteMessaggio);
        SetMessageBoxService(&servizio);
    }
    mToolbar = new BarraPulsanti(this);
    mToolbar->setObjectName(QStringLiteral("ToolbarMoveRecord"));
    mToolbar->setIconSize(QSize(16, 16));
    auto* disposizione = new QHBoxLayout(this);
    disposizione->setContentsMargins(0, 0, 0, 0);
    disposizione->setSpacing(0);
    disposizione->addWidget(mToolbar);
    mAnnunciatore = new Annunciatore(this);
    CreaPulsanti();
    Inizializza();
    // To see the shortcut overrides of the form's line edits (see CedeTasto).
    qApp->installEventFilter(this);
}

Tessaro14_ML::~Tessaro14_ML() {
    Disattiva();
}

void Tessaro14_ML::CreaPulsanti() {
    const auto aggiungi = [this](const Pulsante& p, int larghezza) {
        AggiungiPulsante(Testo(p.key), Testo(p.icona), QString::fromUtf8(p.tooltip),
                         QKeySequence(Testo(p.tasti), QKeySequence::PortableText), larghezza);
        Button(Testo(p.key))->setProperty(kMessaggio, Testo(p.messaggio));
    };
    aggiungi(kPrimo, kLarghezzaPrimo);
    aggiungi(kPrecedente, kLarghezzaPrecedente);
    AggiungiCasella(kLarghezzaCasella);
    aggiungi(kSuccessivo, kLarghezzaSuccessivo);
    aggiungi(kUltimo, kLarghezzaUltimo);
    for (int i = 0; i < kSpaziatori; ++i)
        AggiungiSpaziatore();
    for (const Pulsante& p : kComandiProgettati)
        aggiungi(p, kLarghezzaComando);
    AggiornaTesti();
}

void Tessaro14_ML::AggiungiPulsante(const QString& key, const QString& icona,
                                    const QString& tooltip, const QKeySequence& tasti,
                                    int larghezza) {
    auto* a = new QAction(
        QIcon(QStringLiteral(":/tessaro/icons/") + icona + QStringLiteral(".svg")), key, mToolbar);
    a->setObjectName(key);
    a->setProperty(kEtichetta, tooltip);
    a->setShortcut(tasti);
    // Anywhere in the form's window; a focused widget that wants the key for
    // itself still gets it first through its shortcut override.
    a->setShortcutContext(Qt::WindowShortcut);
    mToolbar->addAction(a);
    if (QWidget* w = mToolbar->widgetForAction(a)) {
        w->setFixedWidth(larghezza);
        w->setFocusPolicy(Qt::TabFocus);
    }
    connect(a, &QAction::triggered, this, [this, a] { ToolbarMoveRecord_ButtonClick(a); });
    *std::find(mPulsanti.begin(), mPulsanti.end(), nullptr) = a;
}

// A blank gap: separators would draw one line each where the design has a space.
void Tessaro14_ML::AggiungiSpaziatore() {
    auto* spazio = new QWidget;
    spazio->setFixedWidth(kLarghezzaSpaziatore);
    auto* a = new QWidgetAction(mToolbar);
    a->setDefaultWidget(spazio);
    mToolbar->addAction(a);
    *std::find(mPulsanti.begin(), mPulsanti.end(), nullptr) = a;
}

void Tessaro14_ML::AggiungiCasella(int larghezza) {
    mTxtNumRec = new QLineEdit;
    mTxtNumRec->setObjectName(QStringLiteral("txtNumRec"));
    mTxtNumRec->setFixedWidth(larghezza);
    mTxtNumRec->setAlignment(Qt::AlignCenter);
    mTxtNumRec->setFont(CarattereCasella(font()));
    mTxtNumRec->installEventFilter(this);
    auto* posto = new QWidgetAction(mToolbar);
    posto->setDefaultWidget(mTxtNumRec);
    mToolbar->addAction(posto);
    *std::find(mPulsanti.begin(), mPulsanti.end(), nullptr) = posto;
}

void Tessaro14_ML::Inizializza() {
    NuovoEnabled(true);
    TastiScorrimentoEnabled(true);
    // Enables Modifica, Elimina and Duplica too.
    ConsultazioneEnabled(true);
    ApplicaScorrimento();
}

void Tessaro14_ML::ApplicaScorrimento() {
    const bool visibile = mScorrimentoDisabilitato == 0;
    // The record-number box is the widget of position 3: it goes with its action.
    for (int i = 1; i <= kPosizioniScorrimento; ++i)
        Button(i)->setVisible(visibile);
    ApplicaLayout();
}

// The designed height, or more when the font needs it.
void Tessaro14_ML::ApplicaLayout() {
    const int casella = std::max(kAltezzaCasella, mTxtNumRec->sizeHint().height());
    const int altezza = std::max(kAltezza, casella + 2 * kMargineCasella);
    mTxtNumRec->setFixedHeight(casella);
    for (QAction* a : mPulsanti)
        if (QWidget* w = mToolbar->widgetForAction(a); w && w != mTxtNumRec)
            w->setFixedHeight(altezza);
    setFixedSize(mScorrimentoDisabilitato ? kLarghezzaRidotta : kLarghezza, altezza);
}

void Tessaro14_ML::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && mTxtNumRec) {
        mTxtNumRec->setFont(CarattereCasella(font()));
        ApplicaLayout();
    }
}

// --- buttons ---------------------------------------------------------------------

QAction* Tessaro14_ML::Button(int position) const {
    if (position < 1 || position > kPosizioni)
        TessaroError::Raise(Err::SubscriptOutOfRange);
    return mPulsanti[static_cast<std::size_t>(position - 1)];
}

QAction* Tessaro14_ML::Button(const QString& key) const {
    if (!key.isEmpty())
        for (QAction* a : mPulsanti)
            if (a->objectName() == key)
                return a;
    TessaroError::Raise(Err::SubscriptOutOfRange);
}

QToolBar* Tessaro14_ML::ToolbarMoveRecord() const {
    return mToolbar;
}

// --- properties --------------------------------------------------------------------

void Tessaro14_ML::NuovoEnabled(bool value) {
    const bool cambiato = std::exchange(mNuovoEnabled, value) != value;
    Button(QStringLiteral("Nuovo"))->setEnabled(value);
    AggiornaStatoPulsanti();
    if (cambiato)
        emit NuovoEnabledChanged(value);
}

void Tessaro14_ML::ModificaEnabled(bool value) {
    const bool cambiato = std::exchange(mModificaEnabled, value) != value;
    Button(QStringLiteral("Modifica"))->setEnabled(value);
    AggiornaStatoPulsanti();
    if (cambiato)
        emit ModificaEnabledChanged(value);
}

void Tessaro14_ML::EliminaEnabled(bool value) {
    const bool cambiato = std::exchange(mEliminaEnabled, value) != value;
    Button(QStringLiteral("Elimina"))->setEnabled(value);
    AggiornaStatoPulsanti();
    if (cambiato)
        emit EliminaEnabledChanged(value);
}

void Tessaro14_ML::DuplicaEnabled(bool value) {
    const bool cambiato = std::exchange(mDuplicaEnabled, value) != value;
    Button(QStringLiteral("Duplica"))->setEnabled(value);
    AggiornaStatoPulsanti();
    if (cambiato)
        emit DuplicaEnabledChanged(value);
}

void Tessaro14_ML::TastiScorrimentoEnabled(bool value) {
    const bool cambiato = std::exchange(mTastiScorrimentoEnabled, value) != value;
    ImpostaScorrimento(value, value);
    BloccaCasella(!value);
    AggiornaStatoPulsanti();
    if (cambiato)
        emit TastiScorrimentoEnabledChanged(value);
}

void Tessaro14_ML::ConsultazioneEnabled(bool value) {
    if (std::exchange(mConsultazioneEnabled, value) != value)
        emit ConsultazioneEnabledChanged(value);
    ModificaEnabled(value);
    EliminaEnabled(value);
    DuplicaEnabled(value);
    Button(QStringLiteral("Stampa"))->setEnabled(value);
    const bool scorrimento = value && mTastiScorrimentoEnabled;
    ImpostaScorrimento(scorrimento, scorrimento);
    BloccaCasella(!scorrimento);
    AggiornaStatoPulsanti();
}

void Tessaro14_ML::ImpostaConferma(bool& mio, Conferma suo, void (Tessaro14_ML::*cambiato)(bool),
                                   DaProprieta bit, bool value, bool daProprieta) {
    if (std::exchange(mio, value) != value)
        emit(this->*cambiato)(value);
    if (daProprieta) {
        mDaProprieta |= bit;
        if (mFonteDati)
            (*mFonteDati).*suo = value;
        return;
    }
    (*Attiva()).*suo = value;
}

void Tessaro14_ML::MessaggioConfermaNuovoDisabilitato(bool value) {
    ImpostaConferma(
        mMessaggioConfermaNuovoDisabilitato, &clsADONavigator::MessaggioConfermaNuovoDisabilitato,
        &Tessaro14_ML::MessaggioConfermaNuovoDisabilitatoChanged, kConfermaNuovo, value, false);
}

void Tessaro14_ML::setMessaggioConfermaNuovoDisabilitato(bool value) {
    ImpostaConferma(
        mMessaggioConfermaNuovoDisabilitato, &clsADONavigator::MessaggioConfermaNuovoDisabilitato,
        &Tessaro14_ML::MessaggioConfermaNuovoDisabilitatoChanged, kConfermaNuovo, value, true);
}

void Tessaro14_ML::MessaggioConfermaClonaDisabilitato(bool value) {
    ImpostaConferma(
        mMessaggioConfermaClonaDisabilitato, &clsADONavigator::MessaggioConfermaClonaDisabilitato,
        &Tessaro14_ML::MessaggioConfermaClonaDisabilitatoChanged, kConfermaClona, value, false);
}

void Tessaro14_ML::setMessaggioConfermaClonaDisabilitato(bool value) {
    ImpostaConferma(
        mMessaggioConfermaClonaDisabilitato, &clsADONavigator::MessaggioConfermaClonaDisabilitato,
        &Tessaro14_ML::MessaggioConfermaClonaDisabilitatoChanged, kConfermaClona, value, true);
}

void Tessaro14_ML::MessaggioConfermaEliminaDisabilitato(bool value) {
    ImpostaConferma(mMessaggioConfermaEliminaDisabilitato,
                    &clsADONavigator::MessaggioConfermaEliminaDisabilitato,
                    &Tessaro14_ML::MessaggioConfermaEliminaDisabilitatoChanged, kConfermaElimina,
                    value, false);
}

void Tessaro14_ML::setMessaggioConfermaEliminaDisabilitato(bool value) {
    ImpostaConferma(mMessaggioConfermaEliminaDisabilitato,
                    &clsADONavigator::MessaggioConfermaEliminaDisabilitato,
                    &Tessaro14_ML::MessaggioConfermaEliminaDisabilitatoChanged, kConfermaElimina,
                    value, true);
}

void Tessaro14_ML::MemorizzaInitCharTag(const QString& value) {
    if (std::exchange(mInitCharTag, value) != value)
        emit InitCharTagChanged(value);
}

void Tessaro14_ML::InitCharTag(const QString& value) {
    MemorizzaInitCharTag(value);
    Attiva()->InitCharTag(value);
}

void Tessaro14_ML::setInitCharTag(const QString& value) {
    MemorizzaInitCharTag(value);
    mDaProprieta |= kPrefisso;
    if (mFonteDati)
        mFonteDati->InitCharTag(value);
}

// The confirmation flags and the prefix that the properties gave, for a new source.
void Tessaro14_ML::ApplicaProprieta(clsADONavigator& nav) const {
    if (mDaProprieta & kConfermaNuovo)
        nav.MessaggioConfermaNuovoDisabilitato = mMessaggioConfermaNuovoDisabilitato;
    if (mDaProprieta & kConfermaClona)
        nav.MessaggioConfermaClonaDisabilitato = mMessaggioConfermaClonaDisabilitato;
    if (mDaProprieta & kConfermaElimina)
        nav.MessaggioConfermaEliminaDisabilitato = mMessaggioConfermaEliminaDisabilitato;
}

short Tessaro14_ML::State() const {
    return Attiva()->State();
}

QString Tessaro14_ML::Condizione() const {
    return Attiva()->mCondizione;
}

void Tessaro14_ML::MemorizzaTipoDatabase(int value) {
    if (std::exchange(mTipoDatabase, value) != value)
        emit TipoDatabaseChanged(static_cast<TipoDb>(value));
}

void Tessaro14_ML::TipoDatabase(int value) {
    MemorizzaTipoDatabase(value);
    Attiva()->TipoDatabase = value;
}

void Tessaro14_ML::setTipoDatabase(TipoDb value) {
    MemorizzaTipoDatabase(value);
    if (mFonteDati)
        mFonteDati->TipoDatabase = value;
}

void Tessaro14_ML::MemorizzaScorrimento(short value) {
    const short memorizzato = value != 0 ? -1 : 0;
    if (std::exchange(mScorrimentoDisabilitato, memorizzato) != memorizzato)
        emit ScorrimentoDisabilitatoChanged(memorizzato != 0);
}

void Tessaro14_ML::ScorrimentoDisabilitato(short value) {
    MemorizzaScorrimento(value);
    Attiva()->ScorrimentoDisabilitato = mScorrimentoDisabilitato;
    ApplicaScorrimento();
}

void Tessaro14_ML::setScorrimentoDisabilitato(bool value) {
    MemorizzaScorrimento(value ? -1 : 0);
    if (mFonteDati)
        mFonteDati->ScorrimentoDisabilitato = mScorrimentoDisabilitato;
    ApplicaScorrimento();
}

void Tessaro14_ML::Enabled(bool abilitata) {
    Riporta(QStringLiteral("Tessaro_Enabled "), TitoloTQ03(), [&] {
        for (QAction* a : mPulsanti)
            a->setEnabled(abilitata);
        BloccaCasella(!abilitata);
        mToolbar->setEnabled(abilitata);
        if (!abilitata)
            mTxtNumRec->clear();
        else
            AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::CambiaLingua(const QString& PercorsoFileLingua) {
    CambiaLinguaModulo(PercorsoFileLingua);
    for (QAction* a : mPulsanti)
        if (const QString m = a->property(kMessaggio).toString(); !m.isEmpty())
            a->setProperty(kEtichetta, GetMessage(m));
    AggiornaTesti();
    mUltimoAnnuncio.clear();
    AggiornaStatoPulsanti();
}

void Tessaro14_ML::Scorciatoia(const QString& key, const QKeySequence& tasti) {
    Button(key)->setShortcut(tasti);
    AggiornaTesti();
}

QKeySequence Tessaro14_ML::Scorciatoia(const QString& key) const {
    return Button(key)->shortcut();
}

// Tooltips show the shortcut; screen readers get the label as the name and the
// shortcut as the description.
void Tessaro14_ML::AggiornaTesti() {
    const QString tasto = Messaggio("TQ61", "Tasto di scelta rapida:");
    for (QAction* a : mPulsanti) {
        const QString etichetta = a->property(kEtichetta).toString();
        if (etichetta.isEmpty())
            continue;
        const QString tasti = a->shortcut().toString(QKeySequence::NativeText);
        a->setToolTip(tasti.isEmpty() ? etichetta
                                      : etichetta + QStringLiteral(" (") + tasti + u')');
        if (QWidget* w = mToolbar->widgetForAction(a)) {
            w->setAccessibleName(etichetta);
            w->setAccessibleDescription(tasti.isEmpty() ? QString() : tasto + u' ' + tasti);
        }
    }
    mTxtNumRec->setAccessibleName(Messaggio("TQ58", "Numero del record"));
    mTxtNumRec->setToolTip(
        Messaggio("TQ59", "Scrivere il numero di un record e premere Invio per raggiungerlo"));
}

void Tessaro14_ML::Annuncia(const QString& testo) {
    mUltimoAnnuncio = testo;
    mDopoAttivazione.reset(); // a newer one takes the place of one still waiting
    if (mInComando)
        mAnnuncioInAttesa = testo;
    else
        mAnnunciatore->Annuncia(testo);
}

// A command that showed a message box ends before the window manager gives
// the keyboard back to the form (no window is active meanwhile), and a screen
// reader presenting the window again drops a notification shown just before.
// Its announcement waits for the window to be active again, a moment at most.
void Tessaro14_ML::AnnunciaDopoComando(const QString& testo, bool eraAttiva) {
    const QWidget* finestra = window();
    if (!eraAttiva || finestra->isActiveWindow() || QApplication::activeWindow() ||
        !finestra->isVisible()) {
        mAnnunciatore->Annuncia(testo);
        return;
    }
    mDopoAttivazione = testo;
    QTimer::singleShot(kAttesaAttivazione, this, [this] { PronunciaRimandato(); });
}

void Tessaro14_ML::PronunciaRimandato() {
    if (mDopoAttivazione)
        mAnnunciatore->Annuncia(*std::exchange(mDopoAttivazione, std::nullopt));
}

// --- the active navigator ------------------------------------------------------------

std::shared_ptr<clsADONavigator> Tessaro14_ML::Attiva() const {
    if (!mFonteDati)
        TessaroError::Raise(Err::ObjectNotSet);
    return mFonteDati;
}

void Tessaro14_ML::RendiAttiva(std::shared_ptr<clsADONavigator> nav) {
    Disattiva();
    mFonteDati = std::move(nav);
    if (mFonteDati)
        mFonteDati->SetEventSink(mRelay.get());
}

void Tessaro14_ML::Disattiva() {
    if (mFonteDati && mFonteDati->EventSink() == mRelay.get())
        mFonteDati->SetEventSink(nullptr);
    mFonteDati.reset();
}

// --- data sources ----------------------------------------------------------------------

bool Tessaro14_ML::AddFonteDati(Connection* TheConnection, const QString& TableName,
                                QWidget* Container, const QString& OrderField,
                                const std::vector<QString>& ArrayOfLink,
                                const QString& SecondaParteDelNomeControllo,
                                const QString& InitCharOfTag, const QString& Condizione) {
    bool risultato = false;
    Riporta(QStringLiteral("Tessaro_AddFonteDati "), TitoloTQ03(), [&] {
        const short scorrimento = mScorrimentoDisabilitato;
        const int tipo = mTipoDatabase;
        auto nav = std::make_shared<clsADONavigator>();
        RendiAttiva(nav);
        nav->ScorrimentoDisabilitato = scorrimento;
        nav->TipoDatabase = tipo;
        ApplicaProprieta(*nav);
        HostObject* contenitore = HostObjectOf(Container);
        if (!Container || !contenitore)
            TessaroError::Raise(Err::ObjectNotSet);
        AvvisaWidgetNonLegabili(*Container);
        // A prefix given only through the property serves every source.
        const QString prefisso =
            InitCharOfTag.isEmpty() && (mDaProprieta & kPrefisso) ? mInitCharTag : InitCharOfTag;
        risultato = nav->Init_Class(TheConnection, TableName, contenitore, OrderField, ArrayOfLink,
                                    prefisso, Condizione);
        ScorrimentoDisabilitato(scorrimento);
        TipoDatabase(tipo);
        mFontiDati.Add(contenitore->Name() + SecondaParteDelNomeControllo, nav);
        AggiornaStatoPulsanti();
    });
    return risultato;
}

void Tessaro14_ML::SetFonteDatiAttiva(const QString& ContainerName) {
    // A name that is not registered leaves the active source as it was.
    Salta([&] { RendiAttiva(mFontiDati.Item(ContainerName)); });
    mContenitoreName = ContainerName;
    AggiornaStatoPulsanti();
}

void Tessaro14_ML::RimuoviFonte(const QString& ContainerName) {
    Disattiva();
    mFontiDati.Remove(ContainerName);
}

bool Tessaro14_ML::RemoveFonteDati(const QString& ContainerName) {
    bool risultato = true;
    Riporta(QStringLiteral("Tessaro_RemoveFonteDati "), TitoloTQ03(), [&] {
        const std::shared_ptr<clsADONavigator> nav = mFontiDati.Item(ContainerName);
        RendiAttiva(nav);
        if (!InInserimentoOModifica(nav->Stato())) {
            nav->Unload();
            RimuoviFonte(ContainerName);
            AggiornaStatoPulsanti();
            return;
        }
        switch (MsgBox(GetMessage(QStringLiteral("TQ06")),
                       MsgStyle::YesNoCancel + MsgStyle::Question, ContainerName)) {
        case MsgAnswer::Yes:
            nav->Update();
            // The user asked to save: a record that could not be saved is not thrown away.
            if (InInserimentoOModifica(nav->Stato())) {
                risultato = false;
                return;
            }
            nav->Unload();
            RimuoviFonte(ContainerName);
            break;
        case MsgAnswer::No:
            RimuoviFonte(ContainerName);
            break;
        default:
            risultato = false;
            break;
        }
    });
    AggiornaStatoPulsanti();
    return risultato;
}

void Tessaro14_ML::AddInLoadedFormsSet(QWidget* frm) {
    // A null form, or one listed already, is left out.
    Salta([&] {
        HostObject* h = HostObjectOf(frm);
        if (!frm || !h)
            TessaroError::Raise(Err::ObjectNotSet);
        mLoadedForms.Add(h->Name(), QPointer<QWidget>(frm));
    });
}

void Tessaro14_ML::ClearLoadedFormsSet() {
    for (int i = mLoadedForms.Count() - 1; i >= 0; --i)
        mLoadedForms.RemoveAt(i);
}

// --- lookup combos ----------------------------------------------------------------------

void Tessaro14_ML::SincronizzaTabelleCombo(QComboBox* mCombo) {
    const auto nav = Attiva();
    nav->SincronizzaTabelleComboItem(ComboDi(mCombo));
}

void Tessaro14_ML::Ricarica(ComboBox& cmb, const QString& fonte, const QString& tabella) {
    QString testo;
    Annota("reading the combo", [&] { testo = cmb.Text(); });
    Annota("clearing the combo", [&] { cmb.Clear(); });
    SetFonteDatiAttiva(fonte);
    Annota("filling the combo", [&] { Attiva()->FillCombo(cmb); });
    Annota("reading the combo's keys",
           [&] { Attiva()->AggiornaChiaviPrimarieCombo(cmb, tabella); });
    if (testo.isEmpty())
        return;
    Annota("selecting the item shown before", [&] {
        const int n = cmb.ListCount();
        for (int i = 0; i < n; ++i) {
            if (cmb.List(i) == testo) {
                cmb.SetListIndex(i);
                break;
            }
        }
    });
}

void Tessaro14_ML::RefreshCombo(const QString& Contenitore, QComboBox* cmb) {
    Annota("RefreshCombo", [&] {
        ComboBox& c = ComboDi(cmb);
        if (const auto tabella = TabellaDiRicercaDelCombo(c.Tag(), mInitCharTag))
            Ricarica(c, Contenitore, *tabella);
    });
}

void Tessaro14_ML::RicaricaSeDellaTabella(Control& c, const QString& fonte,
                                          const QString& tabella) {
    if (!c.IsComboBox() || c.Tag().isEmpty())
        return;
    const auto sua = TabellaDiRicercaDelCombo(c.Tag(), mInitCharTag);
    if (sua && *sua == tabella)
        Ricarica(AsComboBox(c), fonte, tabella);
}

void Tessaro14_ML::UpdateCombo() {
    QString tabella;
    HostObject* contenitore = nullptr;
    // With no active source there is nothing to refresh.
    Salta([&] { tabella = Attiva()->PrimaryTableName(); });
    Salta([&] { contenitore = Attiva()->ContenitoreCaselle(); });
    if (!contenitore)
        return;
    const bool suForm = contenitore->IsForm();
    // Refills activate other sources; walk a copy of the list as it is now.
    std::vector<QPointer<QWidget>> voci;
    for (const auto& v : mLoadedForms)
        voci.push_back(v.Valore);
    // A form that is gone, or not of the active source's kind, is passed over,
    // and so is a control without a container (an action); each refill logs
    // its own failures.
    for (const QPointer<QWidget>& voce : voci) {
        Salta([&] {
            HostObject* h = HostObjectOf(voce.data());
            if (!voce || !h)
                TessaroError::Raise(Err::ObjectNotSet);
            const QString nome = h->Name();
            if (suForm) {
                if (!h->IsForm())
                    TessaroError::Raise(Err::NoSuchMember);
                for (Control* c : static_cast<Form*>(h)->Controls())
                    Salta([&] { RicaricaSeDellaTabella(*c, nome, tabella); });
                return;
            }
            Form* form = h->ParentForm();
            if (!form)
                TessaroError::Raise(Err::ObjectNotSet);
            for (Control* c : form->Controls())
                Salta([&] {
                    if (c->Container()->Name() == nome)
                        RicaricaSeDellaTabella(*c, nome, tabella);
                });
        });
    }
}

// --- commands ---------------------------------------------------------------------------

bool Tessaro14_ML::ChiediInserimento() {
    bool cancel = false;
    emit mEvents->BeforeInsert(cancel);
    return !cancel;
}

bool Tessaro14_ML::ChiediSalvataggio() {
    bool cancel = false;
    emit mEvents->ValidateBeforeSave(cancel);
    return !cancel;
}

void Tessaro14_ML::ToolbarMoveRecord_ButtonClick(QAction* Button) {
    const QString key = Button->objectName();
    Comando([&] {
        Riporta(QStringLiteral("Tessaro_ToolbarMoveRecord_ButtonClick "), TitoloTQ03(),
                [&] { EseguiComando(key); });
    });
}

template <typename F> void Tessaro14_ML::Comando(F&& f) {
    // A button pressed by a handler inside a command runs within that command.
    if (mInComando) {
        f();
        return;
    }
    // Disabling the toolbar takes the focus from its button or box.
    const QPointer<QWidget> prima = QApplication::focusWidget();
    const bool eraAttiva = window()->isActiveWindow();
    mInComando = true;
    mFuocoSpostato = false;
    mToolbar->setEnabled(false);
    f();
    mToolbar->setEnabled(true);
    mInComando = false;
    RimettiFuoco(prima.data());
    // Spoken once the focus has settled: a focus change would cut it short.
    if (mAnnuncioInAttesa)
        AnnunciaDopoComando(*std::exchange(mAnnuncioInAttesa, std::nullopt), eraAttiva);
}

// Back where it was, or on the first field when that widget no longer takes
// the focus; a focus the command's handlers gave (a field to fill, a field a
// refused save points at) stays where they put it.
void Tessaro14_ML::RimettiFuoco(QWidget* prima) {
    QWidget* ora = QApplication::focusWidget();
    if (!prima || ora == prima || (ora && mFuocoSpostato))
        return;
    if (prima->isEnabled() && prima->isVisible() && prima->focusPolicy() != Qt::NoFocus) {
        prima->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Qt has already moved it on from a field that was locked.
    if (ora && !mToolbar->isAncestorOf(ora))
        return;
    if (QWidget* campo = PrimoCampo())
        campo->setFocus(Qt::OtherFocusReason);
}

QWidget* Tessaro14_ML::PrimoCampo() const {
    QWidget* contenitore = nullptr;
    // Without an active source there is no field to go to.
    Salta([&] { contenitore = WidgetDi(Attiva()->ContenitoreCaselle()); });
    if (!contenitore)
        return nullptr;
    // The focus chain is a ring through the whole window.
    QWidget* w = contenitore->nextInFocusChain();
    for (; w && w != contenitore; w = w->nextInFocusChain())
        if (contenitore->isAncestorOf(w) && !mToolbar->isAncestorOf(w) && w->isEnabled() &&
            w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
            return w;
    return nullptr;
}

void Tessaro14_ML::EseguiComando(const QString& key) {
    if (key == QLatin1String("Primo")) {
        Attiva()->MoveFirst();
    } else if (key == QLatin1String("Precedente")) {
        Attiva()->MovePrevious();
    } else if (key == QLatin1String("Successivo")) {
        Attiva()->MoveNext();
    } else if (key == QLatin1String("Ultimo")) {
        Attiva()->MoveLast();
    } else if (key == QLatin1String("Nuovo")) {
        if (!ChiediInserimento())
            return;
        Attiva()->Addnew();
    } else if (key == QLatin1String("Modifica")) {
        Attiva()->Edit();
    } else if (key == QLatin1String("Salva")) {
        if (!ChiediSalvataggio())
            return;
        Attiva()->Update();
    } else if (key == QLatin1String("Elimina")) {
        Attiva()->Delete();
    } else if (key == QLatin1String("Annulla")) {
        Attiva()->Annulla();
    } else if (key == QLatin1String("Duplica")) {
        if (!ChiediInserimento())
            return;
        Attiva()->Clone();
    } else if (key == QLatin1String("Stampa")) {
        bool cancel = false;
        emit mEvents->ClickPrint(cancel);
        if (!cancel)
            Attiva()->PrintForm();
        return;
    } else {
        return;
    }
    AggiornaStatoPulsanti();
}

void Tessaro14_ML::Addnew() {
    Riporta(QStringLiteral("Tessaro_Addnew "), TitoloTQ03(), [&] {
        if (InInserimentoOModifica(Attiva()->Stato()) || !ChiediInserimento())
            return;
        Attiva()->Addnew();
        AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::Update() {
    Riporta(QStringLiteral("Tessaro_Update "), TitoloTQ03(), [&] {
        if (!InInserimentoOModifica(Attiva()->Stato()) || !ChiediSalvataggio())
            return;
        Attiva()->Update();
        AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::Edit() {
    Riporta(QStringLiteral("Tessaro_Edit "), TitoloTQ03(), [&] {
        const StatoNavigatore stato = Attiva()->Stato();
        if (stato == StatoNavigatore::NessunRecord || InInserimentoOModifica(stato))
            return;
        Attiva()->Edit();
        AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::Delete() {
    Riporta(QStringLiteral("Tessaro_Delete "), TitoloTQ03(), [&] {
        const StatoNavigatore stato = Attiva()->Stato();
        if (stato == StatoNavigatore::NessunRecord || InInserimentoOModifica(stato))
            return;
        Attiva()->Delete();
        AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::MoveTo(const QString& PrimaryKey) {
    Riporta(QStringLiteral("Tessaro_MoveTo "), TitoloTQ03(), [&] {
        Attiva()->MoveTo(PrimaryKey);
        AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::ImpostaCondizione(const QString& Condizione) {
    Riporta(QStringLiteral("Tessaro_ImpostaCondizione "), TitoloTQ03(), [&] {
        const auto nav = Attiva();
        nav->mCondizione = Condizione;
        nav->AggiornaTheData();
        AggiornaStatoPulsanti();
    });
}

void Tessaro14_ML::Annulla() {
    Riporta(QStringLiteral("Tessaro_Annulla "), TitoloTQ03(), [&] {
        // The navigator raises AfterAnnulla, as it does for the toolbar.
        if (!InInserimentoOModifica(Attiva()->Stato()))
            return;
        Attiva()->Annulla();
        AggiornaStatoPulsanti();
    });
}

// --- button states ----------------------------------------------------------------------

void Tessaro14_ML::AggiornaStatoPulsanti() {
    mToolbar->setEnabled(true);
    // No source, or one that failed to set up: nothing to press.
    if (!mFonteDati || !mFonteDati->Inizializzato()) {
        if (!mUltimoAnnuncio.isEmpty())
            Annuncia(QString());
        ImpostaTutti(false);
        ImpostaCasella(QString(), true);
        return;
    }
    StatoNavigatore stato{};
    try {
        if (!mFonteDati || mFonteDati->ConnState() == 0)
            return;
        stato = mFonteDati->Stato();
    } catch (const TessaroError&) {
        return; // no state to show: the buttons stay as they are
    }
    stato = StatoVero(stato);
    StatoPulsanti(stato);
    AnnunciaStato(stato);
}

// A move speaks the record counter as the box shows it; entering an edit
// speaks the mode.
void Tessaro14_ML::AnnunciaStato(StatoNavigatore stato) {
    QString testo;
    if (stato == StatoNavigatore::NuovoRecord) {
        testo = Messaggio("TQ62", "Nuovo record: inserire i dati");
    } else if (stato == StatoNavigatore::ModificaRecord) {
        testo = Messaggio("TQ63", "Modifica del record in corso");
    } else if (stato == StatoNavigatore::NessunRecord) {
        testo = Messaggio("TQ66", "Nessun record");
    } else {
        // The counter reports its own failures.
        Salta([&] { testo = Messaggio("TQ60", "Record %1").arg(Contatore(true)); });
    }
    if (testo != mUltimoAnnuncio)
        Annuncia(testo);
}

StatoNavigatore Tessaro14_ML::StatoVero(StatoNavigatore stato) {
    if (stato == StatoNavigatore::NessunRecord || InInserimentoOModifica(stato) ||
        mFonteDati->ScorrimentoDisabilitato)
        return stato;
    // The buttons follow where the record stands, whatever state a move named.
    const StatoNavigatore vero = mFonteDati->StatoDelRecord();
    if (vero != stato)
        mFonteDati->SetState(vero);
    return vero;
}

// Worked out whole before any button changes: a focused button switched off
// and on again would lose the keyboard focus to the next field.
void Tessaro14_ML::StatoPulsanti(StatoNavigatore stato) {
    std::array<bool, kPosizioni> acceso{};
    const auto posto = [this](const char* key) {
        return static_cast<std::size_t>(
            std::find(mPulsanti.begin(), mPulsanti.end(), Button(Testo(key))) - mPulsanti.begin());
    };
    const auto imposta = [&](const char* key, bool value) { acceso[posto(key)] = value; };
    const bool ts = mTastiScorrimentoEnabled;
    QString casella;
    bool bloccata = true;
    switch (stato) {
    case StatoNavigatore::NessunRecord:
        imposta("Stampa", true);
        imposta("Nuovo", mNuovoEnabled);
        casella = QStringLiteral("0");
        break;
    case StatoNavigatore::NuovoRecord:
    case StatoNavigatore::ModificaRecord:
        imposta("Stampa", true);
        imposta("Salva", true);
        casella = stato == StatoNavigatore::NuovoRecord ? Messaggio("TQ64", "Nuovo record")
                                                        : Messaggio("TQ65", "In modifica");
        break;
    case StatoNavigatore::PrimoRecord:
    case StatoNavigatore::UltimoRecord:
    case StatoNavigatore::UnicoRecord:
    case StatoNavigatore::RecordInMezzo: {
        acceso.fill(true);
        imposta("Stampa", mConsultazioneEnabled);
        imposta("Nuovo", mNuovoEnabled);
        imposta("Modifica", mModificaEnabled);
        imposta("Elimina", mEliminaEnabled);
        imposta("Salva", false);
        imposta("Duplica", mDuplicaEnabled);
        const bool inMezzo = stato == StatoNavigatore::RecordInMezzo;
        const bool indietro = ts && (inMezzo || stato == StatoNavigatore::UltimoRecord);
        const bool avanti = ts && (inMezzo || stato == StatoNavigatore::PrimoRecord);
        for (const char* key : {"Primo", "Precedente"})
            imposta(key, indietro);
        for (const char* key : {"Successivo", "Ultimo"})
            imposta(key, avanti);
        // RecordCount and AbsolutePosition report their own failures.
        Salta([&] { casella = Contatore(); });
        bloccata = !ts;
        break;
    }
    default:
        return;
    }
    imposta("Annulla", acceso[posto("Salva")]);
    for (std::size_t i = 0; i < mPulsanti.size(); ++i)
        mPulsanti[i]->setEnabled(acceso[i]);
    ImpostaCasella(casella, bloccata);
}

void Tessaro14_ML::ImpostaTutti(bool value) {
    for (QAction* a : mPulsanti)
        a->setEnabled(value);
}

void Tessaro14_ML::ImpostaScorrimento(bool primoPrecedente, bool successivoUltimo) {
    Button(QStringLiteral("Primo"))->setEnabled(primoPrecedente);
    Button(QStringLiteral("Precedente"))->setEnabled(primoPrecedente);
    Button(QStringLiteral("Successivo"))->setEnabled(successivoUltimo);
    Button(QStringLiteral("Ultimo"))->setEnabled(successivoUltimo);
}

void Tessaro14_ML::ImpostaCasella(const QString& testo, bool locked) {
    mTestoCasella = testo;
    mTxtNumRec->setText(testo);
    BloccaCasella(locked);
}

void Tessaro14_ML::BloccaCasella(bool locked) {
    mTxtNumRec->setReadOnly(locked);
    MostraSolaLettura(mTxtNumRec, locked);
}

QString Tessaro14_ML::Contatore(bool parlato) const {
    const auto nav = Attiva();
    // A count not final yet carries a mark, as form bars mark a row count
    // still being read; a screen reader hears it in words.
    QString segno;
    if (nav->ConteggioInAttesa())
        segno = parlato ? QStringLiteral(" (") + Messaggio("TQ71", "conteggio in corso") + u')'
                        : QStringLiteral("*");
    return Numero(nav->AbsolutePosition()) + QLatin1Char(' ') + GetMessage(QStringLiteral("TQ30")) +
           QLatin1Char(' ') + Numero(nav->RecordCount()) + segno;
}

// A count came back: the counter says so, unless a command is under way (it
// refreshes the counter at its end) or the user is typing a number in the box.
void Tessaro14_ML::AggiornaContatore() {
    if (!mFonteDati || !mFonteDati->Inizializzato() || !mToolbar->isEnabled())
        return;
    const StatoNavigatore stato = mFonteDati->Stato();
    if (stato == StatoNavigatore::NessunRecord || InInserimentoOModifica(stato))
        return;
    if (mTxtNumRec->hasFocus() && mTxtNumRec->text() != mTestoCasella)
        return;
    QString contatore;
    Salta([&] { contatore = Contatore(); });
    ImpostaCasella(contatore, mTxtNumRec->isReadOnly());
    AnnunciaStato(stato);
}

// --- the record-number box ----------------------------------------------------------------

// A multi-line text box, a list or a table of the form pages and jumps to its
// ends with these keys even when read-only: it keeps them, and the buttons wait.
static bool TieneTasto(QObject* watched, QKeyEvent* e, const QWidget* finestra) {
    auto* area = qobject_cast<QAbstractScrollArea*>(watched);
    return area && area->window() == finestra &&
           (e->matches(QKeySequence::MoveToNextPage) ||
            e->matches(QKeySequence::MoveToPreviousPage) ||
            e->matches(QKeySequence::MoveToStartOfDocument) ||
            e->matches(QKeySequence::MoveToEndOfDocument));
}

// A read-only line edit has no use for editing keys, and in a one-line box the
// document start and end keys do what Home and End do: there a shortcut of an
// enabled button takes the key. Every other widget keeps what it claims.
bool Tessaro14_ML::CedeTasto(QObject* watched, QKeyEvent* e) const {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || edit->window() != window())
        return false;
    if (!edit->isReadOnly() && !e->matches(QKeySequence::MoveToStartOfDocument) &&
        !e->matches(QKeySequence::MoveToEndOfDocument))
        return false;
    const QKeySequence tasti(e->keyCombination());
    return std::any_of(mPulsanti.begin(), mPulsanti.end(), [&](const QAction* a) {
        return a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == tasti;
    });
}

bool Tessaro14_ML::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* tasto = static_cast<QKeyEvent*>(event);
        if (TieneTasto(watched, tasto, window())) {
            tasto->accept();
            return true;
        }
        if (CedeTasto(watched, tasto))
            return true;
    }
    // After the focus that the activation restores: queued behind its events.
    if (event->type() == QEvent::WindowActivate && mDopoAttivazione && watched == window())
        QTimer::singleShot(0, this, [this] { PronunciaRimandato(); });
    if (mInComando && event->type() == QEvent::FocusIn) {
        // Given by the command's handlers, not by the window coming back after a box.
        auto* w = qobject_cast<QWidget*>(watched);
        const Qt::FocusReason perche = static_cast<QFocusEvent*>(event)->reason();
        if (w && w->window() == window() && !mToolbar->isAncestorOf(w) &&
            perche != Qt::ActiveWindowFocusReason && perche != Qt::PopupFocusReason)
            mFuocoSpostato = true;
    }
    if (watched == mTxtNumRec) {
        if (event->type() == QEvent::FocusIn) {
            mSelezionaAlRilascio =
                static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
            txtNumRec_GotFocus();
        } else if (event->type() == QEvent::MouseButtonPress && !mTxtNumRec->hasFocus()) {
            mSelezionaAlRilascio = true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            // The press placed the cursor; the click that brought the focus
            // selects everything, so that typing replaces the counter.
            if (std::exchange(mSelezionaAlRilascio, false) && !mTxtNumRec->hasSelectedText())
                mTxtNumRec->selectAll();
        } else if (event->type() == QEvent::KeyPress) {
            const int tasto = static_cast<QKeyEvent*>(event)->key();
            if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter)
                txtNumRec_KeyPress(kInvio);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Tessaro14_ML::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the record-number box: it must not go on to press the
    // default button of a dialog that holds the control.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tessaro14_ML::txtNumRec_GotFocus() {
    // SelezionaTesto
    if (!mTxtNumRec->text().isEmpty())
        mTxtNumRec->setSelection(0,
                                 std::min<int>(32000, static_cast<int>(mTxtNumRec->text().size())));
}

void Tessaro14_ML::txtNumRec_KeyPress(int KeyAscii) {
    if (KeyAscii == kInvio)
        VaiAlNumero(mTxtNumRec->text());
}

void Tessaro14_ML::VaiAlNumero(const QString& testo) {
    // The counter as it stands names no other record.
    if (testo == mTestoCasella)
        return;
    if (IsNumeric(testo)) {
        // A number beyond 32 bits moves nowhere; Move reports its own failures.
        Salta([&] { Attiva()->Move(Intero32AlPari(NumericValue(testo).value_or(0.0))); });
        AggiornaStatoPulsanti();
        return;
    }
    MsgBox(GetMessage(QStringLiteral("TQ07")), MsgStyle::Exclamation,
           GetMessage(QStringLiteral("TQ02")));
    // With no active source the box keeps what was typed.
    Salta([&] {
        mTestoCasella = Contatore();
        mTxtNumRec->setText(mTestoCasella);
    });
}

} // namespace tessaro
