#ifndef TN6820FP_ICONS_H
#define TN6820FP_ICONS_H

#include <QPixmap>

// The waveform buttons' pictures: one-pixel black lines held as XPM data.
QPixmap tn6820fp_sinePixmap();      // 20 x 6, one period, hump first
QPixmap tn6820fp_squarePixmap();    // 21 x 9, high half first
QPixmap tn6820fp_sawPixmap();       // 21 x 9, rising ramp between two flanks
QPixmap tn6820fp_trianglePixmap();  // 21 x 9, peak, trough, rising again
QPixmap tn6820fp_arbitraryPixmap(); // 21 x 9, a free shape

#endif
