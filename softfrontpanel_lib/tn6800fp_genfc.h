#ifndef TN6800FP_GENFC_H
#define TN6800FP_GENFC_H

#include <QString>

#include "visa.h"

// What the common framework needs to know of a function card: its model, its
// texts and the session operations used before and after the card's own panel
// exists. Exactly one instance lives for the whole run and no window owns it.
// supportsModel() is called from several search threads at once and must only read.
class tn6800fp_genFC
{
public:
    explicit tn6800fp_genFC(int modelCode) : modelCode(modelCode) {}
    virtual ~tn6800fp_genFC() = default;

    // True when a code read from a carrier position is one this card object serves.
    virtual bool supportsModel(quint16 code) const = 0;
    virtual QString description() const = 0;
    virtual QString noticeText() const = 0;
    virtual QString softwareVersion() const = 0;
    // Needs no open session; empty when the driver cannot say.
    virtual QString driverRevision() const = 0;
    // Empty when the driver has no text for the status.
    virtual QString errorMessage(ViStatus status) const = 0;
    // Opens the card in the first position of fcNumbers; on success writes *vi.
    virtual ViStatus open(const char *descriptor, const qint16 *fcNumbers, ViBoolean idQuery,
                          ViBoolean reset, ViSession *vi) = 0;
    // As open(), and keeps the descriptor and card numbers for reopen().
    virtual ViStatus openAndRemember(const char *descriptor, const qint16 *fcNumbers, qint16 count,
                                     ViBoolean idQuery, ViBoolean reset, ViSession *vi) = 0;
    virtual ViStatus reopen(ViSession *vi) = 0;
    virtual ViStatus close(ViSession vi) = 0;
    virtual ViStatus reset(ViSession vi) = 0;

    const int modelCode;

protected:
    tn6800fp_genFC(const tn6800fp_genFC &) = default;
    tn6800fp_genFC &operator=(const tn6800fp_genFC &) = delete;
};

// The model code as titles show it: lower-case hexadecimal, right-aligned in
// four characters ("6820").
QString tn6800fp_modelString(int modelCode);

#endif
