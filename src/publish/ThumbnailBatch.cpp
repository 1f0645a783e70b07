#include "ThumbnailBatch.h"

#include "import/JpegThumbnailer.h"
#include "util/FileUtil.h"
#include "util/Log.h"
#include "util/ParallelFor.h"

#include <QFile>
#include <memory>
#include <unistd.h>

namespace quire::publish {
namespace {

// Below this many pictures a second thread costs more than it saves.
constexpr size_t kPicturesPerWorker = 8;

struct Outcome {
    std::optional<QSize> size;
    QString writeError; // empty when written or not made
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A second name for a thumbnail made before, where the file system has hard
// links: no new file to allocate. Else the bytes are written anew.
bool place(const QString& madeBefore, const Thumbnail& thumbnail, const QString& destination, QString* error)
{
    QFile::remove(destination);
    if (!madeBefore.isEmpty()
        && ::link(QFile::encodeName(madeBefore).constData(), QFile::encodeName(destination).constData()) == 0)
        return true;
    return fs::writeNewFile(destination, thumbnail.jpeg, error);
}

Outcome makeOne(JpegThumbnailer& thumbnailer, const ThumbnailJob& job)
{
    Outcome outcome;
    QString madeBefore = job.madeBefore;
    std::optional<Thumbnail> thumbnail = thumbnailer.take(contents(madeBefore));
    if (!thumbnail) {
        madeBefore.clear();
        thumbnail = thumbnailer.make(contents(job.picture));
    }
    if (!thumbnail) {
        // An unreadable picture is the page files step's to report.
        QLOG_DEBUG("no thumbnail for %@: not a JPEG picture the decoder reads", job.picture);
        return outcome;
    }
    if (!place(madeBefore, *thumbnail, job.destination, &outcome.writeError)) {
        if (outcome.writeError.isEmpty())
            outcome.writeError = QStringLiteral("unknown error");
        return outcome;
    }
    outcome.size = QSize(thumbnail->width, thumbnail->height);
    return outcome;
}

} // namespace

PublishResult writeThumbnails(const std::vector<ThumbnailJob>& jobs, const QString& step,
                              std::vector<std::optional<QSize>>& sizes)
{
    std::vector<Outcome> outcomes(jobs.size());
    const unsigned workers = workersFor(jobs.size(), kPicturesPerWorker);
    std::vector<std::unique_ptr<JpegThumbnailer>> thumbnailers(workers);
    parallelFor(jobs.size(), workers, [&](size_t i, unsigned worker) {
        try {
            if (!thumbnailers[worker])
                thumbnailers[worker] = std::make_unique<JpegThumbnailer>();
        } catch (const std::exception& e) {
            QLOG_WARN("no thumbnails: %s", e.what());
            return false;
        }
        outcomes[i] = makeOne(*thumbnailers[worker], jobs[i]);
        return outcomes[i].writeError.isEmpty();
    });

    PublishResult result;
    sizes.assign(jobs.size(), std::nullopt);
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (!outcomes[i].writeError.isEmpty()) {
            result.fail(step, jobs[i].destination, QStringLiteral("cannot be written: %1").arg(outcomes[i].writeError));
            break;
        }
        sizes[i] = outcomes[i].size;
    }
    return result;
}

} // namespace quire::publish
