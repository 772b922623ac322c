#include "tn6800fp_led.h"

#include <QPainter>

tn6800fp_led::tn6800fp_led(const QString &text, const QColor &onColour, const QColor &offColour,
                           QWidget *parent)
    : QWidget(parent), m_onColour(onColour),
      m_offColour(offColour == QColor(Qt::magenta) ? palette().color(QPalette::Window) : offColour),
      m_text(text)
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    describeState();
}

tn6800fp_led::tn6800fp_led(const QString &text, const char *onColourName, QWidget *parent)
    : QWidget(parent), m_offColour(palette().color(QPalette::Window)), m_text(text)
{
    m_onColour.setNamedColor(QLatin1String(onColourName ? onColourName : "#FF0000"));
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    describeState();
}

void tn6800fp_led::describeState()
{
    // A screen reader says the lamp's text (or the name its owner gave it)
    // and whether it is lit.
    if (!m_text.isEmpty())
        setAccessibleName(m_text);
    setAccessibleDescription(m_value != 0 ? QStringLiteral("on") : QStringLiteral("off"));
}

QColor tn6800fp_led::fillColour() const
{
    if (m_value == 2 && m_thirdColourSet)
        return m_thirdColour;
    return m_value != 0 ? m_onColour : m_offColour;
}

void tn6800fp_led::setValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    describeState();
    repaint();
}

void tn6800fp_led::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    describeState();
    updateGeometry();
    repaint();
}

void tn6800fp_led::setOnColour(const QColor &colour)
{
    m_onColour = colour;
    repaint();
}

void tn6800fp_led::setOffColour(const QColor &colour)
{
    m_offColour = colour;
    repaint();
}

void tn6800fp_led::setThirdColour(const QColor &colour)
{
    m_thirdColour = colour;
    m_thirdColourSet = true;
    repaint();
}

void tn6800fp_led::toggleValue()
{
    m_value = m_value == 0 ? 1 : 0;
    repaint();
    emit valueToggled();
}

QSize tn6800fp_led::minimumSizeHint() const
{
    const QFontMetrics fm(font());
    const int h = fm.height();
    return QSize(h + 1 + (h + 1) / 2 + fm.horizontalAdvance(m_text), h + 2);
}

void tn6800fp_led::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor B = p.background().color();
    const QColor L = B.lighter(150);
    const QColor D = B.darker(200);
    const QColor F = fillColour();
    const int h = QFontMetrics(font()).height();
    const int x0 = (width() - minimumSizeHint().width()) / 2 + 2;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.drawText(QPoint(x0 + h + h / 2, h - 1), m_text);
    if (h < 10) {
        p.setBrush(QBrush(F, Qt::SolidPattern));
        p.drawChord(QRectF(x0, 0, h, h), 0, 5760);
        return;
    }
    const QRectF outer(x0, 0, h, h);
    const QRectF inner(x0 + 2, 2, h - 4, h - 4);
    p.setPen(L);
    p.drawArc(outer, 720, 2880);
    p.drawArc(inner, 720, 2880);
    p.setPen(D);
    p.drawArc(outer, 3600, 2880);
    p.drawArc(inner, 3600, 2880);
    p.setPen(B);
    p.drawArc(QRectF(x0 + 1, 1, h - 2, h - 2), 0, 5760);
    p.setPen(F);
    p.setBrush(QBrush(F, Qt::SolidPattern));
    p.drawChord(QRectF(x0 + 3, 3, h - 6, h - 6), 0, 5760);
}
