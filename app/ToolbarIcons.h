#pragma once
// The toolbar's pictures, drawn as shapes at whatever size they are asked for, so they stay
// crisp at 16 pixels and on high-density screens alike. Disabled buttons draw them faded.

#include <array>

#include <QByteArray>
#include <QIcon>
#include <QPixmap>

namespace qx::app {

enum class ToolbarPicture { Open, Help, Convert, Pause, Texture, Cull, Program, Skeleton, Wireframe, Grid };

QIcon toolbarIcon(ToolbarPicture picture);
// The program's own icon: a figure in a frame, for the windows and the help window.
inline QIcon programIcon() { return toolbarIcon(ToolbarPicture::Program); }

// The shapes of the program's icon on the toolbars' 16 x 16 design grid, in drawing order:
// a rounded square ground, a round head, five limbs as round-capped strokes. The windows' icon
// and the icon files installed for the desktop are all drawn from these.
struct ProgramIconShapes {
    struct Colour {
        int red, green, blue;
    };
    Colour ground;
    double groundX, groundSide, groundCorner;  // the square's corner at (groundX, groundX)
    Colour head;
    double headX, headY, headSide;  // the head's bounding square
    Colour limb;
    double limbWidth;
    std::array<std::array<double, 4>, 5> limbs;  // x1, y1, x2, y2
};
const ProgramIconShapes& programIconShapes();
// The same icon as an SVG document (the desktop's scalable icon).
QByteArray programIconSvg();

// The toolbar as one picture (Open, gap, Help, Convert, Pause, Texture, Cull), each button side
// pixels square, for the help window's list of view options.
QPixmap toolbarStrip(int side);

}  // namespace qx::app
