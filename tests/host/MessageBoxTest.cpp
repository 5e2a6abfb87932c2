#include "host/MessageBox.h"
#include "host/QtHostForm.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

// (The scripted boxes are what every other test runs on.)
TEST(MessageBoxes, TheQtOnesFollowTheStyle) {
    // Style; buttons, icon and default of the box; the button clicked (NoButton:
    // Escape pressed) and the answer.
    using B = QMessageBox;
    const std::tuple<int, B::StandardButtons, B::Icon, B::StandardButton, B::StandardButton, int>
        cases[] = {
            {16, B::Ok, B::Critical, B::Ok, B::Ok, MsgAnswer::Ok},
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
            EXPECT_TRUE(box->text() + "/" + box->windowTitle() == "Testo/Titolo" &&
                        box->standardButtons() == buttons && box->icon() == icon &&
                        box->standardButton(box->defaultButton()) == byDefault);
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
