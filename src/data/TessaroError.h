#pragma once

#include <QString>
#include <stdexcept>

namespace tessaro {

// Failure numbers the design relies on.
namespace Err {
constexpr int InvalidCall = 5;
constexpr int SubscriptOutOfRange = 9;
constexpr int FileNotFound = 53;
constexpr int ObjectNotSet = 91;
constexpr int NoSuchMember = 438;
constexpr int DuplicateKey = 457;
constexpr int WrongArguments = 3001; // arguments of the wrong type or conflicting
constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;             // no field of that name or position
constexpr int ObjectClosed = 3704;             // operation on a closed recordset
constexpr int LostConnection = -2147467259;    // 0x80004005
constexpr int StatementRejected = -2147217900; // 0x80040E14
// 0x80040E31: another user's lock outlasted the busy wait; trying again may work.
constexpr int Timeout = -2147217871;
} // namespace Err

// Why the database refused a statement, where the user can be told in plain
// words: a value another row holds already (a key, a unique column), a
// reference to or from another table's row, a value the column would not store
// exactly as given.
enum class Refusal { Other, Duplicate, Reference, NotStored };

// A failure with a number and a description, caught and reported where the
// operation that meets it says so. A failure of a statement also keeps the
// statement, for the log; the description stays the database's own message.
class TessaroError : public std::runtime_error {
public:
    TessaroError(int number, const QString& description, const QString& statement = QString(),
                 Refusal reason = Refusal::Other);

    int Number() const { return mNumber; }
    const QString& Description() const { return mDescription; }
    // The statement that failed; empty when the failure came from no statement.
    const QString& Statement() const { return mStatement; }
    // What kind of refusal a StatementRejected is, as far as the provider tells.
    Refusal Reason() const { return mReason; }

    // Raise one of the named failures with its standard description.
    [[noreturn]] static void Raise(int number);
    [[noreturn]] static void Raise(int number, const QString& description);
    static QString StandardDescription(int number);

private:
    int mNumber;
    QString mDescription;
    QString mStatement;
    Refusal mReason;
};

// "label" + number + " " + description: the layout of every unexpected-failure box.
QString FailureText(const QString& label, const TessaroError& e);

} // namespace tessaro
