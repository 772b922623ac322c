#include "testcard.h"

#include <QByteArray>

#include "tn6820.h"

namespace sfptest {

QString TestCard::description() const
{
    return QStringLiteral("Test Function Card");
}

QString TestCard::noticeText() const
{
    return QStringLiteral("Made for the tests.");
}

QString TestCard::softwareVersion() const
{
    return QStringLiteral("1.0.0.1");
}

QString TestCard::driverRevision() const
{
    char revision[256] = {0};
    tn6820_revision_query(VI_NULL, revision, nullptr);
    return QString::fromLatin1(revision);
}

QString TestCard::errorMessage(ViStatus status) const
{
    char text[1024] = {0};
    return tn6820_error_message(VI_NULL, status, text) == VI_SUCCESS ? QString::fromLatin1(text)
                                                                     : QString();
}

ViStatus TestCard::open(const char *descriptor, const qint16 *fcNumbers, ViBoolean idQuery,
                        ViBoolean reset, ViSession *vi)
{
    return tn6820_init(const_cast<ViRsrc>(descriptor), fcNumbers[0], idQuery, reset, vi);
}

ViStatus TestCard::openAndRemember(const char *descriptor, const qint16 *fcNumbers, qint16,
                                   ViBoolean idQuery, ViBoolean reset, ViSession *vi)
{
    m_descriptor = descriptor;
    m_fcNumber = fcNumbers[0];
    return open(descriptor, fcNumbers, idQuery, reset, vi);
}

ViStatus TestCard::reopen(ViSession *vi)
{
    return open(m_descriptor.constData(), &m_fcNumber, VI_TRUE, VI_TRUE, vi);
}

ViStatus TestCard::close(ViSession vi)
{
    return tn6820_close(vi);
}

ViStatus TestCard::reset(ViSession vi)
{
    return tn6820_reset(vi);
}

} // namespace sfptest
