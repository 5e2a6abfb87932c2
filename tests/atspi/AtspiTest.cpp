// What a screen reader receives over the AT-SPI bus (under the Xvfb, D-Bus and
// AT-SPI bus that scripts/test.sh starts): after a move and after a mode
// change the control's notification is named with what to say and shown,
// while the focus stays in a field of the form.

#include "control/ControlFixture.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace tessaro::test {
namespace {

constexpr uint kRuoloNotifica = 101; // ATSPI_ROLE_NOTIFICATION

class Ascoltatore : public QObject {
    Q_OBJECT

public:
    Ascoltatore()
        : mBus(QDBusConnection::connectToBus(Indirizzo(), QStringLiteral("tessaro-test-a11y"))) {
        // As libatspi registers "object:state-changed:showing" for a screen reader.
        mBus.call(QDBusMessage::createMethodCall("org.a11y.atspi.Registry",
                                                 "/org/a11y/atspi/registry",
                                                 "org.a11y.atspi.Registry", "RegisterEvent")
                  << QStringLiteral("Object:StateChanged:Showing") << QStringList() << QString());
        mBus.call(QDBusMessage::createMethodCall("org.a11y.atspi.Registry",
                                                 "/org/a11y/atspi/registry",
                                                 "org.a11y.atspi.Registry", "RegisterEvent")
                  << QStringLiteral("Window:Activate") << QStringList() << QString());
        mBus.connect(QString(), QString(), "org.a11y.atspi.Event.Object", "StateChanged", this,
                     SLOT(Evento(QDBusMessage)));
        mBus.connect(QString(), QString(), "org.a11y.atspi.Event.Window", "Activate", this,
                     SLOT(Attivata()));
    }
    bool Connesso() const { return mBus.isConnected(); }
    // The role and the name of the object shown last, asked over the bus as
    // a screen reader asks them.
    std::pair<uint, QString> Mostrato() const {
        const QDBusMessage ruolo =
            mBus.call(QDBusMessage::createMethodCall(mMittente, mPercorso,
                                                     "org.a11y.atspi.Accessible", "GetRole"),
                      QDBus::BlockWithGui);
        const QDBusMessage nome =
            mBus.call(QDBusMessage::createMethodCall(mMittente, mPercorso,
                                                     "org.freedesktop.DBus.Properties", "Get")
                          << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name"),
                      QDBus::BlockWithGui);
        return {ruolo.arguments().value(0).toUInt(),
                nome.arguments().value(0).value<QDBusVariant>().variant().toString()};
    }
    int mostrati = 0;
    // How many showings came since a window was activated last.
    int dopoAttivazione = 0;

public slots:
    void Attivata() { dopoAttivazione = 0; }
    void Evento(const QDBusMessage& m) {
        if (m.arguments().value(0).toString() == QLatin1String("showing") &&
            m.arguments().value(1).toInt() == 1) {
            ++mostrati;
            ++dopoAttivazione;
            mMittente = m.service();
            mPercorso = m.path();
        }
    }

private:
    static QString Indirizzo() {
        const QDBusMessage r = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        return r.arguments().value(0).toString();
    }
    QDBusConnection mBus;
    QString mMittente;
    QString mPercorso;
};

using Bus = ControlTest;

TEST_F(Bus, AMoveAndAModeChangeAreAnnouncedWhereverTheFocusIs) {
    // Only scripts/test.sh's run requires the bus; a run without a display has none.
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000) &&
        !qEnvironmentVariableIsSet("TESSARO_ATSPI_REQUIRED"))
        GTEST_SKIP() << "no AT-SPI bridge: run through scripts/test.sh";
    ASSERT_TRUE(QAccessible::isActive()) << "no AT-SPI bridge";
    Ascoltatore ascolto;
    ASSERT_TRUE(ascolto.Connesso());
    Clienti(10);
    ASSERT_TRUE(RegistraClienti());
    Attiva();
    QTest::qWait(300); // the bridge hears of the listener
    const struct {
        const char* tasti;
        QString detto;
    } passi[] = {{"Ctrl+Home", "Record 1 TQ30 10"}, {"F2", "Modifica del record in corso"}};
    for (const auto& passo : passi) {
        ascolto.mostrati = 0;
        QTest::keySequence(txtNome, QKeySequence(passo.tasti));
        ASSERT_TRUE(QTest::qWaitFor([&] { return ascolto.mostrati > 0; }, 5000)) << passo.tasti;
        EXPECT_EQ(ascolto.Mostrato(), std::make_pair(kRuoloNotifica, passo.detto));
        EXPECT_EQ(QApplication::focusWidget(), txtNome) << passo.tasti;
    }
    // After a real box the form is active again, and only then is the mode
    // announced: a screen reader presenting the window would drop it before.
    ctl->Annulla();
    QtMessageBoxService qt(TestoPulsanteMessaggio);
    ScopedMessageBoxService servizio(&qt);
    QTimer::singleShot(300, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    QTest::keySequence(txtNome, QKeySequence("Ctrl+N"));
    const QString modo = "Nuovo record: inserire i dati";
    ASSERT_TRUE(QTest::qWaitFor([&] { return Annuncio() == modo; }, 5000));
    QTest::qWait(300); // the event crosses the bus
    EXPECT_EQ(ascolto.Mostrato(), std::make_pair(kRuoloNotifica, modo));
    EXPECT_EQ(QApplication::activeWindow(), form.get());
    EXPECT_GT(ascolto.dopoAttivazione, 0) << "announced before the form was active again";
}

} // namespace
} // namespace tessaro::test

#include "AtspiTest.moc"
