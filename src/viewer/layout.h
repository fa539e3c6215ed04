#pragma once

#include <optional>

namespace viewer {

// Window metrics are twips, 15 to a logical pixel. A window's width and height are those of a
// nominal frame: the client area below the menu bar plus these margins, whatever the window
// manager's real decorations, so stored geometry restores the same client area anywhere.
inline constexpr float TwipsPerPixel = 15.0f;
inline constexpr float FrameWidthTwips = 120.0f;
inline constexpr float FrameHeightTwips = 670.0f;
// The band above the text area that shows the window's own face.
inline constexpr float Text1TopTwips = 60.0f;

enum WindowState : int { Normal = 0, Minimized = 1, Maximized = 2 };

// Twips to logical pixels, rounded to the nearest pixel.
int twipsToPixels(float twips);
float pixelsToTwips(int pixels);

// The client size in pixels for a nominal window width or height in twips; never negative.
int clientWidthForTwips(float widthTwips);
int clientHeightForTwips(float heightTwips);

// Where the resize handler puts the text area, in twips.
struct TextPlacement
{
    float left = 0;
    float width = 0;
    float height = 0;
};

// The text area's placement for a window state and the window's width and height in twips:
// maximized, left 40 and the window less 180 by 730; normal, left 0 and the window less 120 by
// 730; minimized, nothing changes. Sizes below the margins are held at zero.
std::optional<TextPlacement> text1Placement(int windowState, float widthTwips, float heightTwips);

// Whether the resize handler records the window's geometry as the NFO geometry.
bool recordsGeometry(int windowState, bool dizMode);

} // namespace viewer
