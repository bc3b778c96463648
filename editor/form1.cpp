// Main window layout and start state (to be written).
#include "editor/form1.h"

#include <QCloseEvent>

TForm1::TForm1(Tid3v2tag& tag, TDialogs& dialogs, platform::MediaDevice& media, QWidget* parent)
    : QWidget(parent), tag_(tag), dialogs_(dialogs), media_(media) {
    FormCreate();
}
TForm1::~TForm1() = default;
void TForm1::FormCreate() {
    CreateLayout();
    CreateRows();
    ConnectPages();
    ConnectRows();
    ConnectSaving();
    ConnectBulk();
    ConnectScrolling();
    ConnectPlayback();
}
void TForm1::CreateLayout() {}
void TForm1::RestoreCaption() {}
void TForm1::ShowAbout() {}
QLabel* TForm1::FileLabel(int) const { return nullptr; }
QLineEdit* TForm1::TitleEdit(int) const { return nullptr; }
QLineEdit* TForm1::ArtistEdit(int) const { return nullptr; }
QLineEdit* TForm1::AlbumEdit(int) const { return nullptr; }
TSpinEdit* TForm1::YearEdit(int) const { return nullptr; }
QLineEdit* TForm1::CommentEdit(int) const { return nullptr; }
TSpinEdit* TForm1::TrackEdit(int) const { return nullptr; }
QComboBox* TForm1::GenreEdit(int) const { return nullptr; }
std::vector<QWidget*> TForm1::RowValueControls(int) const { return {}; }
int TForm1::RowsInScope() const { return 0; }
std::string TForm1::FilePath(int fileIndex) const { return FolderPath + "/" + FileList.at(fileIndex); }
void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (FilterScrollingEvent(watched, event) || FilterBulkEvent(watched, event)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
