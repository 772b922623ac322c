#ifndef TN6800FP_CONNECTION_H
#define TN6800FP_CONNECTION_H

class tn6800fp_fcSelect;
struct tn6800fp_startChoice;

// The connection workflow: asks how to reach the card (Auto Find, Enter
// Address, demo mode or Cancel) and goes on until the card is open, demo mode
// is chosen or the user gives up. It works for a selection dialog, whose
// search, selection and result fields it uses and fills.
class tn6800fp_connection
{
public:
    explicit tn6800fp_connection(tn6800fp_fcSelect &dialog) : m_dialog(dialog) {}

    // True with the card open (the dialog's vi set) or demo mode; false when
    // the user gave up. A start choice other than Ask skips the first question.
    bool run(const tn6800fp_startChoice &start);

private:
    tn6800fp_fcSelect &m_dialog;
};

#endif
