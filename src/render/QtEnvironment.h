// Setting up Qt for drawing without a display (command line, tests, benchmarks).
#pragma once

namespace sw {

// Chooses the offscreen platform unless one is set, and gives Qt a private
// runtime folder when the session has none, so nothing is printed about it.
// Call before the QGuiApplication is made.
void PrepareHeadlessQt();

}  // namespace sw
