// The skinned form's mouse and focus rules, without Win32: what is hovered,
// pressed, captured, dragged and focused, and what each mouse event makes
// happen. The form feeds it events with what lies under the pointer and
// carries out the steps it returns, in order.
#pragma once
#include <vector>

namespace ql {

// An element, as the form names it to these rules; null for none.
using ElementKey = const void*;

// What lies under a point of the form.
struct FormHit {
  ElementKey element = nullptr;  // the topmost element that takes the mouse
  bool enabled = false;          // that element takes input
  int captionButton = 0;         // caption-button bit, when no element is hit
  bool captionBand = false;      // the point is in the caption band
};

struct FormStep {
  enum Kind {
    PointerEntered,  // the pointer came into the window
    Enter,           // element: the pointer is over it now
    Leave,           // element: the pointer left it
    Move,            // element: the pointer moved over it (or while it holds the mouse)
    Focus,           // element: takes the keyboard focus (null: none)
    Press,           // element: left button down on it; it holds the mouse
    DoublePress,     // element: double-click on it; it holds the mouse
    RightPress,      // element: right button down on it
    Release,         // element: left button up; it no longer holds the mouse
    Click,           // element: pressed and released on it
    CaptureLost,     // element: lost the mouse without a release
    HoverButton,     // caption button `bit` lit (0: none)
    PressButton,     // caption button `bit` pressed; the form holds the mouse
    ReleaseButton,   // caption button `bit` let go
    CaptionAction,   // caption button `bit` clicked (or the band double-clicked: maximise)
    DragStart,       // the caption band was pressed: the form holds the mouse
    DragMove,        // move the window by (dx, dy) from where it was at DragStart
    DragEnd,         // the drag is over; `moved` whether the window moved
  };
  Kind kind;
  ElementKey element = nullptr;
  int bit = 0;
  int dx = 0, dy = 0;
  bool moved = false;
};

using FormSteps = std::vector<FormStep>;

class FormInput {
 public:
  // Points are screen points where dragging needs them, client points otherwise.
  FormSteps mouseMove(const FormHit& hit, int screenX, int screenY);
  FormSteps mouseLeave();
  FormSteps leftDown(const FormHit& hit, int screenX, int screenY, bool maximised);
  FormSteps leftUp(const FormHit& hit);
  FormSteps rightDown(const FormHit& hit);
  FormSteps doubleClick(const FormHit& hit, bool hasMaximiseButton);
  // Another window took the mouse.
  FormSteps captureLost();
  // The element left the form: nothing refers to it any more.
  FormSteps forget(ElementKey element);
  FormSteps setFocus(ElementKey element);
  // Back to the start (the window went).
  void reset();

  ElementKey hovered() const { return hovered_; }
  ElementKey captured() const { return captured_; }
  ElementKey focused() const { return focused_; }
  int hoveredButton() const { return hoveredButton_; }
  int pressedButton() const { return pressedButton_; }
  bool dragging() const { return dragging_; }

 private:
  void setHovered(FormSteps& steps, ElementKey element, int button);
  void focus(FormSteps& steps, ElementKey element);
  void endPress(FormSteps& steps);

  ElementKey hovered_ = nullptr, captured_ = nullptr, focused_ = nullptr;
  int hoveredButton_ = 0, pressedButton_ = 0;
  bool pointerInside_ = false;
  bool dragging_ = false, dragMoved_ = false;
  int dragStartX_ = 0, dragStartY_ = 0;
};

// A place the keyboard focus can go: an element or a child control, with its
// top-left corner in client pixels.
struct FocusStop {
  const void* target;
  int x, y;
};

// The stop after (or, going back, before) `current` in reading order (top to
// bottom, then left to right), wrapping around; the first (or last) when
// `current` is none of them; null when there are no stops.
const void* nextFocusStop(std::vector<FocusStop> stops, const void* current, bool forward);

}  // namespace ql
