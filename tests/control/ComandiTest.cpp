#include "ControlFixture.h"

namespace tessaro::test {
namespace {

// Three customers, standing on the last.
class ComandiTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Clienti(3);
        ASSERT_TRUE(RegistraClienti());
        ASSERT_EQ(ctl->State(), 3);
    }

    // Sets Cancel in one of the veto events.
    template <typename S> void Veto(S signal) {
        QObject::connect(ctl->Events(), signal, ctl->Events(), [](bool& Cancel) { Cancel = true; });
    }

    // A button out of step with the state shows whether a refresh ran.
    void Segnale() { ctl->Button("Modifica")->setEnabled(false); }
    bool Aggiornato() const { return ctl->Button("Modifica")->isEnabled(); }

    int Righe() const { return Scalar("SELECT COUNT(*) FROM Clienti").toInt(); }
};

TEST_F(ComandiTest, ScrollingButtonsMoveAndRefreshWithTheToolbarOffMeanwhile) {
    QList<bool> barraDurante;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::OnCurrent, ctl->Events(),
                     [&] { barraDurante << ctl->ToolbarMoveRecord()->isEnabled(); });
    Click("Primo");
    EXPECT_EQ(Box(), "1 TQ30 3");
    EXPECT_EQ(txtNome->text(), "C1");
    EXPECT_EQ(Accesi(), QStringList({"Successivo", "Ultimo", "Nuovo", "Modifica", "Elimina",
                                     "Duplica", "Stampa"}));
    Click("Successivo");
    EXPECT_EQ(Box(), "2 TQ30 3");
    EXPECT_EQ(ctl->State(), 7);
    Click("Ultimo");
    EXPECT_EQ(Box(), "3 TQ30 3");
    Click("Precedente");
    EXPECT_EQ(Box(), "2 TQ30 3");
    EXPECT_EQ(txtNome->text(), "C2");
    EXPECT_EQ(barraDurante, QList<bool>({false, false, false, false}));
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
}

TEST_F(ComandiTest, AVetoInBeforeInsertSkipsNuovoDuplicaAndAddnewWithoutRefresh) {
    EventRecorder eventi(*ctl);
    Veto(&Tessaro14_MLEvents::BeforeInsert);
    // The navigator would ask TQ08 / TQ10 first: an unexpected box fails the test.
    Segnale();
    Click("Nuovo");
    Click("Duplica");
    ctl->Addnew();
    EXPECT_EQ(eventi.names, QStringList({"BeforeInsert", "BeforeInsert", "BeforeInsert"}));
    EXPECT_EQ(ctl->State(), 3);
    EXPECT_FALSE(Aggiornato());
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    EXPECT_EQ(txtNome->text(), "C3");
}

TEST_F(ComandiTest, NuovoThenSalvaInsertsARecord) {
    EventRecorder eventi(*ctl);
    boxes.Expect(MsgAnswer::Yes); // TQ08
    Click("Nuovo");
    ExpectBox(0, "TQ08", 36, "TQ09");
    EXPECT_EQ(ctl->State(), 5);
    EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla", "Stampa"}));
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(BoxLocked());
    ASSERT_EQ(eventi.containers.size(), 1);
    EXPECT_EQ(eventi.containers[0], form.get());
    txtNome->setText("Nuova");
    Click("Salva");
    EXPECT_EQ(Righe(), 4);
    EXPECT_EQ(Scalar("SELECT Nome FROM Clienti WHERE IdCliente = 4"), "Nuova");
    EXPECT_EQ(Box(), "4 TQ30 4");
    EXPECT_EQ(eventi.names.mid(0, 2), QStringList({"BeforeInsert", "Addnew"}));
    EXPECT_TRUE(eventi.names.contains("ValidateBeforeSave"));
    EXPECT_TRUE(eventi.names.contains("AfterInsert"));
}

TEST_F(ComandiTest, DuplicaModificaAndEliminaThroughTheToolbar) {
    boxes.Expect(MsgAnswer::Yes); // TQ10
    Click("Duplica");
    EXPECT_EQ(ctl->State(), 5);
    EXPECT_EQ(txtNome->text(), "C3") << "a duplicate starts from the current record";
    txtId->clear(); // the database gives the copy its key
    txtNome->setText("Copia");
    Click("Salva");
    EXPECT_EQ(Righe(), 4);
    EXPECT_EQ(txtId->text(), "4");
    EXPECT_EQ(Scalar("SELECT Citta FROM Clienti WHERE IdCliente = 4"), "Citta3");

    Click("Modifica");
    EXPECT_EQ(ctl->State(), 6);
    txtNome->setText("Cambiata");
    Click("Salva");
    EXPECT_EQ(Scalar("SELECT Nome FROM Clienti WHERE IdCliente = 4"), "Cambiata");
    EXPECT_EQ(Scalar("SELECT Nome FROM Clienti WHERE IdCliente = 3"), "C3");

    boxes.Expect(MsgAnswer::Yes); // TQ12
    Click("Elimina");
    EXPECT_EQ(Righe(), 3);
    EXPECT_EQ(txtId->text(), "3");
    EXPECT_EQ(Box(), "3 TQ30 3");
}

TEST_F(ComandiTest, AVetoInValidateBeforeSaveSkipsTheSaveAndTheRefresh) {
    ctl->Edit();
    ASSERT_EQ(ctl->State(), 6);
    txtNome->setText("Cambiato");
    Veto(&Tessaro14_MLEvents::ValidateBeforeSave);
    ctl->Button("Annulla")->setEnabled(false);
    Click("Salva");
    ctl->Update();
    EXPECT_EQ(ctl->State(), 6);
    EXPECT_EQ(Scalar("SELECT Nome FROM Clienti WHERE IdCliente = 3"), "C3");
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
    EXPECT_EQ(txtNome->text(), "Cambiato");
}

TEST_F(ComandiTest, AVetoInClickPrintSkipsThePrintQuestion) {
    EventRecorder eventi(*ctl);
    Veto(&Tessaro14_MLEvents::ClickPrint);
    Segnale();
    Click("Stampa");
    EXPECT_EQ(eventi.names, QStringList({"ClickPrint"}));
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(Aggiornato());
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
}

TEST_F(ComandiTest, StampaAsksAndNeverRefreshes) {
    Segnale();
    boxes.Expect(MsgAnswer::No);
    Click("Stampa");
    ExpectBox(0, "TQ14", 36, "TQ15");
    EXPECT_FALSE(Aggiornato());
}

TEST_F(ComandiTest, TheRelayPassesCancelBackFromBeforeDelConfirm) {
    EventRecorder eventi(*ctl);
    bool annulla = true;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::BeforeDelConfirm, ctl->Events(),
                     [&](bool& Cancel) { Cancel = annulla; });
    boxes.Expect(MsgAnswer::Yes); // TQ12
    ctl->Delete();
    ExpectBox(0, "TQ12", 36, "TQ13");
    EXPECT_EQ(Righe(), 3);
    EXPECT_EQ(eventi.names, QStringList({"Delete", "BeforeDelConfirm"}));

    annulla = false;
    eventi.names.clear();
    boxes.Expect(MsgAnswer::Yes);
    Click("Elimina");
    EXPECT_EQ(Righe(), 2);
    EXPECT_EQ(eventi.names.mid(0, 3),
              QStringList({"Delete", "BeforeDelConfirm", "AfterDelConfirm"}));
    EXPECT_EQ(eventi.names.last(), "AfterDelete");
    EXPECT_EQ(Box(), "2 TQ30 2");
}

TEST_F(ComandiTest, MethodsOutsideTheirStatesDoNothingAtAll) {
    EventRecorder eventi(*ctl);
    Segnale();
    ctl->Update();
    ctl->Annulla();
    EXPECT_TRUE(eventi.names.isEmpty());
    EXPECT_FALSE(Aggiornato());

    ctl->Edit();
    ASSERT_EQ(ctl->State(), 6);
    eventi.names.clear();
    Segnale();
    ctl->Addnew();
    ctl->Edit();
    ctl->Delete();
    EXPECT_TRUE(eventi.names.isEmpty());
    EXPECT_EQ(ctl->State(), 6);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ComandiTest, AnnullaRaisesAfterAnnullaBeforeTheNavigatorActs) {
    ctl->Edit();
    txtNome->setText("Scartato");
    QList<short> stati;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::AfterAnnulla, ctl->Events(),
                     [&] { stati << ctl->State(); });
    ctl->Annulla();
    ASSERT_FALSE(stati.isEmpty());
    EXPECT_EQ(stati.first(), 6);
    EXPECT_EQ(ctl->State(), 7);
    EXPECT_EQ(txtNome->text(), "C3");
    EXPECT_EQ(Box(), "3 TQ30 3");

    // The toolbar's "Annulla" leaves the event to the navigator alone.
    ctl->Edit();
    const int prima = static_cast<int>(stati.size());
    Click("Annulla");
    EXPECT_EQ(stati.size(), prima + 1);
    EXPECT_EQ(ctl->State(), 7);
    EXPECT_EQ(Accesi(),
              kScorrimento + QStringList({"Nuovo", "Modifica", "Elimina", "Duplica", "Stampa"}));
}

TEST_F(ComandiTest, MoveToAndImpostaCondizioneRefreshTheCounter) {
    ctl->MoveTo("2");
    EXPECT_EQ(Box(), "2 TQ30 3");
    EXPECT_EQ(txtNome->text(), "C2");
    ctl->ImpostaCondizione("IdCliente <= 2");
    EXPECT_EQ(ctl->Condizione(), "IdCliente <= 2");
    EXPECT_EQ(Box(), "2 TQ30 2");
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente", "Nuovo", "Modifica", "Elimina",
                                     "Duplica", "Stampa"}));
}

class ComandiSenzaFonteTest : public ControlTest {};

TEST_F(ComandiSenzaFonteTest, WithoutASourceEveryCommandReportsObjectNotSet) {
    const std::vector<std::pair<const char*, std::function<void()>>> metodi = {
        {"Tessaro_Addnew ", [this] { ctl->Addnew(); }},
        {"Tessaro_Update ", [this] { ctl->Update(); }},
        {"Tessaro_Edit ", [this] { ctl->Edit(); }},
        {"Tessaro_Delete ", [this] { ctl->Delete(); }},
        {"Tessaro_MoveTo ", [this] { ctl->MoveTo("1"); }},
        {"Tessaro_ImpostaCondizione ", [this] { ctl->ImpostaCondizione("1 = 1"); }},
        {"Tessaro_Annulla ", [this] { ctl->Annulla(); }},
        {"Tessaro_ToolbarMoveRecord_ButtonClick ", [this] { Click("Primo"); }},
        {"Tessaro_ToolbarMoveRecord_ButtonClick ", [this] { Click("Nuovo"); }},
    };
    for (std::size_t i = 0; i < metodi.size(); ++i) {
        boxes.Expect(MsgAnswer::Ok);
        metodi[i].second();
        ExpectBox(i, Failure(metodi[i].first, Err::ObjectNotSet), 16, "TQ03");
    }
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    // An edit with no records shows nothing.
    boxes.Clear();
    Clienti(0);
    ASSERT_TRUE(RegistraClienti());
    ctl->Edit();
    ctl->Delete();
    EXPECT_EQ(ctl->State(), 1);
    EXPECT_TRUE(boxes.Shown().empty());
}

} // namespace
} // namespace tessaro::test
