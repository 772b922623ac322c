#ifndef SFPTEST_TESTCARD_H
#define SFPTEST_TESTCARD_H

#include "tn6800fp_genfc.h"

namespace sfptest {

// A function card for the framework's tests: it serves the 6820 cards of the
// stand-ins' bench through the stand-in driver, as the real card object does,
// under any model code (titles and the address file's group follow the code),
// so that the framework is tested without the DAC program.
class TestCard : public tn6800fp_genFC
{
public:
    explicit TestCard(int modelCode = 0x6820) : tn6800fp_genFC(modelCode) {}

    bool supportsModel(quint16 code) const override { return code == 0x6820; }
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

private:
    QByteArray m_descriptor;
    qint16 m_fcNumber = 1;
};

} // namespace sfptest

#endif
