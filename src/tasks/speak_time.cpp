#include "tasks/speak_time.h"

#include <windows.h>
#include <mmsystem.h>

#include "assets/assets.h"
#include "runtime/datetime.h"
#include "runtime/text.h"
#include "tasks/call_record.h"
#include "tasks/spoken_time.h"

namespace ql {

namespace {

// The clips stay in memory for the life of the process: a thread may still
// be playing them when the next announcement starts.
const std::vector<ClipView>& spokenClips() {
  static const Bytes data = assetBytes(ASSET_SPOKEN_CLIPS);
  static const std::vector<ClipView> clips = splitSpokenClips(data.data(), data.size());
  return clips;
}

DWORD WINAPI speakTime(void*) {
  const std::vector<ClipView>& clips = spokenClips();
  LocalTime time = fromOleDate(now());
  for (const SpokenStep& step : spokenTimeSteps(time.hour, time.minute)) {
    recordSystemCall("PlaySoundA(clip " + intToText(step.clip) + ")");
    PlaySoundA(reinterpret_cast<LPCSTR>(clips[size_t(step.clip)].data), nullptr,
               SND_MEMORY | SND_NODEFAULT | SND_ASYNC);
    if (step.waitMs > 0) Sleep(static_cast<DWORD>(step.waitMs));
  }
  return 0;
}

}  // namespace

void startSpeakingTime() {
  if (spokenClips().empty()) return;
  HANDLE thread = CreateThread(nullptr, 0, speakTime, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace ql
