#pragma once

#include <QByteArray>
#include <QImage>

namespace skarvel {

// Decodes JPEG bytes with libjpeg into an RGB image. Bytes that are not a complete JPEG
// picture give a null image.
QImage decodeJpeg(const QByteArray& bytes);

} // namespace skarvel
