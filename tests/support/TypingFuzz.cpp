#include "support/TypingFuzz.h"

#include "data/Values.h"
#include "editing/Salvataggio.h"
#include "host/QtHostForm.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>
#include <random>

namespace tessaro::test {

namespace {

class Generatore {
public:
    Generatore(unsigned seme, const QStringList& pezzi) : mRng(seme), mPezzi(pezzi) {}

    int Tra(int da, int a) { return std::uniform_int_distribution<int>(da, a)(mRng); }

    // A text of exactly n characters.
    QString Testo(int n) {
        QList<uint> cp;
        while (cp.size() < n)
            cp += mPezzi[Tra(0, static_cast<int>(mPezzi.size()) - 1)].toUcs4();
        cp.resize(n);
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), cp.size());
    }
    // Often the column's maximum length or one more, otherwise anything around it.
    QString PerLunghezza(int massimo) {
        const int r = Tra(0, 9);
        if (r < 3)
            return Testo(massimo);
        if (r < 4)
            return Testo(massimo + 1);
        return Testo(Tra(0, massimo + 1));
    }
    // Mostly a valid one, so that both outcomes stay frequent.
    const Candidato& Uno(const std::vector<Candidato>& elenco) {
        const bool valido = Tra(0, 3) != 0;
        for (;;) {
            const Candidato& c =
                elenco[static_cast<std::size_t>(Tra(0, static_cast<int>(elenco.size()) - 1))];
            if (c.valido == valido)
                return c;
        }
    }

private:
    std::mt19937 mRng;
    QStringList mPezzi;
};

QString Atteso(const QString& testo) {
    return testo.trimmed().isEmpty() ? QStringLiteral("<null>") : testo;
}

QString AttesoNumero(const QString& testo) {
    if (testo.trimmed().isEmpty())
        return QStringLiteral("<null>");
    return ValueToText(*NumericValue(testo));
}

} // namespace

QStringList FuzzSampleRows() {
    QStringList out;
    for (int i = 1; i <= 6; ++i)
        out << QString("INSERT INTO P VALUES (%1, 'c%1', 'medio %1', 'lungo %1', %1, %1.5)").arg(i);
    return out;
}

TypingFuzz::TypingFuzz() : TaggedForm(QStringLiteral("frmP")) {
    txtId = AddText("txtId", "#Id");
    txtCorto = AddText("txtCorto", "#Corto");
    txtMedio = AddText("txtMedio", "#Medio");
    txtLungo = AddPlain("txtLungo", "#Lungo");
    txtNumero = AddText("txtNumero", "#Numero");
    txtImporto = AddText("txtImporto", "#Importo");
}

bool TypingFuzz::Init(Connection* conn, int kind) {
    mConn = conn;
    nav.TipoDatabase = kind;
    nav.MessaggioConfermaNuovoDisabilitato = true;
    return nav.Init_Class(conn, "P", FormOf(form.get()), "Id", {}, "#", QString());
}

QStringList TypingFuzz::Rows() const {
    return RowsAsText(mConn, QStringLiteral("SELECT * FROM P ORDER BY 1"));
}

QString TypingFuzz::MessaggioAtteso(const QString& id, bool nuovo, bool interoValido,
                                    bool realeValido) const {
    const auto lungo = [](const QString& t, int max) {
        return !t.trimmed().isEmpty() && LunghezzaInCaratteri(t) > max;
    };
    if (nuovo && !id.trimmed().isEmpty() && !IsWholeNumber(id))
        return "TQ16 #Id\rTQ19";
    if (lungo(txtCorto->text(), 5))
        return "TQ16 #Corto\rTQ17 5 TQ18";
    if (lungo(txtMedio->text(), 40))
        return "TQ16 #Medio\rTQ17 40 TQ18";
    if (!interoValido)
        return "TQ16 #Numero\rTQ19";
    if (!realeValido)
        return "TQ16 #Importo\rTQ19";
    return QString();
}

void TypingFuzz::Run(ScriptedMessageBoxes& boxes, const FuzzPlan& plan) {
    Generatore g(20240305, plan.pezzi);
    int salvati = 0;
    int rifiutati = 0;
    for (int giro = 0; giro < plan.giri; ++giro) {
        SCOPED_TRACE(giro);
        const QStringList prima = Rows();
        const bool nuovo = g.Tra(0, 4) == 0;
        QString chiave;
        if (nuovo) {
            nav.Addnew();
            const int r = g.Tra(0, 3);
            chiave = r == 0   ? "k" + g.Testo(g.Tra(0, 4))
                     : r == 1 ? QString::number(1000 + giro)
                              : "";
            txtId->setText(chiave);
        } else {
            chiave = prima[g.Tra(0, static_cast<int>(prima.size()) - 1)].section('|', 0, 0);
            nav.MoveTo(chiave);
            ASSERT_EQ(txtId->text(), chiave);
            nav.Edit();
        }
        ASSERT_EQ(nav.State(), nuovo ? 5 : 6);
        const Candidato& intero = g.Uno(plan.interi);
        const Candidato& reale = g.Uno(plan.reali);
        txtCorto->setText(g.PerLunghezza(5));
        txtMedio->setText(g.PerLunghezza(40));
        txtLungo->setPlainText(g.Testo(g.Tra(0, 120)));
        txtNumero->setText(QString::fromUtf8(intero.testo));
        txtImporto->setText(QString::fromUtf8(reale.testo));
        const QString corto = txtCorto->text();
        const QString medio = txtMedio->text();
        const QString lungo = txtLungo->toPlainText();
        const QString messaggio = MessaggioAtteso(chiave, nuovo, intero.valido, reale.valido);

        if (!messaggio.isEmpty())
            boxes.Expect();
        nav.Update();
        ASSERT_TRUE(boxes.Unexpected().empty()) << boxes.Shown().back().text.toStdString();
        if (!messaggio.isEmpty()) {
            ASSERT_EQ(boxes.Shown().size(), 1u);
            EXPECT_EQ(boxes.Shown()[0].text, messaggio);
            EXPECT_EQ(Rows(), prima);
            EXPECT_EQ(nav.State(), nuovo ? 5 : 6);
            EXPECT_EQ(txtCorto->text(), corto);
            boxes.Clear();
            nav.Annulla();
            ++rifiutati;
            continue;
        }
        ++salvati;
        const QString id = txtId->text();
        const QString riga = id + "|" + Atteso(corto) + "|" + Atteso(medio) + "|" + Atteso(lungo) +
                             "|" + AttesoNumero(QString::fromUtf8(intero.testo)) + "|" +
                             AttesoNumero(QString::fromUtf8(reale.testo));
        QStringList attese = prima;
        if (nuovo) {
            if (!chiave.isEmpty()) {
                EXPECT_EQ(id, chiave.trimmed());
            }
            attese << riga;
        } else {
            EXPECT_EQ(id, chiave);
            for (QString& r : attese)
                if (r.section('|', 0, 0) == chiave)
                    r = riga;
        }
        attese.sort();
        QStringList dopo = Rows();
        dopo.sort();
        ASSERT_EQ(dopo, attese);
        // The form shows what was stored.
        EXPECT_EQ(txtCorto->text(), corto.trimmed().isEmpty() ? QString() : corto);
        EXPECT_EQ(txtLungo->toPlainText(), lungo.trimmed().isEmpty() ? QString() : lungo);
        EXPECT_TRUE(nav.State() == 3 || nav.State() == 7);
    }
    EXPECT_GT(salvati, plan.minimoPerEsito);
    EXPECT_GT(rifiutati, plan.minimoPerEsito);
}

} // namespace tessaro::test
