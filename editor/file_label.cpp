// The file label of a row.
#include "editor/file_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

TFileLabel::TFileLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString TFileLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, std::max(contentsRect().width(), 0));
}

void TFileLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}
