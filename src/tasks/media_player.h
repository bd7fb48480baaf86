// MediaPlayer: one media file at a time through the MCI command strings,
// addressed by an alias of its own. The ring of a task plays through the
// program's one instance; the other operations (video window, seeking,
// speed, volume per channel) make the class complete.
#pragma once
#include <cstdint>
#include <string>

namespace ql {

struct MediaRect {
  long long x = 0, y = 0, width = 0, height = 0;
};

// The calls MediaPlayer makes; tests put their own in place.
class MciPort {
 public:
  virtual ~MciPort() = default;
  // mciSendStringA without a callback window: the MCI error code; with an
  // answer, the return buffer (255 characters) as text.
  virtual unsigned sendString(const std::string& command, std::string* answer) = 0;
  // mciGetErrorStringA into 255 characters.
  virtual std::string errorString(unsigned code) = 0;
  // GetShortPathNameA into 255 characters: the call's result, the name in `shortName`.
  virtual unsigned shortPathName(const std::string& file, std::string& shortName) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  // The client rectangle of the parent of `window`.
  virtual MediaRect parentClientRect(uintptr_t window) = 0;
};

class MediaPlayer {
 public:
  // The class's own code for an argument out of range; nothing is sent then.
  static constexpr unsigned kOutOfRange = 10461;

  // The alias is "Media" followed by `tickCount` in decimal.
  MediaPlayer(MciPort& port, uint32_t tickCount);
  const std::string& alias() const { return alias_; }

  // Closes this alias's device first, then opens `file` (its short form
  // when there is one) as a child of `parent` when `useParent` is set. An
  // audio-only device that refuses the window style is opened without it.
  unsigned open(const std::string& file, uintptr_t parent, bool useParent);
  unsigned play();
  unsigned close();
  // 0 playing, 1 paused, 2 stopped, 3 anything else; the MCI code when the
  // query fails.
  int mode();
  // Rewinds to the start, then stops.
  unsigned stop();
  unsigned setMute(bool mute = true);
  unsigned resume();
  unsigned pause();
  // Without a rectangle: the client area of the device window's parent.
  unsigned setWindowRect(const MediaRect* rect = nullptr);
  long long windowHandle();
  long long lengthInMilliseconds();
  long long lengthInFrames();
  unsigned seekToFrame(long long frame, bool thenPlay);
  unsigned seekToMillisecond(long long millisecond, bool thenPlay);
  unsigned setSpeed(int speed);  // 1..2000
  long long speed();
  long long position();  // -1 when the query fails
  MediaRect destination();
  long long volume();                                  // -1 when the query fails
  unsigned setVolume(int volume);                      // 0..1000
  unsigned setChannelVolume(int channel, int volume);  // channel 1 left, 2 right
  long long channelVolume(int channel);  // -1 when the query fails, kOutOfRange for a bad channel
  // 1 left, 2 right, 3 stereo, 4 average, 0 anything else; -1 when the query fails.
  int audioSource();
  unsigned setAudioSource(int source);
  bool ready();
  long long bytesPerSecond();  // -1 when the query fails
  unsigned setFullScreen(bool on);
  bool hasWindow();
  long long recordTrack();
  unsigned closeAll();
  std::string errorText(unsigned code);
  // The short (8.3) form of an existing file, else the name unchanged.
  std::string shortPath(const std::string& file);

 private:
  unsigned send(const std::string& command);
  // The query's answer; false when the command failed.
  bool query(const std::string& command, std::string& answer, unsigned* code = nullptr);
  long long number(const std::string& command, long long onFailure);

  MciPort* port_;
  std::string alias_;
};

// "H:MM:SS"; "0:00:00" below 0.
std::string formatMediaTime(long long milliseconds);

}  // namespace ql
