#include "app/RegisterPages.h"

#include "monitor/ui/CDialogMainA.h"

void RegisterPages(CDialogMainA* hub) {
    // One line per page: hub->RegisterPage(<button id>, <page>).
    (void)hub;
}
