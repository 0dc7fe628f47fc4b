#include "gui/app.h"

wxIMPLEMENT_APP(ZenorbApp);
