#include "PageSetup.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>

namespace quire::textimport {

LayoutUnits LayoutUnits::forDevice(QPaintDevice* device)
{
    constexpr double probe = 100;
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(device);
    doc.setDocumentMargin(probe);
    doc.setPlainText(QStringLiteral("x"));
    doc.setTextWidth(1000);
    const double x = doc.documentLayout()->blockBoundingRect(doc.begin()).x();
    doc.documentLayout()->setPaintDevice(nullptr);
    return LayoutUnits(x > 0 ? x / probe : 1.0);
}

LayoutUnits LayoutUnits::forPrinting()
{
    QImage device(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(72 / 0.0254);
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    return forDevice(&device);
}

} // namespace quire::textimport
