// The read-only removal dialog. It changes no file: it only holds the list,
// the ticks and the OK or Cancel result; the page-wide save acts on them.
#include "editor/dialogs/form2.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/widgets/colours.h"
#include "editor/widgets/fonts.h"

namespace {

constexpr int kItemHeight = 16;
constexpr int kMemoLeft = 16;
constexpr int kMemoWidth = 321;

QString SelectAllTip(bool checked) {
    return checked ? QStringLiteral("Deselect All") : QStringLiteral("Select All");
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Remove Read Onlys from Files"));
    setFont(fonts::PixelFont(fonts::Role::Sans, 11));
    resize(400, 407);
    setMinimumSize(280, 280);
    setSizeGripEnabled(true);
    CreateLayout();
    CreateMenu();
}

void TForm2::CreateLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(0);

    auto* topBand = new QWidget(this);
    topBand->setObjectName(QStringLiteral("Panel1"));
    topBand->setFixedHeight(65);
    Memo1 = new QPlainTextEdit(topBand);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(kMemoLeft, 0, kMemoWidth, 57);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    colours::SetColour(Memo1, QPalette::Base, Memo1->palette().color(QPalette::Button));
    Memo1->setPlainText(
        QStringLiteral("The following files have a Read Only attribute and they can not be\n"
                       "saved if Read Only attributes won't be removed. Check the files in\n"
                       "the list whose Read Only -attributes you want to be removed:"));
    CheckBox1 = new QCheckBox(topBand);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(0, 48, 17, 17);
    CheckBox1->setToolTip(SelectAllTip(false));
    // The tip follows every change of state; the tick-all action only a click.
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool checked) { CheckBox1->setToolTip(SelectAllTip(checked)); });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    layout->addWidget(topBand);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setFont(fonts::PixelFont(fonts::Role::Serif, 13));
    colours::SetColour(CheckListBox1, QPalette::Text, colours::kMaroon);
    CheckListBox1->setUniformItemSizes(true);
    CheckListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(CheckListBox1, 1);

    auto* bottomBand = new QWidget(this);
    bottomBand->setObjectName(QStringLiteral("Panel2"));
    bottomBand->setFixedHeight(42);
    auto* bottomLayout = new QHBoxLayout(bottomBand);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    // The hint takes the width left of the buttons, for the same reason as the text above.
    auto* label = new QLabel(bottomBand);
    label->setObjectName(QStringLiteral("Label1"));
    label->setContentsMargins(4, 3, 0, 0);
    label->setMinimumWidth(4 + 115);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(QStringLiteral(
        "Press right mouse button to open a menu, in which you can select all items."));
    bottomLayout->addWidget(label, 1);
    auto* buttonGroup = new QWidget(bottomBand);
    buttonGroup->setObjectName(QStringLiteral("Panel3"));
    buttonGroup->setFixedSize(171, 42);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), buttonGroup);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(14, 16, 75, 25);
    CancelButton->setAutoDefault(false);
    CancelButton->setToolTip(QStringLiteral(
        "Closes this window and returns to the main window without saving the changes."));
    OkButton = new QPushButton(QStringLiteral("&OK"), buttonGroup);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(94, 16, 75, 25);
    OkButton->setDefault(true);
    OkButton->setToolTip(
        QStringLiteral("Removes Read Only -attributes of the items checked and saves the "
                       "changes to the files checked."));
    bottomLayout->addWidget(buttonGroup);
    layout->addWidget(bottomBand);

    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm2::CreateMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto addCommand = [this](const char* name, const QString& text, QKeyCombination key,
                                   void (TForm2::*handler)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(key));
        // The shortcuts work anywhere in the dialog, not only while the menu is open.
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        PopupMenu1->addAction(action);
        addAction(action);
        return action;
    };
    Valitsekaikki1 = addCommand("Valitsekaikki1", QStringLiteral("Valitse kaikki"),
                                Qt::CTRL | Qt::Key_A, &TForm2::Valitsekaikki1Click);
    Knteinenvalinta1 = addCommand("Knteinenvalinta1", QStringLiteral("Käänteinen valinta"),
                                  Qt::CTRL | Qt::ALT | Qt::Key_A, &TForm2::Knteinenvalinta1Click);
    Poistavalinta1 = addCommand("Poistavalinta1", QStringLiteral("Poista valinnat"),
                                Qt::CTRL | Qt::SHIFT | Qt::Key_A, &TForm2::Poistavalinta1Click);
    connect(CheckListBox1, &QListWidget::customContextMenuRequested, this,
            [this](QPoint pos) { PopupMenu1->popup(CheckListBox1->viewport()->mapToGlobal(pos)); });
}

void TForm2::Clear() {
    CheckListBox1->clear();
}

void TForm2::Add(const std::string& path) {
    const QByteArray bytes = QByteArray::fromStdString(path);
    const QString text = QFile::decodeName(bytes);
    int row = 0;
    // Equal texts keep the order in which they came.
    while (row < CheckListBox1->count() &&
           QString::compare(CheckListBox1->item(row)->text(), text, Qt::CaseInsensitive) <= 0) {
        ++row;
    }
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, bytes);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setSizeHint(QSize(-1, kItemHeight));
    CheckListBox1->insertItem(row, item);
}

int TForm2::Count() const {
    return CheckListBox1->count();
}

std::string TForm2::ItemText(int i) const {
    return CheckListBox1->item(i)->data(Qt::UserRole).toByteArray().toStdString();
}

bool TForm2::Checked(int i) const {
    return CheckListBox1->item(i)->checkState() == Qt::Checked;
}

void TForm2::SetChecked(int i, bool checked) {
    CheckListBox1->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TForm2::SetAll(bool checked) {
    for (int i = 0; i < Count(); ++i) {
        SetChecked(i, checked);
    }
}

void TForm2::SetSelectAllBox(bool checked) {
    // setChecked emits toggled (the tip follows) but not clicked.
    CheckBox1->setChecked(checked);
}

void TForm2::Valitsekaikki1Click() {
    SetAll(true);
    SetSelectAllBox(true);
}

void TForm2::Knteinenvalinta1Click() {
    bool allChecked = true;
    for (int i = 0; i < Count(); ++i) {
        SetChecked(i, !Checked(i));
        allChecked = allChecked && Checked(i);
    }
    SetSelectAllBox(allChecked);
}

void TForm2::Poistavalinta1Click() {
    SetAll(false);
    SetSelectAllBox(false);
}

void TForm2::CheckBox1Click() {
    SetAll(CheckBox1->isChecked());
    FocusList();
}

void TForm2::FormActivate() {
    FocusList();
}

void TForm2::FocusList() {
    if (CheckListBox1->isVisible() && CheckListBox1->isEnabled() &&
        CheckListBox1->focusPolicy() != Qt::NoFocus) {
        CheckListBox1->setFocus();
    }
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The text keeps its place and grows to the right edge, so that it fits in
    // fonts wider than the one it was laid out for.
    const int bandWidth = Memo1->parentWidget()->width();
    Memo1->resize(std::max(kMemoWidth, bandWidth - kMemoLeft), Memo1->height());
}

bool TForm2::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(event);
}
