// Data sources: registering, activating and removing them, the event relay,
// and refilling lookup combos across loaded forms.

#include "ControlFixture.h"

#include <QSlider>

namespace tessaro::test {
namespace {

// Customers and orders in two group boxes of a second form.
class Fonti : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Clienti(3, "CREATE TABLE Ordini (IdOrdine INTEGER PRIMARY KEY, Numero TEXT,"
                   " IdCliente INTEGER REFERENCES Clienti(IdCliente));"
                   "INSERT INTO Ordini VALUES (1, 'O1', 3), (2, 'O2', 2), (3, 'O3', 1), "
                   "(4, 'O4', 1);");
        doppio.form->setObjectName("frmDoppio");
        grpClienti = doppio.AddFrame("grpClienti");
        grpOrdini = doppio.AddFrame("grpOrdini");
        nomeCliente = doppio.AddText("txtNomeCliente", "#Nome", grpClienti);
        numero = doppio.AddText("txtNumero", "#Numero", grpOrdini);
        const QString tag = Tag({"IdCliente", "Clienti", "Nome"});
        dentro = doppio.AddCombo("cmbCliente", tag, grpOrdini);
        fuori = doppio.AddCombo("cmbFuori", tag);
        ASSERT_TRUE(Registra(grpClienti, "Clienti", "IdCliente"));
        ASSERT_TRUE(Registra(grpOrdini, "Ordini", "IdOrdine"));
    }
    TaggedForm doppio;
    QGroupBox *grpClienti = nullptr, *grpOrdini = nullptr;
    QLineEdit *nomeCliente = nullptr, *numero = nullptr;
    QComboBox *dentro = nullptr, *fuori = nullptr;
};

QStringList sAvvisi;

TEST_F(Fonti, EachSourceKeepsItsPlaceAndOnlyTheActiveOneIsHeard) {
    EXPECT_EQ(std::make_tuple(ctl->ContenitoreName(), ctl->FontiDati().Count()),
              std::make_tuple(QString(), 2));
    ctl->SetFonteDatiAttiva("grpClienti");
    Click("Primo");
    const QString primo = Box();
    ctl->SetFonteDatiAttiva("grpOrdini");
    EXPECT_EQ(std::make_tuple(primo, Box()),
              std::make_tuple(QString("1 TQ30 3"), QString("4 TQ30 4")));
    Click("Precedente");
    EventRecorder eventi(*ctl);
    ctl->FontiDati().Item("grpClienti")->MoveNext(); // the inactive source is not heard
    EXPECT_TRUE(eventi.names.isEmpty());
    Click("Successivo");
    EXPECT_EQ(eventi.names, QStringList({"OnCurrent", "AfterCurrent"}));
    ctl->SetFonteDatiAttiva("GRPCLIENTI");
    EXPECT_EQ(
        std::make_tuple(ctl->ContenitoreName(), Box(), nomeCliente->text(), numero->text()),
        std::make_tuple(QString("GRPCLIENTI"), QString("2 TQ30 3"), QString("C2"), QString("O4")));
    // An unknown name keeps the source and takes the name.
    clsADONavigator* attivo = ctl->FonteDati();
    ctl->SetFonteDatiAttiva("frmNessuno");
    EXPECT_EQ(std::make_tuple(ctl->FonteDati(), ctl->ContenitoreName()),
              std::make_tuple(attivo, QString("frmNessuno")));

    // The same container twice: the second is active but not registered.
    boxes.Expect();
    EXPECT_TRUE(Registra(grpOrdini, "Ordini", "IdOrdine"));
    ExpectBox(0, Failure("Tessaro_AddFonteDati ", Err::DuplicateKey), 16, "TQ03");
    EXPECT_EQ(ctl->FontiDati().Count(), 2);
    EXPECT_NE(ctl->FonteDati(), ctl->FontiDati().Item("grpOrdini").get());
    EXPECT_TRUE(ctl->AddFonteDati(conn.get(), "Ordini", grpOrdini, "IdOrdine", {}, "Bis", "#"));
    EXPECT_EQ(ctl->FontiDati().Item("grpordinibis").get(), ctl->FonteDati());
    ExpectOneBox([&] { EXPECT_FALSE(ctl->AddFonteDati(conn.get(), "Ordini", nullptr, "Id", {})); },
                 Failure("Tessaro_AddFonteDati ", Err::ObjectNotSet), 16, "TQ03");

    EXPECT_TRUE(ctl->RemoveFonteDati("grpClienti"));
    EXPECT_EQ(ctl->FonteDati(), nullptr) << "after a removal no source is active";
    ExpectOneBox([&] { EXPECT_TRUE(ctl->RemoveFonteDati("grpClienti")); },
                 Failure("Tessaro_RemoveFonteDati ", Err::InvalidCall), 16, "TQ03");

    // A table that cannot be used leaves nothing to press; tagged widgets that
    // cannot be bound are named in the log.
    doppio.AddText("", "#Numero", grpOrdini);
    doppio.AddTagged<QSlider>("sldNumero", "#Numero", grpOrdini);
    const auto precedente =
        qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& m) {
            if (tipo == QtWarningMsg)
                sAvvisi << m;
        });
    boxes.Expect();
    const bool registrata =
        ctl->AddFonteDati(conn.get(), "Fantasma", grpOrdini, "Id", {}, "X", "#");
    qInstallMessageHandler(precedente);
    EXPECT_FALSE(registrata);
    ExpectBox(boxes.Shown().size() - 1, "TQ46", 16, "TQ03");
    EXPECT_EQ(std::make_tuple(Accesi(), BoxLocked()), std::make_tuple(QStringList(), true));
    EXPECT_EQ(sAvvisi.filter("QLineEdit tagged #Numero has no object name").size(), 1);
    EXPECT_EQ(sAvvisi.filter("sldNumero is a QSlider tagged #Numero that holds no value").size(),
              1);
    EXPECT_EQ(sAvvisi.filter("txtNumero").size(), 0);
    ctl->SetFonteDatiAttiva("grpOrdini");
    EXPECT_FALSE(Accesi().isEmpty());
}

TEST_F(Fonti, RemovingASourceBeingEditedAsksToSave) {
    ctl->SetFonteDatiAttiva("grpClienti");
    ctl->Edit();
    nomeCliente->setText("Nuovo");
    clsADONavigator* nav = ctl->FonteDati();
    ExpectOneBox([&] { EXPECT_FALSE(ctl->RemoveFonteDati("grpClienti")); }, "TQ06", 35,
                 "grpClienti", MsgAnswer::Cancel);
    EXPECT_EQ(std::make_tuple(ctl->FonteDati(), ctl->State()), std::make_tuple(nav, short(6)));
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT Nome FROM Clienti WHERE IdCliente = 3")[0], "C3");
    // Yes with a value that cannot be saved keeps the source and the typing.
    nomeCliente->setText("Troppo lungo per dieci");
    boxes.Expect(MsgAnswer::Yes);
    boxes.Expect(); // the length message
    EXPECT_FALSE(ctl->RemoveFonteDati("grpClienti"));
    EXPECT_TRUE(boxes.Shown().back().text.startsWith("TQ16"));
    EXPECT_EQ(std::make_tuple(ctl->FontiDati().Contains("grpClienti"), nomeCliente->text()),
              std::make_tuple(true, QString("Troppo lungo per dieci")));
    nomeCliente->setText("Salvato");
    ExpectOneBox([&] { EXPECT_TRUE(ctl->RemoveFonteDati("grpClienti")); }, "TQ06", 35, "grpClienti",
                 MsgAnswer::Yes);
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT Nome FROM Clienti WHERE IdCliente = 3")[0], "Salvato");
    EXPECT_FALSE(ctl->FontiDati().Contains("grpClienti"));

    ctl->SetFonteDatiAttiva("grpOrdini");
    ctl->Edit();
    numero->setText("scartato");
    ExpectOneBox([&] { EXPECT_TRUE(ctl->RemoveFonteDati("grpOrdini")); }, "TQ06", 35, "grpOrdini",
                 MsgAnswer::No);
    EXPECT_EQ(ctl->FontiDati().Count(), 0);
    EXPECT_EQ(std::make_tuple(Accesi(), Box()), std::make_tuple(QStringList(), QString()))
        << "nothing left to press";
    EXPECT_EQ(RowsAsText(conn.get(), "SELECT Numero FROM Ordini WHERE IdOrdine = 4"),
              QStringList{"O4"});
}

TEST_F(Fonti, CombosOfATableAreRefilledOnTheLoadedFormsOrOneByOne) {
    ctl->InitCharTag("#");
    ctl->AddInLoadedFormsSet(grpOrdini);
    ctl->AddInLoadedFormsSet(nullptr);
    ctl->AddInLoadedFormsSet(grpClienti);
    EXPECT_EQ(ctl->LoadedForms().Count(), 2);
    ctl->SetFonteDatiAttiva("grpClienti");
    ASSERT_EQ(std::make_tuple(Items(dentro), dentro->currentText()),
              std::make_tuple(QStringList({"C1", "C2", "C3"}), QString("C1")));
    conn->Execute("INSERT INTO Clienti VALUES (4, 'A4')");
    ctl->UpdateCombo();
    EXPECT_EQ(std::make_tuple(Items(dentro), dentro->currentText()),
              std::make_tuple(QStringList({"A4", "C1", "C2", "C3"}), QString("C1")));
    EXPECT_EQ(fuori->count(), 0) << "only combos inside the loaded containers";
    EXPECT_EQ(ctl->ContenitoreName(), "grpOrdini") << "the source of the last combo refilled";
    // With the orders active nothing shows the orders table.
    conn->Execute("INSERT INTO Clienti VALUES (5, 'B5')");
    ctl->UpdateCombo();
    EXPECT_EQ(dentro->count(), 4);
    ctl->RefreshCombo("grpOrdini", dentro);
    EXPECT_EQ(std::make_tuple(Items(dentro).mid(0, 2), dentro->currentText()),
              std::make_tuple(QStringList({"A4", "B5"}), QString("C1")));
    QComboBox due; // two fields in its Tag: it takes no part
    due.setProperty("Tag", Tag({"IdCliente", "Clienti"}));
    due.addItem("fisso");
    ctl->SetFonteDatiAttiva("grpClienti");
    ctl->RefreshCombo("grpOrdini", &due);
    ctl->RefreshCombo("grpOrdini", nullptr);
    EXPECT_EQ(std::make_tuple(ctl->ContenitoreName(), due.count()),
              std::make_tuple(QString("grpClienti"), 1));
    ctl->ClearLoadedFormsSet();
    EXPECT_EQ(ctl->LoadedForms().Count(), 0);
    EXPECT_EQ(RaisedBy([&] { ctl->SincronizzaTabelleCombo(nullptr); }).number, Err::ObjectNotSet);
}

} // namespace
} // namespace tessaro::test
