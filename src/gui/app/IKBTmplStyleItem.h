#pragma once
// One style in the template chooser's picture grid: the style's preview
// picture, the picture's path (its identity) and the style's name.
#include <QImage>
#include <QString>

namespace quire {

struct IKBTmplStyleItem {
    QImage image;    // null when "shot.jpg" is missing or unreadable
    QString imageID; // full path of the style's "shot.jpg"
    QString styleName;

    // The entry for a style folder; the name is the folder's own name.
    static IKBTmplStyleItem forStyleFolder(const QString& folder);
};

} // namespace quire
