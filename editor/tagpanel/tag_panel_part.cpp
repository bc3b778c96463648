// The tag panel: every frame of the focused row's tag listed with its name,
// identifier and values; the selected frame edited below the list; frames
// added from the catalogue's list and removed. Edits are frame changes of the
// row in the model, or values of the row's fields for the frames they show.
#include "editor/tagpanel/tag_panel_part.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "editor/dialogs/dialogs.h"
#include "editor/frames/frame_encoding.h"
#include "editor/model/bulk_logic.h"
#include "editor/model/row_model.h"
#include "editor/model/save_logic.h"
#include "editor/page/page.h"
#include "editor/startup/application.h"

namespace {

using frames::FrameKind;

// The frames the row's own fields show: edited there, so a save writes one
// value for each and the field shows what the panel set.
std::optional<bulk::Column> FieldOf(const std::string& id) {
    static constexpr std::array<std::pair<std::string_view, bulk::Column>, 7> fields{{
        {"TIT2", bulk::Column::Title},
        {"TPE1", bulk::Column::Artist},
        {"TALB", bulk::Column::Album},
        {"TYER", bulk::Column::Year},
        {"TDRC", bulk::Column::Year},
        {"TRCK", bulk::Column::Track},
        {"TCON", bulk::Column::Genre},
    }};
    for (const auto& [frameId, column] : fields) {
        if (frameId == id) {
            return column;
        }
    }
    return std::nullopt;
}

// The comment the row's Comment field shows: the first without a description.
const tagpanel::TPanelFrame* FieldComment(const std::vector<tagpanel::TPanelFrame>& listed) {
    const auto first = std::find_if(listed.begin(), listed.end(), [](const auto& f) {
        return f.view.kind == FrameKind::Comment && f.view.description.empty();
    });
    return first != listed.end() ? &*first : nullptr;
}

// The row's field that shows `frame`, if any: a frame of the table above, or
// the field's comment.
std::optional<bulk::Column> FieldShowing(const tagpanel::TPanelFrame* fieldComment,
                                         const tagpanel::TPanelFrame& frame) {
    if (frame.view.kind != FrameKind::Comment) {
        return FieldOf(frame.view.id);
    }
    return &frame == fieldComment ? std::optional(bulk::Column::Comment) : std::nullopt;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// What the list shows of a frame's values: its texts, or for the frames
// shown only, what they hold.
QString ShownValue(const frames::TFrameView& view) {
    QString text;
    switch (view.kind) {
        case FrameKind::UniqueId:
        case FrameKind::Private:
            text = QStringLiteral("Owner %1, %2 bytes").arg(Q(view.owner)).arg(view.size);
            break;
        case FrameKind::Popularity:
            text = QStringLiteral("Rating %1, %2, played %3")
                       .arg(view.rating)
                       .arg(Q(view.owner))
                       .arg(view.playCount);
            break;
        case FrameKind::Picture:
        case FrameKind::Binary:
            text = QStringLiteral("%1 bytes").arg(view.size);
            break;
        default:
            text = Q(frames::JoinValues(view.values));
            if (!view.description.empty()) {
                text = QStringLiteral("[%1] %2").arg(Q(view.description), text);
            }
            if (!view.language.empty()) {
                text = QStringLiteral("(%1) %2").arg(Q(view.language), text);
            }
    }
    // A long value shows its first part with the size the frame holds.
    if (view.cut) {
        text += QStringLiteral(" \u2026 (%1 bytes)").arg(view.size);
    }
    // One line in the list; the edit field below shows every line.
    text.replace(QLatin1Char('\n'), QChar(0x21b5));
    return text;
}

}  // namespace

TTagPanelPart::TTagPanelPart(TPage& page) : page_(page) {
    BuildWindow();
    // Its key also closes the panel from inside it.
    window_->addAction(page_.AddCommand(QStringLiteral("Tag Panel"),
                                        QKeySequence(Qt::CTRL | Qt::Key_T), [this] { Toggle(); }));
    Connect();
}

void TTagPanelPart::BuildWindow() {
    window_ = new QWidget(page_.Window(), Qt::Tool);
    window_->setObjectName(QStringLiteral("TagPanel"));
    window_->setWindowTitle(QStringLiteral("Tag Panel"));
    auto* layout = new QVBoxLayout(window_);
    caption_ = new QLabel(window_);
    caption_->setObjectName(QStringLiteral("TagPanelCaption"));
    layout->addWidget(caption_);
    list_ = new QTreeWidget(window_);
    list_->setObjectName(QStringLiteral("TagPanelFrames"));
    list_->setHeaderLabels(
        {QStringLiteral("Frame"), QStringLiteral("Id"), QStringLiteral("Value")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    // Fixed widths: measuring every entry at each fill would cost more than the fill.
    list_->setColumnWidth(0, 180);
    list_->setColumnWidth(1, 50);
    layout->addWidget(list_, 1);
    auto* form = new QFormLayout;
    const auto named = [this](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    language_ = named(new QLineEdit(window_), "TagPanelLanguage");
    language_->setMaxLength(3);
    description_ = named(new QLineEdit(window_), "TagPanelDescription");
    value_ = named(new QPlainTextEdit(window_), "TagPanelValue");
    value_->setMaximumHeight(value_->fontMetrics().lineSpacing() * 5);
    form->addRow(QStringLiteral("Language:"), language_);
    form->addRow(QStringLiteral("Description:"), description_);
    form->addRow(QStringLiteral("Value:"), value_);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    apply_ = named(new QPushButton(QStringLiteral("Apply"), window_), "TagPanelApply");
    remove_ = named(new QPushButton(QStringLiteral("Remove"), window_), "TagPanelRemove");
    addable_ = named(new QComboBox(window_), "TagPanelAddable");
    add_ = named(new QPushButton(QStringLiteral("Add"), window_), "TagPanelAdd");
    buttons->addWidget(apply_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    buttons->addWidget(addable_);
    buttons->addWidget(add_);
    layout->addLayout(buttons);
    window_->resize(560, 520);
}

void TTagPanelPart::Connect() {
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelected(); });
    connect(apply_, &QPushButton::clicked, this, Guarded([this] { ApplyEdit(); }));
    connect(remove_, &QPushButton::clicked, this, Guarded([this] { RemoveFrame(); }));
    connect(add_, &QPushButton::clicked, this, Guarded([this] { AddFrame(); }));
    // The panel works on the row it shows: Save Row and the like, used from it, too.
    page_.RowOfArea(window_, [this] { return row_; });
    // Filled only while open: a closed panel costs the page nothing.
    page_.WhenPageShown([this] {
        if (window_->isVisible()) {
            ShowRow(page_.FocusedRow().has_value() ? page_.FocusedRow() : row_);
        }
    });
    page_.WhenRowChanged([this](int k) {
        if (window_->isVisible() && row_ == k) {
            ShowRow(k, list_->currentIndex().row());
        }
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr || now->window() != page_.Window() || !window_->isVisible()) {
            return;
        }
        if (const std::optional<int> k = page_.FocusedRow(); k && k != row_) {
            ShowRow(k);
        }
    });
}

void TTagPanelPart::Toggle() {
    if (window_->isVisible()) {
        window_->hide();
        return;
    }
    // Beside the main window where the screen has room, else at its right edge.
    QWidget* window = page_.Window();
    const QRect screen = window->screen()->availableGeometry();
    window_->move(std::min(window->frameGeometry().right() + 1, screen.right() - window_->width()),
                  window->y());
    // Filled before it shows, so its first paint is of the row's frames.
    ShowRow(page_.FocusedRow().has_value() ? page_.FocusedRow() : row_);
    window_->show();
    window_->raise();
}

void TTagPanelPart::ShowRow(std::optional<int> k, int selected) {
    if (k && *k >= page_.RowsInScope()) {
        k.reset();
    }
    row_ = k;
    frames_.clear();
    list_->setUpdatesEnabled(false);
    list_->clear();
    const bool v2 = page_.Kind() == 2 && k.has_value();
    for (QWidget* control : std::initializer_list<QWidget*>{addable_, add_}) {
        control->setVisible(v2);
    }
    if (!k) {
        caption_->setText(QStringLiteral("No row"));
        list_->setUpdatesEnabled(true);
        ShowSelected();
        return;
    }
    if (page_.Kind() == 1) {
        ShowRecord(*k);
    } else {
        ShowFrames(*k);
    }
    list_->setCurrentItem(
        list_->topLevelItem(std::clamp(selected, 0, list_->topLevelItemCount() - 1)));
    list_->setUpdatesEnabled(true);
    ShowSelected();
}

void TTagPanelPart::ShowRecord(int k) {
    caption_->setText(QStringLiteral("%1: ID3v1 record (read only)")
                          .arg(save_logic::DisplayName(page_.RowFileName(k))));
    const std::pair<const char*, bulk::Column> fields[] = {
        {"Title", bulk::Column::Title},     {"Artist", bulk::Column::Artist},
        {"Album", bulk::Column::Album},     {"Year", bulk::Column::Year},
        {"Comment", bulk::Column::Comment}, {"Track", bulk::Column::Track},
        {"Genre", bulk::Column::Genre},
    };
    for (const auto& [name, column] : fields) {
        list_->addTopLevelItem(new QTreeWidgetItem(
            {QString::fromLatin1(name), QString(), page_.Model().Shown(k, column)}));
    }
}

void TTagPanelPart::ShowFrames(int k) {
    tagpanel::TPanelFrames read =
        tagpanel::RowFrames(page_.RowFilePath(k), page_.Model().FrameChangesOf(k));
    const int version = page_.WrittenVersion(k);
    caption_->setText(read.problem.empty() ? QStringLiteral("%1: ID3v2.%2, saved as ID3v2.%3")
                                                 .arg(save_logic::DisplayName(page_.RowFileName(k)))
                                                 .arg(read.version == 0 ? version : read.version)
                                                 .arg(version)
                                           : Q(read.problem));
    frames_ = std::move(read.frames);
    const unsigned changed = page_.Model().ChangedFields(k);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(frames_.size()));
    const tagpanel::TPanelFrame* fieldComment = FieldComment(frames_);
    for (tagpanel::TPanelFrame& frame : frames_) {
        // A field changed in the row shows its unsaved value, as a save writes it.
        if (const auto field = FieldShowing(fieldComment, frame);
            field && (changed & rows::FieldBit(*field)) != 0) {
            frame.view.values = frames::SplitValues(page_.Model().Shown(k, *field).toStdString());
        }
        items.push_back(
            new QTreeWidgetItem({Q(frame.view.name), Q(frame.view.id), ShownValue(frame.view)}));
    }
    list_->addTopLevelItems(items);
    if (addableVersion_ != version) {
        addable_->clear();
        for (const frames::TFrameType& type : frames::AddableFrames(version)) {
            addable_->addItem(
                QStringLiteral("%1 (%2)").arg(Q(std::string(type.name)), Q(std::string(type.id))),
                Q(std::string(type.id)));
        }
        addableVersion_ = version;
    }
}

const tagpanel::TPanelFrame* TTagPanelPart::Selected() const {
    const int i = list_->currentIndex().row();
    return i >= 0 && static_cast<size_t>(i) < frames_.size() ? &frames_[static_cast<size_t>(i)]
                                                             : nullptr;
}

void TTagPanelPart::ShowSelected() {
    const tagpanel::TPanelFrame* frame = Selected();
    const FrameKind kind = frame != nullptr ? frame->view.kind : FrameKind::Binary;
    const bool editable = frame != nullptr && frames::IsEditable(kind);
    language_->setText(frame != nullptr ? Q(frame->view.language) : QString());
    description_->setText(frame != nullptr ? Q(frame->view.description) : QString());
    value_->setPlainText(editable ? Q(frames::JoinValues(frame->view.values)) : QString());
    // The fields also take a new frame's values, whatever is selected.
    for (QWidget* field : std::initializer_list<QWidget*>{language_, description_, value_}) {
        field->setEnabled(page_.Kind() == 2 && row_.has_value());
    }
    apply_->setEnabled(editable);
    remove_->setEnabled(frame != nullptr && kind != FrameKind::Picture);
}

tagpanel::TFrameEdit TTagPanelPart::TypedEdit() const {
    return {value_->toPlainText().toStdString(), description_->text().toStdString(),
            language_->text().toStdString()};
}

void TTagPanelPart::ApplyEdit() {
    const tagpanel::TPanelFrame* frame = Selected();
    if (!row_ || frame == nullptr) {
        return;
    }
    const tagpanel::TEncodedEdit encoded =
        tagpanel::EncodeEdit(frame->view, TypedEdit(), page_.WrittenVersion(*row_));
    if (!encoded.problem.empty()) {
        page_.Dialogs().Error(window_, Q(encoded.problem));
        return;
    }
    StoreFrame(*row_, QStringLiteral("Edit %1").arg(Q(frame->view.name)), *frame, encoded, false);
}

void TTagPanelPart::RemoveFrame() {
    const tagpanel::TPanelFrame* frame = Selected();
    if (!row_ || frame == nullptr) {
        return;
    }
    StoreFrame(*row_, QStringLiteral("Remove %1").arg(Q(frame->view.name)), *frame, {}, false);
}

void TTagPanelPart::AddFrame() {
    if (!row_ || addable_->currentIndex() < 0) {
        return;
    }
    tagpanel::TPanelFrame frame;
    frame.view.id = addable_->currentData().toString().toStdString();
    frame.view.kind = frames::FrameType(frame.view.id).kind;
    frame.view.name = frames::ReadableName(frame.view.id, description_->text().toStdString());
    tagpanel::TFrameEdit edit = TypedEdit();
    if (edit.language.empty() &&
        (frame.view.kind == FrameKind::Comment || frame.view.kind == FrameKind::Lyrics)) {
        edit.language = "eng";
    }
    const tagpanel::TEncodedEdit encoded =
        tagpanel::EncodeEdit(frame.view, edit, page_.WrittenVersion(*row_));
    if (!encoded.problem.empty() || !encoded.data) {
        page_.Dialogs().Error(window_, encoded.problem.empty()
                                           ? QStringLiteral("Type the new frame's value first.")
                                           : Q(encoded.problem));
        return;
    }
    StoreFrame(*row_, QStringLiteral("Add %1").arg(Q(frame.view.name)), frame, encoded, true);
}

void TTagPanelPart::StoreFrame(int k, const QString& what, const tagpanel::TPanelFrame& frame,
                               const tagpanel::TEncodedEdit& encoded, bool adds) {
    page_.EndFieldEdit();
    // The list entry to show after: the frame itself, or the last for a new one.
    const int shown = adds ? list_->topLevelItemCount() : list_->currentIndex().row();
    const tagpanel::TFrameEdit edit = TypedEdit();
    bool refused = false;
    std::optional<bulk::Column> field = FieldShowing(FieldComment(frames_), frame);
    // A comment given a description or another language is no longer the field's.
    if (field == bulk::Column::Comment && encoded.data &&
        (!edit.description.empty() || edit.language != frame.view.language)) {
        field.reset();
    }
    // The Year field holds a year only: a fuller timestamp is kept as the frame's own.
    if (field == bulk::Column::Year && encoded.data &&
        !std::all_of(edit.text.begin(), edit.text.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        field.reset();
    }
    page_.RunAsOneStep(what, [&] {
        if (field) {
            page_.SetValue(k, *field, encoded.data ? Q(edit.text) : QString());
        } else {
            rows::FrameChanges changes = page_.Model().FrameChangesOf(k);
            changes =
                adds ? tagpanel::WithAddedFrame(std::move(changes), frame.view.id, encoded.data)
                     : tagpanel::WithFrame(std::move(changes), frame, encoded.data);
            page_.Model().SetFrameChanges(k, changes);
            // The model takes no change of an ID3v2.2 frame or of a picture.
            refused = page_.Model().FrameChangesOf(k) != changes;
        }
        page_.RowChanged(k);
    });
    ShowRow(k, shown);
    if (refused) {
        page_.Dialogs().Error(window_, QStringLiteral("This frame cannot be changed in this tag."));
    }
}
