// The panel's side of the pages' host hooks (page_host.h): a page fills the
// page area of its panel's PanelState, a page's dialog counts as a modal
// window of the panel (so a quit waits for it), and a failed store brings
// the page's tab forward through the tab host.
#include "page_host.h"
#include "panel.h"

namespace {

bool PanelPageArea(HWND parent, RECT* area) {
    const PanelState* state = GetPanelState(parent);
    if (!state) return false;
    *area = state->PageArea;
    return true;
}

void RunAsPanelModal(void (*body)(void* context), void* context) {
    PanelModalScope modal;
    body(context);
}

constexpr PageHostHooks kPanelHooks = {PanelPageArea, RunAsPanelModal, BringTabForward};

}  // namespace

void LinkPagesToPanel() {
    SetPageHostHooks(kPanelHooks);
}
