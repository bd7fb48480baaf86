// Builds small SWF movies in memory for the engine's tests, the benchmark and
// the fuzzing corpus: tags, shapes from paths, sprites, placements, actions.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace swftest {

using Bytes = std::vector<uint8_t>;

// A baseline JPEG file of an RGB picture (3 bytes a pixel, rows top first).
Bytes encodeJpeg(int width, int height, const uint8_t* rgb, int quality);

// Little-endian bytes and big-endian bit fields, as SWF writes them.
class Writer {
 public:
  void u8(uint32_t v) { flush(); out_.push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
  void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
  void bytes(const Bytes& b) { flush(); out_.insert(out_.end(), b.begin(), b.end()); }
  void text(const std::string& s) { flush(); out_.insert(out_.end(), s.begin(), s.end()); out_.push_back(0); }
  void ubits(uint32_t v, int n);
  void sbits(int32_t v, int n) { ubits(static_cast<uint32_t>(v), n); }
  void flush();
  // Bits needed for v as a signed field.
  static int signedBits(int32_t v);
  void rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax);
  // Scale and rotate in 16.16 fixed point (as doubles), translate in twips.
  void matrix(double a, double b, double c, double d, int32_t tx, int32_t ty);
  void rgb(uint32_t rgb) { u8(rgb >> 16); u8(rgb >> 8); u8(rgb); }
  void rgba(uint32_t argb) { rgb(argb); u8(argb >> 24); }
  // Multipliers 8.8 (256 = 1) and adds, with alpha.
  void colorTransform(int rm, int gm, int bm, int am, int ra, int ga, int ba, int aa);
  Bytes& data() { flush(); return out_; }

 private:
  Bytes out_;
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
};

struct Matrix {
  double a = 1, b = 0, c = 0, d = 1;
  int32_t tx = 0, ty = 0;
};

// Shape records: pen moves, edges and style changes, in twips.
class Path {
 public:
  Path& fill0(int style) { pending_.fill0 = style; return *this; }
  Path& fill1(int style) { pending_.fill1 = style; return *this; }
  Path& line(int style) { pending_.line = style; return *this; }
  Path& moveTo(int32_t x, int32_t y);
  Path& lineTo(int32_t x, int32_t y);
  Path& curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
  // A closed rectangle with fill style 1 on its inside (clockwise on screen).
  Path& rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

 private:
  friend void writeRecords(Writer& w, const Path& path, int fillBits, int lineBits);
  struct Record {
    enum Kind { Style, Line, Curve } kind;
    int fill0 = -1, fill1 = -1, line = -1;
    bool move = false;
    int32_t a = 0, b = 0, c = 0, d = 0;
  };
  void applyPending(bool move, int32_t x, int32_t y);
  std::vector<Record> records_;
  Record pending_{Record::Style};
  int32_t x_ = 0, y_ = 0;
};

// SHAPE records of a path with the given index widths, end record included.
void writeRecords(Writer& w, const Path& path, int fillBits, int lineBits);

class ShapeBuilder {
 public:
  explicit ShapeBuilder(int version = 3) : version_(version) {}
  int solidFill(uint32_t argb);
  // Gradient kind 0x10 linear, 0x12 radial; spread 0 pad, 1 reflect, 2 repeat.
  // Stops are (ratio, argb) pairs.
  int gradientFill(int kind, const Matrix& m, int spread,
                   const std::vector<std::pair<int, uint32_t>>& stops);
  int bitmapFill(uint16_t bitmapId, const Matrix& m, bool repeat, bool smooth);
  int lineStyle(int widthTwips, uint32_t argb);
  // The whole DefineShape tag body with this id and bounds.
  Bytes build(uint16_t id, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax,
              const Path& path) const;
  int tagCode() const;

 private:
  int version_;
  std::vector<Bytes> fills_, lines_;
};

// What PlaceObject3 adds to a placement; fields left at their defaults are
// not written.
struct Place3Extras {
  int blendMode = 0;     // as numbered in the file; 0: none given
  Bytes filters;         // a whole FILTERLIST; empty: none given
  int visible = -1;      // 0 or 1; -1: none given
  int cacheAsBitmap = -1;
  uint32_t background = 0;  // 0xAARRGGBB opaque background; 0: none
};

// FILTER records (a filter's id byte and its fields).
namespace filter {
Bytes blur(double blurX, double blurY, int passes);
Bytes dropShadow(uint32_t argb, double blur, double angle, double distance, double strength, bool inner,
                 bool knockout, bool hideObject, int passes);
Bytes glow(uint32_t argb, double blur, double strength, int passes);
// An inner bevel: white lit side, black shaded side, blur 4, distance 2.
Bytes bevel();
Bytes colorMatrix();  // the identity
Bytes convolution();  // 3 × 1 mean, alpha kept
Bytes list(std::initializer_list<Bytes> filters);
}  // namespace filter

// --- Text ---

// One glyph of a font: its outline with fill style 1 in an em of 1024
// units (y down, baseline at 0) and its advance in the same units.
struct Glyph {
  char32_t code = 0;
  Path outline;
  int advance = 512;
};

struct EditTextSpec {
  int32_t xMin = 0, xMax = 2000, yMin = 0, yMax = 400;  // twips
  uint16_t fontId = 0;      // 0: none
  int height = 240;         // twips
  uint32_t argb = 0xFF000000;
  bool wordWrap = false, multiline = false, html = false, border = false, useOutlines = false;
  bool input = false, password = false;  // read-only dynamic text unless input
  int maxChars = 0;                      // 0: no limit
  int align = 0;            // 0 left, 1 right, 2 centre, 3 justify
  std::string variable;     // bound variable, empty for none
  std::string text;         // initial text, in the movie's encoding
};

// --- Sound ---

struct SoundStart {
  bool stop = false, noMultiple = false;
  int loops = 1;
  uint32_t inPoint = 0, outPoint = 0;  // 44.1 kHz samples; 0: none
  std::vector<std::pair<uint32_t, uint16_t>> envelope;  // position, level for both channels
};

// Little-endian (or big-endian) 16-bit PCM bytes.
Bytes pcm16(const std::vector<int16_t>& samples, bool bigEndian = false);
// Flash ADPCM of `bits` (2 to 5) bits a sample, interleaved stereo when stereo.
Bytes encodeAdpcm(const std::vector<int16_t>& samples, bool stereo, int bits);
// MP3 frames (LAME, constant bit rate), interleaved stereo when channels is 2.
Bytes encodeMp3(const std::vector<int16_t>& samples, int rate, int channels);

// A sequence of tags: a movie's root or a sprite's timeline.
class Timeline {
 public:
  void tag(int code, const Bytes& body);
  void showFrame() { tag(1, {}); }
  void place(uint16_t depth, uint16_t id, const Matrix& m = Matrix(), int clipDepth = 0,
             const std::string& name = "");
  void placeWithColor(uint16_t depth, uint16_t id, const Matrix& m, int rm, int gm, int bm, int am,
                      int ra, int ga, int ba, int aa);
  void place3(uint16_t depth, uint16_t id, const Matrix& m, const Place3Extras& extras);
  void move(uint16_t depth, const Matrix& m);
  void moveRatio(uint16_t depth, uint16_t ratio);
  void remove(uint16_t depth);
  void label(const std::string& name);
  void action(const Bytes& code);  // DoAction; an End action is appended
  // DoInitAction for a sprite; an End action is appended.
  void initAction(uint16_t spriteId, const Bytes& code);
  // PlaceObject2 of a character with an instance name and onClipEvent
  // blocks (event bits, code), as SWF 6 and later write them.
  void placeWithEvents(uint16_t depth, uint16_t id, const std::string& name,
                       const std::vector<std::pair<uint32_t, Bytes>>& events, const Matrix& m = Matrix());
  void startSound(uint16_t soundId, const SoundStart& start);
  // SoundStreamHead2: format (0 native PCM, 1 ADPCM, 2 MP3, 3 PCM little
  // endian), rate index (0 5.5 kHz .. 3 44 kHz), samples per frame.
  void soundStreamHead(int format, int rateIndex, bool sixteenBit, bool stereo, int samplesPerFrame);
  void soundStreamBlock(const Bytes& data);
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// Action bytes.
namespace act {
inline Bytes stop() { return {0x07}; }
inline Bytes play() { return {0x06}; }
inline Bytes nextFrame() { return {0x04}; }
inline Bytes prevFrame() { return {0x05}; }
Bytes gotoFrame(uint16_t frame);  // 0-based
Bytes gotoLabel(const std::string& label);
Bytes pushNumber(double v);
Bytes pushString(const std::string& s);
Bytes gotoFrame2(bool play);
// name = value, both strings, on the timeline running the block.
Bytes setVariable(const std::string& name, const std::string& value);
Bytes join(std::initializer_list<Bytes> parts);
}  // namespace act

// Writes action code: pushes, plain actions, functions and jumps to labels.
//   Script s;
//   s.push("x").push(1).op(kSetVariable);
class Script {
 public:
  // Action codes the tests and benchmarks use by name.
  enum : uint8_t {
    kAdd2 = 0x47, kSubtract = 0x0B, kMultiply = 0x0C, kDivide = 0x0D, kModulo = 0x3F, kLess2 = 0x48,
    kEquals2 = 0x49, kNot = 0x12, kPop = 0x17, kGetVariable = 0x1C, kSetVariable = 0x1D, kTrace = 0x26,
    kGetMember = 0x4E, kSetMember = 0x4F, kCallFunction = 0x3D, kCallMethod = 0x52, kNewObject = 0x40,
    kInitObject = 0x43, kInitArray = 0x42, kReturn = 0x3E, kIncrement = 0x50, kDecrement = 0x51,
    kDefineLocal = 0x3C, kPushDuplicate = 0x4C, kGetTime = 0x34, kThrow = 0x2A, kTypeOf = 0x44,
    kStop = 0x07, kPlay = 0x06, kNextFrame = 0x04, kEnumerate2 = 0x55, kToInteger = 0x18,
  };
  Script& push(double v);
  Script& push(int v) { return push(static_cast<double>(v)); }
  Script& push(const std::string& s);
  Script& push(const char* s) { return push(std::string(s)); }
  Script& push(bool b);
  Script& pushNull();
  Script& pushUndefined();
  Script& pushRegister(int r);
  Script& storeRegister(int r);
  // GotoFrame2: to the frame (number or label) on the stack.
  Script& gotoFrame2(bool play);
  // Call: the actions of the frame (number or label) on the stack, run now.
  Script& callFrame() { return longAction(0x9E, {}); }
  Script& op(uint8_t code);
  // Convenience: name = <what the stack holds>, the value pushed last.
  Script& getVariable(const std::string& name) { return push(name).op(kGetVariable); }
  Script& trace(const std::string& text) { return push(text).op(kTrace); }
  // A DefineFunction: a named one is defined, a nameless one pushed.
  Script& function(const std::string& name, const std::vector<std::string>& params, const Script& body);
  // A DefineFunction2: parameters in registers (0: by name), the preload
  // and suppress flags as the file stores them, `registers` in all.
  Script& function2(const std::string& name, const std::vector<std::pair<int, std::string>>& params,
                    uint16_t flags, int registers, const Script& body);
  // Try with a catch block whose error goes to variable `catchName`, and an
  // optional finally block.
  Script& tryCatch(const Script& body, const std::string& catchName, const Script& handler,
                   const Script* finally = nullptr);
  Script& label(const std::string& name);
  Script& jump(const std::string& label);
  Script& ifTrue(const std::string& label);
  // The code with every jump resolved (no End action).
  Bytes bytes() const;

 private:
  Script& longAction(uint8_t code, const Bytes& payload);
  Bytes code_;
  std::vector<std::pair<std::string, size_t>> labels_;  // name → offset
  std::vector<std::pair<std::string, size_t>> jumps_;   // label → offset of the 16-bit field
};

class MovieBuilder {
 public:
  MovieBuilder(int widthPx, int heightPx, double fps, int version = 10);
  void background(uint32_t rgb);
  Timeline& root() { return root_; }
  void define(int code, const Bytes& body) { root_.tag(code, body); }
  void defineShape(uint16_t id, const ShapeBuilder& s, const Path& p, int32_t xMin, int32_t xMax,
                   int32_t yMin, int32_t yMax) {
    define(s.tagCode(), s.build(id, xMin, xMax, yMin, yMax, p));
  }
  // A rectangle in one colour, in whole pixels.
  void defineRect(uint16_t id, uint32_t argb, int x0, int y0, int x1, int y1);
  void defineSprite(uint16_t id, const Timeline& t, int frames);
  // ExportAssets: a character made available to attachMovie by name.
  void exportAs(uint16_t id, const std::string& name);
  // DefineButton2 with one record per character: `states` is the record's
  // state bits (1 up, 2 over, 4 down, 8 hit).
  struct ButtonRecord {
    int states = 1;
    uint16_t id = 0;
    uint16_t depth = 1;
    Matrix matrix;
  };
  void defineButton2(uint16_t id, const std::vector<ButtonRecord>& records);
  // With actions on transitions (BUTTONCONDACTION bits) and as a menu.
  struct ButtonAction {
    uint16_t conditions = 0;
    Bytes code;  // an End action is appended
  };
  void defineButton2(uint16_t id, const std::vector<ButtonRecord>& records,
                     const std::vector<ButtonAction>& actions, bool menu);
  // Sounds on OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
  void defineButtonSound(uint16_t buttonId, const uint16_t soundIds[4]);
  // DefineFont2 with wide codes and layout; the name in the movie's encoding.
  void defineFont2(uint16_t id, const std::string& name, const std::vector<Glyph>& glyphs, int ascent,
                   int descent);
  // DefineText2: one run of glyphs (index, advance in twips) of one font.
  void defineText(uint16_t id, uint16_t fontId, int height, uint32_t argb, const Matrix& m,
                  const std::vector<std::pair<int, int>>& glyphs);
  void defineEditText(uint16_t id, const EditTextSpec& e);
  // DefineSound: format and rate index as for soundStreamHead.
  void defineSound(uint16_t id, int format, int rateIndex, bool sixteenBit, bool stereo, uint32_t sampleCount,
                   const Bytes& data);
  // DefineMorphShape with one solid fill going from startArgb to endArgb;
  // the two paths must have the same edges (fill style 1).
  void defineMorph(uint16_t id, const Path& start, uint32_t startArgb, const Path& end,
                   uint32_t endArgb, int32_t extent);
  // DefineBitsLossless2 from premultiplied 0xAARRGGBB pixels.
  void defineLosslessBitmap(uint16_t id, int w, int h, const std::vector<uint32_t>& argb);
  Bytes finish(bool compressed) const;

 private:
  int width_, height_, version_;
  double fps_;
  Timeline root_;
};

// "A": a full box, 100..412 across and 700 units tall; "B": a box half as
// tall; " ": nothing. Em 1024, advances 512; ascent 800, descent 224.
void defineBoxFont(MovieBuilder& m, uint16_t id);

}  // namespace swftest
