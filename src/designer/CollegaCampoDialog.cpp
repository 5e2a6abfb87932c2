#include "designer/CollegaCampoDialog.h"

#include "designer/TestiDesigner.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tessaro::designer {

namespace {

QLineEdit* Campo(const char* nome, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(nome));
    return e;
}

QLabel* Nota(const QString& testo, QWidget* parent) {
    auto* l = new QLabel(testo, parent);
    l->setWordWrap(true);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 0.9);
    l->setFont(f);
    l->setForegroundRole(QPalette::PlaceholderText);
    return l;
}

QString Cella(const QTableWidget* t, int riga, int colonna) {
    const QTableWidgetItem* i = t->item(riga, colonna);
    return i ? i->text() : QString();
}

} // namespace

CollegaCampoDialog::CollegaCampoDialog(const QString& nomeWidget, bool combo, const QString& tag,
                                       const QString& prefisso, const QString& navigatore,
                                       QWidget* parent)
    : QDialog(parent), mCombo(combo), mTagPrecedente(tag) {
    setObjectName(QStringLiteral("CollegaCampoDialog"));
    setWindowTitle(TestoDesigner(Testo::TitoloDialogo).arg(nomeWidget));
    auto* colonna = new QVBoxLayout(this);
    auto* modulo = new QFormLayout;
    colonna->addLayout(modulo);

    mPrefisso = Campo("prefisso", this);
    mPrefisso->setText(prefisso);
    mPrefisso->setReadOnly(!navigatore.isEmpty());
    modulo->addRow(TestoDesigner(Testo::Prefisso), mPrefisso);
    modulo->addRow(QString(), Nota(navigatore.isEmpty()
                                       ? TestoDesigner(Testo::PrefissoLibero)
                                       : TestoDesigner(Testo::PrefissoDalControllo).arg(navigatore),
                                   this));
    mColonna = Campo("colonna", this);
    modulo->addRow(TestoDesigner(combo ? Testo::ColonnaChiave : Testo::Colonna), mColonna);
    if (combo)
        CreaCampiCombo(modulo);
    else
        CreaCampiTesto(modulo);

    mTag = Campo("tag", this);
    mTag->setReadOnly(true);
    modulo->addRow(TestoDesigner(Testo::TagRisultante), mTag);
    mSignificato = new QLabel(this);
    mSignificato->setObjectName(QStringLiteral("significato"));
    mSignificato->setWordWrap(true);
    modulo->addRow(TestoDesigner(Testo::Significato), mSignificato);
    mProblema = new QLabel(TestoDesigner(Testo::TagNonRiletto), this);
    mProblema->setWordWrap(true);
    mProblema->setStyleSheet(QStringLiteral("color: #b00020"));
    colonna->addWidget(mProblema);

    mPulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(mPulsanti, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(mPulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    colonna->addWidget(mPulsanti);

    ImpostaParti(LeggiParti(tag, prefisso, combo));
    for (QLineEdit* e : findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textChanged, this, &CollegaCampoDialog::Aggiorna);
    Aggiorna();
    setMinimumWidth(520);
}

void CollegaCampoDialog::CreaCampiTesto(QFormLayout* modulo) {
    mColonnaCollegata = Campo("colonnaCollegata", this);
    modulo->addRow(TestoDesigner(Testo::ColonnaCollegata), mColonnaCollegata);
    modulo->addRow(QString(), Nota(TestoDesigner(Testo::ColonnaCollegataAiuto), this));
}

void CollegaCampoDialog::CreaCampiCombo(QFormLayout* modulo) {
    mTabellaRicerca = Campo("tabellaRicerca", this);
    modulo->addRow(TestoDesigner(Testo::TabellaRicerca), mTabellaRicerca);
    modulo->addRow(QString(), Nota(TestoDesigner(Testo::TabellaRicercaAiuto), this));

    mVoci = new QTableWidget(0, 2, this);
    mVoci->setObjectName(QStringLiteral("colonneMostrate"));
    mVoci->setHorizontalHeaderLabels(
        {TestoDesigner(Testo::IntestazioneColonna), TestoDesigner(Testo::IntestazioneTestoDopo)});
    mVoci->horizontalHeader()->setStretchLastSection(true);
    mVoci->verticalHeader()->hide();
    mVoci->setMinimumHeight(110);
    connect(mVoci, &QTableWidget::itemChanged, this, &CollegaCampoDialog::Aggiorna);
    auto* aggiungi = new QPushButton(TestoDesigner(Testo::Aggiungi), this);
    auto* rimuovi = new QPushButton(TestoDesigner(Testo::Rimuovi), this);
    connect(aggiungi, &QPushButton::clicked, this, [this] {
        AggiungiVoce({});
        mVoci->editItem(mVoci->item(mVoci->rowCount() - 1, 0));
    });
    connect(rimuovi, &QPushButton::clicked, this, [this] {
        const int riga = mVoci->currentRow() >= 0 ? mVoci->currentRow() : mVoci->rowCount() - 1;
        if (riga >= 0)
            mVoci->removeRow(riga);
        Aggiorna();
    });
    auto* pulsanti = new QVBoxLayout;
    pulsanti->addWidget(aggiungi);
    pulsanti->addWidget(rimuovi);
    pulsanti->addStretch();
    auto* riga = new QHBoxLayout;
    riga->addWidget(mVoci);
    riga->addLayout(pulsanti);
    modulo->addRow(TestoDesigner(Testo::ColonneMostrate), riga);
}

void CollegaCampoDialog::AggiungiVoce(const ColonnaVoce& voce) {
    const QSignalBlocker blocco(mVoci);
    const int riga = mVoci->rowCount();
    mVoci->insertRow(riga);
    mVoci->setItem(riga, 0, new QTableWidgetItem(voce.colonna));
    mVoci->setItem(riga, 1, new QTableWidgetItem(voce.dopo));
}

PartiLegame CollegaCampoDialog::Parti() const {
    PartiLegame parti;
    parti.colonna = mColonna->text().trimmed();
    if (!mCombo) {
        parti.colonnaCollegata = mColonnaCollegata->text().trimmed();
        return parti;
    }
    parti.tabellaRicerca = mTabellaRicerca->text().trimmed();
    // The text between columns is kept as typed: its blanks show in the list.
    for (int r = 0; r < mVoci->rowCount(); ++r)
        parti.voci.append({Cella(mVoci, r, 0).trimmed(), Cella(mVoci, r, 1)});
    return parti;
}

void CollegaCampoDialog::ImpostaParti(const PartiLegame& parti) {
    mColonna->setText(parti.colonna);
    if (!mCombo) {
        mColonnaCollegata->setText(parti.colonnaCollegata);
    } else {
        mTabellaRicerca->setText(parti.tabellaRicerca);
        mVoci->setRowCount(0);
        for (const ColonnaVoce& v : parti.voci)
            AggiungiVoce(v);
    }
    Aggiorna();
}

QString CollegaCampoDialog::Prefisso() const {
    return mPrefisso->text();
}

QString CollegaCampoDialog::Tag() const {
    return ComponiTag(Parti(), mCombo, Prefisso(), mTagPrecedente);
}

QString CollegaCampoDialog::Significato() const {
    return mSignificato->text();
}

bool CollegaCampoDialog::Accettabile() const {
    return !NonRileggibile(Parti(), mCombo, Prefisso());
}

void CollegaCampoDialog::Aggiorna() {
    // Reached while the fields are being made.
    if (!mPulsanti)
        return;
    const QString tag = Tag();
    mTag->setText(tag);
    mSignificato->setText(DescriviTag(tag, Prefisso(), mCombo));
    const bool ok = Accettabile();
    mProblema->setVisible(!ok);
    mPulsanti->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

} // namespace tessaro::designer
