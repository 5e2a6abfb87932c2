#include "EditingFixture.h"
#include "language/modLanguageSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tessaro::test {

namespace {

// Language texts for one test; the module is reset afterwards.
class LinguaDiProva {
public:
    explicit LinguaDiProva(const QString& righe) {
        Scrivi("LangSetting.ini", "[Language]\nCurrentLanguage=Prova\n");
        Scrivi("Prova.lng", "[Strings]\n" + righe);
        CambiaLinguaModulo(mDir.path());
    }
    ~LinguaDiProva() { ResetLanguageModule(); }

private:
    void Scrivi(const QString& nome, const QString& testo) {
        QFile f(QDir(mDir.path()).filePath(nome));
        f.open(QIODevice::WriteOnly);
        f.write(testo.toUtf8());
    }
    QTemporaryDir mDir;
};

} // namespace

class SalvataggioTest : public EditingTest {
protected:
    // Edit the record with the given key.
    void EditRecord(const QString& key) {
        nav.MoveTo(key);
        ASSERT_EQ(txtId->text(), key);
        nav.Edit();
        ASSERT_EQ(nav.State(), 6);
        log.Clear();
    }
    void NewRecord() {
        nav.MessaggioConfermaNuovoDisabilitato = true;
        nav.Addnew();
        ASSERT_EQ(nav.State(), 5);
        log.Clear();
    }
    // Saves expecting one validation box; checks that nothing was written.
    void ExpectRefused(const QString& text, int style, int state) {
        const QStringList before = Rows();
        boxes.Expect();
        nav.Update();
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown().back().text, text);
        EXPECT_EQ(boxes.Shown().back().style, style);
        EXPECT_EQ(boxes.Shown().back().title, "TQ02");
        EXPECT_EQ(nav.State(), state);
        EXPECT_EQ(Rows(), before);
        EXPECT_TRUE(log.Steps().isEmpty()) << log.Steps().join(",").toStdString();
        EXPECT_FALSE(txtCognome->isReadOnly()) << "the controls stay open for a correction";
        boxes.Clear();
    }
};

TEST_F(SalvataggioTest, StatementsOfARealFormForEveryKind) {
    UseScript("CREATE TABLE T (a INTEGER PRIMARY KEY, b VARCHAR(10), c TEXT);"
              "INSERT INTO T VALUES (1, 'x', 'keep');");
    AddText("txtA", "#a");
    AddText("txtB", "#b");
    ASSERT_TRUE(Init("T", "a"));
    for (int kind : {0, 1, 2, 4}) {
        nav.TipoDatabase = kind;
        const auto t = NavigatorTestAccess::Testi(nav);
        ASSERT_FALSE(t.messaggio);
        EXPECT_EQ(t.insert, "Insert Into T (a,b) Values (1,'x');") << kind;
        EXPECT_EQ(t.update, "UPDATE T SET a=1,b='x' WHERE (a = 1);") << kind;
    }
}

TEST_F(SalvataggioTest, ATagPrefixStillBindsAndTheColumnNameIsWritten) {
    UseScript("CREATE TABLE T (Id INTEGER PRIMARY KEY, Note TEXT, Password TEXT);"
              "INSERT INTO T VALUES (1, 'n', 'p');");
    AddText("txtId", "§Id");
    AddText("txtNote", "x§Note");
    AddText("txtPassword", "§Password");
    AddText("txtFuori", "Password"); // no prefix: not bound
    ASSERT_TRUE(Init("T", "Id", "§"));
    nav.TipoDatabase = 0;
    const auto t = NavigatorTestAccess::Testi(nav);
    EXPECT_EQ(t.insert, "Insert Into T (Id,[Note],[Password]) Values (1,'n','p');");
    EXPECT_EQ(t.update, "UPDATE T SET Id=1,[Note]='n',[Password]='p' WHERE (Id = 1);");
}

TEST_F(SalvataggioTest, OnlyInputControlsServeAndLinkedBoxesServeNothing) {
    CreateSchema();
    txtId = AddText("txtId", "#IdCliente");
    // Shows the town's name through the join; it must never be written into IdComune.
    AddText("txtComune", Tag({"IdComune", "Nome"}));
    auto* label = new QWidget(form.get());
    label->setObjectName("lblCognome");
    label->setProperty("Tag", "#Cognome");
    txtCognome = AddText("txtCognome", "#Cognome");
    ASSERT_TRUE(Init());
    const auto t = NavigatorTestAccess::Testi(nav);
    EXPECT_EQ(t.insert, "Insert Into Clienti (IdCliente,Cognome) Values (30,'Verdi');");
}

TEST_F(SalvataggioTest, TheFirstControlOfAColumnServesItAndCombosGoFirst) {
    CreateSchema();
    txtId = AddText("txtId", "#IdCliente");
    txtCognome = AddText("txtCognome", "#Cognome");
    auto* txtCognome2 = AddText("txtCognome2", "#Cognome");
    auto* txtComune = AddText("txtComune", "#IdComune");
    cboComune = AddCombo("cboComune", Tag({"IdComune", "", "Nome"}));
    cboComune->setEditable(true);
    ASSERT_TRUE(Init());
    nav.Edit();
    txtCognome->setText("Primo");
    txtCognome2->setText("Secondo");
    txtComune->setText("3");
    cboComune->setCurrentIndex(cboComune->findText("Milano"));
    nav.Update();
    EXPECT_EQ(Cell("SELECT Cognome || '/' || IdComune FROM Clienti WHERE IdCliente = 30"),
              "Primo/2");
}

TEST_F(SalvataggioTest, EditingKeepsTheColumnsTheFormDoesNotShow) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    EditRecord("20");
    txtNote->setPlainText("");
    txtCognome->setText("Bianco");
    nav.Update();
    EXPECT_EQ(Rows("Clienti", "IdCliente = 20"),
              QStringList{"20|Bianco|<null>|50|2.5|1974-03-02|0|2|C20"});
    EXPECT_EQ(log.Steps(), QStringList{"AfterUpdate"});
    EXPECT_EQ(txtCognome->text(), "Bianco");
    EXPECT_TRUE(txtCognome->isReadOnly());
    EXPECT_EQ(nav.State(), 7);
}

TEST_F(SalvataggioTest, ANewRecordGetsTheDefaultsOfTheColumnsNotShown) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    NewRecord();
    txtId->setText("40");
    txtCognome->setText("Neri");
    cboComune->setEditText("Roma");
    nav.Update();
    EXPECT_EQ(Rows("Clienti", "IdCliente = 40"),
              QStringList{"40|Neri|<null>|<null>|<null>|<null>|0|3|nuovo"});
    EXPECT_EQ(log.Steps(), QStringList{"AfterInsert"});
    EXPECT_EQ(txtId->text(), "40");
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(SalvataggioTest, TypingAnotherRecordsKeyDoesNotOverwriteThatRecord) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    const QStringList dieci = Rows("Clienti", "IdCliente = 10");
    EditRecord("20");
    txtId->setText("10");
    txtCognome->setText("Intruso");
    boxes.Expect();
    nav.Update();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown()[0].text.startsWith("ClsAdoNavigator_Metodo_Update -2147217900 "))
        << boxes.Shown()[0].text.toStdString();
    EXPECT_EQ(boxes.Shown()[0].style, 16);
    EXPECT_EQ(boxes.Shown()[0].title, "TQ03");
    EXPECT_EQ(Rows("Clienti", "IdCliente = 10"), dieci);
    EXPECT_EQ(Cell("SELECT Cognome FROM Clienti WHERE IdCliente = 20"), "Bianchi");
    EXPECT_EQ(nav.State(), 6);

    // A free key renumbers the record being edited and the form follows it.
    txtId->setText("25");
    nav.Update();
    EXPECT_EQ(Cell("SELECT Cognome FROM Clienti WHERE IdCliente = 25"), "Intruso");
    EXPECT_EQ(Cell("SELECT COUNT(*) FROM Clienti WHERE IdCliente = 20"), "0");
    EXPECT_EQ(Rows("Clienti", "IdCliente = 10"), dieci);
    EXPECT_EQ(txtId->text(), "25");
    EXPECT_EQ(nav.AbsolutePosition().toInt(), 2);
}

TEST_F(SalvataggioTest, EveryValidationMessageStopsTheSaveKeepingModeAndValues) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    NewRecord();
    txtId->setText("40");
    txtCognome->setText("Lunghissimo");
    ExpectRefused("TQ16 #Cognome\rTQ17 10 TQ18", 48, 5);
    EXPECT_EQ(txtCognome->text(), "Lunghissimo");
    txtCognome->setText("Lunghissim");
    txtEta->setText("3,5");
    ExpectRefused("TQ16 #Eta\rTQ19", 48, 5);
    EXPECT_EQ(txtEta->text(), "3,5");
    txtEta->setText("35");
    txtSaldo->setText("1.000,5");
    ExpectRefused("TQ16 #Saldo\rTQ19", 48, 5);
    txtSaldo->setText("1000,5");
    txtNascita->setText("2024-02-30");
    ExpectRefused("TQ23 #Nascita", 16, 5);
    txtNascita->setText("2024-02-29");
    cboComune->setEditText("Napoli");
    ExpectRefused("TQ42", 48, 5);
    EXPECT_EQ(cboComune->currentText(), "Napoli");
    EXPECT_EQ(txtCognome->text(), "Lunghissim");

    cboComune->setEditText("Milano");
    nav.Update();
    EXPECT_EQ(Rows("Clienti", "IdCliente = 40"),
              QStringList{"40|Lunghissim|<null>|35|1000.5|2024-02-29|0|2|nuovo"});
    EXPECT_EQ(nav.State(), 3);
}

TEST_F(SalvataggioTest, ValidationStopsAnEditToo) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    EditRecord("10");
    txtEta->setText("1;DELETE FROM Clienti");
    ExpectRefused("TQ16 #Eta\rTQ19", 48, 6);
    EXPECT_EQ(txtEta->text(), "1;DELETE FROM Clienti");
    EXPECT_EQ(Count(), 3);
}

TEST_F(SalvataggioTest, TheUnknownItemMessageNamesTheColumn) {
    LinguaDiProva lingua(
        "TQ02=\"Attenzione\"\nTQ42=\"Il campo [[Tag]] non e' in elenco ([[Tag]])\"\n");
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    EditRecord("10");
    cboComune->setEditText("Atlantide");
    boxes.Expect();
    nav.Update();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Il campo IdComune non e' in elenco (IdComune)");
    EXPECT_EQ(boxes.Shown()[0].title, "Attenzione");
    EXPECT_EQ(nav.State(), 6);
}

TEST_F(SalvataggioTest, AGrayedCheckBoxIsSavedAsTrue) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    EditRecord("20");
    chkAttivo->setTristate(true);
    chkAttivo->setCheckState(Qt::PartiallyChecked);
    nav.TipoDatabase = 0;
    EXPECT_TRUE(NavigatorTestAccess::Testi(nav).update.contains(",Attivo=-1,"));
    nav.TipoDatabase = 4;
    EXPECT_TRUE(NavigatorTestAccess::Testi(nav).update.contains(",Attivo=1,"));
    nav.Update();
    EXPECT_EQ(Cell("SELECT Attivo FROM Clienti WHERE IdCliente = 20"), "1");
    EditRecord("20");
    chkAttivo->setCheckState(Qt::Unchecked);
    nav.Update();
    EXPECT_EQ(Cell("SELECT Attivo FROM Clienti WHERE IdCliente = 20"), "0");
}

TEST_F(SalvataggioTest, AComboTypedToMatchAnItemSelectsItBeforeSaving) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    EditRecord("10");
    cboComune->setEditText("  Milano ");
    ASSERT_EQ(FormOf(form.get()) != nullptr, true);
    ASSERT_EQ(AsComboBox(*ControlOf(cboComune)).ListIndex(), -1);
    nav.Update();
    EXPECT_EQ(cboComune->currentText(), "Milano");
    EXPECT_EQ(Cell("SELECT IdComune FROM Clienti WHERE IdCliente = 10"), "2");
    // An emptied combo writes Null.
    EditRecord("10");
    cboComune->setEditText("");
    nav.Update();
    EXPECT_EQ(Cell("SELECT IdComune FROM Clienti WHERE IdCliente = 10"), "<null>");
}

TEST_F(SalvataggioTest, SmallintAndBigintKeysFindTheirRow) {
    UseScript("CREATE TABLE G (Id INTEGER PRIMARY KEY, Nome VARCHAR(20));"
              "INSERT INTO G VALUES (9000000000, 'uno');"
              "INSERT INTO G VALUES (9000000001, 'due');"
              "INSERT INTO G VALUES (9000000002, 'tre');");
    auto* txtKey = AddText("txtId", "#Id");
    auto* txtNome = AddText("txtNome", "#Nome");
    ASSERT_TRUE(Init("G", "Id"));
    for (short tipo : {short(20), short(2)}) {
        NavigatorTestAccess::TipoChiave(nav, tipo);
        nav.MoveTo("9000000001");
        ASSERT_EQ(txtKey->text(), "9000000001");
        nav.Edit();
        txtNome->setText(QString("tipo %1").arg(tipo));
        nav.Update();
        EXPECT_EQ(Rows("G"), QStringList({"9000000000|uno", QString("9000000001|tipo %1").arg(tipo),
                                          "9000000002|tre"}));
    }
    nav.MessaggioConfermaEliminaDisabilitato = true;
    EXPECT_EQ(NavigatorTestAccess::Delete(nav), "DELETE FROM G WHERE Id = 9000000001");
    nav.Delete();
    EXPECT_EQ(Rows("G"), QStringList({"9000000000|uno", "9000000002|tre"}));
}

TEST_F(SalvataggioTest, AFractionInAnIntegerColumnIsRejectedNotSplit) {
    UseScript("CREATE TABLE N (Id INTEGER PRIMARY KEY, Qta INTEGER, Extra INTEGER);"
              "INSERT INTO N VALUES (1, 1, 7);");
    AddText("txtId", "#Id");
    auto* txtQta = AddText("txtQta", "#Qta");
    ASSERT_TRUE(Init("N", "Id"));
    nav.Edit();
    txtQta->setText("3,5");
    boxes.Expect();
    nav.Update();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "TQ16 #Qta\rTQ19");
    EXPECT_EQ(Rows("N"), QStringList{"1|1|7"});
    txtQta->setText(" 12 ");
    nav.Update();
    EXPECT_EQ(Rows("N"), QStringList{"1|12|7"});
}

TEST_F(SalvataggioTest, SavingWhileBrowsingRunsNothingAndLocks) {
    CreateSchema();
    StandardForm();
    ASSERT_TRUE(Init());
    const QStringList before = Rows();
    txtCognome->setReadOnly(false);
    txtCognome->setText("Cambiato");
    nav.Update();
    EXPECT_EQ(Rows(), before);
    EXPECT_TRUE(log.Steps().isEmpty());
    EXPECT_TRUE(txtCognome->isReadOnly());
    EXPECT_EQ(nav.State(), 3);
}

} // namespace tessaro::test
