#pragma once
// The toolbar's pictures, drawn as shapes at whatever size they are asked for, so they stay
// crisp at 16 pixels and on high-density screens alike. Disabled buttons draw them faded.

#include <QIcon>
#include <QPixmap>

namespace qx::app {

enum class ToolbarPicture { Open, Help, Convert, Pause, Texture, Cull, Program };

QIcon toolbarIcon(ToolbarPicture picture);
// The program's own icon: a figure in a frame, for the windows and the help window.
inline QIcon programIcon() { return toolbarIcon(ToolbarPicture::Program); }

// The toolbar as one picture (Open, gap, Help, Convert, Pause, Texture, Cull), each button side
// pixels square, for the help window's list of view options.
QPixmap toolbarStrip(int side);

}  // namespace qx::app
