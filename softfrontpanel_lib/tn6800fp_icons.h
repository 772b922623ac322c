#ifndef TN6800FP_ICONS_H
#define TN6800FP_ICONS_H

#include <QIcon>
#include <QPixmap>

// The framework's built-in pictures, held as XPM data.
QPixmap tn6800fp_startPixmap();      // 12 x 12 green triangle
QPixmap tn6800fp_continuousPixmap(); // 12 x 12 two green triangles
QPixmap tn6800fp_stopPixmap();       // 12 x 12 dark-red block
QPixmap tn6800fp_helpPixmap();       // 20 x 17 What's-This pointer
// 16 x 16 picture of the connection dialogs and the main window.
QPixmap tn6800fp_windowPixmap();

// Whether a screen of the program has twice the pixels (or more) per point.
bool tn6800fp_twiceTheResolution();

// A picture of the resources at its own size; on a screen with twice the
// pixels, its "@2x" twin when there is one, so the screen shows it sharp.
// Elsewhere exactly QPixmap(path).
QPixmap tn6800fp_picture(const QString &path);

// An icon of a small picture, with a copy of twice the size whose pixels are
// doubled: a 2x screen shows the picture crisp instead of smoothed.
QIcon tn6800fp_icon(const QPixmap &pixmap);

#endif
