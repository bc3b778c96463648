// The desktop's fonts by role.
#include "editor/widgets/fonts.h"

#include <QFontDatabase>

namespace fonts {
namespace {

QFont RoleFont(Role role) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (role == Role::Serif) {
        // The family the desktop's font configuration gives for the serif hint.
        font.setStyleHint(QFont::Serif);
        font.setFamily(font.defaultFamily());
    }
    return font;
}

}  // namespace

QFont PixelFont(Role role, int pixels) {
    QFont font = RoleFont(role);
    font.setPixelSize(pixels);
    return font;
}

QFont PointFont(Role role, int points) {
    QFont font = RoleFont(role);
    font.setPointSize(points);
    return font;
}

}  // namespace fonts
