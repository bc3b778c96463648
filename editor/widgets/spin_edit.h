// The numeric spin field: a whole number held as text (empty allowed), with up
// and down buttons and the Up and Down keys, and a key filter that beeps. The
// range bounds stepping only: a typed value outside it stays for the window to
// mark, since clamping it would store a number the user never gave.
#pragma once

#include <QAbstractSpinBox>
#include <QString>
#include <optional>

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

  public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    QString text() const;
    // Any text may be set by the program; only typing is filtered.
    void setText(const QString& text);
    // The text as a whole number, or -1 ("no value") when it is not one.
    int value() const;
    // Sets the text to the value, clamped into the range when there is one.
    void setValue(int value);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setMinimum(int minimum) { minimum_ = minimum; }
    void setMaximum(int maximum) { maximum_ = maximum; }
    void setRange(int minimum, int maximum);
    // The value clamped into the range; unchanged when minimum equals maximum.
    int checkValue(int value) const;
    // Where a step from an empty field lands (the current year for a year
    // field); the minimum until set.
    void setStartValue(int value) { startValue_ = value; }
    // A track field: typing also takes the slash of "n/total".
    void setTakesTotal(bool takes) { takesTotal_ = takes; }

    void stepBy(int steps) override;

  signals:
    // Every change of the text, typed or set by the program.
    void textChanged(const QString& text);

  protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel scrolls the rows area instead of changing a value by accident.
    void wheelEvent(QWheelEvent* event) override;

  private:
    int minimum_ = 0;
    int maximum_ = 0;
    std::optional<int> startValue_;
    bool takesTotal_ = false;
};
