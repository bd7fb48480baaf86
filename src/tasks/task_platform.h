// The system calls behind the task actions and the task media player, as the
// running program makes them.
#pragma once

namespace ql {

class MediaPlayer;
class SystemCalls;

SystemCalls& systemCalls();
// The program's one media player: it plays ring files and stops them.
MediaPlayer& taskMediaPlayer();

}  // namespace ql
