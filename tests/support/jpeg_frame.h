#pragma once
// Cloud frames for the tests: small JPEG files whose width tells them apart.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace chronvale::test {

// A white JPEG `width` pixels wide and 8 high.
inline QByteArray jpeg(int width) {
    QImage image(width, 8, QImage::Format_RGB888);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

} // namespace chronvale::test
