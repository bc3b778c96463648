// Playback of the focused row's file (to be written).
#include "editor/form1.h"

void TForm1::ConnectPlayback() {}
void TForm1::PlayButtonClick() {}
void TForm1::StartPlayback(int) {}
void TForm1::StopPlayback() {}
void TForm1::Timer1Timer() {}
int64_t TForm1::SuspendPlayback() { return 0; }
void TForm1::ResumePlayback(int64_t) {}
