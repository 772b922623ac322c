#ifndef TN6800FP_ICONS_H
#define TN6800FP_ICONS_H

#include <QPixmap>

// The framework's built-in pictures, held as XPM data.
QPixmap tn6800fp_startPixmap();      // 12 x 12 green triangle
QPixmap tn6800fp_continuousPixmap(); // 12 x 12 two green triangles
QPixmap tn6800fp_stopPixmap();       // 12 x 12 dark-red block
QPixmap tn6800fp_helpPixmap();       // 20 x 17 What's-This pointer
// 16 x 16 picture of the connection dialogs and the main window.
QPixmap tn6800fp_windowPixmap();

#endif
