#pragma once

// The binding editor: the parts of a widget's Tag by name, the Tag they make and
// what the navigator will read in it. A combo box gets a lookup (key column,
// table, shown columns and the text after each); any other bound widget a column
// or a column of a linked table.

#include "designer/PartiLegame.h"

#include <QDialog>

class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace tessaro::designer {

class CollegaCampoDialog : public QDialog {
    Q_OBJECT

public:
    // `navigatore`: the object name of the form's navigator, whose prefix is
    // used as it is; empty when the form holds none and the prefix is typed.
    CollegaCampoDialog(const QString& nomeWidget, bool combo, const QString& tag,
                       const QString& prefisso, const QString& navigatore,
                       QWidget* parent = nullptr);

    PartiLegame Parti() const;
    void ImpostaParti(const PartiLegame& parti);
    QString Prefisso() const;
    // The Tag to write: what the old one held before its prefix, then the parts.
    QString Tag() const;
    QString Significato() const;
    // The parts read back from their Tag as they are; else OK is disabled.
    bool Accettabile() const;

private:
    void CreaCampiTesto(QFormLayout* modulo);
    void CreaCampiCombo(QFormLayout* modulo);
    void AggiungiVoce(const ColonnaVoce& voce);
    void Aggiorna();

    bool mCombo;
    QString mTagPrecedente;
    QLineEdit* mPrefisso = nullptr;
    QLineEdit* mColonna = nullptr;
    QLineEdit* mColonnaCollegata = nullptr;
    QLineEdit* mTabellaRicerca = nullptr;
    QTableWidget* mVoci = nullptr;
    QLineEdit* mTag = nullptr;
    QLabel* mSignificato = nullptr;
    QLabel* mProblema = nullptr;
    QDialogButtonBox* mPulsanti = nullptr;
};

} // namespace tessaro::designer
