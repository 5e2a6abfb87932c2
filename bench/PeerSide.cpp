#include "BenchData.h"
#include "BenchSides.h"

#include <QDataWidgetMapper>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlTableModel>
#include <QWidget>
#include <vector>

namespace bench {

namespace {

const QString kConnectionName = QStringLiteral("bench-peer");

class PeerSide : public Side {
public:
    explicit PeerSide(const Config& c)
        : mDb(OpenQtConnection(c.connectionString, kConnectionName)) {
        for (const QString& column : FormColumns()) {
            auto* e = new QLineEdit(&mForm);
            e->setObjectName(QStringLiteral("txt") + column);
            mEdits.push_back(e);
        }
    }
    ~PeerSide() override {
        Close();
        mDb.close();
        mDb = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnectionName);
    }

    void Open() override {
        mModel = std::make_unique<QSqlTableModel>(nullptr, mDb);
        // QPSQL looks the table up by the name as stored: in lower case.
        mModel->setTable(mDb.driverName() == QLatin1String("QPSQL") ? kTable.toLower() : kTable);
        mModel->setEditStrategy(QSqlTableModel::OnManualSubmit);
        mModel->setSort(mModel->fieldIndex(kSort), Qt::AscendingOrder);
        if (!mModel->select())
            Abort(QStringLiteral("peer select: ") + mModel->lastError().text());
        // The mapper can only reach the last record once every row is fetched.
        while (mModel->canFetchMore())
            mModel->fetchMore();
        mMapper = std::make_unique<QDataWidgetMapper>();
        mMapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
        mMapper->setModel(mModel.get());
        const QStringList columns = FormColumns();
        for (int i = 0; i < columns.size(); ++i)
            mMapper->addMapping(mEdits[static_cast<std::size_t>(i)],
                                mModel->fieldIndex(columns[i]));
        mMapper->toLast();
    }
    void Close() override {
        mMapper.reset();
        mModel.reset();
    }
    void Next() override { mMapper->toNext(); }
    void Previous() override { mMapper->toPrevious(); }
    void MoveTo(qint64 key) override {
        // The model has no index by key: match() scans the column.
        const auto hits = mModel->match(mModel->index(0, mModel->fieldIndex(kKey)), Qt::EditRole,
                                        QVariant(key), 1, Qt::MatchExactly);
        if (hits.isEmpty())
            Abort(QStringLiteral("peer: key %1 not found").arg(key));
        mMapper->setCurrentIndex(hits.front().row());
    }
    void Move(qint64 position) override {
        mMapper->setCurrentIndex(static_cast<int>(position - 1));
    }
    qint64 ShownKey() const override { return mEdits.front()->text().toLongLong(); }
    qint64 Position() const override { return mMapper->currentIndex() + 1; }
    qint64 Count() const override { return mModel->rowCount(); }

private:
    QSqlDatabase mDb;
    QWidget mForm;
    std::vector<QLineEdit*> mEdits;
    std::unique_ptr<QSqlTableModel> mModel;
    std::unique_ptr<QDataWidgetMapper> mMapper;
};

} // namespace

std::unique_ptr<Side> MakePeer(const Config& c) {
    return std::make_unique<PeerSide>(c);
}

} // namespace bench
