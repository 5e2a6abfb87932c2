#pragma once

// The main window of the "Clienti e Ordini" demo: one form with two
// containers, each a data source of its own, and one Tessaro14_ML toolbar that
// follows the container the user works in.

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QTranslator>
#include <memory>

class QGroupBox;
class QLabel;

namespace tessaro {
class Connection;
class Tessaro14_ML;
} // namespace tessaro

namespace Ui {
class ClientiOrdiniWindow;
}

namespace demo {

class ClientiOrdiniWindow : public QMainWindow {
    Q_OBJECT

public:
    // `conOrdini` false leaves the Ordini container out (a customer combo over a
    // very large Clienti table is no form anyone would build).
    ClientiOrdiniWindow(tessaro::Connection* connessione, int tipoDatabase, bool conOrdini,
                        QWidget* parent = nullptr);
    ~ClientiOrdiniWindow() override;

    // Where the data lives: printouts are suggested there.
    void ImpostaCartellaDati(const QString& cartella) { mCartellaDati = cartella; }
    // The writable folder of the language files; switches to its language.
    void ImpostaCartellaLingue(const QString& cartella);
    // Registers the data sources; false when one could not be set up.
    bool ApriFontiDati();

    // The language menu: rewrites the settings file and calls CambiaLingua.
    void CambiaLingua(const QString& lingua);
    QString Lingua() const { return mLingua; }

    // Makes the container's data source the active one.
    void AttivaContenitore(QGroupBox* contenitore);
    // Applies the filter box to the active data source.
    void ApplicaFiltro();

    Ui::ClientiOrdiniWindow& ui() { return *mUi; }
    tessaro::Tessaro14_ML& Navigatore();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CollegaEventi();
    // CambiaLingua on the language folder; false (and a status message) on failure.
    bool CaricaLingua();
    void SeguiFuoco();
    void AggiornaStato();
    void AggiornaTitoli();
    QGroupBox* ContenitoreAttivo() const;
    QString TabellaAttiva() const;
    void ValidaPrimaDiSalvare(bool& Cancel);
    void NuovoRecord(QWidget* contenitore);
    // After a save or a delete: tell the user, keep the customer combo current.
    void DopoSalvataggio(const QString& messaggio);
    QString T(const QString& chiave) const;
    // Asks where to save the printout (a name from the form's title, in the
    // data folder); false when the user gives none.
    bool ScegliFileStampa();
    // The active filter in words.
    QString FiltroInParole() const;

    std::unique_ptr<Ui::ClientiOrdiniWindow> mUi;
    tessaro::Connection* mConnessione;
    int mTipoDatabase;
    bool mConOrdini;
    QString mCartellaLingue;
    QString mCartellaDati;
    QString mLingua = QStringLiteral("Italiano");
    QHash<QString, QString> mFiltri; // typed filter per container
    QLabel* mStato = nullptr;
    QTranslator mTraduzioniQt;
};

} // namespace demo
