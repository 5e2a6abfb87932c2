#pragma once

// Random typing into a form on table P (Id, Corto VARCHAR(5), Medio VARCHAR(40),
// Lungo TEXT, Numero whole, Importo real), shared by the SQLite and MariaDB runs.

#include "host/MessageBox.h"
#include "support/FormFixtures.h"

#include <vector>

namespace tessaro::test {

struct Candidato {
    const char* testo;
    bool valido;
};

struct FuzzPlan {
    QStringList pezzi;             // what random texts are made of
    std::vector<Candidato> interi; // typed into Numero
    std::vector<Candidato> reali;  // typed into Importo
    int giri = 0;
    int minimoPerEsito = 0; // saves and refusals each seen more often than this
};

// The six sample rows of P, one INSERT each, without a terminator.
QStringList FuzzSampleRows();

class TypingFuzz : public TaggedForm {
public:
    TypingFuzz();
    bool Init(Connection* conn, int kind);
    // Whatever is typed, the save either shows the right message and writes
    // nothing, or stores exactly what was typed in the one row it concerns.
    void Run(ScriptedMessageBoxes& boxes, const FuzzPlan& plan);

    clsADONavigator nav;

private:
    QString MessaggioAtteso(const QString& id, bool nuovo, bool interoValido,
                            bool realeValido) const;
    QStringList Rows() const;

    Connection* mConn = nullptr;
    QLineEdit* txtId;
    QLineEdit* txtCorto;
    QLineEdit* txtMedio;
    QPlainTextEdit* txtLungo;
    QLineEdit* txtNumero;
    QLineEdit* txtImporto;
};

} // namespace tessaro::test
