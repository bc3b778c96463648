// The file label of a row.
#include "editor/widgets/file_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {

const QString kModifiedMarker = QStringLiteral("\u25CF ");
const QString kProblemMarker = QStringLiteral("\u26A0 ");

}  // namespace

TFileLabel::TFileLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TFileLabel::setModified(bool modified) {
    if (modified == modified_) {
        return;
    }
    modified_ = modified;
    update();
}

void TFileLabel::setProblem(const QString& problem) {
    if (problem == problem_) {
        return;
    }
    problem_ = problem;
    update();
}

QFont TFileLabel::shownFont() const {
    QFont shown = font();
    shown.setBold(modified_);
    return shown;
}

QString TFileLabel::shownText() const {
    const QString marker = (problem_.isEmpty() ? QString() : kProblemMarker) +
                           (modified_ ? kModifiedMarker : QString());
    const QFontMetrics metrics(shownFont());
    const int room = std::max(contentsRect().width() - metrics.horizontalAdvance(marker), 0);
    QString name = text();
    // Every listed name ends in the same extension: a name too long for the
    // label gives that up first, so the room goes to what tells files apart.
    if (const qsizetype dot = name.lastIndexOf(u'.');
        dot > 0 && metrics.horizontalAdvance(name) > room) {
        name.truncate(dot);
    }
    return marker + metrics.elidedText(name, Qt::ElideMiddle, room);
}

void TFileLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(shownFont());
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}
