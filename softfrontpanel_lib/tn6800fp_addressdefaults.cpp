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

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// A value in double quotes: a quote or backslash behind a backslash, anything
// outside printable ASCII as \xNNNN, and a hexadecimal digit right after such
// an escape escaped too, since the reader would take it as part of it.
QByteArray iniValue(const QString &value)
{
    QByteArray out = "\"";
    bool afterHex = false;
    for (const QChar c : value) {
        const ushort u = c.unicode();
        if (u < 0x20 || u >= 0x7F || (afterHex && isHexDigit(c))) {
            out += "\\x" + QByteArray::number(u, 16).rightJustified(4, '0');
            afterHex = true;
            continue;
        }
        afterHex = false;
        if (u == '"' || u == '\\')
            out += '\\';
        out += char(u);
    }
    return out + '"';
}

} // namespace

QByteArray tn6800fp_iniWithGroup(const QByteArray &text, const QString &group,
                                 const QList<QPair<QString, QString>> &keys)
{
    QByteArray section = '[' + group.toUtf8() + "]\n";
    for (const auto &key : keys)
        section += key.first.toUtf8() + '=' + iniValue(key.second) + '\n';
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QByteArray out;
    bool inGroup = false;
    bool placed = false;
    for (const QByteArray &line : lines) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            inGroup = trimmed.mid(1, trimmed.size() - 2) == group.toUtf8();
            if (inGroup && !placed) {
                out += section + '\n';
                placed = true;
            }
        }
        if (!inGroup)
            out += line + '\n';
    }
    if (!placed)
        out += (out.isEmpty() || out.endsWith("\n\n") ? QByteArray() : QByteArray("\n")) + section;
    return out;
}
