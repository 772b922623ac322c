#include "tn6820_fc.h"
#include "tn6820fp_loggedcalls.h"

#include <algorithm>
#include <cstring>

#include "tn6820.h"

namespace {

const quint16 kServedModels[] = {0x6820};

} // namespace

tn6820_fc::tn6820_fc(int modelCode) : tn6800fp_genFC(modelCode)
{
    tn6820fp_logged::nameDriverStatuses();
    std::memset(rememberedDescriptor, 0, sizeof rememberedDescriptor);
    std::fill(std::begin(rememberedFcNumbers), std::end(rememberedFcNumbers), qint16(1));
}

tn6820_fc::~tn6820_fc() = default;

bool tn6820_fc::supportsModel(quint16 code) const
{
    return std::find(std::begin(kServedModels), std::end(kServedModels), code) !=
           std::end(kServedModels);
}

QString tn6820_fc::description() const
{
    return QStringLiteral("8-Channel, 200kS/s DAC Function Card");
}

QString tn6820_fc::noticeText() const
{
    return QStringLiteral("Copyright (C) 2026 Morvix Ltd. All rights reserved.");
}

QString tn6820_fc::softwareVersion() const
{
    return QStringLiteral("4.3.2.12522");
}

QString tn6820_fc::driverRevision() const
{
    // The driver writes its whole text; 256 bytes hold any VISA text.
    char revision[256] = {0};
    if (tn6820fp_logged::tn6820_revision_query(VI_NULL, revision, nullptr) < 0 &&
        openSession != 0) {
        // Drivers that refuse VI_NULL answer with a session.
        std::memset(revision, 0, sizeof revision);
        tn6820fp_logged::tn6820_revision_query(openSession, revision, nullptr);
    }
    revision[sizeof revision - 1] = '\0';
    return QString::fromLatin1(revision);
}

QString tn6820_fc::errorMessage(ViStatus status) const
{
    char text[1024];
    std::memset(text, 0, sizeof text);
    if (tn6820fp_logged::tn6820_error_message(VI_NULL, status, text) != VI_SUCCESS)
        return QString();
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}

ViStatus tn6820_fc::open(const char *descriptor, const qint16 *fcNumbers, ViBoolean idQuery,
                         ViBoolean reset, ViSession *vi)
{
    return noteSession(tn6820fp_logged::tn6820_init(const_cast<ViRsrc>(descriptor), fcNumbers[0],
                                                    idQuery, reset, vi),
                       vi);
}

ViStatus tn6820_fc::noteSession(ViStatus status, const ViSession *vi)
{
    if (status >= 0 && vi)
        openSession = *vi;
    return status;
}

ViStatus tn6820_fc::openAndRemember(const char *descriptor, const qint16 *fcNumbers, qint16 count,
                                    ViBoolean idQuery, ViBoolean reset, ViSession *vi)
{
    std::strncpy(rememberedDescriptor, descriptor, sizeof rememberedDescriptor - 1);
    rememberedDescriptor[sizeof rememberedDescriptor - 1] = '\0';
    const int n = std::clamp(int(count), 0, 256);
    std::copy(fcNumbers, fcNumbers + n, rememberedFcNumbers);
    return open(descriptor, fcNumbers, idQuery, reset, vi);
}

ViStatus tn6820_fc::reopen(ViSession *vi)
{
    return noteSession(tn6820fp_logged::tn6820_init(rememberedDescriptor, rememberedFcNumbers[0],
                                                    VI_TRUE, VI_TRUE, vi),
                       vi);
}

ViStatus tn6820_fc::close(ViSession vi)
{
    if (vi == openSession)
        openSession = 0;
    return tn6820fp_logged::tn6820_close(vi);
}

ViStatus tn6820_fc::reset(ViSession vi)
{
    return tn6820fp_logged::tn6820_reset(vi);
}
