// The stroke script interpreter. Sections: tokens and numbers · commands · outputs.
#include "RenderScript.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "app/ToolBox.h"
#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesExport.h"
#include "engine/storage/c_TesPicFile.h"
#include "engine/tools/cVek_ToolBox.h"
#include "platform/ImageCodec.h"
#include "shell/Random.h"

namespace scribbix {

namespace {

// ---- tokens and numbers ----

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line.substr(0, line.find('#')));
    std::string word;
    while (in >> word)
        out.push_back(word);
    return out;
}

bool Number(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool Integer(const std::string& text, int64_t lo, int64_t hi, int64_t& value) {
    double v;
    if (!Number(text, v) || v != std::floor(v) || v < double(lo) || v > double(hi)) return false;
    value = static_cast<int64_t>(v);
    return true;
}

// Index of a word in a list, or -1.
int Find(const std::string& word, const char* const* names, int count) {
    for (int i = 0; i < count; ++i)
        if (word == names[i]) return i;
    return -1;
}

const char* const kSettings[] = {"size",      "softness", "profile",       "strength",  "flow",
                                 "tolerance", "drawmode", "selectionmode", "blendmode", "blend"};
const char* const kSides[] = {"left", "right", "both"};
const char* const kColours[] = {"highlight", "paint", "inner", "outer"};
const char* const kSplits[] = {"tool",      "size",      "softness", "profile",       "strength",
                               "flow",      "tolerance", "drawmode", "selectionmode", "blendmode",
                               "highlight", "paint",     "inner",    "outer"};
// Valid ranges of the settings, in the order of kSettings.
const int64_t kSettingRange[][2] = {{1, 251}, {0, 100}, {0, 100}, {1, 100}, {1, 100},
                                    {1, 100}, {0, 1},   {0, 3},   {0, 58},  {0, 1}};

} // namespace

RenderScript::RenderScript() = default;

RenderScript::~RenderScript() {
    if (box_) box_->SetPicture(nullptr);
}

bool RenderScript::Fail(const std::string& reason) {
    error_ = "line " + std::to_string(lineNumber_) + ": " + reason;
    return false;
}

bool RenderScript::NeedPicture() {
    if (picture_) return true;
    return Fail("no picture yet (\"picture WIDTH HEIGHT\" comes first)");
}

bool RenderScript::NeedBox() {
    if (box_) return true;
    auto box = std::make_unique<scribbix::ToolBox>(1920, 1080);
    if (!box->Initialize()) return Fail("out of memory for the tool box");
    box_ = std::move(box);
    if (picture_) box_->SetPicture(picture_.get());
    return true;
}

bool RenderScript::Run(const std::string& text) {
    error_.clear();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber_;
        if (!Line(line)) return false;
    }
    return true;
}

bool RenderScript::RunFile(const std::string& path) {
    vek::MemBlock data;
    if (!vek::ReadWholeFile(path, data, size_t(64) << 20)) {
        error_ = "cannot read " + path;
        return false;
    }
    return Run(std::string(data.As<char>(), data.Size()));
}

// ---- commands ----

bool RenderScript::Line(const std::string& line) {
    const std::vector<std::string> t = Tokens(line);
    if (t.empty()) return true;
    const std::string& cmd = t[0];
    const size_t n = t.size();
    double v[8] = {};
    auto numbers = [&](size_t from, size_t count) {
        if (n < from + count) return false;
        for (size_t i = 0; i < count; ++i)
            if (!Number(t[from + i], v[i])) return false;
        return true;
    };
    auto flag = [&](size_t at, int64_t& out) { return n == at + 1 && Integer(t[at], 0, 1, out); };

    if (cmd == "picture") {
        int64_t w, h;
        if (n != 3 || !Integer(t[1], 1, 16384, w) || !Integer(t[2], 1, 16384, h))
            return Fail("picture WIDTH HEIGHT, each 1 to 16384");
        if (picture_) return Fail("the picture is already made");
        if (uint64_t(w) * uint64_t(h) > vek::kMaxImagePixels ||
            !c_TesPic::CheckMemory(int32_t(w), int32_t(h), nullptr, 1, 1))
            return Fail("a picture of that size would not fit in memory");
        auto pic = std::make_unique<c_TesPic>(int32_t(w), int32_t(h));
        c_TesLayer* ink = pic->AddColourLayer();
        if (!ink) return Fail("out of memory for the picture");
        ink->SetName("Ink");
        pic->SetName("Render");
        picture_ = std::move(pic);
        ink_ = ink;
        if (box_) box_->SetPicture(picture_.get());
        return true;
    }
    if (cmd == "paper") {
        if (n != 4 || !numbers(1, 3)) return Fail("paper R G B");
        if (!NeedPicture()) return false;
        for (int i = 0; i < 3; ++i)
            picture_->paperColour[i] = float(v[i]);
        return true;
    }
    if (cmd == "repeat") {
        int64_t x, y;
        if (n != 3 || !Integer(t[1], 0, 1, x) || !Integer(t[2], 0, 1, y)) return Fail("repeat 0|1 0|1");
        if (!NeedPicture()) return false;
        picture_->repeatX = uint8_t(x);
        picture_->repeatY = uint8_t(y);
        return true;
    }
    if (cmd == "catalogue" || cmd == "catalog") {
        if (box_) return Fail("the catalogue is chosen once, before any tool-box command");
        std::unique_ptr<cVek_ToolBox> box;
        if (n == 2 && t[1] == "engine") {
            box = std::make_unique<cVek_ToolBox>();
        } else if (t.size() >= 2 && t[1] == "program" && (n == 2 || n == 4)) {
            int64_t sw = 1920, sh = 1080;
            if (n == 4 && (!Integer(t[2], 1, 100000, sw) || !Integer(t[3], 1, 100000, sh)))
                return Fail("catalogue program [SCREEN_WIDTH SCREEN_HEIGHT]");
            box = std::make_unique<scribbix::ToolBox>(int32_t(sw), int32_t(sh));
        } else {
            return Fail("catalogue program [SCREEN_WIDTH SCREEN_HEIGHT] | catalogue engine");
        }
        if (!box->Initialize()) return Fail("out of memory for the tool box");
        box_ = std::move(box);
        if (picture_) box_->SetPicture(picture_.get());
        return true;
    }
    if (cmd == "tool" || cmd == "secondary-tool") {
        int64_t id;
        if (n != 2 || !Integer(t[1], 0, 0xFFFFFFFFll, id)) return Fail(cmd + " ID");
        if (!NeedBox()) return false;
        cTes_Tool* tool = nullptr;
        for (int i = 0; i < cVek_ToolBox::kToolSlots && box_->tools[i]; ++i)
            if (box_->tools[i]->id == uint32_t(id)) tool = box_->tools[i].get();
        if (!tool) return Fail("no tool with id " + t[1] + " in this catalogue");
        (cmd == "tool" ? box_->primaryTool : box_->secondaryTool) = tool;
        return true;
    }
    if (cmd == "set") {
        const int which = n == 4 ? Find(t[1], kSettings, 10) : -1;
        const int side = n == 4 ? Find(t[2], kSides, 3) : -1;
        int64_t value;
        if (which < 0 || side < 0) return Fail("set SETTING left|right|both VALUE");
        if (!Integer(t[3], kSettingRange[which][0], kSettingRange[which][1], value))
            return Fail(t[1] + " takes a whole number from " + std::to_string(kSettingRange[which][0]) +
                        " to " + std::to_string(kSettingRange[which][1]));
        if (!NeedBox()) return false;
        for (int s = 0; s < 2; ++s) {
            if (side != 2 && side != s) continue;
            if (which == 9)
                box_->blendEnabled[s] = uint8_t(value);
            else
                box_->SettingValues(cVek_ToolBox::e_Setting(which))[s] = int32_t(value);
        }
        return true;
    }
    if (cmd == "colour" || cmd == "color") {
        const int which = n == 6 ? Find(t[1], kColours, 4) : -1;
        const int side = n == 6 ? Find(t[2], kSides, 3) : -1;
        if (which < 0 || side < 0 || !numbers(3, 3))
            return Fail("colour highlight|paint|inner|outer left|right|both R G B");
        if (!NeedBox()) return false;
        float(*pair)[3] = box_->ColourValues(cVek_ToolBox::e_Colour(which));
        for (int s = 0; s < 2; ++s)
            if (side == 2 || side == s)
                for (int c = 0; c < 3; ++c)
                    pair[s][c] = float(v[c]);
        return true;
    }
    if (cmd == "split") {
        const int which = n == 3 ? Find(t[1], kSplits, 14) : -1;
        int64_t on;
        if (which < 0 || !flag(2, on)) return Fail("split tool|SETTING|COLOUR 0|1");
        if (!NeedBox()) return false;
        if (which == 0)
            box_->toolSplit = uint8_t(on);
        else if (which < 10)
            box_->settingSplit[which - 1] = uint8_t(on);
        else
            box_->colourSplit[which - 10] = uint8_t(on);
        return true;
    }
    if (cmd == "two-button-split" || cmd == "subpixel" || cmd == "smoothing") {
        int64_t on;
        if (!flag(1, on)) return Fail(cmd + " 0|1");
        if (!NeedBox()) return false;
        (cmd == "subpixel"    ? box_->subPixel
         : cmd == "smoothing" ? box_->inputSmoothing
                              : box_->twoButtonSplit) = uint32_t(on);
        return true;
    }
    if (cmd == "complement") {
        int64_t on, off;
        if (n != 3 || !Integer(t[1], 0, 1, on) || !Integer(t[2], 0, 1, off))
            return Fail("complement SPLIT_ON SPLIT_OFF (each 0|1)");
        if (!NeedBox()) return false;
        box_->complementSplitOn = uint32_t(on);
        box_->complementSplitOff = uint32_t(off);
        return true;
    }
    if (cmd == "random") {
        int64_t seed;
        if (n != 2 || !Integer(t[1], 0, 0xFFFFFFFFll, seed))
            return Fail("random TIME_VALUE (0 to 4294967295)");
        vek::RandomSeed(uint32_t(seed));
        return true;
    }
    if (cmd == "press" || cmd == "move" || cmd == "release") {
        const bool move = cmd == "move";
        const size_t most = move ? 5 : 6;
        int64_t button = 0, bits = -1;
        if (n < 4 || n > most || !numbers(1, 3))
            return Fail(cmd + (move ? " X Y TIME [BITS]" : " X Y TIME [BUTTON [BITS]]"));
        if (!move && n >= 5 && !Integer(t[4], 1, 5, button)) return Fail("BUTTON is 1 (left) to 5");
        const size_t bitsAt = move ? 4 : 5;
        if (n > bitsAt && !Integer(t[bitsAt], 0, 7, bits)) return Fail("BITS is 0 to 7");
        if (std::fabs(v[0]) > 1.0e6 || std::fabs(v[1]) > 1.0e6)
            return Fail("position too far outside the picture");
        if (!NeedPicture() || !NeedBox()) return false;
        if (cmd == "press" && button == 0) button = 1;
        if (bits < 0) bits = move ? 0 : (button == 2 ? 2 : 1);
        const int32_t type = cmd == "press" ? kToolEventPress : move ? kToolEventMove : kToolEventRelease;
        box_->QueueEvent(float(v[0]), float(v[1]), uint32_t(button), v[2], type, uint8_t(bits));
        return true;
    }
    if (cmd == "fill" || cmd == "rect") {
        const bool rect = cmd == "rect";
        const size_t count = rect ? 8 : 4;
        if (n != count + 1 || !numbers(1, count)) return Fail(rect ? "rect X Y W H R G B A" : "fill R G B A");
        if (!NeedPicture()) return false;
        const int32_t pw = picture_->width, ph = picture_->height;
        const double x0 = rect ? v[0] : 0, y0 = rect ? v[1] : 0, w = rect ? v[2] : pw, h = rect ? v[3] : ph;
        const double* c = rect ? v + 4 : v;
        if (!ink_->HasPixels() || ink_->compacted) return Fail("the ink layer has no pixels");
        const int32_t xa = int32_t(std::max(0.0, x0)), ya = int32_t(std::max(0.0, y0));
        const int32_t xb = int32_t(std::min<double>(pw, x0 + w)), yb = int32_t(std::min<double>(ph, y0 + h));
        const bool transparent = !(c[3] > 0.0);
        for (int32_t y = ya; y < yb; ++y)
            for (int32_t x = xa; x < xb; ++x) {
                float* p = ink_->Pixels() + (size_t(y) * pw + x) * 4;
                for (int k = 0; k < 4; ++k)
                    p[k] = transparent ? 0.0f : float(c[k]);
            }
        ink_->DropBackup();
        if (xb > xa && yb > ya) ink_->MarkChanged(xa, ya, xb - xa, yb - ya);
        ink_->changed.valid = 0;
        return true;
    }
    if (cmd == "wax") {
        if (n != 6 || !numbers(1, 5)) return Fail("wax X Y W H VALUE");
        if (!NeedPicture()) return false;
        if (!wax_) {
            c_TesLayer_Wax* wax = picture_->AddWaxLayer();
            if (!wax) return Fail("out of memory for the wax layer");
            wax_ = wax;
            picture_->SetCurrent(ink_);
        }
        if (!wax_->HasPixels() || wax_->compacted) return Fail("the wax layer has no pixels");
        const int32_t pw = picture_->width, ph = picture_->height;
        const int32_t xa = int32_t(std::max(0.0, v[0])), ya = int32_t(std::max(0.0, v[1]));
        const int32_t xb = int32_t(std::min<double>(pw, v[0] + v[2])),
                      yb = int32_t(std::min<double>(ph, v[1] + v[3]));
        for (int32_t y = ya; y < yb; ++y)
            for (int32_t x = xa; x < xb; ++x)
                wax_->Pixels()[size_t(y) * pw + x] = float(v[4]);
        return true;
    }
    return Fail("unknown command \"" + cmd + "\"");
}

// ---- outputs ----

bool RenderScript::EncodePng(bool transparency, vek::MemBlock& out) {
    if (!picture_) return false;
    cTes_Export exporter;
    vek::MemBlock pixels;
    int32_t w = 0, h = 0, channels = 0;
    if (!exporter.FlattenAndEncode(*picture_, false, transparency, pixels, w, h, channels)) return false;
    vek::ImageView view;
    view.pixels = pixels.As<uint8_t>();
    view.width = w;
    view.height = h;
    view.channels = channels;
    view.gamma = 2.2;
    return vek::EncodePng(view, out);
}

bool RenderScript::WritePng(const std::string& path, bool transparency) {
    vek::MemBlock png;
    return EncodePng(transparency, png) && vek::WriteFileReplacing(path, png.Data(), png.Size());
}

bool RenderScript::EncodeRaw(vek::MemBlock& out) {
    if (!picture_ || !ink_) return false;
    c_TesLayer* layer = picture_->currentLayer ? picture_->currentLayer : ink_;
    if (layer->channels != 4 || !layer->EnsurePixels()) return false;
    if (layer->compacted && !layer->SetCompact(false)) return false;
    const int32_t pw = picture_->width, ph = picture_->height;
    const size_t count = size_t(pw) * ph * 4;
    vek::MemBlock fresh;
    if (!fresh.AllocZeroed(count * 4)) return false;
    uint8_t* bytes = fresh.As<uint8_t>();
    for (int32_t y = 0; y < ph; ++y) {
        const int32_t ly = y - layer->y;
        if (ly < 0 || ly >= layer->height) continue;
        for (int32_t x = 0; x < pw; ++x) {
            const int32_t lx = x - layer->x;
            if (lx < 0 || lx >= layer->width) continue;
            const float* p = layer->Pixels() + (size_t(ly) * layer->width + lx) * 4;
            uint8_t* o = bytes + (size_t(y) * pw + x) * 16;
            for (int k = 0; k < 4; ++k) {
                uint32_t u;
                std::memcpy(&u, p + k, 4);
                o[4 * k + 0] = uint8_t(u), o[4 * k + 1] = uint8_t(u >> 8);
                o[4 * k + 2] = uint8_t(u >> 16), o[4 * k + 3] = uint8_t(u >> 24);
            }
        }
    }
    out = std::move(fresh);
    return true;
}

bool RenderScript::WriteRaw(const std::string& path) {
    vek::MemBlock raw;
    return EncodeRaw(raw) && vek::WriteFileReplacing(path, raw.Data(), raw.Size());
}

bool RenderScript::WriteTesp(const std::string& path) {
    return picture_ && c_TesPicFile::SavePictureToFile(path, *picture_, true);
}

} // namespace scribbix
