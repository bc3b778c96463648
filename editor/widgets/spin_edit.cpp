// The numeric spin field.
#include "editor/widgets/spin_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QWheelEvent>
#include <climits>

#include "editor/model/page_logic.h"

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::textChanged);
}

QString TSpinEdit::text() const {
    return lineEdit()->text();
}

void TSpinEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

int TSpinEdit::value() const {
    return page_logic::WholeNumber(text().trimmed().toStdString()).value_or(-1);
}

void TSpinEdit::setValue(int value) {
    setText(QString::number(checkValue(value)));
}

void TSpinEdit::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

int TSpinEdit::checkValue(int value) const {
    if (minimum_ == maximum_) {
        return value;
    }
    if (value < minimum_) {
        return minimum_;
    }
    return value > maximum_ ? maximum_ : value;
}

void TSpinEdit::stepBy(int steps) {
    // A track with a total ("3/12") steps its track and keeps the total.
    const QString shown = text().trimmed();
    const qsizetype slash = shown.indexOf(QLatin1Char('/'));
    const QString total = slash < 0 ? QString() : shown.mid(slash);
    const std::optional<int> current = page_logic::WholeNumber(shown.left(slash).toStdString());
    if (!current) {
        setValue(startValue_.value_or(minimum_));
        return;
    }
    const long long stepped = static_cast<long long>(*current) + steps;
    if (stepped > INT_MAX || stepped < INT_MIN) {
        QApplication::beep();
        return;
    }
    setText(QString::number(checkValue(static_cast<int>(stepped))) + total);
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    // Only Up and Down step; the base class would step by ten on the page keys.
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = event->text();
    bool allowed = !enter;
    if (allowed && !typed.isEmpty()) {
        const QChar c = typed.front();
        const bool control = c.unicode() < 0x20 || c.unicode() == 0x7F;
        allowed = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' ||
                  c == QLocale().decimalPoint().front() || (takesTotal_ && c == u'/') || control;
    }
    if (!allowed) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
