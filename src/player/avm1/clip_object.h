// Movie clips as scripts see them: the script object of a running sprite,
// target paths, and the clip properties (_x, _alpha, _currentframe, ...).
#pragma once
#include <string>
#include <vector>

#include "player/avm1/machine.h"
#include "player/swf/types.h"

namespace player {
class SpriteInstance;
struct DisplayObject;
}

namespace avm1 {

struct Activation;

class ClipObject : public Object {
 public:
  ClipObject(Object* proto, player::SpriteInstance* sprite);
  ~ClipObject() override;

  // The running clip; null once it was removed and nothing took its place.
  player::SpriteInstance* sprite() const { return sprite_; }
  // The sprite is going away: the object keeps its path for later look-ups.
  void detach();
  // The clip is being removed: its path as it stood is kept.
  void rememberPath();
  // "_level0.a.b"; empty once the clip is gone.
  String targetPath() const;
  // The path the clip had when it was removed.
  const String& lastPath() const { return lastPath_; }

  void trace(Heap& heap) override;

 private:
  player::SpriteInstance* sprite_;
  mutable String lastPath_;
};


// --- target paths ---
// True when a variable name holds a path ("a.b", "/a:b", "a:b").
bool isPath(const String& name, int swfVersion);
// "a.b.c" → ("a.b", "c"); "/a/b:c" → ("/a/b", "c"); "/a/b" → ("/a/b", "").
void splitVariablePath(const String& path, String* objectPath, String* member);
// Follows a target path ("/a/b", "../c", "_root.a", "_level1", "this.a")
// from `start`. Undefined when any step is missing.
Value resolveTargetPath(Machine& m, Activation& a, Object* start, const String& path);
// -1, or N for "_levelN".
int levelNumber(const String& name);
Value levelValue(Machine& m, int level);
Value rootValue(Machine& m, Activation& a);
Value parentValue(Machine& m, Activation& a);
player::SpriteInstance* spriteOf(const Value& v);

// --- timelines ---
// The 0-based frame a script names: a number (1-based) or a label; -1 when none.
int frameIndex(Machine& m, player::SpriteInstance& sprite, const Value& frame);
void runFrameActions(Machine& m, player::SpriteInstance& sprite, int frame);
void duplicateClip(Machine& m, Activation& a, const String& source, const String& name, double depth);
// A copy of `s` beside it at `depth` (file numbering), with `init`'s
// properties; null when it cannot be made.
player::SpriteInstance* duplicateSprite(Machine& m, player::SpriteInstance& s, const std::string& name, int depth,
                                        Object* init);
// A clip a script just made: `init`'s properties, its class's constructor,
// then its first frame.
void initializeClip(Machine& m, player::SpriteInstance& clip, Object* init);
// A clip the timeline placed, of a class registered for its symbol: the
// class's prototype and constructor.
void constructClip(Machine& m, player::SpriteInstance& clip);
void removeClip(Machine& m, Object* clip);
// Whether the clip has code to run when it leaves the stage.
bool hasUnloadHandler(Machine& m, player::SpriteInstance& clip);
void startDrag(Machine& m, Object* clip, bool lockCenter, const double* box);
void getUrl(Machine& m, Activation& a, const String& url, const String& window, int flags);

// --- clip properties ---
// The index of a property name (_x 0, _y 1, ... _ymouse 21), -1 for others.
int propertyIndex(const String& name);
// The properties every display object has (_x, _y, _xscale, _yscale,
// _alpha, _visible, _width, _height, _rotation, _name), by index; `sprite`
// is the object's clip, null for other objects. False for other indexes.
bool getDisplayProperty(const player::SpriteInstance* sprite, player::DisplayObject& o, int index, Value* out);
bool setDisplayProperty(Machine& m, const player::SpriteInstance* sprite, player::DisplayObject& o, int index,
                        const Value& value);
Value getPropertyByIndex(Machine& m, Object* clip, int index);
void setPropertyByIndex(Machine& m, Object* clip, int index, const Value& value);
// _x, _y, ... by name; false when the name is not one of them.
bool getClipProperty(Machine& m, player::SpriteInstance& sprite, const String& name, Value* out);
bool setClipProperty(Machine& m, player::SpriteInstance& sprite, const String& name, const Value& value);
bool isClipProperty(const String& name);

// Properties clips answer for: their own variables first, then child
// clips by instance name, then _x, _parent and the like.
bool clipGetSpecial(Machine& m, ClipObject* clip, const String& name, Value* out);
bool clipSetSpecial(Machine& m, ClipObject* clip, const String& name, const Value& value);
bool clipHasSpecial(Machine& m, ClipObject* clip, const String& name);
void clipEnumerateSpecial(Machine& m, ClipObject* clip, std::vector<String>* names);

// Marks the script objects of every clip on the display list.
void markDisplayList(Machine& m, player::SpriteInstance& root);

}  // namespace avm1
