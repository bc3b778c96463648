// The dialog seam for tests: queued answers, recorded texts, and a handler
// that answers modal dialogs without a nested event loop.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "editor/dialogs/dialogs.h"

class ScriptedDialogs : public TDialogs {
  public:
    enum class Kind { Message, YesNo, YesNoCancel, Error, Warning, Modal, File };
    struct Shown {
        Kind kind;
        QString text;
    };

    // Answers for the next confirmation boxes, in order. A box with no queued
    // answer fails the running test and is answered No (Cancel for three buttons).
    void QueueAnswer(Answer answer) { answers_.push_back(answer); }
    // Called with the dialog to fill it in; returns the result to give.
    void QueueModal(std::function<int(QDialog*)> handler) { modals_.push_back(std::move(handler)); }
    // The path the next file dialog returns; "" answers as a cancelled dialog.
    // The starting path it was offered is recorded as its text.
    void QueueFile(const QString& path) { files_.push_back(path); }

    const std::vector<Shown>& ShownBoxes() const { return shown_; }
    QStringList Texts(Kind kind) const;
    QStringList Messages() const { return Texts(Kind::Message); }
    QStringList Errors() const { return Texts(Kind::Error); }
    QStringList Warnings() const { return Texts(Kind::Warning); }
    QStringList Questions() const;
    void Clear();
    size_t PendingAnswers() const { return answers_.size() + modals_.size() + files_.size(); }

    void Message(QWidget* parent, const QString& text) override;
    Answer ConfirmYesNo(QWidget* parent, const QString& text) override;
    Answer ConfirmYesNoCancel(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    void Warning(QWidget* parent, const QString& text) override;
    int ShowModal(QDialog* dialog) override;
    QString ChooseFile(QWidget* parent, FileAccess access, const QString& caption,
                       const QString& start, const QString& filter) override;

  private:
    Answer NextAnswer(Answer fallback);
    std::deque<Answer> answers_;
    std::deque<std::function<int(QDialog*)>> modals_;
    std::deque<QString> files_;
    std::vector<Shown> shown_;
};
