#ifndef TN6820FP_CHSET_H
#define TN6820FP_CHSET_H

#include <QWidget>
#include <vector>

#include "tn6820fp_synthesis.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class tn6800fp_led;

// The settings of one DAC channel: its lamp, waveform, amplitude, offset and
// phase, and the shape of its arbitrary waveform.
class tn6820fp_chSet : public QWidget
{
    Q_OBJECT
public:
    tn6820fp_chSet();

    // 0 none, 1 sine, 2 square, 3 saw, 4 triangle, 5 arbitrary.
    int waveformType() const { return waveform; }
    double offsetValue() const;
    double amplitudeValue() const;
    double phaseValue() const;
    // What the synthesis needs of this channel, read from the controls.
    tn6820fp_channelWave wave(bool selected) const;

    // Reads one cycle of an arbitrary waveform from a file (CSV or audio).
    // On success the channel holds it and shows its name and sample count;
    // otherwise a warning names the file and where it went wrong, and nothing
    // changes. The waveform itself is chosen with the Arbitrary button.
    bool loadShape(const QString &path);
    const std::vector<double> &shape() const { return arbitraryShape; }

    tn6800fp_led *led;
    QDoubleSpinBox *amplitude;
    QDoubleSpinBox *offset;
    QPushButton *sineButton;
    QPushButton *squareButton;
    QPushButton *sawButton;
    QPushButton *triangleButton;
    int waveform = WaveSine;
    QPushButton *arbitraryButton;
    QDoubleSpinBox *phase;
    QLabel *shapeLabel;

public slots:
    // The five buttons act as one exclusive group that may have none checked.
    void setWave();
    // The Arbitrary button: the first time, or with Shift or Ctrl held, it
    // asks for a file first; without one nothing changes.
    void chooseArbitrary();

signals:
    // The waveform, amplitude, offset, phase or arbitrary shape changed.
    void changed();

private:
    std::vector<double> arbitraryShape;
};

#endif
