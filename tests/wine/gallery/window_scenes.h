// Window-base scenes of the gallery: small windows that show one behaviour of
// WindowBase each, for the whole-program tests. Facts go to the log file
// named by "--log PATH" as key=value lines.
#pragma once
#include <string>
#include <vector>

// Runs the scene named by args[0] until its windows are closed; returns the
// process exit code, or -1 when args[0] names no scene.
int runWindowScene(const std::vector<std::string>& args);
