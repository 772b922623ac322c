#include "tn6820fp_lastfolder.h"

#include <QSettings>

namespace {

const QString kOrganisation = QStringLiteral("Morvix");
const QString kProgram = QStringLiteral("tn6820fp");

QString key(const QString &kind)
{
    return QStringLiteral("LastFolder/") + kind;
}

} // namespace

QString tn6820fp_lastFolder(const QString &kind)
{
    const QSettings user(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kProgram);
    return user.value(key(kind)).toString();
}

void tn6820fp_rememberFolder(const QString &kind, const QString &folder)
{
    QSettings user(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kProgram);
    user.setValue(key(kind), folder);
}
