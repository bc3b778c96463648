// The undo history as plain data, and a row brought back to its earlier edits.
#include <gtest/gtest.h>

#include "editor/model/undo_history.h"

namespace {

using bulk::Column;

// A step named `what` that sets row 0's title from "a" to `what`.
undo::TStep TitleStep(const QString& what) {
    rows::TRowEdits before;
    rows::TRowEdits after;
    before.shown[0] = QStringLiteral("a");
    after.shown[0] = what;
    return undo::MakeStep(what, {before}, {after}, 0, 0);
}

TEST(UndoHistory, StepsMoveBetweenUndoAndRedo) {
    struct Case {
        const char* ops;  // P<name> pushes, U undoes, R redoes, C clears, E pushes an empty step
        const char* nextUndo;  // "" when nothing can be undone
        const char* nextRedo;
    } cases[] = {
        {"", "", ""},          {"Px", "x", ""},    {"PxPyU", "x", "y"},
        {"PxPyUUR", "x", "y"}, {"PxUPy", "y", ""},  // a new step drops what was undone
        {"PxE", "x", ""},                           // a step that changed nothing is not kept
        {"PxUC", "", ""},      {"UR", "", ""},      // nothing to take: the history stays empty
    };
    for (const Case& c : cases) {
        undo::THistory history;
        for (const char* op = c.ops; *op != '\0'; ++op) {
            if (*op == 'P') {
                history.Push(TitleStep(QString(QChar(*++op))));
            } else if (*op == 'E') {
                history.Push(undo::MakeStep("none", {{}}, {{}}, 0, 1));
            } else if (*op == 'U' && history.CanUndo()) {
                history.Undo();
            } else if (*op == 'R' && history.CanRedo()) {
                history.Redo();
            } else if (*op == 'C') {
                history.Clear();
            }
        }
        EXPECT_EQ(history.CanUndo() ? history.NextUndo().what : "", c.nextUndo) << c.ops;
        EXPECT_EQ(history.CanRedo() ? history.NextRedo().what : "", c.nextRedo) << c.ops;
    }
    undo::THistory full;
    for (size_t i = 0; i < undo::THistory::kMaxSteps + 5; ++i) {
        full.Push(TitleStep(QString::number(i)));
    }
    for (size_t i = 0; i < undo::THistory::kMaxSteps; ++i) {
        EXPECT_EQ(full.Undo().what, QString::number(undo::THistory::kMaxSteps + 4 - i));
    }
    EXPECT_FALSE(full.CanUndo());
}

TEST(UndoHistory, StepKeepsOnlyTheRowsThatChanged) {
    std::vector<rows::TRowEdits> before(3);
    std::vector<rows::TRowEdits> after = before;
    after[1].albumBeforeFolder = QStringLiteral("Old");
    const undo::TStep step = undo::MakeStep("Folder", before, after, 1, 0);
    ASSERT_EQ(step.rows.size(), 1u);
    EXPECT_EQ(step.rows[0].row, 1);
    EXPECT_EQ(step.rows[0].after, after[1]);
}

TEST(UndoHistory, RestoredEditsCountAgainstWhatTheFileHolds) {
    // Saved after its edits were taken, the row differs from its file once they come back.
    for (const bool savedBetween : {false, true}) {
        rows::TRowModel model;
        model.SetKind(2);
        rows::Values loaded{QStringLiteral("Long title")};
        model.LoadRow(0, loaded, rows::FieldBit(Column::Title), false);
        const rows::TRowEdits asLoaded = model.Edits(0);
        model.SetField(0, Column::Title, QStringLiteral("New"));
        model.KeepAlbumBeforeFolder(0, QStringLiteral("Album"));
        model.NoteStoredForm(0, 0, 3);
        model.SetTargetVersion(0, 4);
        if (savedBetween) {
            model.MarkSaved(0);
        }
        model.RestoreEdits(0, asLoaded);
        EXPECT_EQ(model.Shown(0, Column::Title), QStringLiteral("Long title"));
        EXPECT_EQ(model.Unsaved(0), savedBetween);
        EXPECT_EQ(model.Marked(0, Column::Title, rows::kKeepsStored), !savedBetween);
        EXPECT_EQ(model.AlbumBeforeFolder(0), nullptr);
        EXPECT_EQ(model.TargetVersion(0), 0);
    }
}

}  // namespace
