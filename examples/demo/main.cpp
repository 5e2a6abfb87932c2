// "Clienti e Ordini": a small order-entry application built on the Tessaro14_ML
// navigator. Run it with no arguments for the embedded SQLite database, which
// is created with sample data on first run.
//
//   tessaro-demo [--database "<connection string>"] [--data-dir DIR] [--rows N]
//                [--tour] [--screenshots DIR]
//
// With no display it runs the offscreen tour instead of opening the window.

#include "CartellaLingue.h"
#include "ClientiOrdiniWindow.h"
#include "SampleDatabase.h"
#include "Tour.h"
#include "ui_ClientiOrdiniWindow.h"

#include "data/Database.h"
#include "data/TessaroError.h"
#include "host/MessageBox.h"
#include "host/QtHostForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <optional>

namespace {

// Past this many customers the Ordini container is left out: its customer
// combo would list every one of them.
constexpr qint64 kMassimoClientiConOrdini = 20000;

struct Opzioni {
    QString database;
    QString cartellaDati;
    qint64 righe = 0;
    bool giro = false;
    QString cartellaSchermate;
};

// Whether a window can be shown at all; decided before QApplication exists.
bool SenzaDisplay() {
    const QByteArray piattaforma = qgetenv("QT_QPA_PLATFORM");
    if (piattaforma == "offscreen" || piattaforma == "minimal")
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return piattaforma.isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

std::optional<Opzioni> LeggiOpzioni(const QApplication& app, QTextStream& err) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Clienti e Ordini: a demo of the Tessaro record navigator on an order-entry form."));
    p.addHelpOption();
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral(
            "Use a server database instead of the embedded file, e.g. "
            "\"Provider=MySQL;Server=127.0.0.1;Port=3306;Database=demo;User=u;Password=p\". "
            "The tables are created and filled when they are missing."),
        QStringLiteral("connection string"));
    const QCommandLineOption dati(QStringLiteral("data-dir"),
                                  QStringLiteral("Folder of the embedded database and of the "
                                                 "language settings (default: the user's "
                                                 "application data folder; the tour uses a "
                                                 "fresh temporary one)."),
                                  QStringLiteral("dir"));
    const QCommandLineOption righe(QStringLiteral("rows"),
                                   QStringLiteral("Build a customer table of N rows (a database "
                                                  "of its own, kept for the next run) to try "
                                                  "the speed."),
                                   QStringLiteral("N"));
    const QCommandLineOption giro(QStringLiteral("tour"),
                                  QStringLiteral("Run the scripted tour even when a display is "
                                                 "available."));
    const QCommandLineOption schermate(QStringLiteral("screenshots"),
                                       QStringLiteral("Where the tour writes its screenshots "
                                                      "(default: a new temporary folder)."),
                                       QStringLiteral("dir"));
    p.addOptions({database, dati, righe, giro, schermate});
    p.process(app);

    Opzioni o;
    o.database = p.value(database);
    o.cartellaDati = p.value(dati);
    o.giro = p.isSet(giro);
    o.cartellaSchermate = p.value(schermate);
    if (p.isSet(righe)) {
        bool ok = false;
        o.righe = p.value(righe).toLongLong(&ok);
        if (!ok || o.righe < 1) {
            err << "tessaro-demo: --rows needs a positive number\n";
            return std::nullopt;
        }
    }
    return o;
}

QString CartellaDati(const Opzioni& o, bool giro, std::optional<QTemporaryDir>& temporanea) {
    if (!o.cartellaDati.isEmpty())
        return QDir(o.cartellaDati).absolutePath();
    if (giro) {
        // The tour starts from a fresh database every time.
        temporanea.emplace(QDir::temp().filePath(QStringLiteral("tessaro-demo-XXXXXX")));
        return temporanea->path();
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString FileDatabase(const QString& cartella, qint64 righe) {
    const QString nome = righe > 0 ? QStringLiteral("clienti-ordini-%1.db").arg(righe)
                                   : QStringLiteral("clienti-ordini.db");
    return QDir(cartella).filePath(nome);
}

// Opens the database and makes sure the demo's tables and rows are there.
bool ApriDatabase(tessaro::Connection& c, const Opzioni& o, const QString& cartella,
                  QTextStream& out, QTextStream& err) {
    try {
        if (o.database.isEmpty()) {
            QDir().mkpath(cartella);
            const QString file = FileDatabase(cartella, o.righe);
            out << "Database: " << file << '\n';
            c.Open(demo::SqliteConnectionString(file));
        } else {
            out << "Database: " << tessaro::ConnectionSettings::Parse(o.database).provider
                << " server\n";
            c.Open(o.database);
        }
        if (demo::PrepareSampleDatabase(c))
            out << "  created the tables and filled them with the sample data\n";
        if (o.righe > 0) {
            QElapsedTimer t;
            t.start();
            const qint64 aggiunti = demo::GrowCustomers(c, o.righe);
            if (aggiunti > 0)
                out << "  added " << aggiunti << " customers in " << t.elapsed() << " ms\n";
        }
        out.flush();
        return true;
    } catch (const tessaro::TessaroError& e) {
        err << "tessaro-demo: the database cannot be used: " << e.Number() << ' ' << e.Description()
            << '\n';
        return false;
    }
}

qint64 ContaClienti(tessaro::Connection& c) {
    QSqlQuery q(c.Database());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM Clienti")) && q.next()
               ? q.value(0).toLongLong()
               : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool senzaDisplay = SenzaDisplay();
    if (senzaDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tessaro"));
    QApplication::setApplicationName(QStringLiteral("tessaro-demo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Clienti e Ordini"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const std::optional<Opzioni> opzioni = LeggiOpzioni(app, err);
    if (!opzioni)
        return 2;
    const bool giro = senzaDisplay || opzioni->giro;
    if (senzaDisplay)
        out << "No display found: running the offscreen tour of the demo instead of opening "
               "its window.\n";

    std::optional<QTemporaryDir> temporanea;
    const QString cartella = CartellaDati(*opzioni, giro, temporanea);
    tessaro::Connection connessione;
    if (!ApriDatabase(connessione, *opzioni, cartella, out, err))
        return 1;

    // The navigator's texts: a writable copy of the language files, so that the
    // language menu can rewrite LangSetting.ini.
    const QString lingueSpedite = demo::TrovaCartellaLingue(
        demo::CandidatiCartellaLingue(QApplication::applicationDirPath()));
    QString lingue;
    if (!lingueSpedite.isEmpty()) {
        lingue = QDir(cartella).filePath(QStringLiteral("lang"));
        if (!demo::PreparaCopiaLingue(lingueSpedite, lingue))
            lingue = lingueSpedite;
    }
    out << "Language files: " << (lingue.isEmpty() ? QStringLiteral("(not found)") : lingue)
        << '\n';
    out.flush();

    const bool conOrdini = ContaClienti(connessione) <= kMassimoClientiConOrdini;
    if (!conOrdini)
        out << "  more than " << kMassimoClientiConOrdini
            << " customers: the Ordini container is left out\n";

    tessaro::QtMessageBoxService boxQt;
    tessaro::ScopedMessageBoxService servizio(&boxQt);
    demo::ClientiOrdiniWindow finestra(&connessione, connessione.TipoDatabase(), conOrdini);
    finestra.resize(1000, 430);
    finestra.show();
    finestra.ImpostaCartellaDati(cartella);
    finestra.ImpostaCartellaLingue(lingue);

    if (!giro) {
        if (!finestra.ApriFontiDati()) {
            err << "tessaro-demo: a data source could not be set up\n";
            return 1;
        }
        return app.exec();
    }

    std::optional<QTemporaryDir> schermateTemporanee;
    QString schermate = opzioni->cartellaSchermate;
    if (schermate.isEmpty()) {
        schermateTemporanee.emplace(QDir::temp().filePath(QStringLiteral("tessaro-tour-XXXXXX")));
        schermateTemporanee->setAutoRemove(false);
        schermate = schermateTemporanee->path();
    }
    demo::Tour tour(finestra, connessione, schermate, out);
    // The sources are registered inside the tour, so that a box they show is
    // logged and counted.
    return tour.Esegui() == 0 ? 0 : 1;
}
