#include "host/MessageBox.h"

#include <QDebug>

namespace tessaro {

namespace {
MessageBoxService* gService = nullptr;
}

void SetMessageBoxService(MessageBoxService* service) {
    gService = service;
}
MessageBoxService* CurrentMessageBoxService() {
    return gService;
}

int DefaultAnswer(int style) {
    const int buttons = style & 7;
    return (buttons == MsgStyle::YesNo || buttons == MsgStyle::YesNoCancel) ? MsgAnswer::Yes
                                                                            : MsgAnswer::Ok;
}

int MsgBox(const QString& text, int style, const QString& title) {
    if (gService)
        return gService->Show(text, style, title);
    qWarning().noquote() << "[message box]" << title << ":" << text;
    return DefaultAnswer(style);
}

int ScriptedMessageBoxes::Show(const QString& text, int style, const QString& title) {
    const bool expected = !mAnswers.empty();
    mShown.push_back({text, style, title, expected});
    if (!expected)
        return DefaultAnswer(style);
    const int answer = mAnswers.front();
    mAnswers.pop_front();
    return answer;
}

std::vector<ScriptedMessageBoxes::Box> ScriptedMessageBoxes::Unexpected() const {
    std::vector<Box> out;
    for (const auto& b : mShown)
        if (!b.expected)
            out.push_back(b);
    return out;
}

void ScriptedMessageBoxes::Clear() {
    mAnswers.clear();
    mShown.clear();
}

} // namespace tessaro
