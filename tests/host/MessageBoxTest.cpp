#include "host/MessageBox.h"
#include "host/QtHostForm.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(MessageBoxes, ScriptedOnesAnswerFromTheQueueAndTheQtOnesFollowTheStyle) {
    ScriptedMessageBoxes outer;
    ScopedMessageBoxService outerScope(&outer);
    {
        ScriptedMessageBoxes boxes;
        ScopedMessageBoxService scope(&boxes);
        boxes.Expect(MsgAnswer::No);
        EXPECT_EQ(MsgBox("Salvare?", 36, "Conferma") * 100 + MsgBox("b", 35) * 10 + MsgBox("c", 48),
                  MsgAnswer::No * 100 + MsgAnswer::Yes * 10 + MsgAnswer::Ok);
        EXPECT_EQ(boxes.Shown()[0].title + QString::number(boxes.Shown()[0].style), "Conferma36");
        EXPECT_EQ(boxes.Shown().size() * 10 + boxes.Unexpected().size(), 32u);
    }
    EXPECT_EQ(CurrentMessageBoxService(), &outer);

    // Style; buttons, icon and default of the box; the button clicked (NoButton:
    // Escape pressed) and the answer.
    using B = QMessageBox;
    const std::tuple<int, B::StandardButtons, B::Icon, B::StandardButton, B::StandardButton, int>
        cases[] = {
            {16, B::Ok, B::Critical, B::Ok, B::Ok, MsgAnswer::Ok},
            {1 + 48, B::Ok | B::Cancel, B::Warning, B::Ok, B::Cancel, MsgAnswer::Cancel},
            {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::No, MsgAnswer::No},
            {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::NoButton, MsgAnswer::Cancel},
            {36, B::Yes | B::No, B::Question, B::Yes, B::NoButton, MsgAnswer::No},
            {36 + 256, B::Yes | B::No, B::Question, B::No, B::Yes, MsgAnswer::Yes},
            {5 + 64, B::Retry | B::Cancel, B::Information, B::Retry, B::Retry, 4},
        };
    for (const auto& [style, buttons, icon, byDefault, click, answer] : cases) {
        SCOPED_TRACE(style);
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            EXPECT_EQ(box->text() + "/" + box->windowTitle(), "Testo/Titolo");
            EXPECT_TRUE(box->standardButtons() == buttons && box->icon() == icon);
            EXPECT_EQ(box->standardButton(box->defaultButton()), byDefault);
            if (click != B::NoButton)
                box->button(click)->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        poll.start();
        EXPECT_EQ(QtMessageBoxService().Show("Testo", style, "Titolo"), answer);
    }
}

} // namespace
} // namespace tessaro
