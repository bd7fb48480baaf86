#include "tasks/media_player.h"

#include <cmath>
#include <cstdio>

#include "runtime/text.h"

namespace ql {

namespace {

const char* channelName(int channel) {
  return channel == 1 ? "left" : channel == 2 ? "right" : nullptr;
}

const char* const kSourceNames[] = {"left", "right", "stereo", "average"};

long long toNumber(const std::string& text) { return std::llround(textToNumber(text)); }

}  // namespace

MediaPlayer::MediaPlayer(MciPort& port, uint32_t tickCount)
    : port_(&port), alias_("Media" + intToText(tickCount)) {}

unsigned MediaPlayer::send(const std::string& command) {
  return port_->sendString(command, nullptr);
}

bool MediaPlayer::query(const std::string& command, std::string& answer, unsigned* code) {
  unsigned result = port_->sendString(command, &answer);
  if (code) *code = result;
  return result == 0;
}

long long MediaPlayer::number(const std::string& command, long long onFailure) {
  std::string answer;
  return query(command, answer) ? toNumber(answer) : onFailure;
}

unsigned MediaPlayer::open(const std::string& file, uintptr_t parent, bool useParent) {
  std::string name;
  if (port_->shortPathName(file, name) < 3) name = file;
  // Where a volume keeps no short names, a name with spaces needs quotes.
  if (name.find(' ') != std::string::npos) name = "\"" + name + "\"";
  close();
  std::string command = "open " + name + " Alias " + alias_;
  if (useParent) command += " parent " + intToText(static_cast<long long>(parent));
  unsigned code = send(command + " style child");
  // Audio-only devices (waveaudio for .wav, sequencer for .mid) know no
  // window style: without a parent the file opens without one.
  if (code != 0 && !useParent) code = send(command);
  return code;
}

unsigned MediaPlayer::play() { return send("play " + alias_); }
unsigned MediaPlayer::close() { return send("close " + alias_); }

int MediaPlayer::mode() {
  std::string answer;
  unsigned code = 0;
  query("status " + alias_ + " mode", answer, &code);
  if (code > 0) return static_cast<int>(code);
  if (answer == "playing") return 0;
  if (answer == "paused") return 1;
  if (answer == "stopped") return 2;
  return 3;
}

unsigned MediaPlayer::stop() {
  send("seek " + alias_ + " to 0");
  return send("stop " + alias_);
}

unsigned MediaPlayer::setMute(bool mute) {
  return send("setaudio " + alias_ + (mute ? " off" : " on"));
}

unsigned MediaPlayer::resume() { return send("resume " + alias_); }
unsigned MediaPlayer::pause() { return send("pause " + alias_); }

unsigned MediaPlayer::setWindowRect(const MediaRect* rect) {
  MediaRect area = rect ? *rect : port_->parentClientRect(static_cast<uintptr_t>(windowHandle()));
  return send("put " + alias_ + " window at " + intToText(area.x) + " " + intToText(area.y) + " " +
              intToText(area.width) + " " + intToText(area.height));
}

long long MediaPlayer::windowHandle() { return number("status " + alias_ + " window handle", 0); }

long long MediaPlayer::lengthInMilliseconds() {
  send("set " + alias_ + " time format milliseconds");
  return number("status " + alias_ + " length", 0);
}

long long MediaPlayer::lengthInFrames() {
  send("set " + alias_ + " time format frames");
  return number("status " + alias_ + " length", 0);
}

unsigned MediaPlayer::seekToFrame(long long frame, bool thenPlay) {
  send("set " + alias_ + " time format frames");
  unsigned code = send("seek " + alias_ + " to " + intToText(frame));
  if (code == 0 && thenPlay) play();
  return code;
}

unsigned MediaPlayer::seekToMillisecond(long long millisecond, bool thenPlay) {
  send("set " + alias_ + " time format milliseconds");
  unsigned code = send("seek " + alias_ + " to " + intToText(millisecond));
  if (code == 0 && thenPlay) play();
  return code;
}

unsigned MediaPlayer::setSpeed(int speed) {
  if (speed < 1 || speed > 2000) return kOutOfRange;
  return send("set " + alias_ + " speed " + intToText(speed));
}

long long MediaPlayer::speed() { return number("Status " + alias_ + " speed", 0); }
long long MediaPlayer::position() { return number("status " + alias_ + " position", -1); }

MediaRect MediaPlayer::destination() {
  std::string answer;
  MediaRect area;
  if (!query("Where " + alias_ + " destination", answer)) return area;
  long long* fields[] = {&area.x, &area.y, &area.width, &area.height};
  size_t field = 0;
  for (const std::string& part : splitText(answer, " ")) {
    if (part.empty()) continue;
    if (field == 4) break;
    *fields[field++] = toNumber(part);
  }
  return area;
}

long long MediaPlayer::volume() { return number("status " + alias_ + " volume", -1); }

unsigned MediaPlayer::setVolume(int volume) {
  if (volume < 0 || volume > 1000) return kOutOfRange;
  return send("setaudio " + alias_ + " volume to " + intToText(volume));
}

unsigned MediaPlayer::setChannelVolume(int channel, int volume) {
  const char* name = channelName(channel);
  if (!name || volume < 0 || volume > 1000) return kOutOfRange;
  return send("setaudio " + alias_ + " " + name + " volume to " + intToText(volume));
}

long long MediaPlayer::channelVolume(int channel) {
  const char* name = channelName(channel);
  if (!name) return kOutOfRange;
  return number("Status " + alias_ + " " + name + " volume", -1);
}

int MediaPlayer::audioSource() {
  std::string answer;
  if (!query("Status " + alias_ + " audio source", answer)) return -1;
  for (int source = 1; source <= 4; ++source)
    if (answer == kSourceNames[source - 1]) return source;
  return 0;
}

unsigned MediaPlayer::setAudioSource(int source) {
  if (source < 1 || source > 4) return kOutOfRange;
  return send("setaudio " + alias_ + " source to " + kSourceNames[source - 1]);
}

bool MediaPlayer::ready() {
  std::string answer;
  return query("Status " + alias_ + " ready", answer) && answer == "true";
}

long long MediaPlayer::bytesPerSecond() { return number("Status " + alias_ + " bytespersec", -1); }

unsigned MediaPlayer::setFullScreen(bool on) {
  return send(on ? "play " + alias_ + " fullscreen" : "put " + alias_ + " destination");
}

bool MediaPlayer::hasWindow() { return windowHandle() != 0; }

long long MediaPlayer::recordTrack() {
  return number("Status " + alias_ + " audio record track number", 0);
}

unsigned MediaPlayer::closeAll() { return send("close all"); }

std::string MediaPlayer::errorText(unsigned code) {
  if (code == kOutOfRange) return "提供的数值型参数超过了允许的范围。";
  return port_->errorString(code);
}

std::string MediaPlayer::shortPath(const std::string& file) {
  std::string name;
  if (!port_->fileExists(file) || port_->shortPathName(file, name) == 0) return file;
  return name;
}

std::string formatMediaTime(long long milliseconds) {
  if (milliseconds < 0) return "0:00:00";
  long long seconds = milliseconds / 1000;
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return text;
}

}  // namespace ql
