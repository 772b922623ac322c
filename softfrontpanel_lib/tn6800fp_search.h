#ifndef TN6800FP_SEARCH_H
#define TN6800FP_SEARCH_H

#include <QFutureInterface>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <atomic>

#include "visa.h"

class tn6800fp_genFC;

// What the search learnt of one VISA resource.
struct resourceInfo_t
{
    QString descriptor;
    QStringList systemTexts;      // empty, or the one carrier text
    qint16 carrierModel = 0;      // after the carrier translation
    QString subtypeSuffix;        // of the position examined last
    QList<QStringList> cardTexts; // per occupied position: "FC n", model text
    QList<int> cardNumbers;       // per occupied position: the position when served, else 0
    QString tcpipAddress;         // of an LXI carrier; empty otherwise
};

// One resource's share of the parallel examination; each worker writes only
// its own record.
struct getResourceInfo_params_t
{
    tn6800fp_genFC *card = nullptr;
    ViSession resourceManager = 0;
    resourceInfo_t info;
    bool done = false; // examined before the parallel run
    // The thread pool already orders the hand-over of a record to its worker
    // and back, but inside the toolkit, where race checkers cannot see it;
    // these two flags make both directions visible in the program's own code.
    std::atomic<bool> handedOver{false};
    std::atomic<bool> examined{false};
};

// Opens the resource, asks the common library for the carrier's positions and
// reads VISA attributes; a resource that cannot be opened or is no carrier
// keeps its record unchanged. Safe to run on many threads at once.
void getResourceInfo(getResourceInfo_params_t *params);

// Examines every work record of the sequence off the GUI thread: the
// resources whose descriptor lacks "TCPIP" one after another in list order,
// then the rest in parallel on the global thread pool. The count of resources
// examined goes to progress after each. The caller's thread must have stored
// handedOver on every record.
void tn6800fp_examineResources(const QVector<getResourceInfo_params_t *> &sequence,
                               QFutureInterface<void> &progress);

// The whole search, for a thread other than the GUI's: opens VISA's resource
// manager, lists every "?*INSTR" resource, examines them all and closes the
// list and the manager. Returns one record per resource in VISA's order. The
// progress range becomes 0..resources once they are listed (busy before), the
// value counts the resources examined, and progress is finished at the very
// end, on every path.
QList<resourceInfo_t> tn6800fp_searchResources(tn6800fp_genFC *card,
                                               QFutureInterface<void> &progress);

// Model numbers as the tree shows them: some carriers and cards report codes
// that differ from their model numbers.
qint16 tn6800fp_translateCarrierModel(quint16 reported);
quint16 tn6800fp_translateCardCode(quint16 reported);

// Keeps the first record of each LXI address: one carrier listed by VISA under
// several descriptors is shown once, under the descriptor found first.
QList<resourceInfo_t> tn6800fp_mergeCarriers(const QList<resourceInfo_t> &records);

#endif
