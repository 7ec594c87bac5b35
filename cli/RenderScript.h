// Replays a plain-text stroke script into a picture: picture size, paper and repeat, the tool box
// (the program's or the engine's catalogue) with every setting, the random generator's seed and
// pointer events. The format is described in cli/README.md.
//
// A script runs line by line; each line is checked completely before it changes anything, and the
// first bad line stops the run with "line N: reason". Outputs are written only on request.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/MemBlock.h"

class c_TesPic;
class c_TesLayer;
class cVek_ToolBox;

namespace scribbix {

class RenderScript {
  public:
    RenderScript();
    ~RenderScript();
    RenderScript(const RenderScript&) = delete;
    RenderScript& operator=(const RenderScript&) = delete;

    // Runs script text (may be called again to continue). False on the first bad line.
    bool Run(const std::string& text);
    // Reads and runs a script file (at most 64 MB).
    bool RunFile(const std::string& path);
    const std::string& Error() const { return error_; }

    // The picture (null until the script made one) and the tool box (null until first needed).
    c_TesPic* Picture() { return picture_.get(); }
    cVek_ToolBox* ToolBox() { return box_.get(); }

    // The flattened picture as 8-bit sRGB over the paper (RGBA with `transparency`), as PNG.
    bool EncodePng(bool transparency, vek::MemBlock& out);
    bool WritePng(const std::string& path, bool transparency);
    // The current layer at the full picture size: little-endian 32-bit float R, G, B, A per pixel,
    // rows top to bottom, no header.
    bool EncodeRaw(vek::MemBlock& out);
    bool WriteRaw(const std::string& path);
    // The picture as a picture file (".tesp").
    bool WriteTesp(const std::string& path);

  private:
    bool Line(const std::string& line);
    bool Fail(const std::string& reason);
    bool NeedPicture();
    bool NeedBox();

    std::unique_ptr<c_TesPic> picture_;
    std::unique_ptr<cVek_ToolBox> box_;
    c_TesLayer* ink_ = nullptr;
    c_TesLayer* wax_ = nullptr;
    int lineNumber_ = 0;
    std::string error_;
};

} // namespace scribbix
