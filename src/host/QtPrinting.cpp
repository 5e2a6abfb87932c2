#include "host/QtPrinting.h"

#include "host/QtHostForm.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace tessaro {

namespace {

QString gPrintOutputPath;
QString gLastPrintFile;

// Draws the image at its on-screen size, shrunk to the page when larger.
bool PaintOnPage(QPaintDevice& page, const QPixmap& image, double screenDpi) {
    QPainter painter;
    if (!painter.begin(&page))
        return false;
    const QSizeF logical = image.deviceIndependentSize();
    QSizeF size(logical.width() * page.logicalDpiX() / screenDpi,
                logical.height() * page.logicalDpiY() / screenDpi);
    const QSizeF area(page.width(), page.height());
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(QPointF(0, 0), size), image, QRectF(image.rect()));
    return painter.end();
}

void PrintOnDefaultPrinter(const QPixmap& image, double screenDpi) {
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    PaintOnPage(printer, image, screenDpi);
}

QString SafeFileName(const QString& name) {
    QString out = name.isEmpty() ? QStringLiteral("Form") : name;
    for (QChar& c : out)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return out;
}

// "<name>_<yyyyMMdd_hhmmss>.pdf" in the folder, numbered when taken already.
QString TimestampedPdf(const QString& folder, const QString& formName) {
    const QString base = SafeFileName(formName) + QLatin1Char('_') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    QDir dir(folder);
    QString file = dir.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = dir.filePath(QStringLiteral("%1_%2.pdf").arg(base).arg(n));
    return file;
}

QString DocumentsFolder() {
    const QStandardPaths::StandardLocation places[] = {QStandardPaths::DocumentsLocation,
                                                       QStandardPaths::HomeLocation,
                                                       QStandardPaths::TempLocation};
    for (auto place : places) {
        const QString folder = QStandardPaths::writableLocation(place);
        if (!folder.isEmpty() && QDir().mkpath(folder))
            return folder;
    }
    return QDir::tempPath();
}

// The output path names a file, or a folder (existing, or ending in a slash).
QString PdfTarget(const QString& formName) {
    const QString path = gPrintOutputPath;
    if (path.isEmpty())
        return TimestampedPdf(DocumentsFolder(), formName);
    if (QFileInfo(path).isDir() || path.endsWith(QLatin1Char('/'))) {
        QDir().mkpath(path);
        return TimestampedPdf(path, formName);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

bool WritePdf(const QString& file, const QPixmap& image, double screenDpi) {
    QPdfWriter pdf(file);
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    const QSizeF size = image.deviceIndependentSize();
    pdf.setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    if (!PaintOnPage(pdf, image, screenDpi))
        return false;
    return QFileInfo(file).size() > 0;
}

bool HasRealDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void PrintToPdf(const QPixmap& image, double screenDpi, const QString& name) {
    const QString file = PdfTarget(name);
    if (!WritePdf(file, image, screenDpi))
        return;
    gLastPrintFile = file;
    if (HasRealDisplay())
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace

namespace qthost {

// Printing is best effort: whatever fails, the caller goes on.
void PrintWidgetImage(QWidget* widget, const QString& name) {
    try {
        const QPixmap image = widget->grab();
        if (image.isNull())
            return;
        const double screenDpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96.0;
        if (HasDefaultPrinter())
            PrintOnDefaultPrinter(image, screenDpi);
        else
            PrintToPdf(image, screenDpi, name);
    } catch (...) {
        // Printing is best effort: the form stays as it was.
    }
}

} // namespace qthost

void SetPrintOutputPath(const QString& path) {
    gPrintOutputPath = path;
}
QString PrintOutputPath() {
    return gPrintOutputPath;
}
QString LastPrintFile() {
    return gLastPrintFile;
}
bool HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

} // namespace tessaro
