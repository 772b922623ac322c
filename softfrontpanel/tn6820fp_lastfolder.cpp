#include "tn6820fp_lastfolder.h"

#include <QFileDialog>
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

QString tn6820fp_chooseFile(QWidget *parent, const QString &kind, const QString &title,
                            const QString &filter, const char *objectName,
                            const QString &saveSuffix)
{
    QFileDialog dialog(parent, title, tn6820fp_lastFolder(kind), filter);
    dialog.setObjectName(QLatin1String(objectName));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (saveSuffix.isEmpty()) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(saveSuffix);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    tn6820fp_rememberFolder(kind, dialog.directory().absolutePath());
    return dialog.selectedFiles().first();
}
