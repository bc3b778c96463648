// Bulk editing commands (to be written).
#include "editor/form1.h"

void TForm1::ConnectBulk() {}
bool TForm1::FilterBulkEvent(QObject*, QEvent*) { return false; }
void TForm1::ColumnBoxClick(QCheckBox*) {}
void TForm1::ShiftiMouseDown(Qt::KeyboardModifiers) {}
void TForm1::CheckBox1Click() {}
void TForm1::CheckBox1MouseDown(Qt::KeyboardModifiers) {}
void TForm1::SpeedButton5Click() {}
void TForm1::SpeedButton6Click() {}
void TForm1::SpeedButton3Click() {}
void TForm1::SpeedButton4Click() {}
