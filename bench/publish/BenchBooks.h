#pragma once
// Material for the publishing and application benchmarks: page pictures, a
// template in a private resource folder, large outlines and annotation sets,
// and the timing helpers.
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

namespace bench {

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Writes count JPEG pictures of about 200 KB named 1.jpg ... into folder.
// Returns their total size in bytes.
qint64 writePagePictures(const QString& folder, int count);

// Gives every page what an import gives it: about 350 words with their
// places, a label, and a thumbnail made into thumbFolder beforehand.
void addImportExtras(quire::FlashPageSource& source, const QString& thumbFolder);

// Writes template "bench" (definition, page, viewer, one file property) into
// the resource folder res.
void writeTemplate(const QString& res, const QString& backgroundPicture);

// An outline of chapters with sections below them: entries in all.
std::shared_ptr<quire::FlashOutline> makeOutline(int entries, int pages);

// A "pagesAnnos" element with links spread evenly over the pages.
std::shared_ptr<quire::FlashPagesAnnotations> makeAnnotations(int links, int pages);

} // namespace bench
