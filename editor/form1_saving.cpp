// Save Row, Save All Rows and the close query (to be written).
#include "editor/form1.h"

void TForm1::ConnectSaving() {}
void TForm1::SpeedButton1Click() {}
void TForm1::SpeedButton2Click() {}
bool TForm1::FormCloseQuery() { return true; }
