// The server goes away under an open form (killed by its PID) and comes back
// on the same port and data. Each test has a server of its own.

#include "server/ServerFormFixture.h"

#include <QElapsedTimer>

namespace tessaro::test {
namespace {

const QString kNetworkText =
    QStringLiteral("Si è verificato un errore di rete nell'accesso al database");

class ServerRecoveryTest : public ServerFormTest {
protected:
    void SetUp() override {
        ServerFormTest::SetUp();
        if (IsSkipped())
            return;
        server = std::make_unique<PrivateServer>();
        ASSERT_TRUE(server->Started()) << server->Error().toStdString();
        Prepare(kClientiSchema, server->ConnectionString());
        user = &NewUser();
        ASSERT_TRUE(user->Init());
    }
    void TearDown() override {
        ServerFormTest::TearDown();
        conn.reset();
        db.reset();
        server.reset();
    }
    // Runs an operation that must show the network message exactly once.
    void ExpectNetworkMessage(const char* what, const std::function<void()>& operation) {
        const std::size_t before = boxes.Shown().size();
        boxes.Expect();
        operation();
        ASSERT_EQ(boxes.Shown().size(), before + 1) << what;
        const auto& box = boxes.Shown().back();
        EXPECT_EQ(box.text, kNetworkText) << what;
        EXPECT_EQ(box.title, "Attenzione!") << what;
        EXPECT_EQ(box.style, 48) << what;
    }

    std::unique_ptr<PrivateServer> server;
    ClientiForm* user = nullptr;
};

TEST_F(ServerRecoveryTest, BrowsingAfterARestartReconnectsSilentlyOnTheRightRecord) {
    user->nav.MoveFirst();
    ASSERT_EQ(user->Id(), "10");
    server->Kill();
    server->Restart();

    QElapsedTimer timer;
    timer.start();
    user->nav.MoveNext();
    RecordFigure("move that reconnects after a restart", timer.elapsed());
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(conn->State(), adStateOpen);
    EXPECT_EQ(user->Id(), "20");
    EXPECT_EQ(user->txtCognome->text(), "Bianchi");
    EXPECT_EQ(user->nav.State(), 7);
    EXPECT_EQ(user->Position(), 2);
    EXPECT_EQ(user->Count(), 3);
}

TEST_F(ServerRecoveryTest, WhileDownEveryMoveTellsTheUserOnceAndNothingMoves) {
    user->nav.MoveTo("20");
    server->Kill();

    QElapsedTimer timer;
    timer.start();
    ExpectNetworkMessage("MoveNext", [&] { user->nav.MoveNext(); });
    RecordFigure("move that meets the dead server", timer.elapsed());
    ExpectNetworkMessage("MovePrevious", [&] { user->nav.MovePrevious(); });
    ExpectNetworkMessage("MoveFirst", [&] { user->nav.MoveFirst(); });
    ExpectNetworkMessage("MoveLast", [&] { user->nav.MoveLast(); });
    ExpectNetworkMessage("Move", [&] { user->nav.Move(1); });
    ExpectNetworkMessage("MoveTo", [&] { user->nav.MoveTo("10"); });
    EXPECT_EQ(user->Id(), "20");
    EXPECT_EQ(user->txtCognome->text(), "Bianchi");
    EXPECT_EQ(user->nav.State(), 7);
    EXPECT_EQ(conn->State(), adStateClosed);

    // Back again: the key list is reopened on the record shown and the move goes on from it.
    server->Restart();
    user->nav.MoveNext();
    EXPECT_EQ(boxes.Shown().size(), 6u);
    EXPECT_EQ(user->Id(), "30");
    EXPECT_EQ(user->nav.State(), 3);
}

TEST_F(ServerRecoveryTest, AnEditSavedWhileDownKeepsItsValuesAndIsSavedAfterTheRestart) {
    user->nav.MoveTo("20");
    user->nav.Edit();
    ASSERT_EQ(user->nav.State(), 6);
    user->txtCognome->setText("Bianchi d'Este \\");
    user->txtEta->setText("51");
    user->txtNote->setPlainText("scritta mentre\nil server era giù");
    user->PickTown("Torino");
    server->Kill();

    ExpectNetworkMessage("Update", [&] { user->nav.Update(); });
    EXPECT_EQ(user->nav.State(), 6);
    EXPECT_EQ(user->txtCognome->text(), "Bianchi d'Este \\");
    EXPECT_EQ(user->txtEta->text(), "51");
    EXPECT_EQ(user->txtNote->toPlainText(), "scritta mentre\nil server era giù");
    EXPECT_EQ(user->cboComune->currentText(), "Torino");
    EXPECT_FALSE(user->txtCognome->isReadOnly());
    EXPECT_TRUE(user->log.names.isEmpty());

    server->Restart();
    EXPECT_EQ(Row("20"), "20|Bianchi|n20|50|2.5|1974-03-02 10:20:30|0|2") << "nothing was written";
    user->nav.Update();
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(user->log.names, QStringList{"AfterUpdate"});
    EXPECT_EQ(
        Row("20"),
        "20|Bianchi d'Este \\|scritta mentre\nil server era giù|51|2.5|1974-03-02 10:20:30|0|1");
    EXPECT_EQ(user->Id(), "20");
    EXPECT_EQ(user->nav.State(), 7);
    EXPECT_TRUE(user->txtCognome->isReadOnly());
}

TEST_F(ServerRecoveryTest, ANewRecordSavedWhileDownIsInsertedOnceAfterTheRestart) {
    user->nav.Addnew();
    ASSERT_EQ(user->nav.State(), 5);
    user->txtCognome->setText("Gialli");
    user->txtSaldo->setText("1,25");
    user->PickTown("Milano");
    server->Kill();

    ExpectNetworkMessage("Update", [&] { user->nav.Update(); });
    ExpectNetworkMessage("Update again", [&] { user->nav.Update(); });
    EXPECT_EQ(user->nav.State(), 5);
    EXPECT_EQ(user->txtCognome->text(), "Gialli");
    EXPECT_EQ(user->txtSaldo->text(), "1,25");
    EXPECT_EQ(user->cboComune->currentText(), "Milano");

    server->Restart();
    user->nav.Update();
    EXPECT_EQ(user->log.names, QStringList{"AfterInsert"});
    EXPECT_EQ(Keys(), QStringList({"10", "20", "30", "31"}));
    EXPECT_EQ(Row("31"), "31|Gialli|<null>|<null>|1.25|<null>|0|2");
    EXPECT_EQ(user->Id(), "31");
    EXPECT_EQ(user->nav.State(), 3);
}

} // namespace
} // namespace tessaro::test
