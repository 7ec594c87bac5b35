// scribbix-render: replays a stroke script into a new picture and writes the result.
//   scribbix-render SCRIPT [--png FILE] [--transparent] [--raw FILE] [--tesp FILE]
// Exit status 0 on success, 1 when an output could not be written, 2 for a bad command line or
// script (nothing is written then).
#include <cstdio>
#include <cstring>
#include <string>

#include "RenderScript.h"

int main(int argc, char** argv) {
    std::string script, png, raw, tesp;
    bool transparent = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        bool ok = true;
        if (!std::strcmp(a, "--png"))
            ok = value(png);
        else if (!std::strcmp(a, "--raw"))
            ok = value(raw);
        else if (!std::strcmp(a, "--tesp"))
            ok = value(tesp);
        else if (!std::strcmp(a, "--transparent"))
            transparent = true;
        else if (a[0] != '-' && script.empty())
            script = a;
        else
            ok = false;
        if (!ok) script.clear(), i = argc;
    }
    if (script.empty() || (png.empty() && raw.empty() && tesp.empty())) {
        std::fprintf(
            stderr,
            "usage: scribbix-render SCRIPT [--png FILE] [--transparent] [--raw FILE] [--tesp FILE]\n");
        return 2;
    }
    scribbix::RenderScript render;
    if (!render.RunFile(script)) {
        std::fprintf(stderr, "scribbix-render: %s: %s\n", script.c_str(), render.Error().c_str());
        return 2;
    }
    if (!render.Picture()) {
        std::fprintf(stderr, "scribbix-render: %s: the script makes no picture\n", script.c_str());
        return 2;
    }
    int status = 0;
    if (!png.empty() && !render.WritePng(png, transparent)) {
        std::fprintf(stderr, "scribbix-render: could not write %s\n", png.c_str());
        status = 1;
    }
    if (!raw.empty() && !render.WriteRaw(raw)) {
        std::fprintf(stderr, "scribbix-render: could not write %s\n", raw.c_str());
        status = 1;
    }
    if (!tesp.empty() && !render.WriteTesp(tesp)) {
        std::fprintf(stderr, "scribbix-render: could not write %s\n", tesp.c_str());
        status = 1;
    }
    return status;
}
