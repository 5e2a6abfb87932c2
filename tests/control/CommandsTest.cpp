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
};

enum class Partenza { Secondo, Modifica, Nuovo };
enum class Via { Pulsante, Tastiera, Metodo };

// A command, the key that gives it, where it starts, the answer to its
// question (0: it asks none), the events it raises, the state it leaves and
// the event the host vetoes.
struct Comando {
    const char* key;
    const char* tasti;
    Partenza partenza;
    int risposta;
    const char* eventi;
    short stato;
    const char* veto = nullptr;
};

TEST_F(Comandi, EachCommandRaisesItsEventsOnceWhateverStartsIt) {
    const Comando comandi[] = {
        {"Primo", "Ctrl+Home", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 2},
        {"Precedente", "PgUp", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 2},
        {"Successivo", "PgDown", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 7},
        {"Ultimo", "Ctrl+End", Partenza::Secondo, 0, "OnCurrent AfterCurrent", 3},
        {"Nuovo", "Ctrl+N", Partenza::Secondo, MsgAnswer::Yes, "BeforeInsert Addnew", 5},
        {"Modifica", "F2", Partenza::Secondo, 0, "OnCurrent AfterCurrent BeforeUpdate", 6},
        {"Salva", "Ctrl+S", Partenza::Modifica, 0,
         "ValidateBeforeSave AfterUpdate OnCurrent AfterCurrent", 7},
        {"Salva", "Ctrl+S", Partenza::Nuovo, 0,
         "ValidateBeforeSave AfterInsert OnCurrent AfterCurrent", 3},
        {"Elimina", "Ctrl+Del", Partenza::Secondo, MsgAnswer::Yes,
         "Delete BeforeDelConfirm AfterDelConfirm OnCurrent AfterCurrent AfterDelete", 2},
        {"Annulla", "Esc", Partenza::Modifica, 0, "AfterAnnulla OnCurrent AfterCurrent", 7},
        {"Annulla", "Esc", Partenza::Nuovo, 0, "AfterAnnulla OnCurrent AfterCurrent", 7},
        {"Duplica", "Ctrl+D", Partenza::Secondo, MsgAnswer::Yes,
         "BeforeInsert OnCurrent AfterCurrent Clone", 5},
        {"Stampa", "Ctrl+P", Partenza::Secondo, MsgAnswer::No, "ClickPrint", 7},
        // Vetoed by the host.
        {"Nuovo", "Ctrl+N", Partenza::Secondo, 0, "BeforeInsert", 7, "BeforeInsert"},
        {"Duplica", "Ctrl+D", Partenza::Secondo, 0, "BeforeInsert", 7, "BeforeInsert"},
        {"Salva", "Ctrl+S", Partenza::Modifica, 0, "ValidateBeforeSave", 6, "ValidateBeforeSave"},
        {"Stampa", "Ctrl+P", Partenza::Secondo, 0, "ClickPrint", 7, "ClickPrint"},
        // Out of their state: nothing happens, whatever starts them.
        {"Modifica", "F2", Partenza::Modifica, 0, "", 6},
        {"Nuovo", "Ctrl+N", Partenza::Modifica, 0, "", 6},
        {"Elimina", "Ctrl+Del", Partenza::Modifica, 0, "", 6},
        {"Salva", "Ctrl+S", Partenza::Secondo, 0, "", 7},
        {"Annulla", "Esc", Partenza::Secondo, 0, "", 7},
    };
    // The public methods behind the commands (calls, not member pointers: GCC's
    // vptr check of a call through one reads an uninitialised temporary).
    const std::map<QString, std::function<void()>> metodi = {{"Nuovo", [&] { ctl->Addnew(); }},
                                                             {"Modifica", [&] { ctl->Edit(); }},
                                                             {"Salva", [&] { ctl->Update(); }},
                                                             {"Elimina", [&] { ctl->Delete(); }},
                                                             {"Annulla", [&] { ctl->Annulla(); }}};
    QList<bool> barraDurante;
    QObject::connect(ctl->Events(), &Tessaro14_MLEvents::OnCurrent, ctl->Events(),
                     [&] { barraDurante << ctl->ToolbarMoveRecord()->isEnabled(); });
    Attiva();
    for (const Comando& c : comandi) {
        for (Via via : {Via::Pulsante, Via::Tastiera, Via::Metodo}) {
            if (via == Via::Metodo && !metodi.count(c.key))
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
            EventRecorder eventi(*ctl);
            eventi.veto << (c.veto ? c.veto : "");
            barraDurante.clear();
            txtNome->setFocus();
            if (via == Via::Pulsante)
                Click(c.key);
            else if (via == Via::Tastiera)
                QTest::keySequence(txtNome, QKeySequence(c.tasti));
            else
                metodi.at(c.key)();
            EXPECT_EQ(eventi.names, QString(c.eventi).split(' ', Qt::SkipEmptyParts));
            EXPECT_EQ(ctl->State(), c.stato);
            EXPECT_EQ((boxes.Shown().size() - box) * 10 + boxes.PendingAnswers(),
                      c.risposta ? 10u : 0u);
            EXPECT_TRUE(barraDurante.count(via != Via::Metodo) == 0 &&
                        ctl->ToolbarMoveRecord()->isEnabled())
                << "the toolbar is off during a command only";
            EXPECT_EQ(eventi.containers, QList<QWidget*>(c.stato == 5, form.get()));
            EXPECT_EQ(Accesi() == QStringList({"Salva", "Annulla", "Stampa"}),
                      c.stato == 5 || c.stato == 6);
            ctl->Annulla();
        }
    }
    // Three new records saved; the second record edited three times, then it
    // and the two that took its place deleted.
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT IdCliente FROM Clienti WHERE Nome LIKE 'Scritto%'"),
              QStringList({"11", "12", "13"}));
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT COUNT(*) FROM Clienti"), QStringList{"10"});
}

TEST_F(Comandi, AVetoSkipsTheRefreshAndADuplicateStartsFromTheCurrentRecord) {
    EventRecorder eventi(*ctl);
    eventi.veto << "BeforeInsert"
                << "ValidateBeforeSave"
                << "ClickPrint";
    ctl->Button("Modifica")->setEnabled(false); // out of step: a refresh would turn it on
    Click("Nuovo"); // the navigator would ask TQ08 first: an unexpected box fails the test
    Click("Stampa");
    EXPECT_FALSE(ctl->Button("Modifica")->isEnabled());
    ctl->Edit();
    ctl->Button("Annulla")->setEnabled(false);
    Click("Salva");
    EXPECT_FALSE(ctl->Button("Annulla")->isEnabled());
    ctl->Annulla();
    ctl->ImpostaCondizione("IdCliente >= 8");
    const QString filtrato = ctl->Condizione() + " " + Box();
    ctl->MoveTo("8");
    // A multi-line box keeps its paging keys, read-only or not.
    Attiva();
    auto* memo = new QPlainTextEdit(form.get());
    memo->show();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_PageDown);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(filtrato + "/" + Box(), "IdCliente >= 8 3 TQ30 3/1 TQ30 3");
    eventi.veto.clear();
    boxes.Expect(MsgAnswer::Yes);
    Click("Duplica");
    EXPECT_EQ(txtNome->text(), "C8");
}

} // namespace
} // namespace tessaro::test
