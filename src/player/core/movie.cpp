#include "player/core/movie.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "player/swf/bit_reader.h"
#include "player/text/encoding.h"

namespace player {

namespace {

// All decoded bitmaps of one movie together stay below this many pixels.
constexpr int64_t kMaxMoviePixels = int64_t(64) << 20;

std::string lowercase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// ExportAssets and SymbolClass: a count of ids, each with its name.
std::vector<std::pair<std::string, uint16_t>> namedIds(const swf::Tag& tag) {
  std::vector<std::pair<std::string, uint16_t>> out;
  swf::BitReader r(tag.data, tag.size);
  int count = r.u16();
  for (int i = 0; i < count && !r.failed(); ++i) {
    uint16_t id = r.u16();
    std::string name = r.cstring();
    if (!r.failed()) out.emplace_back(std::move(name), id);
  }
  return out;
}

// onClipEvent blocks after a PlaceObject2/3 record: event flags are 16 bits
// before SWF 6 and 32 bits after.
void readClipActions(swf::BitReader& r, int swfVersion, PlaceCommand* p) {
  r.u16();  // reserved
  bool wide = swfVersion >= 6;
  // All events together: an event missing here fires for no record.
  uint32_t all = wide ? r.u32() : r.u16();
  auto actions = std::make_shared<std::vector<ClipAction>>();
  while (!r.failed() && !r.atEnd()) {
    uint32_t events = wide ? r.u32() : r.u16();
    if (events == 0 || r.failed()) break;
    uint32_t size = r.u32();
    ClipAction a;
    a.events = events & all;
    if (events & 0x20000) {  // keyPress: a key code comes first
      a.keyCode = r.u8();
      if (size > 0) --size;
    }
    if (r.failed() || size > r.remaining()) break;
    auto code = std::make_shared<ActionCode>();
    code->bytes.assign(r.current(), r.current() + size);
    code->swfVersion = swfVersion;
    a.code = std::move(code);
    r.skip(size);
    if (a.events) actions->push_back(std::move(a));
  }
  if (!actions->empty()) p->clipActions = std::move(actions);
}

bool readPlaceObject(const swf::Tag& tag, int swfVersion, PlaceCommand* p) {
  swf::BitReader r(tag.data, tag.size);
  if (tag.code == swf::kPlaceObject) {
    p->hasCharacter = true;
    p->characterId = r.u16();
    p->depth = r.u16();
    p->hasMatrix = true;
    p->matrix = r.matrix();
    if (r.failed()) return false;
    if (!r.atEnd()) {
      p->colorTransform = r.colorTransform(false);
      p->hasColorTransform = !r.failed();
    }
    return true;
  }
  uint8_t flags = r.u8();
  uint8_t flags3 = 0;
  if (tag.code == swf::kPlaceObject3) flags3 = r.u8();
  p->depth = r.u16();
  // PlaceObject3 names a class to instantiate, or the class of an image.
  if (tag.code == swf::kPlaceObject3 && ((flags3 & 0x08) || ((flags3 & 0x10) && (flags & 0x02))))
    r.cstring();
  p->move = flags & 0x01;
  p->hasCharacter = flags & 0x02;
  if (p->hasCharacter) p->characterId = r.u16();
  if (flags & 0x04) {
    p->hasMatrix = true;
    p->matrix = r.matrix();
  }
  if (flags & 0x08) {
    p->hasColorTransform = true;
    p->colorTransform = r.colorTransform(true);
  }
  if (flags & 0x10) {
    p->hasRatio = true;
    p->ratio = r.u16();
  }
  if (flags & 0x20) {
    p->hasName = true;
    p->name = r.cstring();
  }
  if (flags & 0x40) {
    p->hasClipDepth = true;
    p->clipDepth = r.u16();
  }
  if (r.failed()) return false;
  if (flags3 & 0x01) {
    auto filters = std::make_shared<std::vector<swf::Filter>>();
    // A list that cannot be read leaves the fields after it unreadable too.
    if (!swf::readFilterList(r, filters.get())) return true;
    p->hasFilters = true;
    if (!filters->empty()) p->filters = std::move(filters);
  }
  if (flags3 & 0x02) {
    p->hasBlendMode = true;
    p->blendMode = swf::blendModeFromFile(r.u8());
  }
  if (flags3 & 0x04) {
    uint8_t cache = r.u8();
    if (!r.failed()) {
      p->hasCacheAsBitmap = true;
      p->cacheAsBitmap = cache != 0;
    }
  }
  if (flags3 & 0x20) {
    uint8_t visible = r.u8();
    if (!r.failed()) {
      p->hasVisible = true;
      p->visible = visible != 0;
    }
  }
  if (flags3 & 0x40) {
    swf::Rgba c = r.rgba();
    if (!r.failed()) {
      p->hasBackground = true;
      p->background = c;
      p->background.a = 255;
    }
  }
  if ((flags & 0x80) && !r.failed()) readClipActions(r, swfVersion, p);
  return true;
}

class MovieParser {
 public:
  explicit MovieParser(Movie* movie) : movie_(movie) {}

  // Fonts are complete once every DefineFontInfo is read.
  void finishFonts() {
    for (auto& entry : fonts_)
      movie_->fonts[entry.first] = std::make_unique<text::EmbeddedFont>(std::move(entry.second), movie_->header.version);
    fonts_.clear();
  }

  // A button's states as frames of a timeline (up, over, down), made once
  // DefineButtonCxform has given the records their colours.
  void finishButtons() {
    for (uint16_t id : buttons_) {
      CharacterDef& def = *movie_->dictionary[id];
      def.timeline = std::make_unique<TimelineDef>();
      for (uint8_t state : {swf::kStateUp, swf::kStateOver, swf::kStateDown}) {
        FrameDef frame;
        for (const swf::ButtonRecord& b : def.button->records) {
          if (!(b.states & state)) continue;
          FrameCommand c;
          PlaceCommand& p = c.place;
          p.depth = b.depth;
          p.hasCharacter = true;
          p.characterId = b.characterId;
          p.hasMatrix = true;
          p.matrix = b.matrix;
          p.hasColorTransform = true;
          p.colorTransform = b.colorTransform;
          p.hasFilters = b.filters != nullptr;
          p.filters = b.filters;
          p.hasBlendMode = true;
          p.blendMode = b.blendMode;
          frame.commands.push_back(std::move(c));
        }
        def.timeline->frames.push_back(std::move(frame));
      }
    }
    buttons_.clear();
  }

  void parseTimeline(const uint8_t* data, size_t size, TimelineDef* timeline, bool isRoot) {
    swf::TagReader tags(data, size);
    swf::Tag tag;
    FrameDef frame;
    bool frameHasContent = false;
    bool ended = false;
    while (tags.next(&tag)) {
      if (tag.code == swf::kEnd) {
        ended = true;
        break;
      }
      switch (tag.code) {
        case swf::kShowFrame:
          timeline->frames.push_back(std::move(frame));
          frame = FrameDef();
          frameHasContent = false;
          break;
        case swf::kPlaceObject:
        case swf::kPlaceObject2:
        case swf::kPlaceObject3: {
          FrameCommand c;
          if (readPlaceObject(tag, movie_->header.version, &c.place)) {
            frame.commands.push_back(std::move(c));
            frameHasContent = true;
          }
          break;
        }
        case swf::kRemoveObject:
        case swf::kRemoveObject2: {
          swf::BitReader r(tag.data, tag.size);
          if (tag.code == swf::kRemoveObject) r.u16();
          FrameCommand c;
          c.remove = true;
          c.place.depth = r.u16();
          if (!r.failed()) {
            frame.commands.push_back(c);
            frameHasContent = true;
          }
          break;
        }
        case swf::kDoAction: {
          FrameCommand c;
          c.action = static_cast<int>(frame.actions.size());
          frame.actions.push_back(code(tag.data, tag.size));
          frame.commands.push_back(std::move(c));
          frameHasContent = true;
          break;
        }
        case swf::kDoInitAction: {
          swf::BitReader r(tag.data, tag.size);
          uint16_t sprite = r.u16();
          if (r.failed()) break;
          frame.initActions.emplace_back(sprite, code(r.current(), r.remaining()));
          frameHasContent = true;
          break;
        }
        case swf::kStartSound:
        case swf::kStartSound2: {
          FrameSound sound;
          bool ok = false;
          if (tag.code == swf::kStartSound) {
            ok = swf::parseStartSound(tag.data, tag.size, &sound.soundId, &sound.info);
          } else {
            std::string name;
            ok = swf::parseStartSound2(tag.data, tag.size, &name, &sound.info) && symbols_.count(name);
            if (ok) sound.soundId = symbols_[name];
          }
          if (ok) {
            frame.sounds.push_back(std::move(sound));
            frameHasContent = true;
          }
          break;
        }
        case swf::kSoundStreamHead:
        case swf::kSoundStreamHead2:
          timeline->hasStream = swf::parseStreamHead(tag.data, tag.size, &timeline->stream);
          break;
        case swf::kSoundStreamBlock:
          frame.streamBlock.assign(tag.data, tag.data + tag.size);
          frameHasContent = true;
          break;
        case swf::kFrameLabel: {
          swf::BitReader r(tag.data, tag.size);
          std::string name = r.cstring();
          timeline->labels.emplace_back(lowercase(name), static_cast<int>(timeline->frames.size()));
          break;
        }
        case swf::kDefineSprite:
          // Definitions belong to the root; a sprite inside a sprite is ignored.
          if (isRoot) defineSprite(tag);
          break;
        default:
          if (isRoot) {
            rootFrame_ = static_cast<int>(timeline->frames.size());
            defineCharacter(tag);
          }
          break;
      }
    }
    bool partialFrame = frameHasContent && !timeline->frames.empty();
    if (frameHasContent || timeline->frames.empty()) timeline->frames.push_back(std::move(frame));
    // A sprite cut short (no End tag) or with tags after its last ShowFrame
    // is, to the reference player, still loading: it stops at its last frame.
    if (!isRoot && (!ended || partialFrame)) timeline->loops = false;
  }

 private:
  std::shared_ptr<const ActionCode> code(const uint8_t* data, size_t size) const {
    auto c = std::make_shared<ActionCode>();
    c->bytes.assign(data, data + size);
    c->swfVersion = movie_->header.version;
    return c;
  }

  bool claim(uint16_t id) { return movie_->dictionary.find(id) == movie_->dictionary.end(); }

  void defineSprite(const swf::Tag& tag) {
    swf::BitReader r(tag.data, tag.size);
    uint16_t id = r.u16();
    r.u16();  // frame count: the ShowFrame tags decide
    if (r.failed() || !claim(id)) return;
    auto def = std::make_unique<CharacterDef>();
    def->kind = CharacterKind::Sprite;
    def->timeline = std::make_unique<TimelineDef>();
    def->timeline->byteSize = r.remaining();
    parseTimeline(r.current(), r.remaining(), def->timeline.get(), false);
    movie_->dictionary[id] = std::move(def);
  }

  void defineButton(const swf::Tag& tag) {
    auto def = std::make_unique<CharacterDef>();
    def->kind = CharacterKind::Button;
    def->button = std::make_unique<swf::ButtonDef>();
    uint16_t id = 0;
    int version = tag.code == swf::kDefineButton2 ? 2 : 1;
    if (!swf::parseButton(tag.data, tag.size, version, &id, def->button.get()) || !claim(id)) return;
    movie_->dictionary[id] = std::move(def);
    buttons_.push_back(id);
  }

  swf::ButtonDef* button(uint16_t id) {
    auto it = movie_->dictionary.find(id);
    return it != movie_->dictionary.end() && it->second->button ? it->second->button.get() : nullptr;
  }

  // A bitmap the timeline places shows as a rectangle of its pixels.
  static swf::ShapeDef placedBitmapShape(uint16_t id, int width, int height) {
    swf::ShapeDef shape;
    shape.bounds = swf::Rect{0, width * 20, 0, height * 20};
    swf::FillStyle fill;
    fill.kind = swf::FillKind::Bitmap;
    fill.bitmapId = id;
    fill.repeat = false;
    fill.smooth = false;
    fill.matrix.a = fill.matrix.d = 20;
    swf::ShapeLayer layer;
    layer.fills.push_back(fill);
    double corners[5][2] = {{0, 0}, {width * 20.0, 0}, {width * 20.0, height * 20.0}, {0, height * 20.0}, {0, 0}};
    layer.fillEdges.emplace_back();
    for (int i = 0; i < 4; ++i) {
      swf::Edge e;
      e.x0 = corners[i][0];
      e.y0 = corners[i][1];
      e.x1 = corners[i + 1][0];
      e.y1 = corners[i + 1][1];
      layer.fillEdges[0].push_back(e);
    }
    shape.layers.push_back(std::move(layer));
    return shape;
  }

  void addBitmap(uint16_t id, std::unique_ptr<swf::Bitmap> bitmap) {
    int64_t pixels = int64_t(bitmap->width) * bitmap->height;
    if (pixelBudget_ < pixels) return;
    pixelBudget_ -= pixels;
    auto def = std::make_unique<CharacterDef>();
    def->kind = CharacterKind::Bitmap;
    def->shape = placedBitmapShape(id, bitmap->width, bitmap->height);
    def->bitmap = std::move(bitmap);
    movie_->dictionary[id] = std::move(def);
  }

  void defineCharacter(const swf::Tag& tag) {
    switch (tag.code) {
      case swf::kSetBackgroundColor: {
        swf::BitReader r(tag.data, tag.size);
        swf::Rgba c = r.rgb();
        if (!r.failed()) movie_->backgroundColor = (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
        return;
      }
      case swf::kFileAttributes: {
        swf::BitReader r(tag.data, tag.size);
        uint32_t flags = r.u32();
        if (!r.failed()) movie_->actionScript3 = (flags & 0x08) != 0;
        return;
      }
      case swf::kExportAssets:
        for (auto& entry : namedIds(tag)) {
          movie_->exports.push_back(std::move(entry));
          movie_->exportFrames.push_back(rootFrame_);
        }
        return;
      case swf::kJpegTables:
        if (jpegTables_.empty()) jpegTables_.assign(tag.data, tag.data + tag.size);
        return;
      case swf::kDefineShape:
      case swf::kDefineShape2:
      case swf::kDefineShape3:
      case swf::kDefineShape4: {
        int version = tag.code == swf::kDefineShape ? 1 : tag.code == swf::kDefineShape2 ? 2
                      : tag.code == swf::kDefineShape3 ? 3 : 4;
        auto def = std::make_unique<CharacterDef>();
        uint16_t id = 0;
        if (!swf::parseShape(tag.data, tag.size, version, &id, &def->shape) || !claim(id)) return;
        movie_->dictionary[id] = std::move(def);
        return;
      }
      case swf::kDefineButton:
      case swf::kDefineButton2:
        defineButton(tag);
        return;
      case swf::kDefineButtonCxform:
        if (swf::ButtonDef* b = button(swf::buttonTagTarget(tag.data, tag.size))) swf::parseButtonCxform(tag.data, tag.size, b);
        return;
      case swf::kDefineButtonSound:
        if (swf::ButtonDef* b = button(swf::buttonTagTarget(tag.data, tag.size))) swf::parseButtonSound(tag.data, tag.size, b);
        return;
      case swf::kDefineSound: {
        auto sound = std::make_shared<swf::SoundDef>();
        uint16_t id = 0;
        if (swf::parseSound(tag.data, tag.size, &id, sound.get()) && !movie_->sounds.count(id))
          movie_->sounds[id] = std::move(sound);
        return;
      }
      case swf::kSymbolClass:
        for (auto& entry : namedIds(tag)) symbols_[entry.first] = entry.second;
        return;
      case swf::kDefineFont:
      case swf::kDefineFont2:
      case swf::kDefineFont3: {
        int version = tag.code == swf::kDefineFont ? 1 : tag.code == swf::kDefineFont2 ? 2 : 3;
        swf::FontDef font;
        uint16_t id = 0;
        if (swf::parseFont(tag.data, tag.size, version, &id, &font) && !fonts_.count(id))
          fonts_[id] = std::move(font);
        return;
      }
      case swf::kDefineFontInfo:
      case swf::kDefineFontInfo2: {
        auto it = fonts_.find(swf::fontInfoTarget(tag.data, tag.size));
        uint16_t id = 0;
        if (it != fonts_.end())
          swf::parseFontInfo(tag.data, tag.size, tag.code == swf::kDefineFontInfo ? 1 : 2, &id, &it->second);
        return;
      }
      case swf::kDefineText:
      case swf::kDefineText2: {
        auto def = std::make_unique<CharacterDef>();
        def->kind = CharacterKind::StaticText;
        def->staticText = std::make_unique<swf::StaticTextDef>();
        uint16_t id = 0;
        if (!swf::parseStaticText(tag.data, tag.size, tag.code == swf::kDefineText ? 1 : 2, &id,
                                  def->staticText.get()) || !claim(id))
          return;
        movie_->dictionary[id] = std::move(def);
        return;
      }
      case swf::kDefineVideoStream: {
        auto def = std::make_unique<CharacterDef>();
        def->kind = CharacterKind::Video;
        def->video = std::make_unique<swf::VideoStreamDef>();
        uint16_t id = 0;
        if (!swf::parseVideoStream(tag.data, tag.size, &id, def->video.get()) || !claim(id)) return;
        movie_->dictionary[id] = std::move(def);
        return;
      }
      case swf::kCsmTextSettings: {
        swf::BitReader r(tag.data, tag.size);
        uint16_t id = r.u16();
        bool advanced = r.u8() >> 6 == 1;
        auto it = movie_->dictionary.find(id);
        if (!r.failed() && it != movie_->dictionary.end() && it->second->staticText)
          it->second->staticText->advancedAntiAliasing = advanced;
        return;
      }
      case swf::kDefineEditText: {
        auto def = std::make_unique<CharacterDef>();
        def->kind = CharacterKind::EditText;
        def->editText = std::make_unique<swf::EditTextDef>();
        uint16_t id = 0;
        if (!swf::parseEditText(tag.data, tag.size, &id, def->editText.get()) || !claim(id)) return;
        movie_->dictionary[id] = std::move(def);
        return;
      }
      case swf::kDefineMorphShape:
      case swf::kDefineMorphShape2: {
        auto def = std::make_unique<CharacterDef>();
        def->kind = CharacterKind::Morph;
        def->morph = std::make_unique<swf::MorphShapeDef>();
        uint16_t id = 0;
        int version = tag.code == swf::kDefineMorphShape ? 1 : 2;
        if (!swf::parseMorphShape(tag.data, tag.size, version, &id, def->morph.get()) || !claim(id))
          return;
        movie_->dictionary[id] = std::move(def);
        return;
      }
      case swf::kDefineBits:
      case swf::kDefineBitsJpeg2:
      case swf::kDefineBitsJpeg3:
      case swf::kDefineBitsLossless:
      case swf::kDefineBitsLossless2: {
        if (tag.size < 2) return;
        uint16_t id = static_cast<uint16_t>(tag.data[0] | (tag.data[1] << 8));
        if (!claim(id)) return;
        const uint8_t* body = tag.data + 2;
        size_t size = tag.size - 2;
        auto bitmap = std::make_unique<swf::Bitmap>();
        bool ok = false;
        switch (tag.code) {
          case swf::kDefineBits: ok = swf::decodeDefineBits(body, size, jpegTables_, bitmap.get()); break;
          case swf::kDefineBitsJpeg2: ok = swf::decodeJpeg2(body, size, bitmap.get()); break;
          case swf::kDefineBitsJpeg3: ok = swf::decodeJpeg3(body, size, bitmap.get()); break;
          case swf::kDefineBitsLossless: ok = swf::decodeLossless(body, size, 1, bitmap.get()); break;
          default: ok = swf::decodeLossless(body, size, 2, bitmap.get()); break;
        }
        if (ok) addBitmap(id, std::move(bitmap));
        return;
      }
      default:
        return;  // unknown or not yet supported: skipped whole
    }
  }

  Movie* movie_;
  std::vector<uint8_t> jpegTables_;
  int rootFrame_ = 0;  // the root frame the tags being read belong to
  int64_t pixelBudget_ = kMaxMoviePixels;
  std::map<uint16_t, swf::FontDef> fonts_;
  std::vector<uint16_t> buttons_;
  std::map<std::string, uint16_t> symbols_;  // SymbolClass names
};

}  // namespace

int Movie::exportFrame(const std::string& name) const {
  std::string key = lowercase(name);
  for (size_t i = 0; i < exports.size(); ++i)
    if (lowercase(exports[i].first) == key) return i < exportFrames.size() ? exportFrames[i] : 0;
  return -1;
}

uint16_t Movie::exportedId(const std::string& name) const {
  std::string key = lowercase(name);
  for (const auto& e : exports)
    if (lowercase(e.first) == key) return e.second;
  return 0;
}

int TimelineDef::findLabel(const std::string& name) const {
  std::string key = lowercase(name);
  for (const auto& label : labels)
    if (label.first == key) return label.second;
  return -1;
}

bool parseMovie(const uint8_t* data, size_t size, Movie* movie) {
  swf::SwfFile file;
  if (!swf::openSwf(data, size, &file)) return false;
  movie->header = file.header;
  movie->fileSize = 8 + file.body.size();  // as uncompressed
  MovieParser parser(movie);
  parser.parseTimeline(file.body.data() + file.tagsOffset, file.body.size() - file.tagsOffset,
                       &movie->root, true);
  parser.finishFonts();
  parser.finishButtons();
  return true;
}

text::EmbeddedFont* Movie::fontNamed(const std::string& name, bool bold, bool italic) const {
  text::EmbeddedFont* fallback = nullptr;
  for (const auto& entry : fonts) {
    text::EmbeddedFont* f = entry.second.get();
    if (!text::sameNameNoCase(f->nameUtf8(), name) || f->def().glyphs.empty()) continue;
    if (f->def().bold == bold && f->def().italic == italic) return f;
    if (!fallback) fallback = f;
  }
  return fallback;
}

}  // namespace player
