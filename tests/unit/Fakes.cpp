#include "Fakes.h"

#include "window/Layout.h"

namespace ravlin {

FakeWindow::FakeWindow() {
  toolkit.form = &form;
  for (const ControlSpec& spec : kLayout) {
    std::string name = spec.name;
    if (spec.index >= 0) name += "(" + std::to_string(spec.index) + ")";
    auto view = std::make_unique<FakeView>(log, name);
    form.ControlById(spec.id).Attach(view.get());
    views[spec.id] = std::move(view);
  }
}

}  // namespace ravlin
