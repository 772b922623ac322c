#include "tn6820fp_resources.h"

#include <QtGlobal>
#include <mutex>

#include "tn6800fp_style.h"

// Resource registration must be reached from outside any namespace.
static void registerProgramResources()
{
    Q_INIT_RESOURCE(tn6820fp);
}

void tn6820fp_initResources()
{
    static std::once_flag once;
    std::call_once(once, registerProgramResources);
    tn6800fp_initResources();
}
