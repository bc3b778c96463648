// The about dialog.
#include "editor/dialogs/about_dialog.h"

#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "editor/model/page_logic.h"
#include "editor/widgets/colours.h"
#include "editor/widgets/glyphs.h"

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About Tagvora..."));
    setFixedSize(470, 215);
    colours::FillBackground(this, colours::kPaleGreen);

    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, 12, 190, 89);
    Image1->setPixmap(glyphs::NamedLogo(QSize(190, 89), QStringLiteral("Tagvora")));
    Image1->setToolTip(QStringLiteral("Logo of Tagvora"));

    auto* Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(216, 12, 242, 40);
    QFont titleFont = font();
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    colours::SetColour(Label1, QPalette::WindowText, colours::kLogoGreen);
    Label1->setText(QString::fromStdString(page_logic::TitleText()));

    auto* Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(216, 56, 242, 110);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->viewport()->setAutoFillBackground(false);
    Memo1->setPlainText(QStringLiteral(
        "An editor for the tags of MP3 files: ID3v1.1 records and ID3v2 tags, a page "
        "of forty files at a time.\n\nBuilt with Qt, zlib and libmpg123."));

    auto* OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(383, 178, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
