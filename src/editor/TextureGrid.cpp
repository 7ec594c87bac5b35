// Texture grid: geometry, texel footprints, filtered texel computation, tile uploads and drawing.
#include "editor/TextureGrid.h"

#include <GL/gl.h>

#include <algorithm>

namespace tes::editor {

namespace {

GLenum FormatOf(int32_t channels) {
    return channels == 1 ? GL_ALPHA : channels == 4 ? GL_RGBA : GL_RGB;
}

GLint InternalOf(int32_t channels) {
    return channels == 1 ? GL_ALPHA8 : channels == 4 ? GL_RGBA8 : GL_RGB8;
}

int32_t CeilDiv(int64_t a, int64_t b) {
    return static_cast<int32_t>((a + b - 1) / b);
}

// Beyond this many quads a repeated tiny picture is not drawn further (it would stall a frame).
constexpr int64_t kMaxQuads = 1 << 20;

} // namespace

TextureGrid::~TextureGrid() = default;

bool TextureGrid::Create(const LayoutResult& l, int32_t pw, int32_t ph, int32_t ch, bool useMax) {
    Release();
    const int32_t f = l.GridFactor();
    const int32_t cw = l.CoveredWidth(), chh = l.CoveredHeight();
    if (cw <= 0 || chh <= 0 || l.sourceWidth <= 0 || l.sourceHeight <= 0) return false;
    factor = f;
    sourceX = l.sourceX;
    sourceY = l.sourceY;
    sourceWidth = l.sourceWidth;
    sourceHeight = l.sourceHeight;
    coveredWidth = cw;
    coveredHeight = chh;
    pictureWidth = pw;
    pictureHeight = ph;
    channels = ch;
    maxFilter = useMax;
    tileSize = TileSize(l.sourceWidth, l.sourceHeight);
    columns = CeilDiv(cw, tileSize);
    rows = CeilDiv(chh, tileSize);

    while (glGetError() != GL_NO_ERROR) {
    }
    names.assign(static_cast<size_t>(columns) * rows, 0);
    glGenTextures(static_cast<GLsizei>(names.size()), names.data());
    glPushAttrib(GL_TEXTURE_BIT);
    for (uint32_t name : names) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, InternalOf(ch), tileSize, tileSize, 0, FormatOf(ch), GL_UNSIGNED_BYTE,
                     nullptr);
    }
    glPopAttrib();
    if (glGetError() != GL_NO_ERROR) {
        Release();
        return false;
    }
    return true;
}

void TextureGrid::Release() {
    if (!names.empty()) glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    names.clear();
    columns = rows = 0;
}

void TextureGrid::Footprint(bool xAxis, int32_t t, int32_t& o0, int32_t& o1) const {
    const int32_t S = xAxis ? sourceWidth : sourceHeight, C = xAxis ? coveredWidth : coveredHeight;
    if (factor == 1) {
        o0 = t;
        o1 = t + 1;
    } else if (factor > 1) {
        o0 = t * factor;
        o1 = std::min(o0 + factor, S);
    } else {
        o0 = static_cast<int32_t>(static_cast<int64_t>(t) * S / C);
        o1 = std::max(static_cast<int32_t>(static_cast<int64_t>(t + 1) * S / C), o0 + 1);
        o1 = std::min(o1, S);
    }
}

int TextureGrid::MapAxis(bool xAxis, int32_t p0, int32_t p1, Span out[2]) const {
    const int32_t P = xAxis ? pictureWidth : pictureHeight;
    const int32_t s = xAxis ? sourceX : sourceY, S = xAxis ? sourceWidth : sourceHeight;
    const int32_t C = xAxis ? coveredWidth : coveredHeight;
    // The covered source as picture intervals with the offset of their first position.
    struct Piece {
        int32_t a, b, offset;
    } pieces[2] = {{s, std::min<int32_t>(s + S, P), 0}, {0, s + S - P, P - s}};
    const int count = s + S > P ? 2 : 1;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const int32_t a = std::max(p0, pieces[i].a), b = std::min(p1, pieces[i].b);
        if (a >= b) continue;
        const int32_t o0 = a - pieces[i].a + pieces[i].offset, o1 = b - pieces[i].a + pieces[i].offset;
        Span sp;
        if (factor == 1) {
            sp = {o0, o1};
        } else if (factor > 1) {
            sp = {o0 / factor, CeilDiv(o1, factor)};
        } else {
            int32_t t0 = static_cast<int32_t>(static_cast<int64_t>(o0) * C / S);
            int32_t f0, f1;
            while (t0 > 0 && (Footprint(xAxis, t0, f0, f1), f0 > o0))
                --t0;
            int32_t t1 = std::min(C, CeilDiv(static_cast<int64_t>(o1) * C, S) + 1);
            while (t1 < C && (Footprint(xAxis, t1, f0, f1), f0 < o1))
                ++t1;
            sp = {t0, t1};
        }
        sp.t0 = std::max(0, sp.t0);
        sp.t1 = std::min(C, sp.t1);
        if (sp.t0 < sp.t1) out[n++] = sp;
    }
    return n;
}

void TextureGrid::FillTexels(const ImageRef& image, int32_t u0, int32_t v0, int32_t u1, int32_t v1,
                             uint8_t* out) const {
    const int32_t ch = image.channels;
    const size_t stride = static_cast<size_t>(image.width) * ch;
    uint32_t sum[4];
    for (int32_t v = v0; v < v1; ++v) {
        int32_t y0, y1;
        Footprint(false, v, y0, y1);
        for (int32_t u = u0; u < u1; ++u, out += ch) {
            int32_t x0, x1;
            Footprint(true, u, x0, x1);
            std::fill(sum, sum + 4, 0u);
            for (int32_t oy = y0; oy < y1; ++oy) {
                const uint8_t* row =
                    image.pixels +
                    static_cast<size_t>(WrapInto(int64_t(sourceY) + oy, image.height)) * stride;
                for (int32_t ox = x0; ox < x1; ++ox) {
                    const uint8_t* px =
                        row + static_cast<size_t>(WrapInto(int64_t(sourceX) + ox, image.width)) * ch;
                    for (int c = 0; c < ch; ++c)
                        sum[c] = maxFilter ? std::max<uint32_t>(sum[c], px[c]) : sum[c] + px[c];
                }
            }
            const uint32_t n = static_cast<uint32_t>((x1 - x0) * (y1 - y0));
            for (int c = 0; c < ch; ++c)
                out[c] = static_cast<uint8_t>(maxFilter ? sum[c] : (sum[c] + n / 2) / n);
        }
    }
}

void TextureGrid::UploadTexels(const ImageRef& image, int32_t u0, int32_t v0, int32_t u1, int32_t v1) {
    if (u0 >= u1 || v0 >= v1 || names.empty()) return;
    const GLenum format = FormatOf(channels);
    const uint8_t* base;
    int32_t rowLength, baseU, baseV; // base is the texel (baseU, baseV) of a buffer rowLength wide
    if (factor == 1) {
        // The span lies in one unwrapped run of the picture: straight from the image.
        base =
            image.pixels + (static_cast<size_t>(WrapInto(int64_t(sourceY) + v0, image.height)) * image.width +
                            WrapInto(int64_t(sourceX) + u0, image.width)) *
                               image.channels;
        rowLength = image.width;
    } else {
        scratch_.resize(static_cast<size_t>(u1 - u0) * (v1 - v0) * channels);
        FillTexels(image, u0, v0, u1, v1, scratch_.data());
        base = scratch_.data();
        rowLength = u1 - u0;
    }
    baseU = u0;
    baseV = v0;

    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPushAttrib(GL_TEXTURE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    const int32_t T = tileSize;
    for (int32_t ty = v0 / T; ty <= (v1 - 1) / T; ++ty) {
        const int32_t a0 = std::max(v0, ty * T), a1 = std::min(v1, ty * T + T);
        for (int32_t tx = u0 / T; tx <= (u1 - 1) / T; ++tx) {
            const int32_t b0 = std::max(u0, tx * T), b1 = std::min(u1, tx * T + T);
            const uint8_t* p = base + (static_cast<size_t>(a0 - baseV) * rowLength + (b0 - baseU)) * channels;
            glBindTexture(GL_TEXTURE_2D, names[static_cast<size_t>(ty) * columns + tx]);
            glTexSubImage2D(GL_TEXTURE_2D, 0, b0 - tx * T, a0 - ty * T, b1 - b0, a1 - a0, format,
                            GL_UNSIGNED_BYTE, p);
        }
    }
    glPopAttrib();
    glPopClientAttrib();
}

void TextureGrid::Upload(const ImageRef& image, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (names.empty() || !image.pixels || image.channels != channels) return;
    Span sx[2], sy[2];
    const int nx = MapAxis(true, x, x + w, sx), ny = MapAxis(false, y, y + h, sy);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            UploadTexels(image, sx[i].t0, sy[j].t0, sx[i].t1, sy[j].t1);
}

void TextureGrid::UploadAll(const ImageRef& image) {
    Upload(image, 0, 0, image.width, image.height);
}

void TextureGrid::Draw(int32_t screenX, int32_t screenY, int32_t dw, int32_t dh, const ScreenRect& clip,
                       bool repeatX, bool repeatY) const {
    if (names.empty() || dw <= 0 || dh <= 0 || clip.width <= 0 || clip.height <= 0) return;
    int64_t kx0 = 0, kx1 = 0, ky0 = 0, ky1 = 0;
    if (repeatX) {
        kx0 = FloorDiv(int64_t(clip.x) - screenX, dw);
        kx1 = FloorDiv(int64_t(clip.x) + clip.width - 1 - screenX, dw);
    }
    if (repeatY) {
        ky0 = FloorDiv(int64_t(clip.y) - screenY, dh);
        ky1 = FloorDiv(int64_t(clip.y) + clip.height - 1 - screenY, dh);
    }
    const int64_t copies = (kx1 - kx0 + 1) * (ky1 - ky0 + 1);
    if (copies * static_cast<int64_t>(names.size()) > kMaxQuads) {
        const int64_t keep = std::max<int64_t>(1, kMaxQuads / static_cast<int64_t>(names.size()));
        while ((kx1 - kx0 + 1) * (ky1 - ky0 + 1) > keep) {
            if (ky1 > ky0)
                --ky1;
            else if (kx1 > kx0)
                --kx1;
            else
                break;
        }
    }
    const double sx = static_cast<double>(dw) / coveredWidth, sy = static_cast<double>(dh) / coveredHeight;
    const int32_t T = tileSize;
    const float inv = 1.0f / static_cast<float>(T);
    for (int32_t ty = 0; ty < rows; ++ty) {
        const int32_t v0 = ty * T, v1 = std::min(coveredHeight, v0 + T);
        for (int32_t tx = 0; tx < columns; ++tx) {
            const int32_t u0 = tx * T, u1 = std::min(coveredWidth, u0 + T);
            glBindTexture(GL_TEXTURE_2D, names[static_cast<size_t>(ty) * columns + tx]);
            const float s1 = static_cast<float>(u1 - u0) * inv, t1 = static_cast<float>(v1 - v0) * inv;
            glBegin(GL_QUADS);
            for (int64_t ky = ky0; ky <= ky1; ++ky) {
                const double y0 = screenY + ky * dh + v0 * sy, y1 = screenY + ky * dh + v1 * sy;
                for (int64_t kx = kx0; kx <= kx1; ++kx) {
                    const double x0 = screenX + kx * dw + u0 * sx, x1 = screenX + kx * dw + u1 * sx;
                    glTexCoord2f(0.0f, 0.0f);
                    glVertex2d(x0, y0);
                    glTexCoord2f(0.0f, t1);
                    glVertex2d(x0, y1);
                    glTexCoord2f(s1, t1);
                    glVertex2d(x1, y1);
                    glTexCoord2f(s1, 0.0f);
                    glVertex2d(x1, y0);
                }
            }
            glEnd();
        }
    }
}

} // namespace tes::editor
