// The studio's process-wide context.
#include "app/StudioContext.h"

#include "app/Portfolio.h"
#include "editor/cTes_PicEditor.h"
#include "engine/storage/c_TesExport.h"
#include "platform/ImageCodec.h"
#include "resources/ProgramState.h"

namespace scribbix {

StudioContext& Context() {
    static StudioContext context;
    return context;
}

ProgramState& StudioState() {
    StudioContext& c = Context();
    return c.state ? *c.state : State();
}

c_TesPic* CurrentPicture() {
    Portfolio* p = Context().portfolio;
    return p ? p->currentPicture : nullptr;
}

void ConnectPortfolio(Portfolio& portfolio, cTes_PicEditor& editor, cTes_Export& exporter) {
    portfolio.SetDisplay(&editor);
    cTes_PicEditor::PictureSource source;
    source.current = [](void* p) { return static_cast<Portfolio*>(p)->currentPicture; };
    source.advanceLoading = [](void* p) { static_cast<Portfolio*>(p)->RunLoadingSequence(); };
    source.user = &portfolio;
    source.integerFit = &portfolio.integerFit;
    editor.SetPictureSource(source);
    exporter.SetEncoder(&vek::PlatformImageEncoder());
    exporter.SetFolderHook([p = &portfolio](bool create) { return p->EnterExportFolder(create); });
}

} // namespace scribbix
