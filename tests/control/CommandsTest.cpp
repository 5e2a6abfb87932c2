// The toolbar's commands and the public methods behind them.

#include "ControlFixture.h"

namespace tessaro::test {
namespace {

class Comandi : public ControlTest {
protected:
    void SetUp() override { // three customers, standing on the last
        ControlTest::SetUp();
        Clienti(3);
        ASSERT_TRUE(RegistraClienti());
    }
    // A button out of step with the state shows whether a refresh ran.
    void Segnale() { ctl->Button("Modifica")->setEnabled(false); }
    bool Aggiornato() const { return ctl->Button("Modifica")->isEnabled(); }
};

TEST_F(Comandi, ScrollingButtonsMoveAndRefreshWithTheToolbarOffMeanwhile) {
    QList<bool> barraDurante;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::OnCurrent, ctl->Events(),
                     [&] { barraDurante << ctl->ToolbarMoveRecord()->isEnabled(); });
    const std::pair<const char*, const char*> clicks[] = {{"Primo", "1 TQ30 3"},
                                                          {"Successivo", "2 TQ30 3"},
                                                          {"Ultimo", "3 TQ30 3"},
                                                          {"Precedente", "2 TQ30 3"}};
    for (const auto& [key, box] : clicks) {
        Click(key);
        EXPECT_EQ(Box(), box) << key;
    }
    EXPECT_EQ(txtNome->text(), "C2");
    EXPECT_EQ(ctl->State(), 7);
    EXPECT_EQ(barraDurante, QList<bool>({false, false, false, false}));
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    ctl->MoveTo("1");
    EXPECT_EQ(Box(), "1 TQ30 3");
    ctl->ImpostaCondizione("IdCliente >= 2");
    EXPECT_EQ(ctl->Condizione(), "IdCliente >= 2");
    EXPECT_EQ(Box(), "2 TQ30 2");
    EXPECT_EQ(Accesi(), QStringList({"Primo", "Precedente", "Nuovo", "Modifica", "Elimina",
                                     "Duplica", "Stampa"}));
}

TEST_F(Comandi, NuovoDuplicaModificaSalvaEliminaThroughTheToolbar) {
    EventRecorder eventi(*ctl);
    boxes.Expect(MsgAnswer::Yes);
    Click("Nuovo");
    ExpectBox(0, "TQ08", 36, "TQ09");
    EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla", "Stampa"}));
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(BoxLocked());
    EXPECT_EQ(eventi.containers, QList<QWidget*>{form.get()});
    txtNome->setText("Nuova");
    Click("Salva");
    EXPECT_EQ(Nome(4), "Nuova");
    EXPECT_EQ(Box(), "4 TQ30 4");
    EXPECT_EQ(eventi.Steps(),
              QStringList({"BeforeInsert", "Addnew", "ValidateBeforeSave", "AfterInsert"}));

    boxes.Expect(MsgAnswer::Yes);
    Click("Duplica");
    EXPECT_EQ(txtNome->text(), "Nuova") << "a duplicate starts from the current record";
    txtId->clear();
    txtNome->setText("Copia");
    Click("Salva");
    EXPECT_EQ(Nome(5), "Copia");
    Click("Modifica");
    EXPECT_EQ(ctl->State(), 6);
    txtNome->setText("Cambiata");
    Click("Salva");
    EXPECT_EQ(Nome(5), "Cambiata");
    eventi.names.clear();
    boxes.Expect(MsgAnswer::Yes);
    Click("Elimina");
    EXPECT_EQ(Righe(), 4);
    EXPECT_EQ(Box(), "4 TQ30 4");
    EXPECT_EQ(eventi.Steps(),
              QStringList({"Delete", "BeforeDelConfirm", "AfterDelConfirm", "AfterDelete"}));
    // The relay passes Cancel back from BeforeDelConfirm.
    eventi.veto << "BeforeDelConfirm";
    boxes.Expect(MsgAnswer::Yes);
    ctl->Delete();
    EXPECT_EQ(Righe(), 4);
}

TEST_F(Comandi, AHostVetoSkipsTheCommandAndItsRefresh) {
    EventRecorder eventi(*ctl);
    eventi.veto << "BeforeInsert"
                << "ValidateBeforeSave"
                << "ClickPrint";
    Segnale();
    Click("Nuovo"); // the navigator would ask TQ08 first: an unexpected box fails the test
    Click("Duplica");
    ctl->Addnew();
    Click("Stampa");
    EXPECT_EQ(eventi.names,
              QStringList({"BeforeInsert", "BeforeInsert", "BeforeInsert", "ClickPrint"}));
    EXPECT_EQ(ctl->State(), 3);
    EXPECT_FALSE(Aggiornato());
    EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
    ctl->Edit();
    txtNome->setText("Cambiato");
    ctl->Button("Annulla")->setEnabled(false);
    Click("Salva");
    ctl->Update();
    EXPECT_EQ(ctl->State(), 6);
    EXPECT_EQ(Nome(3), "C3");
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
    EXPECT_EQ(txtNome->text(), "Cambiato");
    // Printing asks and never refreshes.
    eventi.veto.clear();
    Segnale();
    ExpectOneBox([&] { Click("Stampa"); }, "TQ14", 36, "TQ15", MsgAnswer::No);
    EXPECT_FALSE(Aggiornato());
}

TEST_F(Comandi, MethodsOutsideTheirStatesDoNothingAndAnnullaRaisesItsEventFirst) {
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

    txtNome->setText("Scartato");
    QList<short> stati;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::AfterAnnulla, ctl->Events(),
                     [&] { stati << ctl->State(); });
    ctl->Annulla();
    ASSERT_FALSE(stati.isEmpty());
    EXPECT_EQ(stati.first(), 6) << "raised before the navigator acts";
    EXPECT_EQ(ctl->State(), 7);
    EXPECT_EQ(txtNome->text(), "C3");
    EXPECT_EQ(Box(), "3 TQ30 3");
    ctl->Edit();
    const auto prima = stati.size();
    Click("Annulla"); // the toolbar leaves the event to the navigator alone
    EXPECT_EQ(stati.size(), prima + 1);
    EXPECT_EQ(Accesi(),
              kScorrimento + QStringList({"Nuovo", "Modifica", "Elimina", "Duplica", "Stampa"}));
}

} // namespace
} // namespace tessaro::test
