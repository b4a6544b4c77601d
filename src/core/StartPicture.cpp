#include "core/StartPicture.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace core {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the decoder, which then gives up.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    auto *err = reinterpret_cast<ErrorManager *>(info->err);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr) {}  // warnings of damaged files are not shown

// The decoding proper; no C++ object with a destructor may live across the
// setjmp, so the image is only created once the header is known.
bool decodeInto(const QByteArray &bytes, QImage *image)
{
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.output_message = onMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    if (image->isNull() || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QImage image;
    if (!decodeInto(bytes, &image))
        return {};
    return image;
}

QImage StartPicture()
{
    QFile file(QStringLiteral(":/quillon/start.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

}  // namespace core
