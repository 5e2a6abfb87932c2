// A tiny host: one group box of tagged line edits over a SQLite table, the
// navigator driving it. Exits 0 when everything a host relies on works.

#include "control/Tessaro14_ML.h"
#include "data/Database.h"
#include "host/MessageBox.h"
#include "language/modLanguageSupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    std::printf("tessaro-host: %s %s\n", ok ? "ok  " : "FAIL", what);
    failures += ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tessaro::ScriptedMessageBoxes boxes; // no box is expected: each one is a failure
    tessaro::ScopedMessageBoxService scope(&boxes);

    QTemporaryDir dir;
    tessaro::Connection db;
    db.Open("Provider=SQLite;Data Source=" + dir.filePath("host.db"));
    db.Execute("CREATE TABLE Articoli (IdArticolo INTEGER PRIMARY KEY, Descrizione TEXT)");
    db.Execute("INSERT INTO Articoli VALUES (1, 'Vite'), (2, 'Bullone'), (3, 'Dado')");

    QWidget form;
    auto* nav = new tessaro::Tessaro14_ML(&form);
    auto* box = new QGroupBox("Articoli", &form);
    box->setObjectName("grpArticoli");
    auto* descrizione = new QLineEdit(box);
    descrizione->setObjectName("txtDescrizione");
    descrizione->setProperty("Tag", "#Descrizione");
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(nav);
    layout->addWidget(box);
    new QVBoxLayout(box);
    box->layout()->addWidget(descrizione);
    form.show();

    int correnti = 0;
    nav->CambiaLingua(TESSARO_LANG_DIR);
    const bool aggiunta = nav->AddFonteDati(&db, "Articoli", box, "Descrizione", {}, "", "#");
    nav->TipoDatabase(4);
    nav->SetFonteDatiAttiva("grpArticoli");
    QObject::connect(nav->Events(), &tessaro::Tessaro14_MLEvents::AfterCurrent,
                     [&] { ++correnti; });

    Check(aggiunta, "AddFonteDati registers the group box");
    Check(descrizione->text() == "Vite", "the last record by Descrizione is shown");
    nav->Button("Primo")->trigger();
    Check(descrizione->text() == "Bullone", "Primo shows the first record");
    Check(correnti == 1, "AfterCurrent reaches the host");
    Check(nav->txtNumRec()->text().startsWith("1 "), "the record counter reads 1 of 3");
    Check(tessaro::GetMessage("TQ03") != "TQ03", "the installed language files are read");
    Check(QFile::exists(":/tessaro/icons/primo.svg"), "the toolbar icons are linked in");
    Check(!nav->Button("Primo")->icon().isNull(), "Primo shows its icon");
    Check(boxes.Shown().empty(), "no message box was shown");
    return failures == 0 ? 0 : 1;
}
