// The whole cycle of a form on MariaDB with the MySQL statement forms (kind 2):
// set-up from the server's schema, navigation, lookup combos, filter, one-row
// scrolling, new, duplicate, edit, delete, dates and awkward texts.

#include "server/ServerFormFixture.h"

namespace tessaro::test {
namespace {

class NavigatorServerTest : public ServerFormTest {
protected:
    void SetUp() override {
        ServerFormTest::SetUp();
        if (IsSkipped())
            return;
        Prepare();
        user = &NewUser();
        ASSERT_TRUE(user->Init());
        ASSERT_EQ(user->Id(), "30");
    }
    // Edit the record with the given key, type with the function, save.
    void EditAndSave(const QString& key, const std::function<void(ClientiForm&)>& type) {
        user->nav.MoveTo(key);
        ASSERT_EQ(user->Id(), key);
        user->nav.Edit();
        ASSERT_EQ(user->nav.State(), 6);
        type(*user);
        user->nav.Update();
        ASSERT_NE(user->nav.State(), 6) << "the save did not go through";
    }

    ClientiForm* user = nullptr;
};

TEST_F(NavigatorServerTest, SetUpReadsKeyLinkAndColumnsFromTheServersSchema) {
    clsADONavigator& nav = user->nav;
    EXPECT_EQ(nav.CampoChiave(), "IdCliente");
    EXPECT_EQ(nav.TipoChiave(), 3);
    ASSERT_EQ(nav.NumeroLink(), 1);
    const LinkTabella& link = nav.ArrayLink().at(0);
    EXPECT_EQ(link.TabellaCollegata, "Comuni");
    EXPECT_EQ(link.CampoTabellaPrincipale, "IdComune");
    EXPECT_EQ(link.CampoTabellaCollegata, "IdComune");
    EXPECT_EQ(nav.TabelleJoin(),
              "(Comuni INNER JOIN Clienti ON (Comuni.IdComune) = (Clienti.IdComune))");

    const collTabellaPrincipale& cols = *nav.TabellaPrincipale();
    ASSERT_EQ(cols.Count(), 8) << "only the primary table's columns";
    QStringList seen;
    for (long i = 1; i <= cols.Count(); ++i) {
        const auto c = cols.Item(i);
        seen << QStringLiteral("%1:%2:%3:%4")
                    .arg(c->NomeCampo())
                    .arg(c->TipoDati())
                    .arg(c->LunghezzaMassima())
                    .arg(c->ChiavePrimaria() ? "K" : "");
    }
    EXPECT_EQ(seen,
              QStringList({"IdCliente:3:0:K", "Cognome:130:40:", "Note:130:65535:", "Eta:3:0:",
                           "Saldo:5:0:", "Nascita:135:0:", "Attivo:11:0:", "IdComune:3:0:"}));

    // The last record, with the linked town and the lookup combo.
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(user->Count(), 3);
    EXPECT_EQ(user->txtCognome->text(), "Verdi");
    EXPECT_EQ(user->txtNote->toPlainText(), "n30");
    EXPECT_EQ(user->txtComune->text(), "Torino");
    EXPECT_EQ(user->txtNascita->text(), "");
    EXPECT_TRUE(user->chkAttivo->isChecked());
    EXPECT_EQ(user->ComboItems(), QStringList({"Milano", "Roma", "Torino"}));
    EXPECT_EQ(user->cboComune->currentText(), "Torino");
    EXPECT_TRUE(user->txtCognome->isReadOnly());
}

TEST_F(NavigatorServerTest, NavigationWalksTheKeysWithExactStatesAndCounts) {
    clsADONavigator& nav = user->nav;
    struct Step {
        std::function<void()> move;
        QString id;
        int state;
        int position;
    };
    const std::vector<Step> steps = {
        {[&] { nav.MoveFirst(); }, "10", 2, 1},    {[&] { nav.MovePrevious(); }, "10", 2, 1},
        {[&] { nav.MoveNext(); }, "20", 7, 2},     {[&] { nav.MoveNext(); }, "30", 3, 3},
        {[&] { nav.MoveNext(); }, "30", 3, 3},     {[&] { nav.Move(2); }, "20", 7, 2},
        {[&] { nav.Move(99); }, "30", 3, 3},       {[&] { nav.Move(-4); }, "10", 2, 1},
        {[&] { nav.MoveTo("20"); }, "20", 7, 2},   {[&] { nav.MoveLast(); }, "30", 3, 3},
        {[&] { nav.MovePrevious(); }, "20", 7, 2},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].move();
        EXPECT_EQ(user->Id(), steps[i].id) << "step " << i;
        EXPECT_EQ(nav.State(), steps[i].state) << "step " << i;
        EXPECT_EQ(user->Position(), steps[i].position) << "step " << i;
        EXPECT_EQ(user->Count(), 3);
    }
    EXPECT_EQ(user->txtCognome->text(), "Bianchi");
    EXPECT_EQ(user->txtComune->text(), "Milano");
    EXPECT_EQ(user->cboComune->currentText(), "Milano");
    EXPECT_EQ(user->txtNascita->text(), "1974-03-02 10:20:30");
    EXPECT_EQ(user->txtSaldo->text(), "2.5");
    EXPECT_FALSE(user->chkAttivo->isChecked());
}

TEST_F(NavigatorServerTest, FilterAndOneRowScrollingRunOnTheServer) {
    clsADONavigator& nav = user->nav;
    nav.mCondizione = "Eta > 45";
    nav.AggiornaTheData();
    EXPECT_EQ(user->Count(), 2);
    EXPECT_EQ(user->Id(), "30");
    EXPECT_EQ(nav.State(), 3);
    nav.MoveFirst();
    EXPECT_EQ(user->Id(), "20");

    nav.mCondizione = "Cognome LIKE 'Nessuno%'";
    nav.AggiornaTheData();
    EXPECT_EQ(nav.State(), 1);
    EXPECT_EQ(user->Id(), "");
    EXPECT_EQ(user->txtCognome->text(), "");

    // The second row from the end of the sort order, through LIMIT 1,1.
    nav.mCondizione.clear();
    nav.ScorrimentoDisabilitato = 1;
    nav.AggiornaTheData();
    EXPECT_EQ(nav.SqlElencoChiavi(),
              "Select IdCliente from Clienti Order by Clienti.IdCliente DESC LIMIT 1,1");
    EXPECT_EQ(user->Count(), 1);
    EXPECT_EQ(user->Id(), "20");
    // With scrolling disabled a key is loaded directly.
    nav.MoveTo("10");
    EXPECT_EQ(user->txtCognome->text(), "Rossi");
}

TEST_F(NavigatorServerTest, NewRecordTakesTheAutoIncrementKeyAndReadsBackExactly) {
    clsADONavigator& nav = user->nav;
    nav.Addnew();
    ASSERT_EQ(nav.State(), 5);
    EXPECT_EQ(user->ComboItems(), QStringList({"Milano", "Torino"})) << "enabled towns only";
    user->txtCognome->setText("D'Amico \\ C:\\dati\\");
    user->txtNote->setPlainText("riga 'uno'\nriga \\due\\\n\t\\' fine");
    user->txtEta->setText("33");
    user->txtSaldo->setText("3,75");
    user->txtNascita->setText("2024-03-05 09:07:03");
    user->chkAttivo->setChecked(true);
    user->PickTown("Milano");
    nav.Update();

    EXPECT_EQ(user->log.names, QStringList{"AfterInsert"});
    EXPECT_EQ(Keys(), QStringList({"10", "20", "30", "31"}));
    EXPECT_EQ(Row("31"), QString("31|D'Amico \\ C:\\dati\\|riga 'uno'\nriga \\due\\\n\t\\' fine|"
                                 "33|3.75|2024-03-05 09:07:03|-1|2"));
    // The form shows the saved record, locked, as the server holds it.
    EXPECT_EQ(user->Id(), "31");
    EXPECT_EQ(nav.State(), 3);
    EXPECT_EQ(user->Count(), 4);
    EXPECT_EQ(user->txtCognome->text(), "D'Amico \\ C:\\dati\\");
    EXPECT_EQ(user->txtNote->toPlainText(), "riga 'uno'\nriga \\due\\\n\t\\' fine");
    EXPECT_EQ(user->txtNascita->text(), "2024-03-05 09:07:03");
    EXPECT_EQ(user->txtComune->text(), "Milano");
    EXPECT_TRUE(user->chkAttivo->isChecked());
    EXPECT_TRUE(user->txtCognome->isReadOnly());
}

TEST_F(NavigatorServerTest, DuplicateEditAndDeleteUseTheMySqlForms) {
    clsADONavigator& nav = user->nav;
    // Duplicate Bianchi under a new key.
    nav.MoveTo("20");
    nav.Clone();
    ASSERT_EQ(nav.State(), 5);
    EXPECT_EQ(user->txtCognome->text(), "Bianchi");
    user->txtId->setText("25");
    nav.Update();
    EXPECT_EQ(Row("25"), "25|Bianchi|n20|50|2.5|1974-03-02 10:20:30|0|2");
    EXPECT_EQ(user->Id(), "25");

    // Edit it: every typed value is written, the rest is kept.
    EditAndSave("25", [](ClientiForm& f) {
        f.txtCognome->setText("O'Neil\\");
        f.txtEta->setText("-7");
        f.txtSaldo->setText("");
        f.txtNascita->setText("2024-12-31");
        f.chkAttivo->setChecked(true);
        f.PickTown("Torino");
    });
    EXPECT_EQ(Row("25"), "25|O'Neil\\|n20|-7|<null>|2024-12-31 00:00:00|-1|1");
    EXPECT_EQ(user->log.names, QStringList({"AfterInsert", "AfterUpdate"}));
    EXPECT_EQ(user->txtCognome->text(), "O'Neil\\");
    EXPECT_EQ(user->txtNascita->text(), "2024-12-31");

    // An unchanged save writes the same values back.
    const QString before = Row("20");
    EditAndSave("20", [](ClientiForm&) {});
    EXPECT_EQ(Row("20"), before);

    // "DELETE Clienti.* FROM Clienti WHERE ..." on the record shown.
    nav.MoveTo("25");
    nav.Delete();
    EXPECT_EQ(Keys(), QStringList({"10", "20", "30"}));
    EXPECT_EQ(user->log.names.back(), "AfterDelete");
    EXPECT_EQ(user->Id(), "20");
    EXPECT_EQ(user->Count(), 3);
}

TEST_F(NavigatorServerTest, DatesGoThroughUnpaddedLiteralsAndComeBackUnchanged) {
    // Stored as the server prints the column (CAST to text keeps midnight visible).
    const std::vector<std::pair<QString, QString>> cases = {
        {"2024-03-05 09:07:03", "2024-03-05 09:07:03"},
        {"2024-03-05 09:07", "2024-03-05 09:07:00"},
        {"1999-12-31", "1999-12-31 00:00:00"},
        {"  2000-02-29 23:59:59 ", "2000-02-29 23:59:59"},
    };
    for (const auto& [typed, stored] : cases) {
        EditAndSave("10", [&](ClientiForm& f) { f.txtNascita->setText(typed); });
        EXPECT_EQ(db->Column("SELECT CAST(Nascita AS CHAR) FROM Clienti WHERE IdCliente = 10"),
                  QStringList{stored})
            << typed.toStdString();
        // What the box shows saves back to the same value.
        EditAndSave("10", [](ClientiForm&) {});
        EXPECT_EQ(db->Column("SELECT CAST(Nascita AS CHAR) FROM Clienti WHERE IdCliente = 10"),
                  QStringList{stored});
    }
}

// Character keys with apostrophes and backslashes: found again after every
// requery, loaded by their own record statement, deleted by their own key.
class CharacterKeyServerTest : public ServerFormTest {};

TEST_F(CharacterKeyServerTest, AwkwardKeysAreNavigatedEditedAndDeleted) {
    Prepare({"CREATE TABLE Codici (Codice VARCHAR(20) PRIMARY KEY, Descrizione VARCHAR(40))"});
    const QStringList keys = {"A'B", "B\\", "C\\'D", "D''", "E%_"};
    for (const QString& k : keys) {
        QString escaped = k;
        escaped.replace("\\", "\\\\").replace("'", "\\'");
        db->Exec({"INSERT INTO Codici VALUES ('" + escaped + "', 'desc " + escaped + "')"});
    }
    auto form = std::make_unique<QWidget>();
    form->setObjectName("frmCodici");
    auto* txtCodice = new QLineEdit(form.get());
    txtCodice->setObjectName("txtCodice");
    txtCodice->setProperty("Tag", "#Codice");
    auto* txtDescrizione = new QLineEdit(form.get());
    txtDescrizione->setObjectName("txtDescrizione");
    txtDescrizione->setProperty("Tag", "#Descrizione");
    clsADONavigator nav;
    nav.TipoDatabase = 2;
    nav.MessaggioConfermaEliminaDisabilitato = true;
    ASSERT_TRUE(nav.Init_Class(conn.get(), "Codici", FormOf(form.get()), "Codice", {}, "#", ""));
    EXPECT_EQ(nav.TipoChiave(), 130);

    nav.MoveFirst();
    QStringList walked;
    for (int i = 0; i < keys.size(); ++i) {
        walked << txtCodice->text();
        EXPECT_EQ(txtDescrizione->text(), "desc " + txtCodice->text());
        EXPECT_EQ(nav.AbsolutePosition().toInt(), i + 1);
        nav.MoveNext();
    }
    EXPECT_EQ(walked, keys);
    for (int i = 0; i < keys.size(); ++i) {
        nav.MoveTo(keys[i]);
        EXPECT_EQ(txtCodice->text(), keys[i]);
        // Each move requeries and must find the key it stands on first.
        if (i + 1 < keys.size()) {
            nav.MoveNext();
            EXPECT_EQ(txtCodice->text(), keys[i + 1]);
            nav.MovePrevious();
        } else {
            nav.MovePrevious();
            EXPECT_EQ(txtCodice->text(), keys[i - 1]);
            nav.MoveNext();
        }
        EXPECT_EQ(txtCodice->text(), keys[i]) << "found again after a requery";
    }

    nav.MoveTo("C\\'D");
    nav.Edit();
    txtDescrizione->setText("nuova \\ 'desc'");
    nav.Update();
    EXPECT_EQ(db->Column("SELECT Descrizione FROM Codici WHERE Codice = 'C\\\\\\'D'"),
              QStringList{"nuova \\ 'desc'"});
    nav.MoveTo("B\\");
    nav.Delete();
    EXPECT_EQ(db->Column("SELECT Codice FROM Codici ORDER BY Codice"),
              QStringList({"A'B", "C\\'D", "D''", "E%_"}));
    EXPECT_EQ(txtCodice->text(), "A'B");
}

} // namespace
} // namespace tessaro::test
