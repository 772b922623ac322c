#ifndef TN6820_FC_H
#define TN6820_FC_H

#include "tn6800fp_genfc.h"

// The function-card object of the Orbana 6820 DAC card: its texts, and the
// session operations mapped one to one onto the card's instrument driver.
class tn6820_fc : public tn6800fp_genFC
{
public:
    explicit tn6820_fc(int modelCode = 0x6820);
    ~tn6820_fc() override;

    bool supportsModel(quint16 code) const override;
    QString description() const override;
    QString noticeText() const override;
    QString softwareVersion() const override;
    QString driverRevision() const override;
    QString errorMessage(ViStatus status) const override;
    ViStatus open(const char *descriptor, const qint16 *fcNumbers, ViBoolean idQuery,
                  ViBoolean reset, ViSession *vi) override;
    ViStatus openAndRemember(const char *descriptor, const qint16 *fcNumbers, qint16 count,
                             ViBoolean idQuery, ViBoolean reset, ViSession *vi) override;
    ViStatus reopen(ViSession *vi) override;
    ViStatus close(ViSession vi) override;
    ViStatus reset(ViSession vi) override;

    // What openAndRemember() kept; for reopen() and for inspection.
    const char *rememberedDescriptorText() const { return rememberedDescriptor; }
    qint16 rememberedFcNumber(int index) const { return rememberedFcNumbers[index]; }

private:
    // Keeps the session of a successful open, so that driverRevision() can
    // ask a driver that refuses VI_NULL; forgotten when it is closed.
    ViStatus noteSession(ViStatus status, const ViSession *vi);

    char rememberedDescriptor[2048];
    qint16 rememberedFcNumbers[256];
    ViSession openSession = 0;
};

#endif
