// The GL resource loader: the program's table of 128 texture names and the textures read from the
// "Data" folder. Names 0-7 hold the grey paper images, 8-13 the materials (mipmapped, linear
// magnification, nearest-mipmap-linear minification, repeating), 14 the text font and 15 the icon
// font (mipmapped, trilinear, clamped to the edge). A missing file leaves its textures empty.
// Needs a current GL context; everything here runs on the main thread.
#pragma once

#include <string>

namespace vek::res {

constexpr int kTextureNames = 128;
constexpr int kFirstGreyTexture = 0;
constexpr int kFirstMaterialTexture = 8;
constexpr int kTextFontTexture = 14;
constexpr int kIconFontTexture = 15;

// The table; all 0 until the loader has run.
const unsigned int* TextureNames();
unsigned int TextureName(int index);
// Forgets the names without touching GL (set-up, before any context exists).
void ClearTextureNames();

// Texture names of the two font sheets for cVek_Font::SetTexture; 0 when a sheet is missing.
struct FontTextures {
    unsigned int text = 0;
    unsigned int icons = 0;
};

// Generates the 128 names (deleting the previous textures when run again) and loads the files of
// the start folder's "Data" (folder service, kind 0), or of `folder`.
FontTextures LoadResources();
FontTextures LoadResourcesFrom(const std::string& folder);
// Deletes the textures and clears the table (GL context current).
void ReleaseResources();

} // namespace vek::res
