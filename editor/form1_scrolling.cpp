// Scrolling and tab order in the rows area (to be written).
#include "editor/form1.h"

void TForm1::ConnectScrolling() {}
bool TForm1::FilterScrollingEvent(QObject*, QEvent*) { return false; }
void TForm1::ScrollBox1MouseWheelDown() {}
void TForm1::ScrollBox1MouseWheelUp() {}
void TForm1::ScrollBox1MouseDown() {}
void TForm1::ScrollBox1MouseMove(int, int) {}
void TForm1::ScrollBox1MouseUp() {}
void TForm1::CheckBox3Click() {}
