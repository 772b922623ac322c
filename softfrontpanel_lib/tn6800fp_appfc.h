#ifndef TN6800FP_APPFC_H
#define TN6800FP_APPFC_H

#include "tn6800fp_app.h"
#include "tn6800fp_fcselect.h"
#include "visa.h"

class tn6800fp_About;
class tn6800fp_genFC;

// The frame of a panel for one function card. Its constructor runs the
// connection workflow (ending the process when the user gives up), keeps the
// session or the demo flag for the whole run, shows which card in which
// carrier position it drives, and creates the About dialog. Destroying it
// closes the session, unless in demo mode.
class tn6800fp_AppFC : public tn6800fp_app
{
    Q_OBJECT
public:
    // With skipConnection the workflow does not run and the frame is in demo
    // mode; start says how the workflow begins.
    tn6800fp_AppFC(tn6800fp_genFC *card, int multiSelection = 0, bool skipConnection = false,
                   const char *qwtVersion = nullptr, bool kissFFT = false,
                   const tn6800fp_startChoice &start = tn6800fp_startChoice());
    ~tn6800fp_AppFC() override;

    ViSession vi() const { return d_vi; }
    bool isDemo() const { return demoMode != 0; }
    bool isLxiCarrier() const { return lxiCarrier; }
    int cardNumber(int index) const { return fcNumbers[index]; }
    // The descriptor the card was opened with ("," between several); in demo
    // mode the workflow's placeholder.
    QString descriptor() const { return m_descriptor; }
    int cardCount() const { return fcCount; }
    tn6800fp_About *about() const { return m_about; }

protected:
    void closeEvent(QCloseEvent *event) override;

    ViSession d_vi = 0;
    qint32 demoMode = 0;
    qint32 fcNumbers[256] = {};
    qint32 fcCount = 0;
    bool lxiCarrier = false;
    tn6800fp_genFC *card;

private slots:
    void resetDevice();

private:
    tn6800fp_About *m_about = nullptr;
    QString m_descriptor;
};

#endif
