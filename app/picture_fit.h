// Where the 640 x 400 picture sits in a window or on a screen: at a whole
// number of screen pixels per picture pixel, so every pixel stays square and
// sharp.
#pragma once

struct PicturePlace {
    int x, y, width, height;
};

// The largest whole scale at which the picture fits `width` x `height`; at
// least 1.
int ScaleThatFits(int width, int height);

// The picture at the largest whole scale that fits an area of `width` x
// `height`, centred. An area smaller than the picture shows its middle at 1x.
PicturePlace FitPicture(int width, int height);

// The first window's scale: the largest that fits comfortably on a screen
// area of `width` x `height` (leaving a tenth for panels and the title bar).
int FirstWindowScale(int width, int height);
