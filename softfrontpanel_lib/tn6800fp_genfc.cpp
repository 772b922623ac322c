#include "tn6800fp_genfc.h"

QString tn6800fp_modelString(int modelCode)
{
    return QStringLiteral("%1").arg(modelCode, 4, 16, QLatin1Char(' '));
}
