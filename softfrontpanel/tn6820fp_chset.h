#ifndef TN6820FP_CHSET_H
#define TN6820FP_CHSET_H

#include <QWidget>
#include <functional>

#include "tn6820fp_waveforms.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class tn6800fp_led;

// The controls of one DAC channel: its lamp, waveform, amplitude, offset and
// phase, and the file of its arbitrary waveform. It holds no shape: a file
// chosen here is handed to the channel's owner, who reads it and shows it back.
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

    // Reads a shape file for this channel and says whether it did; on a
    // failure it has told the user why. Set by the channel's owner.
    void setShapeReader(std::function<bool(const QString &path)> reader);
    // Hands a file to the reader as if it had been chosen in the dialog; the
    // waveform itself is chosen with the Arbitrary button.
    bool loadShape(const QString &path);
    // Shows the shape the channel holds: its file's name and sample count;
    // a count of 0 for none.
    void showShape(const QString &file, int count);
    // Chooses a waveform as its button would, without releasing it when it
    // is the one chosen already.
    void setWaveform(int kind);

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
    // The waveform buttons act as one exclusive group that may have none checked.
    void setWave();
    // The Arbitrary button: the first time, or with Shift or Ctrl held, it
    // asks for a file first; without one nothing changes.
    void chooseArbitrary();

signals:
    // The waveform, amplitude, offset or phase changed.
    void changed();

private:
    // In the order of tn6820fp_waveforms.
    QPushButton *m_buttons[tn6820fp_waveformCount];
    std::function<bool(const QString &path)> m_readShape;
    bool m_hasShape = false;
};

#endif
