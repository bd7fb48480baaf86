// Skinned-form scenes of the gallery: the window's own paint routine on a
// skin, a form attached again, a layered form on a framed window, a
// see-through frame over another window, dialog keys, and a window whose
// object went first. Facts go to the log file named by "--log PATH".
#pragma once
#include <string>
#include <vector>

// Runs the scene named by args[0]; returns the process exit code, or -1 when
// args[0] names no such scene.
int runFormScene(const std::vector<std::string>& args);
