#include "app/CKM5804DemoApp.h"

wxIMPLEMENT_APP(CKM5804DemoApp);
