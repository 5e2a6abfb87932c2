#include "host/MessageBox.h"
#include "host/QtHostForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(ScriptedMessageBoxes, RecordsBoxesAndAnswersInQueueOrder) {
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxService scope(&boxes);
    boxes.Expect(MsgAnswer::No);
    boxes.Expect(MsgAnswer::Cancel);
    EXPECT_EQ(boxes.PendingAnswers(), 2u);

    EXPECT_EQ(MsgBox(QStringLiteral("Salvare?"), 36, QStringLiteral("Conferma")), MsgAnswer::No);
    EXPECT_EQ(MsgBox(QStringLiteral("Rimuovere?"), 35, QStringLiteral("fraDati")),
              MsgAnswer::Cancel);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, QStringLiteral("Salvare?"));
    EXPECT_EQ(boxes.Shown()[0].style, 36);
    EXPECT_EQ(boxes.Shown()[0].title, QStringLiteral("Conferma"));
    EXPECT_EQ(boxes.Shown()[1].title, QStringLiteral("fraDati"));
    EXPECT_TRUE(boxes.Unexpected().empty());
    EXPECT_EQ(boxes.PendingAnswers(), 0u);
}

TEST(ScriptedMessageBoxes, UnexpectedBoxesGetTheDefaultButton) {
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxService scope(&boxes);
    EXPECT_EQ(MsgBox(QStringLiteral("a"), 36, QStringLiteral("t")), MsgAnswer::Yes);
    EXPECT_EQ(MsgBox(QStringLiteral("b"), 35), MsgAnswer::Yes);
    EXPECT_EQ(MsgBox(QStringLiteral("c"), 48), MsgAnswer::Ok);
    EXPECT_EQ(MsgBox(QStringLiteral("d")), MsgAnswer::Ok);
    const auto unexpected = boxes.Unexpected();
    ASSERT_EQ(unexpected.size(), 4u);
    EXPECT_EQ(unexpected[0].text, QStringLiteral("a"));
    EXPECT_FALSE(unexpected[3].expected);

    boxes.Expect(MsgAnswer::No);
    EXPECT_EQ(MsgBox(QStringLiteral("e"), 36), MsgAnswer::No);
    EXPECT_EQ(boxes.Unexpected().size(), 4u);
    boxes.Clear();
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(ScriptedMessageBoxes, ScopeRestoresThePreviousService) {
    ScriptedMessageBoxes outer;
    ScriptedMessageBoxes inner;
    ScopedMessageBoxService outerScope(&outer);
    {
        ScopedMessageBoxService innerScope(&inner);
        EXPECT_EQ(CurrentMessageBoxService(), &inner);
        MsgBox(QStringLiteral("inner"));
    }
    EXPECT_EQ(CurrentMessageBoxService(), &outer);
    MsgBox(QStringLiteral("outer"));
    ASSERT_EQ(inner.Shown().size(), 1u);
    ASSERT_EQ(outer.Shown().size(), 1u);
    EXPECT_EQ(outer.Shown()[0].text, QStringLiteral("outer"));
    {
        // With no service the default button answers.
        ScopedMessageBoxService none(nullptr);
        EXPECT_EQ(MsgBox(QStringLiteral("log only"), 4), MsgAnswer::Yes);
        EXPECT_EQ(MsgBox(QStringLiteral("log only"), 0), MsgAnswer::Ok);
    }
    EXPECT_EQ(outer.Shown().size(), 1u);
}

// What the real box looked like while it was up.
struct SeenBox {
    bool found = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Shows a box through the Qt service and lets `act` answer it once it is up.
int ShowAndAct(int style, const QString& title, SeenBox& seen,
               const std::function<void(QMessageBox*)>& act) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen = {true,
                box->text(),
                box->windowTitle(),
                box->icon(),
                box->standardButtons(),
                box->standardButton(box->defaultButton())};
        act(box);
    });
    poll.start();
    QtMessageBoxService service;
    return service.Show(QStringLiteral("Testo"), style, title);
}

std::function<void(QMessageBox*)> Click(QMessageBox::StandardButton button) {
    return [button](QMessageBox* box) { box->button(button)->click(); };
}

void PressEscape(QMessageBox* box) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &escape);
}

using B = QMessageBox;

struct StyleCase {
    int style;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton click;
    int answer;
};

TEST(QtMessageBoxService, StyleGivesButtonsIconDefaultAndAnswer) {
    const StyleCase cases[] = {
        {0, B::Ok, B::NoIcon, B::Ok, B::Ok, MsgAnswer::Ok},
        {16, B::Ok, B::Critical, B::Ok, B::Ok, MsgAnswer::Ok},
        {1 + 48, B::Ok | B::Cancel, B::Warning, B::Ok, B::Cancel, MsgAnswer::Cancel},
        {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::No, MsgAnswer::No},
        {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes, B::Cancel, MsgAnswer::Cancel},
        {36, B::Yes | B::No, B::Question, B::Yes, B::Yes, MsgAnswer::Yes},
        {36 + 256, B::Yes | B::No, B::Question, B::No, B::Yes, MsgAnswer::Yes},
        {5 + 64, B::Retry | B::Cancel, B::Information, B::Retry, B::Retry, 4},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.style);
        SeenBox seen;
        const int answer = ShowAndAct(c.style, QStringLiteral("Titolo"), seen, Click(c.click));
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.text, QStringLiteral("Testo"));
        EXPECT_EQ(seen.title, QStringLiteral("Titolo"));
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST(QtMessageBoxService, EscapeAnswersCancelOrNo) {
    const std::pair<int, int> cases[] = {
        {35, MsgAnswer::Cancel}, {36, MsgAnswer::No}, {1, MsgAnswer::Cancel}, {48, MsgAnswer::Ok}};
    for (const auto& [style, expected] : cases) {
        SCOPED_TRACE(style);
        SeenBox seen;
        EXPECT_EQ(ShowAndAct(style, QStringLiteral("t"), seen, PressEscape), expected);
        EXPECT_TRUE(seen.found);
    }
}

TEST(QtMessageBoxService, EmptyTitleShowsTheApplicationName) {
    const QString saved = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Gestionale"));
    SeenBox seen;
    ShowAndAct(0, QString(), seen, Click(B::Ok));
    QGuiApplication::setApplicationDisplayName(saved);
    EXPECT_EQ(seen.title, QStringLiteral("Gestionale"));
}

} // namespace
} // namespace tessaro
