#include "ControlFixture.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>

namespace tessaro::test {
namespace {

// Renders the control over a real source to a PNG that a person can look at:
// /tmp/tessaro-control.png (and an @2x rendering beside it), or the path in
// TESSARO_SCREENSHOT.
class ScreenshotTest : public ControlTest {};

QString Percorso() {
    const QString scelto = qEnvironmentVariable("TESSARO_SCREENSHOT");
    return scelto.isEmpty() ? QDir::tempPath() + "/tessaro-control.png" : scelto;
}

TEST_F(ScreenshotTest, RendersTheControlToAPng) {
    Clienti(12);
    ASSERT_TRUE(RegistraClienti());
    ctl->MoveTo("5");
    form->show();
    txtNome->setFocus();
    QCoreApplication::processEvents();

    const QPixmap normale = ctl->grab();
    ASSERT_EQ(normale.deviceIndependentSize().toSize(), QSize(473, 27));
    const QString percorso = Percorso();
    ASSERT_TRUE(normale.save(percorso, "PNG")) << percorso.toStdString();

    // Twice the pixel density, as on a high-DPI screen.
    QPixmap doppio(ctl->size() * 2);
    doppio.setDevicePixelRatio(2.0);
    doppio.fill(Qt::white);
    ctl->render(&doppio);
    QString percorso2x = percorso;
    percorso2x.replace(QRegularExpression("\\.png$"), "@2x.png");
    ASSERT_TRUE(doppio.save(percorso2x, "PNG"));

    const QImage letta(percorso);
    ASSERT_FALSE(letta.isNull());
    // The box shows the counter and the icons are drawn: the strip is not blank.
    EXPECT_EQ(Box(), "5 TQ30 12");
    QSet<QRgb> colori;
    for (int x = 0; x < letta.width(); ++x)
        colori.insert(letta.pixel(x, letta.height() / 2));
    EXPECT_GT(colori.size(), 10);
}

} // namespace
} // namespace tessaro::test
