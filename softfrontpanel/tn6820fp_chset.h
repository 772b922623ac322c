#ifndef TN6820FP_CHSET_H
#define TN6820FP_CHSET_H

#include <QWidget>

#include "tn6820fp_synthesis.h"

class QDoubleSpinBox;
class QPushButton;
class tn6800fp_led;

// The settings of one DAC channel: its lamp, waveform, amplitude and offset.
class tn6820fp_chSet : public QWidget
{
    Q_OBJECT
public:
    tn6820fp_chSet();

    // 0 none, 1 sine, 2 square, 3 saw, 4 triangle.
    int waveformType() const { return waveform; }
    double offsetValue() const;
    double amplitudeValue() const;

    tn6800fp_led *led;
    QDoubleSpinBox *amplitude;
    QDoubleSpinBox *offset;
    QPushButton *sineButton;
    QPushButton *squareButton;
    QPushButton *sawButton;
    QPushButton *triangleButton;
    int waveform = WaveSine;

public slots:
    // The four buttons act as one exclusive group that may have none checked.
    void setWave();

signals:
    // The waveform, amplitude or offset changed.
    void changed();
};

#endif
