// The commands: each one from the toolbar, from the keyboard and through the
// public method behind it, with every event it raises.

#include "ControlFixture.h"

namespace tessaro::test {
namespace {

class Comandi : public ControlTest {
protected:
    void SetUp() override { // ten customers, standing on the last
        ControlTest::SetUp();
        Clienti(10);
        ASSERT_TRUE(RegistraClienti());
    }
    // A button out of step with the state shows whether a refresh ran.
    void Segnale() { ctl->Button("Modifica")->setEnabled(false); }
    bool Aggiornato() const { return ctl->Button("Modifica")->isEnabled(); }
};

enum class Partenza { Secondo, Modifica, Nuovo };
enum class Via { Pulsante, Tastiera, Metodo };

struct Comando {
    const char* key;
    QKeyCombination tasto;
    void (Tessaro14_ML::*metodo)();
    Partenza partenza;
    int risposta; // to the command's question, 0 for none
    QStringList eventi;
    short stato;
};

TEST_F(Comandi, EachCommandRaisesItsEventsOnceWhateverStartsIt) {
    const QStringList mostra = {"OnCurrent", "AfterCurrent"};
    const Comando comandi[] = {
        {"Primo", Qt::CTRL | Qt::Key_Home, nullptr, Partenza::Secondo, 0, mostra, 2},
        {"Precedente", QKeyCombination(Qt::Key_PageUp), nullptr, Partenza::Secondo, 0, mostra, 2},
        {"Successivo", QKeyCombination(Qt::Key_PageDown), nullptr, Partenza::Secondo, 0, mostra, 7},
        {"Ultimo", Qt::CTRL | Qt::Key_End, nullptr, Partenza::Secondo, 0, mostra, 3},
        {"Nuovo",
         Qt::CTRL | Qt::Key_N,
         &Tessaro14_ML::Addnew,
         Partenza::Secondo,
         MsgAnswer::Yes,
         {"BeforeInsert", "Addnew"},
         5},
        {"Modifica", QKeyCombination(Qt::Key_F2), &Tessaro14_ML::Edit, Partenza::Secondo, 0,
         mostra + QStringList{"BeforeUpdate"}, 6},
        {"Salva",
         Qt::CTRL | Qt::Key_S,
         &Tessaro14_ML::Update,
         Partenza::Modifica,
         0,
         {"ValidateBeforeSave", "AfterUpdate", "OnCurrent", "AfterCurrent"},
         7},
        {"Salva",
         Qt::CTRL | Qt::Key_S,
         &Tessaro14_ML::Update,
         Partenza::Nuovo,
         0,
         {"ValidateBeforeSave", "AfterInsert", "OnCurrent", "AfterCurrent"},
         3},
        {"Elimina",
         Qt::CTRL | Qt::Key_Delete,
         &Tessaro14_ML::Delete,
         Partenza::Secondo,
         MsgAnswer::Yes,
         {"Delete", "BeforeDelConfirm", "AfterDelConfirm", "OnCurrent", "AfterCurrent",
          "AfterDelete"},
         2},
        {"Annulla",
         QKeyCombination(Qt::Key_Escape),
         &Tessaro14_ML::Annulla,
         Partenza::Modifica,
         0,
         {"AfterAnnulla", "OnCurrent", "AfterCurrent"},
         7},
        {"Annulla",
         QKeyCombination(Qt::Key_Escape),
         &Tessaro14_ML::Annulla,
         Partenza::Nuovo,
         0,
         {"AfterAnnulla", "OnCurrent", "AfterCurrent"},
         7},
        {"Duplica",
         Qt::CTRL | Qt::Key_D,
         nullptr,
         Partenza::Secondo,
         MsgAnswer::Yes,
         {"BeforeInsert", "OnCurrent", "AfterCurrent", "Clone"},
         5},
        {"Stampa",
         Qt::CTRL | Qt::Key_P,
         nullptr,
         Partenza::Secondo,
         MsgAnswer::No,
         {"ClickPrint"},
         7},
    };
    EventRecorder eventi(*ctl);
    QList<bool> barraDurante;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::OnCurrent, ctl->Events(),
                     [&] { barraDurante << ctl->ToolbarMoveRecord()->isEnabled(); });
    Attiva();
    for (const Comando& c : comandi) {
        for (Via via : {Via::Pulsante, Via::Tastiera, Via::Metodo}) {
            if (via == Via::Metodo && !c.metodo)
                continue;
            SCOPED_TRACE(std::string(c.key) + " by way " + std::to_string(static_cast<int>(via)) +
                         " from " + std::to_string(static_cast<int>(c.partenza)));
            Digita("2");
            if (c.partenza == Partenza::Nuovo)
                boxes.Expect(MsgAnswer::Yes);
            if (c.partenza != Partenza::Secondo) {
                Click(c.partenza == Partenza::Nuovo ? "Nuovo" : "Modifica");
                txtNome->setText("Scritto" + QString::number(static_cast<int>(via)));
            }
            if (c.risposta)
                boxes.Expect(c.risposta);
            const auto box = boxes.Shown().size();
            eventi.names.clear();
            eventi.containers.clear();
            barraDurante.clear();
            txtNome->setFocus();
            if (via == Via::Pulsante)
                Click(c.key);
            else if (via == Via::Tastiera)
                QTest::keyClick(txtNome, c.tasto.key(), c.tasto.keyboardModifiers());
            else
                (ctl->*c.metodo)();
            EXPECT_EQ(eventi.names, c.eventi);
            EXPECT_EQ(ctl->State(), c.stato);
            EXPECT_EQ(boxes.Shown().size() - box, c.risposta ? 1u : 0u);
            EXPECT_EQ(boxes.PendingAnswers(), 0u);
            EXPECT_EQ(barraDurante, QList<bool>(barraDurante.size(), via == Via::Metodo));
            EXPECT_TRUE(ctl->ToolbarMoveRecord()->isEnabled());
            if (c.stato == 5) {
                EXPECT_EQ(eventi.containers, QList<QWidget*>{form.get()});
            }
            if (c.stato == 5 || c.stato == 6) {
                EXPECT_EQ(Accesi(), QStringList({"Salva", "Annulla", "Stampa"}));
            }
            ctl->Annulla();
        }
    }
    // Three new records saved; the second record edited three times, then it
    // and the two that took its place deleted.
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT IdCliente FROM Clienti WHERE Nome LIKE 'Scritto%'"),
              QStringList({"11", "12", "13"}));
    EXPECT_EQ(Righe(), 10);
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
    ctl->Edit();
    txtNome->setText("Cambiato");
    ctl->Button("Annulla")->setEnabled(false);
    Click("Salva");
    ctl->Update();
    EXPECT_EQ(ctl->State(), 6);
    EXPECT_EQ(Nome(10), "C10");
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
    EXPECT_EQ(txtNome->text(), "Cambiato");
    // A duplicate starts from the current record.
    ctl->Annulla();
    eventi.veto.clear();
    boxes.Expect(MsgAnswer::Yes);
    Click("Duplica");
    EXPECT_EQ(txtNome->text(), "C10");
}

TEST_F(Comandi, MethodsOutsideTheirStatesDoNothing) {
    EventRecorder eventi(*ctl);
    Segnale();
    ctl->Update();
    ctl->Annulla();
    EXPECT_TRUE(eventi.names.isEmpty());
    EXPECT_FALSE(Aggiornato());
    ctl->Edit();
    ASSERT_EQ(ctl->State(), 6);
    eventi.names.clear();
    ctl->Addnew();
    ctl->Edit();
    ctl->Delete();
    EXPECT_TRUE(eventi.names.isEmpty());
    EXPECT_EQ(ctl->State(), 6);
    ctl->Annulla();
    ctl->ImpostaCondizione("IdCliente >= 8");
    EXPECT_EQ(ctl->Condizione(), "IdCliente >= 8");
    EXPECT_EQ(Box(), "3 TQ30 3");
    ctl->MoveTo("8");
    EXPECT_EQ(Box(), "1 TQ30 3");
}

} // namespace
} // namespace tessaro::test
