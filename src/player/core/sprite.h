// Running timelines: a sprite instance (the root is one too) with its
// display list, its current frame and its play state, and what every
// timeline of one player shares while frames run.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "player/core/movie.h"
#include "player/core/script_bitmap.h"
#include "player/core/sound_mixer.h"

namespace avm1 {
class ClipObject;
class Machine;
class Object;
}

namespace player {

class SpriteInstance;
class TextField;

// A placed video. Its frames are not decoded: it shows nothing, but scripts
// see it as an object of its own.
struct VideoDisplay {
  avm1::Object* scriptObject = nullptr;
};

// Shapes made by a clip's drawing methods (beginFill, lineTo, ...), drawn
// below its children.
struct Drawing {
  swf::ShapeDef shape;
  // The pen and the styles in use while a path is open.
  double penX = 0, penY = 0;
  bool filling = false;
  bool stroking = false;
  swf::FillStyle fill;
  swf::LineStyle line;
  std::vector<swf::Edge> fillPath;  // edges of the fill being drawn
  double pathStartX = 0, pathStartY = 0;
  size_t fillLayerAt = 0;                      // where the open fill's layer goes
  size_t strokeLayer = static_cast<size_t>(-1);  // the layer strokes go to now
  bool hasBounds = false;
};

struct DisplayObject {
  uint16_t characterId = 0;
  const CharacterDef* def = nullptr;
  swf::Matrix matrix;
  swf::ColorTransform colorTransform;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;
  std::string name;
  std::shared_ptr<const std::vector<swf::Filter>> filters;  // null: none
  swf::BlendMode blendMode = swf::BlendMode::Normal;
  bool visible = true;
  bool cacheAsBitmap = false;
  bool hasBackground = false;
  swf::Rgba background;
  std::shared_ptr<SpriteInstance> sprite;  // for sprite characters
  // A morph drawn at `morphRatio`, kept until the ratio changes.
  std::unique_ptr<swf::ShapeDef> morphShape;
  int morphRatio = -1;
  // The frame whose tag placed it (a later tag placing the same character
  // anew makes a new object).
  int placeFrame = -1;
  // Made by a script (or moved by one to a depth of its own): the timeline
  // neither moves nor removes it.
  bool placedByScript = false;
  // A script set its position, size or colour: timeline moves leave it be.
  bool transformedByScript = false;
  // Scale and rotation as scripts last set them (rotation in degrees), kept
  // apart from the matrix so that reading them back gives what was set.
  bool hasScriptTransform = false;
  double scaleX = 1, scaleY = 1, rotation = 0;
  // An edit text's own text and layout, made when first needed.
  std::shared_ptr<TextField> textField;
  // A placed video's own part, made with it.
  std::shared_ptr<VideoDisplay> video;
  // A character a script made (createTextField), which `def` points at.
  std::shared_ptr<const CharacterDef> scriptDef;
  // A bitmap a script attached (its def is of kind Bitmap), drawn smoothed
  // when scaled if `smoothing`.
  std::shared_ptr<const ScriptBitmap> scriptBitmap;
  bool smoothing = false;
};

// Clip events by their bit in the file's event flags.
enum ClipEvent : uint32_t {
  kEventLoad = 0x1,
  kEventEnterFrame = 0x2,
  kEventUnload = 0x4,
  kEventMouseMove = 0x8,
  kEventMouseDown = 0x10,
  kEventMouseUp = 0x20,
  kEventKeyDown = 0x40,
  kEventKeyUp = 0x80,
  kEventData = 0x100,
  kEventInitialize = 0x200,
  kEventPress = 0x400,
  kEventRelease = 0x800,
  kEventReleaseOutside = 0x1000,
  kEventRollOver = 0x2000,
  kEventRollOut = 0x4000,
  kEventDragOver = 0x8000,
  kEventDragOut = 0x10000,
  kEventKeyPress = 0x20000,
  kEventConstruct = 0x40000,
};

// Action blocks wait here until the scripts of a frame run. Higher
// priorities run first: init actions, then clip initialisation and
// construction, then frame scripts and events in the order queued.
enum class ActionPriority : uint8_t { Normal = 0, Construct = 1, Initialize = 2, InitActions = 3 };
constexpr int kActionPriorities = 4;

struct QueuedAction {
  std::shared_ptr<SpriteInstance> target;
  std::shared_ptr<const ActionCode> code;  // a block to run, or
  uint32_t event = 0;                      // a clip event to dispatch
  bool evenIfRemoved = false;              // unload handlers of removed clips
};

// What every timeline of one player shares while frames run.
struct RunContext {
  const Movie* movie = nullptr;
  // Null when the movie's scripts are not run (ActionScript 3 movies).
  avm1::Machine* machine = nullptr;
  std::deque<QueuedAction> queue[kActionPriorities];
  // The clip whose queued block or event runs now (it stays reachable).
  SpriteInstance* running = nullptr;
  // Every clip made, oldest first; frames run newest first.
  std::vector<std::weak_ptr<SpriteInstance>> executionList;
  // Sprites whose DoInitAction blocks have run.
  std::set<uint16_t> initialized;
  uint32_t tick = 0;
  // The input field with the keyboard focus, by its timeline; gone with it.
  struct TextFocus {
    std::weak_ptr<SpriteInstance> parent;
    std::weak_ptr<TextField> field;
  } focus;
  // Names of clips placed without one ("instance1", ...).
  uint32_t instanceCounter = 0;
  // Live display objects; placements beyond the limit are dropped so that a
  // sprite placing itself cannot grow without end.
  int64_t objects = 0;
  static constexpr int64_t kMaxObjects = 20000;
  // Frames and commands replayed by gotos in this tick; scripts that jump
  // back and forth through long timelines stop moving past the limit.
  int64_t work = 0;
  static constexpr int64_t kMaxWorkPerTick = 2000000;
  static constexpr int kMaxNesting = 32;

  void enqueue(ActionPriority priority, QueuedAction action) {
    queue[static_cast<int>(priority)].push_back(std::move(action));
  }
};

class SpriteInstance : public std::enable_shared_from_this<SpriteInstance> {
 public:
  SpriteInstance(const TimelineDef* timeline, int nesting, RunContext* context);
  ~SpriteInstance();
  SpriteInstance(const SpriteInstance&) = delete;
  SpriteInstance& operator=(const SpriteInstance&) = delete;

  // Index of the frame shown, -1 before the first.
  int currentFrame() const { return frame_; }
  // The furthest frame the timeline has been on (from 0).
  int furthestFrame() const { return furthestFrame_; }
  int frameCount() const { return static_cast<int>(timeline_->frames.size()); }
  // A clip made empty by script, with no timeline of its own.
  bool isEmptyClip() const;
  bool playing() const { return playing_; }
  const TimelineDef& timeline() const { return *timeline_; }
  const std::map<int, DisplayObject>& children() const { return children_; }
  std::map<int, DisplayObject>& children() { return children_; }
  RunContext& context() const { return *context_; }

  // One tick of this timeline alone: it moves on when playing (the last
  // frame loops to the first). Sprites within run their own ticks.
  void tick();
  // Shows `frame` (0-based, clamped): the display list becomes what the
  // timeline defines there, objects that stay keep running, and the frame's
  // actions are queued.
  void gotoFrame(int frame);
  void play() { playing_ = true; }
  void stop() { playing_ = false; }

  // --- the display tree ---
  SpriteInstance* parent() const { return parent_; }
  // Where the variables of fields placed in this clip live: the clip
  // itself, or for a button (not a timeline of its own to scripts) the
  // nearest clip holding it.
  SpriteInstance& variableScope();
  // Depth in the parent's list (SWF numbering: scripts see it less 16384).
  int depth() const { return depth_; }
  // This clip's entry in its parent's display list, or the one it keeps for
  // itself (the root, removed clips); null only for clips being made.
  DisplayObject* displayObject() const;
  // The instance name, empty for the root.
  const std::string& name() const;
  bool removed() const { return removed_; }
  // _lockroot: _root in code on this clip and its children means this clip.
  bool lockRoot() const { return lockRoot_; }
  void setLockRoot(bool on) { lockRoot_ = on; }
  // Taken off the timeline with an unload handler to run: it (with what it
  // holds) stays on the stage below every depth (-1 - its depth) until the
  // next frame, running nothing but its unload handlers.
  bool awaitingUnload() const { return awaitingUnload_; }
  // Its unload event has been dispatched: scripts see nothing of it now.
  bool unloaded() const { return unloaded_; }
  void setUnloaded() { unloaded_ = true; }
  // The child a script names: the first at the lowest depth with that
  // instance name, null when none.
  DisplayObject* namedChild(const std::string& name, bool caseSensitive);
  // The character this clip was made from (0 for empty clips and the root).
  uint16_t characterId() const;

  // --- made and removed by scripts ---
  // Places a new clip of a sprite or button character (or an empty one, for
  // a null timeline) at `depth`, replacing what is there. Null when not possible.
  SpriteInstance* createChild(int depth, uint16_t characterId, const TimelineDef* timeline,
                              const std::string& name);
  // Places a character a script made (a text field) at `depth`, replacing
  // what is there. Null when not possible.
  DisplayObject* createScriptObject(int depth, std::shared_ptr<const CharacterDef> def, const std::string& name,
                                    const swf::Matrix& matrix);
  // Removes the object at `depth`, with unload events for clips.
  void removeChild(int depth);
  // Moves the object at `from` to `to`, swapping with what is there.
  void swapChildren(int from, int to);

  // --- scripts ---
  avm1::ClipObject* scriptObject() const { return scriptObject_; }
  void setScriptObject(avm1::ClipObject* o) { scriptObject_ = o; }
  // The clip events placed with this clip.
  const std::vector<ClipAction>* clipActions() const { return clipActions_.get(); }
  void setClipActions(std::shared_ptr<const std::vector<ClipAction>> actions) { clipActions_ = std::move(actions); }
  // Volume and pan of this clip's sounds (Sound objects set them).
  SoundTransform& soundTransform() { return soundTransform_; }
  Drawing* drawing() const { return drawing_.get(); }
  Drawing& drawingForScript();
  void clearDrawing() { drawing_.reset(); }
  // setMask: the clip whose shapes show this one (null for none), and the
  // clip this one shows through (a mask is not drawn itself).
  SpriteInstance* mask() const { return mask_.lock().get(); }
  SpriteInstance* masked() const { return masked_.lock().get(); }
  void setMask(SpriteInstance* mask);
  // setMask with a text field: `field`, placed in `holder`'s list, whose
  // glyphs show this clip. The field's entry there (null when it is gone),
  // its holder to *holder.
  void setMaskField(SpriteInstance& holder, const std::shared_ptr<TextField>& field);
  DisplayObject* maskField(SpriteInstance** holder) const;
  // From this clip's own coordinates to the stage's (twips), through every
  // parent's transform and the root's own.
  swf::Matrix worldMatrix() const;
  // Whether a frame of this clip has been shown since it was made.
  bool loaded() const { return loaded_; }
  void setLoaded() { loaded_ = true; }

  // The display list rules: a clip shows frame 1 when placed, and its events
  // and frame scripts are queued as the reference player orders them. Clips
  // made by scripts have been constructed already.
  void placed(bool byScript = false);

 private:
  struct Placement;
  void applyFrame(int frame, std::map<int, Placement>* state);
  // What a PlaceObject tag sets, over what the placement had.
  static void applyCommand(Placement* target, const PlaceCommand& p);
  void runFrameTags(int frame);
  void createObject(int depth, const Placement& p);
  void removeAt(std::map<int, DisplayObject>::iterator it);
  static void applyPlacement(DisplayObject& o, const Placement& p);
  void queueInitActions(int frame);
  void markRemoved();
  void keepUntilUnloaded(std::map<int, DisplayObject>::iterator it);
  void queueUnload();

  const TimelineDef* timeline_;
  int nesting_;
  RunContext* context_;
  int frame_ = -1;
  bool playing_ = true;
  bool removed_ = false;
  bool unloaded_ = false;
  bool awaitingUnload_ = false;
  bool unloadQueued_ = false;
  bool lockRoot_ = false;
  bool loaded_ = false;
  int furthestFrame_ = 0;
  SpriteInstance* parent_ = nullptr;
  int depth_ = 0;
  DisplayObject* entry_ = nullptr;  // in the parent's list (map nodes stay put)
  std::map<int, DisplayObject> children_;
  avm1::ClipObject* scriptObject_ = nullptr;
  std::shared_ptr<const std::vector<ClipAction>> clipActions_;
  std::unique_ptr<Drawing> drawing_;
  std::weak_ptr<SpriteInstance> mask_, masked_;
  std::weak_ptr<SpriteInstance> maskFieldHolder_;
  std::weak_ptr<TextField> maskField_;
  SoundTransform soundTransform_;
  // This clip's entry when no parent holds it: the root's, or a removed
  // clip's last one (for the scripts that still look at it).
  std::unique_ptr<DisplayObject> own_;
};

}  // namespace player
