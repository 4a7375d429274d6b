#include "app/tool_pages.h"

namespace tw {

void TToolPages::BarClick(BarButton button) {
  for (BarButton tool : {BarButton::SystemOptimize, BarButton::ManageStartup}) {
    if (!Exists(tool)) continue;
    windows_.Free(tool);
    exists_[Index(tool)] = false;
    if (shown_ == tool) shown_ = BarButton::Scan;
  }
  // A kept window clicked again stays up rather than flickering.
  if (shown_ != BarButton::Scan && shown_ != button) windows_.Show(shown_, false);
  shown_ = BarButton::Scan;
  if (!IsToolButton(button)) return;
  if (!Exists(button)) exists_[Index(button)] = windows_.Create(button);
  if (!Exists(button)) return;
  windows_.Show(button, true);
  shown_ = button;
}

void TToolPages::AbortShown() {
  if (shown_ != BarButton::Scan) windows_.Abort(shown_);
}

}  // namespace tw
