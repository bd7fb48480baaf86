// The running movie: its root timeline, its script machine, the order in
// which the timelines, events and scripts of a frame run, and the mouse and
// keys that scripts hear of.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "player/core/clock.h"
#include "player/core/movie.h"
#include "player/core/sprite.h"

namespace avm1 {
class Machine;
class Value;
}
namespace sound {
class Mixer;
}
namespace text {
class DeviceFonts;
}

namespace player {

// What the host lends the engine; the fonts and the mixer must outlive the
// players given them.
struct PlayerServices {
  text::DeviceFonts* deviceFonts = nullptr;  // none: device text is not drawn
  sound::Mixer* mixer = nullptr;             // none: sounds are not played
  // Where trace() lines go (UTF-8, one call per line); none: dropped.
  std::function<void(const std::string&)> trace;
  // The clock scripts read; none: the computer's clock.
  std::shared_ptr<Clock> clock;
  // Code page of the text in SWF 5 and older movies; 0: the system's.
  unsigned codePage = 0;
  // The movie's address as _url reports it ("file:///...").
  std::string url;
  // Seeds Math.random; 0: from the clock.
  uint32_t randomSeed = 0;
};

class Stage {
 public:
  // `sounds` plays what Sound objects start; null: they are silent.
  Stage(const Movie& movie, const PlayerServices& services, SoundMixer* sounds);
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  // Runs one frame: the first call shows frame 1; later ones run the clips'
  // enterFrame events and timelines, newest clip first, then the scripts
  // they queued, then the intervals that are due.
  void advanceFrame();
  SpriteInstance& root() { return *root_; }
  // Null when the movie's scripts are not run.
  avm1::Machine* machine() { return machine_.get(); }
  RunContext& context() { return context_; }

  // --- input, in stage pixels (the stage's own coordinates) ---
  // Each returns true when a script heard of it (or a dragged clip moved).
  bool mouseMove(double x, double y);
  bool mouseButton(bool down);
  // A key went down or up: its Windows virtual-key code and the character
  // it types (0 for none).
  bool key(bool down, int keyCode, int charCode);
  // Mouse.hide() asked for the pointer to be hidden over the movie.
  bool mouseHidden() const;

  // --- typing into input fields ---
  // The primary button went down at a stage point (twips): an input field
  // there takes the focus with the caret at that point (with Shift, the
  // selection reaches there); elsewhere, the focus goes. True when the
  // focus or caret moved.
  bool pressAt(double x, double y);
  // The pointer moved with the button held since a press in a field: the
  // selection runs from the press to here. The release ends it.
  bool dragSelect(double x, double y);
  void releasePress() { selecting_ = false; }
  // A UTF-16 unit typed (WM_CHAR); a surrogate pair comes as two calls.
  // The editing keys act through `key`.
  bool typeUnit(char16_t unit);
  // Whether an input field has the keyboard focus.
  bool textFocused();
  // Before drawing: the focused field's caret, on for 500 ms, off for 500,
  // and on again after each edit.
  void showCaret();

  // --- for buttons, edit text and other display objects ---
  // Runs an action block (a button's actions, say) on `clip`'s timeline now,
  // with the scripts it queues. The code must live as long as the movie.
  void runActions(SpriteInstance& clip, const std::vector<uint8_t>& code);
  // Whether `clip` answers the pointer as a button does: it has handlers
  // for presses or roll-overs (onPress, on (release), ...).
  bool clipTakesPointer(SpriteInstance& clip);
  // Dispatches a clip event (ClipEvent bit) to `clip`: its onClipEvent
  // blocks, then its handler property (onPress, onRelease, ...).
  void clipEvent(SpriteInstance& clip, uint32_t event);
  // A variable by target path ("score", "_root.score", "/clip:name"),
  // starting from `base`, as edit text bound to a variable reads and writes
  // it; the text is UTF-8. False when there is no such variable.
  bool getVariableText(SpriteInstance& base, const std::string& path, std::string* text);
  void setVariableText(SpriteInstance& base, const std::string& path, const std::string& text);

 private:
  void runQueuedActions();
  void broadcastClipEvent(uint32_t event);
  // After a user's edit: the bound variable takes the text, then onChanged.
  void fieldEdited(SpriteInstance& parent, DisplayObject& object);

  const Movie& movie_;
  std::shared_ptr<Clock> clock_;
  // Button action blocks made ready to run, by where their bytes are.
  std::unordered_map<const std::vector<uint8_t>*, std::shared_ptr<const ActionCode>> codes_;
  RunContext context_;
  std::unique_ptr<avm1::Machine> machine_;
  std::shared_ptr<SpriteInstance> root_;
  bool started_ = false;
  uint32_t randomState_;
  char16_t pendingHigh_ = 0;  // the first half of a typed surrogate pair
  bool selecting_ = false;    // the button is held since a press in a field
  swf::Matrix selectingToLocal_;
  double caretSince_ = 0;     // clock milliseconds when the caret last moved
};

}  // namespace player
