// Scripted dialog seam.
#include "tests/helpers/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QDialog>

QStringList ScriptedDialogs::Texts(Kind kind) const {
    QStringList texts;
    for (const Shown& box : shown_) {
        if (box.kind == kind) {
            texts << box.text;
        }
    }
    return texts;
}

QStringList ScriptedDialogs::Questions() const {
    QStringList texts;
    for (const Shown& box : shown_) {
        if (box.kind == Kind::YesNo || box.kind == Kind::YesNoCancel) {
            texts << box.text;
        }
    }
    return texts;
}

void ScriptedDialogs::Clear() {
    answers_.clear();
    modals_.clear();
    files_.clear();
    shown_.clear();
}

TDialogs::Answer ScriptedDialogs::NextAnswer(Answer fallback) {
    if (answers_.empty()) {
        ADD_FAILURE() << "A question was asked with no scripted answer: "
                      << shown_.back().text.toStdString();
        return fallback;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedDialogs::Message(QWidget*, const QString& text) {
    shown_.push_back({Kind::Message, text});
}

TDialogs::Answer ScriptedDialogs::ConfirmYesNo(QWidget*, const QString& text) {
    shown_.push_back({Kind::YesNo, text});
    return NextAnswer(Answer::No);
}

TDialogs::Answer ScriptedDialogs::ConfirmYesNoCancel(QWidget*, const QString& text) {
    shown_.push_back({Kind::YesNoCancel, text});
    return NextAnswer(Answer::Cancel);
}

void ScriptedDialogs::Error(QWidget*, const QString& text) {
    shown_.push_back({Kind::Error, text});
}

void ScriptedDialogs::Warning(QWidget*, const QString& text) {
    shown_.push_back({Kind::Warning, text});
}

int ScriptedDialogs::ShowModal(QDialog* dialog) {
    shown_.push_back({Kind::Modal, dialog->objectName()});
    if (modals_.empty()) {
        ADD_FAILURE() << "A modal dialog was shown with no scripted handler";
        return QDialog::Rejected;
    }
    auto handler = std::move(modals_.front());
    modals_.pop_front();
    return handler(dialog);
}

QString ScriptedDialogs::ChooseFile(QWidget*, FileAccess, const QString&, const QString& start,
                                    const QString&) {
    shown_.push_back({Kind::File, start});
    if (files_.empty()) {
        ADD_FAILURE() << "A file dialog was shown with no scripted path";
        return {};
    }
    const QString path = files_.front();
    files_.pop_front();
    return path;
}
