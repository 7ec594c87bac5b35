#include "resources/ProgramState.h"

#include "resources/cVek_Settings.h"
#include "shell/cVek_AppInfo.h"

#include <cmath>
#include <utility>

namespace scribbix {

static_assert(sizeof(EditorAndToolBoxBytes) == 4, "record 3 is four bytes");
static_assert(sizeof(LookBytes) == 4, "record 4 is four bytes");

ProgramState& State() {
    static ProgramState state;
    return state;
}

bool ProgramState::Sanitize() {
    const ProgramState defaults;
    bool changed = false;
    auto fix = [&changed](auto& value, auto good) {
        if (value != good) {
            value = good;
            changed = true;
        }
    };
    if (editor.editorSubPixel > 1) fix(editor.editorSubPixel, uint8_t(1));
    if (editor.editorMagnifier == 0) fix(editor.editorMagnifier, defaults.editor.editorMagnifier);
    if (selectedColour < 0 || selectedColour >= kUsedColours) fix(selectedColour, defaults.selectedColour);
    if (penSizeIndex < 0 || penSizeIndex >= kPenSizes) fix(penSizeIndex, defaults.penSizeIndex);
    for (float& f : palette)
        if (!std::isfinite(f)) fix(f, 0.0f);
    return changed;
}

std::unique_ptr<cVek_Settings> CreateSettings(ProgramState& state, std::function<void(bool fromFile)> apply,
                                              std::function<void()> gather) {
    auto settings = std::make_unique<cVek_Settings>("DATA2.BIN");
    settings->AddRecord({1, state.versionRecord, nullptr, 4, 4});
    settings->AddRecord({3, &state.editor, nullptr, 4, 1});
    settings->AddRecord({4, &state.look, nullptr, 4, 1});
    settings->AddRecord({5, state.wipSlots, nullptr, 10, 4});
    settings->AddRecord({6, state.palette, nullptr, 128, 4});
    settings->AddRecord({8, &state.selectedColour, nullptr, 1, 4});
    settings->AddRecord({9, &state.selectedTool, nullptr, 1, 4});
    settings->AddRecord({10, &state.penSizeIndex, nullptr, 1, 4});

    ProgramState* s = &state;
    settings->afterLoad = [s, apply = std::move(apply)](bool fromFile) {
        s->Sanitize();
        if (fromFile) {
            if (cVek_AppInfo* info = cVek_AppInfo::Instance()) info->CheckVersion(s->versionRecord);
        }
        if (apply) apply(fromFile);
    };
    settings->beforeSave = [s, gather = std::move(gather)]() {
        if (gather) gather();
        if (cVek_AppInfo* info = cVek_AppInfo::Instance())
            info->FillVersionRecord(s->versionRecord);
        else {
            s->versionRecord[0] = cVek_AppInfo::kSettingsVersion;
            s->versionRecord[1] = 0;
            s->versionRecord[2] = cVek_AppInfo::kVersion;
            s->versionRecord[3] = cVek_AppInfo::kSubVersion;
        }
    };
    return settings;
}

} // namespace scribbix
