// Folder listing and pages of rows (to be written).
#include "editor/form1.h"

void TForm1::ConnectPages() {}
bool TForm1::SelectFolder(const QString&) { return true; }
void TForm1::ListFolder() {}
void TForm1::Button2Click() {}
void TForm1::TietojaModifoitu() {}
void TForm1::VasemmalleClick() {}
void TForm1::OikealleClick() {}
std::optional<int> TForm1::FindFocusedRow() const { return std::nullopt; }
bool TForm1::ShellTreeView1Changing() { return true; }
void TForm1::ShellTreeView1Change() {}
void TForm1::ShellTreeView1Click() {}
void TForm1::ShellComboBox1Click() {}
void TForm1::CreateRows() {}
