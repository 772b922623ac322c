#ifndef TN6800FP_WIDGETS_H
#define TN6800FP_WIDGETS_H

#include <QString>

class QLabel;
class QWidget;

// Gives a control the same What's-This text and tooltip, as the panels' controls have.
void tn6800fp_setHelp(QWidget *widget, const QString &text);

// A caption that takes no more room than its text (size policy maximum both ways).
QLabel *tn6800fp_fixedLabel(const QString &text);

#endif
