#include "tn6800fp_style.h"

#include <QApplication>
#include <QDebug>
#include <QStyle>
#include <QStyleFactory>
#include <mutex>

// Resource registration must be reached from outside any namespace.
static void registerFrameworkResources()
{
    Q_INIT_RESOURCE(softfrontpanel_lib);
}

void tn6800fp_initResources()
{
    static std::once_flag once;
    std::call_once(once, registerFrameworkResources);
}

void tn6800fp_applyStyle()
{
    QStyle *style = QStyleFactory::create(QStringLiteral("Plastique"));
    if (!style) {
        static bool told = false;
        if (!told) {
            qDebug("The Plastique style is not installed; using Fusion instead");
            told = true;
        }
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    }
    if (style)
        QApplication::setStyle(style);
}
