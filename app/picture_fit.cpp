#include "app/picture_fit.h"

#include <algorithm>

#include "picture/surfaces.h"

int ScaleThatFits(int width, int height)
{
    return std::max(1, std::min(width / PictureWidth, height / PictureHeight));
}

PicturePlace FitPicture(int width, int height)
{
    const int scale = ScaleThatFits(width, height);
    const int w = PictureWidth * scale;
    const int h = PictureHeight * scale;
    return {(width - w) / 2, (height - h) / 2, w, h};
}

int FirstWindowScale(int width, int height)
{
    return ScaleThatFits(width * 9 / 10, height * 9 / 10);
}
