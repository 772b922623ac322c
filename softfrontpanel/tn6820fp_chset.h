#ifndef TN6820FP_CHSET_H
#define TN6820FP_CHSET_H

#include <QWidget>
#include <functional>

#include "tn6820fp_waveforms.h"

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class tn6800fp_led;

// The controls of one DAC channel: its lamp, waveform, amplitude, offset and
// phase, a square's duty cycle or a triangle's symmetry, its multiple, the
// file of its arbitrary waveform and its formula. It holds no shape: a file
// chosen here is handed to the channel's owner, who reads it and shows it
// back, and a formula typed is handed on as it is typed.
class tn6820fp_chSet : public QWidget
{
    Q_OBJECT
public:
    tn6820fp_chSet();

    // 0 none, 1 sine, 2 square, 3 saw, 4 triangle, 5 arbitrary, 6 formula.
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
    // Shows the formula as typed, and why it does not play (empty when it does).
    void showFormula(const QString &text, const QString &why);
    void showFormulaProblem(const QString &why);

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
    QPushButton *formulaButton;
    QDoubleSpinBox *duty;     // shown for the square
    QDoubleSpinBox *symmetry; // shown for the triangle
    QSpinBox *multiple;
    QLineEdit *formula; // shown for the formula
    QLabel *formulaProblem;

public slots:
    // The waveform buttons act as one exclusive group that may have none checked.
    void setWave();
    // The Arbitrary button: the first time, or with Shift or Ctrl held, it
    // asks for a file first; without one nothing changes.
    void chooseArbitrary();

signals:
    // The waveform, amplitude, offset, phase, duty, symmetry or multiple changed.
    void changed();
    // The user typed in the formula field.
    void formulaEdited(const QString &text);

private:
    // Shows the controls that belong to the chosen waveform.
    void showWaveformControls();
    QWidget *m_dutyRow[2];
    QWidget *m_symmetryRow[2];
    QWidget *m_formulaRow;
    // In the order of tn6820fp_waveforms.
    QPushButton *m_buttons[tn6820fp_waveformCount];
    std::function<bool(const QString &path)> m_readShape;
    bool m_hasShape = false;
};

#endif
