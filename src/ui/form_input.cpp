#include "ui/form_input.h"

#include <algorithm>

#include "ui/caption_buttons.h"

namespace ql {

namespace {

FormStep step(FormStep::Kind kind, ElementKey element = nullptr, int bit = 0) {
  FormStep s{kind};
  s.element = element;
  s.bit = bit;
  return s;
}

}  // namespace

void FormInput::setHovered(FormSteps& steps, ElementKey element, int button) {
  if (element != hovered_) {
    ElementKey old = hovered_;
    hovered_ = element;
    if (old) steps.push_back(step(FormStep::Leave, old));
    if (element) steps.push_back(step(FormStep::Enter, element));
  }
  if (button != hoveredButton_) {
    hoveredButton_ = button;
    steps.push_back(step(FormStep::HoverButton, nullptr, button));
  }
}

void FormInput::focus(FormSteps& steps, ElementKey element) {
  if (element == focused_) return;
  focused_ = element;
  steps.push_back(step(FormStep::Focus, element));
}

void FormInput::endPress(FormSteps& steps) {
  if (dragging_) {
    dragging_ = false;
    FormStep end = step(FormStep::DragEnd);
    end.moved = dragMoved_;
    steps.push_back(end);
  }
  if (pressedButton_) {
    steps.push_back(step(FormStep::ReleaseButton, nullptr, pressedButton_));
    pressedButton_ = 0;
  }
  if (captured_) {
    steps.push_back(step(FormStep::CaptureLost, captured_));
    captured_ = nullptr;
  }
}

FormSteps FormInput::mouseMove(const FormHit& hit, int screenX, int screenY) {
  FormSteps steps;
  if (!pointerInside_) {
    pointerInside_ = true;
    steps.push_back(step(FormStep::PointerEntered));
  }
  if (dragging_) {
    int dx = screenX - dragStartX_, dy = screenY - dragStartY_;
    if (!dragMoved_ && dx == 0 && dy == 0) return steps;
    dragMoved_ = true;
    FormStep move = step(FormStep::DragMove);
    move.dx = dx;
    move.dy = dy;
    steps.push_back(move);
    return steps;
  }
  if (captured_) {
    steps.push_back(step(FormStep::Move, captured_));
    bool inside = hit.element == captured_;
    if (inside != (hovered_ == captured_)) setHovered(steps, inside ? captured_ : nullptr, 0);
    return steps;
  }
  int button = hit.element ? 0 : hit.captionButton;
  if (pressedButton_ && button != pressedButton_) button = 0;  // only the pressed one lights up
  setHovered(steps, hit.element, button);
  if (hit.element) steps.push_back(step(FormStep::Move, hit.element));
  return steps;
}

FormSteps FormInput::mouseLeave() {
  FormSteps steps;
  pointerInside_ = false;
  if (!captured_ && !dragging_)
    setHovered(steps, nullptr, 0);
  else
    setHovered(steps, hovered_, 0);
  return steps;
}

FormSteps FormInput::leftDown(const FormHit& hit, int screenX, int screenY, bool maximised) {
  FormSteps steps;
  endPress(steps);
  if (hit.element) {
    // A disabled element takes neither the press nor the focus.
    if (!hit.enabled) return steps;
    focus(steps, hit.element);
    setHovered(steps, hit.element, 0);
    captured_ = hit.element;
    steps.push_back(step(FormStep::Press, hit.element));
  } else if (hit.captionButton) {
    pressedButton_ = hit.captionButton;
    setHovered(steps, nullptr, hit.captionButton);
    steps.push_back(step(FormStep::PressButton, nullptr, hit.captionButton));
  } else if (hit.captionBand && !maximised) {
    dragging_ = true;
    dragMoved_ = false;
    dragStartX_ = screenX;
    dragStartY_ = screenY;
    steps.push_back(step(FormStep::DragStart));
  }
  return steps;
}

FormSteps FormInput::leftUp(const FormHit& hit) {
  FormSteps steps;
  if (dragging_) {
    endPress(steps);
    return steps;
  }
  if (int bit = pressedButton_) {
    pressedButton_ = 0;
    steps.push_back(step(FormStep::ReleaseButton, nullptr, bit));
    if (!hit.element && hit.captionButton == bit)
      steps.push_back(step(FormStep::CaptionAction, nullptr, bit));
    return steps;
  }
  if (ElementKey element = captured_) {
    captured_ = nullptr;
    steps.push_back(step(FormStep::Release, element));
    if (hit.element == element && hit.enabled) steps.push_back(step(FormStep::Click, element));
  }
  return steps;
}

FormSteps FormInput::rightDown(const FormHit& hit) {
  FormSteps steps;
  if (!hit.element || !hit.enabled) return steps;
  focus(steps, hit.element);
  steps.push_back(step(FormStep::RightPress, hit.element));
  return steps;
}

FormSteps FormInput::doubleClick(const FormHit& hit, bool hasMaximiseButton) {
  FormSteps steps;
  endPress(steps);
  if (hit.element) {
    if (!hit.enabled) return steps;
    focus(steps, hit.element);
    captured_ = hit.element;
    steps.push_back(step(FormStep::DoublePress, hit.element));
  } else if (hit.captionButton) {
    // A quick second click on a caption button is a click like the first.
    pressedButton_ = hit.captionButton;
    steps.push_back(step(FormStep::PressButton, nullptr, hit.captionButton));
  } else if (hasMaximiseButton && hit.captionBand) {
    steps.push_back(step(FormStep::CaptionAction, nullptr, kCaptionMaximise));
  }
  return steps;
}

FormSteps FormInput::captureLost() {
  FormSteps steps;
  endPress(steps);
  return steps;
}

FormSteps FormInput::forget(ElementKey element) {
  FormSteps steps;
  if (!element) return steps;
  if (hovered_ == element) hovered_ = nullptr;
  if (focused_ == element) focused_ = nullptr;
  if (captured_ == element) {
    captured_ = nullptr;
    steps.push_back(step(FormStep::Release, element));
  }
  return steps;
}

FormSteps FormInput::setFocus(ElementKey element) {
  FormSteps steps;
  focus(steps, element);
  return steps;
}

void FormInput::reset() { *this = FormInput(); }

const void* nextFocusStop(std::vector<FocusStop> stops, const void* current, bool forward) {
  if (stops.empty()) return nullptr;
  std::stable_sort(stops.begin(), stops.end(), [](const FocusStop& a, const FocusStop& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  auto at = std::find_if(stops.begin(), stops.end(),
                         [&](const FocusStop& stop) { return stop.target == current; });
  if (at == stops.end()) return forward ? stops.front().target : stops.back().target;
  size_t index = size_t(at - stops.begin());
  size_t count = stops.size();
  return stops[forward ? (index + 1) % count : (index + count - 1) % count].target;
}

}  // namespace ql
