#include "platform/linux/JpegImageCoding.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>

namespace pellucine {

namespace {

// libjpeg reports errors through a callback that must not return; it jumps back to the call
// that started the work. The functions that set the jump point hold only plain data, so no
// destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
// A warning means damaged data (a stream cut short, a corrupt segment): the copy is refused
// rather than read in part. Trace messages are ignored.
void jumpOnWarning(j_common_ptr info, int level) {
    if (level < 0) {
        jumpOnError(info);
    }
}
void ignoreOutput(j_common_ptr) {}

void installErrorManager(ErrorManager& error) {
    jpeg_std_error(&error.base);
    error.base.error_exit = jumpOnError;
    error.base.emit_message = jumpOnWarning;
    error.base.output_message = ignoreOutput;
}

// The byte order of QImage::Format_RGB32 in memory.
constexpr J_COLOR_SPACE rgb32ColorSpace =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

struct RawPixels {
    const unsigned char* pixels = nullptr;
    std::size_t bytesPerLine = 0;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
};

struct Compressed {
    // Allocated by libjpeg with malloc; the caller frees it, also after a failure.
    unsigned char* data = nullptr;
    unsigned long size = 0;
};

bool compress(const RawPixels& in, int quality, Compressed* out) {
    jpeg_compress_struct info{};
    ErrorManager error{};
    installErrorManager(error);
    info.err = &error.base;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out->data, &out->size);
    info.image_width = in.width;
    info.image_height = in.height;
    info.input_components = 4;
    info.in_color_space = rgb32ColorSpace;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(in.pixels + info.next_scanline * in.bytesPerLine);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

struct Decoded {
    // Allocated with malloc, 4 bytes a pixel, rows packed; owned by the caller on success.
    unsigned char* pixels = nullptr;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
};

bool decompress(const unsigned char* data, unsigned long size, Decoded* out) {
    jpeg_decompress_struct info{};
    ErrorManager error{};
    installErrorManager(error);
    info.err = &error.base;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width == 0 ||
        info.image_height == 0 || info.image_width > JpegImageCoding::maximumSide ||
        info.image_height > JpegImageCoding::maximumSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = rgb32ColorSpace;
    jpeg_start_decompress(&info);
    const std::size_t bytesPerLine = std::size_t{info.output_width} * 4;
    out->width = info.output_width;
    out->height = info.output_height;
    out->pixels = static_cast<unsigned char*>(std::malloc(bytesPerLine * info.output_height));
    if (out->pixels == nullptr || info.output_components != 4) {
        jpeg_destroy_decompress(&info);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->pixels + info.output_scanline * bytesPerLine;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::optional<QByteArray> JpegImageCoding::encodeJpeg(const QImage& image, double quality) const {
    if (image.isNull() || !std::isfinite(quality) || image.width() > maximumSide ||
        image.height() > maximumSide) {
        return std::nullopt;
    }
    // Transparent parts come out as if over black.
    const QImage opaque = image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_RGB32);
    const RawPixels in{opaque.constBits(), static_cast<std::size_t>(opaque.bytesPerLine()),
                       static_cast<JDIMENSION>(opaque.width()),
                       static_cast<JDIMENSION>(opaque.height())};
    const int percent = static_cast<int>(std::lround(std::clamp(quality, 0.0, 1.0) * 100));
    Compressed out;
    const bool done = compress(in, percent, &out);
    std::optional<QByteArray> result;
    if (done) {
        result =
            QByteArray(reinterpret_cast<const char*>(out.data), static_cast<qsizetype>(out.size));
    }
    std::free(out.data);
    return result;
}

std::optional<QImage> JpegImageCoding::decodeJpeg(const QByteArray& data) const {
    if (data.isEmpty()) {
        return std::nullopt;
    }
    Decoded out;
    if (!decompress(reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size()), &out)) {
        return std::nullopt;
    }
    // The picture takes the buffer over and frees it when its last copy goes.
    return QImage(
        out.pixels, static_cast<int>(out.width), static_cast<int>(out.height),
        static_cast<qsizetype>(out.width) * 4, QImage::Format_RGB32,
        [](void* pixels) { std::free(pixels); }, out.pixels);
}

}  // namespace pellucine
