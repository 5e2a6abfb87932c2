// The demo window on a real SQLite file (and on MariaDB when the test run has
// one): the host's side of the navigator as the demo wires it.

#include "CartellaLingue.h"
#include "ClientiOrdiniWindow.h"
#include "SampleDatabase.h"
#include "Tour.h"
#include "ui_ClientiOrdiniWindow.h"

#include "control/Tessaro14_ML.h"
#include "data/Database.h"
#include "engine/clsADONavigator.h"
#include "language/modLanguageSupport.h"
#include "server/ServerFixture.h"
#include "support/Fixtures.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

using tessaro::test::BoxesTest;
using tessaro::test::SqliteFile;

void Attendi() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QString CartellaLingueSpedite() {
    return QDir(tessaro::test::SourceDir()).filePath(QStringLiteral("lang"));
}

class ClientiOrdiniTest : public BoxesTest {
protected:
    void SetUp() override {
        BoxesTest::SetUp();
        conn = file.Open();
        demo::PrepareSampleDatabase(*conn);
        lingue = cartella.filePath(QStringLiteral("lang"));
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
        Attendi();
        return *finestra;
    }

    qint64 Conta(const QString& sql) {
        QSqlQuery q(conn->Database());
        EXPECT_TRUE(q.exec(sql) && q.next());
        return q.value(0).toLongLong();
    }

    SqliteFile file;
    std::unique_ptr<tessaro::Connection> conn;
    QTemporaryDir cartella;
    QString lingue;
    std::unique_ptr<demo::ClientiOrdiniWindow> finestra;
};

TEST_F(ClientiOrdiniTest, TheToolbarFollowsTheContainerThatTakesTheFocus) {
    auto& f = Apri();
    QApplication::setActiveWindow(&f);
    f.activateWindow();
    Attendi();
    EXPECT_EQ(f.Navigatore().ContenitoreName(), QStringLiteral("grpClienti"));
    EXPECT_TRUE(f.ui().grpClienti->title().endsWith(QStringLiteral("Clienti")));
    EXPECT_NE(f.ui().grpClienti->title(), QStringLiteral("Clienti")) << "the active one is marked";

    f.ui().txtImporto->setFocus();
    Attendi();
    EXPECT_EQ(f.Navigatore().ContenitoreName(), QStringLiteral("grpOrdini"));
    EXPECT_EQ(f.ui().grpClienti->title(), QStringLiteral("Clienti"));
    EXPECT_EQ(f.Navigatore().FonteDati()->PrimaryTableName(), QStringLiteral("Ordini"));

    // The filter box is in neither container: the active source stays.
    f.ui().txtFiltro->setFocus();
    Attendi();
    EXPECT_EQ(f.Navigatore().ContenitoreName(), QStringLiteral("grpOrdini"));

    f.ui().txtNome->setFocus();
    Attendi();
    EXPECT_EQ(f.Navigatore().ContenitoreName(), QStringLiteral("grpClienti"));
}

TEST_F(ClientiOrdiniTest, EachContainerKeepsItsOwnFilter) {
    auto& f = Apri();
    f.ui().txtFiltro->setText(QStringLiteral("Rossi"));
    f.ApplicaFiltro();
    const qint64 rossi =
        Conta(QStringLiteral("SELECT COUNT(*) FROM Clienti WHERE Cognome LIKE 'Rossi%'"));
    ASSERT_GT(rossi, 0);
    EXPECT_EQ(f.Navigatore().FonteDati()->RecordCount().toLongLong(), rossi);
    EXPECT_EQ(f.ui().txtCognome->text(), QStringLiteral("Rossi"));

    f.AttivaContenitore(f.ui().grpOrdini);
    EXPECT_TRUE(f.ui().txtFiltro->text().isEmpty());
    EXPECT_EQ(f.Navigatore().FonteDati()->RecordCount().toLongLong(), 420);

    f.AttivaContenitore(f.ui().grpClienti);
    EXPECT_EQ(f.ui().txtFiltro->text(), QStringLiteral("Rossi"));
    f.ui().btnTutti->click();
    EXPECT_EQ(f.Navigatore().FonteDati()->RecordCount().toLongLong(), 220);
}

TEST_F(ClientiOrdiniTest, ANewOrderIsDatedTodayAndOffersOnlyActiveAgents) {
    auto& f = Apri();
    f.AttivaContenitore(f.ui().grpOrdini);
    boxes.Expect(tessaro::MsgAnswer::Yes); // "Inserire un nuovo record?"
    f.Navigatore().Addnew();
    EXPECT_EQ(f.Navigatore().State(), 5);
    EXPECT_EQ(f.ui().txtDataOrdine->text(), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_EQ(f.ui().cmbAgente->count(), 7);
    EXPECT_EQ(f.ui().cmbAgente->findText(QStringLiteral("D'Amico Laura")), -1);

    // No customer chosen: the host stops the save with its own message.
    boxes.Expect(tessaro::MsgAnswer::Ok);
    f.Navigatore().Update();
    EXPECT_EQ(f.Navigatore().State(), 5);
    EXPECT_EQ(boxes.Shown().back().text, QStringLiteral("Scegliere il cliente dell'ordine."));
    EXPECT_EQ(Conta(QStringLiteral("SELECT COUNT(*) FROM Ordini")), 420);

    f.Navigatore().Annulla();
    EXPECT_NE(f.Navigatore().State(), 5);
    EXPECT_EQ(f.ui().cmbAgente->count(), 10) << "browsing lists every agent again";
}

TEST_F(ClientiOrdiniTest, ACustomerWithoutSurnameIsNotSaved) {
    auto& f = Apri();
    boxes.Expect(tessaro::MsgAnswer::Yes);
    f.Navigatore().Addnew();
    EXPECT_TRUE(f.ui().chkAttivo->isChecked()) << "a new customer starts active";
    f.ui().txtNome->setText(QStringLiteral("Anna"));
    f.ui().txtCognome->setText(QStringLiteral("   "));
    boxes.Expect(tessaro::MsgAnswer::Ok);
    f.Navigatore().Update();
    EXPECT_EQ(boxes.Shown().back().text, QStringLiteral("Il cognome del cliente è obbligatorio."));
    EXPECT_EQ(boxes.Shown().back().style, tessaro::MsgStyle::Exclamation);
    EXPECT_EQ(f.Navigatore().State(), 5);
    EXPECT_EQ(Conta(QStringLiteral("SELECT COUNT(*) FROM Clienti")), 220);
}

TEST_F(ClientiOrdiniTest, ASavedCustomerAppearsInTheOrdersCombo) {
    auto& f = Apri();
    boxes.Expect(tessaro::MsgAnswer::Yes);
    f.Navigatore().Addnew();
    f.ui().txtCognome->setText(QStringLiteral("Zanetti"));
    f.ui().txtNome->setText(QStringLiteral("Ugo"));
    f.ui().cmbComune->setCurrentIndex(f.ui().cmbComune->findText(QStringLiteral("Roma - RM")));
    f.Navigatore().Update();
    Attendi();
    EXPECT_EQ(Conta(QStringLiteral("SELECT COUNT(*) FROM Clienti WHERE Cognome = 'Zanetti'")), 1);
    EXPECT_GE(f.ui().cmbCliente->findText(QStringLiteral("Zanetti - Ugo")), 0);
    EXPECT_EQ(f.Navigatore().ContenitoreName(), QStringLiteral("grpClienti"))
        << "the refill of the other container gives the toolbar back";
    EXPECT_EQ(f.ui().txtProvincia->text(), QStringLiteral("RM")) << "shown through the join";
}

TEST_F(ClientiOrdiniTest, TheLanguageChoiceIsKeptInTheSettingsFile) {
    auto& f = Apri();
    f.CambiaLingua(QStringLiteral("English"));
    EXPECT_EQ(f.ui().grpOrdini->title(), QStringLiteral("Orders"));
    EXPECT_EQ(f.ui().lblCognome->text(), QStringLiteral("Surname *"));
    EXPECT_TRUE(f.Navigatore().txtNumRec()->text().contains(QStringLiteral(" of ")))
        << f.Navigatore().txtNumRec()->text().toStdString();

    // A later start reads the choice back, and a new copy of the shipped files
    // does not overwrite it.
    ASSERT_TRUE(demo::PreparaCopiaLingue(CartellaLingueSpedite(), lingue));
    finestra.reset();
    tessaro::ResetLanguageModule();
    auto& g = Apri();
    EXPECT_EQ(g.Lingua(), QStringLiteral("English"));
    EXPECT_TRUE(g.ui().actionEnglish->isChecked());
    EXPECT_EQ(g.ui().lblNome->text(), QStringLiteral("First name"));
}

TEST_F(ClientiOrdiniTest, WithoutOrdersOnlyTheCustomersAreRegistered) {
    auto& f = Apri(false);
    EXPECT_EQ(f.Navigatore().FontiDati().Count(), 1);
    EXPECT_FALSE(f.ui().grpOrdini->isVisible());
}

TEST(CartellaLingue, FindsTheFirstFolderWithASettingsFile) {
    QTemporaryDir vuota;
    EXPECT_EQ(demo::TrovaCartellaLingue({vuota.path(), CartellaLingueSpedite()}),
              QDir(CartellaLingueSpedite()).absolutePath());
    EXPECT_TRUE(demo::TrovaCartellaLingue({vuota.path(), QString()}).isEmpty());
    EXPECT_EQ(demo::LingueDisponibili(CartellaLingueSpedite()),
              (QStringList{QStringLiteral("English"), QStringLiteral("Italiano")}));
}

TEST(CartellaLingue, TheWrittenSettingsFileSelectsTheLanguage) {
    QTemporaryDir dir;
    const QString copia = dir.filePath(QStringLiteral("lang"));
    ASSERT_TRUE(demo::PreparaCopiaLingue(CartellaLingueSpedite(), copia));
    ASSERT_TRUE(demo::ScriviLinguaCorrente(copia, QStringLiteral("English")));
    tessaro::CambiaLinguaModulo(copia);
    EXPECT_EQ(tessaro::CurrentLanguage(), QStringLiteral("English"));
    ASSERT_TRUE(demo::ScriviLinguaCorrente(copia, QStringLiteral("Italiano")));
    tessaro::CambiaLinguaModulo(copia);
    EXPECT_EQ(tessaro::CurrentLanguage(), QStringLiteral("Italiano"));
    tessaro::ResetLanguageModule();
}

// The whole tour of the demo on MariaDB, kind 2, in a database of its own.
TEST(ClientiOrdiniServer, TheTourPassesOnMariaDb) {
    REQUIRE_SERVER();
    tessaro::test::ServerDatabase db;
    auto conn = db.Open();
    ASSERT_TRUE(demo::PrepareSampleDatabase(*conn));
    EXPECT_EQ(db.Column(QStringLiteral("SELECT COUNT(*) FROM Ordini")),
              QStringList{QStringLiteral("420")});
    QTemporaryDir dir;
    const QString lingue = dir.filePath(QStringLiteral("lang"));
    ASSERT_TRUE(demo::PreparaCopiaLingue(CartellaLingueSpedite(), lingue));
    {
        demo::ClientiOrdiniWindow f(conn.get(), conn->TipoDatabase(), true);
        EXPECT_EQ(f.Navigatore().TipoDatabase(), 0);
        f.resize(1000, 430);
        f.show();
        f.ImpostaCartellaLingue(lingue);
        QString log;
        QTextStream out(&log);
        demo::Tour tour(f, *conn, dir.filePath(QStringLiteral("shots")), out);
        EXPECT_EQ(tour.Esegui(), 0) << log.toStdString();
        EXPECT_EQ(f.Navigatore().TipoDatabase(), 2);
    }
    tessaro::ResetLanguageModule();
}

} // namespace
