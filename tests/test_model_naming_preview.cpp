// What the rename preview says of each row made from a page's values.
#include <gtest/gtest.h>

#include "editor/naming/naming_preview.h"

namespace {

using enum naming::Field;

TEST(NamingPreview, FormattedRowsGetANameOrAReason) {
    struct Case {
        naming::Values values;
        const char* newName;  // "" when no name can be made
        const char* reason;
    } cases[] = {
        {{{Track, "3"}, {Title, "A/B: C?"}}, "03 - A-B- C_.mp3", ""},
        {{{Track, "3"}, {Title, " "}}, "", "Its title is empty."},
        {{{Title, "Solo"}}, "", "Its track is empty."},
        {{{Track, "1"}, {Title, "T"}}, "01 - T.mp3", "Another file in the folder has this name."},
    };
    const naming::Compiled compiled =
        naming::Compile(QStringLiteral("%{track:2} - %{title}"), naming::Direction::Format);
    for (const Case& c : cases) {
        const naming::Plan plan = naming::FormatRows(*compiled.pattern, {{"old.mp3", {}, c.values}},
                                                     {"old.mp3", "01 - T.mp3"});
        ASSERT_EQ(plan.size(), 1u);
        EXPECT_EQ(plan[0].reason, QString::fromUtf8(c.reason)) << c.newName;
        EXPECT_EQ(plan[0].newName, c.newName);
    }
}

}  // namespace
