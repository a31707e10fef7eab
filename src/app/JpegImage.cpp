#include "app/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>

namespace skarvel {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// decoder instead of letting the library end the program.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onFatalError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(errors->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

// Everything between setjmp and longjmp is plain C data: no destructor is skipped by a jump.
bool decodeInto(const unsigned char* data, unsigned long size, QImage* image) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.output_message = ignoreMessage;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // libjpeg only warns about a cut-off or damaged picture and fills the rest with grey.
    const bool intact = errors.base.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return intact;
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return {};
    }
    QImage image;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (!decodeInto(data, static_cast<unsigned long>(bytes.size()), &image)) {
        return {};
    }
    return image;
}

} // namespace skarvel
