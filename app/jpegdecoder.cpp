#include "app/jpegdecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace wordlark {
namespace {

// libjpeg's own error handler ends the process; this one jumps back to the decoder instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jumpBack;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jumpBack, 1);
}

void ignoreMessage(j_common_ptr) {}

} // namespace

Result<RgbPicture> decodeJpeg(QByteArrayView data)
{
    if (data.isEmpty())
        return Failure{QStringLiteral("empty picture data")};

    jpeg_decompress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = jumpOnError;
    manager.base.output_message = ignoreMessage;

    // Everything the jump may skip over lives outside this frame's automatic variables.
    RgbPicture *picture = new RgbPicture;
    if (setjmp(manager.jumpBack)) {
        jpeg_destroy_decompress(&info);
        delete picture;
        return Failure{QString::fromLocal8Bit(manager.message)};
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    // A damaged header can claim a picture far larger than any real one; refuse it before allocating.
    constexpr unsigned long kMaxPixels = 64UL * 1024 * 1024;
    if (static_cast<unsigned long>(info.image_width) * info.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        delete picture;
        return Failure{QStringLiteral("picture too large")};
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    picture->width = int(info.output_width);
    picture->height = int(info.output_height);
    const qsizetype stride = qsizetype(info.output_width) * 3;
    picture->pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(picture->pixels.data() + stride * info.output_scanline);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);

    RgbPicture result = std::move(*picture);
    delete picture;
    return result;
}

} // namespace wordlark
