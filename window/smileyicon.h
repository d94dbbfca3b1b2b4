#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: a yellow smiling face with black outline, eyes and mouth on a transparent
// background, drawn in a 16-colour palette.
QImage smileyImage(int size);
QIcon smileyIcon();
