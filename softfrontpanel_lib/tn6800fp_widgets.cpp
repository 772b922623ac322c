#include "tn6800fp_widgets.h"

#include <QLabel>

void tn6800fp_setHelp(QWidget *widget, const QString &text)
{
    widget->setWhatsThis(text);
    widget->setToolTip(text);
}

QLabel *tn6800fp_fixedLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    return label;
}
