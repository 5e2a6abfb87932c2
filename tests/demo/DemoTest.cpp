// The demo window on a real SQLite file (and on MariaDB when the test run has
// one): the host's side of the navigator as the demo wires it.

#include "CartellaLingue.h"
#include "ClientiOrdiniWindow.h"
#include "SampleDatabase.h"
#include "Tour.h"
#include "ui_ClientiOrdiniWindow.h"

#include "Filtro.h"
#include "control/Tessaro14_ML.h"
#include "engine/clsADONavigator.h"
#include "language/modLanguageSupport.h"
#include "support/Fixtures.h"

#include <QtWidgets>

namespace {

using tessaro::test::BoxesTest;
using tessaro::test::SqliteFile;
namespace MsgAnswer = tessaro::MsgAnswer;

QString CartellaLingueSpedite() {
    return QDir(tessaro::test::SourceDir()).filePath("lang");
}

class ClientiOrdiniTest : public BoxesTest {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        conn = file.Open();
        demo::PrepareSampleDatabase(*conn);
        lingue = cartella.filePath("lang");
        ASSERT_TRUE(demo::PreparaCopiaLingue(CartellaLingueSpedite(), lingue));
    }
    void TearDown() override {
        finestra.reset();
        tessaro::ResetLanguageModule();
        BoxesTest::TearDown();
    }

    demo::ClientiOrdiniWindow& Apri(bool conOrdini = true) {
        finestra = std::make_unique<demo::ClientiOrdiniWindow>(conn.get(), 4, conOrdini);
        finestra->resize(1000, 430);
        finestra->show();
        finestra->ImpostaCartellaLingue(lingue);
        EXPECT_TRUE(finestra->ApriFontiDati());
        return *finestra;
    }

    SqliteFile file;
    std::unique_ptr<tessaro::Connection> conn;
    QTemporaryDir cartella;
    QString lingue;
    std::unique_ptr<demo::ClientiOrdiniWindow> finestra;
};

TEST_F(ClientiOrdiniTest, ClosingDuringAnEditAsksToSaveDropOrStay) {
    auto& f = Apri();
    for (int risposta : {MsgAnswer::Cancel, MsgAnswer::No}) {
        f.Navigatore().Edit();
        f.ui().txtTelefono->setText("000");
        ExpectOneBox([&] { f.close(); }, tessaro::GetMessage("TQ06"), 35, "grpClienti", risposta);
        EXPECT_EQ(f.isVisible(), risposta == MsgAnswer::Cancel);
    }
    EXPECT_EQ(tessaro::test::RowsAsText(conn.get(),
                                        "SELECT COUNT(*) FROM Clienti WHERE Telefono = '000'"),
              QStringList{"0"});
}

TEST_F(ClientiOrdiniTest, InEnglishScreenReadersHearEnglish) {
    auto& f = Apri();
    f.CambiaLingua("English");
    tessaro::Tessaro14_ML& nav = f.Navigatore();
    const auto testo = [](QWidget* w, QAccessible::Text t) {
        return QAccessible::queryAccessibleInterface(w)->text(t);
    };
    QWidget* nuovo = nav.ToolbarMoveRecord()->widgetForAction(nav.Button("Nuovo"));
    EXPECT_EQ(std::make_tuple(testo(nuovo, QAccessible::Name),
                              testo(nuovo, QAccessible::Description),
                              testo(nav.txtNumRec(), QAccessible::Name)),
              std::make_tuple(QString("New record"), QString("Keyboard shortcut: Ctrl+N"),
                              QString("Record number")));
    ASSERT_TRUE(nav.FonteDati()->AttendiConteggio());
    EXPECT_EQ(testo(nav.findChild<QWidget*>("tessaroAnnuncio"), QAccessible::Name),
              "Record " + nav.txtNumRec()->text());
    EXPECT_TRUE(nav.txtNumRec()->text().contains(" of "));
}

// The whole tour of the demo, on both engines, in a database of its own.
class Giro : public BoxesTest, public ::testing::WithParamInterface<tessaro::test::Motore> {};

TEST_P(Giro, TheTourPasses) {
    const auto banco = tessaro::test::Banco::Crea(GetParam());
    if (!banco)
        GTEST_SKIP() << "no MariaDB server in this run";
    auto conn = banco->Open();
    ASSERT_TRUE(demo::PrepareSampleDatabase(*conn));
    QTemporaryDir dir;
    ASSERT_TRUE(demo::PreparaCopiaLingue(CartellaLingueSpedite(), dir.filePath("lang")));
    {
        demo::ClientiOrdiniWindow f(conn.get(), conn->TipoDatabase(), true);
        f.resize(1000, 430);
        f.show();
        f.ImpostaCartellaLingue(dir.filePath("lang"));
        QString log;
        QTextStream out(&log);
        demo::Tour tour(f, *conn, dir.filePath("shots"), out);
        EXPECT_EQ(tour.Esegui(), 0) << log.toStdString();
        EXPECT_EQ(f.Navigatore().TipoDatabase(), banco->Kind());
    }
    // A surname is a surname on every engine: SQL typed into it finds nothing.
    for (const char* nome : {"Attivo = 0", "x' OR 1=1) --", "x\\' OR 1) UNION SELECT 1 --"}) {
        const QString dove = demo::CondizioneDaFiltro(nome, "Ordini", banco->Kind());
        EXPECT_EQ(banco->Cell("SELECT COUNT(*) FROM Ordini WHERE " + dove), "0") << nome;
    }
    tessaro::ResetLanguageModule();
}

INSTANTIATE_FOR_ENGINES(Giro);

} // namespace
