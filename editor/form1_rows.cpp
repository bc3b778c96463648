// Values between rows and tags (to be written).
#include "editor/form1.h"

void TForm1::ConnectRows() {}
Tv2TAGInfo TForm1::LoadV2Row(const std::string&) { return {}; }
bool TForm1::FillRow(int, const std::string&) { return false; }
int TForm1::WriteV2Row(const std::string&, int) { return 1; }
void TForm1::SpeedButton7Click() {}
void TForm1::SpeedButton8Click() {}
bool TForm1::RowUntagged(int) const { return false; }
void TForm1::SetRowUntagged(int, bool) {}
void TForm1::SetRowLimits(int, int) {}
