// The studio's process-wide context.
#include "app/StudioContext.h"

#include "app/Portfolio.h"
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

} // namespace scribbix
