#include "tn6800fp_addressdefaults.h"

QStringList tn6800fp_rememberedDescriptors(const QString &current, const QStringList &list)
{
    QStringList out{current};
    for (const QString &d : list) {
        if (out.size() == 5)
            break;
        if (!out.contains(d))
            out << d;
    }
    return out;
}

QString tn6800fp_defaultsFilePath(const QString &allUsersProfile, const QString &genericConfig,
                                  bool windows)
{
    if (windows) {
        const QString base =
            allUsersProfile.isEmpty() ? QStringLiteral("c:\\vxipnp") : allUsersProfile;
        return base + QStringLiteral("\\Morvix\\DefaultInstrDescr.ini");
    }
    const QString base = allUsersProfile.isEmpty() ? genericConfig : allUsersProfile;
    return base + QStringLiteral("/Morvix/DefaultInstrDescr.ini");
}

namespace {

int storedInteger(const QString &stored)
{
    bool ok = false;
    const int v = stored.trimmed().toInt(&ok);
    return ok ? v : 0; // like the settings class, a non-number reads as 0
}

} // namespace

int tn6800fp_storedCardNumberIndex(const QString &stored)
{
    const int v = storedInteger(stored);
    return v >= 0 && v <= 8 ? v : 0;
}

int tn6800fp_storedCountIndex(const QString &stored)
{
    const qint64 v = qint64(storedInteger(stored)) - 1;
    return v >= 0 && v < 8 ? int(v) : 0;
}

QString tn6800fp_exampleAddress()
{
    return QStringLiteral("192.168.10.20");
}

QString tn6800fp_defaultDescriptor()
{
    return QStringLiteral("TCPIP::%1::INSTR").arg(tn6800fp_exampleAddress());
}
