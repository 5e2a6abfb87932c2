// The key list is kept while nothing changed and read again after any commit
// by another user: in the same second as the last read, in a table that only
// the condition names, and from a transaction that began before the read.

#include "support/FormFixtures.h"

#include <QElapsedTimer>
#include <QThread>

namespace tessaro::test {
namespace {

using SegnaleCambio = SuEntrambi<>;

// Waits until the connection vouches for what it reads (on a server, once the
// second of the last change is over): two readings that agree.
bool VersioneStabile(Connection& c) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        const auto v = c.DataVersion();
        if (v && v == c.DataVersion())
            return true;
        QThread::msleep(100);
    }
    return false;
}

TEST_P(SegnaleCambio, EveryCommitIsSeenAtTheNextStepAndNothingElseRereadsTheList) {
    Clienti();
    // Bianchi 20 (Milano), Rossi 10 and Verdi 30 (Torino): active towns only.
    ASSERT_TRUE(Init("Clienti", "Cognome", nullptr, {},
                     "IdComune IN (SELECT IdComune FROM Comuni WHERE Attivo = 1)"));
    const auto other = banco->Open();
    struct Passo {
        bool assesta;            // the list read again once the version is settled
        const char* cambio;      // committed by another connection before the step
        const char* transazione; // begun before the list is read, committed after it
        std::function<void()> move;
        bool tenuto; // the step keeps the list it had
        const char* id;
        int position;
        int count;
    };
    const Passo passi[] = {
        {true, "", "", [&] { nav.MovePrevious(); }, true, "10", 2, 3},
        {true, "", "", [&] { nav.MoveNext(); }, true, "30", 3, 3},
        // In the same second as the list read just before.
        {true, "INSERT INTO Clienti (IdCliente, Cognome, IdComune) VALUES (5, 'Alfa', 1)", "",
         [&] { nav.MovePrevious(); }, false, "10", 3, 4},
        {false, "UPDATE Clienti SET Cognome = 'Zorro' WHERE IdCliente = 10", "",
         [&] { nav.MovePrevious(); }, false, "30", 3, 4},
        {false, "DELETE FROM Clienti WHERE IdCliente = 5", "", [&] { nav.MoveFirst(); }, false,
         "20", 1, 3},
        // Only the condition reads the towns.
        {true, "UPDATE Comuni SET Attivo = 0 WHERE IdComune = 2", "", [&] { nav.MoveFirst(); },
         false, "30", 1, 2},
        // The transaction starts in the second of the change before it, which
        // is also the stamp the table carries when its commit lands.
        {true, "UPDATE Clienti SET Eta = 41 WHERE IdCliente = 10",
         "UPDATE Comuni SET Attivo = 1 WHERE IdComune = 2", [&] { nav.MoveFirst(); }, false, "20",
         1, 3},
        {true, "", "", [&] { nav.MoveLast(); }, true, "10", 3, 3},
    };
    for (std::size_t i = 0; i < std::size(passi); ++i) {
        const Passo& p = passi[i];
        if (p.assesta) {
            ASSERT_TRUE(VersioneStabile(*conn)) << "step " << i << ": no usable change signal";
            nav.AggiornaArrayID();
        }
        if (*p.cambio)
            other->Execute(QLatin1String(p.cambio));
        if (*p.transazione) {
            other->BeginTrans();
            other->Execute(QLatin1String(p.transazione));
            QThread::msleep(1100);
            nav.AggiornaArrayID();
            other->CommitTrans();
        }
        const Recordset* prima = nav.TheData.get();
        p.move();
        // Kept, unless another session's transaction on the shared server
        // leaves the version unvouched just then.
        const bool tenuto = nav.TheData.get() == prima;
        EXPECT_TRUE(p.tenuto ? tenuto || !conn->DataVersion() : !tenuto) << "step " << i;
        EXPECT_EQ(Id(), p.id) << "step " << i;
        EXPECT_EQ(Position(), p.position) << "step " << i;
        EXPECT_EQ(Count(), p.count) << "step " << i;
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

INSTANTIATE_FOR_ENGINES(SegnaleCambio);

} // namespace
} // namespace tessaro::test
