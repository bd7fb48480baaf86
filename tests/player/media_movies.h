// Movies of the media kind, shared by the player window's tests under Wine
// (written to files by swf-media-movies) and the benchmark.
#pragma once
#include <cstdint>
#include <vector>

#include "swf_builder.h"

namespace swftest {

// 400 × 300: a button over (100, 75)-(300, 225), red up, green over, blue
// down; releasing on it moves the root to frame 2, which adds a black
// square at (20, 20)-(80, 80).
Bytes buttonClickMovie();

// 400 × 300, SWF 8: an input field "field" over (20, 20)-(380, 120) in the
// box font (A tall, B short, 40 pixels a character) limited to "A-Z" (so a
// typed "a" shows as "A"), bound to "typed"; below it, over (20, 160)-(380,
// 260), a dynamic field showing the same variable. Blue text on white.
// Last, over (20, 265)-(380, 295), an input field "chinese" in 宋体, black.
Bytes inputFieldMovie();

// 600 × 400, SWF 5: a page of Chinese device text (GBK), 20 lines of 30
// characters at 18 pixels, black on white.
Bytes chineseTextPage();

// 600 × 400 at 24 fps: a digital clock, "HH:MM:SS" in device text 64
// pixels high, its variable set every frame (a second passing each 24).
Bytes digitalClock();

// 400 × 300 at 12 fps: a 1 kHz MP3 tone of one second, started on frame 1
// looping 1000 times (once only: the timeline loops over frame 1 again),
// under a blinking square (red, then green).
Bytes loopingMp3Movie();

// 400 × 300 at 12 fps: the same tone streamed as MP3, a block a frame over
// 12 frames, the timeline looping (and its stream starting again).
Bytes loopingMp3Stream();

// One second of a 1 kHz tone at 44.1 kHz, a third of full scale, mono.
std::vector<int16_t> testTone();

}  // namespace swftest
