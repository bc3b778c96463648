// The folder tree with a selection gate.
#include "editor/widgets/shell_tree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

// Routes every selection or current-item change of the view through the
// view's gate, whoever asks for it.
class TFolderSelectionModel : public QItemSelectionModel {
  public:
    TFolderSelectionModel(QAbstractItemModel* model, TShellTreeView* view)
        : QItemSelectionModel(model, view), view_(view) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
        // A bare move of the current item (Ctrl+arrows, focus) changes no folder;
        // a mouse press moves it first and selects afterwards.
        const bool gated = command != NoUpdate || view_->inMouseEvent_;
        if (gated && index != currentIndex() && !view_->AllowChange(index)) {
            return;
        }
        QItemSelectionModel::setCurrentIndex(index, command);
    }

    void select(const QItemSelection& selection, SelectionFlags command) override {
        // A folder stays selected until another one is chosen.
        const bool deselects = command.testFlag(Deselect) || command.testFlag(Toggle) ||
                               (command.testFlag(Clear) && selection.isEmpty());
        if (deselects && hasSelection()) {
            return;
        }
        if (!selection.isEmpty() && !view_->AllowChange(selection.indexes().front())) {
            return;
        }
        // The folder the user was asked about, wherever its row is now.
        const QModelIndex approved = view_->approved_;
        if (approved.isValid() && !selection.contains(approved)) {
            QItemSelectionModel::select(QItemSelection(approved, approved), command);
            return;
        }
        QItemSelectionModel::select(selection, command);
    }

  private:
    TShellTreeView* view_;
};

TShellTreeView::TShellTreeView(QWidget* parent) : QTreeView(parent) {
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));
    setModel(model_);
    setSelectionModel(new TFolderSelectionModel(model_, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) {
        hideColumn(column);
    }
    setContextMenuPolicy(Qt::NoContextMenu);

    keepInView_ = model_->index(QDir::homePath());
    for (QModelIndex folder = keepInView_; folder.isValid(); folder = folder.parent()) {
        expand(folder);
    }
    // The model fills and sorts folders in the background; until the user takes
    // over, every such change scrolls the home folder (or the folder the program
    // selected) back into view.
    const auto keepInView = [this] {
        if (!userTookOver_) {
            ScrollToKept();
        }
    };
    connect(model_, &QFileSystemModel::directoryLoaded, this, keepInView);
    connect(model_, &QAbstractItemModel::layoutChanged, this, keepInView);
    connect(model_, &QAbstractItemModel::rowsInserted, this, keepInView);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TShellTreeView::OnSelectionChanged);
    connect(this, &QAbstractItemView::clicked, this, &TShellTreeView::OnClicked);
}

QString TShellTreeView::Path() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : model_->filePath(selected.front());
}

bool TShellTreeView::SelectPath(const QString& path) {
    const QModelIndex target = model_->index(QDir::cleanPath(path));
    if (!target.isValid()) {
        return false;
    }
    if (target == selectionModel()->currentIndex() && Path() == model_->filePath(target)) {
        return true;
    }
    InEvent(false, [&] {
        programmatic_ = true;
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    });
    const bool selected = Path() == model_->filePath(target);
    if (selected) {
        keepInView_ = target;
        ScrollToKept();
    }
    return selected;
}

bool TShellTreeView::AllowChange(const QModelIndex& target) {
    if (!target.isValid()) {
        return true;
    }
    const QModelIndex folder = target.siblingAtColumn(0);
    if (model_->filePath(folder) == Path()) {
        return true;
    }
    // One question per user action: a folder created or removed while the
    // question is open moves the rows, so the rest of the event may name
    // another folder at the place the user chose; it gets the same answer.
    if (eventDepth_ > 0 && answered_) {
        return approved_.isValid();
    }
    // Taken before asking, so it follows rows that move meanwhile.
    const QPersistentModelIndex asked(folder);
    const bool allowed = !OnChanging || OnChanging(model_->filePath(folder));
    if (eventDepth_ > 0) {
        answered_ = true;
        approved_ = allowed ? asked : QPersistentModelIndex();
    }
    if (!allowed && inMouseEvent_) {
        suppressClick_ = true;
    }
    return allowed;
}

void TShellTreeView::OnSelectionChanged() {
    const QString path = Path();
    // A selection lost with its folder (deleted outside) changes nothing: the
    // rows stay, and the next choice of a folder asks as usual.
    if (path == lastPath_ || path.isEmpty()) {
        return;
    }
    lastPath_ = path;
    emit changed(path);
    if (programmatic_) {
        return;
    }
    if (inMouseEvent_) {
        suppressClick_ = true;
    }
    emit navigated(!inMouseEvent_);
}

void TShellTreeView::OnClicked() {
    if (!suppressClick_) {
        emit click();
    }
}

template <typename Handler>
void TShellTreeView::InEvent(bool mouse, Handler&& handler) {
    // Restored also when the handler throws, so no answer outlives its event.
    struct Scope {
        TShellTreeView& view;
        bool outerMouse;
        bool outerProgrammatic;
        ~Scope() {
            view.inMouseEvent_ = outerMouse;
            view.programmatic_ = outerProgrammatic;
            if (--view.eventDepth_ == 0) {
                view.answered_ = false;
                view.approved_ = QPersistentModelIndex();
            }
        }
    };
    ++eventDepth_;
    const Scope scope{*this, inMouseEvent_, programmatic_};
    inMouseEvent_ = mouse;
    handler();
}

void TShellTreeView::mousePressEvent(QMouseEvent* event) {
    suppressClick_ = false;
    userTookOver_ = true;
    InEvent(true, [&] { QTreeView::mousePressEvent(event); });
}

void TShellTreeView::mouseMoveEvent(QMouseEvent* event) {
    InEvent(true, [&] { QTreeView::mouseMoveEvent(event); });
}

void TShellTreeView::mouseReleaseEvent(QMouseEvent* event) {
    InEvent(true, [&] { QTreeView::mouseReleaseEvent(event); });
}

void TShellTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    InEvent(true, [&] { QTreeView::mouseDoubleClickEvent(event); });
}

void TShellTreeView::keyPressEvent(QKeyEvent* event) {
    userTookOver_ = true;
    InEvent(false, [&] { QTreeView::keyPressEvent(event); });
}

void TShellTreeView::wheelEvent(QWheelEvent* event) {
    userTookOver_ = true;
    QTreeView::wheelEvent(event);
}

void TShellTreeView::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    if (!userTookOver_) {
        ScrollToKept();
    }
}

void TShellTreeView::ScrollToKept() {
    if (keepInView_.isValid()) {
        scrollTo(keepInView_, QAbstractItemView::PositionAtTop);
    }
}
