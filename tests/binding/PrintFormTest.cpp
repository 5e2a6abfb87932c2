#include "BindingFixture.h"

#include <QDir>
#include <QFileInfo>

namespace tessaro::test {
namespace {

class PrintFormTest : public BindingTest {
protected:
    void SetUp() override {
        BindingTest::SetUp();
        if (HasDefaultPrinter())
            GTEST_SKIP() << "a default printer is installed: printing would not write a PDF";
        UseScript("CREATE TABLE Note (IdNota INTEGER PRIMARY KEY, Testo TEXT);"
                  "INSERT INTO Note VALUES (1, 'prima');");
        SetPrintOutputPath(db->Folder() + QStringLiteral("/stampe/"));
        fraDati = AddFrame("fraDati");
        AddText("txtTesto", "#Testo", fraDati);
    }
    void TearDown() override {
        SetPrintOutputPath(QString());
        BindingTest::TearDown();
    }

    QStringList Printed() const {
        return QDir(db->Folder() + QStringLiteral("/stampe")).entryList({"*.pdf"}, QDir::Files);
    }
    void Ask(int answer) {
        boxes.Expect(answer);
        nav.PrintForm();
        ASSERT_FALSE(boxes.Shown().empty());
        ExpectBox(boxes.Shown().size() - 1, Tq("TQ14"), 36, Tq("TQ15"));
    }

    QGroupBox* fraDati = nullptr;
};

TEST_F(PrintFormTest, AnsweredNoPrintsNothing) {
    ASSERT_TRUE(Init("Note", "IdNota"));
    Ask(MsgAnswer::No);
    EXPECT_TRUE(Printed().isEmpty());
}

TEST_F(PrintFormTest, AnsweredYesPrintsTheFormOnce) {
    ASSERT_TRUE(Init("Note", "IdNota"));
    Ask(MsgAnswer::Yes);
    const QStringList printed = Printed();
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed.first().startsWith("frmTest_"));
    EXPECT_GT(QFileInfo(LastPrintFile()).size(), 0);
}

TEST_F(PrintFormTest, AContainerPrintsItself) {
    ASSERT_TRUE(Init("Note", "IdNota", ControlOf(fraDati)));
    Ask(MsgAnswer::Yes);
    const QStringList printed = Printed();
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed.first().startsWith("fraDati_"));
}

TEST_F(PrintFormTest, WithoutAContainerNothingIsPrintedAndNothingFails) {
    Ask(MsgAnswer::Yes);
    EXPECT_TRUE(Printed().isEmpty());
}

} // namespace
} // namespace tessaro::test
