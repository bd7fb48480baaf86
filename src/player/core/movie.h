// A parsed movie: its header, its dictionary of characters and the root
// timeline, all immutable once loaded and shared by every instance.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "player/avm1/code.h"
#include "player/swf/bitmap.h"
#include "player/swf/button.h"
#include "player/swf/display.h"
#include "player/swf/shape.h"
#include "player/swf/sound.h"
#include "player/swf/swf_file.h"
#include "player/swf/text.h"
#include "player/swf/types.h"
#include "player/swf/video.h"
#include "player/text/font_face.h"

namespace player {

using ActionCode = avm1::Code;

// onClipEvent handlers placed with a clip: the events they answer (ClipEvent
// bits), the key of a keyPress event, and the code.
struct ClipAction {
  uint32_t events = 0;
  uint8_t keyCode = 0;
  std::shared_ptr<const ActionCode> code;
};

// One PlaceObject 1/2/3 record. Fields without their flag are left alone
// (move) or take defaults (new placement).
struct PlaceCommand {
  uint16_t depth = 0;
  bool move = false;
  bool hasCharacter = false;
  uint16_t characterId = 0;
  bool hasMatrix = false;
  swf::Matrix matrix;
  bool hasColorTransform = false;
  swf::ColorTransform colorTransform;
  bool hasRatio = false;
  uint16_t ratio = 0;
  bool hasName = false;
  std::string name;
  bool hasClipDepth = false;
  uint16_t clipDepth = 0;
  // PlaceObject3. Filters are shared by every placement made from them.
  bool hasFilters = false;
  std::shared_ptr<const std::vector<swf::Filter>> filters;
  bool hasBlendMode = false;
  swf::BlendMode blendMode = swf::BlendMode::Normal;
  bool hasVisible = false;
  bool visible = true;
  bool hasCacheAsBitmap = false;
  bool cacheAsBitmap = false;
  bool hasBackground = false;  // an opaque background behind the object
  swf::Rgba background;
  std::shared_ptr<const std::vector<ClipAction>> clipActions;  // null: none
};

struct FrameCommand {
  bool remove = false;  // RemoveObject 1/2: only place.depth is used
  int action = -1;      // DoAction: index in the frame's actions, nothing else used
  PlaceCommand place;
};

// StartSound and StartSound2: an event sound started or stopped.
struct FrameSound {
  uint16_t soundId = 0;
  swf::SoundInfo info;
};

struct FrameDef {
  // Placements, removals and DoAction blocks in the order of their tags.
  std::vector<FrameCommand> commands;
  std::vector<std::shared_ptr<const ActionCode>> actions;  // DoAction blocks, in order
  // DoInitAction blocks: the sprite each belongs to and its code.
  std::vector<std::pair<uint16_t, std::shared_ptr<const ActionCode>>> initActions;
  std::vector<FrameSound> sounds;
  // This frame's SoundStreamBlock of the timeline's stream, if any.
  std::vector<uint8_t> streamBlock;
};

struct TimelineDef {
  std::vector<FrameDef> frames;  // at least one
  // SoundStreamHead: the timeline streams sound in its frames.
  bool hasStream = false;
  swf::StreamHead stream;
  std::vector<std::pair<std::string, int>> labels;  // name → frame index
  size_t byteSize = 0;  // of the sprite's tags, as a clip's getBytesTotal reports
  bool loops = true;    // false: the playhead stays on the last frame
  // Frame index of a label (case-insensitive, as AVM1 compares them), or -1.
  int findLabel(const std::string& name) const;
};

// A button's timeline has one frame per state shown: up, over, down.
enum class CharacterKind : uint8_t { Shape, Morph, Sprite, Bitmap, StaticText, EditText, Button, Video };

struct CharacterDef {
  CharacterKind kind = CharacterKind::Shape;
  swf::ShapeDef shape;
  std::unique_ptr<swf::MorphShapeDef> morph;
  std::unique_ptr<TimelineDef> timeline;
  std::unique_ptr<swf::Bitmap> bitmap;
  std::unique_ptr<swf::StaticTextDef> staticText;
  std::unique_ptr<swf::EditTextDef> editText;
  std::unique_ptr<swf::ButtonDef> button;
  std::unique_ptr<swf::VideoStreamDef> video;
};

struct Movie {
  swf::MovieHeader header;
  uint32_t backgroundColor = 0xFFFFFF;  // 0xRRGGBB
  std::unordered_map<uint16_t, std::unique_ptr<CharacterDef>> dictionary;
  TimelineDef root;
  // ExportAssets names (attachMovie) → character id.
  std::vector<std::pair<std::string, uint16_t>> exports;
  // The root frame each of `exports` comes with: scripts see a name once the
  // root has played that far.
  std::vector<int> exportFrames;
  // Bytes of the movie file uncompressed, as getBytesTotal reports them.
  size_t fileSize = 0;
  // The movie declares ActionScript 3: its timeline plays without scripts.
  bool actionScript3 = false;
  // Character id of an export name (case-insensitive), or 0.
  uint16_t exportedId(const std::string& name) const;
  // The root frame (from 0) an export name comes with, or -1.
  int exportFrame(const std::string& name) const;
  // Fonts and sounds share the characters' ids but are not placed.
  std::unordered_map<uint16_t, std::unique_ptr<text::EmbeddedFont>> fonts;
  std::unordered_map<uint16_t, std::shared_ptr<const swf::SoundDef>> sounds;

  const CharacterDef* character(uint16_t id) const {
    auto it = dictionary.find(id);
    return it == dictionary.end() ? nullptr : it->second.get();
  }
  text::EmbeddedFont* font(uint16_t id) const {
    auto it = fonts.find(id);
    return it == fonts.end() ? nullptr : it->second.get();
  }
  // An embedded font by face name (as UTF-8) and style; one of another style
  // when that is all there is. Null when the movie has none of that name.
  text::EmbeddedFont* fontNamed(const std::string& name, bool bold, bool italic) const;
};

// Parses the tags of an opened file. Damaged tags are skipped; what could be
// read is kept. False only when the file is not a movie at all.
bool parseMovie(const uint8_t* data, size_t size, Movie* movie);

}  // namespace player
