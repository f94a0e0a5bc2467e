#include "JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

// Progressive files can hold any number of scans; a real one has a dozen or so.
constexpr int kMaxJpegScans = 256;

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// decoder, which then cleans up.
struct JpegState
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    std::unique_ptr<unsigned char[]> cmykRow;
    QImage image;
};

[[noreturn]] void jpegFail(j_common_ptr info)
{
    auto *state = reinterpret_cast<JpegState *>(info->client_data);
    std::longjmp(state->jump, 1);
}

// Corrupt data yields warnings and grey blocks; the picture is still worth showing, and a
// monitor has no console to print them on.
void jpegMessage(j_common_ptr, int) {}

void jpegProgress(j_common_ptr info)
{
    auto *decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxJpegScans)
        jpegFail(info);
}

// Inverted CMYK as Adobe writes it (every JPEG writer in practice), or plain CMYK without the
// Adobe marker.
void cmykToRgb32(const unsigned char *cmyk, QRgb *out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

int scaleDenominator(const jpeg_decompress_struct &info, QSize atLeast)
{
    if (atLeast.isEmpty())
        return 1;
    for (int denom : {8, 4, 2}) {
        const qint64 w = (qint64(info.image_width) + denom - 1) / denom;
        const qint64 h = (qint64(info.image_height) + denom - 1) / denom;
        if (w >= atLeast.width() && h >= atLeast.height())
            return denom;
    }
    return 1;
}

bool decodeInto(JpegState &state, const QByteArray &bytes, QSize atLeast, qint64 maxPixels)
{
    jpeg_decompress_struct &info = state.info;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        info.out_color_space = JCS_CMYK;
    else if (info.num_components == 1 || info.num_components == 3)
        info.out_color_space = JCS_EXT_BGRX; // the byte order of QImage::Format_RGB32 here
    else
        return false;
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned int>(scaleDenominator(info, atLeast));
    jpeg_calc_output_dimensions(&info);
    const qint64 width = info.output_width;
    const qint64 height = info.output_height;
    if (width <= 0 || height <= 0 || width * height > maxPixels)
        return false;

    state.image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (state.image.isNull())
        return false;
    if (cmyk)
        state.cmykRow.reset(new unsigned char[static_cast<size_t>(width) * 4]);

    jpeg_start_decompress(&info);
    if (info.output_components != 4)
        return false;
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = cmyk ? state.cmykRow.get() : state.image.scanLine(y);
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return false;
        if (cmyk)
            cmykToRgb32(state.cmykRow.get(), reinterpret_cast<QRgb *>(state.image.scanLine(y)),
                        static_cast<int>(width), info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &bytes, QSize atLeast, qint64 maxPixels)
{
    if (bytes.isEmpty())
        return {};
    // Everything the decoder changes lives behind this pointer, so nothing the jump returns to
    // is an automatic variable changed after setjmp.
    auto state = std::make_unique<JpegState>();
    state->info.err = jpeg_std_error(&state->error);
    state->error.error_exit = jpegFail;
    state->error.emit_message = jpegMessage;
    state->info.client_data = state.get();
    state->progress.progress_monitor = jpegProgress;

    if (setjmp(state->jump) != 0) {
        jpeg_destroy_decompress(&state->info);
        return {};
    }
    jpeg_create_decompress(&state->info);
    state->info.progress = &state->progress;
    const bool ok = decodeInto(*state, bytes, atLeast, maxPixels);
    jpeg_destroy_decompress(&state->info);
    return ok ? std::move(state->image) : QImage();
}
