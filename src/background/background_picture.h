// The window's background picture: earlier envelope figures in black on the
// light-grey background, drawn by the program's own curve code at the
// canvas's density, so it is sharp on every screen and needs no image file.
#pragma once

class Canvas;

// Draws the picture of figures of eccentricity `e` over whatever the canvas
// holds; a CanvasPlatform::Picture.
void draw_background_picture(Canvas& canvas, double e);
