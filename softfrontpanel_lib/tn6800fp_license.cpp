#include "tn6800fp_license.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

#include "tn6800fp_style.h"

namespace {

void buildLicenseDialog(QDialog *dialog, const QString &title, const QString &resource)
{
    tn6800fp_initResources();
    const int dpi = dialog->logicalDpiX();
    dialog->setModal(true);
    dialog->setWindowTitle(title);
    dialog->setObjectName(QStringLiteral("licenseDialog"));
    auto *layout = new QVBoxLayout(dialog);
    auto *text = new QPlainTextEdit;
    text->setObjectName(QStringLiteral("licenseText"));
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setMinimumSize(tn6800fp_licenseTextMinimumSize(dpi));
    text->setReadOnly(true);
    text->setFont(QFont(QStringLiteral("Courier")));
    QFile file(resource);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        // The texts are ASCII or UTF-8; reading them as UTF-8 shows the same
        // characters on every system, whatever its local encoding.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        in.setEncoding(QStringConverter::Utf8);
#else
        in.setCodec("UTF-8");
#endif
        text->setPlainText(in.readAll());
        file.close();
    }
    layout->addWidget(text);
    auto *line = new QHBoxLayout;
    line->addStretch();
    auto *ok = new QPushButton(QStringLiteral("Ok"));
    ok->setObjectName(QStringLiteral("okButton"));
    line->addWidget(ok);
    layout->addLayout(line);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
}

} // namespace

clickableLabel::clickableLabel(const QString &text, QWidget *parent)
    : QLabel(QStringLiteral("<u><font color='#22e'>") + text + QStringLiteral("</font></u>"),
             parent)
{
    setCursor(Qt::PointingHandCursor);
}

void clickableLabel::mouseReleaseEvent(QMouseEvent *)
{
    emit clicked();
}

QSize tn6800fp_licenseTextMinimumSize(int dpi)
{
    return QSize(650 * dpi / 96, 500 * dpi / 96);
}

bool tn6800fp_qtIsLgpl21(const char *runtimeVersion)
{
    return runtimeVersion && runtimeVersion[0] == '4';
}

qtLicense::qtLicense(QWidget *parent) : QDialog(parent)
{
    buildLicenseDialog(this, QStringLiteral("Qt LGPL License"),
                       tn6800fp_qtIsLgpl21(qVersion()) ? QStringLiteral(":/qt-lgpl-license.txt")
                                                       : QStringLiteral(":/qt5-lgpl-license.txt"));
}

qwtLicense::qwtLicense(QWidget *parent) : QDialog(parent)
{
    buildLicenseDialog(this, QStringLiteral("Qwt LGPL License"),
                       QStringLiteral(":/qwt-lgpl-license.txt"));
}

kissFFTLicense::kissFFTLicense(QWidget *parent) : QDialog(parent)
{
    buildLicenseDialog(this, QStringLiteral("KISS FFT BSD License"),
                       QStringLiteral(":/kiss-fft-bsd-license.txt"));
}
