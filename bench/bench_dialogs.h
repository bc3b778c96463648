// Message boxes for benchmarks: nothing is shown, and every question gets the
// one answer the benchmark chose.
#pragma once

#include "editor/dialogs/dialogs.h"

class AnsweringDialogs : public TDialogs {
  public:
    explicit AnsweringDialogs(Answer answer) : answer_(answer) {}
    void Message(QWidget*, const QString&) override {}
    Answer ConfirmYesNo(QWidget*, const QString&) override { return answer_; }
    Answer ConfirmYesNoCancel(QWidget*, const QString&) override { return answer_; }
    void Error(QWidget*, const QString&) override {}
    void Warning(QWidget*, const QString&) override {}
    int ShowModal(QDialog*) override { return 0; }
    QString ChooseFile(QWidget*, FileAccess, const QString&, const QString&,
                       const QString&) override {
        return {};
    }

  private:
    Answer answer_;
};
