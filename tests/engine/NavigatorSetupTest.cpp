#include "NavigatorFixture.h"

#include "data/TessaroError.h"
#include "engine/collTabellaPrincipale.h"

#include <QGroupBox>

namespace tessaro::test {

TEST_F(NavigatorTest, SetupDiscoversKeyColumnsAndLinksAndEndsOnTheLastRecord) {
    CreateSchema(3);
    StandardForm();
    ASSERT_TRUE(Init());

    EXPECT_EQ(nav.CampoChiave(), "IdCliente");
    EXPECT_EQ(nav.TipoChiave(), DbType::Integer);
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(Current(), "30");
    EXPECT_EQ(txtCognome->text(), "CognomeC");
    EXPECT_EQ(txtProvincia->text(), "MI"); // city 2 through the join

    const auto* cols = nav.TabellaPrincipale();
    ASSERT_EQ(cols->Count(), 5); // upsize_ts never enters
    EXPECT_EQ(cols->Item(1)->NomeCampo(), "IdCliente");
    EXPECT_TRUE(cols->Item(1)->ChiavePrimaria());
    EXPECT_EQ(cols->Item("COGNOME")->LunghezzaMassima(), 30);
    EXPECT_FALSE(cols->Item("Cognome")->IsNullable());
    EXPECT_EQ(cols->Item(cols->Count())->NomeCampo(), "Attivo");

    ASSERT_EQ(nav.NumeroLink(), 1);
    EXPECT_EQ(nav.ArrayLink()[0].TabellaCollegata, "Comuni");
    EXPECT_EQ(nav.ArrayLink()[0].CampoTabellaPrincipale, "IdComune");
    EXPECT_EQ(nav.TabelleJoin(),
              "(Comuni INNER JOIN Clienti ON (Comuni.IdComune) = (Clienti.IdComune))");
    EXPECT_EQ(nav.SqlRecordCorrente(),
              "SELECT * FROM " + nav.TabelleJoin() + " Where IdCliente = 30");
    EXPECT_EQ(nav.ConnState(), 1);
}

TEST_F(NavigatorTest, StatesThroughSetupForNoneOneAndSeveralRecords) {
    CreateSchema(0);
    StandardForm();
    txtCognome->setText("stale");
    ASSERT_TRUE(Init());
    EXPECT_EQ(nav.State(), 1);
    EXPECT_EQ(txtCognome->text(), "") << "no records: controls cleared";
    EXPECT_TRUE(txtCognome->isReadOnly()) << "no records: controls locked";
    EXPECT_EQ(nav.TheFullData->RecordCount(), 0);

    // A navigation on the empty list does nothing and shows nothing.
    nav.MoveNext();
    nav.MoveFirst();
    nav.Move(3);
    EXPECT_EQ(nav.State(), 1);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(NavigatorTest, OneRecordEndsInStateThreeAndMovesKeepIt) {
    CreateSchema(1);
    StandardForm();
    ASSERT_TRUE(Init());
    EXPECT_EQ(nav.State(), 3);
    nav.MoveFirst();
    EXPECT_EQ(nav.State(), 2);
    nav.MoveLast();
    EXPECT_EQ(nav.State(), 3);
    nav.MoveNext();
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(Current(), "10");
}

TEST_F(NavigatorTest, ConditionThatSelectsNothingGivesStateOne) {
    CreateSchema(3);
    StandardForm();
    ASSERT_TRUE(Init("Cognome = 'nobody'"));
    EXPECT_EQ(nav.State(), 1);
    EXPECT_EQ(nav.RecordCount().toInt(), 0);
}

TEST_F(NavigatorTest, CallerLinksComeFirstAndJoinEachTableOnce) {
    CreateSchema(2);
    StandardForm();
    AddText("txtComune", "#IdComune" + kSep + "Comuni.Nome");
    ASSERT_TRUE(Init(QString(), {"", "IdComune", "Comuni", "IdComune"}));
    ASSERT_EQ(nav.NumeroLink(), 2); // one from the caller, one from the schema
    EXPECT_EQ(nav.ArrayLink()[0].TabellaCollegata, "Comuni");
    EXPECT_EQ(nav.TabelleJoin().count("INNER JOIN"), 1);
    EXPECT_EQ(form->findChild<QLineEdit*>("txtComune")->text(), "Torino");
}

TEST_F(NavigatorTest, LinkArraysOfWholeTriplesOnly) {
    CreateSchema(2);
    StandardForm();
    // Upper bound 0 and an empty array mean no links given by the caller.
    ASSERT_TRUE(Init(QString(), {""}));
    EXPECT_EQ(nav.NumeroLink(), 1);

    clsADONavigator empty;
    EXPECT_TRUE(
        empty.Init_Class(conn.get(), "Clienti", FormOf(form.get()), "Cognome", {}, "#", ""));

    for (std::size_t upper : {2u, 4u}) {
        clsADONavigator bad;
        boxes.Expect();
        EXPECT_FALSE(bad.Init_Class(conn.get(), "Clienti", FormOf(form.get()), "Cognome",
                                    std::vector<QString>(upper + 1), "#", ""));
        EXPECT_EQ(boxes.Shown().back().text, "TQ29");
        EXPECT_EQ(boxes.Shown().back().title, "TQ03");
        EXPECT_EQ(boxes.Shown().back().style, 16);
        EXPECT_TRUE(bad.Inizializzato());
    }
}

TEST_F(NavigatorTest, TwoPartTagWithoutALinkFailsSetupWithItsBox) {
    CreateSchema(2);
    StandardForm();
    AddText("txtOrfano", "#Nessuno" + kSep + "Nome");
    boxes.Expect();
    EXPECT_FALSE(Init());
    EXPECT_TRUE(boxes.Shown().back().text.startsWith("ClsAdoNavigator_Metodo_Init_Class 9 "));
    EXPECT_EQ(boxes.Shown().back().title, "Errore interno!");
}

TEST_F(NavigatorTest, FrameContainerIgnoresNestedFramesAndMenuActions) {
    CreateSchema(2);
    auto* frame = new QGroupBox(form.get());
    frame->setObjectName("fraClienti");
    auto* nested = new QGroupBox(frame);
    nested->setObjectName("fraInterno");
    txtId = AddText("txtId", "#IdCliente", frame);
    auto* inner = AddText("txtInterno", "#Cognome", nested);
    auto* action = new QAction(form.get());
    action->setObjectName("mnuFile"); // has no container: raises 438
    nav.TipoDatabase = 4;
    ASSERT_TRUE(nav.Init_Class(conn.get(), "Clienti", HostObjectOf(frame), "Cognome", {}, "#", ""));
    EXPECT_EQ(txtId->text(), "20");
    EXPECT_EQ(inner->text(), "") << "controls of a nested frame are not shown";
}

TEST_F(NavigatorTest, PropertiesBeforeSetupWarnAndAnswerEmpty) {
    clsADONavigator fresh;
    EXPECT_EQ(fresh.ConnState(), 0);
    EXPECT_EQ(fresh.State(), 0);
    EXPECT_EQ(fresh.PrimaryTableName(), "");
    boxes.Expect();
    boxes.Expect();
    boxes.Expect();
    EXPECT_EQ(fresh.ContenitoreCaselle(), nullptr);
    EXPECT_FALSE(fresh.RecordCount().isValid());
    EXPECT_FALSE(fresh.AbsolutePosition().isValid());
    ASSERT_EQ(boxes.Shown().size(), 3u);
    for (const auto& b : boxes.Shown()) {
        EXPECT_EQ(b.text, "TQ01");
        EXPECT_EQ(b.title, "TQ02");
        EXPECT_EQ(b.style, 48);
    }
    // Navigation before set-up does nothing and shows nothing.
    fresh.MoveNext();
    fresh.MoveTo("1");
    fresh.Move(1);
    EXPECT_EQ(boxes.Shown().size(), 3u);
}

TEST_F(NavigatorTest, UnloadReleasesEverythingButTheConnection) {
    CreateSchema(2);
    StandardForm();
    ASSERT_TRUE(Init());
    nav.Unload();
    EXPECT_EQ(nav.ConnState(), 0);
    EXPECT_EQ(nav.TheData, nullptr);
    EXPECT_EQ(conn->State(), 1);
    nav.MoveFirst(); // does nothing after Unload
}

TEST(collTabellaPrincipale, KeysIgnoreCaseAndDuplicatesAreRefused) {
    collTabellaPrincipale c;
    c.Add("Id", 3, false, 0, true);
    c.Add("Nome", 130, true, 40, false);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Item("nome")->LunghezzaMassima(), 40);
    EXPECT_EQ(c.Item(1)->NomeCampo(), "Id");
    try {
        c.Add("NOME", 130, true, 0, false);
        FAIL() << "a duplicate name was accepted";
    } catch (const TessaroError& e) {
        EXPECT_EQ(e.Number(), Err::DuplicateKey);
    }
}

class collTabellaPrincipaleBoxes : public BoxesTest {};

TEST_F(collTabellaPrincipaleBoxes, MissingItemShowsItsOwnBox) {
    collTabellaPrincipale c;
    c.Add("Id", 3, false, 0, true);
    boxes.Expect();
    boxes.Expect();
    EXPECT_EQ(c.Item(2), nullptr);
    EXPECT_EQ(c.Item("missing"), nullptr);
    EXPECT_TRUE(boxes.Shown()[0].text.startsWith("Err 9 - "));
    EXPECT_EQ(boxes.Shown()[0].title, "Errore interno!");
    EXPECT_EQ(boxes.Shown()[1].style, 16);
}

TEST_F(NavigatorTest, SameColumnNameInTheJoinedTableNeverStandsInForThePrimaryOne) {
    // Clienti.Nome and Comuni.Nome: the join lists Comuni's columns first.
    CreateSchema(2);
    StandardForm();
    auto* nome = AddText("txtNome", "#Nome");
    auto* comune = AddText("txtComune", "#IdComune" + kSep + "Nome");
    ASSERT_TRUE(Init());
    EXPECT_EQ(nome->text(), "Nome20");
    EXPECT_EQ(comune->text(), "Torino");
}

} // namespace tessaro::test
