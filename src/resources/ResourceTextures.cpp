#include "resources/ResourceTextures.h"

#include "platform/ImageCodec.h"
#include "resources/ResourceImages.h"
#include "shell/FolderService.h"

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace vek::res {
namespace {

GLuint g_names[kTextureNames] = {};

std::string Join(const std::string& folder, const char* name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Builds the mipmap chain of one texture with the given filters and wrap mode; 8 bits per channel.
void Upload(GLuint name, GLint internalFormat, GLenum format, int width, int height, const void* texels,
            GLint minFilter, GLint wrap) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height, format, GL_UNSIGNED_BYTE, texels);
}

void LoadGrey(const std::string& folder) {
    MemBlock images;
    if (!ReadGreyImages(Join(folder, "pg128.bin"), images)) return;
    const size_t count = images.Size() / kResourceImagePixels;
    for (size_t i = 0; i < count; ++i)
        Upload(g_names[kFirstGreyTexture + i], GL_LUMINANCE8, GL_LUMINANCE, kResourceSide, kResourceSide,
               images.As<uint8_t>() + i * kResourceImagePixels, GL_NEAREST_MIPMAP_LINEAR, GL_REPEAT);
}

void LoadMaterials(const std::string& folder) {
    MemBlock rgb;
    if (!ReadMaterialImages(Join(folder, "Material128.JPG"), rgb)) return;
    const size_t bytesPerImage = kResourceImagePixels * 3;
    const size_t count = rgb.Size() / bytesPerImage;
    for (size_t i = 0; i < count; ++i)
        Upload(g_names[kFirstMaterialTexture + i], GL_RGB8, GL_RGB, kResourceSide, kResourceSide,
               rgb.As<uint8_t>() + i * bytesPerImage, GL_NEAREST_MIPMAP_LINEAR, GL_REPEAT);
}

unsigned int LoadTextFont(const std::string& folder) {
    Image8 sheet, alpha;
    if (!LoadImageFile(Join(folder, "font.jpg"), sheet, 1) || !FontAlphaFromSheet(sheet, alpha)) return 0;
    const GLuint name = g_names[kTextFontTexture];
    Upload(name, GL_ALPHA8, GL_ALPHA, alpha.Width(), alpha.Height(), alpha.Pixels(), GL_LINEAR_MIPMAP_LINEAR,
           GL_CLAMP_TO_EDGE);
    return name;
}

unsigned int LoadIconFont(const std::string& folder) {
    Image8 sheet, rgba;
    if (!LoadImageFile(Join(folder, "icons.jpg"), sheet, 3) || !IconRgbaFromSheet(sheet, rgba)) return 0;
    const GLuint name = g_names[kIconFontTexture];
    Upload(name, GL_RGBA8, GL_RGBA, rgba.Width(), rgba.Height(), rgba.Pixels(), GL_LINEAR_MIPMAP_LINEAR,
           GL_CLAMP_TO_EDGE);
    return name;
}

} // namespace

const unsigned int* TextureNames() {
    return g_names;
}

unsigned int TextureName(int index) {
    return index >= 0 && index < kTextureNames ? g_names[index] : 0;
}

void ClearTextureNames() {
    for (GLuint& n : g_names)
        n = 0;
}

void ReleaseResources() {
    if (g_names[0] != 0) glDeleteTextures(kTextureNames, g_names);
    ClearTextureNames();
}

FontTextures LoadResources() {
    FolderService& fs = FolderService::Get();
    return LoadResourcesFrom(fs.GoTo(0) ? fs.Current() : std::string());
}

FontTextures LoadResourcesFrom(const std::string& folder) {
    ReleaseResources();
    glGenTextures(kTextureNames, g_names);
    FontTextures fonts;
    if (folder.empty()) return fonts;

    GLint alignment = 4;
    GLint bound = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // 128-wide grey rows and odd-width sheets are packed
    LoadGrey(folder);
    LoadMaterials(folder);
    fonts.text = LoadTextFont(folder);
    fonts.icons = LoadIconFont(folder);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return fonts;
}

} // namespace vek::res
