// The SWF engine's face to the outside: load a movie, run its frames, draw
// the current frame. Portable C++; the Windows player library and the native
// tools (swf.sh render, tests, benchmarks) all drive the engine through this.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "player/core/stage.h"

namespace player {

class Player {
 public:
  virtual ~Player() = default;

  // Parses a movie from its file bytes (FWS, CWS; ZWS where supported).
  // Null for empty, broken or unsupported bytes; never crashes or hangs.
  static std::unique_ptr<Player> load(const uint8_t* data, size_t size,
                                      const PlayerServices& services = PlayerServices());

  // Stage size in whole pixels, frame rate in frames per second (never 0),
  // background colour as 0xRRGGBB.
  virtual int stageWidth() const = 0;
  virtual int stageHeight() const = 0;
  virtual double frameRate() const = 0;
  virtual uint32_t backgroundColor() const = 0;
  virtual int frameCount() const = 0;

  // Runs one frame: the first call shows frame 1, later calls advance the
  // timelines and run the frame scripts, as a Flash player does per tick.
  virtual void advanceFrame() = 0;
  // The running movie: input for its scripts, and the entry points buttons
  // and edit text use.
  virtual Stage& stage() = 0;

  // Draws the current frame into premultiplied 32-bit pixels (0xAARRGGBB in
  // memory order B, G, R, A), `stride` bytes per row. The stage is scaled to
  // width × height keeping its aspect ratio and centred ("show all"). With
  // paintBackground the picture is first filled with the background colour;
  // without it, what the movie leaves empty stays fully transparent.
  virtual void render(uint32_t* pixels, int width, int height, int stride,
                      bool paintBackground) = 0;

  // Smoothed edges (the default, Flash's high quality) or edges decided by
  // pixel centres (Flash's low quality, used to compare with reference
  // pictures taken that way).
  virtual void setAntialias(bool on) = 0;

  // The pointer over the picture last drawn, in its pixels; the primary
  // button pressed or released; the pointer gone from the picture. Each
  // returns true when the picture may have changed (a button's state, an
  // action that ran), so the caller draws again.
  virtual bool pointerMove(double x, double y) = 0;
  virtual bool pointerButton(bool down) = 0;
  virtual bool pointerLeave() = 0;
  // Over a button or a clip that answers the pointer: the hand cursor.
  virtual bool pointerOverButton() const = 0;

  // The root timeline's frame shown, counted from 1; 0 before advanceFrame.
  virtual int currentFrame() const = 0;
};

}  // namespace player
