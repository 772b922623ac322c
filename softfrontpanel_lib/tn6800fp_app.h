#ifndef TN6800FP_APP_H
#define TN6800FP_APP_H

#include <QWidget>

class QLabel;
class QLayout;
class QPushButton;
class QVBoxLayout;
class tn6800fp_led;

// Moves the widget, keeping its size, to the middle of the primary screen's
// work area, measured from the desktop's origin; a widget larger than the work
// area gets a negative position.
void centerOnScreen(QWidget *widget);

// The top-level window every soft front panel shares: a header (maker's
// logo, title, carrier logo), a content area that the concrete panel fills,
// and a side column of common controls. Closing asks for confirmation.
class tn6800fp_app : public QWidget
{
    Q_OBJECT
public:
    tn6800fp_app();
    ~tn6800fp_app() override;

    // Installs the layout on the content area once the frame is complete.
    void setContentLayout(QLayout *layout);
    void setTitleText(const QString &text);
    // Shows the LXI logo when the flag is set; a false flag changes nothing.
    void setLxiLogo(bool lxi);
    void clearCarrierLogo();
    // An empty text hides the line; an empty What's-This text keeps the previous one.
    void setModuleLabel(const QString &text, const QString &whatsThis);
    void setCardLabel(const QString &text, const QString &whatsThis);
    // The Active lamp is lit in real mode only.
    void setDemoMode(bool demo);
    void showAutoscale(bool show);
    void showIdentify(bool show);
    // A button of the concrete panel's own in the side column, above "Reset
    // Device"; in the order added.
    void addSideButton(QPushButton *button);

signals:
    void autoscaleToggled(bool on);
    void identToggled(bool on);
    void startSingle();
    void breakSingle();
    void startCont();
    void stopCont();
    void resetPressed();

public slots:
    void enterWIT();
    // Ends whichever acquisition runs, emitting its stop signal, and leaves both buttons enabled.
    void userBreak();
    void enableStart();

private slots:
    void autoscaleToggledSlot(bool status);
    void identToggledSlot(bool status);
    void startToggledSlot(bool status);
    void startContToggledSlot(bool status);

protected:
    void closeEvent(QCloseEvent *event) override;

    QPushButton *helpButton;
    QPushButton *autoscaleButton;
    QWidget *aboutDialog = nullptr;
    QPushButton *aboutButton;
    QWidget *contentArea;
    bool contentReady = false;
    QLabel *titleLabel;
    QLabel *carrierLogoLabel;
    QLabel *moduleLabel;
    QLabel *cardLabel;
    tn6800fp_led *activeLed;
    QPushButton *closeButton;
    QLabel *autoscaleLabel;
    QVBoxLayout *sideColumn;
    QLabel *identifyLabel;
    QPushButton *identifyButton;
    QPushButton *resetButton;
    QPushButton *startButton;
    QPushButton *startContButton;

private:
    static void setLine(QLabel *label, const QString &text, const QString &whatsThis);
};

#endif
