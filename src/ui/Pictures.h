#pragma once
#include <QPixmap>
#include <QString>

namespace kivora {

// The window's own pictures, built into the program from res/ (the game's
// working directory is the player's data directory, so they cannot be read
// from there). `name` is the picture's name without extension, in any case:
// "GOMMU" (the rival's portrait of the question box) or "Slot1" to "Slot6"
// (the slot machine's reels). A picture missing from the build comes back
// as a plain 128 x 128 stand-in, so a dialog never shows a hole.
QPixmap GamePicture(const QString& name);

// True when the picture is really built in (not a stand-in).
bool HasGamePicture(const QString& name);

}  // namespace kivora
