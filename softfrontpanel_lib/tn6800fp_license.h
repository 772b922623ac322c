#ifndef TN6800FP_LICENSE_H
#define TN6800FP_LICENSE_H

#include <QDialog>
#include <QLabel>

// A label drawn as a link that emits clicked() when any mouse button is
// released over it.
class clickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit clickableLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Minimum size of a licence text box on a screen of the given dots per inch.
QSize tn6800fp_licenseTextMinimumSize(int dpi);

// True when the run-time toolkit is of major version 4, whose licence is LGPL 2.1.
bool tn6800fp_qtIsLgpl21(const char *runtimeVersion);

// Modal dialogs showing one licence text each, in a box that does not wrap lines.
class qtLicense : public QDialog
{
    Q_OBJECT
public:
    explicit qtLicense(QWidget *parent = nullptr);
};

class qwtLicense : public QDialog
{
    Q_OBJECT
public:
    explicit qwtLicense(QWidget *parent = nullptr);
};

class kissFFTLicense : public QDialog
{
    Q_OBJECT
public:
    explicit kissFFTLicense(QWidget *parent = nullptr);
};

#endif
