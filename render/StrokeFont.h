#pragma once
// A small line-drawn font for text in pictures drawn without a window toolkit (the bone names
// of qxtool's pictures): every printable ASCII character as a few straight strokes, drawn as
// GL lines. Any other byte draws as '?'.
//
// Glyphs sit in a cell 4 units wide and advance 6; capitals and digits are 6 units tall above
// the baseline, lower case 4, descenders reach 2 below it.

#include <string_view>

namespace qx {

// Units a glyph advances by; a text of n bytes is n times this wide, less the last gap of 2.
inline constexpr float StrokeAdvance = 6.0f;
// Units capitals stand above the baseline.
inline constexpr float StrokeCapHeight = 6.0f;

// The text's width in the units of strokeText's scale.
float strokeTextWidth(std::string_view text, float unit);

// Issues GL_LINES vertices (the caller is between glBegin(GL_LINES) and glEnd) for the text with
// its baseline starting at (x, y), in a projection whose y grows downwards, unit pixels a unit.
void strokeText(std::string_view text, float x, float y, float unit);

}  // namespace qx
