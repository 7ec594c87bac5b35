// PNG and JPEG through libpng and libjpeg-turbo, to and from memory and files.
//
// Both libraries report errors by longjmp. Each codec call therefore keeps everything it owns in a
// context object created by the caller's frame, and does the library work in one function whose
// only locals are trivially destructible; a longjmp lands back in that function, which returns
// false, and the caller's frame then releases the context normally. Results are built in the
// context and moved to the caller's output only after the library reported success.
//
// Sections: image object and errors · memory output · PNG · JPEG · files · exporter's encoder.

#include "platform/ImageCodec.h"

#include "engine/storage/ImageEncoder.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>

#include <jpeglib.h>
#include <jerror.h>

namespace vek {

// ---- image object and errors -----------------------------------------------------------------

namespace {

const char* g_error = "";

bool Fail(const char* reason) {
    g_error = reason;
    return false;
}

// Bytes of a width × height × channels image, or 0 when the size is outside the limits.
size_t CheckedImageBytes(uint64_t width, uint64_t height, uint64_t channels) {
    if (width == 0 || height == 0 || width > uint64_t(kMaxImageSide) || height > uint64_t(kMaxImageSide))
        return 0;
    if (width * height > kMaxImagePixels) return 0;
    return size_t(width * height * channels);
}

bool ValidChannels(int c) {
    return c == 1 || c == 3 || c == 4;
}

bool ValidView(const ImageView& v) {
    if (!v.pixels || !ValidChannels(v.channels)) return false;
    if (CheckedImageBytes(uint64_t(v.width > 0 ? v.width : 0), uint64_t(v.height > 0 ? v.height : 0),
                          uint64_t(v.channels)) == 0)
        return false;
    return v.stride == 0 || v.stride >= size_t(v.width) * size_t(v.channels);
}

size_t StrideOf(const ImageView& v) {
    return v.stride ? v.stride : size_t(v.width) * size_t(v.channels);
}

} // namespace

const char* ImageCodecError() {
    return g_error;
}

bool Image8::Create(int width, int height, int channels) {
    if (!ValidChannels(channels) || width <= 0 || height <= 0) return Fail("bad image size");
    const size_t bytes = CheckedImageBytes(uint64_t(width), uint64_t(height), uint64_t(channels));
    if (bytes == 0) return Fail("image too large");
    MemBlock block;
    if (!block.AllocZeroed(bytes)) return Fail("out of memory");
    block_ = std::move(block);
    width_ = width;
    height_ = height;
    channels_ = channels;
    gamma = 0;
    return true;
}

void Image8::Reset() {
    block_.Free();
    width_ = height_ = channels_ = 0;
    gamma = 0;
}

ImageView Image8::View() const {
    ImageView v;
    v.pixels = Pixels();
    v.width = width_;
    v.height = height_;
    v.channels = channels_;
    v.stride = Stride();
    v.gamma = gamma;
    return v;
}

// ---- memory output ---------------------------------------------------------------------------

namespace {

// A growing output buffer; `used` bytes of `block` are the file so far.
struct OutBuffer {
    MemBlock block;
    size_t used = 0;

    // Makes room for `more` bytes; false when the allocation fails.
    bool Reserve(size_t more) {
        if (more <= block.Size() - used) return true;
        size_t want = block.Size() ? block.Size() : 65536;
        while (want - used < more) {
            if (want > (size_t(1) << 40)) return false;
            want *= 2;
        }
        return block.Resize(want);
    }
    // Trims the block to the used bytes and hands it over.
    bool Publish(MemBlock& out) {
        if (!block.Resize(used ? used : 1)) return false;
        out = std::move(block);
        return true;
    }
};

// ---- PNG -------------------------------------------------------------------------------------

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

struct PngContext {
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool writing = false;
    const char* reason = "PNG error";
    // reading
    PngSource source{};
    int wantChannels = 0;
    Image8 image;
    MemBlock rows;
    // writing
    const ImageView* view = nullptr;
    OutBuffer out;

    ~PngContext() {
        if (!png) return;
        if (writing)
            png_destroy_write_struct(&png, info ? &info : nullptr);
        else
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

// The library's message may live in a buffer that goes away with the codec object.
char g_libraryMessage[JMSG_LENGTH_MAX];

const char* KeepMessage(const char* text) {
    std::snprintf(g_libraryMessage, sizeof g_libraryMessage, "%s", text ? text : "codec error");
    return g_libraryMessage;
}

void PngError(png_structp png, png_const_charp message) {
    auto* c = static_cast<PngContext*>(png_get_error_ptr(png));
    if (c->reason == nullptr) c->reason = KeepMessage(message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep dst, size_t n) {
    auto* c = static_cast<PngContext*>(png_get_io_ptr(png));
    if (n > c->source.size - c->source.pos) {
        c->reason = "PNG data truncated";
        png_error(png, "truncated");
    }
    std::memcpy(dst, c->source.data + c->source.pos, n);
    c->source.pos += n;
}

void PngWrite(png_structp png, png_bytep src, size_t n) {
    auto* c = static_cast<PngContext*>(png_get_io_ptr(png));
    if (!c->out.Reserve(n)) {
        c->reason = "out of memory";
        png_error(png, "no memory");
    }
    std::memcpy(c->out.block.As<uint8_t>() + c->out.used, src, n);
    c->out.used += n;
}

void PngFlush(png_structp) {}

// Only trivially destructible locals below setjmp: see the file comment.
bool PngDecodeBody(PngContext* c) {
    if (setjmp(png_jmpbuf(c->png))) return false;
    png_structp png = c->png;
    png_infop info = c->info;
    png_set_read_fn(png, c, PngRead);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);

    png_uint_32 w = 0, h = 0;
    int depth = 0, type = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &type, &interlace, nullptr, nullptr);
    const bool hasAlpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    const bool isGrey = !(type & PNG_COLOR_MASK_COLOR);
    const int channels = c->wantChannels ? c->wantChannels : (hasAlpha ? 4 : 3);
    if (CheckedImageBytes(w, h, uint64_t(channels)) == 0) {
        c->reason = "image too large";
        return false;
    }

    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (isGrey && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_scale_16(png);
    if (channels == 1) {
        if (!isGrey) png_set_rgb_to_gray_fixed(png, 1, -1, -1);
        if (hasAlpha) png_set_strip_alpha(png);
    } else {
        if (isGrey) png_set_gray_to_rgb(png);
        if (channels == 3 && hasAlpha) png_set_strip_alpha(png);
        if (channels == 4 && !hasAlpha) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(w) * size_t(channels) || png_get_bit_depth(png, info) != 8) {
        c->reason = "unsupported PNG layout";
        return false;
    }

    png_fixed_point g = 0;
    double gamma = 0;
    if (png_get_gAMA_fixed(png, info, &g) && g > 0) gamma = 100000.0 / double(g);

    if (!c->image.Create(int(w), int(h), channels) || !c->rows.Alloc(sizeof(png_bytep) * h)) {
        c->reason = "out of memory";
        return false;
    }
    png_bytepp rows = c->rows.As<png_bytep>();
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = c->image.Row(int(y));
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    c->image.gamma = gamma;
    return true;
}

bool PngEncodeBody(PngContext* c) {
    if (setjmp(png_jmpbuf(c->png))) return false;
    png_structp png = c->png;
    png_infop info = c->info;
    const ImageView& v = *c->view;
    png_set_write_fn(png, c, PngWrite, PngFlush);
    const int type = v.channels == 1   ? PNG_COLOR_TYPE_GRAY
                     : v.channels == 3 ? PNG_COLOR_TYPE_RGB
                                       : PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, png_uint_32(v.width), png_uint_32(v.height), 8, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (v.gamma > 0 && std::isfinite(v.gamma)) {
        const double stored = std::floor(100000.0 / v.gamma + 0.5);
        if (stored >= 1 && stored <= 2147483647.0) png_set_gAMA_fixed(png, info, png_fixed_point(stored));
    }
    png_write_info(png, info);
    const size_t stride = StrideOf(v);
    for (int y = 0; y < v.height; ++y)
        png_write_row(png, v.pixels + size_t(y) * stride);
    png_write_end(png, info);
    return true;
}

// ---- JPEG ------------------------------------------------------------------------------------

struct JpegError {
    jpeg_error_mgr pub;
    jmp_buf jump;
    const char* reason;
};

// The library's own working memory for one decode: no more than the largest image a decoder may
// produce. Progressive files keep every coefficient (2 bytes per sample) until the last scan, so a
// header of a hundred bytes could otherwise claim gigabytes before any scan data is read; beyond
// the limit the library asks for a backing store, which this build refuses.
constexpr long kMaxJpegWorkBytes = long(kMaxImagePixels * 4);

void JpegErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JpegError*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (e->reason == nullptr && (code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY))
        e->reason = "JPEG needs too much memory";
    if (e->reason == nullptr) {
        char text[JMSG_LENGTH_MAX];
        cinfo->err->format_message(cinfo, text);
        e->reason = KeepMessage(text);
    }
    longjmp(e->jump, 1);
}

void JpegSilent(j_common_ptr) {}

// Both directions: library errors end in JpegErrorExit with a reason, warnings stay silent.
jpeg_error_mgr* InitJpegErrors(JpegError& e) {
    jpeg_std_error(&e.pub);
    e.pub.error_exit = JpegErrorExit;
    e.pub.output_message = JpegSilent;
    e.reason = nullptr;
    return &e.pub;
}

// Progressive files can ask for a huge number of scans over the same pixels; stop them.
constexpr long kMaxJpegScans = 1000;

void JpegProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxJpegScans) {
            reinterpret_cast<JpegError*>(cinfo->err)->reason = "too many JPEG scans";
            cinfo->err->error_exit(cinfo);
        }
    }
}

void JpegSourceInit(j_decompress_ptr) {}

// The whole file is in memory, so asking for more means the file ends early.
boolean JpegSourceFill(j_decompress_ptr cinfo) {
    reinterpret_cast<JpegError*>(cinfo->err)->reason = "JPEG data truncated";
    cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    return FALSE;
}

void JpegSourceSkip(j_decompress_ptr cinfo, long n) {
    if (n <= 0) return;
    if (size_t(n) > cinfo->src->bytes_in_buffer) JpegSourceFill(cinfo);
    cinfo->src->next_input_byte += n;
    cinfo->src->bytes_in_buffer -= size_t(n);
}

void JpegSourceTerm(j_decompress_ptr) {}

struct JpegDecodeContext {
    jpeg_decompress_struct cinfo;
    JpegError err;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
    bool created = false;
    int wantChannels = 0;
    Image8 image;
    MemBlock cmykRow;

    ~JpegDecodeContext() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
};

bool JpegDecodeBody(JpegDecodeContext* c, const void* data, size_t size) {
    jpeg_decompress_struct* d = &c->cinfo;
    d->err = InitJpegErrors(c->err);
    if (setjmp(c->err.jump)) return false;
    jpeg_create_decompress(d);
    c->created = true;
    d->mem->max_memory_to_use = kMaxJpegWorkBytes;
    c->source.next_input_byte = static_cast<const JOCTET*>(data);
    c->source.bytes_in_buffer = size;
    c->source.init_source = JpegSourceInit;
    c->source.fill_input_buffer = JpegSourceFill;
    c->source.skip_input_data = JpegSourceSkip;
    c->source.resync_to_restart = jpeg_resync_to_restart;
    c->source.term_source = JpegSourceTerm;
    d->src = &c->source;
    c->progress.progress_monitor = JpegProgress;
    d->progress = &c->progress;

    jpeg_read_header(d, TRUE);
    const int channels = c->wantChannels ? c->wantChannels : 3;
    if (CheckedImageBytes(d->image_width, d->image_height, uint64_t(channels)) == 0) {
        c->err.reason = "image too large";
        return false;
    }
    const bool cmyk = d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK;
    if (cmyk)
        d->out_color_space = JCS_CMYK;
    else
        d->out_color_space = channels == 1 ? JCS_GRAYSCALE : channels == 3 ? JCS_RGB : JCS_EXT_RGBA;
    jpeg_start_decompress(d);
    if (d->output_width != d->image_width || d->output_height != d->image_height ||
        d->output_components != (cmyk ? 4 : channels)) {
        c->err.reason = "unsupported JPEG layout";
        return false;
    }
    if (!c->image.Create(int(d->output_width), int(d->output_height), channels) ||
        (cmyk && !c->cmykRow.Alloc(size_t(d->output_width) * 4))) {
        c->err.reason = "out of memory";
        return false;
    }
    // Adobe files store CMYK inverted (0 = full ink).
    const bool inverted = d->saw_Adobe_marker;
    while (d->output_scanline < d->output_height) {
        const int y = int(d->output_scanline);
        JSAMPROW row = cmyk ? c->cmykRow.As<JSAMPLE>() : c->image.Row(y);
        if (jpeg_read_scanlines(d, &row, 1) != 1) {
            c->err.reason = "JPEG data truncated";
            return false;
        }
        if (!cmyk) continue;
        uint8_t* dst = c->image.Row(y);
        for (JDIMENSION x = 0; x < d->output_width; ++x) {
            unsigned k = row[4 * x + 3];
            unsigned rgb[3];
            for (int i = 0; i < 3; ++i) {
                unsigned v = row[4 * x + i];
                rgb[i] = inverted ? (v * k + 127) / 255 : ((255 - v) * (255 - k) + 127) / 255;
            }
            if (channels == 1) {
                dst[x] = uint8_t((rgb[0] * 299 + rgb[1] * 587 + rgb[2] * 114 + 500) / 1000);
            } else {
                uint8_t* p = dst + size_t(x) * size_t(channels);
                p[0] = uint8_t(rgb[0]), p[1] = uint8_t(rgb[1]), p[2] = uint8_t(rgb[2]);
                if (channels == 4) p[3] = 255;
            }
        }
    }
    jpeg_finish_decompress(d);
    return true;
}

struct JpegEncodeContext {
    jpeg_compress_struct cinfo;
    JpegError err;
    jpeg_destination_mgr dest;
    bool created = false;
    OutBuffer out;
    MemBlock greyRow;

    ~JpegEncodeContext() {
        if (created) jpeg_destroy_compress(&cinfo);
    }
};

JpegEncodeContext* EncodeContextOf(j_compress_ptr cinfo) {
    return static_cast<JpegEncodeContext*>(cinfo->client_data);
}

void JpegDestInit(j_compress_ptr cinfo) {
    JpegEncodeContext* c = EncodeContextOf(cinfo);
    if (!c->out.Reserve(65536)) {
        c->err.reason = "out of memory";
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    cinfo->dest->next_output_byte = c->out.block.As<JOCTET>() + c->out.used;
    cinfo->dest->free_in_buffer = c->out.block.Size() - c->out.used;
}

// Called when the whole free space has been filled.
boolean JpegDestEmpty(j_compress_ptr cinfo) {
    JpegEncodeContext* c = EncodeContextOf(cinfo);
    c->out.used = c->out.block.Size();
    if (!c->out.Reserve(c->out.block.Size())) {
        c->err.reason = "out of memory";
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    cinfo->dest->next_output_byte = c->out.block.As<JOCTET>() + c->out.used;
    cinfo->dest->free_in_buffer = c->out.block.Size() - c->out.used;
    return TRUE;
}

void JpegDestTerm(j_compress_ptr cinfo) {
    JpegEncodeContext* c = EncodeContextOf(cinfo);
    c->out.used = c->out.block.Size() - cinfo->dest->free_in_buffer;
}

bool JpegEncodeBody(JpegEncodeContext* c, const ImageView& v, int quality) {
    jpeg_compress_struct* e = &c->cinfo;
    e->err = InitJpegErrors(c->err);
    if (setjmp(c->err.jump)) return false;
    jpeg_create_compress(e);
    c->created = true;
    e->client_data = c;
    c->dest.init_destination = JpegDestInit;
    c->dest.empty_output_buffer = JpegDestEmpty;
    c->dest.term_destination = JpegDestTerm;
    e->dest = &c->dest;
    e->image_width = JDIMENSION(v.width);
    e->image_height = JDIMENSION(v.height);
    e->input_components = v.channels;
    e->in_color_space = v.channels == 1 ? JCS_GRAYSCALE : v.channels == 3 ? JCS_RGB : JCS_EXT_RGBX;
    jpeg_set_defaults(e);
    if (quality > 0) jpeg_set_quality(e, quality > 100 ? 100 : quality, TRUE);
    jpeg_start_compress(e, TRUE);
    const size_t stride = StrideOf(v);
    while (e->next_scanline < e->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(v.pixels + size_t(e->next_scanline) * stride);
        jpeg_write_scanlines(e, &row, 1);
    }
    jpeg_finish_compress(e);
    return true;
}

} // namespace

bool EncodePng(const ImageView& image, MemBlock& out) {
    if (!ValidView(image)) return Fail("bad image for PNG");
    PngContext c;
    c.writing = true;
    c.view = &image;
    c.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &c, PngError, PngWarning);
    if (!c.png) return Fail("out of memory");
    c.info = png_create_info_struct(c.png);
    if (!c.info) return Fail("out of memory");
    c.reason = nullptr;
    if (!PngEncodeBody(&c)) return Fail(c.reason ? c.reason : "PNG error");
    if (!c.out.Publish(out)) return Fail("out of memory");
    return true;
}

bool DecodePng(const void* data, size_t size, Image8& out, int channels) {
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0)
        return Fail("not a PNG file");
    if (channels != 0 && !ValidChannels(channels)) return Fail("bad channel count");
    PngContext c;
    c.source = PngSource{static_cast<const uint8_t*>(data), size, 0};
    c.wantChannels = channels;
    c.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c, PngError, PngWarning);
    if (!c.png) return Fail("out of memory");
    c.info = png_create_info_struct(c.png);
    if (!c.info) return Fail("out of memory");
    c.reason = nullptr;
    if (!PngDecodeBody(&c)) return Fail(c.reason ? c.reason : "PNG error");
    out = std::move(c.image);
    return true;
}

bool EncodeJpeg(const ImageView& image, int quality, MemBlock& out) {
    if (!ValidView(image)) return Fail("bad image for JPEG");
    JpegEncodeContext c;
    if (!JpegEncodeBody(&c, image, quality)) return Fail(c.err.reason ? c.err.reason : "JPEG error");
    if (!c.out.Publish(out)) return Fail("out of memory");
    return true;
}

bool DecodeJpeg(const void* data, size_t size, Image8& out, int channels) {
    const auto* b = static_cast<const uint8_t*>(data);
    if (!data || size < 4 || b[0] != 0xFF || b[1] != 0xD8) return Fail("not a JPEG file");
    if (channels != 0 && !ValidChannels(channels)) return Fail("bad channel count");
    JpegDecodeContext c;
    c.wantChannels = channels;
    if (!JpegDecodeBody(&c, data, size)) return Fail(c.err.reason ? c.err.reason : "JPEG error");
    out = std::move(c.image);
    return true;
}

bool DecodeImage(const void* data, size_t size, Image8& out, int channels) {
    const auto* b = static_cast<const uint8_t*>(data);
    if (data && size >= 8 && png_sig_cmp(b, 0, 8) == 0) return DecodePng(data, size, out, channels);
    if (data && size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return DecodeJpeg(data, size, out, channels);
    return Fail("unknown image format");
}

// ---- files -----------------------------------------------------------------------------------

bool SavePng(const ImageView& image, const std::string& path) {
    MemBlock file;
    return EncodePng(image, file) &&
           (WriteFileReplacing(path, file.Data(), file.Size()) || Fail("cannot write file"));
}

bool SaveJpeg(const ImageView& image, int quality, const std::string& path) {
    MemBlock file;
    return EncodeJpeg(image, quality, file) &&
           (WriteFileReplacing(path, file.Data(), file.Size()) || Fail("cannot write file"));
}

bool LoadImageFile(const std::string& path, Image8& out, int channels) {
    MemBlock file;
    return (ReadWholeFile(path, file) || Fail("cannot read file")) &&
           DecodeImage(file.Data(), file.Size(), out, channels);
}

// ---- exporter's encoder ----------------------------------------------------------------------

namespace {

class PlatformEncoder : public cTes_ImageEncoder {
  public:
    bool Encode(int kind, const uint8_t* pixels, int width, int height, int channels, size_t stride,
                int option, MemBlock& out) override {
        if (kind != kTesImageFile_Png) return Fail("unsupported export format");
        ImageView v;
        v.pixels = pixels;
        v.width = width;
        v.height = height;
        v.channels = channels;
        v.stride = stride;
        v.gamma = 2.2;
        return EncodePng(v, out);
    }
};

} // namespace

cTes_ImageEncoder& PlatformImageEncoder() {
    static PlatformEncoder encoder;
    return encoder;
}

} // namespace vek
