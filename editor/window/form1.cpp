// Main window layout and start state, the caption, the logo and the about box.
#include "editor/window/form1.h"
#include "editor/window/form1_parts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/dialogs/about_dialog.h"
#include "editor/dialogs/dialogs.h"
#include "editor/model/column_layout.h"
#include "editor/model/page_logic.h"
#include "editor/widgets/colours.h"
#include "editor/widgets/fonts.h"
#include "editor/widgets/glyphs.h"
#include "editor/widgets/shell_tree.h"

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A flat button that never takes the focus, so a click leaves it in the row.
QToolButton* FlatButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = Named(new QToolButton(parent), name);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    return button;
}

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption, QRect geometry,
               const QString& hint = {}) {
    auto* box = Named(new QCheckBox(caption, parent), name);
    box->setGeometry(geometry);
    box->setToolTip(hint);
    return box;
}

// The window's normal (not maximised) size.
constexpr int kNormalWidth = column_layout::kNormalWindowWidth;
constexpr int kNormalHeight = 408;

// Condenses a box's caption as far as it needs to end inside the window at its
// normal size; the desktop's sans-serif runs wider than the captions were laid
// out for.
void FitInsideNormalWidth(QCheckBox* box) {
    const QString caption = QString(box->text()).remove('&');
    QFont font = box->font();
    // The indicator and its spacing keep their width; the text shrinks.
    const int room = kNormalWidth - box->x() - box->sizeHint().width() +
                     QFontMetrics(font).horizontalAdvance(caption);
    for (int stretch = QFont::Unstretched;
         QFontMetrics(font).horizontalAdvance(caption) > room && stretch > QFont::Condensed;) {
        font.setStretch(--stretch);
    }
    box->setFont(font);
    box->resize(kNormalWidth - box->x(), box->height());
}

QLabel* LogoLabel(QWidget* parent, const char* name, const QString& text, int pixelSize, bool bold,
                  QRect geometry) {
    auto* label = Named(new QLabel(text, parent), name);
    QFont font = fonts::PixelFont(fonts::Role::Sans, pixelSize);
    font.setBold(bold);
    if (bold) {
        font.setStretch(QFont::Condensed);
    }
    label->setFont(font);
    colours::SetColour(label, QPalette::WindowText, colours::kLogoGreen);
    label->setGeometry(geometry);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(QStringLiteral("Press here!"));
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

// The credits stand at the panel's right end, whatever its width.
void PlaceCredits(QLabel* credits, const QWidget* panel) {
    credits->move(panel->width() - credits->width() - 4, 0);
}

}  // namespace

TForm1::TForm1(Tid3v2tag& tag, TDialogs& dialogs, platform::MediaDevice& media, QWidget* parent)
    : QWidget(parent), tag_(tag), dialogs_(dialogs), media_(media) {
    FormCreate();
}

TForm1::~TForm1() {
    // The fields the history watches lose the focus while the base class
    // deletes them, after this object's own members are gone.
    parts_.reset();
}

void TForm1::FormCreate() {
    TagKind = 1;
    MarqueeOffset = 0;
    PageIndex = 0;
    CreateLayout();
    CreateRows();
    CreateFirstParts();
    // The helpers of the other concerns receive the mouse events of the rows
    // area and of the column boxes through eventFilter.
    ScrollBox1->viewport()->installEventFilter(this);
    RowsArea->installEventFilter(this);
    for (QCheckBox* box : {CheckBox1, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8,
                           CheckBox9, CheckBox10}) {
        box->installEventFilter(this);
    }
    // The logo and the credits label answer clicks here.
    for (QWidget* widget : {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Image1),
                            static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label3),
                            static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label11)}) {
        widget->installEventFilter(this);
    }
    ConnectFolders();
    ConnectPages();
    ConnectBulk();
    ConnectScrolling();
    ConnectPlayback();
    CreateLastParts();
    page_.AddSeparator();
    page_.AddCommand(QStringLiteral("About Tagvora"), {}, [this] { ShowAbout(); });
    notices_.NoticeKindShown();
    RestoreCaption();
    setWindowTitle(titleText_);
}

void TForm1::CreateLayout() {
    setObjectName(QStringLiteral("Form1"));
    resize(kNormalWidth, kNormalHeight);
    colours::FillBackground(this, colours::kPaleGreen);
    const QFont font = fonts::PointFont(fonts::Role::Sans, 8);
    setFont(font);
    setWindowIcon(glyphs::WindowIcon());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFixedHeight(216);
    colours::FillBackground(Panel2, colours::kPaleGreen);
    layout->addWidget(Panel2);

    Panel1 = Named(new QFrame(Panel2), "Panel1");
    Panel1->setGeometry(8, 8, 145, 177);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    colours::FillBackground(Panel1, colours::kButtonBoxGreen);
    SpeedButton1 = FlatButton(Panel1, "SpeedButton1", QStringLiteral("&Save Row"), {8, 8, 129, 28});
    SpeedButton2 =
        FlatButton(Panel1, "SpeedButton2", QStringLiteral("S&ave All Rows"), {8, 40, 129, 28});
    SpeedButton4 =
        FlatButton(Panel1, "SpeedButton4", QStringLiteral("&Revert to Saved"), {8, 72, 129, 28});
    SpeedButton3 =
        FlatButton(Panel1, "SpeedButton3", QStringLiteral("&Erase All Rows"), {8, 104, 129, 28});
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(false);
    }
    Label9 = Named(new QLabel(QStringLiteral("Page n/n"), Panel1), "Label9");
    Label9->setGeometry(8, 134, 129, 16);
    Label9->setAlignment(Qt::AlignCenter);
    Label9->hide();
    Vasemmalle = FlatButton(Panel1, "Vasemmalle", QString(), {36, 151, 34, 20});
    Vasemmalle->setIcon(glyphs::PreviousPage());
    Vasemmalle->setToolTip(QStringLiteral("Previous page (Ctrl+PageUp)"));
    Vasemmalle->hide();
    Oikealle = FlatButton(Panel1, "Oikealle", QString(), {75, 151, 34, 20});
    Oikealle->setIcon(glyphs::NextPage());
    Oikealle->setToolTip(QStringLiteral("Next page (Ctrl+PageDown)"));
    Oikealle->hide();
    Button2 = Named(new QPushButton(QStringLiteral("Button2"), Panel1), "Button2");
    Button2->hide();

    ShellComboBox1 = Named(new QComboBox(Panel2), "ShellComboBox1");
    ShellComboBox1->setGeometry(160, 8, 433, 24);
    ShellComboBox1->setMaxVisibleItems(8);
    ShellTreeView1 = Named(new TShellTreeView(Panel2), "ShellTreeView1");
    ShellTreeView1->setGeometry(160, 34, 433, 153);

    Image1 = Named(new QLabel(Panel2), "Image1");
    Image1->setGeometry(600, 12, 190, 89);
    Image1->setPixmap(glyphs::Logo(QSize(190, 89)));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QStringLiteral("Click here!"));
    Label1 = LogoLabel(Panel2, "Label1", QStringLiteral("ID3v1.1"), 48, true, {606, 10, 184, 56});
    Label4 = LogoLabel(Panel2, "Label4", QStringLiteral("Tagvora"), 35, false, {608, 60, 140, 40});
    Label3 = LogoLabel(Panel2, "Label3", QString::fromStdString(page_logic::VersionText()), 16,
                       false, {752, 74, 36, 20});
    Label11 = Named(new QLabel(QStringLiteral("by the Tagvora team"), Panel2), "Label11");
    QFont credits = font;
    credits.setItalic(true);
    credits.setPointSize(7);
    Label11->setFont(credits);
    Label11->adjustSize();

    SpeedButton7 = FlatButton(Panel2, "SpeedButton7", QStringLiteral("&Modify ID3v2.4.0-tags"),
                              {600, 106, 190, 24});
    SpeedButton8 = FlatButton(Panel2, "SpeedButton8", QStringLiteral("&Copy tags to Id3v2"),
                              {600, 134, 190, 24});
    CheckBox1 = Box(Panel2, "CheckBox1", QStringLiteral("&Set the name of folder for Albums"),
                    {600, 162, 250, 18});
    CheckBox3 = Box(Panel2, "CheckBox3", QStringLiteral("&Directly from Artist to Title with Tab"),
                    {600, 180, 250, 18});
    CheckBox3->setChecked(true);
    for (QCheckBox* box : {CheckBox1, CheckBox3}) {
        FitInsideNormalWidth(box);
    }

    PlayButton = FlatButton(Panel2, "PlayButton", QStringLiteral("&Play"), {10, 194, 80, 22});
    PlayButton->setIcon(glyphs::Play());
    PlayButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    CheckBox4 =
        Box(Panel2, "CheckBox4", QStringLiteral("Title"), {104, 196, 62, 18},
            QStringLiteral("Set each title on this page to the same with the topmost title."));
    SpeedButton6 = FlatButton(Panel2, "SpeedButton6", QStringLiteral("&Names"), {170, 195, 44, 20});
    SpeedButton6->setToolTip(QStringLiteral("Set file names to titles."));
    CheckBox5 =
        Box(Panel2, "CheckBox5", QStringLiteral("Artist"), {216, 196, 110, 18},
            QStringLiteral("Set each artist on this page to the same with the topmost artist."));
    CheckBox6 =
        Box(Panel2, "CheckBox6", QStringLiteral("Album"), {338, 196, 110, 18},
            QStringLiteral("Set each album on this page to the same with the topmost album."));
    CheckBox7 =
        Box(Panel2, "CheckBox7", QStringLiteral("Year"), {456, 196, 50, 18},
            QStringLiteral("Set each year on this page to the same with the topmost year."));
    CheckBox8 =
        Box(Panel2, "CheckBox8", QStringLiteral("Comment"), {510, 196, 110, 18},
            QStringLiteral("Set each comment on this page to the same with the topmost comment."));
    CheckBox9 =
        Box(Panel2, "CheckBox9", QStringLiteral("Track"), {629, 196, 52, 18},
            QStringLiteral("Test this operation yourself to solve behaviours of it. Try also "
                           "Shift key (Shift can also be used for other check boxes)."));
    CheckBox10 =
        Box(Panel2, "CheckBox10", QStringLiteral("Genre"), {684, 196, 56, 18},
            QStringLiteral("Set each genre on this page to the same with the topmost genre."));
    SpeedButton5 =
        FlatButton(Panel2, "SpeedButton5", QStringLiteral("&Classical"), {740, 195, 64, 20});
    SpeedButton5->setToolTip(QStringLiteral("Set genre Classical for each file."));
    // Two captions share their Alt letter with a command button: Alt+S saves the
    // row and Alt+C copies the tags. Qt runs neither of two buttons that share a
    // letter, so the box and Classical keep the underline but not the shortcut.
    CheckBox1->setShortcut(QKeySequence());
    SpeedButton5->setShortcut(QKeySequence());

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);

    ScrollBox1 = Named(new QScrollArea(this), "ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    layout->addWidget(ScrollBox1, 1);
    RowsArea = Named(new QWidget, "RowsArea");
    rowView_ = std::make_unique<TRowView>(*RowsArea, rowModel_, chosen_);
    writer_ = std::make_unique<TRowWriter>(tag_, dialogs_, *this, rowModel_, chosen_);
    // The page builder sizes the area to the rows it shows.
    RowsArea->resize(780, 40);
    colours::FillBackground(RowsArea, colours::kPaleGreen);
    Label8 =
        Named(new QLabel(QStringLiteral("This folder does not contain any MP3 files."), RowsArea),
              "Label8");
    Label8->setFont(fonts::PixelFont(fonts::Role::Serif, 13));
    colours::SetColour(Label8, QPalette::WindowText, colours::kMaroon);
    Label8->move(10, 10);
    Label8->adjustSize();
    Label8->hide();
    ScrollBox1->setWidget(RowsArea);

    // Says what the last save wrote; the caption returns to the folder after it.
    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1);

    PlaceCredits(Label11, Panel2);
    captions_ =
        std::make_unique<TKindCaptions>(*Label1, *SpeedButton7, *SpeedButton8, rowModel_, chosen_);
    captions_->FitKindLabel();
    // Narrower or lower than this, controls of the command panel would be cut off.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setMinimumSize(kNormalWidth, Panel2->height() + kFirstRowTop + 2 * kRowHeight + scrollBar +
                                     StatusBar1->sizeHint().height());
}

void TForm1::ShowAbout() {
    if (AboutDlg != nullptr) {
        dialogs_.ShowModal(AboutDlg);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::Resize) {
        PlaceCredits(Label11, Panel2);
        PlaceColumns();
    }
    if ((watched == Image1 || watched == Label1 || watched == Label3 || watched == Label4) &&
        event->type() == QEvent::MouseButtonRelease) {
        ShowAbout();
        return true;
    }
    if (watched == Label11 && event->type() == QEvent::MouseButtonRelease) {
        dialogs_.Message(this, QStringLiteral("Hello!"));
        return true;
    }
    if (FilterScrollingEvent(watched, event) || FilterBulkEvent(watched, event) ||
        FilterRowKeyEvent(watched, event)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
