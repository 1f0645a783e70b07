#pragma once
// Makes the thumbnails of page pictures on a few threads, each with a
// thumbnailer of its own, and writes each as a new file.
#include "PublishResult.h"

#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace quire::publish {

struct ThumbnailJob {
    QString madeBefore; // a thumbnail the page source made; may be empty
    QString picture;    // the page picture, scaled down when there is none
    QString destination;
};

// Writes the thumbnail of each job to its destination: the one made before
// where there is one, else one made from the picture. sizes gets each one's
// size, or none where neither could be read as a JPEG picture (the reader
// shows the picture itself there). A thumbnail that cannot be
// written fails the batch under `step`, naming the first such file.
PublishResult writeThumbnails(const std::vector<ThumbnailJob>& jobs, const QString& step,
                              std::vector<std::optional<QSize>>& sizes);

} // namespace quire::publish
