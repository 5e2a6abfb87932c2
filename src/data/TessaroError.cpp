#include "data/TessaroError.h"

namespace tessaro {

TessaroError::TessaroError(int number, const QString& description, const QString& statement,
                           Refusal reason)
    : std::runtime_error(QString("%1 %2").arg(number).arg(description).toStdString()),
      mNumber(number), mDescription(description), mStatement(statement), mReason(reason) {}

void TessaroError::Raise(int number) {
    throw TessaroError(number, StandardDescription(number));
}

void TessaroError::Raise(int number, const QString& description) {
    throw TessaroError(number, description);
}

QString TessaroError::StandardDescription(int number) {
    switch (number) {
    case Err::InvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case Err::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case Err::FileNotFound:
        return QStringLiteral("File not found");
    case Err::ObjectNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case Err::NoSuchMember:
        return QStringLiteral("Object doesn't support this property or method");
    case Err::DuplicateKey:
        return QStringLiteral("This key is already associated with an element of this collection");
    case Err::NoCurrentRecord:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
    case Err::WrongArguments:
        return QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or "
                              "are in conflict with one another");
    case Err::ItemNotFound:
        return QStringLiteral("Item cannot be found in the collection corresponding to the "
                              "requested name or ordinal");
    case Err::ObjectClosed:
        return QStringLiteral("Operation is not allowed when the object is closed");
    case Err::LostConnection:
        return QStringLiteral("Unspecified error: the connection to the database is not available");
    case Err::StatementRejected:
        return QStringLiteral("The database rejected the statement");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

QString FailureText(const QString& label, const TessaroError& e) {
    return label + QString::number(e.Number()) + QLatin1Char(' ') + e.Description();
}

} // namespace tessaro
