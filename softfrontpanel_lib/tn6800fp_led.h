#ifndef TN6800FP_LED_H
#define TN6800FP_LED_H

#include <QColor>
#include <QWidget>

// A round lamp with a bevelled rim followed by a text, in one line of the
// widget's font. Value 0 is off, any other value on; value 2 shows the third
// colour once one has been set. The widget takes exactly its minimum size.
class tn6800fp_led : public QWidget
{
    Q_OBJECT
public:
    // An off colour of Qt::magenta means "none": the unlit lamp shows the background.
    tn6800fp_led(const QString &text, const QColor &onColour, const QColor &offColour,
                 QWidget *parent = nullptr);
    // The on colour by name; a null name gives red.
    tn6800fp_led(const QString &text, const char *onColourName, QWidget *parent = nullptr);

    int value() const { return m_value; }
    QString text() const { return m_text; }
    QColor onColour() const { return m_onColour; }
    QColor offColour() const { return m_offColour; }
    // The colour the lamp is filled with in its current state.
    QColor fillColour() const;

    void setValue(int value);
    void setText(const QString &text);
    void setOnColour(const QColor &colour);
    void setOffColour(const QColor &colour);
    void setThirdColour(const QColor &colour);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override { return minimumSizeHint(); }

signals:
    void valueToggled();

public slots:
    void toggleValue();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void describeState();

    int m_value = 0;
    QColor m_onColour;
    QColor m_offColour;
    QColor m_thirdColour = Qt::black;
    QString m_text;
    bool m_thirdColourSet = false;
};

#endif
