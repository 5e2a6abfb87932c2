#include "host/MessageBox.h"
#include "host/QtHostForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
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
        EXPECT_EQ(MsgBox("Salvare?", 36, "Conferma"), MsgAnswer::No);
        EXPECT_EQ(MsgBox("b", 35) * 10 + MsgBox("c", 48), MsgAnswer::Yes * 10 + MsgAnswer::Ok);
        ASSERT_EQ(boxes.Shown().size(), 3u);
        EXPECT_EQ(boxes.Shown()[0].title + QString::number(boxes.Shown()[0].style), "Conferma36");
        ASSERT_EQ(boxes.Unexpected().size(), 2u);
    }
    EXPECT_EQ(CurrentMessageBoxService(), &outer);

    using B = QMessageBox;
    struct Case {
        int style;
        B::StandardButtons buttons;
        B::Icon icon;
        B::StandardButton defaultButton;
        B::StandardButton click; // NoButton: press Escape
        int answer;
    };
    const Case cases[] = {
        {16, B::Ok, B::Critical, B::Ok, B::Ok, MsgAnswer::Ok},
        {1 + 48, B::Ok | B::Cancel, B::Warning, B::Ok, B::Cancel, MsgAnswer::Cancel},
        {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::No, MsgAnswer::No},
        {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::NoButton, MsgAnswer::Cancel},
        {36, B::Yes | B::No, B::Question, B::Yes, B::NoButton, MsgAnswer::No},
        {36 + 256, B::Yes | B::No, B::Question, B::No, B::Yes, MsgAnswer::Yes},
        {5 + 64, B::Retry | B::Cancel, B::Information, B::Retry, B::Retry, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            EXPECT_EQ(box->text() + "/" + box->windowTitle(), "Testo/Titolo");
            EXPECT_EQ(box->standardButtons(), c.buttons);
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
            if (c.click != B::NoButton) {
                box->button(c.click)->click();
                return;
            }
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &escape);
        });
        poll.start();
        EXPECT_EQ(QtMessageBoxService().Show("Testo", c.style, "Titolo"), c.answer);
    }
}

} // namespace
} // namespace tessaro
