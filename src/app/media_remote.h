#pragma once

namespace vokrin::app {

class TMainForm;

// The desktop's remote control of the player (MPRIS2 on the session bus): media keys and
// remotes press the window's play, pause and stop buttons. Without a session bus
// nothing happens and the program runs as usual. The bridge lives as long as `window`.
void connectMediaRemote(TMainForm &window);

} // namespace vokrin::app
