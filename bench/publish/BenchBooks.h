#pragma once
// Material for the publishing benchmark: page pictures, a template in a
// private resource folder, and large outlines and annotation sets.
#include "import/FlashOutline.h"
#include "import/FlashPageSource.h"
#include "import/FlashPagesAnnotations.h"

#include <QString>
#include <memory>

namespace bench {

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
