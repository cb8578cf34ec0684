#include "remove_dialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dorvane {

namespace {

// Dialog units follow the dialog's font: a horizontal unit is a quarter of the average character
// width, a vertical unit an eighth of the character height.
QSize dialogUnitsToPixels(const QFont& font, int widthUnits, int heightUnits) {
    const QFontMetrics metrics(font);
    return {widthUnits * metrics.averageCharWidth() / 4, heightUnits * metrics.height() / 8};
}

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    // The card: a green board with gold contacts along its lower edge.
    painter.setPen(QPen(QColor(20, 70, 30), 1));
    painter.setBrush(QColor(40, 140, 70));
    painter.drawRoundedRect(QRectF(4, 10, 20, 14), 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 180, 60));
    for (int pin = 0; pin < 6; ++pin) painter.drawRect(QRectF(6 + pin * 3, 22, 1.6, 2));
    // Radio waves from its corner.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(30, 90, 200), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(14, 1, 10, 10), 0, 90 * 16);
    painter.drawArc(QRectF(11, -2, 16, 16), 0, 90 * 16);
    // A red arrow leading out: the device is being removed.
    QPainterPath arrow;
    arrow.moveTo(22, 17);
    arrow.lineTo(29, 17);
    arrow.lineTo(29, 14);
    arrow.lineTo(32, 19);
    arrow.lineTo(29, 24);
    arrow.lineTo(29, 21);
    arrow.lineTo(22, 21);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(120, 10, 10), 0.8));
    painter.setBrush(QColor(210, 40, 40));
    painter.drawPath(arrow);
    return pixmap;
}

}  // namespace

QIcon removeDeviceIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(drawIcon(size));
    return icon;
}

RemoveDialog::RemoveDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint) {
    setProperty("dialogId", kRemoveDialogId);
    setWindowIcon(removeDeviceIcon());
    setFixedSize(dialogUnitsToPixels(font(), 320, 63));

    auto* text = new QLabel(QStringLiteral("Remove WLAN Device"), this);
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(text);
}

}  // namespace dorvane
