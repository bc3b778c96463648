// The desktop's fonts by role.
#include "editor/widgets/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>
#include <utility>

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

QFont FittedFont(const QFont& font, const QString& text, int room) {
    const auto width = [&text](const QFont& tried) {
        return QFontMetrics(tried).horizontalAdvance(text);
    };
    if (width(font) <= room) {
        return font;
    }
    QFont tried = font;
    // Narrower than these the letters run into each other.
    for (const auto& [smaller, narrowest] :
         {std::pair{0.0, int(QFont::Condensed)}, std::pair{1.0, int(QFont::ExtraCondensed)}}) {
        if (smaller > 0 && font.pointSizeF() > smaller) {
            tried.setPointSizeF(font.pointSizeF() - smaller);
        }
        tried.setStretch(QFont::Unstretched);
        // The width scales with the stretch, give or take the hinting.
        int stretch = std::max(narrowest, QFont::Unstretched * room / std::max(width(tried), 1));
        for (tried.setStretch(stretch); width(tried) > room && stretch > narrowest;) {
            tried.setStretch(--stretch);
        }
        if (width(tried) <= room) {
            return tried;
        }
    }
    return tried;
}

}  // namespace fonts
