#pragma once

// The offscreen tour of the demo: drives the real window through first, next,
// last, a new customer typed and saved, an edit, a cancel, a new order, the
// filter, the language switch, a tooltip with its shortcut, printing, a write
// conflict with another connection and closing the window during an edit, and
// writes a screenshot of every step. Message boxes are logged and answered OK / Yes; a critical box
// (an error the navigator reported) fails the step it appears in.

#include "host/MessageBox.h"

#include <QString>
#include <QTextStream>
#include <functional>
#include <vector>

namespace tessaro {
class Connection;
class Tessaro14_ML;
} // namespace tessaro

namespace Ui {
class ClientiOrdiniWindow;
}

namespace demo {

class ClientiOrdiniWindow;

// Logs each box and answers with the default button.
class RegistroMessaggi : public tessaro::MessageBoxService {
public:
    explicit RegistroMessaggi(QTextStream& out) : mOut(out) {}
    int Show(const QString& text, int style, const QString& title) override;

    struct Box {
        QString text;
        int style = 0;
        QString title;
    };
    const std::vector<Box>& Boxes() const { return mBoxes; }
    // Boxes with the critical icon since `from`.
    int Errori(std::size_t from = 0) const;

private:
    QTextStream& mOut;
    std::vector<Box> mBoxes;
};

// Whether a box style carries the critical icon.
bool IconaCritica(int style);

class Tour {
public:
    Tour(ClientiOrdiniWindow& finestra, tessaro::Connection& connessione,
         const QString& cartellaSchermate, QTextStream& out);

    // Runs every step; returns the number of failed steps.
    int Esegui();

private:
    struct Passo {
        QString nome;
        std::function<QString()> azione; // empty when the step went well, else why not
    };

    std::vector<Passo> Passi();
    void Attendi() const;
    QString Schermata(int numero, const QString& nome) const;
    qint64 Conta(const QString& sql) const;
    QString Clic(const QString& pulsante);
    // Position and record count of the active data source.
    qint64 Posizione() const;
    qint64 Conteggio() const;

    ClientiOrdiniWindow& mFinestra;
    tessaro::Connection& mConnessione;
    QString mCartella;
    QTextStream& mOut;
    RegistroMessaggi mMessaggi;
    Ui::ClientiOrdiniWindow* mUi;
    tessaro::Tessaro14_ML* mNav;
    // What earlier steps learned, for the later ones.
    qint64 mClientiPrima = 0;
    QString mTelefonoSalvato;
};

} // namespace demo
