#pragma once
// The start picture of the login window, a JPEG decoded with libjpeg.

#include <QByteArray>
#include <QImage>

namespace core {

// Decodes JPEG bytes into an RGB image; a null image when the bytes are not
// a JPEG that libjpeg can read (never a crash, whatever the bytes).
QImage DecodeJpeg(const QByteArray &bytes);

// The picture shipped with the program (resources/start.jpg, built in).
QImage StartPicture();

}  // namespace core
