// Two users on one table, each with a connection and a navigator of their own:
// what one saves or deletes, the other sees at their next move.

#include "server/ServerFormFixture.h"

namespace tessaro::test {
namespace {

class TwoUsersServerTest : public ServerFormTest {
protected:
    void SetUp() override {
        ServerFormTest::SetUp();
        if (IsSkipped())
            return;
        Prepare();
        anna = &NewUser(true);
        bruno = &NewUser(true);
        ASSERT_TRUE(anna->Init());
        ASSERT_TRUE(bruno->Init());
    }
    // Anna enters a customer of her own; returns the key the server gave it.
    QString AnnaAdds(const QString& cognome) {
        anna->nav.Addnew();
        anna->txtCognome->setText(cognome);
        anna->PickTown("Torino");
        anna->nav.Update();
        return anna->Id();
    }

    ClientiForm* anna = nullptr;
    ClientiForm* bruno = nullptr;
};

TEST_F(TwoUsersServerTest, InsertsAndDeletesAreSeenAtTheNextMoveWithExactCounts) {
    bruno->nav.MoveFirst();
    ASSERT_EQ(bruno->Id(), "10");

    const QString nuovo = AnnaAdds("Neri");
    EXPECT_EQ(nuovo, "31");
    EXPECT_EQ(bruno->Count(), 3) << "nothing changes for Bruno until he moves";
    bruno->nav.MoveNext();
    EXPECT_EQ(bruno->Id(), "20");
    EXPECT_EQ(bruno->Count(), 4);
    EXPECT_EQ(bruno->Position(), 2);
    bruno->nav.MoveLast();
    EXPECT_EQ(bruno->Id(), "31");
    EXPECT_EQ(bruno->txtCognome->text(), "Neri");
    EXPECT_EQ(bruno->nav.State(), 3);

    // Bruno deletes the first record; Anna's next move counts three again.
    bruno->nav.MoveTo("10");
    bruno->nav.Delete();
    EXPECT_EQ(Keys(), QStringList({"20", "30", "31"}));
    anna->nav.MoveFirst();
    EXPECT_EQ(anna->Id(), "20");
    EXPECT_EQ(anna->Count(), 3);
    EXPECT_EQ(anna->nav.State(), 2);
    anna->nav.MoveNext();
    EXPECT_EQ(anna->Id(), "30");
    EXPECT_EQ(anna->Position(), 2);
}

TEST_F(TwoUsersServerTest, TheRecordUnderTheOtherUserIsDeleted) {
    // Each way of moving on from a record that is gone lands on one that exists.
    const std::vector<std::pair<const char*, std::function<void(clsADONavigator&)>>> moves = {
        {"MoveNext", [](clsADONavigator& n) { n.MoveNext(); }},
        {"MovePrevious", [](clsADONavigator& n) { n.MovePrevious(); }},
        {"MoveFirst", [](clsADONavigator& n) { n.MoveFirst(); }},
        {"MoveLast", [](clsADONavigator& n) { n.MoveLast(); }},
    };
    for (const auto& [name, move] : moves) {
        const QString key = AnnaAdds(QStringLiteral("Da cancellare %1").arg(name));
        anna->nav.MoveTo(key);
        bruno->nav.MoveTo(key);
        ASSERT_EQ(bruno->Id(), key);
        const int count = anna->Count();

        anna->nav.Delete();
        ASSERT_FALSE(Keys().contains(key));
        move(bruno->nav);
        EXPECT_NE(bruno->Id(), key) << name;
        EXPECT_TRUE(Keys().contains(bruno->Id())) << name << " shows " << bruno->Id().toStdString();
        EXPECT_EQ(bruno->Count(), count - 1) << name;
        EXPECT_EQ(bruno->Position(), Keys().indexOf(bruno->Id()) + 1) << name;
        const int state = bruno->nav.State();
        EXPECT_TRUE(state == 2 || state == 3 || state == 7) << name << " state " << state;
        // And from there on, navigation goes on normally.
        bruno->nav.MoveFirst();
        EXPECT_EQ(bruno->Id(), Keys().front()) << name;
    }
}

TEST_F(TwoUsersServerTest, AnEditIsSeenByTheOtherAtTheNextMove) {
    anna->nav.MoveTo("20");
    bruno->nav.MoveTo("20");
    anna->nav.Edit();
    anna->txtCognome->setText("Bianchi-Ferri");
    anna->nav.Update();
    EXPECT_EQ(bruno->txtCognome->text(), "Bianchi") << "a shown record is not refreshed by itself";
    bruno->nav.MovePrevious();
    bruno->nav.MoveNext();
    EXPECT_EQ(bruno->txtCognome->text(), "Bianchi-Ferri");
}

} // namespace
} // namespace tessaro::test
