#pragma once

#include <QString>
#include <deque>
#include <vector>

namespace tessaro {

// Style numbers: a button set plus an icon.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
} // namespace MsgStyle

namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgAnswer

// The one way any part of the system shows a message box.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(const QString& text, int style, const QString& title) = 0;
};

// Installs the service used by MsgBox (not owned). With none installed, boxes
// are written to the log and answered with the default button.
void SetMessageBoxService(MessageBoxService* service);
MessageBoxService* CurrentMessageBoxService();

int MsgBox(const QString& text, int style = MsgStyle::OkOnly, const QString& title = QString());

// Default answer of a style when nobody can be asked: OK, or Yes.
int DefaultAnswer(int style);

// Records every box and answers from a queue. A box shown while the queue is
// empty is recorded as unexpected and answered with the default button.
class ScriptedMessageBoxes : public MessageBoxService {
public:
    struct Box {
        QString text;
        int style = 0;
        QString title;
        bool expected = true;
    };

    // Queue the answer for the next box.
    void Expect(int answer = MsgAnswer::Ok) { mAnswers.push_back(answer); }

    int Show(const QString& text, int style, const QString& title) override;

    const std::vector<Box>& Shown() const { return mShown; }
    std::vector<Box> Unexpected() const;
    std::size_t PendingAnswers() const { return mAnswers.size(); }
    void Clear();

private:
    std::deque<int> mAnswers;
    std::vector<Box> mShown;
};

// Installs a service for the lifetime of a scope and restores the previous one.
class ScopedMessageBoxService {
public:
    explicit ScopedMessageBoxService(MessageBoxService* service)
        : mPrevious(CurrentMessageBoxService()) {
        SetMessageBoxService(service);
    }
    ~ScopedMessageBoxService() { SetMessageBoxService(mPrevious); }
    ScopedMessageBoxService(const ScopedMessageBoxService&) = delete;
    ScopedMessageBoxService& operator=(const ScopedMessageBoxService&) = delete;

private:
    MessageBoxService* mPrevious;
};

} // namespace tessaro
