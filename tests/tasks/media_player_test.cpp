#include <gtest/gtest.h>

#include "fake_calls.h"
#include "tasks/media_player.h"

using namespace ql;

namespace {

class MediaPlayerTest : public ::testing::Test {
 protected:
  CallLog log;
  FakeMci mci{log};
  MediaPlayer player{mci, 1234567};
};

}  // namespace

TEST_F(MediaPlayerTest, OpenClosesTheAliasFirstAndPrefersTheShortName) {
  EXPECT_EQ(player.alias(), "Media1234567");
  mci.shortNames["C:\\My Music\\ring tone.mp3"] = "C:\\MYMUSI~1\\RINGTO~1.MP3";
  EXPECT_EQ(player.open("C:\\My Music\\ring tone.mp3", 0, false), 0u);
  EXPECT_EQ(player.open("C:\\b.mid", 0x1A2B, true), 0u);
  EXPECT_EQ(log, (CallLog{"close Media1234567",
                          "open C:\\MYMUSI~1\\RINGTO~1.MP3 Alias Media1234567 style child",
                          "close Media1234567",
                          "open C:\\b.mid Alias Media1234567 parent 6699 style child"}));
  // No short name (or one under 3 characters): the name as given, quoted
  // when it has spaces.
  log.clear();
  mci.shortNames["D:\\x y.wav"] = "ab";
  player.open("D:\\x y.wav", 0, false);
  EXPECT_EQ(log.back(), "open \"D:\\x y.wav\" Alias Media1234567 style child");
}

TEST_F(MediaPlayerTest, AudioOnlyDevicesOpenWithoutTheWindowStyle) {
  // waveaudio and the sequencer answer the style keyword with
  // MCIERR_UNRECOGNIZED_COMMAND.
  mci.failures["open C:\\ring.wav Alias Media1234567 style child"] = 261;
  EXPECT_EQ(player.open("C:\\ring.wav", 0, false), 0u);
  EXPECT_EQ(log.back(), "open C:\\ring.wav Alias Media1234567");
  // A window was asked for: the failure stands.
  mci.failures["open C:\\ring.wav Alias Media1234567 parent 5 style child"] = 261;
  EXPECT_EQ(player.open("C:\\ring.wav", 5, true), 261u);
  EXPECT_EQ(log.back(), "open C:\\ring.wav Alias Media1234567 parent 5 style child");
}

TEST_F(MediaPlayerTest, ActionsSendTheirCommands) {
  player.play();
  player.stop();
  player.setMute();
  player.setMute(false);
  player.pause();
  player.resume();
  player.close();
  player.closeAll();
  player.setFullScreen(true);
  player.setFullScreen(false);
  EXPECT_EQ(log,
            (CallLog{"play Media1234567", "seek Media1234567 to 0", "stop Media1234567",
                     "setaudio Media1234567 off", "setaudio Media1234567 on", "pause Media1234567",
                     "resume Media1234567", "close Media1234567", "close all",
                     "play Media1234567 fullscreen", "put Media1234567 destination"}));
  mci.failures["stop Media1234567"] = 263;
  EXPECT_EQ(player.stop(), 263u);  // the stop's code, not the seek's
}

TEST_F(MediaPlayerTest, ModeReadsTheAnswerOrGivesTheError) {
  const std::string query = "status Media1234567 mode";
  const std::pair<const char*, int> answers[] = {
      {"playing", 0}, {"paused", 1}, {"stopped", 2}, {"seeking", 3}};
  for (const auto& [answer, mode] : answers) {
    mci.answers[query] = answer;
    EXPECT_EQ(player.mode(), mode) << answer;
  }
  mci.failures[query] = 263;  // not open
  EXPECT_EQ(player.mode(), 263);
}

TEST_F(MediaPlayerTest, RangesAreCheckedBeforeAnythingIsSent) {
  EXPECT_EQ(player.setVolume(1001), MediaPlayer::kOutOfRange);
  EXPECT_EQ(player.setVolume(-1), MediaPlayer::kOutOfRange);
  EXPECT_EQ(player.setSpeed(0), MediaPlayer::kOutOfRange);
  EXPECT_EQ(player.setSpeed(2001), MediaPlayer::kOutOfRange);
  EXPECT_EQ(player.setChannelVolume(3, 10), MediaPlayer::kOutOfRange);
  EXPECT_EQ(player.setChannelVolume(1, 1001), MediaPlayer::kOutOfRange);
  EXPECT_EQ(player.channelVolume(0), static_cast<long long>(MediaPlayer::kOutOfRange));
  EXPECT_EQ(player.setAudioSource(5), MediaPlayer::kOutOfRange);
  EXPECT_TRUE(log.empty());
  player.setVolume(1000);
  player.setSpeed(2000);
  player.setChannelVolume(1, 0);
  player.setChannelVolume(2, 500);
  player.setAudioSource(3);
  EXPECT_EQ(log, (CallLog{"setaudio Media1234567 volume to 1000", "set Media1234567 speed 2000",
                          "setaudio Media1234567 left volume to 0",
                          "setaudio Media1234567 right volume to 500",
                          "setaudio Media1234567 source to stereo"}));
  EXPECT_EQ(player.errorText(MediaPlayer::kOutOfRange), "提供的数值型参数超过了允许的范围。");
  EXPECT_EQ(player.errorText(263), "error 263");
}

TEST_F(MediaPlayerTest, QueriesReadNumbersAndFailures) {
  mci.answers["status Media1234567 volume"] = "800";
  mci.answers["Status Media1234567 right volume"] = "300";
  mci.answers["status Media1234567 length"] = "3723000";
  mci.answers["Status Media1234567 speed"] = "1000";
  mci.answers["Where Media1234567 destination"] = "0 0 320  240";
  mci.answers["Status Media1234567 ready"] = "true";
  mci.answers["Status Media1234567 audio source"] = "average";
  mci.failures["status Media1234567 position"] = 263;
  mci.failures["Status Media1234567 bytespersec"] = 263;
  EXPECT_EQ(player.volume(), 800);
  EXPECT_EQ(player.channelVolume(2), 300);
  EXPECT_EQ(player.channelVolume(1), 0);
  EXPECT_EQ(player.lengthInMilliseconds(), 3723000);
  EXPECT_EQ(player.speed(), 1000);
  EXPECT_EQ(player.position(), -1);
  EXPECT_EQ(player.bytesPerSecond(), -1);
  EXPECT_TRUE(player.ready());
  EXPECT_EQ(player.audioSource(), 4);
  MediaRect area = player.destination();
  EXPECT_EQ(area.x, 0);
  EXPECT_EQ(area.width, 320);
  EXPECT_EQ(area.height, 240);
  EXPECT_FALSE(player.hasWindow());
  mci.failures["Status Media1234567 audio source"] = 263;
  EXPECT_EQ(player.audioSource(), -1);
  EXPECT_EQ(player.recordTrack(), 0);
  EXPECT_EQ(log[3], "set Media1234567 time format milliseconds");
  EXPECT_EQ(log.back(), "Status Media1234567 audio record track number");
}

TEST_F(MediaPlayerTest, SeeksSetTheTimeFormatAndPlayOnlyAfterASuccess) {
  player.seekToFrame(25, true);
  mci.failures["seek Media1234567 to 1500"] = 277;
  EXPECT_EQ(player.seekToMillisecond(1500, true), 277u);
  EXPECT_EQ(log, (CallLog{"set Media1234567 time format frames", "seek Media1234567 to 25",
                          "play Media1234567", "set Media1234567 time format milliseconds",
                          "seek Media1234567 to 1500"}));
}

TEST_F(MediaPlayerTest, WindowPlacementDefaultsToTheParentsClientArea) {
  mci.answers["status Media1234567 window handle"] = "4660";
  player.setWindowRect();
  MediaRect area{10, 20, 300, 200};
  player.setWindowRect(&area);
  EXPECT_EQ(log, (CallLog{"status Media1234567 window handle", "client rect of the parent of 4660",
                          "put Media1234567 window at 0 0 640 480",
                          "put Media1234567 window at 10 20 300 200"}));
  EXPECT_TRUE(player.hasWindow());
}

TEST_F(MediaPlayerTest, ShortPathAndTimeText) {
  mci.files = {"C:\\Long Name.mp3"};
  mci.shortNames["C:\\Long Name.mp3"] = "C:\\LONGNA~1.MP3";
  EXPECT_EQ(player.shortPath("C:\\Long Name.mp3"), "C:\\LONGNA~1.MP3");
  EXPECT_EQ(player.shortPath("C:\\Gone Now.mp3"), "C:\\Gone Now.mp3");
  EXPECT_EQ(formatMediaTime(3723000), "1:02:03");
  EXPECT_EQ(formatMediaTime(59999), "0:00:59");
  EXPECT_EQ(formatMediaTime(360000000), "100:00:00");
  EXPECT_EQ(formatMediaTime(-1), "0:00:00");
}
